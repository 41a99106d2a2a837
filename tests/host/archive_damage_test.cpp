// Damaged, foreign and hostile files: what stays, what is kept, and that none of
// them can make loading slow or big.
#include <gtest/gtest.h>

#include "model/archive.h"
#include "model/engine.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

std::wstring ThreeContacts() {
  return CollectionFile(3, 3,
                        {ContactRecord(1, L"First", L"", 0, 1, 10, 10, L"one", 1),
                         ContactRecord(2, L"Second", L"", 1, 2, 20, 20, L"two", 1),
                         ContactRecord(3, L"Third", L"", 2, 3, 30, 30, L"notes of the third contact", 2)});
}

}  // namespace

TEST(DamagedFiles, ForeignOptionsApplyTheDefaultAutoStartAndAnEmptyFileIsAMissingOne) {
  TempFolder folder;
  const std::wstring path = folder.File(L"options.dat");
  for (const std::string& content : {Bytes(L"22 serialization::archivX 3 0 2 0 1 1 1 1 1 1 1 0"),
                                     std::string("\x89PNG\r\n\x1A\n", 8), std::string(1, '2')}) {
    platform::SetAutoStartEntry(false);
    WriteBytes(path, content);
    Options options;
    const LoadResult result = LoadArchive(path, options);
    EXPECT_TRUE(result);
    EXPECT_EQ(result.status, FileStatus::Damaged);
    EXPECT_TRUE(options.autoStart);
    EXPECT_EQ(options.warnPercent, 75);
    EXPECT_TRUE(options.minimizeToTray);
    EXPECT_TRUE(platform::AutoStartEntryPresent()) << "the default was applied";
  }

  // Missing, or 0 bytes: defaults, no copy, nothing applied at all.
  const std::wstring empty = folder.File(L"empty.dat");
  WriteBytes(empty, std::string());
  for (const std::wstring& file : {folder.File(L"none.dat"), empty}) {
    platform::SetAutoStartEntry(false);
    Options options;
    const LoadResult missing = LoadArchive(file, options);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.status, FileStatus::Missing);
    EXPECT_TRUE(missing.keptCopy.empty());
    EXPECT_EQ(options.warnPercent, 75);
    EXPECT_FALSE(platform::AutoStartEntryPresent());
  }
  EXPECT_FALSE(FileExists(empty + L".damaged"));
}

TEST(DamagedFiles, ContactsCutInsideTheThirdContactKeepTheFirstTwoAndACopy) {
  TempFolder folder;
  Engine engine(folder.path());
  const std::string whole = Bytes(ThreeContacts());
  const std::string cut = whole.substr(0, whole.find(Bytes(L"notes of the third")) + 8);
  WriteBytes(engine.contactsPath, cut);

  const Engine::LoadReport report = engine.Load();
  EXPECT_EQ(report.contacts, FileStatus::Damaged);
  EXPECT_EQ(report.groups, FileStatus::Missing);
  ASSERT_EQ(report.damagedFiles.size(), 1u);
  EXPECT_EQ(report.damagedFiles[0], engine.contactsPath);
  ASSERT_EQ(report.keptCopies.size(), 1u);
  EXPECT_EQ(report.keptCopies[0], engine.contactsPath + L".damaged");
  EXPECT_EQ(ReadBytes(report.keptCopies[0]), cut);

  EXPECT_EQ(engine.contacts->lastId, 3);
  ASSERT_EQ(engine.contacts->items.size(), 2u);
  EXPECT_EQ(engine.contacts->items[0]->name, L"First");
  EXPECT_EQ(engine.contacts->items[1]->name, L"Second");

  // The next save writes exactly those two; the copy of the damaged file stays.
  ASSERT_TRUE(engine.Save());
  EXPECT_EQ(ReadBytes(engine.contactsPath),
            Bytes(CollectionFile(3, 3,
                                 {ContactRecord(1, L"First", L"", 0, 1, 10, 10, L"one", 1),
                                  ContactRecord(2, L"Second", L"", 1, 2, 20, 20, L"two", 1)})));
  EXPECT_EQ(ReadBytes(engine.contactsPath + L".damaged"), cut);

  // A second damaged file never replaces the first copy.
  WriteBytes(engine.contactsPath, cut.substr(0, 100));
  Engine again(folder.path());
  const Engine::LoadReport second = again.Load();
  ASSERT_EQ(second.keptCopies.size(), 1u);
  EXPECT_EQ(second.keptCopies[0], engine.contactsPath + L".damaged-2");
  EXPECT_EQ(ReadBytes(engine.contactsPath + L".damaged"), cut);
  EXPECT_EQ(ReadBytes(engine.contactsPath + L".damaged-2"), cut.substr(0, 100));
}

