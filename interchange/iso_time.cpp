#include "interchange/iso_time.h"

#include <cstdint>
#include <cstdio>
#include <ctime>

namespace interchange {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kMaxYear = 292277026596LL;  // beyond it seconds overflow Time

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2);
}

std::wstring YearText(std::int64_t year) {
  char text[32];
  if (year >= 0 && year <= 9999)
    std::snprintf(text, sizeof text, "%04lld", static_cast<long long>(year));
  else
    std::snprintf(text, sizeof text, "%+05lld", static_cast<long long>(year));
  return std::wstring(text, text + std::char_traits<char>::length(text));
}

std::wstring Format(Time time, std::int64_t offsetSeconds, bool basic) {
  const std::int64_t local = time + offsetSeconds;
  const std::int64_t days = FloorDiv(local, kSecondsPerDay);
  const std::int64_t second = local - days * kSecondsPerDay;
  std::int64_t year;
  unsigned month, day;
  CivilFromDays(days, year, month, day);
  char rest[64];
  const int h = static_cast<int>(second / 3600);
  const int mi = static_cast<int>(second / 60 % 60);
  const int s = static_cast<int>(second % 60);
  if (basic)
    std::snprintf(rest, sizeof rest, "%02u%02uT%02d%02d%02dZ", month, day, h, mi, s);
  else
    std::snprintf(rest, sizeof rest, "-%02u-%02uT%02d:%02d:%02d", month, day, h, mi, s);
  std::wstring text = YearText(year);
  text.append(rest, rest + std::char_traits<char>::length(rest));
  if (basic) return text;
  if (offsetSeconds == 0) return text + L"Z";
  const std::int64_t magnitude = offsetSeconds < 0 ? -offsetSeconds : offsetSeconds;
  char zone[16];
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", offsetSeconds < 0 ? '-' : '+', static_cast<int>(magnitude / 3600),
                static_cast<int>(magnitude / 60 % 60));
  return text + std::wstring(zone, zone + std::char_traits<char>::length(zone));
}

bool ToLocal(Time time, std::tm& local) { return platform::ToLocalParts(time, local); }

std::optional<Time> FromLocal(std::int64_t year, unsigned month, unsigned day, int seconds) {
  if (year < 1900 || year > 9999) return std::nullopt;
  std::tm local{};
  local.tm_year = static_cast<int>(year - 1900);
  local.tm_mon = static_cast<int>(month) - 1;
  local.tm_mday = static_cast<int>(day);
  local.tm_sec = seconds;
  local.tm_isdst = -1;
#ifdef _WIN32
  const __time64_t value = _mktime64(&local);
#else
  const std::time_t value = std::mktime(&local);
#endif
  if (value == -1) return std::nullopt;
  return static_cast<Time>(value);
}

