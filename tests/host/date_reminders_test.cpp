// The dates in the reminders: what the notification and the tray's tip say,
// and the naming once per reminder day across restarts.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "model/reminders.h"

namespace {

Time Local(int year, int month, int day, int hour) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
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

UpcomingDate Upcoming(std::int32_t id, std::wstring name, std::wstring label, std::int32_t days,
                      std::int32_t turns = 0) {
  UpcomingDate date;
  date.id = id;
  date.name = std::move(name);
  date.date.label = std::move(label);
  date.days = days;
  date.turns = turns;
  return date;
}

// Contacts 1-3 with a birthday on 12 June 1979, an anniversary on 10 June and a
// name day on 14 June without a year.
struct Dates {
  Contacts contacts;
  Journal journal;
  Dates() {
    contacts.Add(L"Anna Berg", L"", Days, 7, 0, L"", -1);
    contacts.Add(L"Bert Costa", L"", Days, 7, 0, L"", -1);
    contacts.Add(L"Carla Dahl", L"", Days, 7, 0, L"", -1);
    journal.SetDetails(1, ContactDetails{{}, {}, {{kBirthdayLabel, 6, 12, 1979}}, {}});
    journal.SetDetails(2, ContactDetails{{}, {}, {{kAnniversaryLabel, 6, 10, 0}}, {}});
    journal.SetDetails(3, ContactDetails{{}, {}, {{L"name day", 6, 14, 0}}, {}});
  }
  std::vector<UpcomingDate> On(int day, const ReminderSettings& settings) const {
    return UpcomingDates(contacts, journal, {2026, 6, day}, DateWindowDays(settings));
  }
};

std::wstring Told(const Telling& telling) { return ReminderText(telling.people, telling.dates, kReminderTextRoom); }

}  // namespace

