// A tick's save with journal.dat written whole and with a record added to it,
// and loading a journal with 0, 100 and 1,000 records after its base.
//   journal_records_bench [FOLDER]   (default: the system's temporary folder)
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/median_time.h"
#include "model/archive.h"
#include "model/engine.h"
#include "model/file_set.h"
#include "model/file_system.h"
#include "model/journal_records.h"
#include "model/journal_snapshot.h"

namespace {

using bench::Clock;
using bench::Median;

constexpr int kContacts = 10000;
constexpr int kEntries = 50;
constexpr Time kStart = 1600000000;

void Fill(Engine& engine) {
  for (int c = 0; c < kContacts; ++c)
    engine.contacts->Add(L"Contact number " + std::to_wstring(c), L"", Days, 14, kStart + c, L"", -1);
  for (const auto& contact : *engine.contacts) {
    for (int k = 0; k < kEntries; ++k)
      engine.journal->Record(contact->id, kStart - k * 86400, k % 3 == 0 ? L"Lunch at the usual place" : L"");
    ContactDetails details;
    details.phones = {{L"mobile", L"+44 20 7946 " + std::to_wstring(contact->id % 10000)}};
    details.emails = {{L"home", L"someone" + std::to_wstring(contact->id) + L"@example.org"}};
    details.dates = {{L"Birthday", 5, 1 + contact->id % 28, 1980}};
    engine.journal->SetDetails(contact->id, details);
  }
}

std::uintmax_t SizeOf(const std::wstring& path) {
  std::error_code error;
  return std::filesystem::file_size(files::PathOf(path), error);
}

// The median of five ticks, each a save: its time, and the bytes it wrote.
void Ticks(Engine& engine, const char* what) {
  int tick = 0;
  std::uintmax_t bytes = 0;
  const double ms = Median(5, [&] {
    const auto& contact = engine.contacts->items[static_cast<std::size_t>(tick++ * 97)];
    contact->MarkContacted(kStart + 86400 + tick);
    engine.journal->Record(contact->id, contact->lastContacted, L"tick");
    const std::uintmax_t before = SizeOf(engine.journalPath);
    engine.Save();
    const bool record = engine.LastJournalWrite() == Engine::JournalWrite::Record;
    bytes = SizeOf(engine.contactsPath) + (record ? SizeOf(engine.journalPath) - before : SizeOf(engine.journalPath));
  });
  std::printf("tick, %-26s %8.1f ms  %10ju bytes written (journal.dat %ju bytes, contacts.dat %ju)\n", what, ms, bytes,
              SizeOf(engine.journalPath), SizeOf(engine.contactsPath));
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder =
      (argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path()) / "amicord-journal-bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string base = folder.string() + "/";
  Engine engine(std::wstring(base.begin(), base.end()));
  Fill(engine);
  engine.addRecords = false;
  engine.Save();
  engine.Load();
  Ticks(engine, "journal written whole:");
  engine.addRecords = true;
  engine.Save();  // the base written whole once more, for the records to follow
  Ticks(engine, "a record added:");

  // The journal as it is now, with records added one a tick.
  const std::wstring journalPath = engine.journalPath;
  for (const int records : {0, 100, 1000}) {
    Journal journal;
    ReadArchive(journalPath, journal);
    SaveArchive(journalPath, journal);
    JournalChanges all;
    std::shared_ptr<const JournalSnapshot> disk = SnapshotOf(journal, all, nullptr);
    std::uint64_t size = SizeOf(journalPath);
    for (int r = 1; r <= records; ++r) {
      const std::int32_t id = engine.contacts->items[static_cast<std::size_t>(r * 7 % kContacts)]->id;
      journal.Record(id, kStart + 86400 * 2 + r, L"tick");
      JournalChanges changed;
      changed.all = false;
      changed.ids = {id};
      std::shared_ptr<const JournalSnapshot> now = SnapshotOf(journal, changed, disk);
      JournalRecord record = RecordBetween(*disk, *now);
      record.sequence = static_cast<std::uint64_t>(r);
      record.offset = size;
      record.baseTime = kStart;
      const std::wstring text = RecordText(record);
      std::string bytes;
      WideOutBuf::EncodeUnits(text.data(), text.size(), bytes);
      AppendAt(journalPath, size, bytes);
      size += bytes.size();
      disk = now;
    }
    JournalTail tail;
    const double ms = Median(3, [&] {
      Journal read;
      ReadJournal(journalPath, read, &tail);
    });
    std::printf("load, %4llu records %8.1f ms  (journal.dat %ju bytes, %ju of them records)\n",
                static_cast<unsigned long long>(tail.records), ms, SizeOf(journalPath),
                static_cast<std::uintmax_t>(tail.size - tail.baseBytes));
  }
  std::filesystem::remove_all(folder);
  return 0;
}
