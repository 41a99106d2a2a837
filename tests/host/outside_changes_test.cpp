// Files written by someone else while the program runs: the engine tells them
// from its own saves, reads them without touching memory until they read
// completely, and never saves over one unseen.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "model/engine.h"
#include "model/platform.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

void AddContacts(Engine& engine, int count, const std::wstring& prefix) {
  for (int i = 0; i < count; ++i) engine.contacts->Add(prefix + std::to_wstring(i), L"", Days, 3, 0, L"", 0);
}

}  // namespace

TEST(OutsideChanges, AnotherWriterIsToldFromOurOwnSavesAndOnlyAWholeFileIsTaken) {
  TempFolder folder;
  Engine ours(folder.path());
  AddContacts(ours, 2, L"Ours ");
  ASSERT_TRUE(ours.Save());
  ours.Load();
  EXPECT_TRUE(ours.ChangedOutside().empty());
  AddContacts(ours, 1, L"More ");
  ASSERT_TRUE(ours.Save());
  EXPECT_TRUE(ours.ChangedOutside().empty()) << "our own save is not someone else's";

  Engine theirs(folder.path());
  theirs.Load();
  AddContacts(theirs, 4, L"Theirs ");
  theirs.groups->Add(L"Synced", L"", Weeks, 1);
  theirs.options->warnDays = 9;
  ASSERT_TRUE(theirs.Save());
  const std::vector<std::wstring> changed = ours.ChangedOutside();
  // The journal too: their new contacts came with their first entries.
  ASSERT_EQ(changed.size(), 4u);
  EXPECT_EQ(changed[0], ours.groupsPath);
  EXPECT_EQ(changed[1], ours.contactsPath);
  EXPECT_EQ(changed[2], ours.optionsPath);
  EXPECT_EQ(changed[3], ours.journalPath);

  // Cut short as a sync in progress leaves it: memory stays as it is.
  const std::string whole = ReadBytes(ours.contactsPath);
  WriteBytes(ours.contactsPath, whole.substr(0, whole.size() * 2 / 3));
  Contacts* const kept = ours.contacts.get();
  Engine::Reread partial = ours.ReadChanged();
  ASSERT_EQ(partial.incomplete.size(), 1u);
  EXPECT_EQ(partial.incomplete[0], ours.contactsPath);
  EXPECT_FALSE(partial.contacts);
  EXPECT_TRUE(partial.groups);
  EXPECT_EQ(ours.contacts->items.size(), 3u);

  WriteBytes(ours.contactsPath, whole);
  Engine::Reread reread = ours.ReadChanged();
  EXPECT_TRUE(reread.incomplete.empty());
  ours.Adopt(reread);
  EXPECT_EQ(ours.contacts.get(), kept) << "the windows hold the same objects";
  EXPECT_EQ(ours.contacts->items.size(), 7u);
  EXPECT_EQ(ours.groups->items.size(), 1u);
  EXPECT_EQ(ours.options->warnDays, 9);
  EXPECT_TRUE(ours.ChangedOutside().empty());
}

TEST(OutsideChanges, ACrossingSaveKeepsTheOtherFileBesideNeverOverAnEarlierCopy) {
  TempFolder folder;
  std::tm parts{};
  parts.tm_year = 2024 - 1900;
  parts.tm_mon = 6;
  parts.tm_mday = 14;
  parts.tm_hour = 8;
  parts.tm_min = 5;
  parts.tm_sec = 9;
  parts.tm_isdst = -1;
  const Time moment = static_cast<Time>(std::mktime(&parts));
  const platform::Clock previous = platform::ReplaceClock([moment] { return moment; });

  Engine ours(folder.path());
  AddContacts(ours, 1, L"Ours ");
  ASSERT_TRUE(ours.Save());
  ours.Load();
  std::vector<std::wstring> copies;
  for (int round = 0; round < 2; ++round) {
    Engine theirs(folder.path());
    theirs.Load();
    AddContacts(theirs, 3 + round, L"Theirs ");
    ASSERT_TRUE(theirs.Save());
    const std::string theirBytes = ReadBytes(ours.contactsPath);
    AddContacts(ours, 1, L"Edit ");
    std::vector<std::wstring> made;
    ASSERT_TRUE(ours.Save(nullptr, &made));
    // Their contacts and the journal entries that came with them; not the
    // files rewritten with what we write.
    ASSERT_EQ(made.size(), 2u) << round;
    EXPECT_EQ(made[1].rfind(ours.journalPath + L".conflict-", 0), 0u);
    copies.push_back(made[0]);
    EXPECT_EQ(ReadBytes(made[0]), theirBytes);
    Engine check(folder.path());
    check.Load();
    EXPECT_EQ(check.contacts->items.size(), ours.contacts->items.size()) << "ours is saved";
  }
  EXPECT_EQ(copies[0], ours.contactsPath + L".conflict-20240714-080509");
  EXPECT_EQ(copies[1], ours.contactsPath + L".conflict-20240714-080509-2");
  std::vector<std::wstring> none;
  AddContacts(ours, 1, L"Quiet ");
  ASSERT_TRUE(ours.Save(nullptr, &none));
  EXPECT_TRUE(none.empty()) << "nothing crossed this time";
  platform::ReplaceClock(previous);
}
