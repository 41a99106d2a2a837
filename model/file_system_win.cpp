#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>

#include "model/file_system.h"
#include "base/windows_api.h"

namespace files {

namespace {

bool Fail(DWORD code = GetLastError()) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason = length ? std::wstring(text, length) : L"Windows error " + std::to_wstring(code);
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' '))
    reason.pop_back();
  detail::SetLastError(std::move(reason));
  return false;
}

}  // namespace

std::filesystem::path PathOf(const std::wstring& path) { return std::filesystem::path(path); }

std::FILE* OpenBinary(const std::wstring& path, bool write) {
  // By the wide name: a folder named in another script than the ANSI code page
  // could not be reached through a narrow one.
  std::FILE* file = _wfopen(path.c_str(), write ? L"wb" : L"rb");
  if (!file) {
    const int error = errno;
    detail::SetLastError(_wcserror(error));
  }
  return file;
}

std::FILE* OpenForUpdate(const std::wstring& path) {
  std::FILE* file = _wfopen(path.c_str(), L"r+b");
  if (!file) {
    const int error = errno;
    detail::SetLastError(_wcserror(error));
  }
  return file;
}

long long SizeOf(std::FILE* file) {
  struct _stati64 info {};
  if (_fstati64(_fileno(file), &info) != 0) return -1;
  return static_cast<long long>(info.st_size);
}

bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) {
    detail::SetLastError(_wcserror(errno));
    return false;
  }
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle)) return Fail();
  return true;
}

bool ReplaceWith(const std::wstring& from, const std::wstring& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return Fail();
  return true;
}

// NTFS journals the names in a folder; the replacements are written through.
bool FlushFolderOf(const std::wstring&) { return true; }

bool CopyNoOverwrite(const std::wstring& from, const std::wstring& to, bool& existed) {
  existed = false;
  if (CopyFileW(from.c_str(), to.c_str(), TRUE)) return true;
  const DWORD code = GetLastError();
  existed = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
  return Fail(code);
}

// The system's own 100-nanosecond write time: the C runtime's stat keeps whole
// seconds, which hides a rewrite of the same size within the same second.
bool StampOf(const std::wstring& path, std::uintmax_t& size, std::int64_t& written) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return Fail();
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  size = (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  written = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                      data.ftLastWriteTime.dwLowDateTime);
  return true;
}

}  // namespace files
