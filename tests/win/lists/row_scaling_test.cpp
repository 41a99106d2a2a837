// The rows at other scales: the list takes its DPI from framework::DpiForWindow,
// which the tests answer themselves, so no system setting changes.
#include <string>

#include "framework/dpi.h"
#include "tests/win/controls/test_files.h"
#include "tests/win/framework/pixels.h"
#include "tests/win/lists/list_fixture.h"

namespace test {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Rows of the band [top, bottom) that hold anything but white between left and right.
int InkedRows(const Canvas& canvas, int left, int right, int top, int bottom) {
  int rows = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      if (canvas.Pixel(x, y) != kWhite) {
        ++rows;
        break;
      }
    }
  }
  return rows;
}

RECT ChildRect(HWND child, HWND list) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The list is created while windows report 144 dots per inch (150 %).
class RowScaling : public ListFixture {
 protected:
  void PaintRow(int row, Canvas& canvas) {
    canvas.Fill(kWhite);
    SetBkColor(canvas.dc(), kWhite);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_LISTVIEW;
    draw.CtlID = 1014;
    draw.itemID = static_cast<UINT>(row);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hwndItem = list;
    draw.hDC = canvas.dc();
    list.GetItemRect(row, &draw.rcItem, LVIR_BOUNDS);
    list.SendMessage(OCM_DRAWITEM, 1014, reinterpret_cast<LPARAM>(&draw));
  }

  int RowHeight() {
    RECT row{};
    EXPECT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
    return row.bottom - row.top;
  }

  framework::ScopedDpiOverride dpi_{144};
};

TEST_F(RowScaling, At144EveryPartOfARowIsHalfAgainAsLarge) {
  TempFolder folder;
  const std::wstring path = folder.File(L"face.png");
  ASSERT_TRUE(WritePng(path, 4, 4, [](int, int) { return 0xFFFF0000u; }));
  AddContact(L"Alice", 7, 2, -1, path);
  Contact& bob = AddContact(L"Bob", 7, 20);
  ASSERT_TRUE(list.ShowUndo(bob));
  EXPECT_EQ(list.RowMetrics().dpi, 144);
  EXPECT_EQ(RowHeight(), 60);

  Canvas canvas(kListWidth, kListHeight, kWhite);
  PaintRow(0, canvas);
  // The picture fills its 48-pixel square, decoded at that size.
  EXPECT_EQ(canvas.Pixel(9, 3), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(56, 40), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(57, 20), kWhite);
  EXPECT_EQ(thumbnails.Width(), 48);
  // The 24-pixel ball over its lower left corner: green where a 16-pixel one would end.
  const COLORREF ball = canvas.Pixel(15, 50);
  EXPECT_GT(GetGValue(ball), GetRValue(ball) + 40);
  // The 10-point bold name is drawn 15 pixels high (it would be 10 at 96).
  EXPECT_GE(InkedRows(canvas, 60, 200, 0, 30), 13);

  // The tick box and the link are placed at their scaled places and sizes.
  list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  RECT row{};
  list.GetItemRect(1, &row, LVIR_BOUNDS);
  const RECT tick = ChildRect(list.TickBox(bob.id), list);
  EXPECT_EQ(tick.left, row.right - 30);
  EXPECT_EQ(tick.top, row.bottom - 30);
  EXPECT_EQ(tick.right - tick.left, 18);
  const RECT undo = ChildRect(list.UndoButton(bob.id), list);
  EXPECT_EQ(undo.top, row.top + 30);
  EXPECT_EQ(undo.bottom - undo.top, 24);
  EXPECT_GT(undo.right - undo.left, 30) << "the link's text is measured in its 144-DPI font";
}

TEST_F(RowScaling, ADpiChangeMeasuresTheRowsAgain) {
  Contact& alice = AddContact(L"Alice", 7, 2);
  ASSERT_TRUE(list.ShowUndo(alice));
  ASSERT_EQ(RowHeight(), 60);
  const int narrowLink = ChildRect(list.UndoButton(alice.id), list).right;

  framework::SetDpiOverride(192);
  list.SendMessage(framework::kDpiChangedAfterParent);
  EXPECT_EQ(list.RowMetrics().dpi, 192);
  EXPECT_EQ(RowHeight(), 80);
  Canvas canvas(kListWidth, kListHeight, kWhite);
  list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  const RECT tick = ChildRect(list.TickBox(alice.id), list);
  EXPECT_EQ(tick.bottom - tick.top, 24);
  EXPECT_EQ(tick.top, 80 - 40);
  const RECT undo = ChildRect(list.UndoButton(alice.id), list);
  EXPECT_EQ(undo.bottom - undo.top, 32);
  EXPECT_GT(undo.right, narrowLink) << "the link follows a longer status line in a larger font";

  framework::SetDpiOverride(96);
  list.SendMessage(framework::kDpiChangedAfterParent);
  EXPECT_EQ(RowHeight(), 40) << "back at 96, as it was";
}

}  // namespace
}  // namespace test
