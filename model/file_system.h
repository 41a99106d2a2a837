#pragma once
// The few file operations the data files need, by wide path on every platform.
// Each failing call leaves a readable reason in LastError().
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace files {

// The file system's own form of a wide path (UTF-8 bytes off Windows, whatever
// the process locale).
std::filesystem::path PathOf(const std::wstring& path);

// Opens for binary reading ("rb") or writing ("wb"); nullptr on failure.
std::FILE* OpenBinary(const std::wstring& path, bool write);
// Opens an existing file for reading and writing in place ("r+b"); nullptr on failure.
std::FILE* OpenForUpdate(const std::wstring& path);
// Size in bytes of an open file, or -1.
long long SizeOf(std::FILE* file);
// Pushes what the C library buffered and what the system cached to the disk.
bool FlushToDisk(std::FILE* file);
// Replaces `to` by `from` in one step: afterwards `to` is either the old or the
// new file, also after a crash or power cut.
bool ReplaceWith(const std::wstring& from, const std::wstring& to);
// Forces the folder that holds `path` to the disk, so that a file created there
// keeps its name after a power cut.
bool FlushFolderOf(const std::wstring& path);
// Copies `from` to `to` unless `to` exists; `existed` tells that case apart.
bool CopyNoOverwrite(const std::wstring& from, const std::wstring& to, bool& existed);
// Creates the folder that holds `path`, with its parents, when missing.
bool EnsureFolderFor(const std::wstring& path);
bool Exists(const std::wstring& path);
// A file's size and last write time (in the file system's own ticks); false
// when it cannot be read.
bool StampOf(const std::wstring& path, std::uintmax_t& size, std::int64_t& written);
void Remove(const std::wstring& path);

// Why the last failing call of this thread failed, as the system words it.
const std::wstring& LastError();

namespace detail {
void SetLastError(std::wstring reason);
}

}  // namespace files
