#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "framework/scheduler.h"
#include "model/platform.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/menu_watch.h"

namespace {

using apptest::MainWindowFixture;
using apptest::MenuSeen;
using apptest::OpenMenu;

void SetKeys(bool shift, bool control) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = control ? 0x80 : 0;
  SetKeyboardState(keys);
}

class RowKeys : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    previousClock_ = platform::ReplaceClock([this] { return now_; });
    Engine data;
    data.groups->Add(L"Friends", L"", Days, 7);
    data.contacts->Add(L"Ann", L"", Days, 7, kStart, L"", 1);
    data.contacts->Add(L"Bob", L"", Days, 7, kStart, L"", 1);
    ASSERT_TRUE(data.Save());
    HWND window = Start();
    SetWindowPos(window, nullptr, 40, 40, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_SHOWNA);
    UpdateWindow(List());
  }
  void TearDown() override {
    SetKeys(false, false);
    MainWindowFixture::TearDown();
    platform::ReplaceClock(previousClock_);
  }

  DlgGroupEntry& Panel() { return *groupTabs().AllPanel(); }
  GroupEntryListView& List() { return Panel().List(); }
  void Select(int row) {
    List().SetItemState(-1, 0, LVIS_SELECTED);
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  Contact& Person(int id) {
    Contacts::Item found;
    EXPECT_TRUE(engine().contacts->Find(id, found));
    return *found;
  }
  bool Ticked(int id) { return SendMessageW(List().TickBox(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  bool UndoShown(int id) {
    UpdateWindow(List());
    HWND undo = List().UndoButton(id);
    return undo && IsWindowVisible(undo);
  }

  // Outlives the window, whose pending un-ticks it holds.
  framework::ManualScheduler scheduler_;
  framework::ScopedUiScheduler scopedScheduler_{scheduler_};
  static constexpr Time kStart = 1700000000;
  Time now_ = kStart + 3 * 86400;
  platform::Clock previousClock_;
};

TEST_F(RowKeys, TheContextMenuOpensWithContactedFirstFromTheMouseAndAtTheSelectedRowFromTheKeyboard) {
  Select(1);
  NMHDR rightClick{List(), IDC_CONTACT_LIST, static_cast<UINT>(NM_RCLICK)};
  const MenuSeen mouse = OpenMenu(Panel().m_hWnd, Panel().m_hWnd, WM_NOTIFY, IDC_CONTACT_LIST,
                                  reinterpret_cast<LPARAM>(&rightClick));
  ASSERT_GE(mouse.ids.size(), 3u);
  EXPECT_EQ(mouse.ids[0], static_cast<UINT>(ID_CONTACT_CONTACTED));
  EXPECT_EQ(mouse.texts[0], L"&Contacted");
  EXPECT_TRUE(mouse.states[1] & MF_SEPARATOR);
  EXPECT_EQ(mouse.ids[2], static_cast<UINT>(ID_CONTACT_OPEN));
  EXPECT_FALSE(mouse.states[0] & (MF_GRAYED | MF_DISABLED)) << "enabled like the row's other items";
  EXPECT_EQ(GetWindowLongPtrW(Panel().m_hWnd, DWLP_MSGRESULT), TRUE) << "no second menu from WM_CONTEXTMENU";

  // Shift+F10 in the list: the system's WM_CONTEXTMENU without a point.
  RECT row{};
  ASSERT_TRUE(List().GetItemRect(1, &row, LVIR_BOUNDS));
  POINT below{row.left, row.bottom};
  ClientToScreen(List(), &below);
  SetCursorPos(600, 10);
  SetKeys(true, false);
  const MenuSeen keys = OpenMenu(Panel().m_hWnd, List(), WM_SYSKEYDOWN, VK_F10, 1);
  SetKeys(false, false);
  ASSERT_FALSE(keys.ids.empty()) << "Shift+F10 opens the menu";
  EXPECT_EQ(keys.ids[0], static_cast<UINT>(ID_CONTACT_CONTACTED));
  EXPECT_EQ(keys.popup.left, below.x) << "at the selected row, not at the mouse";
  EXPECT_EQ(keys.popup.top, below.y);

  const MenuSeen menuKey = OpenMenu(Panel().m_hWnd, List(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List().m_hWnd),
                                    static_cast<LPARAM>(-1));
  EXPECT_EQ(menuKey.popup.left, below.x);
  EXPECT_EQ(menuKey.popup.top, below.y);
}

TEST_F(RowKeys, ContactedAndCtrlEnterTickTheSelectedRowAsAClickDoesAndUndoRestores) {
  ASSERT_NE(List().TickBox(2), nullptr) << "painted rows have their boxes";

  Select(1);
  SendMessageW(Panel().m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CONTACT_CONTACTED, 0), 0);
  EXPECT_EQ(Person(2).lastContacted, now_);
  EXPECT_EQ(Person(1).lastContacted, kStart) << "only the selected row";
  EXPECT_TRUE(Ticked(2));
  EXPECT_TRUE(UndoShown(2));
  EXPECT_EQ(session().SaveCount(), 0) << "saved once the tick is on screen";
  scheduler_.Advance(std::chrono::milliseconds(0));
  EXPECT_EQ(session().SaveCount(), 1);
  scheduler_.Advance(std::chrono::seconds(1));
  EXPECT_FALSE(Ticked(2)) << "the box unticks a second later, as after a click";

  SendMessageW(List(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(List().UndoButton(2)));
  EXPECT_EQ(Person(2).lastContacted, kStart);
  EXPECT_FALSE(UndoShown(2));

  // Ctrl+Enter in the list, through the window's keyboard filter; plain Enter still opens.
  Select(0);
  SetKeys(false, true);
  MSG key{List(), WM_KEYDOWN, VK_RETURN, 1, 0, {}};
  EXPECT_TRUE(window_->Keyboard().PreTranslateMessage(key));
  SetKeys(false, false);
  EXPECT_EQ(Person(1).lastContacted, now_);
  EXPECT_TRUE(Ticked(1));
  EXPECT_TRUE(UndoShown(1));
  Person(1).UndoContacted();
  EXPECT_EQ(Person(1).lastContacted, kStart);
  EXPECT_FALSE(UndoShown(1));

  // Without a selected row, like the other row items, nothing happens.
  List().SetItemState(-1, 0, LVIS_SELECTED);
  SendMessageW(Panel().m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CONTACT_CONTACTED, 0), 0);
  EXPECT_EQ(Person(1).lastContacted, kStart);
  EXPECT_EQ(Person(2).lastContacted, kStart);
}

}  // namespace
