// Files someone else writes while the window runs: read in once they settle,
// tabs and rows following; held back under a dialog; a file still cut short a
// few seconds later reported once with memory kept; a save that crosses an
// outside change keeps the other file beside.
#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "app/folder_watch.h"
#include "framework/scheduler.h"
#include "tests/common/archive_files.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"

namespace fs = std::filesystem;

namespace {

int Rows(DlgGroupEntry& panel) { return panel.List().RowCount(); }

class OutsideChangesWindow : public apptest::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Engine data(Folder());
    data.options->autoStart = false;
    data.groups->Add(L"Family", L"", Weeks, 2);   // 1
    data.groups->Add(L"Friends", L"", Weeks, 2);  // 2
    data.contacts->Add(L"Ann", L"", Days, 3, 0, L"", 1);
    data.contacts->Add(L"Bob", L"", Days, 3, 0, L"", 2);
    ASSERT_TRUE(data.Save());
  }

  static std::wstring Folder() { return apptest::SettingsFolder().wstring(); }

  // What a sync service does: another engine's save of the same folder.
  static void WriteOutside(const std::function<void(Engine&)>& change) {
    Engine theirs(Folder());
    theirs.Load();
    change(theirs);
    ASSERT_TRUE(theirs.Save());
  }

  // The start-up moment may remind and save the journal: it runs before the
  // cases write outside, as it does in the program well before any sync.
  HWND Start() {
    HWND window = MainWindowFixture::Start();
    scheduler_.Advance(std::chrono::milliseconds(0));
    session().WaitForWriter();
    return window;
  }

  void Changed() {
    PostMessageW(window_->m_hWnd, WM_DATA_FOLDER_CHANGED, 0, 0);
    apptest::PumpMessages();
    scheduler_.Advance(OutsideChanges::kSettle);
  }

  framework::ManualScheduler scheduler_;
  framework::ScopedUiScheduler scoped_{scheduler_};
};

}  // namespace

TEST_F(OutsideChangesWindow, ASettledChangeIsReadInAndTabsAndRowsFollowIt) {
  Start();
  SelectTab(2);  // Friends
  DlgGroupEntry& friends = GroupPanel(2);
  ASSERT_EQ(Rows(friends), 1);

  WriteOutside([](Engine& theirs) {
    theirs.groups->Remove(1);
    theirs.groups->Add(L"Work", L"", Months, 1);  // 3
    theirs.contacts->Remove(1);
    theirs.contacts->Add(L"Cleo", L"", Days, 3, 0, L"", 2);
    theirs.contacts->Add(L"Dan", L"", Days, 3, 0, L"", 3);
  });
  PostMessageW(window_->m_hWnd, WM_DATA_FOLDER_CHANGED, 0, 0);
  apptest::PumpMessages();
  EXPECT_EQ(engine().groups->items.size(), 2u) << "nothing is read while the writes may go on";
  scheduler_.Advance(OutsideChanges::kSettle);

  const auto tabs = apptest::Tabs(groupTabs().Control());
  ASSERT_EQ(tabs.size(), 3u);
  EXPECT_EQ(tabs[1].text, L"Friends");
  EXPECT_EQ(tabs[2].text, L"Work");
  EXPECT_EQ(TabCtrl_GetCurSel(groupTabs().Control()), 1) << "Friends stays selected";
  EXPECT_EQ(groupTabs().Panels().ShownId(), 2);
  EXPECT_EQ(Rows(friends), 2) << "the same panel, with Bob and Cleo";
  EXPECT_EQ(groupTabs().AllPanel()->List().RowCount(), 3);
  GroupEntriesWindowManager::Panel gone;
  EXPECT_FALSE(groupTabs().Panels().Find(1, gone));
  EXPECT_EQ(Rows(GroupPanel(3)), 1);
  EXPECT_EQ(engine().contacts->items.size(), 3u);
  // The new contacts announce their changes like the loaded ones.
  EXPECT_EQ(engine().contacts->items.back()->notifyWindow, window_->m_hWnd);

  // Read in, so not someone else's any more: the next save leaves no copy.
  test::MessageBoxWatch boxes;
  EXPECT_TRUE(session().SaveAll());
  EXPECT_TRUE(boxes.texts().empty());
}

TEST_F(OutsideChangesWindow, AnOpenDialogHoldsTheReadBackUntilItCloses) {
  HWND window = Start();
  WriteOutside([](Engine& theirs) { theirs.groups->Add(L"Work", L"", Months, 1); });
  EnableWindow(window, FALSE);  // as a modal dialog over it does
  Changed();
  EXPECT_EQ(apptest::Tabs(groupTabs().Control()).size(), 3u);
  EXPECT_EQ(engine().groups->items.size(), 2u);
  EnableWindow(window, TRUE);
  EXPECT_EQ(apptest::Tabs(groupTabs().Control()).size(), 4u);
  EXPECT_EQ(engine().groups->items.size(), 3u);
}

