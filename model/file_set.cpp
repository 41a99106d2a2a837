#include "model/file_set.h"

#include <climits>
#include <cstdio>

#include "model/archive.h"
#include "model/file_system.h"

namespace {

constexpr wchar_t kMarkerName[] = L"saving.set";
constexpr wchar_t kEndLine[] = L"end";
// An append's line: this, the member's leaf name, a space and the offset.
constexpr wchar_t kAppendMark = L'+';
// A staged append is one record: far below this.
constexpr long long kStagedLimit = 1LL << 30;
// A marker names at most three short file names.
constexpr long kMarkerLimit = 4096;

std::size_t LeafStart(const std::wstring& path) {
  const std::size_t last = path.find_last_of(L"/\\");
  return last == std::wstring::npos ? 0 : last + 1;
}

std::wstring LeafOf(const std::wstring& path) { return path.substr(LeafStart(path)); }

// The marker holds one leaf name a line and a closing "end" line, as UTF-16LE.
std::string Encode(const std::wstring& text) {
  std::string bytes;
  for (const wchar_t unit : text) {
    bytes += static_cast<char>(static_cast<unsigned>(unit) & 0xFF);
    bytes += static_cast<char>((static_cast<unsigned>(unit) >> 8) & 0xFF);
  }
  return bytes;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes, std::wstring& reason) {
  std::FILE* file = files::OpenBinary(path, true);
  bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && files::FlushToDisk(file);
  if (!ok) reason = files::LastError().empty() ? L"the disk refused the data (is it full?)" : files::LastError();
  if (file && std::fclose(file) != 0 && ok) {
    reason = L"the file could not be closed";
    ok = false;
  }
  return ok;
}

bool ReadWhole(const std::wstring& path, std::string& bytes) {
  std::FILE* file = files::OpenBinary(path, false);
  if (!file) return false;
  const long long size = files::SizeOf(file);
  bool ok = size >= 0 && size <= kStagedLimit;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    ok = size == 0 || std::fread(&bytes[0], 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return ok;
}

}  // namespace

std::wstring AppendPath(const std::wstring& path) { return path + L".append"; }

AppendResult AppendAt(const std::wstring& path, std::uint64_t offset, const std::string& bytes) {
  std::FILE* file = files::OpenForUpdate(path);
  if (!file) return AppendResult::Failed;
  const long long size = files::SizeOf(file);
  const auto there = static_cast<std::uint64_t>(size < 0 ? 0 : size);
  bool fits = size >= 0 && offset <= LONG_MAX && there >= offset && there - offset <= bytes.size();
  if (fits && there > offset) {
    std::string present(static_cast<std::size_t>(there - offset), '\0');
    fits = std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(&present[0], 1, present.size(), file) == present.size() &&
           bytes.compare(0, present.size(), present) == 0;
  }
  if (!fits) {
    std::fclose(file);
    return AppendResult::Stale;
  }
  bool ok = std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
            std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && files::FlushToDisk(file);
  if (!ok && files::LastError().empty()) files::detail::SetLastError(L"the disk refused the data (is it full?)");
  ok = std::fclose(file) == 0 && ok;
  return ok ? AppendResult::Done : AppendResult::Failed;
}

FileSet::FileSet(std::vector<std::wstring> members) : members_(std::move(members)) {
  const std::wstring& first = members_.empty() ? std::wstring() : members_.front();
  marker_ = first.substr(0, LeafStart(first)) + kMarkerName;
}

bool FileSet::WriteMarker(const std::vector<std::wstring>& changed, const Append* append, std::wstring& reason) const {
  std::wstring text;
  for (const std::wstring& path : changed) text += LeafOf(path) + L"\n";
  if (append) text += kAppendMark + LeafOf(append->member) + L" " + std::to_wstring(append->offset) + L"\n";
  text += kEndLine;
  text += L"\n";
  const std::string bytes = Encode(text);
  std::FILE* file = files::OpenBinary(marker_, true);
  bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && files::FlushToDisk(file);
  if (!ok) reason = files::LastError().empty() ? L"the disk refused the data (is it full?)" : files::LastError();
  if (file && std::fclose(file) != 0 && ok) {
    reason = L"the file could not be closed";
    ok = false;
  }
  // The marker's name must be on the disk before the first replacement.
  if (ok && !files::FlushFolderOf(marker_)) {
    reason = files::LastError();
    ok = false;
  }
  return ok;
}

void FileSet::Discard(const std::vector<std::wstring>& changed, const Append* append) const {
  files::Remove(marker_);
  for (const std::wstring& path : changed) files::Remove(TemporaryPath(path));
  if (append) files::Remove(AppendPath(append->member));
}

bool FileSet::Replace(const std::vector<std::wstring>& changed, std::wstring& reason, const Append* append) const {
  if (changed.empty() && !append) return true;
  std::wstring why;
  if (append && !WriteWhole(AppendPath(append->member), append->bytes, why)) {
    Discard(changed, append);
    reason = L"Could not write " + AppendPath(append->member) + L": " + why;
    return false;
  }
  if (!WriteMarker(changed, append, why)) {
    Discard(changed, append);
    reason = L"Could not write " + marker_ + L": " + why;
    return false;
  }
  // The append goes first: when it cannot be made, nothing is replaced yet,
  // and what it wrote of itself reads as a record cut off, never written.
  if (append) {
    const AppendResult added = AppendAt(append->member, append->offset, append->bytes);
    if (added != AppendResult::Done) {
      reason = L"Could not add to " + append->member + L": " +
               (added == AppendResult::Stale ? std::wstring(L"it was changed meanwhile") : files::LastError());
      Discard(changed, append);
      return false;
    }
  }
  for (const std::wstring& path : changed) {
    if (files::ReplaceWith(TemporaryPath(path), path)) continue;
    reason = L"Could not replace " + path + L": " + files::LastError();
    return false;
  }
  if (append) files::Remove(AppendPath(append->member));
  files::Remove(marker_);
  return true;
}

bool FileSet::ReadMarker(std::vector<std::wstring>& named, Append& append) const {
  std::FILE* file = files::OpenBinary(marker_, false);
  if (!file) return false;
  const long long size = files::SizeOf(file);
  std::string bytes;
  if (size > 0 && size <= kMarkerLimit) {
    bytes.resize(static_cast<std::size_t>(size));
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), file));
  }
  std::fclose(file);
  std::wstring text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  std::vector<std::wstring> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) return false;  // cut inside a line
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (lines.empty() || lines.back() != kEndLine) return false;
  lines.pop_back();
  for (const std::wstring& member : members_) {
    const std::wstring appended = kAppendMark + LeafOf(member) + L" ";
    for (const std::wstring& line : lines) {
      if (line == LeafOf(member)) named.push_back(member);
      if (line.compare(0, appended.size(), appended) != 0) continue;
      const std::wstring digits = line.substr(appended.size());
      if (digits.empty() || digits.size() > 18 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
      append.member = member;
      append.offset = std::stoull(digits);
    }
  }
  return true;
}

