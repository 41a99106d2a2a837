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

TEST(Saving, TheOldFileSurvivesASaveThatFailsBeforeTheReplace) {
  TempFolder folder;
  Engine engine(folder.path());
  engine.contacts->Add(L"Old", L"", Days, 1, 100, L"", 1);
  ASSERT_TRUE(engine.Save());
  const std::string before = ReadBytes(engine.contactsPath);

  // The temporary file cannot be created: a folder holds its name.
  std::filesystem::create_directory(files::PathOf(engine.contactsPath + L".tmp"));
  engine.contacts->Add(L"New", L"", Days, 1, 200, L"", 1);
  engine.groups->Add(L"Written anyway", L"", Days, 0);
  std::wstring reason;
  EXPECT_FALSE(engine.Save(&reason));
  EXPECT_NE(reason.find(engine.contactsPath), std::wstring::npos);
  EXPECT_EQ(ReadBytes(engine.contactsPath), before);
  // The other files are still saved.
  Groups groups;
  ASSERT_EQ(ReadArchive(engine.groupsPath, groups), FileStatus::Ok);
  EXPECT_EQ(groups.items.size(), 1u);

  std::filesystem::remove(files::PathOf(engine.contactsPath + L".tmp"));
  ASSERT_TRUE(engine.Save());
  Contacts contacts;
  ASSERT_EQ(ReadArchive(engine.contactsPath, contacts), FileStatus::Ok);
  EXPECT_EQ(contacts.items.size(), 2u);
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
