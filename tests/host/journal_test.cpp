// The journal against the contacts: catching up, ticks and their undo, logged
// contacts, deleted entries, contacts that went, and snoozes.
#include <gtest/gtest.h>

#include "model/archive.h"
#include "model/contact_ordering.h"
#include "model/engine.h"
#include "model/journal_history.h"
#include "model/snooze.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

constexpr Time kDay = 86400;
constexpr Time kNow = 1796299200;  // Thursday 2026-12-03 12:00:00 UTC

std::vector<Time> Times(const Journal& journal, std::int32_t id) {
  std::vector<Time> times;
  for (const JournalEntry& entry : journal.Entries(id)) times.push_back(entry.time);
  return times;
}

}  // namespace

TEST(Journal, CatchesUpWithALastContactedAnOlderProgramChangedAndDropsContactsThatWent) {
  TempFolder folder;
  {
    Engine engine(folder.path());
    engine.contacts->Add(L"Ann", L"", Days, 7, kNow - 10 * kDay, L"", -1);
    engine.contacts->Add(L"Bob", L"", Days, 7, kNow - 20 * kDay, L"", -1);
    ASSERT_TRUE(engine.Save());
  }
  // An older program ticks Ann, moves Bob's date back and deletes nobody; it
  // rewrites contacts.dat alone.
  {
    Engine older(folder.path());
    older.Load();
    Contacts::Item ann, bob;
    ASSERT_TRUE(older.contacts->Find(1, ann) && older.contacts->Find(2, bob));
    ann->lastContacted = kNow - kDay;
    bob->lastContacted = kNow - 30 * kDay;
    ASSERT_TRUE(SaveArchive(older.contactsPath, *older.contacts));
  }
  Engine engine(folder.path());
  engine.Load();
  EXPECT_EQ(Times(*engine.journal, 1), (std::vector<Time>{kNow - kDay, kNow - 10 * kDay}));
  EXPECT_EQ(Times(*engine.journal, 2), (std::vector<Time>{kNow - 20 * kDay})) << "an earlier time is no contact";
  // Catching up again finds nothing new.
  EXPECT_EQ(engine.journal->CatchUp(*engine.contacts), 0u);

  // Bob deleted by an older program: his entries go at the next save.
  ASSERT_TRUE(engine.contacts->Remove(2));
  ASSERT_TRUE(engine.Save());
  Journal reread;
  ASSERT_EQ(ReadArchive(engine.journalPath, reread), FileStatus::Ok);
  EXPECT_EQ(reread.Find(2), nullptr);
  EXPECT_EQ(reread.Entries(1).size(), 2u);
}

TEST(Journal, CatchingUpWithANeverContactedContactRecordsNothingUntilItsFirstContact) {
  Contacts contacts;
  contacts.Add(L"Never", L"", Days, 7, 0, L"", -1);
  Journal journal;
  EXPECT_EQ(journal.CatchUp(contacts), 0u);
  EXPECT_TRUE(journal.Entries(1).empty()) << "no contact on 1 January 1970";
  contacts.items[0]->lastContacted = kNow;
  EXPECT_EQ(journal.CatchUp(contacts), 1u);
  EXPECT_EQ(Times(journal, 1), (std::vector<Time>{kNow}));
}

TEST(Journal, ATickRecordsItsTimeAndItsUndoRemovesExactlyThatEntry) {
  Journal journal;
  Contact contact(4, L"Ann", L"", Days, 7, kNow - 5 * kDay, L"", -1);
  journal.Record(4, kNow - 5 * kDay);
  journal.Record(4, kNow - 2 * kDay, L"Lunch");
  journal.Snooze(4, kNow + 9 * kDay);
  const std::uint64_t before = journal.Revision();

  ASSERT_TRUE(contact.MarkContacted(kNow - 2 * kDay));  // the same moment as the lunch, by chance
  RecordTick(journal, contact);
  EXPECT_EQ(journal.Entries(4).size(), 3u);
  EXPECT_EQ(journal.SnoozedUntil(4), 0) << "a tick ends the snooze";
  EXPECT_NE(journal.Revision(), before);

  const Time ticked = contact.lastContacted;
  contact.UndoContacted();
  UndoTick(journal, 4, ticked);
  ASSERT_EQ(journal.Entries(4).size(), 2u);
  EXPECT_EQ(journal.Entries(4)[0].text, L"Lunch") << "the logged lunch of the same second stays";
  EXPECT_EQ(Times(journal, 4), (std::vector<Time>{kNow - 2 * kDay, kNow - 5 * kDay}));
}

