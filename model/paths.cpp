#include "model/paths.h"

#include "model/platform.h"

namespace paths {

std::wstring ProgramFolderOf(const std::wstring& exePath, wchar_t separator) {
  const std::size_t last = exePath.rfind(separator);
  return last == std::wstring::npos ? std::wstring() : exePath.substr(0, last + 1);
}

std::wstring SettingsFolderOf(const std::wstring& exePath, wchar_t separator) {
  const std::wstring program = ProgramFolderOf(exePath, separator);
  return program.empty() ? program : program + L"settings" + separator;
}

std::wstring ProgramFolder() { return ProgramFolderOf(platform::ExecutablePath(), platform::PathSeparator()); }

std::wstring SettingsFolder() { return SettingsFolderOf(platform::ExecutablePath(), platform::PathSeparator()); }

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

std::wstring ImagesFolderFor(const std::wstring& settingsFolder) {
  std::wstring folder = settingsFolder;
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  const std::size_t slash = folder.find_last_of(L"\\/");
  const std::wstring parent = slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash);
  return parent + platform::PathSeparator() + L"images";
}

std::wstring ImagesFolder() { return ImagesFolderFor(SettingsFolder()); }

std::wstring DefaultGroupPicture() {
  const wchar_t separator = platform::PathSeparator();
  return ImagesFolder() + separator + L"groups" + separator + L"default.png";
}

}  // namespace paths
