#include "model/backups.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <system_error>

#include "model/archive.h"
#include "model/file_set.h"
#include "model/file_system.h"

namespace fs = std::filesystem;

namespace {

// Beside the copies: when the backup was made, as decimal seconds. The folder's
// own times change when it is copied or synced; this does not.
constexpr wchar_t kMadeFile[] = L"backup.made";

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t last = path.find_last_of(L"/\\");
  return last == std::wstring::npos ? std::wstring() : path.substr(0, last);
}

std::wstring LeafOf(const std::wstring& path) {
  const std::size_t last = path.find_last_of(L"/\\");
  return last == std::wstring::npos ? path : path.substr(last + 1);
}

std::wstring Join(const std::wstring& folder, const std::wstring& leaf) {
  return folder + platform::PathSeparator() + leaf;
}

bool WriteMade(const std::wstring& folder, Time made) {
  std::FILE* file = files::OpenBinary(Join(folder, kMadeFile), true);
  if (!file) return false;
  const bool ok = std::fprintf(file, "%lld\n", static_cast<long long>(made)) > 0;
  return std::fclose(file) == 0 && ok;
}

bool ReadMade(const std::wstring& folder, Time& made) {
  std::FILE* file = files::OpenBinary(Join(folder, kMadeFile), false);
  if (!file) return false;
  long long value = 0;
  const bool ok = std::fscanf(file, "%lld", &value) == 1;
  std::fclose(file);
  made = static_cast<Time>(value);
  return ok;
}

// A plain copy that is on the disk when it returns, for a restore's temporary files.
bool CopyToDisk(const std::wstring& from, const std::wstring& to) {
  std::FILE* source = files::OpenBinary(from, false);
  if (!source) return false;
  std::FILE* target = files::OpenBinary(to, true);
  bool ok = target != nullptr;
  char buffer[65536];
  while (ok) {
    const std::size_t read = std::fread(buffer, 1, sizeof buffer, source);
    if (read == 0) break;
    ok = std::fwrite(buffer, 1, read, target) == read;
  }
  ok = ok && !std::ferror(source) && files::FlushToDisk(target);
  std::fclose(source);
  if (target && std::fclose(target) != 0) ok = false;
  return ok;
}

