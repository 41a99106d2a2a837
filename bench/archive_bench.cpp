// Saving and loading contacts.dat and journal.dat against the floor of writing and reading the
// same bytes raw (with the same flush to the disk and the same rename on saving).
//   archive_bench [FOLDER]   (default: the system's temporary folder)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bench/median_time.h"
#include "model/archive.h"
#include "model/important_dates.h"
#include "model/file_system.h"

namespace {

using bench::Clock;

using bench::Median;
using bench::Milliseconds;

std::wstring Notes(int salt) {
  // About 2 KB of rich text with line breaks, as the notes editor produces it.
  std::wstring notes =
      L"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}}\r\n"
      L"\\viewkind4\\uc1\\pard\\f0\\fs17 ";
  int line = 0;
  while (notes.size() < 2048) {
    notes += L"Met at the market, talked about the garden and the trip in spring (" + std::to_wstring(salt + line++) +
             L").\\par\r\n";
  }
  notes.resize(2046);
  notes += L"}\n";
  return notes;
}

Contacts MakeContacts(int count) {
  Contacts contacts;
  for (int i = 0; i < count; ++i) {
    std::wstring name = L"Contact number " + std::to_wstring(i) + L" with a longer name";
    name.resize(40, L'x');
    contacts.Add(name, L"C:\\Users\\someone\\Pictures\\people\\photo.png", static_cast<IntervalUnit>(i % 3), 1 + i % 12,
                 1700000000 + i, Notes(i), 1 + i % 7);
  }
  return contacts;
}

std::string ReadAll(const std::wstring& path) {
  std::FILE* file = files::OpenBinary(path, false);
  std::string bytes;
  if (!file) return bytes;
  const long long size = files::SizeOf(file);
  bytes.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  return bytes;
}

void WriteRaw(const std::wstring& path, const std::string& bytes) {
  const std::wstring temporary = path + L".tmp";
  std::FILE* file = files::OpenBinary(temporary, true);
  if (!file) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  files::FlushToDisk(file);
  std::fclose(file);
  files::ReplaceWith(temporary, path);
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder =
      (argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path()) / "amicord-bench";
  std::filesystem::create_directories(folder);
  const std::string base = folder.string();
  const std::wstring archivePath = std::wstring(base.begin(), base.end()) + L"/contacts.dat";
  const std::wstring rawPath = std::wstring(base.begin(), base.end()) + L"/raw.dat";
  constexpr int kRuns = 7;

  std::printf("%8s %9s | %9s %9s %6s | %9s %9s %6s\n", "contacts", "file MB", "save ms", "raw ms", "ratio", "load ms",
              "raw ms", "ratio");
  for (const int count : {1000, 10000}) {
    const Contacts contacts = MakeContacts(count);
    const double save = Median(kRuns, [&] { SaveArchive(archivePath, contacts); });
    const std::string bytes = ReadAll(archivePath);
    const double rawWrite = Median(kRuns, [&] { WriteRaw(rawPath, bytes); });
    std::size_t loaded = 0;
    const double load = Median(kRuns, [&] {
      Contacts back;
      ReadArchive(archivePath, back);
      loaded = back.items.size();
    });
    std::size_t rawSize = 0;
    const double rawRead = Median(kRuns, [&] { rawSize = ReadAll(rawPath).size(); });
    if (loaded != contacts.items.size() || rawSize != bytes.size()) {
      std::fprintf(stderr, "archive_bench: the data did not come back whole\n");
      return 1;
    }
    std::printf("%8d %9.2f | %9.2f %9.2f %6.2f | %9.2f %9.2f %6.2f\n", count, bytes.size() / 1048576.0, save, rawWrite,
                save / rawWrite, load, rawRead, load / rawRead);
  }

  // The journal beside them: every contact with its entries, about one in
  // four with a short text.
  const std::wstring journalPath = std::wstring(base.begin(), base.end()) + L"/journal.dat";
  std::printf("\n%8s %8s %9s | %9s %9s\n", "contacts", "entries", "file MB", "save ms", "load ms");
  for (const auto& [count, each] : {std::pair<int, int>{1000, 100}, std::pair<int, int>{10000, 50}}) {
    Journal journal;
    for (int id = 1; id <= count; ++id)
      for (int k = 0; k < each; ++k)
        journal.Record(id, 1700000000 - k * 86400, k % 4 == 0 ? L"Lunch at the usual place" : L"");
    const double save = Median(kRuns, [&] { SaveArchive(journalPath, journal); });
    std::size_t loaded = 0;
    const double load = Median(kRuns, [&] {
      Journal back;
      ReadArchive(journalPath, back);
      loaded = back.EntryCount();
    });
    if (loaded != journal.EntryCount()) {
      std::fprintf(stderr, "archive_bench: the journal did not come back whole\n");
      return 1;
    }
    std::printf("%8d %8d %9.2f | %9.2f %9.2f\n", count, each, ReadAll(journalPath).size() / 1048576.0, save, load);
  }

  // The same 10,000 contacts with two phones, two addresses and a birthday
  // each, and how long finding the coming dates of all of them takes.
  {
    Journal journal;
    for (int id = 1; id <= 10000; ++id) {
      for (int k = 0; k < 50; ++k)
        journal.Record(id, 1700000000 - k * 86400, k % 4 == 0 ? L"Lunch at the usual place" : L"");
      const std::wstring n = std::to_wstring(id);
      ContactDetails details;
      details.phones = {{L"mobile", L"+49 170 " + n}, {L"home", L"030 " + n}};
      details.emails = {{L"home", L"p" + n + L"@example.org"}, {L"work", L"p" + n + L"@work.example"}};
      details.dates = {{L"birthday", 1 + id % 12, 1 + id % 28, 1950 + id % 50}};
      journal.SetDetails(id, std::move(details));
    }
    const double save = Median(kRuns, [&] { SaveArchive(journalPath, journal); });
    Journal back;
    const double load = Median(kRuns, [&] {
      back = Journal();
      ReadArchive(journalPath, back);
    });
    if (back.Details(10000) != journal.Details(10000)) {
      std::fprintf(stderr, "archive_bench: the details did not come back whole\n");
      return 1;
    }
    std::printf("%8d %8d %9.2f | %9.2f %9.2f  (with 2 phones, 2 e-mail addresses and a birthday each)\n", 10000, 50,
                ReadAll(journalPath).size() / 1048576.0, save, load);
    Contacts contacts;
    for (int id = 1; id <= 10000; ++id) contacts.Add(L"Person " + std::to_wstring(id), L"", Days, 7, 0, L"", -1);
    std::size_t found = 0;
    const double upcoming = Median(kRuns, [&] { found = UpcomingDates(contacts, back, {2026, 12, 9}, 366).size(); });
    const double week = Median(kRuns, [&] { found = UpcomingDates(contacts, back, {2026, 12, 9}, 7).size(); });
    std::printf("upcoming dates of 10000 contacts: next 12 months %.2f ms, next 7 days %.2f ms (%zu)\n", upcoming, week,
                found);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
