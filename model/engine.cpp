#include "model/engine.h"

#include <cstdio>
#include <cstring>

#include "model/file_system.h"
#include "model/paths.h"

namespace {

Engine::Paths PathsIn(const std::wstring& folder) {
  return {folder + L"groups.dat", folder + L"contacts.dat", folder + L"options.dat", folder + L"journal.dat"};
}

}  // namespace

Engine::Engine() : groups(new Groups), contacts(new Contacts), options(new Options), journal(new Journal) {
  UsePaths(PathsBesideExecutable(platform::ExecutablePath(), platform::PathSeparator()));
}

Engine::Engine(const std::wstring& settingsFolder)
    : groups(new Groups), contacts(new Contacts), options(new Options), journal(new Journal) {
  std::wstring folder = settingsFolder;
  const wchar_t separator = platform::PathSeparator();
  if (!folder.empty() && folder.back() != separator && folder.back() != L'/') folder += separator;
  UsePaths(PathsIn(folder));
}

Engine::Paths Engine::PathsBesideExecutable(const std::wstring& exePath, wchar_t separator) {
  const std::wstring folder = paths::SettingsFolderOf(exePath, separator);
  return folder.empty() ? Paths{} : PathsIn(folder);
}

void Engine::UsePaths(const Paths& paths) {
  groupsPath = paths.groups;
  contactsPath = paths.contacts;
  optionsPath = paths.options;
  journalPath = paths.journal;
}

FileSet Engine::Set() const { return FileSet({groupsPath, contactsPath, optionsPath, journalPath}); }

Engine::LoadReport Engine::Load() {
  Set().FinishInterrupted([this](const std::wstring& temporary, const std::wstring& member) {
    if (member == groupsPath) {
      Groups probe;
      return ReadArchive(temporary, probe) == FileStatus::Ok;
    }
    if (member == contactsPath) {
      Contacts probe;
      return ReadArchive(temporary, probe) == FileStatus::Ok;
    }
    if (member == journalPath) {
      Journal probe;
      return ReadArchive(temporary, probe) == FileStatus::Ok;
    }
    Options probe;
    return ReadArchive(temporary, probe) == FileStatus::Ok;
  });
  LoadReport report;
  const auto note = [&report](const std::wstring& path, const LoadResult& result) {
    if (result.status != FileStatus::Damaged) return;
    report.damagedFiles.push_back(path);
    report.damages.push_back(result.damage);
    report.keptCopies.push_back(result.keptCopy);
  };
  // Taken before reading: a write that comes during the read shows as a change.
  for (int i = 0; i < kFiles; ++i) known_[i] = StampNow(PathAt(i));
  watching_ = true;
  const LoadResult groupsResult = LoadArchive(groupsPath, *groups);
  note(groupsPath, groupsResult);
  const LoadResult contactsResult = LoadArchive(contactsPath, *contacts);
  note(contactsPath, contactsResult);
  const LoadResult optionsResult = LoadArchive(optionsPath, *options);
  note(optionsPath, optionsResult);
  // A damaged journal keeps what was read before the fault, like the other
  // files; a missing one starts empty. Either way the contacts fill it in.
  const LoadResult journalResult = LoadArchive(journalPath, *journal);
  note(journalPath, journalResult);
  journal->CatchUp(*contacts);
  savedJournalRevision_ = journal->Revision();
  journalRevisionKnown_ = journalResult.status == FileStatus::Ok;
  report.journal = journalResult.status;
  report.groups = groupsResult.status;
  report.contacts = contactsResult.status;
  report.options = optionsResult.status;
  return report;
}

int Engine::IndexOf(const std::wstring& path) const {
  if (path == groupsPath) return 0;
  if (path == contactsPath) return 1;
  if (path == optionsPath) return 2;
  if (path == journalPath) return 3;
  return -1;
}

const std::wstring& Engine::PathAt(int index) const {
  switch (index) {
    case 0:
      return groupsPath;
    case 1:
      return contactsPath;
    case 2:
      return optionsPath;
    default:
      return journalPath;
  }
}

std::vector<std::wstring> Engine::ChangedOutside() const {
  std::vector<std::wstring> changed;
  if (!watching_) return changed;
  for (int i = 0; i < kFiles; ++i) {
    const FileStamp now = StampNow(PathAt(i));
    if (now.exists && now != known_[i]) changed.push_back(PathAt(i));
  }
  return changed;
}

