#include "app/letter_key_filter.h"

#include <cwchar>

bool LetterKeyFilter::Readdress(MSG& message) const {
  if (message.message != WM_CHAR || !window_ || message.hwnd == window_) return false;
  if (message.wParam != L'C' && message.wParam != L'G' && message.wParam != L'O') return false;
  if (!message.hwnd || !::IsChild(window_, message.hwnd)) return false;
  wchar_t className[64] = {};
  ::GetClassNameW(message.hwnd, className, 64);
  for (const wchar_t* typing : {L"Edit", L"RichEdit", L"ComboBox", L"ComboLBox"})
    if (_wcsnicmp(className, typing, wcslen(typing)) == 0) return false;
  message.hwnd = window_;
  return true;
}
