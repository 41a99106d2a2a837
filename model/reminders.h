#pragma once
// The reminders without windows: who is due, how the tray shows it, what the
// once-a-day notification says, and when it comes.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "model/contacts.h"
#include "model/important_dates.h"
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
//
// Counted: the same people in the collection's order and without their names,
// for what only counts them (the tray's look and tip), which follows every
// change: ordering thousands of names costs far more than finding them.
enum class DueOrder { ByUrgency, Counted };
std::vector<DuePerson> PeopleDue(const Contacts& contacts, const Journal& journal, std::int32_t warnPercent,
                                 std::int32_t warnDays, Time now, DueOrder order = DueOrder::ByUrgency);

enum class TrayLook { Nobody, Soon, Urgent };  // Urgent: anyone overdue or due today
TrayLook LookOf(const std::vector<DuePerson>& due);

// "Amicord: nobody due", "Amicord: 2 overdue, 1 due today, 3 due soon": only
// the parts that are not zero, in that order.
std::wstring TrayTipText(const std::vector<DuePerson>& due);

// The same with the dates within kDateSoonDays counted after the people:
// "Amicord: 2 overdue, 1 birthday this week", "Amicord: nobody due, 1 birthday
// and 2 dates this week". Dates never change the tray's look.
std::wstring TrayTipText(const std::vector<DuePerson>& due, const std::vector<UpcomingDate>& upcoming);

inline constexpr wchar_t kReminderTitle[] = L"Time to get in touch";
// The notification field's room, without its terminating null.
inline constexpr std::size_t kReminderTextRoom = 255;

// The notification's text naming people in order, e.g. "Anna Berg is 3 days
// overdue. Bert Costa is due today. Carla Dahl and 2 more are due soon.", at
// most maxChars characters. A name is never cut: when not everyone fits, as
// many as fit are named in order and the rest are counted. Empty when nobody is
// due or not even the counts fit.
std::wstring ReminderText(const std::vector<DuePerson>& due, std::size_t maxChars);
// The same naming dates too. A person due with a date of their own is named
// once with both ("Anna Berg is 3 days overdue; birthday tomorrow (turns
// 47)."); the other dates follow the people, in the order given ("Bert
// Costa's anniversary is today."). Names are never cut: what does not fit is
// counted ("2 more dates are coming up.").
std::wstring ReminderText(const std::vector<DuePerson>& due, const std::vector<UpcomingDate>& dates,
                          std::size_t maxChars);

// What one moment names.
struct Telling {
  std::vector<DuePerson> people;
  std::vector<UpcomingDate> dates;
  bool Empty() const { return people.empty() && dates.empty(); }
};

// How many days ahead the dates a moment may name and the tray counts are
// looked for: what UpcomingDates should be asked for.
std::int32_t DateWindowDays(const ReminderSettings& settings);

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
//
// Dates follow the same times of day and the same switch. A date is named
// once on the first reminder of its lead (dateLeadDays days before or, when
// that day passed without one, any later day before it comes) and once on the
// day itself; settings.datesNamed remembers which, across restarts, and
// forgets the occurrences that are past. upcoming is UpcomingDates within
// DateWindowDays, made on this day or an earlier one. The settings change
// when anything is named or a past key is forgotten: keep them when they
// differ from the journal's.
class ReminderDiary {
 public:
  std::vector<DuePerson> ToTell(const std::vector<DuePerson>& due, ReminderSettings& settings, Time now);
  Telling ToTell(const std::vector<DuePerson>& due, const std::vector<UpcomingDate>& upcoming,
                 ReminderSettings& settings, Time now);

 private:
  std::wstring day_;  // the local day the ids below belong to; "" before the first call
  std::set<std::int32_t> namedToday_;
};

// The local date of now as "YYYY-MM-DD"; "" when it cannot be read.
std::wstring LocalDay(Time now);