TEST(Journal, LoggingInThePastKeepsLastContactedAndLaterMovesIt) {
  Journal journal;
  Contact contact(3, L"Ann", L"", Days, 7, kNow - 3 * kDay, L"", -1);
  journal.Record(3, contact.lastContacted);
  journal.Snooze(3, kNow + 5 * kDay);

  EXPECT_FALSE(LogContact(journal, contact, kNow - 10 * kDay, L"Old call"));
  EXPECT_EQ(contact.lastContacted, kNow - 3 * kDay);
  EXPECT_EQ(Times(journal, 3), (std::vector<Time>{kNow - 3 * kDay, kNow - 10 * kDay}));
  EXPECT_EQ(journal.SnoozedUntil(3), 0) << "a logged contact ends the snooze";

  EXPECT_TRUE(LogContact(journal, contact, kNow - kDay, std::wstring(300, L'a')));
  EXPECT_EQ(contact.lastContacted, kNow - kDay);
  EXPECT_EQ(contact.previousContacted, kNow - 3 * kDay);
  EXPECT_EQ(journal.Entries(3).front().text.size(), Journal::kMaxTextLength);
  EXPECT_EQ(Times(journal, 3).front(), kNow - kDay);
}

TEST(Journal, DeletingEntriesFromTheHistoryMatchesEachByTimeAndText) {
  Journal journal;
  Contact contact(3, L"Ann", L"", Days, 7, kNow - kDay, L"", -1);
  journal.Record(3, kNow - 9 * kDay, L"call");
  journal.Record(3, kNow - 4 * kDay);
  journal.Record(3, kNow - 4 * kDay, L"lunch");
  journal.Record(3, kNow - kDay);
  // Two of the same time, told apart by their text; one that is gone already is skipped.
  DeleteEntries(
      journal, contact,
      {JournalEntry{kNow - kDay, L""}, JournalEntry{kNow - 4 * kDay, L"lunch"}, JournalEntry{kNow - 2 * kDay, L""}});
  ASSERT_EQ(journal.Entries(3).size(), 2u);
  EXPECT_EQ(journal.Entries(3)[0].text, L"");
  EXPECT_EQ(journal.Entries(3)[1].text, L"call");
  EXPECT_EQ(contact.lastContacted, kNow - 4 * kDay) << "the newest went: the times follow what remains";
  EXPECT_EQ(contact.previousContacted, kNow - 9 * kDay);
  EXPECT_FALSE(journal.IndexOf(3, kNow - 4 * kDay, L"lunch"));
}

TEST(Journal, TheSnoozeChoicesEndAtTheStartOfALaterDayAndStopEndsTheSnooze) {
  EXPECT_EQ(SnoozeEnd(SnoozeChoice::Tomorrow, kNow), StartOfDayAfter(kNow, 1));
  EXPECT_EQ(SnoozeEnd(SnoozeChoice::InThreeDays, kNow), StartOfDayAfter(kNow, 3));
  EXPECT_EQ(SnoozeEnd(SnoozeChoice::InAWeek, kNow), StartOfDayAfter(kNow, 7));
  EXPECT_EQ(SnoozeEnd(SnoozeChoice::Stop, kNow), Time{0});
  EXPECT_FALSE(SnoozeEnd(SnoozeChoice::ChooseDate, kNow)) << "the user picks the date";
  // The day last reminded does not make the reminders be scheduled again.
  const ReminderSettings settings{true, 540, L"2026-12-02"};
  EXPECT_FALSE(settings.TimingDiffers(ReminderSettings{true, 540, L"2026-12-03"}));
  EXPECT_TRUE(settings.TimingDiffers(ReminderSettings{false, 540, L"2026-12-02"}));
  EXPECT_TRUE(settings.TimingDiffers(ReminderSettings{true, 541, L"2026-12-02"}));
}

