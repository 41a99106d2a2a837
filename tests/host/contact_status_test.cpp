#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "model/contact.h"
#include "model/contacts.h"
#include "model/journal.h"
#include "model/reminders.h"

namespace {

constexpr Time kDay = 86400;
constexpr Time kBase = 1'700'000'000;  // a fixed moment in 2023

Contact Make(IntervalUnit unit, std::int32_t count, Time lastContacted) {
  return Contact(1, L"n", L"", unit, count, lastContacted, L"", 1);
}

}  // namespace

TEST(ContactStatus, IntervalDaysByUnit) {
  EXPECT_EQ(Make(Days, 5, kBase).IntervalDays(), 5);
  EXPECT_EQ(Make(Weeks, 3, kBase).IntervalDays(), 21);
  EXPECT_EQ(Make(Months, 2, kBase).IntervalDays(), 60);
  EXPECT_EQ(Make(static_cast<IntervalUnit>(3), 9, kBase).IntervalDays(), 0);
  EXPECT_EQ(Make(static_cast<IntervalUnit>(-1), 9, kBase).IntervalDays(), 0);
  EXPECT_EQ(Make(static_cast<IntervalUnit>(7), 9, kBase).IntervalDays(), 0);
  // 32-bit wrapping, as the status rule is defined.
  EXPECT_EQ(Make(Months, 100'000'000, kBase).IntervalDays(), static_cast<std::int32_t>(3'000'000'000u));
}

TEST(ContactStatus, DaysSinceContactTruncatesWholeDays) {
  const Contact contact = Make(Days, 1, kBase);
  EXPECT_EQ(contact.DaysSinceContact(kBase), 0);
  EXPECT_EQ(contact.DaysSinceContact(kBase + kDay - 60), 0);  // 23 h 59 min
  EXPECT_EQ(contact.DaysSinceContact(kBase + kDay), 1);
  EXPECT_EQ(contact.DaysSinceContact(kBase + 10 * kDay + 5), 10);
  // Future dates: truncation toward zero.
  EXPECT_EQ(contact.DaysSinceContact(kBase - kDay + 1), 0);
  EXPECT_EQ(contact.DaysSinceContact(kBase - 36 * 3600), -1);
  EXPECT_EQ(contact.DaysSinceContact(kBase - 3 * kDay), -3);
}

TEST(ContactStatus, DaysSinceContactUsesLow32BitsOfEachTime) {
  // Times whose high words differ but whose low words are a day apart still give 1.
  const Time last = (Time{5} << 32) + 1000;
  const Contact contact = Make(Days, 1, last);
  EXPECT_EQ(contact.DaysSinceContact((Time{9} << 32) + 1000 + kDay), 1);
  // Elapsed seconds beyond 2^31 wrap negative: about 68 years later reads as the past.
  const Contact old = Make(Days, 1, 0);
  EXPECT_EQ(old.DaysSinceContact(Time{1} << 31), static_cast<std::int32_t>(INT32_MIN) / 86400);
}

TEST(ContactStatus, WeekIntervalDueDayAndDayAfter) {
  const Contact contact = Make(Weeks, 1, kBase);
  EXPECT_EQ(contact.DaysSinceContact(kBase + 7 * kDay), 7);
  EXPECT_EQ(contact.DaysLeft(kBase + 7 * kDay), 0);
  EXPECT_FALSE(contact.IsExpired(kBase + 7 * kDay));
  EXPECT_EQ(contact.DaysLeft(kBase + 8 * kDay), -1);
  EXPECT_TRUE(contact.IsExpired(kBase + 8 * kDay));
}

TEST(ContactStatus, OverdueIsOneRuleEvenWhereTheDifferenceWouldWrap) {
  struct Case {
    std::int32_t count;
    Time lastContacted;
    bool overdue;
  };
  // Hand-edited counts take the interval minus the days since contact out of
  // the 32-bit range; ordinary ones show the rule is the same as it was.
  const Case cases[] = {
      {std::numeric_limits<std::int32_t>::max(), kBase + 2 * kDay, false},
      {std::numeric_limits<std::int32_t>::min() + 1, kBase - 5 * kDay, true},
      {7, kBase - 7 * kDay, false},
      {7, kBase - 8 * kDay, true},
  };
  for (const Case& c : cases) {
    Contacts contacts;
    contacts.Add(L"n", L"", Days, c.count, c.lastContacted, L"", 1);
    const Contact& contact = *contacts.items[0];
    EXPECT_EQ(contact.IsExpired(kBase), c.overdue) << c.count;
    // The reminders' overdue is the status' overdue.
    const std::vector<DuePerson> due = PeopleDue(contacts, Journal(), 75, 2, kBase);
    const bool dueAsOverdue = !due.empty() && due[0].due == Due::Overdue;
    EXPECT_EQ(dueAsOverdue, c.overdue) << c.count;
  }
}

TEST(ContactStatus, WarningThresholdsWithDefaultLevels) {
  const Contact month = Make(Months, 1, kBase);
  EXPECT_FALSE(month.IsWarning(75, 2, kBase + 22 * kDay));  // 73.3 %
  EXPECT_TRUE(month.IsWarning(75, 2, kBase + 23 * kDay));   // 76.7 %
  const Contact hundred = Make(Days, 100, kBase);
  EXPECT_FALSE(hundred.IsWarning(75, 2, kBase + 75 * kDay));  // exactly 75 %
  EXPECT_TRUE(hundred.IsWarning(75, 2, kBase + 76 * kDay));
  const Contact two = Make(Days, 2, kBase);
  EXPECT_FALSE(two.IsWarning(75, 2, kBase));
  EXPECT_TRUE(two.IsWarning(75, 2, kBase + kDay));  // 2 - 1 < 2
  // An expired contact always warns too: callers test IsExpired first.
  EXPECT_TRUE(hundred.IsWarning(75, 2, kBase + 200 * kDay));
  // Days test is strict: 10 - 7 = 3 is not below 3.
  const Contact ten = Make(Days, 10, kBase);
  EXPECT_FALSE(ten.IsWarning(99, 3, kBase + 7 * kDay));
  EXPECT_TRUE(ten.IsWarning(99, 3, kBase + 8 * kDay));
}

TEST(ContactStatus, ZeroIntervalFollowsFloatingPointRules) {
  const Contact zero = Make(Days, 0, kBase);
  // Due day: not expired, but 0 - 0 < warnDays warns.
  EXPECT_EQ(zero.DaysLeft(kBase), 0);
  EXPECT_FALSE(zero.IsExpired(kBase));
  EXPECT_TRUE(zero.IsWarning(75, 2, kBase));
  // With warnDays 0 the percentage decides: NaN (d = 0) never warns...
  EXPECT_FALSE(zero.IsWarning(75, 0, kBase));
  // ...+infinity (d > 0) always does, even against the largest percentage...
  EXPECT_TRUE(zero.IsExpired(kBase + kDay));
  EXPECT_TRUE(zero.IsWarning(std::numeric_limits<int>::max(), -5, kBase + kDay));
  // ...and -infinity (d < 0, a future date) never does.
  EXPECT_FALSE(zero.IsWarning(std::numeric_limits<int>::min(), -5, kBase - 2 * kDay));
  // An unknown unit behaves as the zero interval.
  const Contact odd = Make(static_cast<IntervalUnit>(5), 4, kBase);
  EXPECT_TRUE(odd.IsExpired(kBase + kDay));
}

TEST(ContactStatus, FutureLastContactedExtendsDaysLeft) {
  const Contact contact = Make(Days, 10, kBase + 3 * kDay);
  EXPECT_EQ(contact.DaysSinceContact(kBase), -3);
  EXPECT_EQ(contact.DaysLeft(kBase), 13);
  EXPECT_FALSE(contact.IsExpired(kBase));
  EXPECT_FALSE(contact.IsWarning(75, 2, kBase));
}

TEST(ContactStatus, ConstructorsSetTheDocumentedDefaults) {
  const Time before = platform::Now();
  const Contact blank;
  const Time after = platform::Now();
  EXPECT_EQ(blank.id, -1);
  EXPECT_EQ(blank.groupId, -1);
  EXPECT_EQ(blank.unit, Days);
  EXPECT_EQ(blank.count, 0);
  EXPECT_TRUE(blank.name.empty() && blank.imagePath.empty() && blank.notes.empty());
  EXPECT_GE(blank.lastContacted, before);
  EXPECT_LE(blank.lastContacted, after);
  EXPECT_EQ(blank.previousContacted, blank.lastContacted);
  EXPECT_EQ(blank.notifyWindow, WindowHandle{});

  const Contact full(4, L"Ann", L"C:\\a.png", Months, 2, kBase, L"{\\rtf1}", 7);
  EXPECT_EQ(full.previousContacted, kBase);
  EXPECT_EQ(full.groupId, 7);
  EXPECT_EQ(full.notes, L"{\\rtf1}");
}