void FileSet::FinishInterrupted(const CompleteCheck& complete) const {
  if (members_.empty() || !files::Exists(marker_)) return;
  std::vector<std::wstring> named;
  Append append;
  bool rollForward = ReadMarker(named, append);
  if (!rollForward) named = members_;
  std::vector<std::wstring> waiting;  // members not yet put in place when the save stopped
  for (const std::wstring& member : named) {
    if (!files::Exists(TemporaryPath(member))) continue;
    waiting.push_back(member);
    if (rollForward && !complete(TemporaryPath(member), member)) rollForward = false;
  }
  // The staged append is removed only once it was added: when it is gone, so is its work.
  const bool appending = rollForward && !append.member.empty() && files::Exists(AppendPath(append.member));
  if (appending &&
      (!complete(AppendPath(append.member), append.member) || !ReadWhole(AppendPath(append.member), append.bytes)))
    rollForward = false;
  if (rollForward && appending) {
    // Stale: the file is not the one the record was made for; adding it would
    // make a journal no save ever wrote.
    if (AppendAt(append.member, append.offset, append.bytes) == AppendResult::Failed) return;
  }
  for (const std::wstring& member : waiting) {
    if (rollForward) {
      // A failure leaves the marker: the next start tries again.
      if (!files::ReplaceWith(TemporaryPath(member), member)) return;
    } else {
      files::Remove(TemporaryPath(member));
    }
  }
  for (const std::wstring& member : members_) files::Remove(AppendPath(member));
  files::Remove(marker_);
}