TEST(Journal, DeletingTheNewestEntrySetsBothTimesFromTheNewestTwoThatRemain) {
  Journal journal;
  Contact contact(3, L"Ann", L"", Days, 7, kNow - kDay, L"", -1);
  for (Time t : {kNow - 20 * kDay, kNow - 9 * kDay, kNow - 4 * kDay, kNow - kDay}) journal.Record(3, t);
  // An older entry changes neither time.
  EXPECT_FALSE(DeleteEntry(journal, contact, 2));
  EXPECT_EQ(contact.lastContacted, kNow - kDay);
  EXPECT_TRUE(DeleteEntry(journal, contact, 0));
  EXPECT_EQ(contact.lastContacted, kNow - 4 * kDay);
  EXPECT_EQ(contact.previousContacted, kNow - 20 * kDay);
  EXPECT_TRUE(DeleteEntry(journal, contact, 0));
  EXPECT_EQ(contact.lastContacted, kNow - 20 * kDay);
  EXPECT_EQ(contact.previousContacted, kNow - 20 * kDay);
  // The last one goes and the times stay; catching up does not bring it back.
  EXPECT_FALSE(DeleteEntry(journal, contact, 0));
  EXPECT_EQ(contact.lastContacted, kNow - 20 * kDay);
  EXPECT_FALSE(DeleteEntry(journal, contact, 0));
  Contacts contacts;
  contacts.Add(L"Ann", L"", Days, 7, kNow - 20 * kDay, L"", -1);
  Journal other;
  other.CatchUp(contacts);
  ASSERT_TRUE(other.RemoveAt(1, 0));
  EXPECT_EQ(other.CatchUp(contacts), 0u);
  EXPECT_TRUE(other.Entries(1).empty());
}

TEST(Journal, HistoryCountsTwelveMonthsAndTheGapsBetweenEntries) {
  Journal journal;
  for (Time t : {kNow - 400 * kDay, kNow - 364 * kDay, kNow - 30 * kDay, kNow - 27 * kDay - 3600}) journal.Record(1, t);
  const std::vector<JournalEntry>& entries = journal.Entries(1);
  EXPECT_EQ(CountLastTwelveMonths(entries, kNow), 3u);
  EXPECT_EQ(DaysAfterPrevious(entries, 0), 2);
  EXPECT_EQ(DaysAfterPrevious(entries, 1), 334);
  EXPECT_EQ(DaysAfterPrevious(entries, 3), -1);
}

TEST(Snooze, CountsOnlyWhileLaterThanTheDueTimeAndSortsAsIfDueAtItsEnd) {
  Contact overdue(1, L"Late", L"", Days, 7, kNow - 10 * kDay, L"", -1);  // due 3 days ago
  Contact soon(2, L"Soon", L"", Days, 7, kNow - 5 * kDay, L"", -1);      // due in 2 days
  Contact later(3, L"Later", L"", Days, 30, kNow - 10 * kDay, L"", -1);  // due in 20 days
  const Time inAWeek = kNow + 7 * kDay;
  EXPECT_TRUE(IsSnoozeActive(overdue, inAWeek, kNow));
  EXPECT_FALSE(IsSnoozeActive(later, inAWeek, kNow)) << "earlier than the due time: no effect";
  EXPECT_FALSE(IsSnoozeActive(overdue, inAWeek, inAWeek)) << "over once its time has come";
  EXPECT_FALSE(IsSnoozeActive(overdue, 0, kNow));
  EXPECT_EQ(SeenNow(later, inAWeek, kNow), kNow);

  // Snoozed for a week, the overdue contact reads as due in seven days.
  const Time seen = SeenNow(overdue, inAWeek, kNow);
  EXPECT_EQ(overdue.DaysLeft(seen), 7);
  EXPECT_FALSE(overdue.IsExpired(seen));
  EXPECT_GT(CompareContacts(SortMode::ContactIn, overdue, soon, 75, 2, seen, kNow), 0);
  EXPECT_LT(CompareContacts(SortMode::ContactIn, overdue, later, 75, 2, seen, kNow), 0);
  EXPECT_GT(CompareContacts(SortMode::Priority, overdue, soon, 75, 2, seen, kNow), 0);
  EXPECT_LT(CompareContacts(SortMode::Priority, overdue, soon, 75, 2, kNow, kNow), 0) << "unsnoozed it leads";

  // The days offered start at local midnight.
  const Time tomorrow = StartOfDayAfter(kNow, 1);
  EXPECT_GT(tomorrow, kNow);
  EXPECT_LE(tomorrow - kNow, kDay);
  EXPECT_NEAR(static_cast<double>(StartOfDayAfter(kNow, 7) - tomorrow), 6.0 * kDay,
              3600.0);  // a clock change may fall between
  EXPECT_EQ(StartOfDayAfter(tomorrow, 0), tomorrow);
}
