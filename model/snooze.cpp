#include "model/snooze.h"

#include <ctime>

namespace {

constexpr Time kSecondsPerDay = 86400;

bool ToLocal(Time time, std::tm& local) { return platform::ToLocalParts(time, local); }

Time FromLocal(std::tm& local) {
#ifdef _WIN32
  return static_cast<Time>(_mktime64(&local));
#else
  return static_cast<Time>(std::mktime(&local));
#endif
}

}  // namespace

Time DueTime(const Contact& contact) {
  return contact.lastContacted + static_cast<Time>(contact.IntervalDays()) * kSecondsPerDay;
}

bool IsSnoozeActive(const Contact& contact, Time snoozedUntil, Time now) {
  return snoozedUntil != 0 && now < snoozedUntil && snoozedUntil > DueTime(contact);
}

Time SeenNow(const Contact& contact, Time snoozedUntil, Time now) {
  if (!IsSnoozeActive(contact, snoozedUntil, now)) return now;
  return now - (snoozedUntil - DueTime(contact));
}

Time StartOfDayAfter(Time now, int days) { return TimeOfDayAfter(now, days, 0); }

Time TimeOfDayAfter(Time now, int days, int minutes) {
  const Time fallback = now + static_cast<Time>(days) * kSecondsPerDay;
  std::tm local{};
  if (!ToLocal(now, local)) return fallback;
  local.tm_mday += days;
  local.tm_hour = 0;
  local.tm_min = minutes;
  local.tm_sec = 0;
  local.tm_isdst = -1;
  const Time start = FromLocal(local);
  return start == -1 ? fallback : start;
}

std::optional<Time> SnoozeEnd(SnoozeChoice choice, Time now) {
  switch (choice) {
    case SnoozeChoice::Tomorrow:
      return StartOfDayAfter(now, 1);
    case SnoozeChoice::InThreeDays:
      return StartOfDayAfter(now, 3);
    case SnoozeChoice::InAWeek:
      return StartOfDayAfter(now, 7);
    case SnoozeChoice::Stop:
      return Time{0};
    case SnoozeChoice::ChooseDate:
      break;
  }
  return std::nullopt;
}
