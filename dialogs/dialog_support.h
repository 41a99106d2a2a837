#pragma once
// What the editing dialogs share: the picture chooser, reading numbers typed
// by the user and reporting input errors.
#include "base/windows_api.h"

#include <commdlg.h>

#include <functional>
#include <string>

#include "model/platform.h"

namespace dialogs {

bool FileExists(const std::wstring& path);

// Shows the open-file dialog described by the structure; true when the user
// picked a file (its full path is then in lpstrFile). Tests put their own
// answer in place of the system dialog.
using PictureChooser = std::function<bool(OPENFILENAMEW&)>;
PictureChooser SystemPictureChooser();

// Asks chooser for a picture file, starting in paths::ImagesFolder(); true and the
// full path in chosen when the user picked one.
bool BrowseForPicture(HWND owner, const PictureChooser& chooser, std::wstring& chosen);

// The user's number the way the C library's atol reads it (optional blanks and
// sign, digits up to the first non-digit, 0 when there are none), saturated
// to the 32-bit range instead of overflowing.
std::int32_t ReadNumber(const std::wstring& text);

// The dialogs' input error: owned by the dialog, caption "Error!", error icon.
void ShowInputError(HWND dialog, const wchar_t* text);

// A time as the date and time pickers show it, in local time, and back; the
// 64-bit forms throughout, since the 32-bit build's time_t ends in 2038.
// ToLocalSystemTime shows a time local time cannot express by its UTC date.
bool ToLocalSystemTime(Time time, SYSTEMTIME& out);
// 0 for a year before 1900 and for a date the runtime cannot convert.
Time FromLocalSystemTime(const SYSTEMTIME& local);

}  // namespace dialogs
