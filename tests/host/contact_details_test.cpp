// The days that matter and the ways to reach someone: calendar rules, phone
// and address forms, and how the journal keeps, bounds and loads them.
#include <gtest/gtest.h>

#include <locale>
#include <sstream>
#include <string>

#include <boost/archive/text_woarchive.hpp>

#include "model/archive.h"
#include "model/important_dates.h"
#include "model/journal_serialization.h"
#include "model/journal_text.h"
#include "model/reach.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

ImportantDate Date(std::wstring label, std::int32_t month, std::int32_t day, std::int32_t year = 0) {
  ImportantDate date;
  date.label = std::move(label);
  date.month = month;
  date.day = day;
  date.year = year;
  return date;
}

ContactDetails Rich() {
  ContactDetails details;
  details.phones = {{L"mobile", L"+49 170 1234567"}, {L"Boat", L"(030) 12-34"}};
  details.emails = {{L"home", L"anna@example.org"}};
  details.dates = {Date(kBirthdayLabel, 2, 29, 1980), Date(L"name day", 12, 9)};
  details.kept = {{L"", L"item1.URL:https://example.org"}, {L"Nickname", L"Annie \u041a"}};
  return details;
}

}  // namespace

TEST(ImportantDates, NextOccurrenceDaysAndTurnsFollowTheCalendar) {
  struct Case {
    ImportantDate date;
    CalendarDay today;
    CalendarDay on;
    std::int32_t days;
  };
  const Case cases[] = {
      {Date(L"birthday", 5, 12, 1980), {2026, 5, 12}, {2026, 5, 12}, 0},
      {Date(L"birthday", 5, 12), {2026, 5, 11}, {2026, 5, 12}, 1},
      {Date(L"birthday", 5, 12), {2026, 5, 13}, {2027, 5, 12}, 364},
      {Date(L"birthday", 1, 1), {2026, 12, 31}, {2027, 1, 1}, 1},
      // 29 February falls on 28 February in other years, on the 29th in leap ones.
      {Date(L"birthday", 2, 29, 1980), {2026, 2, 27}, {2026, 2, 28}, 1},
      {Date(L"birthday", 2, 29), {2027, 3, 1}, {2028, 2, 29}, 365},
      {Date(L"birthday", 2, 29), {2028, 2, 28}, {2028, 2, 29}, 1},
      {Date(L"birthday", 2, 29), {2100, 2, 1}, {2100, 2, 28}, 27},
  };
  for (const Case& c : cases) {
    const CalendarDay on = NextOccurrence(c.date, c.today);
    EXPECT_EQ(on, c.on) << c.date.month << "/" << c.date.day << " from " << c.today.year << "-" << c.today.month;
    EXPECT_EQ(DaysBetween(c.today, on), c.days) << c.date.month << "/" << c.date.day;
  }
  EXPECT_EQ(DaysBetween({2024, 1, 1}, {2025, 1, 1}), 366);
  EXPECT_EQ(DaysBetween({2025, 1, 1}, {2024, 1, 1}), -366);

  struct Valid {
    std::int32_t day, month, year;
    bool valid;
  };
  const Valid valid[] = {{29, 2, 0, true},  {29, 2, 2024, true}, {29, 2, 2023, false}, {29, 2, 1900, false},
                         {30, 2, 0, false}, {31, 4, 0, false},   {31, 12, 2026, true}, {0, 1, 0, false},
                         {1, 13, 0, false}, {1, 0, 0, false},    {1, 1, -5, false}};
  for (const Valid& v : valid)
    EXPECT_EQ(IsValidDate(v.day, v.month, v.year), v.valid) << v.day << "." << v.month << "." << v.year;
}

