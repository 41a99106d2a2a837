// The exact form of the three data files, and reading the forms other copies of
// them come in.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "model/archive.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

void AddContact(Contacts& contacts, std::int32_t id, std::wstring name, std::wstring imagePath, int unit,
                std::int32_t count, std::int64_t last, std::int64_t previous, std::wstring notes,
                std::int32_t groupId) {
  boost::shared_ptr<Contact> contact(new Contact(id, std::move(name), std::move(imagePath),
                                                 static_cast<IntervalUnit>(unit), count, last, std::move(notes),
                                                 groupId));
  contact->previousContacted = previous;
  contacts.items.push_back(contact);
}

}  // namespace

TEST(ArchiveFormat, ContactsAreWrittenInTheVersion3FormTokenForToken) {
  TempFolder folder;
  Contacts contacts;
  contacts.lastId = kMax32;
  AddContact(contacts, 1, L"Ann Lee", L"C:\\Pictures\\ann.png", Weeks, 2, kMin64, kMax64,
             L"{\\rtf1 first line\r\nsecond}", 1);
  AddContact(contacts, kMin32, L"", L"", 7, kMin32, -1, 0, L"", -1);
  ASSERT_TRUE(SaveArchive(folder.File(L"contacts.dat"), contacts));

  const std::wstring expected = CollectionFile(3, kMax32,
                                               {ContactRecord(1, L"Ann Lee", L"C:\\Pictures\\ann.png", 1, 2, kMin64,
                                                              kMax64, L"{\\rtf1 first line\r\nsecond}", 1),
                                                ContactRecord(kMin32, L"", L"", 7, kMin32, -1, 0, L"", -1)});
  EXPECT_EQ(ReadBytes(folder.File(L"contacts.dat")), Bytes(expected));
}

TEST(ArchiveFormat, GroupsAndOptionsAreWrittenInTheVersion3Form) {
  TempFolder folder;
  Groups none;
  ASSERT_TRUE(SaveArchive(folder.File(L"groups.dat"), none));
  // No groups: the vector's element count 0 is the last token.
  EXPECT_EQ(ReadBytes(folder.File(L"groups.dat")), Bytes(Closed(L"22 serialization::archive 3 0 1 0 0 0 0")));

  Groups groups;
  groups.Add(L"Family", L"", Days, 0);
  groups.Add(L"Old friends", L"/img/g.png", Months, 3);
  ASSERT_TRUE(SaveArchive(folder.File(L"groups.dat"), groups));
  EXPECT_EQ(ReadBytes(folder.File(L"groups.dat")),
            Bytes(CollectionFile(
                3, 2, {GroupRecord(1, L"Family", L"", 0, 0), GroupRecord(2, L"Old friends", L"/img/g.png", 2, 3)})));

  Options options;
  options.autoStart = false;
  options.warnPercent = 99;
  options.warnDays = 200;
  options.showLastContacted = true;
  options.windowX = -32000;
  options.windowY = -5;
  options.windowWidth = 640;
  options.windowHeight = 480;
  options.minimizeToTray = false;
  ASSERT_TRUE(SaveArchive(folder.File(L"options.dat"), options));
  EXPECT_EQ(ReadBytes(folder.File(L"options.dat")),
            Bytes(Closed(L"22 serialization::archive 3 0 2 0 99 200 1 -32000 -5 640 480 0")));
}

// The same test runs in the host and the Windows build: both write these bytes.
TEST(ArchiveFormat, EveryPlatformWritesTheSameBytes) {
  TempFolder folder;
  const std::wstring name = L"Konstantin \x041A\x0430 von\x001A Zu";
  const std::wstring notes = std::wstring(L"a\nb\r\nc ") + L"\x0A0A\x010A\x041A\x001A" + L"\r\n";
  Contacts contacts;
  contacts.lastId = 1;
  AddContact(contacts, 1, name, L"with space", Days, 1, 1700000000, 1690000000, notes, 3);
  const std::wstring path = folder.File(L"contacts.dat");
  ASSERT_TRUE(SaveArchive(path, contacts));
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes, Bytes(CollectionFile(
                       3, 1, {ContactRecord(1, name, L"with space", 0, 1, 1700000000, 1690000000, notes, 3)})));
  // The byte forms that matter, spelled out: U+041A keeps its 0x1A byte, a line
  // break is 0D 0A 00, CR LF is 0D 00 0D 0A 00, U+0A0A gets a 0x0D before each
  // byte and U+010A before its low byte.
  EXPECT_NE(bytes.find(std::string("\x1A\x04", 2)), std::string::npos);
  EXPECT_NE(bytes.find(std::string("a\0\r\n\0b\0\r\0\r\n\0c\0", 14)), std::string::npos);
  EXPECT_NE(bytes.find(std::string("\r\n\r\n\r\n\x01\x1A\x04\x1A\0", 11)), std::string::npos);
  EXPECT_EQ(bytes.substr(0, 6), std::string("2\0"
                                            "2\0 \0",
                                            6));

  Contacts loaded;
  ASSERT_EQ(ReadArchive(path, loaded), FileStatus::Ok);
  ASSERT_EQ(loaded.items.size(), 1u);
  EXPECT_EQ(loaded.items[0]->name, name);
  EXPECT_EQ(loaded.items[0]->notes, notes);
  EXPECT_EQ(loaded.items[0]->imagePath, L"with space");
  EXPECT_EQ(loaded.items[0]->groupId, 3);
}

