#include <string>

#include "lists/status_text.h"
#include "resource.h"
#include "tests/win/controls/test_files.h"
#include "tests/win/framework/pixels.h"
#include "tests/win/lists/list_fixture.h"

namespace test {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

bool IsDark(COLORREF colour) {
  return GetRValue(colour) < 0x60 && GetGValue(colour) < 0x60 && GetBValue(colour) < 0x60;
}

// Any colour other than the background, i.e. ink of text or pictures.
int InkIn(const Canvas& canvas, const RECT& area, COLORREF background) {
  int ink = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (canvas.Pixel(x, y) != background) ++ink;
  return ink;
}

int DarkIn(const Canvas& canvas, const RECT& area) {
  int dark = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (IsDark(canvas.Pixel(x, y))) ++dark;
  return dark;
}

// The right-most column of a band that holds anything but the background; -1 when none.
int RightmostInk(const Canvas& canvas, int top, int bottom, int from, COLORREF background) {
  for (int x = canvas.width() - 1; x >= from; --x)
    for (int y = top; y < bottom; ++y)
      if (canvas.Pixel(x, y) != background) return x;
  return -1;
}

class RowPainting : public ListFixture {
 protected:
  // Paints a row the way the list's owner asks for it, into a canvas whose
  // background colour stands for the list's.
  void PaintRow(int row, Canvas& canvas, bool selected) {
    canvas.Fill(kWhite);
    SetBkColor(canvas.dc(), kWhite);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_LISTVIEW;
    draw.CtlID = 1014;
    draw.itemID = static_cast<UINT>(row);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = selected ? ODS_SELECTED : 0;
    draw.hwndItem = list;
    draw.hDC = canvas.dc();
    list.GetItemRect(row, &draw.rcItem, LVIR_BOUNDS);
    list.SendMessage(OCM_DRAWITEM, 1014, reinterpret_cast<LPARAM>(&draw));
  }

  // The centre pixel of a status icon drawn on white.
  static COLORREF BallCentre(int iconId) {
    Canvas canvas(16, 16, kWhite);
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, 0));
    DrawIconEx(canvas.dc(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL | DI_COMPAT);
    DestroyIcon(icon);
    return canvas.Pixel(8, 8);
  }
};

TEST_F(RowPainting, RowsAreFortyPixelsHighWithBackgroundSelectionAndSeparator) {
  AddContact(L"Alice", 7, 2);
  RECT row{};
  ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
  EXPECT_EQ(row.bottom - row.top, 40);

  Canvas canvas(kListWidth, kListHeight, kWhite);
  PaintRow(0, canvas, false);
  const int right = row.right - 30;  // clear of texts and the tick box
  EXPECT_EQ(canvas.Pixel(right, 5), kWhite);
  EXPECT_EQ(canvas.Pixel(0, 39), GetSysColor(COLOR_BTNFACE));
  // Dotted: the separator has gaps in the background colour.
  int gaps = 0;
  for (int x = 0; x < row.right; ++x)
    if (canvas.Pixel(x, 39) == kWhite) ++gaps;
  EXPECT_GT(gaps, 0);
  EXPECT_LT(gaps, row.right);
  // Nothing is painted below the row.
  EXPECT_EQ(canvas.Pixel(right, 40), kWhite);

  PaintRow(0, canvas, true);
  EXPECT_EQ(canvas.Pixel(right, 5), lists::RowPainter::kSelectionColour);
  EXPECT_EQ(canvas.Pixel(20, 10), lists::RowPainter::kSelectionColour);  // empty picture area
  EXPECT_EQ(canvas.Pixel(0, 39), GetSysColor(COLOR_BTNFACE));
}

TEST_F(RowPainting, BallColourFollowsTheStatus) {
  const COLORREF green = BallCentre(IDI_STATUS_GREEN);
  const COLORREF orange = BallCentre(IDI_STATUS_ORANGE);
  const COLORREF red = BallCentre(IDI_STATUS_RED);
  ASSERT_NE(green, orange);
  ASSERT_NE(green, red);
  ASSERT_NE(orange, red);

  AddContact(L"Fresh", 30, 1);     // 1 of 30 days: normal
  AddContact(L"Soon", 10, 9);      // 1 day left: warning
  AddContact(L"Late", 7, 9);       // 2 days over: expired
  AddContact(L"Due today", 7, 7);  // 0 days left: warning, not expired
  Canvas canvas(kListWidth, kListHeight, kWhite);
  const COLORREF expected[] = {green, orange, red, orange};
  for (int row = 0; row < 4; ++row) {
    PaintRow(row, canvas, false);
    RECT bounds{};
    list.GetItemRect(row, &bounds, LVIR_BOUNDS);
    EXPECT_EQ(canvas.Pixel(2 + 8, bounds.top + 22 + 8), expected[row]) << "row " << row;
  }

  // The clock is read at every paint: a day later the contact due today is red.
  now += kDay;
  PaintRow(3, canvas, false);
  RECT bounds{};
  list.GetItemRect(3, &bounds, LVIR_BOUNDS);
  EXPECT_EQ(canvas.Pixel(10, bounds.top + 30), red);
}

