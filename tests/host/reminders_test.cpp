// Who is due, the tray's summary, the notification's text and the
// once-a-day rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "model/reminders.h"
#include "model/snooze.h"

namespace {

constexpr Time kDay = 86400;

// A moment of the local clock, whatever the time zone the tests run in.
Time Local(int year, int month, int day, int hour, int minute) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_isdst = -1;
#ifdef _WIN32
  return static_cast<Time>(_mktime64(&parts));
#else
  return static_cast<Time>(std::mktime(&parts));
#endif
}

DuePerson Person(std::int32_t id, std::wstring name, Due due, std::int32_t days = 0) {
  DuePerson person;
  person.id = id;
  person.name = std::move(name);
  person.due = due;
  person.days = days;
  return person;
}

std::vector<std::wstring> Names(const std::vector<DuePerson>& due) {
  std::vector<std::wstring> names;
  for (const DuePerson& person : due) names.push_back(person.name);
  return names;
}

}  // namespace

TEST(Reminders, PeopleDueFollowTheListsStatusInOrderAndLeaveSnoozedOut) {
  const Time now = Local(2026, 12, 8, 12, 0);
  Contacts contacts;
  contacts.Add(L"Ann", L"", Days, 7, now - 10 * kDay, L"", -1);        // 1: 3 days overdue
  contacts.Add(L"Bob", L"", Days, 7, now - 8 * kDay, L"", -1);         // 2: 1 day overdue
  contacts.Add(L"Cid", L"", Weeks, 1, now - 7 * kDay, L"", -1);        // 3: due today
  contacts.Add(L"Dee", L"", Days, 10, now - 9 * kDay, L"", -1);        // 4: 1 day left, under warnDays
  contacts.Add(L"Eve", L"", Days, 10, now - 8 * kDay, L"", -1);        // 5: 2 days left, 80 % past warnPercent
  contacts.Add(L"Fay", L"", Months, 1, now - kDay, L"", -1);           // 6: green
  contacts.Add(L"Gus", L"", Days, 7, now - 20 * kDay, L"", -1);        // 7: snoozed
  contacts.Add(L"Hal", L"", Days, 7, now - 10 * kDay, L"", -1);        // 8: a snooze that has ended
  contacts.Add(L"adam", L"", Days, 7, now - 10 * kDay, L"", -1);       // 9: ties with Ann and Hal by name, case-blind
  contacts.Add(L"Ida", L"", Days, 7, now - 8 * kDay + 3600, L"", -1);  // 10: 23 hours late is still today
  contacts.items.push_back(nullptr);
  Journal journal;
  journal.Snooze(7, now + kDay);
  journal.Snooze(8, now - kDay);

  const std::vector<DuePerson> due = PeopleDue(contacts, journal, 75, 2, now);
  EXPECT_EQ(Names(due), (std::vector<std::wstring>{L"adam", L"Ann", L"Hal", L"Bob", L"Cid", L"Ida", L"Dee", L"Eve"}));
  ASSERT_EQ(due.size(), 8u);
  EXPECT_EQ(due[0].id, 9);
  EXPECT_EQ(due[0].due, Due::Overdue);
  EXPECT_EQ(due[0].days, 3);
  EXPECT_EQ(due[3].days, 1);
  EXPECT_EQ(due[4].due, Due::Today);
  EXPECT_EQ(due[4].days, 0);
  EXPECT_EQ(due[6].due, Due::Soon);
  EXPECT_EQ(due[6].days, 1);
  EXPECT_EQ(due[7].days, 2);

  // Stricter warning levels turn Eve green; Dee stays orange by days.
  EXPECT_EQ(Names(PeopleDue(contacts, journal, 90, 2, now)).back(), L"Dee");
  // When Gus's snooze ends he is the most overdue of all.
  EXPECT_EQ(PeopleDue(contacts, journal, 75, 2, now + kDay).front().name, L"Gus");

  // Counted for the tray: the same people with the same kinds and days, in
  // the collection's order, so the tray's look and tip read the same.
  const std::vector<DuePerson> counted = PeopleDue(contacts, journal, 75, 2, now, DueOrder::Counted);
  std::vector<std::int32_t> ids;
  for (const DuePerson& person : counted) ids.push_back(person.id);
  EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 8, 9, 10}));
  EXPECT_EQ(LookOf(counted), LookOf(due));
  EXPECT_EQ(TrayTipText(counted), TrayTipText(due));
}