TEST(ArchiveFormat, EveryFieldComesBackAtItsLimits) {
  TempFolder folder;
  Contacts contacts;
  contacts.lastId = kMax32;
  AddContact(contacts, kMax32, L"  spaces  ", L"", 7, kMax32, kMax64, kMin64, L"", kMin32);
  AddContact(contacts, 0, L"", L"x", -1, -1, 0, -1, std::wstring(3000, L'\n'), 0);
  const std::wstring path = folder.File(L"contacts.dat");
  ASSERT_TRUE(SaveArchive(path, contacts));
  Contacts loaded;
  loaded.lastId = 5;
  AddContact(loaded, 99, L"replaced", L"", 0, 0, 0, 0, L"", 0);
  const LoadResult result = LoadArchive(path, loaded);
  ASSERT_EQ(result.status, FileStatus::Ok);
  EXPECT_TRUE(result.keptCopy.empty());
  EXPECT_EQ(loaded.lastId, kMax32);
  ASSERT_EQ(loaded.items.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const Contact& a = *contacts.items[i];
    const Contact& b = *loaded.items[i];
    EXPECT_EQ(b.id, a.id);
    EXPECT_EQ(b.name, a.name);
    EXPECT_EQ(b.imagePath, a.imagePath);
    EXPECT_EQ(b.unit, a.unit);
    EXPECT_EQ(b.count, a.count);
    EXPECT_EQ(b.lastContacted, a.lastContacted);
    EXPECT_EQ(b.previousContacted, a.previousContacted);
    EXPECT_EQ(b.notes, a.notes);
    EXPECT_EQ(b.groupId, a.groupId);
  }

  Groups groups;
  groups.lastId = kMax32;
  groups.items.emplace_back(new Group(kMin32, L"", L"", static_cast<IntervalUnit>(7), kMax32));
  ASSERT_TRUE(SaveArchive(folder.File(L"groups.dat"), groups));
  Groups loadedGroups;
  ASSERT_EQ(ReadArchive(folder.File(L"groups.dat"), loadedGroups), FileStatus::Ok);
  ASSERT_EQ(loadedGroups.items.size(), 1u);
  EXPECT_EQ(loadedGroups.lastId, kMax32);
  EXPECT_EQ(loadedGroups.items[0]->id, kMin32);
  EXPECT_EQ(loadedGroups.items[0]->unit, 7);
  EXPECT_EQ(loadedGroups.items[0]->count, kMax32);

  Options options;
  options.autoStart = false;
  options.warnPercent = kMin32;
  options.warnDays = kMax32;
  options.windowX = kMin32;
  options.windowY = -1;
  options.windowWidth = kMax32;
  options.windowHeight = 0;
  options.minimizeToTray = false;
  ASSERT_TRUE(SaveArchive(folder.File(L"options.dat"), options));
  Options back;
  ASSERT_EQ(ReadArchive(folder.File(L"options.dat"), back), FileStatus::Ok);
  EXPECT_FALSE(back.autoStart);
  EXPECT_EQ(back.warnPercent, kMin32);
  EXPECT_EQ(back.warnDays, kMax32);
  EXPECT_FALSE(back.showLastContacted);
  EXPECT_EQ(back.windowX, kMin32);
  EXPECT_EQ(back.windowY, -1);
  EXPECT_EQ(back.windowWidth, kMax32);
  EXPECT_EQ(back.windowHeight, 0);
  EXPECT_FALSE(back.minimizeToTray);
}

