#include "model/engine.h"

#include "model/file_system.h"

Engine::Engine() : groups(new Groups), contacts(new Contacts), options(new Options), journal(new Journal) {
  UsePaths(PathsBesideExecutable(platform::ExecutablePath(), platform::PathSeparator()));
}

Engine::Engine(const std::wstring& settingsFolder)
    : groups(new Groups), contacts(new Contacts), options(new Options), journal(new Journal) {
  std::wstring folder = settingsFolder;
  const wchar_t separator = platform::PathSeparator();
  if (!folder.empty() && folder.back() != separator && folder.back() != L'/') folder += separator;
  UsePaths({folder + L"groups.dat", folder + L"contacts.dat", folder + L"options.dat", folder + L"journal.dat"});
}

Engine::Paths Engine::PathsBesideExecutable(const std::wstring& exePath, wchar_t separator) {
  const std::size_t last = exePath.rfind(separator);
  if (last == std::wstring::npos) return {};
  const std::wstring folder = exePath.substr(0, last + 1) + L"settings" + separator;
  return {folder + L"groups.dat", folder + L"contacts.dat", folder + L"options.dat", folder + L"journal.dat"};
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

bool Engine::Save(std::wstring* reason) {
  StagedFile staged[4];
  journal->DropMissing(*contacts);
  journal->CatchUp(*contacts);
  const bool journalChanged =
      saveJournal && (!journalRevisionKnown_ || journal->Revision() != savedJournalRevision_);
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
  for (std::size_t i = 0; i < 4; ++i) {
    if (staged[i].unchanged) continue;
    changed.push_back(staged[i].path);
    if (memos[i]) memos[i]->known = false;
  }
  std::wstring why;
  if (!Set().Replace(changed, why)) {
    if (reason) *reason = why;
    return false;
  }
  for (std::size_t i = 0; i < 4; ++i) {
    if (memos[i] && !staged[i].unchanged) RememberSaved(staged[i], *memos[i]);
  }
  if (journalChanged) {
    savedJournalRevision_ = journal->Revision();
    journalRevisionKnown_ = true;
  }
  return true;
}
