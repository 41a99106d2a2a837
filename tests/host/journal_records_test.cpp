// journal.dat as a base and the records added after it: what a save that was
// cut off leaves reads as the journal before it, what is damaged is kept and
// reported, and the next start finishes an interrupted record exactly once.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/archive.h"
#include "model/engine.h"
#include "model/file_set.h"
#include "model/journal_records.h"
#include "model/journal_text.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

constexpr Time kNow = 1750000000;

// A journal saved whole, then with three ticks added as records: the texts it
// held and the sizes of journal.dat after each save, contacts.dat after each.
struct Saved {
  std::vector<std::wstring> texts;
  std::vector<std::uint64_t> sizes;
  std::vector<std::string> files;
  std::vector<std::string> contactFiles;
};

Saved SaveTicks(Engine& engine, int ticks) {
  for (int c = 0; c < 40; ++c)
    engine.contacts->Add(L"Contact " + std::to_wstring(c), L"", Days, 7, kNow - c * 86400, L"", -1);
  for (const auto& contact : *engine.contacts)
    for (int k = 1; k < 8; ++k) engine.journal->Record(contact->id, contact->lastContacted - k * 604800, L"Lunch");
  Saved saved;
  for (int tick = 0; tick <= ticks; ++tick) {
    if (tick > 0) {
      engine.journal->Record(engine.contacts->items[tick]->id, kNow + tick, L"tick");
      engine.contacts->lastId += 1;
    }
    EXPECT_TRUE(engine.Save());
    EXPECT_EQ(engine.LastJournalWrite(), tick == 0 ? Engine::JournalWrite::Whole : Engine::JournalWrite::Record);
    saved.texts.push_back(JournalText(*engine.journal));
    saved.files.push_back(ReadBytes(engine.journalPath));
    saved.sizes.push_back(saved.files.back().size());
    saved.contactFiles.push_back(ReadBytes(engine.contactsPath));
  }
  return saved;
}

// The set's marker: UTF-16LE lines, as the file set writes them.
std::string Marker(const std::wstring& text) {
  std::string bytes;
  for (const wchar_t unit : text) bytes += std::string(1, static_cast<char>(unit)) + '\0';
  return bytes;
}

std::wstring TextOf(const std::wstring& path, FileStatus expected, JournalTail* tail = nullptr) {
  Journal journal;
  Damage damage = Damage::None;
  const FileStatus status = ReadJournal(path, journal, tail, &damage);
  EXPECT_TRUE(status == expected) << "status " << static_cast<int>(status) << " damage " << static_cast<int>(damage);
  return JournalText(journal);
}

}  // namespace

// However much of the last record reached the disk, the file reads as the
// journal before it, quietly; the next save writes the base whole again.
TEST(JournalRecords, ARecordCutOffAnywhereReadsAsNeverWritten) {
  TempFolder folder;
  Engine engine(folder.path());
  const Saved saved = SaveTicks(engine, 3);
  const std::wstring cut = folder.File(L"cut.dat");
  for (std::uint64_t size = saved.sizes[2] + 1; size < saved.sizes[3]; ++size) {
    WriteBytes(cut, saved.files[3].substr(0, size));
    JournalTail tail;
    ASSERT_TRUE(TextOf(cut, FileStatus::Ok, &tail) == saved.texts[2])
        << "cut at " << size - saved.sizes[2] << " of " << saved.sizes[3] - saved.sizes[2];
    ASSERT_TRUE(tail.torn && !tail.clean);
    ASSERT_EQ(tail.records, 2u);
  }
  // A disk that kept the length of the write but not its bytes.
  std::string zeroed = saved.files[3];
  for (std::size_t i = saved.sizes[2] + 60; i < zeroed.size(); ++i) zeroed[i] = '\0';
  WriteBytes(cut, zeroed);
  EXPECT_TRUE(TextOf(cut, FileStatus::Ok) == saved.texts[2]);

  WriteBytes(engine.journalPath, saved.files[3].substr(0, saved.sizes[3] - 7));
  Engine next(folder.path());
  const Engine::LoadReport report = next.Load();
  EXPECT_EQ(report.journal, FileStatus::Ok);
  EXPECT_FALSE(report.AnyDamaged());
  next.journal->Record(next.contacts->items[0]->id, kNow + 100);
  ASSERT_TRUE(next.Save());
  EXPECT_EQ(next.LastJournalWrite(), Engine::JournalWrite::Whole);
  JournalTail tail;
  EXPECT_TRUE(TextOf(next.journalPath, FileStatus::Ok, &tail) == JournalText(*next.journal));
  EXPECT_TRUE(tail.clean && tail.records == 0);
}