namespace {

template <class T>
boost::shared_ptr<T> ReadWhole(const std::wstring& path, std::vector<std::wstring>& incomplete) {
  boost::shared_ptr<T> fresh(new T);
  if (ReadArchive(path, *fresh) == FileStatus::Ok) return fresh;
  incomplete.push_back(path);
  return {};
}

// Whether two files hold the same bytes: a file rewritten with what we are
// about to write loses nothing when it is replaced.
bool SameBytes(const std::wstring& a, const std::wstring& b) {
  std::FILE* first = files::OpenBinary(a, false);
  std::FILE* second = files::OpenBinary(b, false);
  bool same = first && second && files::SizeOf(first) == files::SizeOf(second);
  char left[65536];
  char right[sizeof left];
  while (same) {
    const std::size_t read = std::fread(left, 1, sizeof left, first);
    same = std::fread(right, 1, sizeof right, second) == read && std::memcmp(left, right, read) == 0;
    if (read == 0) break;
  }
  if (first) std::fclose(first);
  if (second) std::fclose(second);
  return same;
}

}  // namespace

Engine::Reread Engine::ReadChanged() const {
  Reread reread;
  for (const std::wstring& path : ChangedOutside()) {
    const int index = IndexOf(path);
    reread.stamps[index] = StampNow(path);
    if (index == 0) reread.groups = ReadWhole<Groups>(path, reread.incomplete);
    if (index == 1) reread.contacts = ReadWhole<Contacts>(path, reread.incomplete);
    if (index == 2) reread.options = ReadWhole<Options>(path, reread.incomplete);
    if (index == 3) reread.journal = ReadWhole<Journal>(path, reread.incomplete);
  }
  return reread;
}

void Engine::Adopt(Reread& reread) {
  if (reread.groups) {
    groups->items = std::move(reread.groups->items);
    groups->lastId = reread.groups->lastId;
    known_[0] = reread.stamps[0];
    savedGroups_.known = false;
  }
  if (reread.contacts) {
    contacts->items = std::move(reread.contacts->items);
    contacts->lastId = reread.contacts->lastId;
    known_[1] = reread.stamps[1];
  }
  if (reread.options) {
    *options = *reread.options;
    options->SetAutoStart(options->autoStart);
    known_[2] = reread.stamps[2];
    savedOptions_.known = false;
  }
  if (reread.journal) {
    journal->contacts = std::move(reread.journal->contacts);
    journal->state = reread.journal->state;
    journal->Touch();
    known_[3] = reread.stamps[3];
  }
  // Entries for contacts that came in, or went, with the files just read.
  if (reread.contacts || reread.journal) journal->CatchUp(*contacts);
  if (reread.journal) {
    savedJournalRevision_ = journal->Revision();
    journalRevisionKnown_ = true;
  }
}

void Engine::AcceptAsSeen(const std::wstring& path) {
  const int index = IndexOf(path);
  if (index >= 0) known_[index] = StampNow(path);
}

bool Engine::Save(std::wstring* reason, std::vector<std::wstring>* conflictCopies) {
  StagedFile staged[kFiles];
  journal->DropMissing(*contacts);
  journal->CatchUp(*contacts);
  const bool journalChanged = saveJournal && (!journalRevisionKnown_ || journal->Revision() != savedJournalRevision_);
  std::size_t failed = 0;
  SaveResult result = StageArchive(groupsPath, *groups, staged[0], &savedGroups_);
  if (result) {
    failed = 1;
    result = StageArchive(contactsPath, *contacts, staged[1]);
  }
  if (result) {
    failed = 2;
    result = StageArchive(optionsPath, *options, staged[2], &savedOptions_);
  }
  if (result) {
    failed = 3;
    if (journalChanged)
      result = StageArchive(journalPath, *journal, staged[3]);
    else
      staged[3].unchanged = true;
  }
  if (!result) {
    // The one that failed cleaned up after itself (a folder in the place of
    // its temporary file is not ours to remove); the ones before it are undone.
    for (std::size_t i = 0; i < failed; ++i) {
      if (!staged[i].unchanged) files::Remove(TemporaryPath(staged[i].path));
    }
    if (reason) *reason = result.reason;
    return false;
  }
  std::vector<std::wstring> changed;
  SavedFile* const memos[] = {&savedGroups_, nullptr, &savedOptions_, nullptr};
  for (std::size_t i = 0; i < kFiles; ++i) {
    if (staged[i].unchanged) continue;
    changed.push_back(staged[i].path);
    if (memos[i]) memos[i]->known = false;
  }
  for (const std::wstring& path : changed) {
    const int index = IndexOf(path);
    if (!watching_ || StampNow(path) == known_[index] || !files::Exists(path)) continue;
    if (SameBytes(path, TemporaryPath(path))) continue;
    const std::wstring copy = KeepConflictCopy(path, platform::Now());
    if (conflictCopies && !copy.empty()) conflictCopies->push_back(copy);
  }
  std::wstring why;
  if (!Set().Replace(changed, why)) {
    if (reason) *reason = why;
    return false;
  }
  for (std::size_t i = 0; i < kFiles; ++i) {
    if (staged[i].unchanged) continue;
    if (memos[i]) RememberSaved(staged[i], *memos[i]);
    known_[i] = StampNow(staged[i].path);
  }
  if (journalChanged) {
    savedJournalRevision_ = journal->Revision();
    journalRevisionKnown_ = true;
  }
  return true;
}
