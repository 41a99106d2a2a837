#pragma once
// Notes are kept as RTF text. The rich edit control (RichEdit20A) reads and
// writes them as bytes of the ANSI code page.
#include "base/windows_api.h"

#include <string>

namespace dialogs {

// Replaces the control's content with notes read as RTF.
void StreamNotesIn(HWND richEdit, const std::wstring& notes);
// The control's content as RTF, however long it is. False, with notes
// unchanged, when the control could not hand over all of it.
bool StreamNotesOut(HWND richEdit, std::wstring& notes);

}  // namespace dialogs