// A record that does not read, or does not follow what came before it, with
// anything after it: damage, kept aside, and what was read before it stays.
TEST(JournalRecords, ARecordThatDoesNotFitIsDamageAndWhatCameBeforeStays) {
  TempFolder folder;
  Engine engine(folder.path());
  const Saved saved = SaveTicks(engine, 3);
  const std::string& whole = saved.files[3];
  const auto record = [&](int n) { return whole.substr(saved.sizes[n - 1], saved.sizes[n] - saved.sizes[n - 1]); };
  std::string flipped = whole;
  flipped[saved.sizes[1] + 200] ^= 0x01;
  Engine other(folder.File(L"other"));
  other.contacts->Add(L"Someone else", L"", Days, 7, kNow, L"", -1);
  ASSERT_TRUE(other.Save());
  const std::wstring otherText = JournalText(*other.journal);
  struct Case {
    const char* what;
    std::string bytes;
    std::wstring keeps;  // the journal read before the fault
    Damage damage;
  };
  // The second's frame claims more than the file holds.
  std::string longer = whole;
  const std::size_t length = saved.sizes[1] + 2 * 15;  // the frame line's first digit
  longer[length] = '9';
  longer.insert(length, std::string("9\0", 2));
  const Case cases[] = {
      {"a changed character in the second of three", flipped, saved.texts[1], Damage::Content},
      {"a length beyond the end with a record after it", longer, saved.texts[1], Damage::Content},
      {"the third before the second", whole.substr(0, saved.sizes[1]) + record(3) + record(2), saved.texts[1],
       Damage::Content},
      {"the second twice", whole.substr(0, saved.sizes[2]) + record(2) + record(3), saved.texts[2], Damage::Content},
      {"a record after another base", ReadBytes(other.journalPath) + record(1), otherText, Damage::Content},
      {"something else after the base", whole.substr(0, saved.sizes[0]) + Bytes(L"journal-record x\n") + record(1),
       saved.texts[0], Damage::AfterLastRecord},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring path = folder.File(L"journal-case.dat");
    WriteBytes(path, c.bytes);
    Journal journal;
    const LoadResult result = LoadJournal(path, journal, nullptr);
    EXPECT_EQ(result.status, FileStatus::Damaged);
    EXPECT_EQ(result.damage, c.damage);
    ASSERT_FALSE(result.keptCopy.empty());
    EXPECT_TRUE(ReadBytes(result.keptCopy) == c.bytes);
    EXPECT_TRUE(JournalText(journal) == c.keeps);
  }
}

// A journal of an earlier build, without records, still reads; the base this
// build writes is that same form byte for byte.
TEST(JournalRecords, AJournalWithoutRecordsIsTheFormItAlwaysWas) {
  TempFolder folder;
  Engine engine(folder.path());
  const Saved saved = SaveTicks(engine, 1);
  const std::wstring earlier = folder.File(L"earlier.dat");
  Journal journal;
  ASSERT_EQ(ReadArchive(engine.journalPath, journal), FileStatus::Ok);
  ASSERT_TRUE(SaveArchive(earlier, journal));
  EXPECT_EQ(saved.files[1].substr(0, saved.sizes[0]), saved.files[0]);
  JournalTail tail;
  EXPECT_TRUE(TextOf(earlier, FileStatus::Ok, &tail) == saved.texts[1]);
  EXPECT_TRUE(tail.clean && !tail.torn);
  EXPECT_EQ(tail.records, 0u);
  EXPECT_EQ(tail.size, ReadBytes(earlier).size());
}

