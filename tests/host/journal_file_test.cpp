// journal.dat: the round trip, and what damaged, cut and hostile files leave.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <locale>
#include <sstream>

#include <boost/archive/text_woarchive.hpp>

#include "model/archive.h"
#include "model/engine.h"
#include "model/journal_serialization.h"
#include "model/journal_text.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

Journal Sample() {
  Journal journal;
  journal.Record(2, 1700000000, L"Lunch");
  journal.Record(2, 1690000000);
  journal.Record(2, 1710000000, L"Call about the \u041a\u0438\u0435\u0432 trip\nand more");
  journal.Record(9, 1600000000);
  journal.Snooze(9, 1800000000);
  return journal;
}

void ExpectSame(const Journal& a, const Journal& b) {
  ASSERT_EQ(a.contacts.size(), b.contacts.size());
  for (const auto& [id, history] : a.contacts) {
    const ContactHistory* other = b.Find(id);
    ASSERT_NE(other, nullptr) << id;
    EXPECT_EQ(history.snoozedUntil, other->snoozedUntil);
    ASSERT_EQ(history.entries.size(), other->entries.size());
    for (std::size_t i = 0; i < history.entries.size(); ++i) {
      EXPECT_EQ(history.entries[i].time, other->entries[i].time);
      EXPECT_EQ(history.entries[i].text, other->entries[i].text);
    }
  }
}

}  // namespace

TEST(JournalFile, RoundTripKeepsEveryEntryNewestFirstAndTheSnooze) {
  TempFolder folder;
  const std::wstring path = folder.File(L"journal.dat");
  const Journal saved = Sample();
  ASSERT_TRUE(SaveArchive(path, saved));
  EXPECT_FALSE(FileExists(TemporaryPath(path)));
  Journal loaded;
  const LoadResult result = LoadArchive(path, loaded);
  EXPECT_EQ(result.status, FileStatus::Ok);
  ExpectSame(saved, loaded);
  EXPECT_EQ(loaded.Entries(2).front().time, 1710000000);
  EXPECT_EQ(loaded.Entries(2).back().time, 1690000000);
  // The same archive form as the other files: library version 3, closed by a line break.
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes.rfind(Bytes(L"22 serialization::archive 3 "), 0), 0u);
  EXPECT_EQ(bytes.substr(bytes.size() - 3), Bytes(L"\n"));
}

TEST(JournalFile, EveryCutShortFileIsDamagedKeepsWhatCameBeforeAndStaysInOrder) {
  TempFolder folder;
  const std::wstring path = folder.File(L"journal.dat");
  ASSERT_TRUE(SaveArchive(path, Sample()));
  const std::string whole = ReadBytes(path);
  for (std::size_t length = 1; length < whole.size(); ++length) {
    Journal journal;
    Damage damage = Damage::None;
    const FileStatus status = ReadArchiveBytes(whole.data(), length, journal, &damage);
    ASSERT_EQ(status, FileStatus::Damaged) << length;
    for (const auto& [id, history] : journal.contacts) {
      for (std::size_t i = 1; i < history.entries.size(); ++i)
        EXPECT_GE(history.entries[i - 1].time, history.entries[i].time);
    }
  }
  // Loading a damaged journal keeps a copy of it, as for the other files.
  WriteBytes(path, whole.substr(0, whole.size() / 2));
  Journal journal;
  const LoadResult result = LoadArchive(path, journal);
  EXPECT_EQ(result.status, FileStatus::Damaged);
  EXPECT_EQ(result.keptCopy, path + L".damaged");
  EXPECT_TRUE(FileExists(path + L".damaged"));
}

