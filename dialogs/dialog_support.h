#pragma once
// What the editing dialogs share: where the program's pictures live, the
// picture chooser, reading numbers typed by the user and reporting input errors.
#include "base/windows_api.h"

#include <commdlg.h>

#include <functional>
#include <string>

namespace dialogs {

// The folder of the running executable, ending in a backslash (empty when unknown).
std::wstring ProgramFolder();
// "images" beside the executable: where the picture chooser starts.
std::wstring ImagesFolder();
// "images\groups\default.png" beside the executable.
std::wstring DefaultGroupPicture();

bool FileExists(const std::wstring& path);

// Shows the open-file dialog described by the structure; true when the user
// picked a file (its full path is then in lpstrFile). Tests put their own
// answer in place of the system dialog.
using PictureChooser = std::function<bool(OPENFILENAMEW&)>;
PictureChooser SystemPictureChooser();

// Asks chooser for a picture file, starting in ImagesFolder(); true and the
// full path in chosen when the user picked one.
bool BrowseForPicture(HWND owner, const PictureChooser& chooser, std::wstring& chosen);

// The user's number the way the C library's atol reads it (optional blanks and
// sign, digits up to the first non-digit, 0 when there are none), saturated
// to the 32-bit range instead of overflowing.
std::int32_t ReadNumber(const std::wstring& text);

// The dialogs' input error: owned by the dialog, caption "Error!", error icon.
void ShowInputError(HWND dialog, const wchar_t* text);

}  // namespace dialogs
