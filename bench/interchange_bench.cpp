// Importing and exporting at the scale of a large address book: reading a
// 10,000-card vCard file with 1,000 embedded photos (and importing it into
// empty collections, pictures written), and writing 10,000 contacts as vCard
// and as CSV.
//   interchange_bench [FOLDER]   (default: the system's temporary folder)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/median_time.h"
#include "interchange/base64.h"
#include "interchange/csv_reader.h"
#include "interchange/csv_writer.h"
#include "interchange/import_plan.h"
#include "interchange/notes_text.h"
#include "interchange/vcard_reader.h"
#include "interchange/vcard_writer.h"
#include "model/journal.h"

namespace {

using bench::Clock;

constexpr int kPeople = 10000;
constexpr int kPhotoEvery = 10;
constexpr std::size_t kPhotoBytes = 24 * 1024;
constexpr Time kNow = 1750000000;

using bench::Median;
using bench::Milliseconds;

std::string Photo(int salt) {
  std::string bytes = "\xFF\xD8\xFF\xE0";
  bytes.reserve(kPhotoBytes);
  unsigned state = 2463534242u + static_cast<unsigned>(salt);
  while (bytes.size() < kPhotoBytes) {
    state ^= state << 13, state ^= state >> 17, state ^= state << 5;  // incompressible, like real JPEG data
    bytes += static_cast<char>(state & 0xFF);
  }
  return bytes;
}

// Folded at 75 bytes as phones and mail programs write, in the 3.0 spelling.
std::string CardFile() {
  std::string file;
  for (int i = 0; i < kPeople; ++i) {
    file += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + std::to_string(i) +
            " M\xC3\xBCller\r\nN:M\xC3\xBCller;Person;;;\r\n";
    file += "TEL;TYPE=CELL:+49 170 " + std::to_string(1000000 + i) + "\r\nEMAIL;TYPE=INTERNET:p" + std::to_string(i) +
            "@example.org\r\nNOTE:Met at the market\\, talked about the garden\\nand the trip in spring.\r\n";
    file += "CATEGORIES:Group " + std::to_string(i % 12) + "\r\n";
    if (i % kPhotoEvery == 0) {
      const std::string line = "PHOTO;ENCODING=b;TYPE=JPEG:" + interchange::EncodeBase64(Photo(i));
      for (std::size_t at = 0; at < line.size(); at += 74) file += (at ? " " : "") + line.substr(at, 74) + "\r\n";
    }
    file += "END:VCARD\r\n";
  }
  return file;
}

// The cards people move in with: two phones, two addresses and a birthday each, no pictures.
std::string DetailedCardFile() {
  std::string file;
  for (int i = 0; i < kPeople; ++i) {
    const std::string n = std::to_string(i);
    file += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + n + "\r\nN:;Person " + n + ";;;\r\n";
    file += "TEL;TYPE=CELL,pref:+49 170 " + std::to_string(1000000 + i) + "\r\nTEL;TYPE=HOME:030 " +
            std::to_string(2000000 + i) + "\r\n";
    file += "EMAIL;TYPE=INTERNET,HOME:p" + n + "@example.org\r\nEMAIL;TYPE=INTERNET,WORK:p" + n + "@work.example\r\n";
    file += "BDAY:19" + std::to_string(50 + i % 50) + "-0" + std::to_string(1 + i % 9) + "-1" + std::to_string(i % 10) +
            "\r\nADR;TYPE=home:;;Street " + n + ";Oslo;;0150;Norway\r\nEND:VCARD\r\n";
  }
  return file;
}

void DetailedImport(const std::filesystem::path& root) {
  const std::string cards = DetailedCardFile();
  std::printf("vCard file: %d cards with 2 phones, 2 e-mail addresses, a birthday and an address, %.1f MB\n", kPeople,
              cards.size() / 1048576.0);
  const auto start = Clock::now();
  interchange::ReadResult read = interchange::ReadVCards(cards, L"details.vcf");
  const double readMs = Milliseconds(Clock::now() - start);
  Groups groups;
  Contacts contacts;
  Journal journal;
  const auto planStart = Clock::now();
  const interchange::Plan plan = interchange::PlanImport(std::move(read.people), groups, contacts,
                                                         interchange::ImportOptions(), &journal);
  const double planMs = Milliseconds(Clock::now() - planStart);
  const auto applyStart = Clock::now();
  const interchange::ImportOutcome outcome = interchange::ApplyImport(
      plan, interchange::DefaultTicks(plan), groups, contacts, (root / "images").wstring(), kNow, &journal);
  const double applyMs = Milliseconds(Clock::now() - applyStart);
  std::printf("  read %.1f ms + plan %.1f ms + apply %.1f ms = %.1f ms  (%d added; goal under 2000 ms)\n", readMs,
              planMs, applyMs, readMs + planMs + applyMs, outcome.added);
  interchange::ExportOptions options;
  options.now = kNow;
  options.journal = &journal;
  std::string vcf, csv;
  const double vcardMs = Median(3, [&] { vcf = interchange::WriteVCards(contacts, groups, options); });
  const double csvMs = Median(3, [&] { csv = interchange::WriteCsv(contacts, groups, options); });
  std::printf("  written back: vCard %.1f ms (%.1f MB), CSV %.1f ms (%.1f MB)\n", vcardMs, vcf.size() / 1048576.0,
              csvMs, csv.size() / 1048576.0);
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path root = (argc > 1 ? std::filesystem::path(argv[1])
                                               : std::filesystem::temp_directory_path()) /
                                     "amicord-interchange-bench";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root);

