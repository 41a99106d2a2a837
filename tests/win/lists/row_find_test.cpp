#include <string>

#include "lists/row_filter.h"
#include "tests/win/framework/pixels.h"
#include "tests/win/lists/list_fixture.h"

namespace test {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

class RowFind : public ListFixture {
 protected:
  std::wstring ItemText(int row) {
    wchar_t text[200] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = 200;
    list.SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
  }

  int Selected() { return static_cast<int>(list.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); }

  // The ink the list prints into a white canvas.
  int Ink() {
    Canvas canvas(kListWidth, kListHeight, kWhite);
    list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF background = canvas.Pixel(kListWidth - 2, kListHeight - 2);
    int ink = 0;
    for (int y = 0; y < list.RowMetrics().rowHeight; ++y)
      for (int x = 0; x < kListWidth; ++x)
        if (canvas.Pixel(x, y) != background) ++ink;
    return ink;
  }
};

// What screen readers read of a row: name, group and status line.
TEST_F(RowFind, EachRowGivesTheListItsNameGroupAndStatus) {
  list.SetDisplaySettings(75, 2, false);
  const std::int32_t friends = AddGroup(L"Friends");
  AddContact(L"Anna Berg", 7, 2, friends);
  AddContact(L"Bob", 7, 9);
  EXPECT_EQ(ItemText(0), L"Anna Berg, Friends, Contact in 5 days.");
  EXPECT_EQ(ItemText(1), L"Bob, Contact expired 2 days ago.");
  // The tick box carries the row's name for screen readers once painted.
  list.ShowWindow(SW_SHOWNA);
  host.ShowWindow(SW_SHOWNA);
  list.UpdateWindow();
  HWND box = list.TickBox(contacts->items[0]->id);
  ASSERT_NE(box, nullptr);
  wchar_t name[100] = {};
  GetWindowTextW(box, name, 100);
  EXPECT_STREQ(name, L"Contacted: Anna Berg");
}

// Letters typed in the list select the next row whose name starts with them,
// as a list holding its own rows does.
TEST_F(RowFind, TypingInTheListSelectsTheNextNameStartingWithIt) {
  for (const wchar_t* name : {L"Anna", L"bob", L"Carl", L"Bea"}) AddContact(name, 7, 1);
  LVFINDINFOW find{};
  find.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
  find.psz = L"B";
  EXPECT_EQ(list.SendMessage(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 1);
  // The search starts at the row given: the row after the focused one as the control asks.
  EXPECT_EQ(list.SendMessage(LVM_FINDITEMW, 2, reinterpret_cast<LPARAM>(&find)), 3);
  find.psz = L"ca";
  EXPECT_EQ(list.SendMessage(LVM_FINDITEMW, 3, reinterpret_cast<LPARAM>(&find)), 2) << "round to the top";
  find.psz = L"dora";
  EXPECT_EQ(list.SendMessage(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), -1);

  host.ShowWindow(SW_SHOWNA);
  list.SetFocus();
  list.SendMessage(WM_CHAR, L'c', 1);  // a repeat count of 1, as a key press has
  EXPECT_EQ(Selected(), 2);
}

TEST_F(RowFind, AFilterWithoutMatchesSaysSoAndEditsAndRemovalsFollowIt) {
  Contact& anna = AddContact(L"Anna", 7, 1);
  AddContact(L"Bob", 7, 1);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  const int inkOfTwoRows = Ink();
  list.SetFilter(lists::RowFilter(L"ann"));
  EXPECT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(Selected(), -1) << "the selection does not pass to another contact";

  list.SetFilter(lists::RowFilter(L"nobody"));
  EXPECT_EQ(list.GetItemCount(), 0);
  const int inkOfNobody = Ink();
  EXPECT_GT(inkOfNobody, 20) << "\"Nobody matches.\" is written in the list";
  EXPECT_LT(inkOfNobody, inkOfTwoRows);
  list.SetFilter(lists::RowFilter());
  EXPECT_EQ(list.GetItemCount(), 2);

  // Edited while filtered: the contact comes into the list or leaves it.
  list.SetFilter(lists::RowFilter(L"zoe"));
  EXPECT_EQ(Ink(), inkOfNobody);
  anna.Update(L"Zo\u00EB", L"", Days, 7, now, L"", -1);
  list.Refilter(anna.id);
  ASSERT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(list.RowContact(0), &anna);

  // A contact the filter hides still leaves with its removal.
  Contact& bob = *contacts->items[1];
  const std::int32_t bobId = bob.id;
  EXPECT_TRUE(list.DropHiddenRows(bobId));
  contacts->Remove(bobId);
  list.SetFilter(lists::RowFilter());
  ASSERT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(list.RowContact(0), &anna);
}

}  // namespace
}  // namespace test