TEST(Reminders, TheTrayLookAndTipCountEachKind) {
  EXPECT_EQ(LookOf({}), TrayLook::Nobody);
  EXPECT_EQ(TrayTipText({}), L"Amicord: nobody due");
  const std::vector<DuePerson> soon = {Person(1, L"A", Due::Soon, 2), Person(2, L"B", Due::Soon, 3)};
  EXPECT_EQ(LookOf(soon), TrayLook::Soon);
  EXPECT_EQ(TrayTipText(soon), L"Amicord: 2 due soon");
  EXPECT_EQ(LookOf({Person(1, L"A", Due::Today)}), TrayLook::Urgent);
  EXPECT_EQ(TrayTipText({Person(1, L"A", Due::Today)}), L"Amicord: 1 due today");
  const std::vector<DuePerson> mixed = {Person(1, L"A", Due::Overdue, 4), Person(2, L"B", Due::Overdue, 1),
                                        Person(3, L"C", Due::Soon, 1)};
  EXPECT_EQ(LookOf(mixed), TrayLook::Urgent);
  EXPECT_EQ(TrayTipText(mixed), L"Amicord: 2 overdue, 1 due soon");
  std::vector<DuePerson> all = mixed;
  all.push_back(Person(4, L"D", Due::Today));
  EXPECT_EQ(TrayTipText(all), L"Amicord: 2 overdue, 1 due today, 1 due soon");
}

TEST(Reminders, TheTextNamesPeopleInOrderWithTheirPluralForms) {
  EXPECT_EQ(ReminderText({}, kReminderTextRoom), L"");
  EXPECT_EQ(ReminderText({Person(1, L"Anna Berg", Due::Overdue, 1)}, kReminderTextRoom),
            L"Anna Berg is 1 day overdue.");
  EXPECT_EQ(ReminderText({Person(1, L"Bert Costa", Due::Today), Person(2, L"Dora Eck", Due::Today)}, kReminderTextRoom),
            L"Bert Costa and Dora Eck are due today.");
  const std::vector<DuePerson> due = {Person(1, L"Anna Berg", Due::Overdue, 3), Person(2, L"Ove Lund", Due::Overdue, 2),
                                      Person(3, L"Bert Costa", Due::Today),     Person(4, L"Carla Dahl", Due::Soon, 1),
                                      Person(5, L"Dora Eck", Due::Soon, 2),     Person(6, L"Emil Falk", Due::Soon, 5)};
  const std::wstring whole =
      L"Anna Berg is 3 days overdue. Ove Lund is 2 days overdue. Bert Costa is due today. "
      L"Carla Dahl, Dora Eck and Emil Falk are due soon.";
  EXPECT_EQ(ReminderText(due, kReminderTextRoom), whole);
  EXPECT_EQ(ReminderText(due, whole.size()), whole) << "exactly the room is enough";
  // Less room: the last kind names fewer and counts the rest.
  const std::wstring fewer =
      L"Anna Berg is 3 days overdue. Ove Lund is 2 days overdue. Bert Costa is due today. "
      L"Carla Dahl, Dora Eck and 1 more are due soon.";
  EXPECT_EQ(ReminderText(due, whole.size() - 1), fewer);
  EXPECT_EQ(ReminderText(due, fewer.size() - 1),
            L"Anna Berg is 3 days overdue. Ove Lund is 2 days overdue. Bert Costa is due today. "
            L"Carla Dahl and 2 more are due soon.");
  // Cut inside the overdue people, the later kinds are counted.
  const std::wstring counted =
      L"Anna Berg is 3 days overdue. 1 more is overdue. 1 person is due today. 3 people are due soon.";
  EXPECT_EQ(ReminderText(due, counted.size()), counted);
  EXPECT_EQ(ReminderText(due, counted.size() - 1),
            L"2 people are overdue. 1 person is due today. 3 people are due soon.");
  EXPECT_EQ(ReminderText(due, 40), L"6 people are due.");
  EXPECT_EQ(ReminderText(due, 16), L"") << "nothing true fits";
}

