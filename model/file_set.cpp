#include "model/file_set.h"

#include <cstdio>

#include "model/archive.h"
#include "model/file_system.h"

namespace {

constexpr wchar_t kMarkerName[] = L"saving.set";
constexpr wchar_t kEndLine[] = L"end";
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

}  // namespace

FileSet::FileSet(std::vector<std::wstring> members) : members_(std::move(members)) {
  const std::wstring& first = members_.empty() ? std::wstring() : members_.front();
  marker_ = first.substr(0, LeafStart(first)) + kMarkerName;
}

bool FileSet::WriteMarker(const std::vector<std::wstring>& changed, std::wstring& reason) const {
  std::wstring text;
  for (const std::wstring& path : changed) text += LeafOf(path) + L"\n";
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

bool FileSet::Replace(const std::vector<std::wstring>& changed, std::wstring& reason) const {
  if (changed.empty()) return true;
  std::wstring why;
  if (!WriteMarker(changed, why)) {
    files::Remove(marker_);
    for (const std::wstring& path : changed) files::Remove(TemporaryPath(path));
    reason = L"Could not write " + marker_ + L": " + why;
    return false;
  }
  for (const std::wstring& path : changed) {
    if (files::ReplaceWith(TemporaryPath(path), path)) continue;
    reason = L"Could not replace " + path + L": " + files::LastError();
    return false;
  }
  files::Remove(marker_);
  return true;
}

bool FileSet::ReadMarker(std::vector<std::wstring>& named) const {
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
    for (const std::wstring& line : lines) {
      if (line == LeafOf(member)) named.push_back(member);
    }
  }
  return true;
}

void FileSet::FinishInterrupted(const CompleteCheck& complete) const {
  if (members_.empty() || !files::Exists(marker_)) return;
  std::vector<std::wstring> named;
  bool rollForward = ReadMarker(named);
  if (!rollForward) named = members_;
  std::vector<std::wstring> waiting;  // members not yet put in place when the save stopped
  for (const std::wstring& member : named) {
    if (!files::Exists(TemporaryPath(member))) continue;
    waiting.push_back(member);
    if (rollForward && !complete(TemporaryPath(member), member)) rollForward = false;
  }
  for (const std::wstring& member : waiting) {
    if (rollForward) {
      // A failure leaves the marker: the next start tries again.
      if (!files::ReplaceWith(TemporaryPath(member), member)) return;
    } else {
      files::Remove(TemporaryPath(member));
    }
  }
  files::Remove(marker_);
}
