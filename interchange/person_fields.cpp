#include "interchange/person_fields.h"

#include <cstdint>

#include "interchange/iso_time.h"

namespace interchange {

std::wstring Trim(std::wstring_view text) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xA0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::wstring(text);
}

std::wstring UnitWord(IntervalUnit unit) {
  switch (unit) {
    case Days:
      return L"days";
    case Weeks:
      return L"weeks";
    case Months:
      return L"months";
  }
  return std::to_wstring(static_cast<std::int32_t>(unit));
}

std::optional<IntervalUnit> UnitFromWord(std::wstring_view word) {
  std::wstring lower;
  for (const wchar_t c : Trim(word)) lower += (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
  if (lower == L"days" || lower == L"day") return Days;
  if (lower == L"weeks" || lower == L"week") return Weeks;
  if (lower == L"months" || lower == L"month") return Months;
  const std::optional<std::int32_t> number = ParseInt(lower);
  if (!number) return std::nullopt;
  return static_cast<IntervalUnit>(*number);
}

std::optional<std::int32_t> ParseInt(std::wstring_view text) {
  const std::wstring trimmed = Trim(text);
  if (trimmed.empty() || trimmed.size() > 11) return std::nullopt;
  std::int64_t value = 0;
  std::size_t i = trimmed[0] == L'-' ? 1 : 0;
  if (i == trimmed.size()) return std::nullopt;
  for (; i < trimmed.size(); ++i) {
    if (trimmed[i] < L'0' || trimmed[i] > L'9') return std::nullopt;
    value = value * 10 + (trimmed[i] - L'0');
  }
  if (trimmed[0] == L'-') value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::string PictureType(std::string_view bytes) {
  if (bytes.size() >= 8 && bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) return "png";
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xFF\xD8\xFF") return "jpg";
  if (bytes.size() >= 6 && (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a")) return "gif";
  if (bytes.size() >= 14 && bytes.substr(0, 2) == "BM") return "bmp";
  return {};
}

std::string MediaType(const std::string& type) {
  if (type == "jpg") return "image/jpeg";
  return "image/" + type;
}

void AddExtra(Person& person, std::wstring_view label, std::wstring_view value) {
  std::wstring text = Trim(value);
  for (wchar_t& c : text)
    if (c == L'\r' || c == L'\n') c = L' ';
  if (text.empty()) return;
  person.extras.push_back(std::wstring(label) + L": " + text);
}

std::wstring BirthdayText(std::wstring_view raw, bool dayFirst) {
  const std::wstring text = Trim(raw);
  if (text.empty()) return {};
  if (const std::optional<Date> date = ParseIsoDate(text)) return FormatDate(*date);
  // "12.05.1980", "5/12/1980": the order of day and month follows the file's language.
  int parts[3] = {0, 0, 0};
  int count = 0;
  std::size_t digits = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
      if (++digits > 4) return text;
      parts[count] = parts[count] * 10 + (text[i] - L'0');
    } else if (i == text.size() || text[i] == L'.' || text[i] == L'/' || text[i] == L'-') {
      if (digits == 0 || count == 3) return text;
      ++count;
      digits = 0;
      if (count == 3 && i < text.size()) return text;
    } else {
      return text;
    }
  }
  if (count != 3) return text;
  if (parts[0] == 0 && parts[1] == 0) return {};
  const bool dotted = text.find(L'.') != std::wstring::npos;
  Date date{parts[2], dotted || dayFirst ? parts[1] : parts[0], dotted || dayFirst ? parts[0] : parts[1]};
  if (date.year < 100) return text;
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return text;
  return FormatDate(date);
}

std::wstring NotesWithExtras(const Person& person) {
  std::wstring notes = person.notes;
  if (person.extras.empty()) return notes;
  if (!notes.empty()) notes += L"\n\n";
  for (std::size_t i = 0; i < person.extras.size(); ++i) {
    if (i > 0) notes += L'\n';
    notes += person.extras[i];
  }
  return notes;
}

std::wstring IntervalText(IntervalUnit unit, std::int32_t count) {
  return std::to_wstring(count) + L" " + UnitWord(unit);
}

bool ParseInterval(std::wstring_view text, IntervalUnit& unit, std::int32_t& count) {
  const std::wstring trimmed = Trim(text);
  const std::size_t gap = trimmed.find_first_of(L" ;");
  if (gap == std::wstring::npos) return false;
  const std::optional<std::int32_t> number = ParseInt(std::wstring_view(trimmed).substr(0, gap));
  const std::optional<IntervalUnit> word = UnitFromWord(Trim(std::wstring_view(trimmed).substr(gap + 1)));
  if (!number || !word || *number < 0) return false;
  unit = *word;
  count = *number;
  return true;
}

}  // namespace interchange
