#pragma once
#include <cstdint>

#include "model/contact.h"

// The order of one list's rows. Held per list and never saved: every start
// shows the rows in the order they were added.
enum class SortMode : std::int32_t {
  None = 0,       // by id: the order of creation
  Name = 1,       // by name, without regard to letter case
  ContactIn = 2,  // by days left, most overdue first
  Priority = 3,   // expired, then warning, then the rest; each by days left
};

// Negative when a goes before b, positive after, 0 when the order does not
// decide. `now` is one reading of the clock, shared by a whole sort so that
// every comparison sees the same statuses.
int CompareContacts(SortMode mode, const Contact& a, const Contact& b, int warnPercent, int warnDays, Time now);
// The same, with each contact's own reading of the clock: a snoozed contact
// sorts as if due at the end of its snooze (SeenNow in model/snooze.h).
int CompareContacts(SortMode mode, const Contact& a, const Contact& b, int warnPercent, int warnDays, Time nowA,
                    Time nowB);
