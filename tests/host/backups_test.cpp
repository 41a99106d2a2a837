// Backups: one a day at the first save, by the local date of the program's
// clock; the newest 30 kept; one that does not read cannot be restored; a
// restore backs the current files up and puts the chosen ones in place.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "model/backups.h"
#include "model/engine.h"
#include "model/platform.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

// Seconds since the epoch of a moment of the local wall clock.
Time LocalMoment(int year, int month, int day, int hour, int minute, int second) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  parts.tm_isdst = -1;
  return static_cast<Time>(std::mktime(&parts));
}

class ClockAt {
 public:
  explicit ClockAt(Time start) : now_(start) {
    previous_ = platform::ReplaceClock([this] { return now_; });
  }
  ~ClockAt() { platform::ReplaceClock(previous_); }
  void Set(Time time) { now_ = time; }
  Time now_;

 private:
  platform::Clock previous_;
};

void Fill(Engine& engine, int groups, int contacts) {
  engine.groups->items.clear();
  engine.contacts->items.clear();
  for (int i = 0; i < groups; ++i) engine.groups->Add(L"Group " + std::to_wstring(i), L"", Weeks, 2);
  for (int i = 0; i < contacts; ++i) engine.contacts->Add(L"Someone " + std::to_wstring(i), L"", Days, 3, 0, L"", 1);
}

std::wstring Leaf(const std::wstring& path) { return path.substr(path.find_last_of(L"/\\") + 1); }

}  // namespace

TEST(Backups, TheFirstSaveOfEachLocalDayMakesOneAndTheListCountsWhatEachHolds) {
  TempFolder folder;
  ClockAt clock(LocalMoment(2024, 3, 9, 23, 59, 0));
  Engine engine(folder.path());
  const Engine::Paths paths = engine.FilePaths();
  Backups backups(paths);
  EXPECT_EQ(backups.MakeDailyIfDue(), L"") << "no files yet: nothing to keep";

  Fill(engine, 2, 3);
  ASSERT_TRUE(engine.Save());
  const std::string before = ReadBytes(engine.contactsPath);
  EXPECT_EQ(Leaf(backups.MakeDailyIfDue()), L"2024-03-09");
  Fill(engine, 2, 5);
  ASSERT_TRUE(engine.Save());
  clock.Set(LocalMoment(2024, 3, 9, 23, 59, 59));
  EXPECT_EQ(backups.MakeDailyIfDue(), L"") << "one a day";
  EXPECT_EQ(Leaf(backups.Make(Backups::DayName(platform::Now()))), L"2024-03-09-2") << "never over the first";

  clock.Set(LocalMoment(2024, 3, 10, 0, 0, 1));
  Fill(engine, 4, 1);
  EXPECT_EQ(Leaf(backups.MakeDailyIfDue()), L"2024-03-10") << "midnight passed: a new day";
  ASSERT_TRUE(engine.Save());
  EXPECT_EQ(Leaf(backups.Make(L"before-import-1")), L"before-import-1");

  const std::vector<BackupInfo> listed = backups.List();
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_EQ(listed[0].name, L"before-import-1");
  EXPECT_EQ(listed[1].name, L"2024-03-10");
  EXPECT_EQ(listed[2].name, L"2024-03-09-2");
  EXPECT_EQ(listed[3].name, L"2024-03-09");
  EXPECT_EQ(listed[3].made, LocalMoment(2024, 3, 9, 23, 59, 0));
  const std::size_t contacts[] = {1, 5, 5, 3};
  const std::size_t groups[] = {4, 2, 2, 2};
  for (std::size_t i = 0; i < listed.size(); ++i) {
    EXPECT_TRUE(listed[i].readable) << i;
    EXPECT_EQ(listed[i].contacts, contacts[i]) << i;
    EXPECT_EQ(listed[i].groups, groups[i]) << i;
  }
  // The copies are the files as they were, byte for byte, and the data tool's
  // engine reads a backup folder as it reads the settings folder.
  EXPECT_EQ(ReadBytes(listed[3].folder + L"/contacts.dat"), before);
  Engine fromBackup(listed[3].folder);
  const Engine::LoadReport report = fromBackup.Load();
  EXPECT_EQ(report.contacts, FileStatus::Ok);
  EXPECT_EQ(fromBackup.contacts->items.size(), 3u);
}

