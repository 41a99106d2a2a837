#include "model/wide_file_buf.h"

#include <algorithm>
#include <type_traits>

#include "model/file_system.h"

namespace {

constexpr std::size_t kRawChunk = 1 << 16;
constexpr std::size_t kUnitChunk = 1 << 14;
constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;

}  // namespace

WideInBuf::WideInBuf() : units_(kUnitChunk) {}

WideInBuf::~WideInBuf() {
  if (file_) std::fclose(file_);
}

bool WideInBuf::Open(const std::wstring& path) {
  file_ = files::OpenBinary(path, false);
  if (!file_) return false;
  const long long size = files::SizeOf(file_);
  // Size unknown: still read to the end, but allow no more than the bound says.
  fileBytesLeft_ = size < 0 ? 0 : static_cast<std::uint64_t>(size);
  totalBytes_ = fileBytesLeft_;
  raw_.resize(kRawChunk);
  rawPos_ = rawEnd_ = raw_.data();
  return true;
}

void WideInBuf::OpenMemory(const void* data, std::size_t size) {
  rawPos_ = static_cast<const unsigned char*>(data);
  rawEnd_ = rawPos_ + size;
  fileBytesLeft_ = 0;
  totalBytes_ = size;
}

void WideInBuf::OpenUnits(const wchar_t* units, std::size_t count) {
  wchar_t* const begin = const_cast<wchar_t*>(units);  // only ever read
  setg(begin, begin, begin + count);
  rawPos_ = rawEnd_ = nullptr;
  fileBytesLeft_ = 0;
  totalBytes_ = 2 * static_cast<std::uint64_t>(count);
}

std::uint64_t WideInBuf::RawTaken() const {
  return totalBytes_ - static_cast<std::uint64_t>(rawEnd_ - rawPos_) - fileBytesLeft_;
}

std::uint64_t WideInBuf::Position() const {
  std::uint64_t unread = 0;
  for (const wchar_t* at = gptr(); at != egptr(); ++at) {
    const auto value = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(*at));
    unread += 2 + ((value & 0xFF) == kLf) + (((value >> 8) & 0xFF) == kLf);
  }
  // A file that ends with half a unit: those bytes were taken, but made no unit.
  return RawTaken() - unread - danglingBytes_;
}

std::uint64_t WideInBuf::RemainingUnitsBound() const {
  const std::uint64_t rawLeft = static_cast<std::uint64_t>(rawEnd_ - rawPos_) + fileBytesLeft_;
  return static_cast<std::uint64_t>(egptr() - gptr()) + rawLeft / 2;
}

bool WideInBuf::Refill() {
  if (!file_) return false;
  const std::size_t got = std::fread(raw_.data(), 1, raw_.size(), file_);
  rawPos_ = raw_.data();
  rawEnd_ = rawPos_ + got;
  fileBytesLeft_ = got >= fileBytesLeft_ ? 0 : fileBytesLeft_ - got;
  return got != 0;
}

int WideInBuf::NextByte() {
  if (rawPos_ == rawEnd_ && !Refill()) return -1;
  const unsigned char byte = *rawPos_++;
  if (byte == kCr) {
    if (rawPos_ == rawEnd_ && !Refill()) return byte;
    if (*rawPos_ == kLf) {
      ++rawPos_;
      return kLf;
    }
  }
  return byte;
}

std::size_t WideInBuf::Decode(wchar_t* const out, const std::size_t room) {
  std::size_t count = 0;
  while (count < room) {
    // Almost every unit is two plain bytes: take those without the byte-wise path.
    const std::size_t pairs = std::min<std::size_t>((rawEnd_ - rawPos_) / 2, room - count);
    const unsigned char* from = rawPos_;
    const unsigned char* const stop = from + 2 * pairs;
    wchar_t* to = out + count;
    while (from != stop && from[0] != kCr && from[1] != kCr) {
      *to++ = static_cast<wchar_t>(from[0] | (from[1] << 8));
      from += 2;
    }
    count = static_cast<std::size_t>(to - out);
    rawPos_ = from;
    if (count == room) break;
    if (from != stop || rawEnd_ - rawPos_ < 2) {
      const std::uint64_t before = RawTaken();
      const int low = NextByte();
      if (low < 0) break;
      const int high = NextByte();
      if (high < 0) {
        endedInsideUnit_ = true;
        danglingBytes_ = RawTaken() - before;
        break;
      }
      out[count++] = static_cast<wchar_t>(low | (high << 8));
    }
  }
  return count;
}

WideInBuf::int_type WideInBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const std::size_t count = Decode(units_.data(), units_.size());
  if (count == 0) return traits_type::eof();
  setg(units_.data(), units_.data(), units_.data() + count);
  return traits_type::to_int_type(*gptr());
}