TEST(DamagedFiles, WrongSignatureOrNewerLibraryVersionReadNothing) {
  TempFolder folder;
  const std::wstring path = folder.File(L"groups.dat");
  const std::wstring body = L" 0 1 1 0 0 1 0 1 3 1 1\n0 " + GroupRecord(1, L"G", L"", 0, 0);
  for (const std::wstring& header :
       {std::wstring(L"22 serialization::archivE 3"), std::wstring(L"21 serialization::archiv 3"),
        std::wstring(L"22 serialization::archive 19")}) {
    WriteBytes(path, Bytes(header + body));
    Groups groups;
    groups.lastId = 7;
    EXPECT_EQ(ReadArchive(path, groups), FileStatus::Damaged) << header.c_str();
    EXPECT_EQ(groups.lastId, 7);
    EXPECT_TRUE(groups.items.empty());
  }
  // The newest version this reader knows still loads.
  WriteBytes(path, Bytes(Closed(L"22 serialization::archive 18 0 1 1 0 0 1 1 0 1 3 1 1\n0 " +
                                GroupRecord(1, L"G", L"", 0, 0))));
  Groups groups;
  EXPECT_EQ(ReadArchive(path, groups), FileStatus::Ok);
  EXPECT_EQ(groups.items.size(), 1u);
}

TEST(DamagedFiles, AbsurdCountsAndLengthsAreRefusedBeforeAnythingIsAllocated) {
  TempFolder folder;
  const std::wstring path = folder.File(L"contacts.dat");
  // Element counts of -1, 10^8 and 4 x 10^9 in a file of a few hundred bytes.
  for (const wchar_t* count : {L"-1", L"100000000", L"4000000000", L"18446744073709551615"}) {
    WriteBytes(path, Bytes(std::wstring(L"22 serialization::archive 3 0 1 5 0 0 ") + count + L" 0 1 3 1 1\n0 " +
                           ContactRecord(1, L"A", L"", 0, 1, 1, 1, L"", 1)));
    Contacts contacts;
    EXPECT_EQ(ReadArchive(path, contacts), FileStatus::Damaged) << count;
    EXPECT_EQ(contacts.lastId, 5);
    EXPECT_TRUE(contacts.items.empty());
  }
  // A string claiming to be longer than the file, in a record and in the header.
  for (const wchar_t* text : {L"22 serialization::archive 3 0 1 5 0 0 1 0 1 3 1 1\n0 1 4000000000 abc",
                              L"22 serialization::archive 3 0 1 5 0 0 1 0 1 3 1 1\n0 1 18446744073709551615 abc",
                              L"4000000000 serialization::archive 3", L"99999 serialization::archive 3"}) {
    WriteBytes(path, Bytes(text));
    Contacts contacts;
    EXPECT_EQ(ReadArchive(path, contacts), FileStatus::Damaged);
    EXPECT_TRUE(contacts.items.empty());
  }
}

