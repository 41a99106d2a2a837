// The dates' part of the reminders: the tray's count and the once-per-day
// naming, remembered in the journal's program state.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "model/reminders.h"

namespace {

std::wstring DayText(CalendarDay day) {
  wchar_t text[32];
  std::swprintf(text, sizeof text / sizeof text[0], L"%04d-%02d-%02d", day.year, day.month, day.day);
  return text;
}

// One key per occurrence, reminder (the lead or the day) and date of a
// contact; the occurrence's day leads so that past ones sort first.
std::wstring DateKey(CalendarDay on, bool onTheDay, const UpcomingDate& date) {
  return DayText(on) + (onTheDay ? L" D " : L" L ") + std::to_wstring(date.id) + L" " + date.date.label;
}

void ForgetPast(std::set<std::wstring>& named, const std::wstring& today) {
  // Keys start with their occurrence's day "YYYY-MM-DD", which sorts as the calendar does.
  named.erase(named.begin(), named.lower_bound(today));
}

}  // namespace

std::wstring TrayTipText(const std::vector<DuePerson>& due, const std::vector<UpcomingDate>& upcoming) {
  std::size_t birthdays = 0;
  std::size_t others = 0;
  for (const UpcomingDate& date : upcoming) {
    if (date.days < 0 || date.days > kDateSoonDays) continue;
    ++(date.date.label == kBirthdayLabel ? birthdays : others);
  }
  std::wstring tip = TrayTipText(due);
  if (birthdays == 0 && others == 0) return tip;
  std::wstring dates;
  if (birthdays > 0) dates = std::to_wstring(birthdays) + (birthdays == 1 ? L" birthday" : L" birthdays");
  if (others > 0)
    dates += (dates.empty() ? L"" : L" and ") + std::to_wstring(others) + (others == 1 ? L" date" : L" dates");
  return tip + L", " + dates + L" this week";
}

std::int32_t DateWindowDays(const ReminderSettings& settings) {
  return std::max(kDateSoonDays, std::clamp(settings.dateLeadDays, 0, ReminderSettings::kMaxDateLeadDays));
}

Telling ReminderDiary::ToTell(const std::vector<DuePerson>& due, const std::vector<UpcomingDate>& upcoming,
                              ReminderSettings& settings, Time now) {
  Telling telling;
  telling.people = ToTell(due, settings, now);
  std::tm local{};
  if (!settings.enabled || !platform::ToLocalParts(now, local)) return telling;
  if (local.tm_hour * 60 + local.tm_min < settings.at) return telling;
  const CalendarDay today{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  ForgetPast(settings.datesNamed, DayText(today));
  const std::int32_t lead = std::clamp(settings.dateLeadDays, 0, ReminderSettings::kMaxDateLeadDays);
  for (const UpcomingDate& found : upcoming) {
    UpcomingDate date = found;
    // Made on an earlier day, a date may have come and gone since.
    date.on = NextOccurrence(date.date, today);
    date.days = DaysBetween(today, date.on);
    if (date.days > lead) continue;
    if (date.date.year > 0) date.turns = std::max(0, date.on.year - date.date.year);
    if (settings.datesNamed.size() >= ReminderSettings::kMaxDatesNamed) break;
    if (!settings.datesNamed.insert(DateKey(date.on, date.days == 0, date)).second) continue;
    telling.dates.push_back(std::move(date));
  }
  return telling;
}