TEST(Reminders, ACutTextNeverCutsANameAndCountsEveryoneItLeavesOut) {
  std::vector<DuePerson> many;
  for (int i = 0; i < 300; ++i) {
    wchar_t name[16];
    std::swprintf(name, 16, L"Person %03d", i);
    many.push_back(Person(i, name, Due::Soon, 1));
  }
  const std::wstring text = ReminderText(many, kReminderTextRoom);
  ASSERT_LE(text.size(), kReminderTextRoom);
  const std::wstring tail = L" more are due soon.";
  ASSERT_GT(text.size(), tail.size());
  ASSERT_EQ(text.substr(text.size() - tail.size()), tail) << std::string(text.begin(), text.end());
  int named = 0;
  while (named < 300 && text.find(many[static_cast<std::size_t>(named)].name) != std::wstring::npos) ++named;
  EXPECT_GT(named, 15) << "the room is used";
  EXPECT_EQ(text.find(many[static_cast<std::size_t>(named)].name), std::wstring::npos) << "named in order";
  const std::size_t countAt = text.rfind(L" and ") + 5;
  EXPECT_EQ(std::stoi(text.substr(countAt)), 300 - named) << "everyone left out is counted";

  // Long names: whole or not at all.
  const std::wstring longA(110, L'a');
  const std::wstring longB(110, L'b');
  const std::vector<DuePerson> wide = {Person(1, longA, Due::Overdue, 2), Person(2, longB, Due::Overdue, 1),
                                       Person(3, L"Cy", Due::Today)};
  EXPECT_EQ(ReminderText(wide, kReminderTextRoom),
            longA + L" is 2 days overdue. 1 more is overdue. 1 person is due today.");
  // A single name longer than the room still leaves a true text that fits.
  std::vector<DuePerson> tooLong = {Person(1, std::wstring(300, L'z'), Due::Soon, 1)};
  for (int i = 2; i <= 5; ++i) tooLong.push_back(Person(i, L"Kim", Due::Soon, 2));
  EXPECT_EQ(ReminderText(tooLong, kReminderTextRoom), L"5 people are due soon.");
  EXPECT_EQ(ReminderText({tooLong.front()}, kReminderTextRoom), L"1 person is due soon.");
}

TEST(Reminders, TheDiaryRemindsOnceADayFromTheReminderTimeAndOnlyOfNewPeopleLater) {
  const std::vector<DuePerson> morning = {Person(1, L"Ann", Due::Overdue, 2), Person(2, L"Bob", Due::Soon, 1)};
  ReminderSettings settings;
  settings.at = 9 * 60 + 30;
  ReminderDiary diary;
  EXPECT_TRUE(diary.ToTell(morning, settings, Local(2026, 12, 8, 9, 29)).empty()) << "before the reminder time";
  EXPECT_EQ(settings.lastRemindedDay, L"");
  EXPECT_EQ(Names(diary.ToTell(morning, settings, Local(2026, 12, 8, 9, 30))),
            (std::vector<std::wstring>{L"Ann", L"Bob"}));
  EXPECT_EQ(settings.lastRemindedDay, L"2026-12-08");
  EXPECT_TRUE(diary.ToTell(morning, settings, Local(2026, 12, 8, 14, 0)).empty()) << "named once a day";
  // Cid became due; Ann was contacted and came back due: only Cid is new.
  const std::vector<DuePerson> afternoon = {Person(3, L"Cid", Due::Today), Person(1, L"Ann", Due::Overdue, 2)};
  EXPECT_EQ(Names(diary.ToTell(afternoon, settings, Local(2026, 12, 8, 15, 0))), std::vector<std::wstring>{L"Cid"});
  EXPECT_TRUE(diary.ToTell(afternoon, settings, Local(2026, 12, 8, 23, 59)).empty());

  // The next day starts afresh, from its own reminder time.
  EXPECT_TRUE(diary.ToTell(afternoon, settings, Local(2026, 12, 9, 8, 0)).empty());
  EXPECT_EQ(settings.lastRemindedDay, L"2026-12-08") << "settings change only when someone is named";
  EXPECT_EQ(diary.ToTell(afternoon, settings, Local(2026, 12, 9, 10, 0)).size(), 2u);
  EXPECT_EQ(settings.lastRemindedDay, L"2026-12-09");

  // Off: nobody, and nothing remembered.
  settings.enabled = false;
  EXPECT_TRUE(diary.ToTell(morning, settings, Local(2026, 12, 10, 10, 0)).empty());
  EXPECT_EQ(settings.lastRemindedDay, L"2026-12-09");
  settings.enabled = true;
  EXPECT_EQ(Names(diary.ToTell(morning, settings, Local(2026, 12, 10, 10, 1))),
            (std::vector<std::wstring>{L"Ann", L"Bob"}));
}

