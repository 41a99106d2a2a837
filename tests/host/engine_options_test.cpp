#include <gtest/gtest.h>

#include "model/engine.h"
#include "model/paths.h"

TEST(Engine, StartsEmptyWithDefaultOptions) {
  Engine engine;
  ASSERT_TRUE(engine.groups && engine.contacts && engine.options);
  EXPECT_TRUE(engine.groups->items.empty());
  EXPECT_TRUE(engine.contacts->items.empty());
  EXPECT_EQ(engine.groups->lastId, 0);
  EXPECT_EQ(engine.contacts->lastId, 0);
  const Options& options = *engine.options;
  EXPECT_TRUE(options.autoStart);
  EXPECT_EQ(options.warnPercent, 75);
  EXPECT_EQ(options.warnDays, 2);
  EXPECT_FALSE(options.showLastContacted);
  EXPECT_EQ(options.windowX, -1);
  EXPECT_EQ(options.windowY, -1);
  EXPECT_EQ(options.windowWidth, -1);
  EXPECT_EQ(options.windowHeight, -1);
  EXPECT_TRUE(options.minimizeToTray);
  // First ids are 1.
  engine.groups->Add(L"g", L"", Days, 0);
  engine.contacts->Add(L"c", L"", Days, 1, 0, L"", 1);
  EXPECT_EQ(engine.groups->items[0]->id, 1);
  EXPECT_EQ(engine.contacts->items[0]->id, 1);
}

TEST(Engine, PathsLiveInTheSettingsFolderBesideTheExecutable) {
  const Engine::Paths paths = Engine::PathsBesideExecutable(L"C:\\Program Files\\Amicord\\Amicord.exe", L'\\');
  EXPECT_EQ(paths.groups, L"C:\\Program Files\\Amicord\\settings\\groups.dat");
  EXPECT_EQ(paths.contacts, L"C:\\Program Files\\Amicord\\settings\\contacts.dat");
  EXPECT_EQ(paths.options, L"C:\\Program Files\\Amicord\\settings\\options.dat");

  const Engine::Paths none = Engine::PathsBesideExecutable(L"Amicord.exe", L'\\');
  EXPECT_TRUE(none.groups.empty() && none.contacts.empty() && none.options.empty());
  EXPECT_EQ(Engine::PathsBesideExecutable(L"\\a.exe", L'\\').groups, L"\\settings\\groups.dat");

  // The running program's own paths end the same way.
  Engine engine;
  const std::wstring tail = std::wstring(1, platform::PathSeparator()) + L"settings" + platform::PathSeparator();
  EXPECT_NE(engine.groupsPath.find(tail + L"groups.dat"), std::wstring::npos) << engine.groupsPath.size();
  EXPECT_NE(engine.optionsPath.find(tail + L"options.dat"), std::wstring::npos);
}

TEST(Paths, TheProgramsFoldersLieBesideTheExecutable) {
  const std::wstring exe = platform::ExecutablePath();
  const wchar_t separator = platform::PathSeparator();
  const std::wstring folder = exe.substr(0, exe.find_last_of(separator) + 1);
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(paths::ProgramFolder(), folder);
  EXPECT_EQ(paths::SettingsFolder(), folder + L"settings" + separator);
  EXPECT_EQ(paths::ImagesFolder(), folder + L"images");
  EXPECT_EQ(paths::DefaultGroupPicture(), folder + L"images" + separator + L"groups" + separator + L"default.png");
}

TEST(Engine, ExplicitSettingsFolder) {
  Engine engine(L"data");
  const std::wstring sep(1, platform::PathSeparator());
  EXPECT_EQ(engine.groupsPath, L"data" + sep + L"groups.dat");
  EXPECT_EQ(engine.contactsPath, L"data" + sep + L"contacts.dat");
  Engine trailing(L"data" + sep);
  EXPECT_EQ(trailing.optionsPath, L"data" + sep + L"options.dat");
}

TEST(Options, SetAutoStartStoresTheChoiceAndFollowsWithTheEntry) {
  Options options;
  options.SetAutoStart(true);
  EXPECT_TRUE(options.autoStart);
  EXPECT_TRUE(platform::AutoStartEntryPresent());
  options.SetAutoStart(false);
  EXPECT_FALSE(options.autoStart);
  EXPECT_FALSE(platform::AutoStartEntryPresent());
  options.SetAutoStart(false);  // absent already: nothing fails
  EXPECT_FALSE(platform::AutoStartEntryPresent());
}
