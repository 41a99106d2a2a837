#include <string>
#include <vector>

#include "lists/row_painter.h"
#include "tests/win/framework/pixels.h"
#include "tests/win/lists/list_fixture.h"

namespace test {
namespace {

// The list driven as the user drives it: mouse messages carry their
// modifiers, keys read theirs from the thread's keyboard state.
class RowSelection : public ListFixture {
 protected:
  void SetUp() override {
    ListFixture::SetUp();
    for (const wchar_t* name : {L"Eva", L"Anna", L"Dora", L"Bert", L"Carl", L"Fred"}) AddContact(name, 7, 1);
    host.ShowWindow(SW_SHOWNA);
    list.SetFocus();
  }
  void TearDown() override {
    Hold(false, false);
    ListFixture::TearDown();
  }

  static void Hold(bool shift, bool control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  void Click(int row, WPARAM modifiers = 0) {
    RECT bounds{};
    ASSERT_TRUE(list.GetItemRect(row, &bounds, LVIR_BOUNDS));
    const LPARAM at = MAKELPARAM(bounds.left + 60, bounds.top + 10);
    Hold((modifiers & MK_SHIFT) != 0, (modifiers & MK_CONTROL) != 0);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | modifiers, at);
    list.SendMessage(WM_LBUTTONUP, modifiers, at);
    Hold(false, false);
  }
  void Key(WPARAM key, bool shift = false, bool control = false) {
    Hold(shift, control);
    list.SendMessage(WM_KEYDOWN, key, 1);
    list.SendMessage(WM_KEYUP, key, 0xC0000001);
    Hold(false, false);
  }
  // The control's own selection (what screen readers are told), and the store's.
  std::vector<int> ControlSelection() {
    std::vector<int> rows;
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED))
      rows.push_back(row);
    return rows;
  }
  std::vector<std::wstring> SelectedNames() {
    EXPECT_EQ(ControlSelection(), list.SelectedRows()) << "the control shows what the store keeps";
    std::vector<std::wstring> names;
    for (int row : list.SelectedRows()) names.push_back(list.RowContact(row)->name);
    return names;
  }
  using Names = std::vector<std::wstring>;
};

TEST_F(RowSelection, ClicksWithCtrlAndShiftAndTheKeysSelectSeveralRows) {
  Click(1);
  EXPECT_EQ(SelectedNames(), (Names{L"Anna"}));
  Click(3, MK_CONTROL);
  EXPECT_EQ(SelectedNames(), (Names{L"Anna", L"Bert"}));
  Click(1, MK_CONTROL);
  EXPECT_EQ(SelectedNames(), (Names{L"Bert"})) << "Ctrl+click takes one away again";
  Click(5, MK_SHIFT);
  EXPECT_EQ(SelectedNames(), (Names{L"Anna", L"Dora", L"Bert", L"Carl", L"Fred"})) << "from the last click on";
  Click(2);
  EXPECT_EQ(SelectedNames(), (Names{L"Dora"})) << "a plain click selects one row";

  Key(VK_DOWN, true);
  EXPECT_EQ(SelectedNames(), (Names{L"Dora", L"Bert"}));
  Key(VK_END, true);
  EXPECT_EQ(SelectedNames(), (Names{L"Dora", L"Bert", L"Carl", L"Fred"}));
  Key(VK_HOME, true);
  EXPECT_EQ(SelectedNames(), (Names{L"Eva", L"Anna", L"Dora"}));
  Key(VK_NEXT);
  EXPECT_EQ(SelectedNames(), (Names{L"Fred"})) << "Page Down without Shift moves a single selection";
  Key(VK_PRIOR, true);
  EXPECT_EQ(SelectedNames().size(), 6u);
  Key(VK_END);
  Key('A', false, true);
  EXPECT_EQ(SelectedNames().size(), 6u) << "Ctrl+A";
  EXPECT_EQ(list.SelectedCount(), 6);
  Key(VK_HOME);
  EXPECT_EQ(SelectedNames(), (Names{L"Eva"}));
}

TEST_F(RowSelection, TheSelectionStaysWithItsContactsThroughSortsAndFindsAndIsDrawn) {
  Click(1);
  Click(3, MK_CONTROL);  // Anna, Bert; Bert has the focus
  list.SortBy(SortMode::Name);
  EXPECT_EQ(RowNames(), (Names{L"Anna", L"Bert", L"Carl", L"Dora", L"Eva", L"Fred"}));
  EXPECT_EQ(SelectedNames(), (Names{L"Anna", L"Bert"}));
  EXPECT_EQ(list.RowContact(list.FocusedRow())->name, L"Bert");

  // Each selected row has the selection's background, the others the list's.
  Canvas canvas(kListWidth, kListHeight, RGB(255, 255, 255));
  list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  const int height = list.RowMetrics().rowHeight;
  for (int row = 0; row < 4; ++row)
    EXPECT_EQ(canvas.Pixel(kListWidth - 40, row * height + 5) == lists::RowPainter::kSelectionColour, row < 2) << row;

  // "a" keeps Anna, Carl, Dora and Eva: Bert leaves the selection for good.
  list.SetFilter(lists::RowFilter(L"a"));
  EXPECT_EQ(SelectedNames(), (Names{L"Anna"}));
  list.SetFilter(lists::RowFilter());
  EXPECT_EQ(SelectedNames(), (Names{L"Anna"}));

  // Ctrl+A, then a sort back to the order of creation: everyone stays selected.
  Key('A', false, true);
  list.SortBy(SortMode::None);
  EXPECT_EQ(SelectedNames().size(), 6u);
  list.SelectContacts({contacts->items[2]->id, contacts->items[5]->id});
  EXPECT_EQ(SelectedNames(), (Names{L"Dora", L"Fred"}));
}

// The links of ticked rows go when their rows lose the selection, whichever
// way: a plain click on another row deselects every row it had.
TEST_F(RowSelection, RowsThatLoseTheSelectionLoseTheirLinks) {
  Click(0);
  Click(1, MK_SHIFT);
  Click(2, MK_CONTROL);
  for (int row = 0; row < 3; ++row) ASSERT_TRUE(list.ShowUndo(*list.RowContact(row)));
  ASSERT_TRUE(list.ShowUndo(*list.RowContact(5)));  // never selected
  Click(4);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(list.UndoButton(list.RowContact(row)->id), nullptr) << row;
  EXPECT_TRUE(list.UndoButton(list.RowContact(5)->id)) << "a row that was never selected keeps its link";
}

}  // namespace
}  // namespace test