TEST(Reminders, ARestartOnADayAlreadyRemindedNamesOnlyPeopleWhoBecameDueAfterIt) {
  ReminderSettings settings;
  settings.lastRemindedDay = L"2026-12-08";
  const std::vector<DuePerson> due = {Person(1, L"Ann", Due::Overdue, 2)};
  ReminderDiary restarted;
  EXPECT_TRUE(restarted.ToTell(due, settings, Local(2026, 12, 8, 12, 0)).empty());
  std::vector<DuePerson> later = due;
  later.push_back(Person(2, L"Bob", Due::Soon, 2));
  EXPECT_EQ(Names(restarted.ToTell(later, settings, Local(2026, 12, 8, 13, 0))), std::vector<std::wstring>{L"Bob"});

  // A restart on a new day reminds as usual.
  ReminderDiary nextDay;
  EXPECT_EQ(nextDay.ToTell(later, settings, Local(2026, 12, 9, 9, 0)).size(), 2u);
}

TEST(Reminders, LocalDayIsTheCalendarDateOfTheLocalClock) {
  EXPECT_EQ(LocalDay(Local(2026, 3, 1, 0, 0)), L"2026-03-01");
  EXPECT_EQ(LocalDay(Local(2026, 2, 28, 23, 59)), L"2026-02-28");
  EXPECT_TRUE(IsCalendarDay(L"2024-02-29"));
  for (const wchar_t* bad : {L"2026-02-29", L"2026-13-01", L"2026-00-10", L"2026-04-31", L"2026-1-01", L"2026/01/01",
                             L"20260101xx", L"+026-01-01", L""})
    EXPECT_FALSE(IsCalendarDay(bad)) << std::wstring(bad).size();
}

#ifndef _WIN32
// The Windows seam reads the system's time zone, which a test cannot swap.
// The day's reminder time is read on the clock: on the night summer time
// begins, 9:00 is still 9:00 and not 10:00.
TEST(Reminders, TheTimeOfDayHoldsOnADayThatChangesToSummerTime) {
  const char* previous = std::getenv("TZ");
  const std::string saved = previous ? previous : "";
  ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  ::tzset();
  const Time justAfterMidnight = 1774740600;  // 2026-03-29 00:30 CET, the night summer time begins
  const Time nine = TimeOfDayAfter(justAfterMidnight, 0, 9 * 60);
  std::tm local{};
  ASSERT_TRUE(platform::ToLocalParts(nine, local));
  EXPECT_EQ(local.tm_hour, 9);
  EXPECT_EQ(local.tm_min, 0);
  EXPECT_EQ(local.tm_mday, 29);
  EXPECT_EQ(nine - StartOfDayAfter(justAfterMidnight, 0), 8 * 3600) << "an hour of that night does not exist";
  if (previous)
    ::setenv("TZ", saved.c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
}
#endif