class Cursor {
 public:
  explicit Cursor(std::wstring_view text) : text_(text) {}
  bool AtEnd() const { return at_ >= text_.size(); }
  wchar_t Peek() const { return AtEnd() ? L'\0' : text_[at_]; }
  bool Take(wchar_t c) {
    if (AtEnd() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  // Exactly count digits (count 0: one or more, up to 12).
  bool Digits(std::size_t count, std::int64_t& value) {
    value = 0;
    std::size_t taken = 0;
    const std::size_t most = count == 0 ? 12 : count;
    while (taken < most && !AtEnd() && text_[at_] >= L'0' && text_[at_] <= L'9') {
      value = value * 10 + (text_[at_++] - L'0');
      ++taken;
    }
    return count == 0 ? taken > 0 : taken == count;
  }
  void SkipDigits() {
    while (!AtEnd() && text_[at_] >= L'0' && text_[at_] <= L'9') ++at_;
  }
  std::size_t DigitRun() const {
    std::size_t end = at_;
    while (end < text_.size() && text_[end] >= L'0' && text_[end] <= L'9') ++end;
    return end - at_;
  }

 private:
  std::wstring_view text_;
  std::size_t at_ = 0;
};

std::wstring_view Trimmed(std::wstring_view text) {
  while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::wstring FormatUtc(Time time) { return Format(time, 0, false); }

std::wstring FormatUtcBasic(Time time) { return Format(time, 0, true); }

std::wstring FormatLocal(Time time) {
  std::tm local{};
  if (!ToLocal(time, local)) return FormatUtc(time);
  const unsigned month = static_cast<unsigned>(local.tm_mon + 1);
  const std::int64_t day = DaysFromCivil(local.tm_year + 1900LL, month, static_cast<unsigned>(local.tm_mday));
  const std::int64_t asUtc = day * kSecondsPerDay + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  return Format(time, asUtc - time, false);
}

std::optional<Time> ParseIsoTime(std::wstring_view whole) {
  Cursor in(Trimmed(whole));
  const bool negative = in.Take(L'-');
  if (!negative) in.Take(L'+');
  std::int64_t year, month, day;
  const bool extended = in.DigitRun() != 8;
  if (extended) {
    if (!in.Digits(0, year) || !in.Take(L'-') || !in.Digits(2, month) || !in.Take(L'-') || !in.Digits(2, day))
      return std::nullopt;
  } else if (!in.Digits(4, year) || !in.Digits(2, month) || !in.Digits(2, day)) {
    return std::nullopt;
  }
  if (negative) year = -year;
  if (month < 1 || month > 12 || day < 1 || day > 31 || year > kMaxYear || year < -kMaxYear) return std::nullopt;
  std::int64_t hour = 0, minute = 0, second = 0;
  if (in.Take(L'T') || in.Take(L't') || in.Take(L' ')) {
    const bool colons = in.DigitRun() == 2;
    if (!in.Digits(2, hour)) return std::nullopt;
    if (colons ? in.Take(L':') : in.DigitRun() >= 2) {
      if (!in.Digits(2, minute)) return std::nullopt;
      if ((colons ? in.Take(L':') : in.DigitRun() >= 2) && !in.Digits(2, second)) return std::nullopt;
    }
    if (in.Take(L'.') || in.Take(L',')) in.SkipDigits();
  }
  if (hour > 23 || minute > 59 || second > 60) return std::nullopt;
  const std::int64_t seconds = hour * 3600 + minute * 60 + second;
  std::int64_t offset = 0;
  bool zoned = true;
  if (in.Take(L'Z') || in.Take(L'z')) {
  } else if (in.Peek() == L'+' || in.Peek() == L'-') {
    const bool west = in.Take(L'-');
    if (!west) in.Take(L'+');
    std::int64_t zoneHour, zoneMinute = 0;
    if (!in.Digits(2, zoneHour)) return std::nullopt;
    in.Take(L':');
    if (in.DigitRun() == 2) in.Digits(2, zoneMinute);
    offset = (zoneHour * 3600 + zoneMinute * 60) * (west ? -1 : 1);
  } else {
    zoned = false;
  }
  if (!in.AtEnd()) return std::nullopt;
  if (!zoned)
    return FromLocal(year, static_cast<unsigned>(month), static_cast<unsigned>(day), static_cast<int>(seconds));
  const std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  // Before 1970 the day's seconds are taken off the next midnight, so the
  // earliest representable second does not pass through an overflow.
  const bool early = days < 0;
  std::int64_t result;
  if (__builtin_mul_overflow(early ? days + 1 : days, kSecondsPerDay, &result) ||
      __builtin_add_overflow(result, early ? seconds - kSecondsPerDay : seconds, &result) ||
      __builtin_sub_overflow(result, offset, &result))
    return std::nullopt;
  return result;
}

std::optional<Date> ParseIsoDate(std::wstring_view whole) {
  std::wstring_view text = Trimmed(whole);
  const std::size_t time = text.find_first_of(L"Tt ");
  if (time != std::wstring_view::npos) text = text.substr(0, time);
  Cursor in(text);
  std::int64_t year = 0, month, day;
  if (in.Take(L'-')) {
    if (!in.Take(L'-')) return std::nullopt;
    if (!in.Digits(2, month)) return std::nullopt;
    in.Take(L'-');
    if (!in.Digits(2, day)) return std::nullopt;
  } else if (in.DigitRun() == 8) {
    in.Digits(4, year), in.Digits(2, month), in.Digits(2, day);
  } else if (!in.Digits(4, year) || !in.Take(L'-') || !in.Digits(2, month) || !in.Take(L'-') || !in.Digits(2, day)) {
    return std::nullopt;
  }
  if (!in.AtEnd() || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  return Date{static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

std::wstring FormatDate(const Date& date) {
  static const wchar_t* const kMonths[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                           L"July",    L"August",   L"September", L"October", L"November", L"December"};
  std::wstring text = std::to_wstring(date.day) + L" " + kMonths[(date.month - 1) % 12];
  if (date.year != 0) text += L" " + std::to_wstring(date.year);
  return text;
}

}  // namespace interchange
