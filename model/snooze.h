#pragma once
// Snoozing: a reminder pushed back without recording a contact. A snooze
// counts only while it ends later than the contact's due time and has not
// ended yet; meanwhile the contact is treated as due at the end of the snooze.
#include <optional>

#include "model/contact.h"

// The choices of the rows' "Remind Me Later" menu.
enum class SnoozeChoice { Tomorrow, InThreeDays, InAWeek, ChooseDate, Stop };

// lastContacted plus the contact's interval.
Time DueTime(const Contact& contact);
// Whether a snooze until `snoozedUntil` (0: none) counts at `now`.
bool IsSnoozeActive(const Contact& contact, Time snoozedUntil, Time now);
// The clock as the contact's status should read it: for a snoozed contact,
// moved back by as much as the snooze moved its due time.
Time SeenNow(const Contact& contact, Time snoozedUntil, Time now);
// The local midnight that starts the day `days` days after the day of `now`.
Time StartOfDayAfter(Time now, int days);
// The local time `minutes` after midnight on that day, counted on the clock
// rather than added in seconds, so a day that changes to or from summer time
// still gives the time of day asked for.
Time TimeOfDayAfter(Time now, int days, int minutes);
// When a snooze chosen at `now` ends: the start of the day one, three or seven
// days on, 0 for Stop (the snooze ends); nothing for ChooseDate, whose end the
// user picks.
std::optional<Time> SnoozeEnd(SnoozeChoice choice, Time now);
