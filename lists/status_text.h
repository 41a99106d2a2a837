#pragma once
#include <cstddef>
#include <string>

#include "model/contact.h"

namespace lists {

// Every text of a row passes through a work buffer of this many characters,
// terminator included; longer texts are cut to fit.
inline constexpr std::size_t kWorkBufferLength = 600;

// The text cut to kWorkBufferLength - 1 characters, never in the middle of a
// surrogate pair.
std::wstring FitWorkBuffer(std::wstring text);

// "Contact in 5 days." / "Contact expired 3 days ago.", optionally followed by
// " Last contacted: Sat, Nov 28, 2026." (the local date of lastContacted).
std::wstring StatusText(const Contact& contact, bool showLastContacted, Time now);
// The same for a contact that may be snoozed: while the snooze counts,
// "Snoozed until Fri, Dec 11." followed by the last-contacted date when asked.
std::wstring StatusText(const Contact& contact, bool showLastContacted, Time now, Time snoozedUntil);

}  // namespace lists
