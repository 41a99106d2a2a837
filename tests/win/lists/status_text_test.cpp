#include <climits>
#include <ctime>

#include "lists/status_text.h"
#include "tests/win/lists/list_fixture.h"

namespace test {
namespace {

// Noon local time of a date, so the local date is that day in any zone.
Time LocalNoon(int year, int month, int day) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  return static_cast<Time>(_mktime64(&local));
}

Contact Made(IntervalUnit unit, std::int32_t count, Time lastContacted) {
  return Contact(1, L"Someone", L"", unit, count, lastContacted, L"", -1);
}

TEST(StatusText, TheTableAtFixedTimes) {
  const Contact twoAgo = Made(Days, 7, kNow - 2 * kDay);
  EXPECT_EQ(lists::StatusText(twoAgo, false, kNow), L"Contact in 5 days.");
  const Contact sevenAgo = Made(Days, 7, kNow - 7 * kDay);
  EXPECT_EQ(lists::StatusText(sevenAgo, false, kNow), L"Contact in 0 days.");

  const Time saturday = LocalNoon(2026, 11, 28);
  const Contact nineAgo = Made(Days, 6, saturday);
  EXPECT_EQ(lists::StatusText(nineAgo, true, saturday + 9 * kDay),
            L"Contact expired 3 days ago. Last contacted: Sat, Nov 28, 2026.");
}

TEST(StatusText, DaysAreCountedWholeAndTheWordNeverChanges) {
  const Contact due = Made(Days, 7, kNow - 7 * kDay);
  // The day after being due: expired 1 days ago.
  EXPECT_EQ(lists::StatusText(due, false, kNow + kDay), L"Contact expired 1 days ago.");
  // Part of a day does not count.
  EXPECT_EQ(lists::StatusText(due, false, kNow + kDay - 1), L"Contact in 0 days.");
  EXPECT_EQ(lists::StatusText(Made(Days, 1, kNow), false, kNow), L"Contact in 1 days.");
  EXPECT_EQ(lists::StatusText(Made(Weeks, 2, kNow - 3 * kDay), false, kNow), L"Contact in 11 days.");
  EXPECT_EQ(lists::StatusText(Made(Months, 1, kNow - 40 * kDay), false, kNow), L"Contact expired 10 days ago.");
  // An interval unit out of range counts as no days at all.
  EXPECT_EQ(lists::StatusText(Made(static_cast<IntervalUnit>(9), 5, kNow - 2 * kDay), false, kNow),
            L"Contact expired 2 days ago.");
}

TEST(StatusText, DateWithTwoDigitDaysAndAnEmptyDateWhenUnconvertible) {
  const Time first = LocalNoon(2025, 2, 3);
  EXPECT_EQ(platform::LocalDateText(first), L"Mon, Feb 03, 2025");
  EXPECT_EQ(lists::StatusText(Made(Days, 30, first), true, first + 2 * kDay),
            L"Contact in 28 days. Last contacted: Mon, Feb 03, 2025.");
  // A time the runtime cannot turn into a local date leaves the date out.
  const Time absurd = LLONG_MAX;
  EXPECT_EQ(platform::LocalDateText(absurd), L"");
  const std::wstring text = lists::StatusText(Made(Days, 7, absurd), true, absurd);
  EXPECT_EQ(text.substr(text.size() - 18), L" Last contacted: .");
}

}  // namespace
}  // namespace test
