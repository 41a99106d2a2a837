#include <chrono>
#include <set>

#include "lists/row_windows.h"
#include "tests/win/framework/pixels.h"
#include "tests/win/lists/list_fixture.h"

namespace test {
namespace {

using namespace std::chrono_literals;

class RowControls : public ListFixture {
 protected:
  // Child windows are placed by the paint of their row; a hidden list paints
  // only when asked.
  void PaintAll() {
    Canvas canvas(kListWidth, kListHeight, RGB(255, 255, 255));
    list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  }

  // What a mouse click on the child does, on a window that has a size.
  static void Click(HWND child) {
    RECT rect{};
    GetClientRect(child, &rect);
    ASSERT_GT(rect.right, 0) << "not placed";
    SendMessageW(child, BM_CLICK, 0, 0);
  }

  std::vector<MessageId> Received() const {
    std::vector<MessageId> ids;
    for (const RecordedMessage& message : recorder.messages()) ids.push_back(message.message);
    return ids;
  }
};

TEST_F(RowControls, TickMarksTheContactShowsUndoAndClearsItselfASecondLater) {
  AddContact(L"Alice", 7, 2);
  Contact& bob = AddContact(L"Bob", 7, 5);
  const Time before = bob.lastContacted;
  PaintAll();
  recorder.Clear();
  now = kNow + 77;

  HWND tick = list.TickBox(bob.id);
  ASSERT_TRUE(tick);
  EXPECT_EQ(list.UndoButton(bob.id), nullptr);
  Click(tick);
  EXPECT_EQ(bob.lastContacted, kNow + 77);
  EXPECT_EQ(bob.previousContacted, before);
  EXPECT_EQ(Received(), (std::vector<MessageId>{WM_CONTACT_UPDATED}));
  EXPECT_TRUE(list.UndoButton(bob.id));
  EXPECT_EQ(SendMessageW(tick, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(list.UndoButton(1), nullptr);  // only the ticked row

  scheduler.Advance(999ms);
  EXPECT_EQ(SendMessageW(tick, BM_GETCHECK, 0, 0), BST_CHECKED);
  scheduler.Advance(1ms);
  EXPECT_EQ(SendMessageW(tick, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(scheduler.Pending(), 0u);
  // The un-tick touches no record.
  EXPECT_EQ(bob.lastContacted, kNow + 77);
  EXPECT_EQ(Received().size(), 1u);
}

TEST_F(RowControls, ClickingAgainUnticksAtOnceAndMarksAgain) {
  Contact& alice = AddContact(L"Alice", 7, 5);
  PaintAll();
  HWND tick = list.TickBox(alice.id);
  Click(tick);
  now += 10;
  Click(tick);
  EXPECT_EQ(SendMessageW(tick, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(alice.lastContacted, kNow + 10);
  EXPECT_EQ(alice.previousContacted, kNow);
  // Both deferred un-ticks find it unchecked and leave it so.
  scheduler.Advance(1500ms);
  EXPECT_EQ(SendMessageW(tick, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// The un-tick a second after a tick goes to the box only while it still
// serves the ticked row: a box handed on to another row, which was ticked
// there since, keeps that tick for its own full second.
TEST_F(RowControls, AnUntickDueForABoxHandedToAnotherRowLeavesItsNewTick) {
  contacts->notifyWindow = nullptr;
  for (int i = 0; i < 100; ++i) {
    contacts->Add(L"Contact " + std::to_wstring(i), L"", Days, 7, now - 2 * kDay, L"", -1);
    list.InsertContactRow(*contacts->items.back());
  }
  PaintAll();
  HWND box = list.TickBox(contacts->items[0]->id);
  ASSERT_TRUE(box);
  Click(box);
  ASSERT_EQ(scheduler.Pending(), 1u);

  list.SendMessage(LVM_ENSUREVISIBLE, 60, FALSE);
  PaintAll();
  EXPECT_EQ(list.TickBox(contacts->items[0]->id), nullptr);
  Contact* taker = nullptr;
  for (const auto& contact : contacts->items)
    if (list.TickBox(contact->id) == box) taker = contact.get();
  ASSERT_NE(taker, nullptr) << "the rows coming into sight take the boxes of those that left";
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

  scheduler.Advance(500ms);
  Click(box);
  EXPECT_EQ(taker->lastContacted, now);
  scheduler.Advance(500ms);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED) << "not the first row's un-tick";
  scheduler.Advance(500ms);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(scheduler.Pending(), 0u);
}

TEST_F(RowControls, UnticksStillPendingGoWithTheList) {
  Contact& alice = AddContact(L"Alice", 7, 5);
  PaintAll();
  Click(list.TickBox(alice.id));
  Click(list.TickBox(alice.id));
  EXPECT_EQ(scheduler.Pending(), 2u);
  host.DestroyWindow();
  EXPECT_EQ(scheduler.Pending(), 0u);
}

TEST_F(RowControls, UndoLinkRevertsAndHideUndoRemovesIt) {
  Contact& alice = AddContact(L"Alice", 7, 5);
  const Time original = alice.lastContacted;
  PaintAll();
  Click(list.TickBox(alice.id));
  PaintAll();
  HWND undo = list.UndoButton(alice.id);
  ASSERT_TRUE(undo);
  recorder.Clear();

  Click(undo);
  EXPECT_EQ(alice.lastContacted, original);
  EXPECT_EQ(Received(), (std::vector<MessageId>{WM_CONTACT_REVERTED}));
  EXPECT_FALSE(IsWindow(undo));
  EXPECT_EQ(list.UndoButton(alice.id), nullptr);

  // The entry stays after hiding: hiding again still finds it.
  EXPECT_TRUE(list.HideUndo(alice));
  // A second show replaces the link with a fresh window.
  ASSERT_TRUE(list.ShowUndo(alice));
  HWND first = list.UndoButton(alice.id);
  ASSERT_TRUE(list.ShowUndo(alice));
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(list.UndoButton(alice.id)));
}

TEST_F(RowControls, ShowAndHideAnswerFalseWithoutARowOrLink) {
  Contact& listed = AddContact(L"Listed", 7, 5);
  contacts->notifyWindow = nullptr;  // the next contact gets no row
  Contact& unlisted = AddContact(L"Unlisted", 7, 5);
  EXPECT_FALSE(list.ShowUndo(unlisted));
  EXPECT_FALSE(list.HideUndo(unlisted));
  EXPECT_FALSE(list.HideUndo(listed));  // a row, but no link ever shown
  EXPECT_EQ(list.FindRow(unlisted.id), -1);
  EXPECT_EQ(list.FindRow(listed.id), 0);
}

TEST(RowWindows, AnUndoLinkWhoseWindowCannotBeMadeIsNoLink) {
  lists::RowWindows windows;  // no parent list: a child window cannot be made
  EXPECT_EQ(windows.ShowUndo(7), nullptr);
  EXPECT_FALSE(windows.HasUndo(7));
}

TEST_F(RowControls, ClicksOnContactsNoLongerInTheCollectionDoNothing) {
  Contact& alice = AddContact(L"Alice", 7, 5);
  PaintAll();
  // Still listed, but gone from the collection the list looks contacts up in.
  Contacts::Item keep = contacts->items.front();
  contacts->items.clear();
  const Time before = alice.lastContacted;
  recorder.Clear();
  Click(list.TickBox(alice.id));
  EXPECT_EQ(alice.lastContacted, before);
  EXPECT_TRUE(recorder.messages().empty());
  list.DeleteItem(0);
}

TEST_F(RowControls, DeselectingARowDropsItsUndoLink) {
  Contact& alice = AddContact(L"Alice", 7, 5);
  Contact& bob = AddContact(L"Bob", 7, 5);
  Contact& carl = AddContact(L"Carl", 7, 5);
  list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ASSERT_TRUE(list.ShowUndo(alice));
  ASSERT_TRUE(list.ShowUndo(carl));
  HWND aliceUndo = list.UndoButton(alice.id);

  // Selecting another row, as a plain click does: every other row loses the selection.
  list.SetItemState(-1, 0, LVIS_SELECTED);
  list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_FALSE(IsWindow(aliceUndo));
  EXPECT_EQ(list.UndoButton(alice.id), nullptr);
  // A row that was never selected keeps its link.
  EXPECT_TRUE(list.UndoButton(carl.id));
  ASSERT_TRUE(list.ShowUndo(bob));
  EXPECT_TRUE(list.UndoButton(bob.id));  // selected: selection keeps it
}

TEST_F(RowControls, DeletingARowDestroysItsChildWindows) {
  Contact& alice = AddContact(L"Alice", 7, 5);
  Contact& bob = AddContact(L"Bob", 7, 5);
  ASSERT_TRUE(list.ShowUndo(alice));
  PaintAll();
  HWND tick = list.TickBox(alice.id);
  ASSERT_TRUE(tick);
  HWND undo = list.UndoButton(alice.id);
  HWND bobTick = list.TickBox(bob.id);

  ASSERT_TRUE(contacts->Remove(alice.id));  // the receiver deletes the row
  EXPECT_EQ(list.GetItemCount(), 1);
  EXPECT_FALSE(IsWindow(tick));
  EXPECT_FALSE(IsWindow(undo));
  EXPECT_EQ(list.TickBox(1), nullptr);
  EXPECT_TRUE(IsWindow(bobTick));

  // Destroying the list takes the remaining ones with it.
  ASSERT_TRUE(list.ShowUndo(bob));
  HWND bobUndo = list.UndoButton(bob.id);
  host.DestroyWindow();
  EXPECT_FALSE(IsWindow(bobTick));
  EXPECT_FALSE(IsWindow(bobUndo));
}

TEST_F(RowControls, RowsBeyondTheEightHundredthStillTickAndIdsCollideWithNothing) {
  contacts->notifyWindow = nullptr;
  for (int i = 0; i < 820; ++i) {
    contacts->Add(L"Contact " + std::to_wstring(i), L"", Days, 7, now - 2 * kDay, L"", -1);
    list.InsertContactRow(*contacts->items.back());
  }
  contacts->notifyWindow = recorder.window();
  for (const auto& contact : contacts->items) contact->notifyWindow = recorder.window();
  Contact& late = *contacts->items[810];
  list.SendMessage(LVM_ENSUREVISIBLE, 810, FALSE);
  PaintAll();
  RECT row{};
  list.GetItemRect(810, &row, LVIR_BOUNDS);
  ASSERT_GE(row.top, 0);
  Click(list.TickBox(late.id));
  EXPECT_EQ(late.lastContacted, now);
  ASSERT_TRUE(list.UndoButton(late.id));
  PaintAll();
  Click(list.UndoButton(late.id));
  EXPECT_EQ(late.lastContacted, now - 2 * kDay);

  // Ids are unique and clear of every id the program's windows use, and no
  // notification of a row's child reaches the panel.
  std::set<int> ids;
  size_t boxes = 0;
  for (const auto& contact : contacts->items)
    if (HWND box = list.TickBox(contact->id)) {
      ids.insert(GetDlgCtrlID(box));
      ++boxes;
    }
  EXPECT_GT(boxes, 0u);
  EXPECT_EQ(ids.size(), boxes);
  EXPECT_GE(*ids.begin(), lists::RowWindows::kFirstTickId);
  EXPECT_LE(*ids.rbegin(), lists::RowWindows::kLastTickId);
  ASSERT_TRUE(list.ShowUndo(late));
  HWND undo = list.UndoButton(late.id);
  EXPECT_GE(GetDlgCtrlID(undo), lists::RowWindows::kFirstUndoId);
  host.commands.clear();
  SendMessageW(list, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(undo), BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(undo));
  HWND tick = list.TickBox(late.id);
  SendMessageW(list, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(tick), BN_SETFOCUS), reinterpret_cast<LPARAM>(tick));
  EXPECT_TRUE(host.commands.empty());
}

// Scrolling by a row or two moves the list's pixels but not its child windows;
// on screen, after each small scroll, every row in sight has its own box and
// no box sits on another row. The windows of rows that left the sight are
// taken by the rows that came into it.
TEST_F(RowControls, SmallScrollsKeepEveryBoxOnItsOwnRow) {
  contacts->notifyWindow = nullptr;
  for (int i = 0; i < 200; ++i) {
    contacts->Add(L"Contact " + std::to_wstring(i), L"", Days, 7, now - 2 * kDay, L"", -1);
    list.InsertContactRow(*contacts->items.back());
  }
  host.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  list.UpdateWindow();
  std::set<HWND> seen;
  int created = 0;
  auto checkRows = [&](const char* step) {
    RECT client{};
    GetClientRect(list, &client);
    for (int row = 0; row < 200; ++row) {
      HWND box = list.TickBox(contacts->items[static_cast<size_t>(row)]->id);
      RECT rowRect{};
      list.GetItemRect(row, &rowRect, LVIR_BOUNDS);
      if (rowRect.bottom > 0 && rowRect.bottom <= client.bottom) {
        ASSERT_TRUE(box) << step << ", row " << row;
      }
      if (!box) continue;
      created += seen.insert(box).second;
      RECT boxRect{};
      GetWindowRect(box, &boxRect);
      MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&boxRect), 2);
      EXPECT_EQ(boxRect.top, rowRect.bottom - 20) << step << ", row " << row;
    }
  };
  checkRows("first paint");
  const int firstBoxes = created;
  for (int step = 0; step < 12; ++step) {
    const int rowHeight = list.RowMetrics().rowHeight;
    list.SendMessage(LVM_SCROLL, 0, step % 3 == 2 ? 2 * rowHeight : rowHeight);
    list.UpdateWindow();
    checkRows("down");
  }
  list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
  list.UpdateWindow();
  checkRows("line up");
  EXPECT_EQ(created, firstBoxes) << "scrolling reuses the boxes of rows that left the sight";
}

// A tick box that asks the list for what lies behind it (a themed box is
// partly transparent) gets its own row's background, not the list's pixels
// from the top left corner.
TEST_F(RowControls, ATickBoxAskingForItsBackgroundGetsItsRowsColour) {
  AddContact(L"Alice", 7, 5);
  AddContact(L"Bob", 7, 5);
  host.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  list.UpdateWindow();
  for (int row = 0; row < 2; ++row) {
    HWND box = list.TickBox(contacts->items[static_cast<size_t>(row)]->id);
    ASSERT_TRUE(box);
    HDC dc = GetDC(box);
    ASSERT_TRUE(dc);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT all{0, 0, 12, 12};
    FillRect(dc, &all, black);
    list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF expected = row == 0 ? lists::RowPainter::kSelectionColour : GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(GetPixel(dc, 5, 5), expected) << "row " << row;
    EXPECT_EQ(GetPixel(dc, 11, 11), expected) << "row " << row;
    ReleaseDC(box, dc);
  }
}

TEST_F(RowControls, ALongListHoldsTickBoxesOnlyAroundTheRowsInSight) {
  contacts->notifyWindow = nullptr;
  for (int i = 0; i < 600; ++i) {
    contacts->Add(L"Contact " + std::to_wstring(i), L"", Days, 7, now - 2 * kDay, L"", -1);
    list.InsertContactRow(*contacts->items.back());
  }
  for (const auto& contact : contacts->items) contact->notifyWindow = recorder.window();
  auto liveBoxes = [&] {
    int live = 0;
    for (const auto& contact : contacts->items) live += list.TickBox(contact->id) != nullptr;
    return live;
  };
  EXPECT_EQ(liveBoxes(), 0) << "no row painted yet";
  PaintAll();
  const int perPage = static_cast<int>(list.SendMessage(LVM_GETCOUNTPERPAGE));
  ASSERT_GT(perPage, 3);
  EXPECT_GE(liveBoxes(), perPage);

  // A ticked row scrolled away loses its box, which a row coming into sight
  // takes without the tick; the contact stays marked.
  Contact& first = *contacts->items[0];
  Click(list.TickBox(first.id));
  HWND firstBox = list.TickBox(first.id);
  ASSERT_EQ(SendMessageW(firstBox, BM_GETCHECK, 0, 0), BST_CHECKED);
  for (int top = perPage; top < 600; top += perPage) {
    list.SendMessage(LVM_ENSUREVISIBLE, std::min(599, top + perPage - 1), FALSE);
    PaintAll();
    EXPECT_LE(liveBoxes(), perPage + 2) << "at row " << top;
    EXPECT_EQ(list.TickBox(first.id), nullptr);
    if (IsWindow(firstBox)) {
      EXPECT_EQ(SendMessageW(firstBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    }
    // Every box there is sits on its own row, and every row in sight has one:
    // a box left behind on another row would mark the wrong person.
    for (int row = 0; row < 600; ++row) {
      HWND box = list.TickBox(contacts->items[static_cast<size_t>(row)]->id);
      RECT rowRect{};
      list.GetItemRect(row, &rowRect, LVIR_BOUNDS);
      RECT client{};
      GetClientRect(list, &client);
      const bool inSight = rowRect.bottom > 0 && rowRect.bottom <= client.bottom;
      if (inSight) {
        ASSERT_TRUE(box) << row;
      }
      if (!box) continue;
      RECT boxRect{};
      GetWindowRect(box, &boxRect);
      MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&boxRect), 2);
      EXPECT_EQ(boxRect.top, rowRect.bottom - 20) << row;
    }
  }
  EXPECT_EQ(first.lastContacted, now);

  // Back at the top the rows get boxes again, and they still tick.
  list.SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
  PaintAll();
  Contact& second = *contacts->items[1];
  now += 60;
  Click(list.TickBox(second.id));
  EXPECT_EQ(second.lastContacted, now);
}

}  // namespace
}  // namespace test
