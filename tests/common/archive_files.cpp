#include "tests/common/archive_files.h"

#include "model/file_system.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace testfiles {

namespace {

// The temporary folder's own name is ASCII off Windows.
std::wstring Wide(const fs::path& path) {
#ifdef _WIN32
  return path.wstring();
#else
  const std::string text = path.string();
  return std::wstring(text.begin(), text.end());
#endif
}

}  // namespace

TempFolder::TempFolder(const std::wstring& leaf) {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path root = fs::temp_directory_path() /
                        files::PathOf(L"amicord-test-" + std::to_wstring(stamp) + L"-" + std::to_wstring(counter++));
  fs::create_directories(root);
  root_ = Wide(root);
  const fs::path folder = leaf.empty() ? root : root / files::PathOf(leaf);
  fs::create_directories(folder);
  path_ = leaf.empty() ? root_ : root_ + static_cast<wchar_t>(fs::path::preferred_separator) + leaf;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(files::PathOf(root_), ignored);
}

std::wstring TempFolder::File(const std::wstring& name) const {
  return path_ + static_cast<wchar_t>(fs::path::preferred_separator) + name;
}

std::string Bytes(const std::wstring& text) {
  std::string units;
  for (const wchar_t unit : text) {
    units += static_cast<char>(static_cast<unsigned>(unit) & 0xFF);
    units += static_cast<char>((static_cast<unsigned>(unit) >> 8) & 0xFF);
  }
  std::string bytes;
  for (const char byte : units) {
    if (byte == '\n') bytes += '\r';
    bytes += byte;
  }
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(files::PathOf(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(files::PathOf(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& path) {
  std::error_code ignored;
  return fs::exists(files::PathOf(path), ignored);
}

std::wstring Str(const std::wstring& text) { return std::to_wstring(text.size()) + L" " + text; }
std::wstring Num(std::int64_t value) { return std::to_wstring(value); }
std::wstring Closed(const std::wstring& tokens) { return tokens + L"\n"; }

std::wstring CollectionFile(int libraryVersion, std::int32_t lastId, const std::vector<std::wstring>& records) {
  // Root object: class information (tracking 0, version 1), then lastId; the
  // vector: class information (0 0), then the element count.
  std::wstring text = L"22 serialization::archive " + Num(libraryVersion) + L" 0 1 " + Num(lastId) + L" 0 0 " +
                      Num(static_cast<std::int64_t>(records.size()));
  if (libraryVersion > 3) text += L" 1";
  for (std::size_t i = 0; i < records.size(); ++i) {
    // First element: shared_ptr class information (0 1), the record's new class
    // id 3 with its class information (tracking 1, version 1), then its object
    // id on a new line. Later elements: the class id and a new object id.
    text += i == 0 ? L" 0 1 3 1 1\n0 " : L" 3\n" + Num(static_cast<std::int64_t>(i)) + L" ";
    text += records[i];
  }
  return Closed(text);
}

std::wstring ContactRecord(std::int32_t id, const std::wstring& name, const std::wstring& imagePath, int unit,
                           std::int32_t count, std::int64_t last, std::int64_t previous, const std::wstring& notes,
                           std::int32_t groupId) {
  return Num(id) + L" " + Str(name) + L" " + Str(imagePath) + L" " + Num(unit) + L" " + Num(count) + L" " + Num(last) +
         L" " + Num(previous) + L" " + Str(notes) + L" " + Num(groupId);
}

std::wstring GroupRecord(std::int32_t id, const std::wstring& name, const std::wstring& imagePath, int unit,
                         std::int32_t count) {
  return Num(id) + L" " + Str(name) + L" " + Str(imagePath) + L" " + Num(unit) + L" " + Num(count);
}

}  // namespace testfiles