TEST(DamagedFiles, ARecordThatFailsPartWayIsDiscardedAndNoNullStays) {
  TempFolder folder;
  const std::wstring path = folder.File(L"contacts.dat");
  // The second record's count is not a number.
  std::wstring text = CollectionFile(
      3, 2,
      {ContactRecord(1, L"Kept", L"", 0, 1, 1, 1, L"n", 1), ContactRecord(2, L"Lost", L"p", 0, 1, 1, 1, L"n", 1)});
  text.replace(text.find(L"Lost 1 p 0 1") + 11, 1, L"x");
  WriteBytes(path, Bytes(text));
  Contacts contacts;
  EXPECT_EQ(ReadArchive(path, contacts), FileStatus::Damaged);
  ASSERT_EQ(contacts.items.size(), 1u);
  EXPECT_EQ(contacts.items[0]->name, L"Kept");

  // A null pointer (class id -1) where a record should be.
  WriteBytes(path, Bytes(L"22 serialization::archive 3 0 1 1 0 0 2 0 1 -1 3 1 1\n0 " +
                         ContactRecord(1, L"A", L"", 0, 1, 1, 1, L"", 1)));
  Contacts withNull;
  EXPECT_EQ(ReadArchive(path, withNull), FileStatus::Damaged);
  for (const auto& item : withNull.items) EXPECT_TRUE(item);

  // A negative class id other than the null pointer's -1.
  WriteBytes(path, Bytes(L"22 serialization::archive 3 0 1 2 0 0 2 0 1 3 1 1\n0 " +
                         ContactRecord(1, L"A", L"", 0, 1, 1, 1, L"", 1) + L" -3\n1 " +
                         ContactRecord(2, L"B", L"", 0, 1, 1, 1, L"", 1)));
  Contacts negative;
  EXPECT_EQ(ReadArchive(path, negative), FileStatus::Damaged);
  ASSERT_EQ(negative.items.size(), 1u);
  EXPECT_EQ(negative.items[0]->name, L"A");

  // A file that ends inside a unit (odd byte count) is not whole.
  const std::string whole = Bytes(CollectionFile(3, 1, {ContactRecord(1, L"A", L"", 0, 1, 1, 1, L"", 12)}));
  WriteBytes(path, whole.substr(0, whole.size() - 1));
  Contacts odd;
  EXPECT_EQ(ReadArchive(path, odd), FileStatus::Damaged);
}

TEST(DamagedFiles, APointerToAnythingButARecordIsRefused) {
  TempFolder folder;
  const std::wstring path = folder.File(L"contacts.dat");
  // The shared pointers' class information claims tracking, so the first shared
  // pointer becomes object 0, and the record pointer then refers back to it.
  WriteBytes(path, Bytes(L"22 serialization::archive 3 0 1 7 0 0 2 1 0 1 3 1 1\n0 1 1 A 0  0 1 5 6 1 n 1 3\n"
                         L"1 2 1 B 0  1 2 7 8 0  1\n"));
  Contacts contacts;
  EXPECT_EQ(ReadArchive(path, contacts), FileStatus::Damaged);
  for (const auto& item : contacts.items) ASSERT_TRUE(item);

  // The same with the root object claimed as tracked: a record pointer to it.
  WriteBytes(path, Bytes(L"22 serialization::archive 3 0 1 0 1 7 0 0 1 0 1 3 1 1\n0 " +
                         ContactRecord(1, L"A", L"", 0, 1, 1, 1, L"", 1)));
  Contacts root;
  ReadArchive(path, root);
  for (const auto& item : root.items) ASSERT_TRUE(item);

  // A record referred to twice is the same record, and is fine.
  WriteBytes(path, Bytes(Closed(L"22 serialization::archive 3 0 1 1 0 0 2 0 1 3 1 1\n0 " +
                                ContactRecord(1, L"A", L"", 0, 1, 1, 1, L"", 1) + L" 3\n0")));
  Contacts twice;
  EXPECT_EQ(ReadArchive(path, twice), FileStatus::Ok);
  ASSERT_EQ(twice.items.size(), 2u);
  EXPECT_EQ(twice.items[0], twice.items[1]);
}
