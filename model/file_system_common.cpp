#include <filesystem>
#include <system_error>

#include "model/file_system.h"

namespace files {

namespace {
thread_local std::wstring lastError;

std::wstring Widen(const std::string& text) {
  // System messages are plain ASCII in practice; keep every byte visible anyway.
  return std::wstring(text.begin(), text.end());
}
}  // namespace

const std::wstring& LastError() { return lastError; }

namespace detail {
void SetLastError(std::wstring reason) { lastError = std::move(reason); }
}  // namespace detail

bool EnsureFolderFor(const std::wstring& path) {
  const std::filesystem::path folder = PathOf(path).parent_path();
  if (folder.empty()) return true;
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return true;
  std::filesystem::create_directories(folder, error);
  if (error && !std::filesystem::is_directory(folder)) {
    detail::SetLastError(Widen(error.message()));
    return false;
  }
  return true;
}

bool Exists(const std::wstring& path) {
  std::error_code error;
  return std::filesystem::exists(PathOf(path), error);
}

void Remove(const std::wstring& path) {
  std::error_code error;
  std::filesystem::remove(PathOf(path), error);
}

}  // namespace files