  const std::string cards = CardFile();
  std::printf("vCard file: %d cards, %d photos of %zu KB, %.1f MB\n", kPeople, kPeople / kPhotoEvery,
              kPhotoBytes / 1024, cards.size() / 1048576.0);
  interchange::ReadResult read;
  const double readMs = Median(3, [&] { read = interchange::ReadVCards(cards, L"bench.vcf"); });
  std::printf("  read:                  %8.1f ms  (%zu people, %zu problems)\n", readMs, read.people.size(),
              read.problems.size());

  Groups groups;
  Contacts contacts;
  interchange::ImportOutcome outcome;
  const auto start = Clock::now();
  const interchange::Plan plan = interchange::PlanImport(read.people, groups, contacts, interchange::ImportOptions());
  const double planMs = Milliseconds(Clock::now() - start);
  const auto applyStart = Clock::now();
  outcome = interchange::ApplyImport(plan, interchange::DefaultTicks(plan), groups, contacts,
                                     (root / "images").wstring(), kNow);
  const double applyMs = Milliseconds(Clock::now() - applyStart);
  std::printf("  plan (duplicate marks): %7.1f ms\n", planMs);
  std::printf("  apply (1,000 pictures written): %6.1f ms  (%d added into %d groups)\n", applyMs, outcome.added,
              outcome.groupsUsed);
  std::printf("  read + plan + apply:   %8.1f ms\n", readMs + planMs + applyMs);

  // Writing: the imported contacts, their notes as the rich edit control holds them.
  interchange::ExportOptions options;
  options.now = kNow;
  std::string vcf, csv;
  const double vcardMs = Median(3, [&] { vcf = interchange::WriteVCards(contacts, groups, options); });
  const double csvMs = Median(3, [&] { csv = interchange::WriteCsv(contacts, groups, options); });
  std::printf("Writing %zu contacts (%d with pictures):\n", contacts.items.size(), kPeople / kPhotoEvery);
  std::printf("  vCard 4.0:             %8.1f ms  (%.1f MB)\n", vcardMs, vcf.size() / 1048576.0);
  std::printf("  CSV:                   %8.1f ms  (%.1f MB)\n", csvMs, csv.size() / 1048576.0);
  const double csvReadMs = Median(3, [&] { read = interchange::ReadCsv(csv, L"bench.csv"); });
  std::printf("  reading that CSV back: %8.1f ms  (%zu people)\n", csvReadMs, read.people.size());
  DetailedImport(root);
  std::filesystem::remove_all(root);
  return outcome.added == kPeople ? 0 : 1;
}
