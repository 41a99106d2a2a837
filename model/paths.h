#pragma once
// Where the program's folders are, as installed: the program's own folder,
// "settings" in it with the data files, and "images" beside the settings.
#include <string>

namespace paths {

// The folder of the file at exePath, ending in separator; empty when exePath
// names no folder.
std::wstring ProgramFolderOf(const std::wstring& exePath, wchar_t separator);
// "settings" in that folder, ending in separator; empty as above.
std::wstring SettingsFolderOf(const std::wstring& exePath, wchar_t separator);
// The same for the running executable.
std::wstring ProgramFolder();
std::wstring SettingsFolder();

// The folder that holds the file at path (either kind of slash), without a
// closing separator; empty when path names no folder.
std::wstring FolderOf(const std::wstring& path);

// "images" beside settingsFolder: where the picture chooser starts and where
// an import's pictures go ("contacts" inside it).
std::wstring ImagesFolderFor(const std::wstring& settingsFolder);
// The running program's images folder, and the default group picture in it
// ("groups", "default.png").
std::wstring ImagesFolder();
std::wstring DefaultGroupPicture();

}  // namespace paths