TEST_F(RowPainting, TextsSitInTheirBandsAndTheGroupOnlyWhenItExists) {
  const std::int32_t friends = AddGroup(L"Friends");
  AddContact(L"Alice", 7, 2, friends);
  AddContact(L"Alice", 7, 2, 999);  // group missing
  Canvas canvas(kListWidth, kListHeight, kWhite);

  PaintRow(0, canvas, false);
  // The name is black text from x = 40 in the top band; the status line is
  // grey text (never darker than #888888) from x = 40 in the lower band.
  EXPECT_GT(DarkIn(canvas, RECT{40, 2, 120, 18}), 10);
  EXPECT_EQ(InkIn(canvas, RECT{20, 2, 39, 18}, kWhite), 0);
  EXPECT_GT(InkIn(canvas, RECT{40, 20, 200, 36}, kWhite), 10);
  EXPECT_EQ(DarkIn(canvas, RECT{40, 20, 400, 36}), 0);
  bool statusGrey = false;
  for (int y = 20; y < 36 && !statusGrey; ++y)
    for (int x = 40; x < 200 && !statusGrey; ++x) statusGrey = canvas.Pixel(x, y) == lists::RowPainter::kStatusColour;
  EXPECT_TRUE(statusGrey);
  const int withGroup = RightmostInk(canvas, 2, 18, 40, kWhite);

  PaintRow(1, canvas, false);
  const int withoutGroup = RightmostInk(canvas, 42, 58, 40, kWhite);
  ASSERT_GT(withoutGroup, 40);
  // "(Friends)" follows the name 6 pixels after it.
  EXPECT_GT(withGroup, withoutGroup + 30);
  EXPECT_EQ(InkIn(canvas, RECT{withoutGroup + 1, 42, withoutGroup + 6, 58}, kWhite), 0);
}

TEST_F(RowPainting, PictureIsStretchedToItsSquareAndReadAnewAtEveryPaint) {
  TempFolder folder;
  const std::wstring path = folder.File(L"face.png");
  ASSERT_TRUE(WritePng(path, 4, 4, [](int, int) { return 0xFFFF0000u; }));
  AddContact(L"Pictured", 7, 2, -1, path);
  AddContact(L"Missing", 7, 2, -1, folder.File(L"none.png"));
  Canvas canvas(kListWidth, kListHeight, kWhite);

  PaintRow(0, canvas, false);
  EXPECT_EQ(canvas.Pixel(6, 2), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(37, 33), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(20, 10), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(5, 10), kWhite);
  EXPECT_EQ(canvas.Pixel(38, 10), kWhite);
  EXPECT_EQ(canvas.Pixel(20, 1), kWhite);
  // The ball lies on top of the picture's lower left corner.
  EXPECT_EQ(canvas.Pixel(10, 30), BallCentre(IDI_STATUS_GREEN));

  // A half-transparent blue picture is blended onto the background.
  ASSERT_TRUE(WritePng(path, 2, 2, [](int, int) { return 0x800000FFu; }));
  PaintRow(0, canvas, false);
  const COLORREF blended = canvas.Pixel(20, 10);
  EXPECT_GE(GetBValue(blended), 250);
  EXPECT_GT(GetRValue(blended), 100);
  EXPECT_LT(GetRValue(blended), 160);

  RECT second{};
  list.GetItemRect(1, &second, LVIR_BOUNDS);
  PaintRow(1, canvas, false);
  EXPECT_EQ(InkIn(canvas, RECT{6, second.top + 2, 38, second.top + 20}, kWhite), 0);
}

