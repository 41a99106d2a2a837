#pragma once
// Reaching a person from the program: a phone number or an e-mail address
// opened as a tel: or mailto: link by whatever program the user chose for it.
// Where none takes the link, the number or address goes to the clipboard and
// the user is told, so it can still be pasted somewhere.
#include "base/windows_api.h"

#include <string>

namespace reach {

// Hands a link to the shell; true when a program took it. Tests put their
// own in place of the shell.
using LinkOpener = bool (*)(HWND owner, const std::wstring& link);
LinkOpener ReplaceLinkOpener(LinkOpener opener);

// Both answer whether a program took the link; owner owns the message box.
bool Call(HWND owner, const std::wstring& number);
bool Email(HWND owner, const std::wstring& address);

// Puts text on the clipboard; false when it could not.
bool CopyToClipboard(HWND owner, const std::wstring& text);

}  // namespace reach
