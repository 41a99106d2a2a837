#pragma once
#include <cstdint>

#include "model/platform.h"

class Journal;

namespace interchange {

struct ExportOptions {
  // Only the contacts of this group; -1 for everyone.
  std::int32_t groupId = -1;
  // The moment of the export: REV in vCard, status and days left in CSV.
  Time now = 0;
  // The warning settings the status column follows.
  std::int32_t warnPercent = 75;
  std::int32_t warnDays = 2;
  // The contacts' phones, addresses, dates and kept properties; none when null.
  const Journal* journal = nullptr;  // not owned
};

}  // namespace interchange
