#include "interchange/csv_cell.h"

namespace interchange {

namespace {

bool StartsFormula(wchar_t c) { return std::wstring_view(L"=+-@\t\r").find(c) != std::wstring_view::npos; }

// "-3", "12.5", "+7": a spreadsheet reads these as numbers, and an apostrophe
// would turn the export's "Days left" into text.
bool PlainNumber(std::wstring_view text) {
  if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) text.remove_prefix(1);
  bool digits = false;
  bool point = false;
  for (const wchar_t c : text) {
    if (c >= L'0' && c <= L'9') {
      digits = true;
    } else if (c == L'.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

// What the reader takes an apostrophe off: one before a formula's first
// character or before another apostrophe. So a name that itself begins that
// way ("'=x", "''") is written behind one more and comes back as it was.
bool Escaped(std::wstring_view cell) {
  return cell.size() >= 2 && cell[0] == L'\'' && (StartsFormula(cell[1]) || cell[1] == L'\'');
}

}  // namespace

std::wstring EscapeCsvCell(std::wstring_view value) {
  const bool formula = !value.empty() && StartsFormula(value[0]) && !PlainNumber(value);
  if (formula || Escaped(value)) return L"'" + std::wstring(value);
  return std::wstring(value);
}

std::wstring_view UnescapeCsvCell(std::wstring_view cell) { return Escaped(cell) ? cell.substr(1) : cell; }

}  // namespace interchange