TEST(ImportantDates, UpcomingListsSoonestFirstWithAgesAndTheRowMarks) {
  Contacts contacts;
  contacts.Add(L"Bert Costa", L"", Days, 7, 0, L"", -1);  // 1
  contacts.Add(L"Anna Berg", L"", Days, 7, 0, L"", -1);   // 2
  contacts.Add(L"Carla Dahl", L"", Days, 7, 0, L"", -1);  // 3
  Journal journal;
  journal.SetDetails(1, ContactDetails{{}, {}, {Date(kAnniversaryLabel, 6, 1, 2016)}, {}});
  journal.SetDetails(2, ContactDetails{{}, {}, {Date(kBirthdayLabel, 6, 2, 1979), Date(L"moved", 1, 1)}, {}});
  journal.SetDetails(3, ContactDetails{{}, {}, {Date(L"name day", 6, 4)}, {}});
  journal.SetDetails(7, ContactDetails{{}, {}, {Date(kBirthdayLabel, 6, 1)}, {}});  // not a contact
  const std::vector<UpcomingDate> upcoming = UpcomingDates(contacts, journal, {2026, 6, 1}, 7);
  ASSERT_EQ(upcoming.size(), 3u);
  EXPECT_EQ(upcoming[0].name, L"Bert Costa");
  EXPECT_EQ(upcoming[0].turns, 10);
  EXPECT_EQ(DateMarkText(upcoming[0]), L"Anniversary today (10 years)");
  EXPECT_EQ(DateMarkText(upcoming[1]), L"Birthday tomorrow (turns 47)");
  EXPECT_EQ(DateMarkText(upcoming[2]), L"Name day in 3 days");
  EXPECT_EQ(upcoming[2].turns, 0) << "no year, no age";
  EXPECT_EQ(UpcomingDates(contacts, journal, {2026, 6, 1}, 0).size(), 1u);
  EXPECT_EQ(UpcomingDates(contacts, journal, {2026, 6, 2}, 366).size(), 4u) << "a whole year round";
}

TEST(Reach, DigitsLinksAndAddressChecks) {
  const std::pair<std::wstring, std::wstring> digits[] = {{L"+49 170 1234567", L"+491701234567"},
                                                          {L"(030) 12-34",
                                                           L"03012"
                                                           L"34"},
                                                          {L"0049 170", L"0049170"},
                                                          {L"tel. +1 555", L"+1555"},
                                                          {L"12+34", L"1234"},
                                                          {L"", L""}};
  for (const auto& [number, expected] : digits) EXPECT_EQ(PhoneDigits(number), expected);
  EXPECT_EQ(TelUri(L"+49 (170) 123-4567"), L"tel:+491701234567");
  EXPECT_EQ(TelUri(L"030 1234 ext. 56"), L"tel:0301234;ext=56");
  EXPECT_EQ(TelUri(L"030 1234 x56"), L"tel:0301234;ext=56");
  EXPECT_EQ(TelUri(L"+49 30 1234;ext=7"), L"tel:+49301234;ext=7");
  EXPECT_EQ(MailtoUri(L"anna.berg+news@example.org"), L"mailto:anna.berg+news@example.org");
  EXPECT_EQ(MailtoUri(L"a b?c@x.de"), L"mailto:a%20b%3Fc@x.de");
  EXPECT_EQ(MailtoUri(L"j\u00f6rg@x.de"), L"mailto:j%C3%B6rg@x.de");
  for (const wchar_t* good : {L"anna@example.org", L"a.b+c@mail.example.co.uk"}) EXPECT_TRUE(IsValidEmailAddress(good));
  for (const wchar_t* bad : {L"", L"anna", L"@example.org", L"anna@", L"anna@example", L"an na@example.org",
                             L"a@b@example.org", L"anna@example.", L"anna@.org", L"anna@example..org"})
    EXPECT_FALSE(IsValidEmailAddress(bad)) << std::wstring(bad).size();
}

TEST(JournalDetails, SetDetailsBoundsLikeLoadingAndCountsOnlyChanges) {
  Journal journal;
  journal.SetDetails(4, ContactDetails{});
  EXPECT_EQ(journal.Revision(), 0u) << "no details for a contact without any is no change";
  EXPECT_TRUE(journal.Empty());
  ContactDetails wild;
  wild.phones.assign(ContactDetails::kMaxItems + 5, Phone{L"home", std::wstring(300, L'1')});
  wild.emails.assign(1, EmailAddress{std::wstring(255, L'l') + L"\xD83D\xDE00", L"a@b.cd"});
  wild.dates = {Date(L"x", 2, 30), Date(kBirthdayLabel, 3, 1), Date(kBirthdayLabel, 4, 1), Date(L"y", 2, 29)};
  wild.kept.assign(40, KeptProperty{L"", std::wstring(2000, L'k')});
  journal.SetDetails(4, wild);
  const ContactDetails& kept = journal.Details(4);
  EXPECT_EQ(kept.phones.size(), ContactDetails::kMaxItems);
  EXPECT_EQ(kept.phones[0].number.size(), ContactDetails::kMaxTextLength);
  EXPECT_EQ(kept.emails[0].label, std::wstring(255, L'l')) << "never half a surrogate pair";
  ASSERT_EQ(kept.dates.size(), 2u) << "30 February and the second birthday are dropped";
  EXPECT_EQ(kept.dates[0].month, 3);
  EXPECT_EQ(kept.dates[1].label, L"y");
  EXPECT_EQ(kept.kept.size(), ContactDetails::kMaxKeptChars / 2000);
  const std::uint64_t once = journal.Revision();
  EXPECT_GT(once, 0u);
  journal.SetDetails(4, wild);
  EXPECT_EQ(journal.Revision(), once) << "the same details bounded the same way are no change";
  journal.SetDetails(4, Rich());
  EXPECT_EQ(journal.Details(4), Rich());
  EXPECT_GT(journal.Revision(), once);
  EXPECT_TRUE(journal.Details(99).Empty());
}