// Whether a daily backup's folder name is the day's name, alone or with -N.
bool IsOfDay(const std::wstring& name, const std::wstring& day) {
  if (name.compare(0, day.size(), day) != 0) return false;
  if (name.size() == day.size()) return true;
  if (name[day.size()] != L'-' || name.size() == day.size() + 1) return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(day.size()) + 1, name.end(),
                     [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

}  // namespace

Backups::Backups(const Engine::Paths& files) : files_(files) { folder_ = Join(FolderOf(files_.groups), L"backups"); }

std::vector<std::wstring> Backups::Members() const {
  std::vector<std::wstring> members{files_.groups, files_.contacts, files_.options};
  if (!files_.journal.empty()) members.push_back(files_.journal);
  return members;
}

std::wstring Backups::DayName(Time time) {
  const platform::LocalTime local = platform::ToLocalTime(time);
  wchar_t name[16] = {};
  std::swprintf(name, sizeof name / sizeof name[0], L"%04d-%02d-%02d", local.year, local.month, local.day);
  return name;
}

std::wstring Backups::MakeDailyIfDue() {
  const std::wstring day = DayName(platform::Now());
  for (const BackupInfo& backup : Folders())
    if (IsOfDay(backup.name, day)) return {};
  return Make(day);
}

std::wstring Backups::Make(const std::wstring& baseName) {
  const std::wstring made = Copy(baseName);
  if (!made.empty()) RemoveOldest();
  return made;
}

std::wstring Backups::Copy(const std::wstring& baseName) const {
  std::vector<std::wstring> present;
  for (const std::wstring& member : Members())
    if (files::Exists(member)) present.push_back(member);
  if (present.empty()) return {};
  std::error_code error;
  fs::create_directories(files::PathOf(folder_), error);
  std::wstring made;
  for (int attempt = 1; attempt <= 1000 && made.empty(); ++attempt) {
    const std::wstring name = baseName + (attempt == 1 ? std::wstring() : L"-" + std::to_wstring(attempt));
    const std::wstring candidate = Join(folder_, name);
    if (fs::create_directory(files::PathOf(candidate), error)) made = candidate;
    if (error) return {};
  }
  if (made.empty()) return {};
  bool ok = WriteMade(made, platform::Now());
  for (const std::wstring& member : present) {
    bool existed = false;
    ok = ok && files::CopyNoOverwrite(member, Join(made, LeafOf(member)), existed);
  }
  if (!ok) {
    fs::remove_all(files::PathOf(made), error);
    return {};
  }
  return made;
}

std::vector<BackupInfo> Backups::Folders() const {
  std::vector<BackupInfo> found;
  std::error_code error;
  for (fs::directory_iterator entry(files::PathOf(folder_), error), end; !error && entry != end;
       entry.increment(error)) {
    if (!entry->is_directory(error)) continue;
    BackupInfo backup;
    backup.name = entry->path().filename().wstring();
    backup.folder = Join(folder_, backup.name);
    if (ReadMade(backup.folder, backup.made)) found.push_back(std::move(backup));  // else not one of ours
  }
  std::sort(found.begin(), found.end(), [](const BackupInfo& a, const BackupInfo& b) {
    return a.made != b.made ? a.made > b.made : a.name > b.name;
  });
  return found;
}

std::vector<BackupInfo> Backups::List() const {
  std::vector<BackupInfo> found = Folders();
  for (BackupInfo& backup : found) {
    Groups groups;
    Contacts contacts;
    Options options;
    const FileStatus states[] = {ReadArchive(Join(backup.folder, LeafOf(files_.groups)), groups),
                                 ReadArchive(Join(backup.folder, LeafOf(files_.contacts)), contacts),
                                 ReadArchive(Join(backup.folder, LeafOf(files_.options)), options)};
    backup.readable = std::none_of(std::begin(states), std::end(states),
                                   [](FileStatus state) { return state == FileStatus::Damaged; }) &&
                      std::any_of(std::begin(states), std::end(states),
                                  [](FileStatus state) { return state == FileStatus::Ok; });
    backup.groups = groups.items.size();
    backup.contacts = contacts.items.size();
  }
  return found;
}

void Backups::RemoveOldest() const {
  const std::vector<BackupInfo> all = Folders();
  std::error_code error;
  for (std::size_t i = std::max<std::size_t>(kKept, 1); i < all.size(); ++i)
    fs::remove_all(files::PathOf(all[i].folder), error);
}

bool Backups::Restore(const BackupInfo& backup, std::wstring& reason) {
  // Read again: the backup may have changed since the list was shown.
  const std::vector<BackupInfo> now = List();
  const auto listed = std::find_if(now.begin(), now.end(),
                                   [&](const BackupInfo& each) { return each.folder == backup.folder; });
  if (listed == now.end() || !listed->readable) {
    reason = L"The backup " + backup.name + L" cannot be read completely.";
    return false;
  }
  // The oldest are removed only once the chosen one is in place: it may be the oldest.
  const std::wstring before = Copy(DayName(platform::Now()));
  std::vector<std::wstring> changed;
  for (const std::wstring& member : Members()) {
    const std::wstring copy = Join(backup.folder, LeafOf(member));
    if (!files::Exists(copy)) continue;
    files::Remove(TemporaryPath(member));
    if (!CopyToDisk(copy, TemporaryPath(member))) {
      reason = L"Could not write " + TemporaryPath(member) + L": " + files::LastError();
      for (const std::wstring& written : changed) files::Remove(TemporaryPath(written));
      files::Remove(TemporaryPath(member));
      return false;
    }
    changed.push_back(member);
  }
  const bool replaced = FileSet(Members()).Replace(changed, reason);
  if (!before.empty()) RemoveOldest();
  return replaced;
}
