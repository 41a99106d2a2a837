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