std::streamsize WideInBuf::xsgetn(char_type* to, std::streamsize count) {
  // Long strings (notes) are decoded straight into their place.
  std::streamsize done = std::min<std::streamsize>(count, egptr() - gptr());
  traits_type::copy(to, gptr(), static_cast<std::size_t>(done));
  gbump(static_cast<int>(done));
  if (done < count) done += static_cast<std::streamsize>(Decode(to + done, static_cast<std::size_t>(count - done)));
  return done;
}

WideOutBuf::WideOutBuf() : units_(kUnitChunk) {}

WideOutBuf::~WideOutBuf() {
  if (file_) std::fclose(file_);
}

bool WideOutBuf::Open(const std::wstring& path) {
  file_ = files::OpenBinary(path, true);
  if (!file_) {
    SetError(files::LastError());
    return false;
  }
  setp(units_.data(), units_.data() + units_.size());
  return true;
}

void WideOutBuf::SetError(std::wstring reason) {
  if (error_.empty()) error_ = reason.empty() ? L"write error" : std::move(reason);
}

bool WideOutBuf::WritePending() {
  const wchar_t* const from = pbase();
  const std::size_t count = static_cast<std::size_t>(pptr() - pbase());
  setp(units_.data(), units_.data() + units_.size());
  return Encode(from, count);
}

namespace {

// Appends the units' bytes at `to`, which has room for four bytes a unit;
// nullptr for a unit beyond U+FFFF: the file holds 16-bit units only, and such
// a character would change the meaning of every length that follows.
unsigned char* EncodeInto(const wchar_t* from, std::size_t count, unsigned char* to) {
  for (std::size_t i = 0; i < count; ++i) {
    const auto value = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(from[i]));
    if constexpr (sizeof(wchar_t) > 2) {
      if (value > 0xFFFF) return nullptr;
    }
    const auto low = static_cast<unsigned char>(value & 0xFF);
    const auto high = static_cast<unsigned char>(value >> 8);
    if (low == kLf) *to++ = kCr;
    *to++ = low;
    if (high == kLf) *to++ = kCr;
    *to++ = high;
  }
  return to;
}

}  // namespace

bool WideOutBuf::EncodeUnits(const wchar_t* from, std::size_t count, std::string& bytes) {
  bytes.resize(count * 4);  // at worst 0D 0A 0D 0A per unit
  auto* const begin = reinterpret_cast<unsigned char*>(&bytes[0]);
  unsigned char* const end = EncodeInto(from, count, begin);
  bytes.resize(end ? static_cast<std::size_t>(end - begin) : 0);
  return end != nullptr;
}

bool WideOutBuf::Encode(const wchar_t* from, std::size_t count) {
  if (!file_ || !error_.empty()) return false;
  while (count != 0) {
    const std::size_t chunk = std::min(count, kUnitChunk);
    bytes_.resize(chunk * 4);  // at worst 0D 0A 0D 0A per unit
    unsigned char* const to = EncodeInto(from, chunk, bytes_.data());
    if (!to) {
      SetError(L"a character beyond U+FFFF cannot be stored");
      return false;
    }
    const std::size_t size = static_cast<std::size_t>(to - bytes_.data());
    if (std::fwrite(bytes_.data(), 1, size, file_) != size) {
      SetError(L"the disk refused the data (is it full?)");
      return false;
    }
    from += chunk;
    count -= chunk;
  }
  return true;
}

std::streamsize WideOutBuf::xsputn(const char_type* from, std::streamsize count) {
  if (!file_) return 0;
  if (count < static_cast<std::streamsize>(epptr() - pptr())) {
    traits_type::copy(pptr(), from, static_cast<std::size_t>(count));
    pbump(static_cast<int>(count));
    return count;
  }
  if (!WritePending() || !Encode(from, static_cast<std::size_t>(count))) return 0;
  return count;
}

WideOutBuf::int_type WideOutBuf::overflow(int_type unit) {
  if (!file_) return traits_type::eof();
  if (!WritePending()) return traits_type::eof();
  if (!traits_type::eq_int_type(unit, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(unit);
    pbump(1);
  }
  return traits_type::not_eof(unit);
}

int WideOutBuf::sync() {
  if (!file_) return 0;
  return WritePending() ? 0 : -1;
}

bool WideOutBuf::Close() {
  if (!file_) return false;
  bool ok = WritePending();
  if (ok && !files::FlushToDisk(file_)) {
    SetError(files::LastError());
    ok = false;
  }
  if (std::fclose(file_) != 0 && ok) {
    SetError(L"the file could not be closed");
    ok = false;
  }
  file_ = nullptr;
  setp(nullptr, nullptr);
  return ok && error_.empty();
}
