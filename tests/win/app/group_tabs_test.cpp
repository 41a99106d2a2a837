#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "app/tab_text.h"
#include "framework/scheduler.h"
#include "model/platform.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"

namespace fs = std::filesystem;

namespace {

using apptest::SettingsFolder;
using apptest::Tabs;
void Pump() { apptest::PumpMessages(); }

// The contact ids of a panel's rows, in row order.
std::vector<int> RowIds(DlgGroupEntry& panel) {
  std::vector<int> ids;
  GroupEntryListView& list = panel.List();
  for (int row = 0; row < list.GetItemCount(); ++row) {
    const Contact* contact = list.RowContact(row);
    ids.push_back(contact ? contact->id : -100);
  }
  return ids;
}

std::vector<int> SavedContactIds() {
  Engine saved;
  saved.Load();
  std::vector<int> ids;
  for (const auto& contact : *saved.contacts) ids.push_back(contact->id);
  return ids;
}

// Paints one row of a list into a memory bitmap as the list paints it for its
// parent, and gives back the rightmost column with dark ink in the name line.
int RightmostInkOfNameLine(GroupEntryListView& list, int row) {
  RECT bounds{};
  EXPECT_TRUE(list.GetItemRect(row, &bounds, LVIR_BOUNDS));
  RECT client{};
  GetClientRect(list, &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SetBkColor(dc, RGB(255, 255, 255));
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_LISTVIEW;
  draw.CtlID = IDC_CONTACT_LIST;
  draw.itemID = static_cast<UINT>(row);
  draw.itemAction = ODA_DRAWENTIRE;
  draw.hwndItem = list;
  draw.hDC = dc;
  draw.rcItem = bounds;
  SendMessageW(GetParent(list), WM_DRAWITEM, IDC_CONTACT_LIST, reinterpret_cast<LPARAM>(&draw));
  int rightmost = -1;
  for (int x = 40; x < bounds.right - 24; ++x) {
    for (int y = bounds.top + 3; y < bounds.top + 18; ++y) {
      const COLORREF pixel = GetPixel(dc, x, y);
      if (GetRValue(pixel) < 128 && GetGValue(pixel) < 128 && GetBValue(pixel) < 128) {
        rightmost = x;
        break;
      }
    }
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return rightmost;
}

class MainWindowTabs : public apptest::MainWindowFixture {
 protected:
  // Friends (id 1) with Ann (1) and Cid (3), Work (2) with Bob (2), Dee (4)
  // whose group no longer exists, and Eve (5) in Friends again.
  static void WriteData() {
    Engine engine;
    engine.groups->Add(L"Friends", L"", Days, 7);
    engine.groups->Add(L"Work", L"", Weeks, 2);
    const Time now = platform::Now();
    engine.contacts->Add(L"Ann", L"", Days, 7, now, L"", 1);
    engine.contacts->Add(L"Bob", L"", Days, 7, now, L"", 2);
    engine.contacts->Add(L"Cid", L"", Days, 7, now, L"", 1);
    engine.contacts->Add(L"Dee", L"", Days, 7, now, L"", 9);
    engine.contacts->Add(L"Eve", L"", Days, 7, now, L"", 1);
    ASSERT_TRUE(engine.Save());
  }

  // Outlives the window: a tick's save waits for it.
  framework::ManualScheduler scheduler_;
  framework::ScopedUiScheduler scopedScheduler_{scheduler_};
};

TEST_F(MainWindowTabs, WithoutDataThereIsTheAllTabAlone) {
  Start();
  const auto tabs = Tabs(groupTabs().Control());
  ASSERT_EQ(tabs.size(), 1u);
  EXPECT_EQ(tabs[0].text, L"All");
  EXPECT_EQ(tabs[0].id, -2);
  EXPECT_EQ(groupTabs().Panels().ShownId(), -2);
  EXPECT_EQ(groupTabs().AllPanel()->List().GetItemCount(), 0);
  EXPECT_EQ(session().SaveCount(), 0) << "starting writes nothing";
}

TEST_F(MainWindowTabs, StartUpBuildsATabAndPanelPerGroupAndListsEveryContact) {
  WriteData();
  HWND window = Start();
  const auto tabs = Tabs(groupTabs().Control());
  ASSERT_EQ(tabs.size(), 3u);
  EXPECT_EQ(tabs[0].text, L"All");
  EXPECT_EQ(tabs[0].id, -2);
  EXPECT_EQ(tabs[1].text, L"Friends");
  EXPECT_EQ(tabs[1].id, 1);
  EXPECT_EQ(tabs[2].text, L"Work");
  EXPECT_EQ(tabs[2].id, 2);
  EXPECT_EQ(TabCtrl_GetCurSel(groupTabs().Control()), 0);

  DlgGroupEntry& all = *groupTabs().AllPanel();
  DlgGroupEntry& friends = GroupPanel(1);
  DlgGroupEntry& work = GroupPanel(2);
  EXPECT_EQ(RowIds(all), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(RowIds(friends), (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(RowIds(work), (std::vector<int>{2}));
  EXPECT_EQ(engine().contacts->notifyWindow, window);
  EXPECT_EQ(engine().groups->notifyWindow, window);
  for (const auto& contact : *engine().contacts) EXPECT_EQ(contact->notifyWindow, window);

  // Every panel is a child of the tab control, in the page rectangle; only "All" shows.
  RECT client{};
  GetClientRect(groupTabs().Control(), &client);
  const RECT page = ::GroupTabs::PanelRect(client);
  for (DlgGroupEntry* panel : {&all, &friends, &work}) {
    EXPECT_EQ(GetParent(panel->m_hWnd), groupTabs().Control());
    RECT rect{};
    GetWindowRect(panel->m_hWnd, &rect);
    MapWindowPoints(nullptr, groupTabs().Control(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(EqualRect(&rect, &page));
    EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(panel->m_hWnd, IDC_SORT)), 4) << "caption None";
  }
  ShowWindow(window, SW_SHOWNA);
  EXPECT_TRUE(IsWindowVisible(all.m_hWnd));
  EXPECT_FALSE(IsWindowVisible(friends.m_hWnd));
  EXPECT_FALSE(IsWindowVisible(work.m_hWnd));

  // Dee's group is gone: no brackets after the name. Cid, a name of the same
  // width, shows "(Friends)" after it.
  const int dee = RightmostInkOfNameLine(all.List(), 3);
  const int cid = RightmostInkOfNameLine(all.List(), 2);
  EXPECT_GT(dee, 40);
  EXPECT_LT(dee, 40 + 40) << "only the short name";
  EXPECT_GT(cid, dee + 30) << "the bracketed group name follows";
}

TEST_F(MainWindowTabs, SelectingATabShowsItsPanelAndTheLayoutFollowsTheWindow) {
  WriteData();
  HWND window = Start();
  ShowWindow(window, SW_SHOWNA);
  SelectTab(2);
  EXPECT_TRUE(IsWindowVisible(GroupPanel(2).m_hWnd));
  EXPECT_FALSE(IsWindowVisible(groupTabs().AllPanel()->m_hWnd));
  SelectTab(0);
  EXPECT_TRUE(IsWindowVisible(groupTabs().AllPanel()->m_hWnd));
  EXPECT_FALSE(IsWindowVisible(GroupPanel(2).m_hWnd));

  auto size = [](HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
  };
  HWND list = groupTabs().AllPanel()->List();
  HWND sort = GetDlgItem(groupTabs().AllPanel()->m_hWnd, IDC_SORT);
  const SIZE listBefore = size(list);
  const SIZE panelBefore = size(groupTabs().AllPanel()->m_hWnd);
  RECT sortBefore{};
  GetWindowRect(sort, &sortBefore);
  MapWindowPoints(nullptr, groupTabs().AllPanel()->m_hWnd, reinterpret_cast<POINT*>(&sortBefore), 2);

  SetWindowPos(window, nullptr, 0, 0, 700, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(groupTabs().Control(), &client);
  const RECT page = ::GroupTabs::PanelRect(client);
  for (HWND panel : {groupTabs().AllPanel()->m_hWnd, GroupPanel(1).m_hWnd, GroupPanel(2).m_hWnd}) {
    RECT rect{};
    GetWindowRect(panel, &rect);
    MapWindowPoints(nullptr, groupTabs().Control(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(EqualRect(&rect, &page));
  }
  // The list grows with its panel; the sort button stays where it was.
  const SIZE panelAfter = size(groupTabs().AllPanel()->m_hWnd);
  EXPECT_EQ(panelAfter.cx - panelBefore.cx, 300);
  EXPECT_EQ(panelAfter.cy - panelBefore.cy, 100);
  EXPECT_EQ(size(list).cx - listBefore.cx, 300);
  EXPECT_EQ(size(list).cy - listBefore.cy, 100);
  RECT sortAfter{};
  GetWindowRect(sort, &sortAfter);
  MapWindowPoints(nullptr, groupTabs().AllPanel()->m_hWnd, reinterpret_cast<POINT*>(&sortAfter), 2);
  EXPECT_TRUE(EqualRect(&sortBefore, &sortAfter));
}

TEST_F(MainWindowTabs, AddedGroupGetsAHiddenTabAndPanelAndNewContactsGoToBothPanels) {
  WriteData();
  Start();
  ASSERT_TRUE(engine().groups->Add(L"Club", L"", Days, 3));
  const auto tabs = Tabs(groupTabs().Control());
  ASSERT_EQ(tabs.size(), 4u);
  EXPECT_EQ(tabs[3].text, L"Club");
  EXPECT_EQ(tabs[3].id, 3);
  EXPECT_EQ(TabCtrl_GetCurSel(groupTabs().Control()), 0) << "the new tab is not selected";
  DlgGroupEntry& club = GroupPanel(3);
  EXPECT_FALSE(IsWindowVisible(club.m_hWnd));

  engine().contacts->Add(L"Fay", L"", Days, 7, platform::Now(), L"", 3);
  EXPECT_EQ(RowIds(club), (std::vector<int>{6}));
  EXPECT_EQ(RowIds(*groupTabs().AllPanel()).back(), 6);
  EXPECT_EQ(RowIds(GroupPanel(1)), (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(session().SaveCount(), 0) << "the sender of an addition saves";
}

TEST_F(MainWindowTabs, TabCaptionsAreCutToTheirBuffer) {
  const std::wstring longName(1000, L'x');
  {
    Engine engine;
    engine.groups->Add(longName, L"", Days, 1);
    ASSERT_TRUE(engine.Save());
  }
  Start();
  const auto tabs = Tabs(groupTabs().Control());
  ASSERT_EQ(tabs.size(), 2u);
  EXPECT_EQ(tabs[1].text, std::wstring(599, L'x'));

  EXPECT_EQ(FitTabText(L"abc", 4), L"abc");
  EXPECT_EQ(FitTabText(L"abcd", 4), L"abc");
  EXPECT_EQ(FitTabText(L"", 1), L"");
  EXPECT_EQ(FitTabText(L"abc", 0), L"");
  // A character outside the basic plane is never split in half.
  EXPECT_EQ(FitTabText(L"ab\xD83D\xDE00z", 4), L"ab");
  EXPECT_EQ(FitTabText(L"ab\xD83D\xDE00z", 5), L"ab\xD83D\xDE00");
}

// The four data files' bytes, by name.
std::vector<std::string> DataFileBytes() {
  std::vector<std::string> bytes;
  for (const wchar_t* name : {L"groups.dat", L"contacts.dat", L"options.dat", L"journal.dat"}) {
    std::ifstream file(SettingsFolder() / name, std::ios::binary);
    bytes.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return bytes;
}

TEST_F(MainWindowTabs, RemovingAGroupRemovesItsContactsPanelAndTabInOnePassAndSavesOnceWhatOneByOneWouldLeave) {
  WriteData();
  const fs::path start = SettingsFolder().parent_path() / L"settings-start";
  fs::remove_all(start);
  fs::copy(SettingsFolder(), start, fs::copy_options::recursive);
  Start();
  const HWND friendsWindow = GroupPanel(1).m_hWnd;
  groupTabs().AllPanel()->Select(3);  // Cid, who goes
  int before = session().SaveCount();

  // What the delete-group command does: remove, then save.
  ASSERT_TRUE(engine().groups->Remove(1));
  session().SaveAll();
  Pump();

  EXPECT_EQ(session().SaveCount() - before, 1);
  EXPECT_FALSE(IsWindow(friendsWindow));
  GroupEntriesWindowManager::Panel gone;
  EXPECT_FALSE(groupTabs().Panels().Find(1, gone));
  const auto tabs = Tabs(groupTabs().Control());
  ASSERT_EQ(tabs.size(), 2u);
  EXPECT_EQ(tabs[1].id, 2);
  GroupEntryListView& all = groupTabs().AllPanel()->List();
  EXPECT_EQ(RowIds(*groupTabs().AllPanel()), (std::vector<int>{2, 4}));
  EXPECT_EQ(all.GetNextItem(-1, LVNI_SELECTED), -1) << "the selected row went";
  EXPECT_EQ(RowIds(GroupPanel(2)), (std::vector<int>{2}));
  EXPECT_EQ(SavedContactIds(), (std::vector<int>{2, 4}));
  EXPECT_EQ(groupTabs().Panels().ShownId(), -2) << "another tab was selected: it stays";
  const std::vector<std::string> inOnePass = DataFileBytes();

  // The same data, its contacts removed one by one before the group.
  DestroyWindow(window_->m_hWnd);
  Pump();
  fs::remove_all(SettingsFolder());
  fs::copy(start, SettingsFolder(), fs::copy_options::recursive);
  fs::remove_all(start);
  Start();
  groupTabs().AllPanel()->Select(2);  // Bob, who stays
  for (int id : {1, 3, 5}) ASSERT_TRUE(engine().contacts->Remove(id));
  ASSERT_TRUE(engine().groups->Remove(1));
  session().SaveAll();
  Pump();
  EXPECT_EQ(RowIds(*groupTabs().AllPanel()), (std::vector<int>{2, 4}));
  EXPECT_EQ(DataFileBytes(), inOnePass);
  EXPECT_EQ(engine().contacts->lastId, 5) << "ids are never given again";
}

TEST_F(MainWindowTabs, RemovingAGroupKeepsTheSelectionOfAContactThatStays) {
  WriteData();
  Start();
  GroupEntryListView& all = groupTabs().AllPanel()->List();
  groupTabs().AllPanel()->Select(4);  // Dee, row 3
  ASSERT_TRUE(engine().groups->Remove(1));
  EXPECT_EQ(RowIds(*groupTabs().AllPanel()), (std::vector<int>{2, 4}));
  EXPECT_EQ(all.GetNextItem(-1, LVNI_SELECTED), 1);
  EXPECT_EQ(all.GetNextItem(-1, LVNI_FOCUSED), 1);
}

TEST_F(MainWindowTabs, RemovingTheSelectedGroupSelectsAllAndAnotherKeepsTheSelection) {
  WriteData();
  {
    Engine engine;
    engine.Load();
    engine.groups->Add(L"Club", L"", Days, 3);
    ASSERT_TRUE(engine.Save());
  }
  HWND window = Start();
  ShowWindow(window, SW_SHOWNA);

  SelectTab(3);                             // Club
  ASSERT_TRUE(engine().groups->Remove(1));  // Friends, before it
  EXPECT_EQ(Tabs(groupTabs().Control())[static_cast<size_t>(TabCtrl_GetCurSel(groupTabs().Control()))].id, 3);
  EXPECT_EQ(groupTabs().Panels().ShownId(), 3);
  EXPECT_TRUE(IsWindowVisible(GroupPanel(3).m_hWnd));

  ASSERT_TRUE(engine().groups->Remove(3));
  EXPECT_EQ(TabCtrl_GetCurSel(groupTabs().Control()), 0);
  EXPECT_EQ(groupTabs().Panels().ShownId(), -2);
  EXPECT_TRUE(IsWindowVisible(groupTabs().AllPanel()->m_hWnd));
  EXPECT_EQ(TabCtrl_GetItemCount(groupTabs().Control()), 2);
}

TEST_F(MainWindowTabs, PanelCommandsWithoutASelectedRowDoNothing) {
  WriteData();
  Start();
  test::MessageBoxWatch watch(IDYES);
  DlgGroupEntry& all = *groupTabs().AllPanel();
  for (int id = ID_CONTACT_FIRST; id <= ID_CONTACT_LAST; ++id) {
    if (id >= ID_SORT_NONE && id <= ID_SORT_PRIORITY) continue;
    SendMessageW(all.m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  }
  NMHDR doubleClick{all.List(), IDC_CONTACT_LIST, static_cast<UINT>(NM_DBLCLK)};
  SendMessageW(all.m_hWnd, WM_NOTIFY, IDC_CONTACT_LIST, reinterpret_cast<LPARAM>(&doubleClick));
  Pump();
  EXPECT_TRUE(watch.texts().empty());
  EXPECT_EQ(engine().contacts->items.size(), 5u);
  EXPECT_EQ(all.List().GetItemCount(), 5);
  EXPECT_EQ(session().SaveCount(), 0);
}

TEST_F(MainWindowTabs, DeletingAContactAsksByNameAndItLeavesBothPanelsAndTheFile) {
  WriteData();
  Start();
  DlgGroupEntry& friends = GroupPanel(1);
  friends.List().SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);  // Cid

  {
    test::MessageBoxWatch no(IDNO);
    SendMessageW(friends.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CONTACT_DELETE, 0), 0);
    Pump();
    ASSERT_EQ(no.texts().size(), 1u);
    EXPECT_EQ(RowIds(friends), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(session().SaveCount(), 0);
  }

  test::MessageBoxWatch yes(IDYES);
  SendMessageW(friends.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CONTACT_DELETE, 0), 0);
  ASSERT_EQ(yes.texts().size(), 1u);
  EXPECT_EQ(yes.texts()[0], L"Delete contact: Cid?");
  EXPECT_EQ(yes.captions()[0], L"Delete contact?");
  EXPECT_EQ(RowIds(friends), (std::vector<int>{1, 5}));
  EXPECT_EQ(RowIds(*groupTabs().AllPanel()), (std::vector<int>{1, 2, 4, 5}));
  Contacts::Item found;
  EXPECT_FALSE(engine().contacts->Find(3, found));

  // The save runs once the collection has let the contact go.
  Pump();
  EXPECT_EQ(session().SaveCount(), 1);
  EXPECT_EQ(SavedContactIds(), (std::vector<int>{1, 2, 4, 5}));
}

TEST_F(MainWindowTabs, MovingAContactToAnotherGroupMovesItsRowBetweenGroupPanels) {
  WriteData();
  Start();
  DlgGroupEntry& family = GroupPanel(1);
  DlgGroupEntry& friends = GroupPanel(2);
  Contacts::Item ann;
  ASSERT_TRUE(engine().contacts->Find(1, ann));
  ann->Update(L"Ann", L"", Days, 7, ann->lastContacted, L"", 2);
  EXPECT_EQ(RowIds(family), (std::vector<int>{3, 5}));
  EXPECT_EQ(RowIds(friends), (std::vector<int>{2, 1}));
  EXPECT_EQ(RowIds(*groupTabs().AllPanel()), (std::vector<int>{2, 3, 4, 5, 1}));
  Pump();
  EXPECT_EQ(SavedContactIds(), (std::vector<int>{1, 2, 3, 4, 5})) << "moving loses nobody";
}

TEST_F(MainWindowTabs, MarkingShowsUndoInBothPanelsAndRevertingHidesItEachWithASave) {
  WriteData();
  Start();
  Contacts::Item cid;
  ASSERT_TRUE(engine().contacts->Find(3, cid));
  const Time before = cid->lastContacted;
  DlgGroupEntry& all = *groupTabs().AllPanel();
  DlgGroupEntry& friends = GroupPanel(1);

  ASSERT_TRUE(cid->MarkContacted(before + 86400));
  EXPECT_NE(all.List().UndoButton(3), nullptr);
  EXPECT_NE(friends.List().UndoButton(3), nullptr);
  EXPECT_EQ(GroupPanel(2).List().UndoButton(3), nullptr);
  EXPECT_EQ(all.List().UndoButton(1), nullptr);
  EXPECT_EQ(session().SaveCount(), 0) << "saved once the tick is on screen";
  scheduler_.Advance(std::chrono::milliseconds(0));
  EXPECT_EQ(session().SaveCount(), 1);
  session().WaitForWriter();
  {
    Engine saved;
    saved.Load();
    Contacts::Item reloaded;
    ASSERT_TRUE(saved.contacts->Find(3, reloaded));
    EXPECT_EQ(reloaded->lastContacted, before + 86400);
  }

  cid->UndoContacted();
  EXPECT_EQ(all.List().UndoButton(3), nullptr);
  EXPECT_EQ(friends.List().UndoButton(3), nullptr);
  scheduler_.Advance(std::chrono::milliseconds(0));
  EXPECT_EQ(session().SaveCount(), 2);

  // The panels answer for contacts they do not list.
  Contacts::Item bob;
  ASSERT_TRUE(engine().contacts->Find(2, bob));
  EXPECT_FALSE(friends.ShowUndo(*bob));
  EXPECT_FALSE(friends.HideUndo(*bob));
  EXPECT_FALSE(friends.RemoveContact(*bob));
}

// A group's panel gets its window when its tab is first selected, with the
// rows it would have had from the start, and a tick made meanwhile in "All"
// can be undone there too.
TEST_F(MainWindowTabs, AGroupsPanelIsMadeWhenItsTabIsFirstSelected) {
  WriteData();
  Start();
  HWND friendsWindow = nullptr;
  ASSERT_TRUE(groupTabs().Panels().FindPanelWindow(1, friendsWindow));
  EXPECT_EQ(friendsWindow, nullptr);
  Contacts::Item cid;
  ASSERT_TRUE(engine().contacts->Find(3, cid));
  ASSERT_TRUE(cid->MarkContacted(cid->lastContacted + 86400));
  ASSERT_TRUE(engine().contacts->Add(L"Fay", L"", Days, 7, platform::Now(), L"", 1));
  const int fay = engine().contacts->items.back()->id;

  SelectTab(1);
  ASSERT_TRUE(groupTabs().Panels().FindPanelWindow(1, friendsWindow));
  ASSERT_TRUE(friendsWindow && IsWindow(friendsWindow));
  EXPECT_EQ(groupTabs().Panels().ShownWindow(), friendsWindow);
  EXPECT_TRUE(IsWindowVisible(friendsWindow) || !IsWindowVisible(window_->m_hWnd));
  DlgGroupEntry* friends = groupTabs().GroupPanel(1);
  ASSERT_NE(friends, nullptr);
  EXPECT_EQ(friends->m_hWnd, friendsWindow);
  EXPECT_EQ(RowIds(*friends), (std::vector<int>{1, 3, 5, fay}));
  EXPECT_NE(friends->List().UndoButton(3), nullptr);
  EXPECT_EQ(friends->List().UndoButton(1), nullptr);
  RECT page{};
  GetWindowRect(friendsWindow, &page);
  RECT allPage{};
  GetWindowRect(groupTabs().AllPanel()->m_hWnd, &allPage);
  EXPECT_TRUE(EqualRect(&page, &allPage)) << "it fills the same page as the others";

  // From then on it follows changes like any panel, and selecting it again
  // makes nothing new.
  cid->UndoContacted();
  EXPECT_EQ(friends->List().UndoButton(3), nullptr);
  SelectTab(0);
  SelectTab(1);
  EXPECT_EQ(groupTabs().GroupPanel(1)->m_hWnd, friendsWindow);
  EXPECT_EQ(RowIds(*friends), (std::vector<int>{1, 3, 5, fay}));
  HWND workWindow = nullptr;
  ASSERT_TRUE(groupTabs().Panels().FindPanelWindow(2, workWindow));
  EXPECT_EQ(workWindow, nullptr) << "a tab never selected has no window";
}

TEST_F(MainWindowTabs, SortMenuCommandsOrderThePanelAndSetTheCaption) {
  {
    Engine engine;
    engine.groups->Add(L"G", L"", Days, 7);
    const Time now = platform::Now();
    engine.contacts->Add(L"zed", L"", Days, 7, now, L"", 1);
    engine.contacts->Add(L"Amy", L"", Days, 7, now - 6 * 86400, L"", 1);
    engine.contacts->Add(L"max", L"", Days, 7, now - 9 * 86400, L"", 1);
    ASSERT_TRUE(engine.Save());
  }
  Start();
  DlgGroupEntry& panel = GroupPanel(1);
  const HWND button = GetDlgItem(panel.m_hWnd, IDC_SORT);
  auto caption = [button] {
    wchar_t text[64] = {};
    GetWindowTextW(button, text, 64);
    return std::wstring(text);
  };
  EXPECT_EQ(caption(), L"None");
  EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

  SendMessageW(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_SORT_NAME, 0), 0);
  EXPECT_EQ(caption(), L"Name");
  EXPECT_EQ(RowIds(panel), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(RowIds(*groupTabs().AllPanel()), (std::vector<int>{1, 2, 3})) << "each panel keeps its own order";

  SendMessageW(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_SORT_CONTACT_IN, 0), 0);
  EXPECT_EQ(caption(), L"Contact in");
  EXPECT_EQ(RowIds(panel), (std::vector<int>{3, 2, 1}));

  engine().contacts->Add(L"Abe", L"", Days, 7, platform::Now(), L"", 1);
  EXPECT_EQ(RowIds(panel), (std::vector<int>{3, 2, 1, 4})) << "appended, not sorted in";

  SendMessageW(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_SORT_PRIORITY, 0), 0);
  EXPECT_EQ(caption(), L"Priority");
  SendMessageW(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_SORT_NONE, 0), 0);
  EXPECT_EQ(caption(), L"None");
  EXPECT_EQ(RowIds(panel), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(MainWindowTabs, TearDownDestroysEveryPanelWindow) {
  WriteData();
  HWND window = Start();
  const HWND all = groupTabs().AllPanel()->m_hWnd;
  const HWND friends = GroupPanel(1).m_hWnd;
  const HWND work = GroupPanel(2).m_hWnd;
  // Tick boxes come with their row's first paint.
  GroupEntryListView& list = groupTabs().AllPanel()->List();
  EXPECT_EQ(list.TickBox(1), nullptr);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 600, 600);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const HWND tick = list.TickBox(1);
  EXPECT_TRUE(IsWindow(tick));
  DestroyWindow(window);
  for (HWND gone : {all, friends, work, tick}) EXPECT_FALSE(IsWindow(gone));
}

}  // namespace

namespace {

// What a panel's popup menu held while it was open; the menu is closed at once.
struct MenuSeen {
  std::vector<UINT> ids;
  std::vector<std::wstring> texts;
  std::vector<bool> ownerDrawn;
  int differingIconPixels = 0;  // between the "&Open" and "&Delete" icon cells
  int inkedIconPixels = 0;
};

// The icon column of a menu item as the panel draws it.
std::vector<COLORREF> IconCell(HWND panel, HMENU menu, UINT id) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 24);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_MENU;
  draw.itemID = id;
  draw.itemAction = ODA_DRAWENTIRE;
  draw.hwndItem = reinterpret_cast<HWND>(menu);
  draw.hDC = dc;
  draw.rcItem = RECT{0, 0, 200, 24};
  SendMessageW(panel, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
  std::vector<COLORREF> pixels;
  for (int y = 2; y < 22; ++y)
    for (int x = 2; x < 22; ++x) pixels.push_back(GetPixel(dc, x, y));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

LRESULT CALLBACK WatchMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
    auto* seen = reinterpret_cast<MenuSeen*>(data);
    HWND popup = FindWindowW(L"#32768", nullptr);
    HMENU menu = popup ? reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) : nullptr;
    if (menu && seen->ids.empty()) {
      for (int index = 0; index < GetMenuItemCount(menu); ++index) {
        wchar_t text[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoW(menu, static_cast<UINT>(index), TRUE, &info);
        GetMenuStringW(menu, static_cast<UINT>(index), text, 64, MF_BYPOSITION);
        seen->ids.push_back(info.wID);
        seen->texts.push_back(text);
        seen->ownerDrawn.push_back((info.fType & MFT_OWNERDRAW) != 0);
      }
      const std::vector<COLORREF> open = IconCell(window, menu, ID_CONTACT_OPEN);
      const std::vector<COLORREF> remove = IconCell(window, menu, ID_CONTACT_DELETE);
      for (std::size_t i = 0; i < open.size(); ++i) {
        if (open[i] != remove[i]) ++seen->differingIconPixels;
        if (GetRValue(remove[i]) > 150 && GetGValue(remove[i]) < 90 && GetBValue(remove[i]) < 90)
          ++seen->inkedIconPixels;
      }
    }
    EndMenu();
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void CALLBACK EndMenuLater(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

MenuSeen OpenMenu(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  MenuSeen seen;
  SetWindowSubclass(panel, &WatchMenu, 1, reinterpret_cast<DWORD_PTR>(&seen));
  const UINT_PTR timer = SetTimer(nullptr, 0, 5000, &EndMenuLater);  // never hang
  SendMessageW(panel, message, wParam, lParam);
  KillTimer(nullptr, timer);
  RemoveWindowSubclass(panel, &WatchMenu, 1);
  return seen;
}

}  // namespace

TEST_F(MainWindowTabs, ContextMenuOffersOpenAndDeleteWithTheirPicturesAndTheSortButtonTheFourOrders) {
  WriteData();
  HWND window = Start();
  ShowWindow(window, SW_SHOWNA);
  DlgGroupEntry& all = *groupTabs().AllPanel();
  EXPECT_EQ(ImageList_GetImageCount(all.MenuImages()), 2);

  NMHDR rightClick{all.List(), IDC_CONTACT_LIST, static_cast<UINT>(NM_RCLICK)};
  MenuSeen context = OpenMenu(all.m_hWnd, WM_NOTIFY, IDC_CONTACT_LIST, reinterpret_cast<LPARAM>(&rightClick));
  ASSERT_EQ(context.ids.size(), 9u);
  // "Remind Me Later" and "Move to Group" open menus of their own: their ids are those menus.
  context.ids[5] = 0;
  context.ids[6] = 0;
  EXPECT_EQ(context.ids, (std::vector<UINT>{ID_CONTACT_CONTACTED, 0, ID_CONTACT_OPEN, ID_CONTACT_LOG,
                                            ID_CONTACT_HISTORY, 0, 0, 0, ID_CONTACT_DELETE}));
  EXPECT_EQ(context.texts, (std::vector<std::wstring>{L"&Contacted", L"", L"&Open", L"&Log Contact...", L"&History...",
                                                      L"&Remind Me Later", L"&Move to Group", L"", L"&Delete"}));
  EXPECT_EQ(context.ownerDrawn, std::vector<bool>(9, true));
  EXPECT_GT(context.differingIconPixels, 20) << "each item shows its own picture";
  EXPECT_GT(context.inkedIconPixels, 10) << "the red cross of Delete";

  const MenuSeen sort = OpenMenu(all.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SORT, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(all.m_hWnd, IDC_SORT)));
  EXPECT_EQ(sort.ids, (std::vector<UINT>{ID_SORT_NONE, ID_SORT_NAME, ID_SORT_CONTACT_IN, ID_SORT_PRIORITY}));
  EXPECT_EQ(sort.texts, (std::vector<std::wstring>{L"&None", L"&Name", L"&Contact in", L"&Priority"}));
  EXPECT_EQ(all.CurrentMenu(), nullptr) << "the menu loop is over";
}
