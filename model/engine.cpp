#include "model/engine.h"

Engine::Engine() : groups(new Groups), contacts(new Contacts), options(new Options) {
  UsePaths(PathsBesideExecutable(platform::ExecutablePath(), platform::PathSeparator()));
}

Engine::Engine(const std::wstring& settingsFolder)
    : groups(new Groups), contacts(new Contacts), options(new Options) {
  std::wstring folder = settingsFolder;
  const wchar_t separator = platform::PathSeparator();
  if (!folder.empty() && folder.back() != separator && folder.back() != L'/') folder += separator;
  UsePaths({folder + L"groups.dat", folder + L"contacts.dat", folder + L"options.dat"});
}

Engine::Paths Engine::PathsBesideExecutable(const std::wstring& exePath, wchar_t separator) {
  const std::size_t last = exePath.rfind(separator);
  if (last == std::wstring::npos) return {};
  const std::wstring folder = exePath.substr(0, last + 1) + L"settings" + separator;
  return {folder + L"groups.dat", folder + L"contacts.dat", folder + L"options.dat"};
}

void Engine::UsePaths(const Paths& paths) {
  groupsPath = paths.groups;
  contactsPath = paths.contacts;
  optionsPath = paths.options;
}

Engine::LoadReport Engine::Load() {
  LoadReport report;
  const auto note = [&report](const std::wstring& path, const LoadResult& result) {
    if (result.status != FileStatus::Damaged) return;
    report.damagedFiles.push_back(path);
    report.keptCopies.push_back(result.keptCopy);
  };
  const LoadResult groupsResult = LoadArchive(groupsPath, *groups);
  note(groupsPath, groupsResult);
  const LoadResult contactsResult = LoadArchive(contactsPath, *contacts);
  note(contactsPath, contactsResult);
  const LoadResult optionsResult = LoadArchive(optionsPath, *options);
  note(optionsPath, optionsResult);
  report.groups = groupsResult.status;
  report.contacts = contactsResult.status;
  report.options = optionsResult.status;
  return report;
}

bool Engine::Save(std::wstring* reason) {
  const SaveResult results[] = {SaveArchive(groupsPath, *groups, &savedGroups_),
                                SaveArchive(contactsPath, *contacts),
                                SaveArchive(optionsPath, *options, &savedOptions_)};
  for (const SaveResult& result : results) {
    if (result) continue;
    if (reason) *reason = result.reason;
    return false;
  }
  return true;
}