TEST(DateReminders, TheTextNamesDatesAfterThePeopleAndADuePersonOnceWithBoth) {
  struct Case {
    std::vector<DuePerson> due;
    std::vector<UpcomingDate> dates;
    std::wstring text;
  };
  const Case cases[] = {
      {{},
       {Upcoming(1, L"Anna Berg", L"birthday", 1, 47), Upcoming(2, L"Bert Costa", L"anniversary", 0)},
       L"Anna Berg's birthday is tomorrow (turns 47). Bert Costa's anniversary is today."},
      {{}, {Upcoming(3, L"Carla Dahl", L"name day", 3)}, L"Carla Dahl's name day is in 3 days."},
      {{}, {Upcoming(2, L"Bert Costa", L"anniversary", 2, 10)}, L"Bert Costa's anniversary is in 2 days (10 years)."},
      {{Person(1, L"Anna Berg", Due::Overdue, 3)},
       {Upcoming(1, L"Anna Berg", L"birthday", 1, 47)},
       L"Anna Berg is 3 days overdue; birthday tomorrow (turns 47)."},
      {{Person(1, L"Anna Berg", Due::Today), Person(4, L"Dora Eck", Due::Today), Person(5, L"Emil Falk", Due::Today)},
       {Upcoming(1, L"Anna Berg", L"birthday", 0), Upcoming(1, L"Anna Berg", L"name day", 2),
        Upcoming(3, L"Carla Dahl", L"name day", 3)},
       L"Anna Berg is due today; birthday today, name day in 2 days. Dora Eck and Emil Falk are due today. "
       L"Carla Dahl's name day is in 3 days."},
      {{Person(4, L"Dora Eck", Due::Soon, 2)},
       {Upcoming(4, L"Dora Eck", L"birthday", 0)},
       L"Dora Eck is due soon; birthday today."},
  };
  for (const Case& c : cases) EXPECT_EQ(ReminderText(c.due, c.dates, kReminderTextRoom), c.text);

  // Short of room, names stay whole and the rest is counted, people first.
  const std::vector<DuePerson> due = {Person(1, std::wstring(120, L'a'), Due::Overdue, 2)};
  std::vector<UpcomingDate> many;
  for (int i = 0; i < 20; ++i) many.push_back(Upcoming(10 + i, L"Person " + std::to_wstring(i), L"birthday", 1));
  const std::wstring text = ReminderText(due, many, kReminderTextRoom);
  ASSERT_LE(text.size(), kReminderTextRoom);
  EXPECT_EQ(text.rfind(std::wstring(120, L'a') + L" is 2 days overdue. Person 0's birthday is tomorrow.", 0), 0u);
  const std::wstring tail = L" more dates are coming up.";
  ASSERT_GT(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_EQ(ReminderText({}, many, 30), L"20 dates are coming up.");
  EXPECT_EQ(ReminderText(due, many, 44), L"1 person is overdue. 20 dates are coming up.");
  EXPECT_EQ(ReminderText(due, many, 40), L"1 person is due. 20 dates are coming up.");
  EXPECT_EQ(ReminderText(due, many, 25), L"1 person is due.");
}

TEST(DateReminders, TheTipCountsBirthdaysAndOtherDatesOfTheComingWeekOnly) {
  const std::vector<DuePerson> overdue = {Person(1, L"A", Due::Overdue, 1), Person(2, L"B", Due::Overdue, 4)};
  EXPECT_EQ(TrayTipText(overdue, {Upcoming(3, L"C", L"birthday", 2)}), L"Amicord: 2 overdue, 1 birthday this week");
  EXPECT_EQ(TrayTipText({}, {Upcoming(3, L"C", L"birthday", 0), Upcoming(4, L"D", L"name day", 7),
                             Upcoming(5, L"E", L"anniversary", 1), Upcoming(6, L"F", L"birthday", 8)}),
            L"Amicord: nobody due, 1 birthday and 2 dates this week");
  EXPECT_EQ(TrayTipText({}, {Upcoming(3, L"C", L"birthday", 3), Upcoming(4, L"D", L"birthday", 4)}),
            L"Amicord: nobody due, 2 birthdays this week");
  EXPECT_EQ(TrayTipText(overdue, {Upcoming(6, L"F", L"birthday", 20)}), TrayTipText(overdue));
  EXPECT_EQ(LookOf({}), TrayLook::Nobody) << "dates never colour the icon";
}

TEST(DateReminders, EachDateIsNamedOnItsLeadAndOnItsDayOnceAcrossRestarts) {
  const Dates dates;
  struct Step {
    int day;
    int hour;
    std::int32_t lead;
    bool restart;
    std::wstring text;
  };
  // Lead of 3 days: the anniversary (10 June) on the 7th, the birthday (12th)
  // on the 9th, the name day (14th) on the 11th, and each on its day.
  const Step steps[] = {
      {6, 12, 3, false, L""},
      {7, 8, 3, false, L""},  // before the reminder time
      {7, 12, 3, false, L"Bert Costa's anniversary is in 3 days."},
      {7, 18, 3, false, L""},
      {7, 19, 3, true, L""},
      {9, 12, 3, true, L"Anna Berg's birthday is in 3 days (turns 47)."},
      {10, 12, 3, false, L"Bert Costa's anniversary is today."},
      {12, 12, 3, false, L"Anna Berg's birthday is today (turns 47). Carla Dahl's name day is in 2 days."},
      {12, 13, 0, true, L""},
      {14, 12, 0, false, L"Carla Dahl's name day is today."},
  };
  ReminderSettings settings;
  settings.at = 9 * 60;
  auto diary = std::make_unique<ReminderDiary>();
  for (const Step& step : steps) {
    if (step.restart) diary = std::make_unique<ReminderDiary>();
    settings.dateLeadDays = step.lead;
    // The upcoming dates made the day before, as a list kept since the last change would be.
    const std::vector<UpcomingDate> upcoming = dates.On(step.day - 1, settings);
    const Telling telling = diary->ToTell({}, upcoming, settings, Local(2026, 6, step.day, step.hour));
    EXPECT_TRUE(telling.people.empty());
    EXPECT_EQ(Told(telling), step.text) << "June " << step.day << " " << step.hour << ":00";
  }
  EXPECT_EQ(settings.lastRemindedDay, L"") << "the people's day is theirs alone";
  for (const std::wstring& key : settings.datesNamed)
    EXPECT_GE(key.substr(0, 10), L"2026-06-14") << "past ones are forgotten";

  // Off means off; a due person is named once with their date.
  ReminderSettings off;
  off.enabled = false;
  ReminderDiary quiet;
  EXPECT_TRUE(quiet.ToTell({}, dates.On(12, off), off, Local(2026, 6, 12, 12)).Empty());
  ReminderSettings on;
  ReminderDiary both;
  const Telling telling = both.ToTell({Person(1, L"Anna Berg", Due::Overdue, 3)}, dates.On(11, on), on,
                                      Local(2026, 6, 11, 12));
  EXPECT_EQ(Told(telling),
            L"Anna Berg is 3 days overdue; birthday tomorrow (turns 47). Carla Dahl's name day is in 3 days.");
  EXPECT_EQ(on.lastRemindedDay, L"2026-06-11");
}