// A photo is not waited for: its row is painted at once without it, and the
// list paints again when the picture has been decoded in the background.
TEST_F(RowPainting, ALargePictureFollowsItsRow) {
  TempFolder folder;
  const std::wstring path = folder.File(L"photo.png");
  ASSERT_TRUE(WritePng(path, 320, 320, [](int x, int y) { return NoisePixel(x, y, 0); }));
  AddContact(L"Pictured", 7, 2, -1, path);
  Canvas canvas(kListWidth, kListHeight, kWhite);
  const RECT picture{6, 2, 38, 20};  // above the status ball
  PaintRow(0, canvas, false);
  EXPECT_EQ(InkIn(canvas, picture, kWhite), 0);
  EXPECT_GT(DarkIn(canvas, RECT{40, 2, 120, 18}), 0) << "the name is there at once";

  ASSERT_TRUE(PumpUntil([this] { return thumbnails.pending() == 0; }, std::chrono::seconds(30)));
  PaintRow(0, canvas, false);
  EXPECT_GT(InkIn(canvas, picture, kWhite), 32 * 18 / 2);
}

TEST_F(RowPainting, OverlongNamesAndGroupNamesAreCutToTheWorkBuffer) {
  const std::int32_t group = AddGroup(std::wstring(1500, L'G'));
  AddContact(std::wstring(2000, L'W'), 7, 2, group);
  Canvas canvas(kListWidth, kListHeight, kWhite);
  PaintRow(0, canvas, false);
  // The name runs to the row's right edge, cut there; the status line is intact.
  RECT row{};
  list.GetItemRect(0, &row, LVIR_BOUNDS);
  EXPECT_GT(DarkIn(canvas, RECT{row.right - 40, 2, row.right - 1, 18}), 0);
  EXPECT_GT(InkIn(canvas, RECT{40, 20, 200, 36}, kWhite), 10);

  EXPECT_EQ(lists::FitWorkBuffer(std::wstring(2000, L'x')).size(), 599u);
  EXPECT_EQ(lists::FitWorkBuffer(std::wstring(599, L'x')).size(), 599u);
  EXPECT_EQ(lists::FitWorkBuffer(L"short"), L"short");
  // A character outside the basic plane is never cut in half.
  std::wstring pairs(598, L'x');
  pairs += L"\xD83D\xDE00";
  pairs += L"tail";
  const std::wstring cut = lists::FitWorkBuffer(pairs);
  EXPECT_EQ(cut.size(), 598u);
  EXPECT_EQ(cut.back(), L'x');
}

TEST_F(RowPainting, EveryPaintPlacesTheTickBoxAndTheUndoLink) {
  AddContact(L"Alice", 7, 2);
  Contact& bob = AddContact(L"Bob", 7, 2);
  ASSERT_TRUE(list.ShowUndo(bob));
  Canvas canvas(kListWidth, kListHeight, kWhite);

  // The real chain: the list paints, its owner reflects each row's request back.
  list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  RECT row{};
  list.GetItemRect(1, &row, LVIR_BOUNDS);
  RECT tick{};
  GetWindowRect(list.TickBox(bob.id), &tick);
  MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&tick), 2);
  EXPECT_EQ(tick.left, row.right - 20);
  EXPECT_EQ(tick.top, row.bottom - 20);
  EXPECT_EQ(tick.right - tick.left, 12);
  EXPECT_EQ(tick.bottom - tick.top, 12);

  PaintRow(1, canvas, false);
  const int statusEnd = RightmostInk(canvas, row.top + 20, row.top + 36, 40, kWhite);
  RECT undo{};
  GetWindowRect(list.UndoButton(bob.id), &undo);
  MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&undo), 2);
  EXPECT_EQ(undo.top, row.top + 20);
  EXPECT_EQ(undo.bottom - undo.top, 16);
  EXPECT_GT(undo.right - undo.left, 20);
  EXPECT_GE(undo.left, statusEnd + 7);
  EXPECT_LE(undo.left, statusEnd + 14);

  // The link draws itself through the list: blue underlined text.
  Canvas link(undo.right - undo.left, 16, kWhite);
  SendMessageW(list.UndoButton(bob.id), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(link.dc()), PRF_CLIENT);
  EXPECT_GT(link.Count(RGB(0, 0, 255)), 5);

  // Scrolled rows carry their child windows along at the next paint.
  for (int i = 0; i < 30; ++i) AddContact(L"Filler", 7, 2);
  list.SendMessage(LVM_SCROLL, 0, 40);
  list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  list.GetItemRect(1, &row, LVIR_BOUNDS);
  GetWindowRect(list.TickBox(bob.id), &tick);
  MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&tick), 2);
  EXPECT_EQ(tick.top, row.bottom - 20);
}

