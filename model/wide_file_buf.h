#pragma once
// The bytes of the data files. Every wchar_t is one UTF-16 code unit, stored low
// byte first; a 0x0D byte goes before every 0x0A byte (the files were always
// written through a text-mode stream, which did that), and a 0x0D 0x0A byte pair
// reads back as 0x0A. Reading goes on to the physical end of the file: 0x1A
// (inside U+041A, for one) is data, not an end-of-file mark.
#include <cstdint>
#include <cstdio>
#include <streambuf>
#include <string>
#include <vector>

class WideInBuf : public std::basic_streambuf<wchar_t> {
 public:
  WideInBuf();
  ~WideInBuf() override;
  WideInBuf(const WideInBuf&) = delete;
  WideInBuf& operator=(const WideInBuf&) = delete;

  bool Open(const std::wstring& path);
  // Reads bytes already in memory; they are not copied and must outlive the buffer.
  void OpenMemory(const void* data, std::size_t size);
  // Reads units already decoded; they are not copied and must outlive the buffer.
  void OpenUnits(const wchar_t* units, std::size_t count);

  // The bytes of the file before the next unit to be read. Exact for every
  // file written as WideOutBuf writes (each 0x0A byte after a 0x0D one).
  std::uint64_t Position() const;

  // No more units than this can still be read: each one takes at least two bytes.
  std::uint64_t RemainingUnitsBound() const;
  // The file ended with half a unit.
  bool EndedInsideUnit() const { return endedInsideUnit_; }

 protected:
  int_type underflow() override;
  std::streamsize xsgetn(char_type* to, std::streamsize count) override;

 private:
  // Decodes up to `room` units into `out`; fewer only at the end of the file.
  std::size_t Decode(wchar_t* out, std::size_t room);
  bool Refill();
  int NextByte();
  std::uint64_t RawTaken() const;

  std::FILE* file_ = nullptr;
  std::uint64_t fileBytesLeft_ = 0;  // not yet read into raw_
  std::uint64_t totalBytes_ = 0;
  std::vector<unsigned char> raw_;
  const unsigned char* rawPos_ = nullptr;
  const unsigned char* rawEnd_ = nullptr;
  std::vector<wchar_t> units_;
  bool endedInsideUnit_ = false;
  std::uint64_t danglingBytes_ = 0;  // of the half unit the file ended with
};

class WideOutBuf : public std::basic_streambuf<wchar_t> {
 public:
  // The bytes these units are in a file: what this buffer writes. False for a
  // unit beyond U+FFFF.
  static bool EncodeUnits(const wchar_t* from, std::size_t count, std::string& bytes);

  WideOutBuf();
  ~WideOutBuf() override;
  WideOutBuf(const WideOutBuf&) = delete;
  WideOutBuf& operator=(const WideOutBuf&) = delete;

  // Creates or truncates the file.
  bool Open(const std::wstring& path);
  // Writes what is pending, forces it to the disk and closes the file. False when
  // anything since Open failed; Error() says what. Later writes are dropped.
  bool Close();
  bool Failed() const { return !error_.empty(); }
  const std::wstring& Error() const { return error_; }

 protected:
  int_type overflow(int_type unit) override;
  std::streamsize xsputn(const char_type* from, std::streamsize count) override;
  int sync() override;

 private:
  bool WritePending();
  bool Encode(const wchar_t* from, std::size_t count);
  void SetError(std::wstring reason);

  std::FILE* file_ = nullptr;
  std::vector<wchar_t> units_;
  std::vector<unsigned char> bytes_;
  std::wstring error_;
};