TEST(Backups, OnlyTheNewestThirtyStayAndOneThatDoesNotReadCannotBeRestored) {
  TempFolder folder;
  ClockAt clock(LocalMoment(2024, 1, 1, 12, 0, 0));
  Engine engine(folder.path());
  Backups backups(engine.FilePaths());
  Fill(engine, 1, 1);
  ASSERT_TRUE(engine.Save());
  for (int day = 0; day < 35; ++day) {
    clock.Set(LocalMoment(2024, 1, 1 + day, 12, 0, 0));
    ASSERT_NE(backups.MakeDailyIfDue(), L"") << day;
  }
  std::vector<BackupInfo> listed = backups.List();
  ASSERT_EQ(listed.size(), Backups::kKept);
  EXPECT_EQ(listed.front().name, L"2024-02-04");
  EXPECT_EQ(listed.back().name, L"2024-01-06") << "the five oldest went";
  EXPECT_FALSE(FileExists(backups.Folder() + L"/2024-01-05/contacts.dat"));

  const std::string bytes = ReadBytes(listed[1].folder + L"/contacts.dat");
  WriteBytes(listed[1].folder + L"/contacts.dat", bytes.substr(0, bytes.size() / 2));
  listed = backups.List();
  EXPECT_FALSE(listed[1].readable);
  EXPECT_TRUE(listed[0].readable);
  std::wstring reason;
  const std::string current = ReadBytes(engine.contactsPath);
  EXPECT_FALSE(backups.Restore(listed[1], reason));
  EXPECT_NE(reason, L"");
  EXPECT_EQ(ReadBytes(engine.contactsPath), current);
  EXPECT_EQ(backups.List().size(), Backups::kKept) << "a refused restore makes no backup";
}

TEST(Backups, ARestoreKeepsTheCurrentFilesFirstAndPutsTheChosenSetInPlace) {
  TempFolder folder;
  ClockAt clock(LocalMoment(2024, 5, 1, 9, 0, 0));
  Engine engine(folder.path());
  Backups backups(engine.FilePaths());
  Fill(engine, 2, 2);
  ASSERT_TRUE(engine.Save());
  const std::string oldContacts = ReadBytes(engine.contactsPath);
  const std::string oldGroups = ReadBytes(engine.groupsPath);
  ASSERT_NE(backups.MakeDailyIfDue(), L"");
  engine.Load();
  Fill(engine, 3, 7);
  ASSERT_TRUE(engine.Save());
  const std::string newContacts = ReadBytes(engine.contactsPath);

  clock.Set(LocalMoment(2024, 5, 1, 10, 0, 0));
  std::wstring reason;
  ASSERT_TRUE(backups.Restore(backups.List().front(), reason)) << reason;
  EXPECT_EQ(ReadBytes(engine.contactsPath), oldContacts);
  EXPECT_EQ(ReadBytes(engine.groupsPath), oldGroups);
  EXPECT_FALSE(FileExists(TemporaryPath(engine.contactsPath)));
  const std::vector<BackupInfo> listed = backups.List();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].name, L"2024-05-01-2");
  EXPECT_EQ(ReadBytes(listed[0].folder + L"/contacts.dat"), newContacts) << "what was current is kept";

  // The running engine sees the restored files as changed by someone else.
  const std::vector<std::wstring> changed = engine.ChangedOutside();
  EXPECT_GE(changed.size(), 2u);
  Engine::Reread reread = engine.ReadChanged();
  engine.Adopt(reread);
  EXPECT_EQ(engine.contacts->items.size(), 2u);
  EXPECT_EQ(engine.groups->items.size(), 2u);
  EXPECT_TRUE(engine.ChangedOutside().empty());
}