TEST_F(RowPainting, InANarrowListTextsGiveWayToTheTickBoxAndTheUndoLink) {
  list.SetDisplaySettings(75, 2, true);
  Contact& alice = AddContact(std::wstring(60, L'N'), 7, 2);
  ASSERT_TRUE(list.ShowUndo(alice));
  list.SetWindowPos(nullptr, 0, 0, 260, kListHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  Canvas canvas(kListWidth, kListHeight, kWhite);
  list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  PaintRow(0, canvas, false);

  RECT row{};
  list.GetItemRect(0, &row, LVIR_BOUNDS);
  RECT tick{};
  GetWindowRect(list.TickBox(alice.id), &tick);
  MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&tick), 2);
  RECT undo{};
  GetWindowRect(list.UndoButton(alice.id), &undo);
  MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&undo), 2);
  // The whole link is on the row, left of the tick box, after the status line.
  EXPECT_GT(undo.right - undo.left, 20);
  EXPECT_LE(undo.right, tick.left);
  EXPECT_GE(undo.left, 40);
  const int statusEnd = RightmostInk(canvas, row.top + 20, row.top + 36, 40, kWhite);
  EXPECT_LT(statusEnd, undo.left);
  // No text runs under the tick box.
  EXPECT_LT(RightmostInk(canvas, row.top + 2, row.top + 18, 40, kWhite), tick.left);
}

TEST_F(RowPainting, NeverShowsAHorizontalScrollBar) {
  AddContact(std::wstring(300, L'W'), 7, 2);
  list.ModifyStyle(0, WS_HSCROLL, SWP_FRAMECHANGED);
  EXPECT_EQ(list.GetStyle() & WS_HSCROLL, 0u);
  list.SetColumnWidth(0, 5000);
  list.SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(list.GetStyle() & WS_HSCROLL, 0u);
}

}  // namespace
}  // namespace test

namespace test {
namespace {

class SnoozedRows : public RowPainting {};

TEST_F(SnoozedRows, ASnoozeLaterThanTheDueTimeGreysTheBallTellsItsEndAndSortsByIt) {
  const COLORREF grey = BallCentre(IDI_STATUS_GREY);
  ASSERT_NE(grey, BallCentre(IDI_STATUS_RED));
  ASSERT_NE(grey, BallCentre(IDI_STATUS_GREEN));
  Journal journal;
  list.SetJournal(&journal);
  Contact& late = AddContact(L"Late", 7, 9);      // 2 days overdue
  Contact& soon = AddContact(L"Soon", 7, 5);      // 2 days left
  Contact& later = AddContact(L"Later", 30, 10);  // 20 days left
  journal.Snooze(late.id, kNow + 5 * kDay);
  journal.Snooze(later.id, kNow + 5 * kDay);  // before its due time: no effect
  Canvas canvas(kListWidth, kListHeight, kWhite);
  const auto ball = [&](int row) {
    PaintRow(row, canvas, false);
    RECT bounds{};
    list.GetItemRect(row, &bounds, LVIR_BOUNDS);
    return canvas.Pixel(10, bounds.top + 30);
  };
  EXPECT_EQ(ball(0), grey);
  EXPECT_EQ(ball(2), BallCentre(IDI_STATUS_GREEN));
  const std::wstring until = platform::LocalDateText(kNow + 5 * kDay);
  EXPECT_EQ(lists::StatusText(late, false, now, journal.SnoozedUntil(late.id)),
            L"Snoozed until " + until.substr(0, until.size() - 6) + L".");
  EXPECT_EQ(lists::StatusText(late, true, now, journal.SnoozedUntil(late.id)),
            L"Snoozed until " + until.substr(0, until.size() - 6) + L". Last contacted: " +
                platform::LocalDateText(late.lastContacted) + L".");
  EXPECT_EQ(lists::StatusText(later, false, now, journal.SnoozedUntil(later.id)), L"Contact in 20 days.");

  // Due in five days as far as the order goes: after Soon, before Later.
  ASSERT_TRUE(list.SortBy(SortMode::ContactIn));
  EXPECT_EQ(list.RowContact(0), &soon);
  EXPECT_EQ(list.RowContact(1), &late);
  EXPECT_EQ(list.RowContact(2), &later);
  ASSERT_TRUE(list.SortBy(SortMode::Priority));
  EXPECT_EQ(list.RowContact(0), &soon);
  EXPECT_EQ(list.RowContact(1), &late);

  // Once the snooze is over the contact is plainly overdue again.
  now += 6 * kDay;
  EXPECT_EQ(ball(list.FindRow(late.id)), BallCentre(IDI_STATUS_RED));
  ASSERT_TRUE(list.SortBy(SortMode::ContactIn));
  EXPECT_EQ(list.RowContact(0), &late);
  list.SetJournal(nullptr);
}

}  // namespace
}  // namespace test