TEST(JournalFile, HostileCountsLengthsAndOrdersAreRefusedQuickly) {
  const std::wstring head = L"22 serialization::archive 3 0 1 0 1 ";
  const std::wstring hostile[] = {
      // A hundred million contacts in a file of a few bytes.
      head + L"100000000 5 0 1 0 0 0 1",
      // A contact claiming a billion entries.
      head + L"1 5 0 1 0 0 0 1000000000 0 1 17 0",
      // A text far longer than the file.
      head + L"1 5 0 1 0 0 0 1 0 1 17 999999999 abc",
      // Entries oldest first.
      head + L"1 5 0 1 0 0 0 2 0 1 17 0 18 0",
      // The same contact twice.
      head + L"2 5 0 1 0 0 0 0 5 0 0 0 0",
  };
  for (const std::wstring& text : hostile) {
    const std::string bytes = Bytes(Closed(text));
    Journal journal;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadArchiveBytes(bytes.data(), bytes.size(), journal), FileStatus::Damaged)
        << std::string(text.begin(), text.end());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  }
  // The well-formed neighbour of those loads, so the refusals are about the faults.
  const std::string good = Bytes(Closed(head + L"2 5 0 1 0 0 0 2 0 1 18 0 17 3 abc 6 0 0 0 0"));
  Journal journal;
  ASSERT_EQ(ReadArchiveBytes(good.data(), good.size(), journal), FileStatus::Ok);
  ASSERT_EQ(journal.Entries(5).size(), 2u);
  EXPECT_EQ(journal.Entries(5)[1].text, L"abc");
  ASSERT_NE(journal.Find(6), nullptr);
}

TEST(JournalFile, ATextLongerThanTheLimitIsCutOnLoadAndOnRecord) {
  const std::wstring head = L"22 serialization::archive 3 0 1 0 1 1 5 0 1 0 0 0 1 0 1 17 ";
  const std::string bytes = Bytes(Closed(head + Str(std::wstring(250, L'x'))));
  Journal journal;
  ASSERT_EQ(ReadArchiveBytes(bytes.data(), bytes.size(), journal), FileStatus::Ok);
  EXPECT_EQ(journal.Entries(5).front().text.size(), Journal::kMaxTextLength);
  journal.Record(5, 20, std::wstring(199, L'y') + L"\xD83D\xDE00");
  EXPECT_EQ(journal.Entries(5).front().text, std::wstring(199, L'y')) << "never half a surrogate pair";
}

TEST(JournalFile, TheEngineSavesItAsAFourthMemberAndAStartSurvivesAMissingOrDamagedOne) {
  TempFolder folder;
  {
    Engine engine(folder.path());
    engine.contacts->Add(L"Ann", L"", Days, 7, 1000, L"", -1);
    ASSERT_TRUE(engine.Save());
  }
  const std::string contactsBefore = ReadBytes(folder.File(L"contacts.dat"));
  {
    Engine engine(folder.path());
    const Engine::LoadReport report = engine.Load();
    EXPECT_EQ(report.journal, FileStatus::Ok);
    ASSERT_EQ(engine.journal->Entries(1).size(), 1u) << "the contact's first time came in at the save";
    engine.journal->Record(1, 900, L"Before");
    ASSERT_TRUE(engine.Save());
  }
  EXPECT_EQ(ReadBytes(folder.File(L"contacts.dat")), contactsBefore) << "the journal leaves contacts.dat alone";
  WriteBytes(folder.File(L"journal.dat"), "garbage");
  Engine engine(folder.path());
  const Engine::LoadReport report = engine.Load();
  EXPECT_EQ(report.journal, FileStatus::Damaged);
  EXPECT_EQ(report.contacts, FileStatus::Ok);
  ASSERT_EQ(report.damagedFiles.size(), 1u);
  EXPECT_EQ(report.damagedFiles[0], folder.File(L"journal.dat"));
  EXPECT_EQ(engine.journal->Entries(1).size(), 1u) << "caught up from the contact";
  ASSERT_TRUE(engine.Save());
  Journal reread;
  EXPECT_EQ(ReadArchive(folder.File(L"journal.dat"), reread), FileStatus::Ok);
}

