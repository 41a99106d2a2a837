// A save's snapshot shares with the one before it what did not change: what
// it writes must still be exactly what a save of everything writes (for the
// journal: what it reads back as, its records applied to its base).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "model/archive.h"
#include "model/engine.h"
#include "model/journal_history.h"
#include "model/journal_text.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

constexpr Time kNow = 1750000000;

void Fill(Engine& engine) {
  for (int c = 0; c < 30; ++c)
    engine.contacts->Add(L"Contact " + std::to_wstring(c), L"", Days, 7, kNow - c * 86400,
                         L"{\\rtf1 notes " + std::to_wstring(c) + L"}", -1);
  for (const auto& contact : *engine.contacts)
    for (int k = 1; k < 6; ++k) engine.journal->Record(contact->id, contact->lastContacted - k * 604800, L"Lunch");
}

Contact& At(Engine& engine, std::size_t index) { return *engine.contacts->items[index]; }

// Where two files part, for a message that stays short.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
  const auto parted = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return static_cast<std::size_t>(parted.first - a.begin());
}

struct Step {
  const char* what;
  std::function<void(Engine&)> change;
};

}  // namespace

TEST(SnapshotSharing, ASaveAfterEachChangeWritesWhatAFullSaveWrites) {
  TempFolder folder;
  TempFolder full(L"full");
  Engine engine(folder.path());
  Fill(engine);
  ASSERT_TRUE(engine.Save());
  const Step steps[] = {
      {"a tick",
       [](Engine& e) {
         At(e, 3).MarkContacted(kNow + 60);
         RecordTick(*e.journal, At(e, 3));
       }},
      {"its undo",
       [](Engine& e) {
         UndoTick(*e.journal, At(e, 3).id, At(e, 3).lastContacted);
         At(e, 3).UndoContacted();
       }},
      {"a snooze", [](Engine& e) { e.journal->Snooze(At(e, 7).id, kNow + 86400); }},
      {"details",
       [](Engine& e) {
         e.journal->SetDetails(At(e, 8).id, ContactDetails{{{L"home", L"123"}}, {}, {}, {}});
       }},
      {"notes edited in place", [](Engine& e) { At(e, 5).notes += L"more"; }},
      {"notes updated to others of the same length",
       [](Engine& e) {
         Contact& c = At(e, 6);
         std::wstring notes = c.notes;
         notes[notes.size() / 2] = L'#';
         c.Update(c.name, c.imagePath, c.unit, c.count, c.lastContacted, notes, c.groupId);
       }},
      {"a record replaced by another of the same id and length",
       [](Engine& e) {
         const Contact& old = At(e, 10);
         std::wstring notes = old.notes;
         notes[0] = L'[';
         e.contacts->items[10].reset(
             new Contact(old.id, old.name, old.imagePath, old.unit, old.count, old.lastContacted, notes, old.groupId));
       }},
      {"a contact removed", [](Engine& e) { e.contacts->Remove(At(e, 9).id); }},
      {"a contact added", [](Engine& e) { e.contacts->Add(L"New", L"", Weeks, 2, kNow, L"", -1); }},
      {"the order changed", [](Engine& e) { std::reverse(e.contacts->items.begin(), e.contacts->items.end()); }},
      {"the reminders",
       [](Engine& e) {
         e.journal->SetReminders(ReminderSettings{false, 600, L"", 3, {}});
       }},
      {"a history changed through the members",
       [](Engine& e) {
         e.journal->contacts[At(e, 11).id].entries.clear();
         e.journal->Touch();
       }},
      {"the journal given a copy",
       [](Engine& e) {
         Journal copy(*e.journal);
         copy.Snooze(At(e, 12).id, kNow + 7);
         *e.journal = copy;
       }},
      {"another journal object",
       [](Engine& e) {
         boost::shared_ptr<Journal> other(new Journal(*e.journal));
         other->RemoveAt(At(e, 13).id, 0);
         e.journal = other;
       }},
      {"a snapshot that was never written",
       [](Engine& e) {
         e.journal->Record(At(e, 14).id, kNow + 5);
         e.TakeSnapshot();
         e.journal->Record(At(e, 15).id, kNow + 6);
       }},
  };
  int records = 0;
  int wholeAfterRecords = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.change(engine);
    ASSERT_TRUE(engine.Save());
    if (engine.LastJournalWrite() == Engine::JournalWrite::Record) ++records;
    if (engine.LastJournalWrite() == Engine::JournalWrite::Whole && records > 0) ++wholeAfterRecords;
    ASSERT_TRUE(SaveArchive(full.File(L"journal.dat"), *engine.journal));
    ASSERT_TRUE(SaveArchive(full.File(L"contacts.dat"), *engine.contacts));
    const std::string saved = ReadBytes(folder.File(L"contacts.dat")), whole = ReadBytes(full.File(L"contacts.dat"));
    EXPECT_TRUE(saved == whole) << "differs from byte " << FirstDifference(saved, whole) << " of " << whole.size();
    Journal savedJournal, wholeJournal;
    ASSERT_EQ(ReadArchive(folder.File(L"journal.dat"), savedJournal), FileStatus::Ok);
    ASSERT_EQ(ReadArchive(full.File(L"journal.dat"), wholeJournal), FileStatus::Ok);
    const std::wstring read = JournalText(savedJournal), expected = JournalText(wholeJournal);
    EXPECT_TRUE(read == expected) << "reads back different from character "
                                  << FirstDifference(std::string(read.begin(), read.end()),
                                                     std::string(expected.begin(), expected.end()));
  }
  // Both forms were met: records added, and the base written whole again once they grew.
  EXPECT_GE(records, 3);
  EXPECT_GE(wholeAfterRecords, 1);
}

// What makes the snapshot cheap: after a tick only the ticked contact and its
// history are new, everything else is the last snapshot's.
TEST(SnapshotSharing, ASnapshotAfterATickCopiesOnlyTheTickedContact) {
  TempFolder folder;
  Engine engine(folder.path());
  Fill(engine);
  const std::unique_ptr<Engine::Snapshot> before = engine.TakeSnapshot();
  At(engine, 4).MarkContacted(kNow + 60);
  RecordTick(*engine.journal, At(engine, 4));
  const std::unique_ptr<Engine::Snapshot> after = engine.TakeSnapshot();
  ASSERT_TRUE(before->journal && after->journal);
  ASSERT_EQ(before->journal->contacts.size(), after->journal->contacts.size());
  ASSERT_EQ(before->contacts->items.size(), after->contacts->items.size());
  std::vector<std::int32_t> newHistories, newRecords;
  for (std::size_t i = 0; i < after->journal->contacts.size(); ++i)
    if (after->journal->contacts[i].second != before->journal->contacts[i].second)
      newHistories.push_back(after->journal->contacts[i].first);
  for (std::size_t i = 0; i < after->contacts->items.size(); ++i)
    if (after->contacts->items[i] != before->contacts->items[i]) newRecords.push_back(after->contacts->items[i]->id);
  EXPECT_EQ(newHistories, std::vector<std::int32_t>{At(engine, 4).id});
  EXPECT_EQ(newRecords, std::vector<std::int32_t>{At(engine, 4).id});
  EXPECT_EQ(after->contacts->items[4]->lastContacted, kNow + 60);
  EXPECT_NE(after->contacts->items[4].get(), engine.contacts->items[4].get()) << "a copy, never the live record";
}