TEST(ArchiveFormat, FilesOfTheOriginalFormLoadFieldForField) {
  TempFolder folder;
  // Library version 3: no item version after the element count.
  const std::wstring path = folder.File(L"contacts.dat");
  WriteBytes(path, Bytes(CollectionFile(3, 9,
                                        {ContactRecord(4, L"\x041A\x0438\x0440\x0430", L"C:\\a b.png", 2, 1, 1500000000,
                                                       1400000000, L"{\\rtf1\r\n\x001A}", 2),
                                         ContactRecord(9, L"Bob", L"", 0, 10, 1600000000, 1600000000, L"", 1),
                                         ContactRecord(10, L"Eve", L"", 1, 3, -7, 8, L"\n", 1)})));
  Contacts contacts;
  ASSERT_EQ(LoadArchive(path, contacts).status, FileStatus::Ok);
  EXPECT_EQ(contacts.lastId, 9);
  ASSERT_EQ(contacts.items.size(), 3u);
  const Contact& kira = *contacts.items[0];
  EXPECT_EQ(kira.id, 4);
  EXPECT_EQ(kira.name, L"\x041A\x0438\x0440\x0430");
  EXPECT_EQ(kira.imagePath, L"C:\\a b.png");
  EXPECT_EQ(kira.unit, Months);
  EXPECT_EQ(kira.count, 1);
  EXPECT_EQ(kira.lastContacted, 1500000000);
  EXPECT_EQ(kira.previousContacted, 1400000000);
  EXPECT_EQ(kira.notes, L"{\\rtf1\r\n\x001A}");
  EXPECT_EQ(kira.groupId, 2);
  // Every record after the 0x1A bytes is read too.
  EXPECT_EQ(contacts.items[1]->name, L"Bob");
  EXPECT_EQ(contacts.items[2]->name, L"Eve");
  EXPECT_EQ(contacts.items[2]->lastContacted, -7);
  EXPECT_EQ(contacts.items[2]->previousContacted, 8);
  EXPECT_EQ(contacts.items[2]->notes, L"\n");

  // Writing it back gives the very same bytes.
  ASSERT_TRUE(SaveArchive(folder.File(L"again.dat"), contacts));
  EXPECT_EQ(ReadBytes(folder.File(L"again.dat")), ReadBytes(path));

  const std::wstring groupsPath = folder.File(L"groups.dat");
  WriteBytes(groupsPath, Bytes(CollectionFile(
                             3, 3, {GroupRecord(1, L"Work", L"", 0, 0), GroupRecord(3, L"Club", L"c.png", 1, 2)})));
  Groups groups;
  ASSERT_EQ(LoadArchive(groupsPath, groups).status, FileStatus::Ok);
  EXPECT_EQ(groups.lastId, 3);
  ASSERT_EQ(groups.items.size(), 2u);
  EXPECT_EQ(groups.items[1]->id, 3);
  EXPECT_EQ(groups.items[1]->name, L"Club");
  EXPECT_EQ(groups.items[1]->imagePath, L"c.png");
  EXPECT_EQ(groups.items[1]->unit, Weeks);
  EXPECT_EQ(groups.items[1]->count, 2);
}

TEST(ArchiveFormat, FilesOfTheLibrarysDefaultFormLoadToo) {
  TempFolder folder;
  // Library version 18 with an item version after each count.
  const std::wstring path = folder.File(L"contacts.dat");
  WriteBytes(
      path,
      Bytes(CollectionFile(
          18, 2, {ContactRecord(1, L"A", L"", 0, 1, 5, 6, L"n", 1), ContactRecord(2, L"B", L"", 1, 2, 7, 8, L"", 1)})));
  Contacts contacts;
  ASSERT_EQ(ReadArchive(path, contacts), FileStatus::Ok);
  ASSERT_EQ(contacts.items.size(), 2u);
  EXPECT_EQ(contacts.items[1]->name, L"B");
  EXPECT_EQ(contacts.items[1]->previousContacted, 8);

  const std::wstring groupsPath = folder.File(L"groups.dat");
  WriteBytes(groupsPath, Bytes(CollectionFile(18, 1, {GroupRecord(1, L"G", L"", 0, 0)})));
  Groups groups;
  ASSERT_EQ(ReadArchive(groupsPath, groups), FileStatus::Ok);
  ASSERT_EQ(groups.items.size(), 1u);
  EXPECT_EQ(groups.items[0]->name, L"G");
}

TEST(ArchiveFormat, OptionsOfVersion1KeepMinimizeToTray) {
  TempFolder folder;
  const std::wstring path = folder.File(L"options.dat");
  WriteBytes(path, Bytes(Closed(L"22 serialization::archive 3 0 1 0 50 3 1 10 20 300 400")));
  Options options;
  options.minimizeToTray = true;
  ASSERT_EQ(LoadArchive(path, options).status, FileStatus::Ok);
  EXPECT_FALSE(options.autoStart);
  EXPECT_EQ(options.warnPercent, 50);
  EXPECT_EQ(options.warnDays, 3);
  EXPECT_TRUE(options.showLastContacted);
  EXPECT_EQ(options.windowX, 10);
  EXPECT_EQ(options.windowY, 20);
  EXPECT_EQ(options.windowWidth, 300);
  EXPECT_EQ(options.windowHeight, 400);
  EXPECT_TRUE(options.minimizeToTray);
  EXPECT_FALSE(platform::AutoStartEntryPresent());

  // Version 2 reads the ninth value.
  WriteBytes(path, Bytes(Closed(L"22 serialization::archive 3 0 2 0 50 3 1 10 20 300 400 0")));
  ASSERT_EQ(LoadArchive(path, options).status, FileStatus::Ok);
  EXPECT_FALSE(options.minimizeToTray);
}
