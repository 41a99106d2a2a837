#pragma once
// The reminders without windows: who is due, how the tray shows it, what the
// once-a-day notification says, and when it comes.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "model/contacts.h"
#include "model/journal.h"
#include "model/platform.h"

enum class Due { Soon, Today, Overdue };

struct DuePerson {
  std::int32_t id = -1;
  std::wstring name;
  Due due = Due::Soon;
  std::int32_t days = 0;  // days overdue for Overdue, days left for Soon, 0 for Today
};

// Everyone due, by the status the lists paint: overdue first (most overdue
// first), then due today, then due soon (orange, fewest days left first);
// ties by name, then by id. Snoozed contacts are left out.
std::vector<DuePerson> PeopleDue(const Contacts& contacts, const Journal& journal, std::int32_t warnPercent,
                                 std::int32_t warnDays, Time now);

enum class TrayLook { Nobody, Soon, Urgent };  // Urgent: anyone overdue or due today
TrayLook LookOf(const std::vector<DuePerson>& due);

// "Amicord: nobody due", "Amicord: 2 overdue, 1 due today, 3 due soon": only
// the parts that are not zero, in that order.
std::wstring TrayTipText(const std::vector<DuePerson>& due);

inline constexpr wchar_t kReminderTitle[] = L"Time to get in touch";
// The notification field's room, without its terminating null.
inline constexpr std::size_t kReminderTextRoom = 255;

// The notification's text naming people in order, e.g. "Anna Berg is 3 days
// overdue. Bert Costa is due today. Carla Dahl and 2 more are due soon.", at
// most maxChars characters. A name is never cut: when not everyone fits, as
// many as fit are named in order and the rest are counted. Empty when nobody is
// due or not even the counts fit.
std::wstring ReminderText(const std::vector<DuePerson>& due, std::size_t maxChars);

// The once-a-day rule. Each moment that may remind (start-up, waking, unlock,
// the daily timer) asks whom to name now:
// - nobody when reminders are off, before the reminder time of the local day,
//   or when everyone due was already named that day;
// - the first notification of a local day names everyone due and sets
//   settings.lastRemindedDay to that day;
// - later that day only the people who became due since are named, once;
// - after a restart on a day already in lastRemindedDay, the first call takes
//   everyone then due as named and names nobody.
// Answers the people to name, in due's order; settings change only when
// someone is named.
class ReminderDiary {
 public:
  std::vector<DuePerson> ToTell(const std::vector<DuePerson>& due, ReminderSettings& settings, Time now);

 private:
  std::wstring day_;  // the local day the ids below belong to; "" before the first call
  std::set<std::int32_t> namedToday_;
};

// The local date of now as "YYYY-MM-DD"; "" when it cannot be read.
std::wstring LocalDay(Time now);
