#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/flat_buttons.h"
#include "controls/owner_drawn_button.h"
#include "tests/win/controls/canvas.h"
#include "tests/win/controls/host_window.h"

namespace {

using WTL_EX::ButtonEx;
using WTL_EX::ButtonSort;

constexpr int kWidth = 120;
constexpr int kHeight = 40;
constexpr COLORREF kBlue = RGB(0, 0, 0xFF);

int TextWidth(HFONT font, const std::wstring& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

// Rows or columns of the dotted focus rectangle inset by `inset`: ink on that
// line, none on the lines just outside and inside it (away from the text).
void ExpectFocusRectangle(const Canvas& canvas, int inset, COLORREF background) {
  const int w = canvas.width(), h = canvas.height();
  const int right = w - 1 - inset, bottom = h - 1 - inset;
  // Top and bottom edges, right half only (the text sits at the left).
  const int from = w / 2, to = right;
  auto inkOnRow = [&](int y) { return canvas.CountOther({from, y, to, y + 1}, background); };
  auto inkOnColumn = [&](int x) { return canvas.CountOther({x, inset + 1, x + 1, bottom}, background); };
  EXPECT_GT(inkOnRow(inset), 0) << "top edge at " << inset;
  EXPECT_GT(inkOnRow(bottom), 0) << "bottom edge at " << bottom;
  EXPECT_GT(inkOnColumn(right), 0) << "right edge at " << right;
  for (int y : {inset - 1, inset + 1, bottom - 1, bottom + 1}) EXPECT_EQ(inkOnRow(y), 0) << "row " << y;
  for (int x : {right - 1, right + 1}) EXPECT_EQ(inkOnColumn(x), 0) << "column " << x;
}

class FlatButtons : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(host_.CreateHidden(), nullptr); }

  HWND CreateLink(ButtonEx& link, const wchar_t* windowText, const RECT& area, UINT id) {
    return link.Create(host_, area, windowText, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, id);
  }

  void Draw(HWND button, Canvas& canvas, UINT state) {
    DRAWITEMSTRUCT item = ButtonDrawRequest(button, canvas.dc(), canvas.width(), canvas.height(), state);
    EXPECT_EQ(SendMessageW(button, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)), TRUE);
  }

  HostWindow host_;
};

TEST_F(FlatButtons, LinkDrawsItsTextMemberInPureBlue) {
  ButtonEx link;
  HWND window = CreateLink(link, L"A much longer window text that is not drawn", {0, 0, kWidth, kHeight}, 2141);
  ASSERT_NE(window, nullptr);
  link.SetText(L"(Undo)");
  EXPECT_EQ(link.Text(), L"(Undo)");
  EXPECT_EQ(CWindow(window).GetWindowText(), L"A much longer window text that is not drawn") << "window text untouched";
  EXPECT_EQ(link.TextColour(), kBlue);

  Canvas canvas(kWidth, kHeight);
  Draw(window, canvas, 0);
  const COLORREF background = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(canvas.At(kWidth - 1, 0), background);
  EXPECT_GT(canvas.Count(canvas.rect(), kBlue), 10) << "underline and stems in pure blue";
  const RECT ink = canvas.InkBounds(canvas.rect(), background);
  const int expected = TextWidth(link.Font(), L"(Undo)");
  EXPECT_LE(ink.left, 1) << "left-aligned at the edge";
  EXPECT_NEAR(ink.right, expected, 2) << "the member's width, not the window text's";
  EXPECT_NEAR((ink.top + ink.bottom) / 2, kHeight / 2, 3) << "vertically centred";
  // Every drawn pixel is a shade between the background and pure blue.
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF c = canvas.At(x, y);
      if (c == background) continue;
      EXPECT_EQ(GetRValue(c), GetGValue(c)) << x << "," << y;
      EXPECT_EQ(GetBValue(c), 0xFF) << x << "," << y;
    }
}

TEST_F(FlatButtons, LinkBackgroundFollowsSetBackground) {
  ButtonEx link;
  HWND window = CreateLink(link, L"Help", {0, 0, kWidth, kHeight}, 1019);
  link.SetText(L"Help");
  link.SetBackground(RGB(0x20, 0x80, 0x40));
  EXPECT_EQ(link.Background(), RGB(0x20, 0x80, 0x40));
  Canvas canvas(kWidth, kHeight);
  Draw(window, canvas, 0);
  EXPECT_EQ(canvas.At(0, 0), RGB(0x20, 0x80, 0x40));
  EXPECT_EQ(canvas.At(kWidth - 1, kHeight - 1), RGB(0x20, 0x80, 0x40));
}