TEST_F(OutsideChangesWindow, AFileStillCutShortAfterTheRetryIsToldOnceAndMemoryStays) {
  Start();
  test::MessageBoxWatch boxes;
  const std::wstring contacts = engine().contactsPath;
  WriteOutside([](Engine& theirs) { theirs.contacts->Add(L"Cleo", L"", Days, 3, 0, L"", 2); });
  const std::string whole = testfiles::ReadBytes(contacts);

  // Cut short, then finished before the second look: taken in, nothing told.
  testfiles::WriteBytes(contacts, whole.substr(0, whole.size() / 2));
  Changed();
  EXPECT_EQ(engine().contacts->items.size(), 2u);
  testfiles::WriteBytes(contacts, whole);
  scheduler_.Advance(OutsideChanges::kRetry);
  EXPECT_EQ(engine().contacts->items.size(), 3u);
  EXPECT_TRUE(boxes.texts().empty());

  // Still cut short at the second look: damage, told once, memory kept.
  WriteOutside([](Engine& theirs) { theirs.contacts->Add(L"Dan", L"", Days, 3, 0, L"", 2); });
  const std::string next = testfiles::ReadBytes(contacts);
  testfiles::WriteBytes(contacts, next.substr(0, next.size() - 40));
  Changed();
  Changed();  // the service is still busy: more writes, still waiting for the retry
  EXPECT_TRUE(boxes.texts().empty());
  scheduler_.Advance(OutsideChanges::kRetry);
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_NE(boxes.texts()[0].find(contacts + L".damaged"), std::wstring::npos) << boxes.texts()[0];
  EXPECT_TRUE(fs::exists(contacts + L".damaged"));
  EXPECT_EQ(engine().contacts->items.size(), 3u);
  Changed();
  scheduler_.Advance(OutsideChanges::kRetry);
  EXPECT_EQ(boxes.texts().size(), 1u) << "told once";
  // The next save writes memory over the damaged file, with no conflict copy.
  EXPECT_TRUE(session().SaveAll());
  EXPECT_EQ(boxes.texts().size(), 1u);
  Engine check(Folder());
  EXPECT_EQ(check.Load().contacts, FileStatus::Ok);
  EXPECT_EQ(check.contacts->items.size(), 3u);
}

TEST_F(OutsideChangesWindow, AnEditThatCrossesAnOutsideChangeKeepsTheOtherFileBesideAndSaysSoOnce) {
  Start();
  test::MessageBoxWatch boxes;
  WriteOutside([](Engine& theirs) { theirs.contacts->Add(L"Cleo", L"", Days, 3, 0, L"", 2); });
  const std::string theirs = testfiles::ReadBytes(engine().contactsPath);
  // Edited before the change is read in.
  engine().contacts->Add(L"Eve", L"", Days, 3, 0, L"", 1);
  EXPECT_TRUE(session().SaveAll());
  ASSERT_EQ(boxes.texts().size(), 1u);
  std::wstring copy;
  for (const auto& entry : fs::directory_iterator(apptest::SettingsFolder()))
    if (entry.path().filename().wstring().find(L"contacts.dat.conflict-") == 0) copy = entry.path().wstring();
  ASSERT_NE(copy, L"");
  EXPECT_NE(boxes.texts()[0].find(copy), std::wstring::npos) << boxes.texts()[0];
  EXPECT_EQ(testfiles::ReadBytes(copy), theirs);
  Engine check(Folder());
  check.Load();
  EXPECT_EQ(check.contacts->items.size(), 3u) << "ours is saved: Ann, Bob, Eve";
  Changed();  // the watch saw our own save: nothing to read in
  EXPECT_EQ(engine().contacts->items.size(), 3u);
  EXPECT_EQ(boxes.texts().size(), 1u);
}

TEST(FolderWatch, AWriteInTheFolderPostsTheMessage) {
  testfiles::TempFolder folder;
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  constexpr UINT kChanged = WM_APP + 77;
  {
    FolderWatch watch;
    ASSERT_TRUE(watch.Start(folder.path(), window, kChanged));
    testfiles::WriteBytes(folder.File(L"contacts.dat"), "written by someone else");
    MSG message{};
    bool posted = false;
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (!posted && GetTickCount64() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
      posted = PeekMessageW(&message, window, kChanged, kChanged, PM_REMOVE) != FALSE;
    }
    EXPECT_TRUE(posted);
    watch.Stop();
    EXPECT_FALSE(watch.Running());
  }
  DestroyWindow(window);
}