// Every moment a tick's save can stop at once its marker is on the disk: the
// next start adds the record once, whatever of it was added already, and
// puts contacts.dat in place; a marker whose record does not belong to the
// file changes nothing of it.
TEST(JournalRecords, TheNextStartAddsAnInterruptedRecordExactlyOnce) {
  TempFolder folder;
  Engine engine(folder.path());
  const Saved saved = SaveTicks(engine, 2);
  const std::string record = saved.files[2].substr(saved.sizes[1]);
  const std::string marker = Marker(L"contacts.dat\n+journal.dat " + std::to_wstring(saved.sizes[1]) + L"\nend\n");
  struct Case {
    const char* what;
    std::size_t added;  // bytes of the record already in journal.dat
    bool replaced;      // contacts.dat already in place
  };
  const Case cases[] = {{"nothing done", 0, false},
                        {"part of the record added", record.size() / 2, false},
                        {"the record added", record.size(), false},
                        {"contacts.dat replaced too", record.size(), true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(engine.journalPath, saved.files[1] + record.substr(0, c.added));
    WriteBytes(c.replaced ? engine.contactsPath : TemporaryPath(engine.contactsPath), saved.contactFiles[2]);
    if (!c.replaced) WriteBytes(engine.contactsPath, saved.contactFiles[1]);
    WriteBytes(AppendPath(engine.journalPath), record);
    WriteBytes(folder.File(L"saving.set"), marker);
    Engine next(folder.path());
    EXPECT_FALSE(next.Load().AnyDamaged());
    EXPECT_TRUE(ReadBytes(engine.journalPath) == saved.files[2]);
    EXPECT_TRUE(ReadBytes(engine.contactsPath) == saved.contactFiles[2]);
    EXPECT_FALSE(FileExists(AppendPath(engine.journalPath)));
    EXPECT_FALSE(FileExists(folder.File(L"saving.set")));
  }
  // Named for an offset the file does not end at.
  WriteBytes(engine.journalPath, saved.files[2]);
  WriteBytes(AppendPath(engine.journalPath), record);
  WriteBytes(folder.File(L"saving.set"), Marker(L"+journal.dat " + std::to_wstring(saved.sizes[0]) + L"\nend\n"));
  Engine stale(folder.path());
  EXPECT_FALSE(stale.Load().AnyDamaged());
  EXPECT_TRUE(ReadBytes(engine.journalPath) == saved.files[2]);
  EXPECT_FALSE(FileExists(AppendPath(engine.journalPath)));
}

// A record goes only onto a file exactly as this engine left it, on the day
// its base got its first record; otherwise the base is written whole.
TEST(JournalRecords, TheBaseIsWrittenWholeOnAnotherDayOrAfterSomeoneElsesWrite) {
  TempFolder folder;
  Engine engine(folder.path());
  const Saved saved = SaveTicks(engine, 1);
  Journal journal;
  ASSERT_EQ(ReadArchive(engine.journalPath, journal), FileStatus::Ok);
  // The same journal with its record added two days ago.
  ASSERT_TRUE(SaveArchive(engine.journalPath, journal));
  const std::uint64_t baseSize = ReadBytes(engine.journalPath).size();
  JournalRecord record;
  record.sequence = 1;
  record.offset = baseSize;
  record.baseTime = platform::Now() - 2 * 86400;
  record.state = journal.state;
  const std::wstring text = RecordText(record);
  std::string bytes;
  ASSERT_TRUE(WideOutBuf::EncodeUnits(text.data(), text.size(), bytes));
  ASSERT_EQ(AppendAt(engine.journalPath, baseSize, bytes), AppendResult::Done);
  const auto tickAndSave = [&](Engine& e) {
    e.journal->Record(e.contacts->items[5]->id, kNow + 50);
    EXPECT_TRUE(e.Save());
    return e.LastJournalWrite();
  };
  Engine later(folder.path());
  ASSERT_FALSE(later.Load().AnyDamaged());
  EXPECT_EQ(tickAndSave(later), Engine::JournalWrite::Whole);
  EXPECT_EQ(tickAndSave(later), Engine::JournalWrite::Record);
  // Someone else writes the same journal again: its stamp is no longer ours.
  ASSERT_EQ(ReadArchive(later.journalPath, journal), FileStatus::Ok);
  ASSERT_TRUE(SaveArchive(later.journalPath, journal));
  EXPECT_EQ(tickAndSave(later), Engine::JournalWrite::Whole);
  EXPECT_TRUE(TextOf(later.journalPath, FileStatus::Ok) == JournalText(*later.journal));
}

// Someone else's journal that ends inside a record may still be being
// written: it is not taken in until it reads to a clean end.
TEST(JournalRecords, AnOutsideJournalEndingInsideARecordWaits) {
  TempFolder folder;
  Engine engine(folder.path());
  const Saved saved = SaveTicks(engine, 2);
  Engine watcher(folder.path());
  ASSERT_FALSE(watcher.Load().AnyDamaged());
  WriteBytes(engine.journalPath, saved.files[2].substr(0, saved.sizes[2] - 9));
  Engine::Reread reread = watcher.ReadChanged();
  EXPECT_FALSE(reread.journal);
  EXPECT_EQ(reread.incomplete, std::vector<std::wstring>{engine.journalPath});
  WriteBytes(engine.journalPath, saved.files[1]);
  reread = watcher.ReadChanged();
  ASSERT_TRUE(reread.journal);
  EXPECT_TRUE(JournalText(*reread.journal) == saved.texts[1]);
}