// The journal is written without the library's stream, character for
// character as the library's archive writes it.
TEST(JournalFile, TheDirectTextIsTheArchiveTextCharacterForCharacter) {
  Journal varied = Sample();
  varied.Record(-4, std::numeric_limits<std::int64_t>::min(), L" spaced  out ");
  varied.Record(-4, std::numeric_limits<std::int64_t>::max());
  varied.Snooze(-4, -1);
  varied.contacts[12];  // a contact with no entries at all
  varied.SetReminders(ReminderSettings{false, 1439, L"2026-12-08"});
  Contacts contacts;
  contacts.Add(L"Ann", L"", Days, 7, 5, L"", -1);
  varied.CatchUp(contacts);
  const Journal empty;
  for (const Journal* journal : {static_cast<const Journal*>(&varied), &empty}) {
    const Journal& subject = *journal;
    std::wstringstream stream;
    stream.imbue(std::locale::classic());
    stream << L"22 serialization::archive 3 ";
    {
      boost::archive::text_woarchive archive(stream, boost::archive::no_header);
      archive << subject;
    }
    EXPECT_EQ(JournalText(subject), stream.str());
  }
}

TEST(JournalFile, TheReminderSettingsRoundTripAndAnOlderFileLoadsWithTheDefaults) {
  TempFolder folder;
  const std::wstring path = folder.File(L"journal.dat");
  Journal saved = Sample();
  const std::uint64_t before = saved.Revision();
  saved.SetReminders(ReminderSettings{false, 0, L"2024-02-29"});
  EXPECT_GT(saved.Revision(), before) << "a changed setting is saved";
  const std::uint64_t changed = saved.Revision();
  saved.SetReminders(saved.state.reminders);
  EXPECT_EQ(saved.Revision(), changed) << "the same settings are no change";
  ASSERT_TRUE(SaveArchive(path, saved));
  Journal loaded;
  ASSERT_EQ(ReadArchive(path, loaded), FileStatus::Ok);
  EXPECT_EQ(loaded.state.reminders, saved.state.reminders);
  ExpectSame(saved, loaded);
  EXPECT_NE(ReadBytes(path).find(Bytes(L" 0 5 0 0 10 2024-02-29 3 0 0  0  0  0  0 0 0 2 ")), std::string::npos)
      << "the state's class version and fields, before the contacts";

  // A journal written before the reminders: state version 1, no fields.
  const std::string older = Bytes(Closed(L"22 serialization::archive 3 0 1 0 1 1 5 0 1 0 0 0 1 0 1 17 3 abc"));
  Journal old;
  old.state.reminders.enabled = false;
  ASSERT_EQ(ReadArchiveBytes(older.data(), older.size(), old), FileStatus::Ok);
  EXPECT_EQ(old.state.reminders, ReminderSettings{});
  ASSERT_EQ(old.Entries(5).size(), 1u);
  EXPECT_EQ(old.Entries(5).front().text, L"abc");
}

TEST(JournalFile, AReminderValueOutOfRangeIsPutBackToItsDefaultAndTheRestStillLoads) {
  const std::wstring head = L"22 serialization::archive 3 0 1 0 2 ";
  const std::wstring tail = L" 1 5 0 1 0 0 0 1 0 1 17 3 abc";
  struct Case {
    std::wstring state;
    ReminderSettings expected;
  };
  const Case cases[] = {
      {L"7 1440 10 2026-12-08", {true, 540, L"2026-12-08"}},
      {L"0 -1 0 ", {false, 540, L""}},
      {L"1 600 10 2026-02-29", {true, 600, L""}},
      {L"1 600 10 2026-12-8x", {true, 600, L""}},
      {L"1 600 3 abc", {true, 600, L""}},
  };
  for (const Case& c : cases) {
    const std::string bytes = Bytes(Closed(head + c.state + tail));
    Journal journal;
    ASSERT_EQ(ReadArchiveBytes(bytes.data(), bytes.size(), journal), FileStatus::Ok)
        << std::string(c.state.begin(), c.state.end());
    EXPECT_EQ(journal.state.reminders, c.expected) << std::string(c.state.begin(), c.state.end());
    EXPECT_EQ(journal.Entries(5).size(), 1u);
  }
}
