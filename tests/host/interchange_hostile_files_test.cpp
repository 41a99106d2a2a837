// What a file someone else made must not make us do: export a cell that a
// spreadsheet runs as a formula, or open a picture on another computer.
#include <gtest/gtest.h>

#include <string>

#include "interchange/csv_cell.h"
#include "interchange/csv_reader.h"
#include "interchange/csv_writer.h"
#include "interchange/import_files.h"
#include "interchange/imported_path.h"
#include "interchange/text_decoding.h"
#include "model/platform.h"
#include "tests/common/archive_files.h"

namespace interchange {
namespace {

TEST(CsvCells, FormulasGoBehindAnApostropheNumbersDoNotAndEveryNameComesBack) {
  struct Case {
    std::wstring value;
    std::wstring cell;
    std::string row;  // how the exported row begins; empty for names a reader trims
  };
  const Case cases[] = {
      {L"=HYPERLINK(\"http://x.example\",\"x\")", L"'=HYPERLINK(\"http://x.example\",\"x\")",
       "\"'=HYPERLINK(\"\"http://x.example\"\",\"\"x\"\")\","},
      {L"+cmd|' /C calc'!A0", L"'+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0,"},
      {L"-2+3", L"'-2+3", "'-2+3,"},
      {L"@SUM(1+1)", L"'@SUM(1+1)", "'@SUM(1+1),"},
      {L"-", L"'-", "'-,"},
      {L"\tcalc", L"'\tcalc", ""},
      {L"\rcalc", L"'\rcalc", ""},
      // Plain numbers stay numbers.
      {L"-3", L"-3", "-3,"},
      {L"12.5", L"12.5", "12.5,"},
      {L"+7", L"+7", "+7,"},
      // A name that itself begins as an escaped cell gets one apostrophe more.
      {L"'=x", L"''=x", "''=x,"},
      {L"'-3", L"''-3", "''-3,"},
      {L"''", L"'''", "''',"},
      // Apostrophes elsewhere are the name's own.
      {L"'", L"'", "',"},
      {L"'Tis Ann", L"'Tis Ann", "'Tis Ann,"},
      {L"Ann = Bob", L"Ann = Bob", "Ann = Bob,"},
  };
  Groups groups;
  Contacts contacts;
  for (const Case& c : cases) {
    SCOPED_TRACE(EncodeUtf8(c.value));
    EXPECT_EQ(EscapeCsvCell(c.value), c.cell);
    EXPECT_EQ(UnescapeCsvCell(c.cell), c.value);
    if (!c.row.empty()) contacts.Add(c.value, L"", Days, 3, 1750000000, L"", 1);
  }
  contacts.Add(L"Late", L"", Days, 3, 1750000000 - 15 * 86400, L"", 1);
  ExportOptions options;
  options.now = 1750000000;
  const std::string csv = WriteCsv(contacts, groups, options);
  const ReadResult read = ReadCsv(csv, L"export.csv");
  ASSERT_EQ(read.people.size(), contacts.items.size());
  std::size_t person = 0;
  for (const Case& c : cases) {
    if (c.row.empty()) continue;
    SCOPED_TRACE(EncodeUtf8(c.value));
    EXPECT_NE(csv.find("\r\n" + c.row), std::string::npos);
    EXPECT_EQ(read.people[person++].name, c.value);
  }
  // The days left of an overdue contact stay a number: "-12".
  EXPECT_NE(csv.find(",Overdue,-12,"), std::string::npos);
}

TEST(ImportedPaths, OnlyThisComputersDrivesAndTheFilesOwnFolderAreRead) {
  const std::wstring folder = L"C:\\Imports\\";
  struct Case {
    std::wstring path;
    ImportedPath kind;
    std::wstring resolved;  // for folder; empty for Elsewhere
  };
  const Case cases[] = {
      {L"C:\\Pictures\\ann.png", ImportedPath::Local, L"C:\\Pictures\\ann.png"},
      {L"d:/Pictures/ann.png", ImportedPath::Local, L"d:/Pictures/ann.png"},
      {L"C:ann.png", ImportedPath::Local, L"C:ann.png"},
      {L"\\\\?\\C:\\Pictures\\ann.png", ImportedPath::Local, L"\\\\?\\C:\\Pictures\\ann.png"},
      {L"\\Pictures\\ann.png", ImportedPath::Local, L"C:\\Pictures\\ann.png"},
      {L"/home/ann/ann.png", ImportedPath::Local, L"C:/home/ann/ann.png"},
      {L"file:///C:/My%20Pictures/%C3%A1nn.png", ImportedPath::Local, L"C:/My Pictures/\u00E1nn.png"},
      {L"FILE://localhost/C:/ann.png", ImportedPath::Local, L"C:/ann.png"},
      {L"ann.png", ImportedPath::Relative, L"C:\\Imports\\ann.png"},
      {L"pics\\ann.png", ImportedPath::Relative, L"C:\\Imports\\pics\\ann.png"},
      {L"..\\pics\\ann.png", ImportedPath::Relative, L"C:\\Imports\\..\\pics\\ann.png"},
      {L"..\\\\host\\share\\ann.png", ImportedPath::Relative, L"C:\\Imports\\..\\\\host\\share\\ann.png"},
      {L"file:ann.png", ImportedPath::Relative, L"C:\\Imports\\ann.png"},
      // Another computer.
      {L"\\\\host\\share\\p.png", ImportedPath::Elsewhere, L""},
      {L"//host/share/p.png", ImportedPath::Elsewhere, L""},
      {L"\\/host/share/p.png", ImportedPath::Elsewhere, L""},
      {L"\\\\?\\UNC\\host\\share\\p.png", ImportedPath::Elsewhere, L""},
      {L"//?/UNC/host/share/p.png", ImportedPath::Elsewhere, L""},
      {L"\\\\?\\GLOBALROOT\\Device\\Mup\\host\\share\\p.png", ImportedPath::Elsewhere, L""},
      {L"\\??\\UNC\\host\\share\\p.png", ImportedPath::Elsewhere, L""},
      {L"file://host/share/p.png", ImportedPath::Elsewhere, L""},
      {L"file:////host/share/p.png", ImportedPath::Elsewhere, L""},
      {L"file:///%5C%5Chost%5Cshare%5Cp.png", ImportedPath::Elsewhere, L""},
      {L"http://host/p.png", ImportedPath::Elsewhere, L""},
      {L"smb://host/share/p.png", ImportedPath::Elsewhere, L""},
      // Devices.
      {L"\\\\.\\COM1", ImportedPath::Elsewhere, L""},
      {L"\\\\.\\pipe\\p.png", ImportedPath::Elsewhere, L""},
      {L"\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\p.png", ImportedPath::Elsewhere, L""},
      {L"C:\\Pictures\\nul.png", ImportedPath::Elsewhere, L""},
      {L"COM1", ImportedPath::Elsewhere, L""},
      {L"pics\\Con .png", ImportedPath::Elsewhere, L""},
      {L"LPT\u00B9", ImportedPath::Elsewhere, L""},
      {std::wstring(L"C:\\ann.png") + L'\0' + L"\\\\host", ImportedPath::Elsewhere, L""},
      {L"", ImportedPath::Elsewhere, L""},
      // Only device names are devices.
      {L"console.png", ImportedPath::Relative, L"C:\\Imports\\console.png"},
      {L"COM10.png", ImportedPath::Relative, L"C:\\Imports\\COM10.png"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(EncodeUtf8(c.path));
    EXPECT_EQ(ClassifyImportedPath(c.path), c.kind);
    std::wstring resolved = L"old";
    EXPECT_EQ(ResolveImportedPath(c.path, folder, resolved), c.kind != ImportedPath::Elsewhere);
    EXPECT_EQ(resolved, c.resolved);
  }
  // Without a folder a relative path stays relative to the current one.
  std::wstring resolved;
  ASSERT_TRUE(ResolveImportedPath(L"ann.png", L"", resolved));
  EXPECT_EQ(resolved, L"ann.png");
}

TEST(ImportedPaths, APictureElsewhereIsNotReadAndTheProblemsSayWhy) {
  testfiles::TempFolder folder(L"hostile");
  testfiles::WriteBytes(folder.File(L"ann.png"), std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, 'x'));
  const std::string header =
      "Name,Group,Every,Unit,Last contacted,Previous contacted,Status,Days left,Notes,Picture\r\n";
  const std::string csv = header + "Ann,,,,,,,,,ann.png\r\nBob,,,,,,,,,gone.png\r\n" +
                          "H1,,,,,,,,,\\\\host\\share\\p.png\r\nH2,,,,,,,,,//host/share/p.png\r\n" +
                          "H3,,,,,,,,,\\\\?\\UNC\\host\\share\\p.png\r\nH4,,,,,,,,,file://host/share/p.png\r\n" +
                          "H5,,,,,,,,,\\\\.\\pipe\\p.png\r\n";
  const std::wstring file = folder.File(L"people.csv");
  testfiles::WriteBytes(file, csv);
  // A card's PHOTO as a file's address follows the same rule.
  const std::wstring cards = folder.File(L"cards.vcf");
  testfiles::WriteBytes(
      cards,
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Val\r\nPHOTO;VALUE=uri:file:ann.png\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Vic\r\nPHOTO;VALUE=uri:file://host/share/v.png\r\nEND:VCARD\r\n");
  const FilesRead read = ReadImportFiles({file, cards});
  ASSERT_EQ(read.people.size(), 9u);
  EXPECT_EQ(read.people[7].picturePath, folder.File(L"ann.png"));
  EXPECT_TRUE(read.people[8].picturePath.empty());
  EXPECT_EQ(read.people[0].picturePath, folder.File(L"ann.png"));
  for (std::size_t i = 1; i < 7; ++i) EXPECT_TRUE(read.people[i].picturePath.empty()) << i;
  ASSERT_EQ(read.problems.size(), 7u);
  EXPECT_EQ(read.problems[6].why, PictureElsewhereMessage(L"file://host/share/v.png"));
  EXPECT_EQ(read.problems[6].file, L"cards.vcf");
  EXPECT_EQ(read.problems[0].why, L"The picture file does not exist: gone.png");
  EXPECT_EQ(read.problems[0].line, 3);
  const wchar_t* const hostile[] = {L"\\\\host\\share\\p.png", L"//host/share/p.png", L"\\\\?\\UNC\\host\\share\\p.png",
                                    L"file://host/share/p.png", L"\\\\.\\pipe\\p.png"};
  for (std::size_t i = 0; i < 5; ++i)
    EXPECT_EQ(read.problems[i + 1].why,
              L"The picture is on another computer or device and is not read: " + std::wstring(hostile[i]));
}

}  // namespace
}  // namespace interchange
