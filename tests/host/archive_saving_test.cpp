// Saving: a crash or a failure never leaves a half-written file behind, the
// folder is created when missing, and a failure says why.
#include <gtest/gtest.h>

#include <filesystem>

#include "model/archive.h"
#include "model/engine.h"
#include "model/file_system.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

TEST(Saving, CreatesAMissingSettingsFolderAndLeavesNoTemporaryFile) {
  TempFolder folder;
  const std::wstring settings = folder.File(L"missing") + platform::PathSeparator() + L"settings";
  Engine engine(settings);
  engine.groups->Add(L"Family", L"", Days, 0);
  std::wstring reason;
  ASSERT_TRUE(engine.Save(&reason)) << std::string(reason.begin(), reason.end());
  EXPECT_TRUE(reason.empty());
  for (const std::wstring* path : {&engine.groupsPath, &engine.contactsPath, &engine.optionsPath}) {
    EXPECT_TRUE(FileExists(*path));
    EXPECT_FALSE(FileExists(*path + L".tmp"));
  }
  Engine loaded(settings);
  const Engine::LoadReport report = loaded.Load();
  EXPECT_EQ(report.groups, FileStatus::Ok);
  EXPECT_EQ(report.contacts, FileStatus::Ok);
  EXPECT_EQ(report.options, FileStatus::Ok);
  EXPECT_FALSE(report.AnyDamaged());
  ASSERT_EQ(loaded.groups->items.size(), 1u);
  EXPECT_EQ(loaded.groups->items[0]->name, L"Family");
}

TEST(Saving, TheOldFilesSurviveASaveThatFailsBeforeTheReplace) {
  TempFolder folder;
  Engine engine(folder.path());
  engine.contacts->Add(L"Old", L"", Days, 1, 100, L"", 1);
  ASSERT_TRUE(engine.Save());
  const std::string before = ReadBytes(engine.contactsPath);

  // The temporary file cannot be created: a folder holds its name.
  std::filesystem::create_directory(files::PathOf(engine.contactsPath + L".tmp"));
  engine.contacts->Add(L"New", L"", Days, 1, 200, L"", 1);
  engine.groups->Add(L"Not written either", L"", Days, 0);
  const std::string groupsBefore = ReadBytes(engine.groupsPath);
  std::wstring reason;
  EXPECT_FALSE(engine.Save(&reason));
  EXPECT_NE(reason.find(engine.contactsPath), std::wstring::npos);
  EXPECT_EQ(ReadBytes(engine.contactsPath), before);
  // The files are saved as one set: the groups, written first, are not put in place.
  EXPECT_EQ(ReadBytes(engine.groupsPath), groupsBefore);
  EXPECT_FALSE(FileExists(engine.groupsPath + L".tmp"));

  std::filesystem::remove(files::PathOf(engine.contactsPath + L".tmp"));
  ASSERT_TRUE(engine.Save());
  Contacts contacts;
  ASSERT_EQ(ReadArchive(engine.contactsPath, contacts), FileStatus::Ok);
  EXPECT_EQ(contacts.items.size(), 2u);
  Groups groups;
  ASSERT_EQ(ReadArchive(engine.groupsPath, groups), FileStatus::Ok);
  EXPECT_EQ(groups.items.size(), 1u);
}

TEST(Saving, AFolderNamedInAnotherScriptWorks) {
  TempFolder folder(L"\x0414\x0430\x043D\x043D\x044B\x0435 \x8CC7\x6599 \x03AC");
  Engine engine(folder.path());
  engine.contacts->Add(L"\x041A\x0438\x0440\x0430", L"", Weeks, 2, 1234, L"", 1);
  engine.options->warnDays = 9;
  ASSERT_TRUE(engine.Save());
  Engine loaded(folder.path());
  const Engine::LoadReport report = loaded.Load();
  EXPECT_EQ(report.contacts, FileStatus::Ok);
  EXPECT_EQ(report.options, FileStatus::Ok);
  ASSERT_EQ(loaded.contacts->items.size(), 1u);
  EXPECT_EQ(loaded.contacts->items[0]->name, L"\x041A\x0438\x0440\x0430");
  EXPECT_EQ(loaded.options->warnDays, 9);
}