TEST(JournalDetails, FileRoundTripOlderVersionsAndHostileLists) {
  Journal saved;
  saved.Record(3, 100, L"Lunch");
  saved.SetDetails(3, Rich());
  ReminderSettings reminders;
  reminders.dateLeadDays = 7;
  reminders.datesNamed = {L"2026-06-02 L 3 birthday", L"2026-06-02 D 3 birthday"};
  saved.SetReminders(reminders);
  // The direct writer and the library's archive agree, character for character.
  std::wstringstream stream;
  stream.imbue(std::locale::classic());
  stream << L"22 serialization::archive 3 ";
  {
    boost::archive::text_woarchive archive(stream, boost::archive::no_header);
    archive << saved;
  }
  EXPECT_EQ(JournalText(saved), stream.str());
  const std::string bytes = Bytes(JournalText(saved));
  Journal loaded;
  ASSERT_EQ(ReadArchiveBytes(bytes.data(), bytes.size(), loaded), FileStatus::Ok);
  EXPECT_EQ(loaded.Details(3), Rich());
  EXPECT_EQ(loaded.state.reminders, reminders);
  ASSERT_EQ(loaded.Entries(3).size(), 1u);

  // Before the details: ContactHistory version 1 and ProgramState version 2.
  const std::string older = Bytes(Closed(L"22 serialization::archive 3 0 1 0 2 1 540 0  1 5 0 1 0 0 0 1 0 1 17 3 abc"));
  Journal old;
  ASSERT_EQ(ReadArchiveBytes(older.data(), older.size(), old), FileStatus::Ok);
  EXPECT_TRUE(old.Details(5).Empty());
  EXPECT_EQ(old.state.reminders.dateLeadDays, ReminderSettings::kDefaultDateLeadDays);
  EXPECT_EQ(old.Entries(5).front().text, L"abc");

  const std::wstring head = L"22 serialization::archive 3 0 1 0 3 1 540 0  ";
  struct Case {
    std::wstring text;
    bool loads;
  };
  const Case cases[] = {
      // Lead days out of range go back to the default; an overlong key is dropped.
      {head + L"31 1 " + Str(std::wstring(400, L'k')) + L" 1 5 0 2 0 0 0 0 0 0 0 0", true},
      // A billion phones in a few bytes.
      {head + L"3 0 1 5 0 2 0 0 0 0 1000000000 0 0 0", false},
      // A billion kept properties.
      {head + L"3 0 1 5 0 2 0 0 0 0 0 0 0 1000000000 0 0", false},
      // A label far longer than the file.
      {head + L"3 0 1 5 0 2 0 0 0 0 0 0 1 999999999 x 1 1 0 0", false},
      // Dates that cannot be and a second birthday are dropped, the rest stays.
      {head + L"3 0 1 5 0 2 0 0 0 0 0 0 3 8 birthday 2 30 0 8 birthday 1 1 0 8 birthday 2 2 0 0", true},
  };
  for (const Case& c : cases) {
    const std::string data = Bytes(Closed(c.text));
    Journal journal;
    EXPECT_EQ(ReadArchiveBytes(data.data(), data.size(), journal), c.loads ? FileStatus::Ok : FileStatus::Damaged)
        << std::string(c.text.begin(), c.text.begin() + 80);
    if (!c.loads) continue;
    EXPECT_EQ(journal.state.reminders.dateLeadDays, ReminderSettings::kDefaultDateLeadDays);
    EXPECT_TRUE(journal.state.reminders.datesNamed.empty());
    ASSERT_NE(journal.Find(5), nullptr);
  }
  const std::string last = Bytes(Closed(cases[4].text));
  Journal journal;
  ASSERT_EQ(ReadArchiveBytes(last.data(), last.size(), journal), FileStatus::Ok);
  ASSERT_EQ(journal.Details(5).dates.size(), 1u);
  EXPECT_EQ(journal.Details(5).dates[0].month, 1);
}
