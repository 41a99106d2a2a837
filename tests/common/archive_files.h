#pragma once
// Helpers for data-file tests: temporary folders, raw bytes, and archive texts
// put together by hand from the text-archive grammar.
#include <cstdint>
#include <string>
#include <vector>

namespace testfiles {

class TempFolder {
 public:
  explicit TempFolder(const std::wstring& leaf = L"");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const;

 private:
  std::wstring root_;
  std::wstring path_;
};

// The bytes a text-mode wide stream stores for `text`: UTF-16LE units, with a
// 0x0D byte before every 0x0A byte.
std::string Bytes(const std::wstring& text);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);

// A string token: its length, one space, its characters.
std::wstring Str(const std::wstring& text);
std::wstring Num(std::int64_t value);
// The tokens and the line break the library's archive writes when it ends.
std::wstring Closed(const std::wstring& tokens);

// A whole contacts.dat or groups.dat, with its closing line break: `records`
// are the field texts of each record, already joined by spaces. Library versions
// above 3 carry an item version after the element count, as the library's own
// vector code writes it.
std::wstring CollectionFile(int libraryVersion, std::int32_t lastId, const std::vector<std::wstring>& records);
std::wstring ContactRecord(std::int32_t id, const std::wstring& name, const std::wstring& imagePath, int unit,
                           std::int32_t count, std::int64_t last, std::int64_t previous, const std::wstring& notes,
                           std::int32_t groupId);
std::wstring GroupRecord(std::int32_t id, const std::wstring& name, const std::wstring& imagePath, int unit,
                         std::int32_t count);

}  // namespace testfiles
