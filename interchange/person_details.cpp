#include "interchange/person_details.h"

#include <cstdio>

#include "interchange/person_fields.h"
#include "model/important_dates.h"

namespace interchange {

namespace {

std::wstring LowerAscii(std::wstring_view text) {
  std::wstring lower(text);
  for (wchar_t& c : lower)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
  return lower;
}

bool AllDigits(std::wstring_view text) {
  if (text.empty()) return false;
  for (const wchar_t c : text)
    if (c < L'0' || c > L'9') return false;
  return true;
}

std::int32_t Number(std::wstring_view digits) {
  std::int32_t value = 0;
  for (const wchar_t c : digits) value = value * 10 + (c - L'0');
  return value;
}

std::optional<ImportantDate> Made(std::int32_t year, std::int32_t month, std::int32_t day) {
  if (!IsValidDate(day, month, year)) return std::nullopt;
  ImportantDate date;
  date.year = year;
  date.month = month;
  date.day = day;
  return date;
}

}  // namespace

std::wstring ReachLabelOf(std::wstring_view word) {
  const std::wstring text = Trim(word);
  const std::wstring lower = LowerAscii(text);
  if (lower.empty()) return L"other";
  if (lower == L"cell" || lower == L"mobile" || lower == L"iphone") return L"mobile";
  if (lower == L"home" || lower == L"work" || lower == L"other") return lower;
  return text;
}

std::optional<ImportantDate> ParseDateValue(std::wstring_view raw, bool dayFirst, bool* blank) {
  if (blank) *blank = false;
  std::wstring text = Trim(raw);
  const std::size_t time = text.find(L'T');
  if (time != std::wstring::npos && time >= 4) text.resize(time);
  bool zero = !text.empty();
  for (const wchar_t c : text)
    if (c != L'0' && c != L'-' && c != L'.' && c != L'/') zero = false;
  if (zero) {
    if (blank) *blank = true;
    return std::nullopt;
  }
  if (text.size() >= 6 && text.compare(0, 2, L"--") == 0) {
    std::wstring rest = text.substr(2);
    if (rest.size() == 5 && rest[2] == L'-') rest.erase(2, 1);
    if (rest.size() == 4 && AllDigits(rest)) return Made(0, Number(rest.substr(0, 2)), Number(rest.substr(2)));
    return std::nullopt;
  }
  if (text.size() == 8 && AllDigits(text))
    return Made(Number(text.substr(0, 4)), Number(text.substr(4, 2)), Number(text.substr(6)));
  if (text.size() == 10 && text[4] == L'-' && text[7] == L'-' && AllDigits(text.substr(0, 4)) &&
      AllDigits(text.substr(5, 2)) && AllDigits(text.substr(8)))
    return Made(Number(text.substr(0, 4)), Number(text.substr(5, 2)), Number(text.substr(8)));
  // "12.05.1980", "5/12/1980": the order of day and month follows the file's language.
  std::int32_t parts[3] = {0, 0, 0};
  std::size_t count = 0;
  std::size_t digits = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
      if (++digits > 4 || count == 3) return std::nullopt;
      parts[count] = parts[count] * 10 + (text[i] - L'0');
    } else if (i == text.size() || text[i] == L'.' || text[i] == L'/' || text[i] == L'-') {
      if (digits == 0 || count == 3) return std::nullopt;
      ++count;
      digits = 0;
    } else {
      return std::nullopt;
    }
  }
  if (count != 3 || parts[2] < 100) return std::nullopt;
  const bool dotted = text.find(L'.') != std::wstring::npos;
  return dotted || dayFirst ? Made(parts[2], parts[1], parts[0]) : Made(parts[2], parts[0], parts[1]);
}

bool AddKept(Person& person, KeptProperty kept) {
  const std::size_t chars = person.keptChars + kept.column.size() + kept.text.size();
  if (chars > ContactDetails::kMaxKeptChars) return false;
  person.keptChars = chars;
  person.details.kept.push_back(std::move(kept));
  return true;
}

Problem KeptLeftOut(const Person& person, std::size_t count) {
  return {person.file, person.line,
          std::to_wstring(count) + (count == 1 ? L" other property" : L" other properties") +
              L" of this entry did not fit in the 64 KB kept for each contact and " + (count == 1 ? L"was" : L"were") +
              L" left out."};
}

std::wstring VCardDate(const ImportantDate& date) {
  wchar_t text[16];
  if (date.year > 0)
    std::swprintf(text, 16, L"%04d%02d%02d", date.year, date.month, date.day);
  else
    std::swprintf(text, 16, L"--%02d%02d", date.month, date.day);
  return text;
}

std::wstring CsvDate(const ImportantDate& date) {
  wchar_t text[16];
  if (date.year > 0)
    std::swprintf(text, 16, L"%04d-%02d-%02d", date.year, date.month, date.day);
  else
    std::swprintf(text, 16, L"--%02d-%02d", date.month, date.day);
  return text;
}

}  // namespace interchange
