#pragma once
// A spreadsheet takes a cell that begins with "=", "+", "-", "@", a tab or a
// carriage return for a formula and runs it; a name that came in from someone
// else's card must not. Such a cell is written behind an apostrophe, which
// spreadsheets show as text and our reader takes off again.
#include <string>
#include <string_view>

namespace interchange {

// The cell as written: value itself, or value behind one apostrophe.
std::wstring EscapeCsvCell(std::wstring_view value);

// The text of a cell as read: without the apostrophe EscapeCsvCell put there.
std::wstring_view UnescapeCsvCell(std::wstring_view cell);

}  // namespace interchange
