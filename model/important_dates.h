#pragma once
// The calendar rules of the days that matter: when a date comes round next,
// how old someone turns, and which dates fall within the coming days.
#include <cstdint>
#include <string>
#include <vector>

#include "model/contact_details.h"
#include "model/platform.h"

class Contacts;
class Journal;

struct CalendarDay {
  std::int32_t year = 1970;
  std::int32_t month = 1;
  std::int32_t day = 1;
  bool operator==(const CalendarDay& other) const {
    return year == other.year && month == other.month && day == other.day;
  }
  bool operator!=(const CalendarDay& other) const { return !(*this == other); }
};

// The local day of a moment.
CalendarDay LocalCalendarDay(Time now);
// Whether day/month is a real date; with a year (not 0) in that year, without
// one in some year (29 February is).
bool IsValidDate(std::int32_t day, std::int32_t month, std::int32_t year);
// Days from one day to another (negative when to is earlier).
std::int32_t DaysBetween(CalendarDay from, CalendarDay to);
// The first day on or after today the date falls on; 29 February falls on
// 28 February in other years.
CalendarDay NextOccurrence(const ImportantDate& date, CalendarDay today);

// The dates the rows mark and the tray's tip counts: today and the next 7 days.
inline constexpr std::int32_t kDateSoonDays = 7;

// One date of one contact as it comes round next.
struct UpcomingDate {
  std::int32_t id = -1;  // the contact
  std::wstring name;
  ImportantDate date;
  CalendarDay on;
  std::int32_t days = 0;   // from today: 0 today, 1 tomorrow
  std::int32_t turns = 0;  // the age or the count of years on that day; 0 when the year is not known
};

// Every contact's dates that come round within the next withinDays days
// (0: today only), soonest first; ties by name, then id, then label.
std::vector<UpcomingDate> UpcomingDates(const Contacts& contacts, const Journal& journal, CalendarDay today,
                                        std::int32_t withinDays);

// "today", "tomorrow", "in 3 days".
std::wstring WhenText(std::int32_t days);
// "turns 47" for a birthday, "10 years" for another date; "" when the year is
// not known.
std::wstring YearsText(const UpcomingDate& date);
// The label as a sentence starts it: "Birthday", "Anniversary", "Name day".
std::wstring CapitalizedLabel(const std::wstring& label);
// The row's mark: "Birthday tomorrow", "Birthday in 3 days (turns 47)",
// "Anniversary today".
std::wstring DateMarkText(const UpcomingDate& date);
