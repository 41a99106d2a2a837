#pragma once
// The caption of the program's own message boxes (a dialog's input errors
// have captions of their own).
inline constexpr wchar_t kMessageCaption[] = L"Amicord";