TEST_F(FlatButtons, LinkFocusRectangleLiesThreePixelsInside) {
  ButtonEx link;
  HWND window = CreateLink(link, L"Help", {0, 0, kWidth, kHeight}, 1019);
  link.SetText(L"Help");
  Canvas plain(kWidth, kHeight);
  Draw(window, plain, 0);
  EXPECT_EQ(plain.CountOther({kWidth / 2, 0, kWidth, kHeight}, GetSysColor(COLOR_WINDOW)), 0);
  Canvas focused(kWidth, kHeight);
  Draw(window, focused, ODS_FOCUS);
  ExpectFocusRectangle(focused, 3, GetSysColor(COLOR_WINDOW));
}

TEST_F(FlatButtons, AttachedHelpButtonBecomesOwnerDrawn) {
  HWND raw = CreateSystemButton(host_, L"Help", {0, 0, 60, 16}, 1019);
  ButtonEx help;
  ASSERT_TRUE(help.Attach(raw));
  EXPECT_EQ(GetWindowLongPtrW(raw, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  help.SetText(L"Help");
  help.SetBackground(GetSysColor(COLOR_BTNFACE));
  Canvas printed(60, 16);
  SendMessageW(raw, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT);
  EXPECT_EQ(printed.At(59, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(printed.Count(printed.rect(), kBlue), 0);
}

class SortButton : public FlatButtons {
 protected:
  void SetUp() override {
    FlatButtons::SetUp();
    raw_ = CreateSystemButton(host_, L"Name", {0, 0, kWidth, kHeight}, 1022);
    ASSERT_TRUE(sort_.Attach(raw_));
    sort_.SetBackground(GetSysColor(COLOR_BTNFACE));
  }
  HWND raw_ = nullptr;
  ButtonSort sort_;
};

TEST_F(SortButton, DrawsGreyWindowTextAndAShadedTriangle) {
  EXPECT_EQ(sort_.TextColour(), RGB(0x66, 0x66, 0x66));
  Canvas canvas(kWidth, kHeight);
  Draw(raw_, canvas, 0);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(canvas.At(0, 0), face) << "no outline while cold";
  EXPECT_EQ(canvas.At(kWidth - 1, kHeight - 1), face);

  // The triangle: corners (right-14, 8) black, (right-8, 8) and (right-11, 12) blue.
  const int right = kWidth;
  const RECT box{right - 14, 8, right - 7, 13};
  const RECT triangle = canvas.InkBounds(box, face);
  EXPECT_EQ(triangle.left, right - 14);
  EXPECT_GE(triangle.right, right - 9);
  EXPECT_LE(triangle.right, right - 7);
  EXPECT_EQ(triangle.top, 8);
  EXPECT_GE(triangle.bottom, 11);
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      const COLORREF c = canvas.At(x, y);
      if (c == face) continue;
      EXPECT_EQ(GetRValue(c), 0) << x << "," << y;
      EXPECT_EQ(GetGValue(c), 0) << x << "," << y;
    }
  EXPECT_LT(GetBValue(canvas.At(right - 14, 8)), 0x40) << "dark at the left corner";
  EXPECT_GT(GetBValue(canvas.At(right - 9, 8)), 0xC0) << "blue at the right corner";
  EXPECT_GT(GetBValue(canvas.At(right - 11, 11)), 0x80) << "blue towards the tip";
  EXPECT_EQ(canvas.At(right - 11, 14), face) << "nothing below the tip";

  // The grey text is the window text, left-aligned 2 pixels in.
  const RECT text = canvas.InkBounds({0, 0, right - 20, kHeight}, face);
  EXPECT_GE(text.left, 2);
  EXPECT_LE(text.left, 4);
  EXPECT_GT(canvas.Count({0, 0, right - 20, kHeight}, RGB(0x66, 0x66, 0x66)), 0);
  EXPECT_NEAR(text.right - text.left, TextWidth(sort_.Font(), L"Name"), 2);

  SetWindowTextW(raw_, L"Days left");
  Canvas renamed(kWidth, kHeight);
  Draw(raw_, renamed, 0);
  const RECT renamedText = renamed.InkBounds({0, 0, right - 20, kHeight}, face);
  EXPECT_NEAR(renamedText.right - renamedText.left, TextWidth(sort_.Font(), L"Days left"), 2);
}

TEST_F(SortButton, FocusRectangleLiesFourPixelsInside) {
  Canvas canvas(kWidth, kHeight);
  Draw(raw_, canvas, ODS_FOCUS);
  // Keep the triangle out of the way of the checks at the right edge.
  Canvas reference(kWidth, kHeight);
  Draw(raw_, reference, 0);
  Canvas difference(kWidth, kHeight, RGB(0, 0, 0));
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (canvas.At(x, y) != reference.At(x, y)) SetPixel(difference.dc(), x, y, RGB(0xFF, 0xFF, 0xFF));
  ExpectFocusRectangle(difference, 4, RGB(0, 0, 0));
}

// Hover tracking needs hit testing, so these windows are shown (the null
// display driver shows nothing) and the host is the active window.
class Hover : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(host_.CreateHidden(), nullptr);
    first_.Create(host_, RECT{10, 10, 90, 30}, L"one", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 2141);
    second_.Create(host_, RECT{100, 10, 180, 30}, L"two", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 2142);
    sort_.Attach(CreateSystemButton(host_, L"Name", {10, 50, 90, 70}, 1022));
    owner_.Attach(CreateSystemButton(host_, L"Options", {100, 50, 180, 70}, 1003));
    SetWindowPos(host_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetActiveWindow(host_);
    ASSERT_EQ(GetActiveWindow(), static_cast<HWND>(host_));
  }
  void TearDown() override { ReleaseCapture(); }

  static void MoveTo(HWND button, int x, int y, WPARAM keys = 0) {
    SendMessageW(button, WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
  }

  HostWindow host_;
  ButtonEx first_;
  ButtonEx second_;
  ButtonSort sort_;
  WTL_EX::COwnerDrawnButton owner_;
};

TEST_F(Hover, MouseGoingStraightFromOneLitButtonToAnotherMovesTheLight) {
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);
  MoveTo(first_, 5, 5);
  EXPECT_TRUE(first_.IsHot());
  EXPECT_EQ(GetCursor(), static_cast<HCURSOR>(LoadImageW(nullptr, IDC_HAND, IMAGE_CURSOR, 0, 0, LR_SHARED)))
      << "links show the hand";
  EXPECT_EQ(GetCapture(), static_cast<HWND>(first_));

  MoveTo(first_, 10, 8);
  EXPECT_TRUE(first_.IsHot()) << "still over it";

  // (95, 5) in the first button's coordinates lies on the second button.
  MoveTo(first_, 95, 5);
  EXPECT_FALSE(first_.IsHot());
  EXPECT_NE(GetCapture(), static_cast<HWND>(first_));
  MoveTo(second_, 5, 5);
  EXPECT_TRUE(second_.IsHot());
  EXPECT_EQ(GetCapture(), static_cast<HWND>(second_));

  // Leaving for a spot outside every button (the host itself).
  MoveTo(second_, 5, 30);
  EXPECT_FALSE(second_.IsHot());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Hover, LitLinkLooksTheSame) {
  Canvas cold(80, 20);
  DRAWITEMSTRUCT item = ButtonDrawRequest(first_, cold.dc(), 80, 20, 0);
  first_.SetText(L"(Undo)");
  SendMessageW(first_, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  MoveTo(first_, 5, 5);
  ASSERT_TRUE(first_.IsHot());
  Canvas hot(80, 20);
  item.hDC = hot.dc();
  SendMessageW(first_, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_TRUE(hot.SameAs(cold)) << "only the cursor shows the hover";
}

TEST_F(Hover, DragFromElsewhereDoesNotLightAndKeepsCaptureWhileLeftButtonIsDown) {
  MoveTo(first_, 5, 5, MK_LBUTTON);
  EXPECT_FALSE(first_.IsHot());
  EXPECT_EQ(GetCapture(), nullptr);

  MoveTo(first_, 5, 5);
  ASSERT_TRUE(first_.IsHot());
  MoveTo(first_, 5, 30, MK_LBUTTON);
  EXPECT_FALSE(first_.IsHot());
  EXPECT_EQ(GetCapture(), static_cast<HWND>(first_)) << "a press in progress keeps the capture";
}

TEST_F(Hover, FocusLossTurnsTheLightOff) {
  MoveTo(sort_, 5, 5);
  ASSERT_TRUE(sort_.IsHot());
  Canvas hot(80, 20);
  DRAWITEMSTRUCT item = ButtonDrawRequest(sort_, hot.dc(), 80, 20, 0);
  SendMessageW(sort_, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(hot.At(0, 0), WTL_EX::kSortHotOutline);
  EXPECT_EQ(hot.At(79, 19), WTL_EX::kSortHotOutline);
  EXPECT_EQ(hot.At(40, 1), GetSysColor(COLOR_WINDOW));

  SendMessageW(sort_, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(sort_.IsHot());
  Canvas cold(80, 20);
  item.hDC = cold.dc();
  SendMessageW(sort_, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(cold.At(0, 0), GetSysColor(COLOR_WINDOW));

  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);
  MoveTo(owner_, 5, 5);
  EXPECT_TRUE(owner_.IsHot());
  EXPECT_EQ(GetCursor(), arrow) << "the push button keeps the cursor";
  SendMessageW(owner_, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(owner_.IsHot());
}

TEST_F(Hover, ButtonsStayDarkWhileTheApplicationIsNotActive) {
  SetActiveWindow(nullptr);
  if (GetActiveWindow() != nullptr) GTEST_SKIP() << "cannot deactivate the thread here";
  MoveTo(first_, 5, 5);
  EXPECT_FALSE(first_.IsHot());
  EXPECT_EQ(GetCapture(), nullptr);
  MoveTo(owner_, 5, 5);
  EXPECT_FALSE(owner_.IsHot());
}

}  // namespace
