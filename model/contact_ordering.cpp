#include "model/contact_ordering.h"

namespace {

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

int CompareDaysLeft(const Contact& a, const Contact& b, Time nowA, Time nowB) {
  const std::int32_t left = a.DaysLeft(nowA);
  const std::int32_t right = b.DaysLeft(nowB);
  return left < right ? -1 : (left > right ? 1 : 0);
}

// Expired contacts also count as warning ones, so expiry is asked first.
int PriorityClass(const Contact& contact, int warnPercent, int warnDays, Time now) {
  if (contact.IsExpired(now)) return 0;
  if (contact.IsWarning(warnPercent, warnDays, now)) return 1;
  return 2;
}

}  // namespace

int CompareContacts(SortMode mode, const Contact& a, const Contact& b, int warnPercent, int warnDays, Time now) {
  return CompareContacts(mode, a, b, warnPercent, warnDays, now, now);
}

int CompareContacts(SortMode mode, const Contact& a, const Contact& b, int warnPercent, int warnDays, Time nowA,
                    Time nowB) {
  switch (mode) {
    case SortMode::None: {
      const auto left = static_cast<std::uint32_t>(a.id);
      const auto right = static_cast<std::uint32_t>(b.id);
      return left < right ? -1 : (left > right ? 1 : 0);
    }
    case SortMode::Name:
      // The keys' order is CompareNoCase's; made once per change of a name.
      return Sign(a.Texts().nameKey.compare(b.Texts().nameKey));
    case SortMode::ContactIn:
      return CompareDaysLeft(a, b, nowA, nowB);
    case SortMode::Priority: {
      const int left = PriorityClass(a, warnPercent, warnDays, nowA);
      const int right = PriorityClass(b, warnPercent, warnDays, nowB);
      if (left != right) return left < right ? -1 : 1;
      return CompareDaysLeft(a, b, nowA, nowB);
    }
  }
  return 0;
}