#ifndef _WIN32
TEST(Saving, ACharacterBeyondSixteenBitsIsRefusedAndTheOldFileStays) {
  TempFolder folder;
  const std::wstring path = folder.File(L"contacts.dat");
  Contacts contacts;
  contacts.Add(L"Plain", L"", Days, 1, 1, L"", 1);
  ASSERT_TRUE(SaveArchive(path, contacts));
  const std::string before = ReadBytes(path);
  contacts.Add(std::wstring(1, static_cast<wchar_t>(0x1F600)), L"", Days, 1, 1, L"", 1);
  const SaveResult result = SaveArchive(path, contacts);
  EXPECT_FALSE(result);
  EXPECT_NE(result.reason.find(L"U+FFFF"), std::wstring::npos);
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_FALSE(FileExists(path + L".tmp"));
}
#endif

// A save leaves the groups or options file alone when its text would not
// change and nobody has touched it since this engine wrote it; any change,
// ours or someone else's, has it written again. The contacts file, which
// nearly every save changes, is always written.
TEST(Saving, AnUnchangedFileIsNotWrittenAgainUnlessSomeoneTouchedIt) {
  TempFolder folder;
  Engine engine(folder.path());
  engine.groups->Add(L"Family", L"", Days, 0);
  engine.contacts->Add(L"Ann", L"", Days, 7, 100, L"", 1);
  ASSERT_TRUE(engine.Save());
  const std::string groupsBytes = ReadBytes(engine.groupsPath);

  // Writing groups.dat again would fail now: its temporary name is taken.
  const std::filesystem::path blocker = files::PathOf(engine.groupsPath + L".tmp");
  std::filesystem::create_directory(blocker);
  ASSERT_TRUE(engine.contacts->items[0]->MarkContacted(200));
  std::wstring reason;
  EXPECT_TRUE(engine.Save(&reason)) << std::string(reason.begin(), reason.end());
  Contacts contacts;
  ASSERT_EQ(ReadArchive(engine.contactsPath, contacts), FileStatus::Ok);
  EXPECT_EQ(contacts.items.at(0)->lastContacted, 200) << "the changed file is written";

  engine.groups->Add(L"Work", L"", Weeks, 1);
  EXPECT_FALSE(engine.Save(&reason)) << "a changed group list has to be written";
  EXPECT_NE(reason.find(engine.groupsPath), std::wstring::npos);
  std::filesystem::remove(blocker);
  ASSERT_TRUE(engine.Save());
  const std::string twoGroups = ReadBytes(engine.groupsPath);
  EXPECT_NE(twoGroups, groupsBytes);

  // Someone else's hand: a file cut short, one with an older write time, one
  // deleted. Each is written again with what the program holds.
  WriteBytes(engine.groupsPath, twoGroups.substr(0, twoGroups.size() / 2));
  ASSERT_TRUE(engine.Save());
  EXPECT_EQ(ReadBytes(engine.groupsPath), twoGroups);
  const auto old = std::filesystem::last_write_time(files::PathOf(engine.groupsPath)) - std::chrono::hours(48);
  std::filesystem::last_write_time(files::PathOf(engine.groupsPath), old);
  ASSERT_TRUE(engine.Save());
  EXPECT_NE(std::filesystem::last_write_time(files::PathOf(engine.groupsPath)), old);
  std::filesystem::remove(files::PathOf(engine.optionsPath));
  ASSERT_TRUE(engine.Save());
  Options options;
  EXPECT_EQ(ReadArchive(engine.optionsPath, options), FileStatus::Ok);

  // Another engine knows nothing of these saves and writes every file.
  std::filesystem::create_directory(blocker);
  Engine fresh(folder.path());
  fresh.Load();
  EXPECT_FALSE(fresh.Save());
  std::filesystem::remove(blocker);

  // The contacts file is written at every save, changed or not.
  const std::filesystem::path contactsBlocker = files::PathOf(engine.contactsPath + L".tmp");
  std::filesystem::create_directory(contactsBlocker);
  EXPECT_FALSE(engine.Save(&reason));
  EXPECT_NE(reason.find(engine.contactsPath), std::wstring::npos);
  std::filesystem::remove(contactsBlocker);
}
