#pragma once
// The notes are RTF as the rich edit control writes it; the interchange files
// carry plain text. These convert between the two.
#include <string>
#include <string_view>

namespace text {

// Plain text (lines split by CR LF, LF or CR) as notes RTF in the control's own
// shape; every character outside ASCII as a \uN? escape. Empty text, empty notes.
std::wstring NotesRtf(std::wstring_view text);

// The text of notes RTF, lines joined by '\n', trailing line breaks dropped.
// Groups that hold no text (font tables, pictures, \* destinations) are skipped;
// nesting is bounded. Notes that are not RTF are returned as they are.
std::wstring NotesPlainText(std::wstring_view notes);

}  // namespace text
