#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>

#include "model/file_system.h"

namespace files {

namespace {

std::string Native(const std::wstring& path) { return PathOf(path).native(); }

bool Fail() {
  const char* text = strerror(errno);
  detail::SetLastError(std::wstring(text, text + strlen(text)));
  return false;
}

// A rename is only durable once the folder that records it is on the disk too.
bool SyncFolderOf(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().native();
  if (folder.empty()) folder = ".";
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Fail();
  const bool ok = fsync(fd) == 0 || Fail();
  close(fd);
  return ok;
}

}  // namespace

std::filesystem::path PathOf(const std::wstring& path) {
  std::string bytes;
  bytes.reserve(path.size());
  for (const wchar_t unit : path) {
    const auto c = static_cast<std::uint32_t>(unit);
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | (c >> 6));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | (c >> 12));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
      bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return std::filesystem::path(std::move(bytes));
}

std::FILE* OpenBinary(const std::wstring& path, bool write) {
  std::FILE* file = std::fopen(Native(path).c_str(), write ? "wbe" : "rbe");
  if (!file) Fail();
  return file;
}

std::FILE* OpenForUpdate(const std::wstring& path) {
  std::FILE* file = std::fopen(Native(path).c_str(), "r+be");
  if (!file) Fail();
  return file;
}

long long SizeOf(std::FILE* file) {
  struct stat info {};
  if (fstat(fileno(file), &info) != 0) return -1;
  return static_cast<long long>(info.st_size);
}

bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return Fail();
  if (fsync(fileno(file)) != 0) return Fail();
  return true;
}

bool ReplaceWith(const std::wstring& from, const std::wstring& to) {
  const std::string target = Native(to);
  if (std::rename(Native(from).c_str(), target.c_str()) != 0) return Fail();
  SyncFolderOf(target);
  return true;
}

bool FlushFolderOf(const std::wstring& path) { return SyncFolderOf(Native(path)); }

bool CopyNoOverwrite(const std::wstring& from, const std::wstring& to, bool& existed) {
  existed = false;
  const int in = open(Native(from).c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Fail();
  const int out = open(Native(to).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) {
    existed = errno == EEXIST;
    Fail();
    close(in);
    return false;
  }
  bool ok = true;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(in, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      ok = Fail();
      break;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
      if (put < 0) {
        ok = Fail();
        break;
      }
      done += put;
    }
    if (!ok) break;
  }
  if (ok && fsync(out) != 0) ok = Fail();
  close(out);
  close(in);
  return ok;
}

bool StampOf(const std::wstring& path, std::uintmax_t& size, std::int64_t& written) {
  std::error_code error;
  const std::filesystem::path native = PathOf(path);
  size = std::filesystem::file_size(native, error);
  if (error) return false;
  const auto time = std::filesystem::last_write_time(native, error);
  if (error) return false;
  written = static_cast<std::int64_t>(time.time_since_epoch().count());
  return true;
}

}  // namespace files
