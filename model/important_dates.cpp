#include "model/important_dates.h"

#include <algorithm>
#include <cwctype>

#include "model/contacts.h"
#include "model/journal.h"

namespace {

bool IsLeapYear(std::int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int32_t DaysInMonth(std::int32_t month, std::int32_t year) {
  static constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's
// days_from_civil), exact for every year an int32 holds here.
std::int64_t DayNumber(CalendarDay day) {
  const std::int64_t y = static_cast<std::int64_t>(day.year) - (day.month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t m = day.month;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + day.day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// The day the date falls on in a year: 29 February is 28 February in the others.
CalendarDay InYear(const ImportantDate& date, std::int32_t year) {
  CalendarDay day{year, date.month, date.day};
  if (date.month == 2 && date.day == 29 && !IsLeapYear(year)) day.day = 28;
  return day;
}

bool Before(CalendarDay a, CalendarDay b) {
  if (a.year != b.year) return a.year < b.year;
  if (a.month != b.month) return a.month < b.month;
  return a.day < b.day;
}

}  // namespace

CalendarDay LocalCalendarDay(Time now) {
  const platform::LocalTime local = platform::ToLocalTime(now);
  return CalendarDay{local.year, local.month, local.day};
}

bool IsValidDate(std::int32_t day, std::int32_t month, std::int32_t year) {
  if (month < 1 || month > 12 || day < 1 || year < 0 || year > 9999) return false;
  // Without a year, 29 February is a real date: some years have it.
  return day <= (year == 0 ? (month == 2 ? 29 : DaysInMonth(month, 2001)) : DaysInMonth(month, year));
}

std::int32_t DaysBetween(CalendarDay from, CalendarDay to) {
  return static_cast<std::int32_t>(DayNumber(to) - DayNumber(from));
}

CalendarDay NextOccurrence(const ImportantDate& date, CalendarDay today) {
  const CalendarDay thisYear = InYear(date, today.year);
  return Before(thisYear, today) ? InYear(date, today.year + 1) : thisYear;
}

std::vector<UpcomingDate> UpcomingDates(const Contacts& contacts, const Journal& journal, CalendarDay today,
                                        std::int32_t withinDays) {
  std::vector<UpcomingDate> upcoming;
  if (journal.contacts.empty()) return upcoming;
  for (const Contacts::Item& contact : contacts) {
    if (!contact) continue;
    const ContactHistory* history = journal.Find(contact->id);
    if (!history || history->details.dates.empty()) continue;
    for (const ImportantDate& date : history->details.dates) {
      if (!IsValidDate(date.day, date.month, date.year)) continue;
      const CalendarDay on = NextOccurrence(date, today);
      const std::int32_t days = DaysBetween(today, on);
      if (days > withinDays) continue;
      UpcomingDate item;
      item.id = contact->id;
      item.name = contact->name;
      item.date = date;
      item.on = on;
      item.days = days;
      item.turns = date.year > 0 && on.year > date.year ? on.year - date.year : 0;
      upcoming.push_back(std::move(item));
    }
  }
  std::sort(upcoming.begin(), upcoming.end(), [](const UpcomingDate& left, const UpcomingDate& right) {
    if (left.days != right.days) return left.days < right.days;
    if (left.name != right.name) {
      const int byName = platform::CompareNoCase(left.name, right.name);
      if (byName != 0) return byName < 0;
    }
    if (left.id != right.id) return left.id < right.id;
    return left.date.label < right.date.label;
  });
  return upcoming;
}

std::wstring CapitalizedLabel(const std::wstring& label) {
  std::wstring text = label;
  if (!text.empty()) text[0] = static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(text[0])));
  return text;
}

std::wstring WhenText(std::int32_t days) {
  if (days == 0) return L"today";
  if (days == 1) return L"tomorrow";
  return L"in " + std::to_wstring(days) + L" days";
}

std::wstring YearsText(const UpcomingDate& date) {
  if (date.turns <= 0) return {};
  if (date.date.label == kBirthdayLabel) return L"turns " + std::to_wstring(date.turns);
  return std::to_wstring(date.turns) + (date.turns == 1 ? L" year" : L" years");
}

std::wstring DateMarkText(const UpcomingDate& date) {
  std::wstring text = CapitalizedLabel(date.date.label) + L" " + WhenText(date.days);
  const std::wstring years = YearsText(date);
  if (!years.empty()) text += L" (" + years + L")";
  return text;
}
