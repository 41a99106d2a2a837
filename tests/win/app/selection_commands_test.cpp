// Several selected people in the running program: the row menu names how many
// it acts on, and each of its commands reaches all of them with one save.
#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "app/file_choosers.h"
#include "framework/scheduler.h"
#include "model/platform.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

constexpr Time kDay = 86400;
constexpr Time kNow = 1796299200;

// The texts of the popup menu the panel opens, read once it is up, then closed.
std::vector<std::wstring>* menuTexts = nullptr;

LRESULT CALLBACK ReadMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    HMENU menu = popup ? reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) : nullptr;
    const bool unread = menuTexts->empty();
    for (int index = 0; menu && unread && index < GetMenuItemCount(menu); ++index) {
      wchar_t text[64] = {};
      GetMenuStringW(menu, static_cast<UINT>(index), text, 64, MF_BYPOSITION);
      menuTexts->push_back(text);
    }
    EndMenu();
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

class SelectionCommands : public apptest::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    previousClock_ = platform::ReplaceClock([this] { return now_; });
    Engine data;
    data.groups->Add(L"Friends", L"", Days, 7);
    data.groups->Add(L"Work", L"", Days, 7);
    for (const wchar_t* name : {L"Anna Berg", L"Bert Costa", L"Carla Dahl", L"Dora Eck"})
      data.contacts->Add(name, L"", Days, 7, kNow - 10 * kDay, L"", 1);
    ASSERT_TRUE(data.Save());
    HWND window = Start();
    SetWindowPos(window, nullptr, 40, 40, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_SHOWNA);
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    platform::ReplaceClock(previousClock_);
  }

  GroupEntryListView& List() { return groupTabs().AllPanel()->List(); }
  HWND Panel() { return groupTabs().AllPanel()->m_hWnd; }
  void SelectFirst(int count) {
    List().SetItemState(-1, 0, LVIS_SELECTED);
    for (int row = 0; row < count; ++row) List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
  }
  std::vector<std::wstring> RowMenu() {
    std::vector<std::wstring> texts;
    menuTexts = &texts;
    SetWindowSubclass(Panel(), &ReadMenu, 1, 0);
    NMHDR rightClick{List(), IDC_CONTACT_LIST, static_cast<UINT>(NM_RCLICK)};
    SendMessageW(Panel(), WM_NOTIFY, IDC_CONTACT_LIST, reinterpret_cast<LPARAM>(&rightClick));
    RemoveWindowSubclass(Panel(), &ReadMenu, 1);
    menuTexts = nullptr;
    return texts;
  }
  void Command(int id) { SendMessageW(Panel(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  Contact& Person(std::size_t index) { return *engine().contacts->items[index]; }

  Time now_ = kNow;
  platform::Clock previousClock_;
  framework::ManualScheduler scheduler_;
  framework::ScopedUiScheduler scopedScheduler_{scheduler_};
};

TEST_F(SelectionCommands, TheMenuNamesTheCountAndContactedTicksEveryoneWithOneSave) {
  SelectFirst(1);
  const std::vector<std::wstring> one = RowMenu();
  EXPECT_EQ(one.front(), L"&Contacted");
  EXPECT_NE(std::find(one.begin(), one.end(), L"&Move to Group"), one.end()) << "offered for one row too";

  SelectFirst(3);
  EXPECT_EQ(RowMenu(),
            (std::vector<std::wstring>{L"&Contacted (3 People)", L"", L"&Open", L"&Log Contact... (3 People)",
                                       L"&History...", L"Remind Me &Later", L"&Move to Group", L"E&xport Selected...",
                                       L"", L"&Delete (3 People)"}));
  const int saves = session().SaveCount();
  now_ = kNow + 60;
  Command(ID_CONTACT_CONTACTED);
  EXPECT_EQ(session().SaveCount(), saves + 1);
  session().WaitForWriter();
  EXPECT_FALSE(session().HasPendingSave()) << "no second save left waiting";
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Person(i).lastContacted, i < 3 ? kNow + 60 : kNow - 10 * kDay) << i;
    EXPECT_EQ(engine().journal->Entries(Person(i).id).front().time, i < 3 ? kNow + 60 : kNow - 10 * kDay) << i;
  }
  UpdateWindow(List());
  for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(List().UndoButton(Person(i).id)) << "the painted rows' links";
}

TEST_F(SelectionCommands, DeleteAsksOnceAndMoveAndLogReachEveryone) {
  SelectFirst(4);
  auto driver = std::make_unique<test::DialogDriver>();
  const int saves = session().SaveCount();
  Command(ID_CONTACT_DELETE);  // answered OK, which is not Yes: nothing goes
  ASSERT_EQ(driver->messages().size(), 1u);
  EXPECT_EQ(driver->messages()[0], L"Delete 4 contacts: Anna Berg, Bert Costa, Carla Dahl and 1 more?");
  EXPECT_EQ(driver->messageCaptions()[0], L"Delete contacts?");
  EXPECT_EQ(engine().contacts->items.size(), 4u);

  // Into "Work": the group's list gets them, the "All" list keeps them selected.
  SelectFirst(2);
  RowMenu();
  Command(lists::kFirstMoveCommand + 1);
  EXPECT_EQ(Person(0).groupId, 2);
  EXPECT_EQ(Person(1).groupId, 2);
  EXPECT_EQ(Person(2).groupId, 1);
  EXPECT_EQ(GroupPanel(2).List().RowCount(), 2);
  EXPECT_EQ(List().SelectedIds(), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(session().SaveCount(), saves + 1);
  session().WaitForWriter();
  Engine saved;
  saved.Load();
  EXPECT_EQ(saved.contacts->items[1]->groupId, 2);

  driver->Expect(L"Log Contact: 2 People", [](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_LOG_TEXT, L"Dinner");
    test::Click(dialog, IDOK);
  });
  Command(ID_CONTACT_LOG);
  EXPECT_EQ(driver->scriptsRun(), 1);
  for (std::int32_t id : {1, 2}) EXPECT_EQ(engine().journal->Entries(id).front().text, L"Dinner") << id;
  EXPECT_NE(engine().journal->Entries(3).front().text, L"Dinner");
  EXPECT_EQ(session().SaveCount(), saves + 2);

  // Yes: both go from every list in one go, with one save.
  driver.reset();
  {
    test::MessageBoxWatch yes(IDYES);
    Command(ID_CONTACT_DELETE);
    ASSERT_EQ(yes.texts().size(), 1u);
    EXPECT_EQ(yes.texts()[0], L"Delete 2 contacts: Anna Berg and Bert Costa?");
  }
  EXPECT_EQ(engine().contacts->items.size(), 2u);
  EXPECT_EQ(List().RowCount(), 2);
  EXPECT_EQ(GroupPanel(2).List().RowCount(), 0);
  EXPECT_EQ(List().SelectedCount(), 0);
  EXPECT_EQ(session().SaveCount(), saves + 3);
  session().WaitForWriter();
  Engine after;
  after.Load();
  EXPECT_EQ(after.contacts->items.size(), 2u);
}

}  // namespace
