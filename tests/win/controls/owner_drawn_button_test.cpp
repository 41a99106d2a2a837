#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "controls/owner_drawn_button.h"
#include "tests/win/controls/canvas.h"
#include "tests/win/controls/host_window.h"
#include "tests/win/controls/test_icons.h"

namespace {

using WTL_EX::COwnerDrawnButton;
using WTL_EX::DrawOwnerDrawnButtonFace;
using WTL_EX::OwnerDrawnButtonLook;
using WTL_EX::ThemeHelper;

constexpr int kWidth = 100;
constexpr int kHeight = 30;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(0xFF, 0, 0);
const COLORREF kSentinel = RGB(0x12, 0x34, 0x56);

std::unique_ptr<ThemeHelper> ClassicTheme() { return std::make_unique<ThemeHelper>(L"amicord-no-such-theme.dll"); }

OwnerDrawnButtonLook SystemLook() {
  OwnerDrawnButtonLook look;
  look.hotBack = look.normalBack = GetSysColor(COLOR_BTNFACE);
  look.hotText = look.normalText = GetSysColor(COLOR_BTNTEXT);
  return look;
}

// Draws a face the way the reflected request does: the button's font is
// already selected in the DC.
void DrawFace(Canvas& canvas, const std::wstring& text, const OwnerDrawnButtonLook& look, const ThemeHelper& theme,
              HWND button = nullptr) {
  HGDIOBJ previous = SelectObject(canvas.dc(), GetStockObject(DEFAULT_GUI_FONT));
  DrawOwnerDrawnButtonFace(canvas.dc(), button, canvas.rect(), text, look, theme);
  SelectObject(canvas.dc(), previous);
}

int CountOnBorder(const Canvas& canvas, COLORREF colour) {
  const int w = canvas.width(), h = canvas.height();
  return canvas.Count({0, 0, w, 1}, colour) + canvas.Count({0, h - 1, w, h}, colour) +
         canvas.Count({0, 1, 1, h - 1}, colour) + canvas.Count({w - 1, 1, w, h - 1}, colour);
}

TEST(OwnerDrawnButtonFace, HotOutlineIsSquareByDefaultAndRoundedOnRequest) {
  ThemeHelper classic(L"amicord-no-such-theme.dll");
  ASSERT_FALSE(classic.AppThemed());
  OwnerDrawnButtonLook look = SystemLook();

  Canvas normal(kWidth, kHeight);
  DrawFace(normal, L"", look, classic);
  EXPECT_EQ(CountOnBorder(normal, kBlack), 0) << "no outline while the mouse is elsewhere";
  EXPECT_EQ(normal.At(0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(normal.At(kWidth / 2, kHeight / 2), GetSysColor(COLOR_BTNFACE));

  look.hot = true;
  Canvas square(kWidth, kHeight);
  DrawFace(square, L"", look, classic);
  EXPECT_EQ(CountOnBorder(square, kBlack), 2 * kWidth + 2 * (kHeight - 2)) << "a full one-pixel black frame";
  EXPECT_EQ(square.At(1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(square.At(kWidth / 2, kHeight / 2), GetSysColor(COLOR_BTNFACE));

  look.rounded = true;
  Canvas rounded(kWidth, kHeight);
  DrawFace(rounded, L"", look, classic);
  for (POINT corner : {POINT{0, 0}, POINT{kWidth - 1, 0}, POINT{0, kHeight - 1}, POINT{kWidth - 1, kHeight - 1}})
    EXPECT_EQ(rounded.At(corner.x, corner.y), kSentinel) << "corner " << corner.x << "," << corner.y;
  EXPECT_EQ(rounded.At(kWidth / 2, 0), kBlack);
  EXPECT_EQ(rounded.At(kWidth / 2, kHeight - 1), kBlack);
  EXPECT_EQ(rounded.At(0, kHeight / 2), kBlack);
  EXPECT_EQ(rounded.At(kWidth - 1, kHeight / 2), kBlack);
  EXPECT_EQ(rounded.At(kWidth / 2, kHeight / 2), GetSysColor(COLOR_BTNFACE));
}

TEST(OwnerDrawnButtonFace, ThemedFaceLooksTheSameHotOrNot) {
  ThemeHelper theme;
  if (!theme.AppThemed()) GTEST_SKIP() << "visual styles are off on this system";
  HostWindow host;
  ASSERT_NE(host.CreateHidden(), nullptr);
  HWND button = CreateSystemButton(host, L"Add &Contact", {10, 10, 10 + kWidth, 10 + kHeight}, 1001);
  UniqueIcon icon = SolidIcon(kRed);
  OwnerDrawnButtonLook look = SystemLook();
  look.icon = icon.get();
  look.iconWidth = look.iconHeight = 16;

  Canvas cold(kWidth, kHeight);
  DrawFace(cold, L"Add &Contact", look, theme, button);
  look.hot = true;
  Canvas hot(kWidth, kHeight);
  DrawFace(hot, L"Add &Contact", look, theme, button);
  EXPECT_TRUE(hot.SameAs(cold));
  EXPECT_EQ(CountOnBorder(hot, kBlack), CountOnBorder(cold, kBlack));
}

TEST(OwnerDrawnButtonFace, PlacesIconLeftOfTextOrCentredAlone) {
  ThemeHelper classic(L"amicord-no-such-theme.dll");
  UniqueIcon icon = SolidIcon(kRed);
  OwnerDrawnButtonLook look = SystemLook();
  look.icon = icon.get();
  look.iconWidth = look.iconHeight = 16;

  Canvas withText(kWidth, kHeight);
  DrawFace(withText, L"Options", look, classic);
  const RECT all{0, 0, kWidth, kHeight};
  EXPECT_EQ(withText.Count(all, kRed), 16 * 16);
  const RECT iconBox{3, (kHeight - 16) / 2, 3 + 16, (kHeight - 16) / 2 + 16};
  EXPECT_EQ(withText.Count(iconBox, kRed), 16 * 16);
  // The text starts right of the icon.
  const RECT text = withText.InkBounds({19, 1, kWidth - 1, kHeight - 1}, GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(text.right, text.left);
  EXPECT_EQ(withText.InkBounds({0, 0, 19, kHeight}, GetSysColor(COLOR_BTNFACE)).left, 3);

  Canvas alone(kWidth, kHeight);
  DrawFace(alone, L"", look, classic);
  const int left = (kWidth - 16) / 2;
  EXPECT_EQ(alone.Count({left, (kHeight - 16) / 2, left + 16, (kHeight - 16) / 2 + 16}, kRed), 16 * 16);
}

TEST(OwnerDrawnButtonFace, CentresTheTextBlock) {
  ThemeHelper classic(L"amicord-no-such-theme.dll");
  Canvas canvas(160, kHeight);
  DrawFace(canvas, L"Go", SystemLook(), classic);
  const RECT ink = canvas.InkBounds(canvas.rect(), GetSysColor(COLOR_BTNFACE));
  ASSERT_GT(ink.right, ink.left);
  const int leftMargin = ink.left;
  const int rightMargin = canvas.width() - ink.right;
  EXPECT_LE(std::abs(leftMargin - rightMargin), 2) << ink.left << ".." << ink.right;
  EXPECT_LE(std::abs(ink.top - (kHeight - ink.bottom)), 3) << ink.top << ".." << ink.bottom;
}

TEST(OwnerDrawnButtonFace, PressingMovesIconAndTextOnePixelDownRight) {
  ThemeHelper classic(L"amicord-no-such-theme.dll");
  UniqueIcon icon = SolidIcon(kRed);
  OwnerDrawnButtonLook look = SystemLook();
  look.icon = icon.get();
  look.iconWidth = look.iconHeight = 16;
  Canvas up(kWidth, kHeight);
  DrawFace(up, L"Add", look, classic);
  look.pressed = true;
  Canvas down(kWidth, kHeight);
  DrawFace(down, L"Add", look, classic);

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  RECT iconUp{}, iconDown{};
  for (auto [canvas, box] : {std::pair{&up, &iconUp}, std::pair{&down, &iconDown}}) {
    *box = RECT{kWidth, kHeight, 0, 0};
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < 20 + 1; ++x)
        if (canvas->At(x, y) == kRed) {
          box->left = std::min<LONG>(box->left, x);
          box->top = std::min<LONG>(box->top, y);
        }
  }
  EXPECT_EQ(iconDown.left, iconUp.left + 1);
  EXPECT_EQ(iconDown.top, iconUp.top + 1);

  const RECT textArea{21, 1, kWidth - 1, kHeight - 1};
  const RECT textUp = up.InkBounds(textArea, face);
  const RECT textDown = down.InkBounds(textArea, face);
  ASSERT_GT(textUp.right, textUp.left);
  EXPECT_EQ(textDown.left, textUp.left + 1);
  EXPECT_EQ(textDown.top, textUp.top + 1);
  EXPECT_EQ(textDown.right, textUp.right + 1);
  EXPECT_EQ(textDown.bottom, textUp.bottom + 1);
  EXPECT_EQ(CountOnBorder(down, kBlack), 2 * kWidth + 2 * (kHeight - 2)) << "pressed shows the outline";
}

TEST(OwnerDrawnButtonFace, DisabledGreysTheIconAndEmbossesTheText) {
  ThemeHelper classic(L"amicord-no-such-theme.dll");
  UniqueIcon icon = SolidIcon(kRed);
  OwnerDrawnButtonLook look = SystemLook();
  look.icon = icon.get();
  look.iconWidth = look.iconHeight = 16;
  look.disabled = true;
  Canvas canvas(kWidth, kHeight);
  DrawFace(canvas, L"Options", look, classic);
  const RECT all = canvas.rect();
  EXPECT_EQ(canvas.Count(all, kRed), 0) << "the icon is drawn greyed";
  EXPECT_GT(canvas.CountOther({3, 7, 19, 23}, GetSysColor(COLOR_BTNFACE)), 0) << "but it is drawn";
  const RECT text{20, 0, kWidth, kHeight};
  EXPECT_GT(canvas.Count(text, GetSysColor(COLOR_BTNSHADOW)), 0);
  EXPECT_GT(canvas.Count(text, GetSysColor(COLOR_BTNHIGHLIGHT)), 0);
  EXPECT_EQ(canvas.Count(text, GetSysColor(COLOR_BTNTEXT)), 0);
  // The highlight copy lies one pixel right and down of the shadow copy.
  const RECT raised = [&] {
    RECT box{kWidth, kHeight, 0, 0};
    for (int y = 0; y < kHeight; ++y)
      for (int x = 20; x < kWidth; ++x)
        if (canvas.At(x, y) == GetSysColor(COLOR_BTNHIGHLIGHT)) {
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box;
  }();
  const RECT ink = canvas.InkBounds(text, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(raised.right, ink.right);
  EXPECT_EQ(raised.bottom, ink.bottom);
}

class AttachedButton : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(host_.CreateHidden(), nullptr);
    raw_ = CreateSystemButton(host_, L"&Options", {10, 10, 10 + kWidth, 10 + kHeight}, 1003);
    ASSERT_NE(raw_, nullptr);
    button_.SetThemeHelper(ClassicTheme());
    ASSERT_TRUE(button_.Attach(raw_));
  }

  HostWindow host_;
  HWND raw_ = nullptr;
  COwnerDrawnButton button_;
};

TEST_F(AttachedButton, BecomesOwnerDrawnAndDrawsOnTheReflectedRequest) {
  EXPECT_EQ(GetWindowLongPtrW(raw_, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_FALSE(button_.Attach(raw_)) << "attached once";
  EXPECT_FALSE(button_.IsRounded()) << "square unless asked";

  Canvas canvas(kWidth, kHeight);
  DRAWITEMSTRUCT item = ButtonDrawRequest(raw_, canvas.dc(), kWidth, kHeight, ODS_FOCUS | ODS_SELECTED);
  EXPECT_EQ(SendMessageW(raw_, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)), TRUE);
  EXPECT_TRUE(button_.IsPressed());
  EXPECT_TRUE(button_.IsFocused());
  EXPECT_FALSE(button_.IsDisabled());
  EXPECT_EQ(canvas.At(0, 0), kBlack) << "pressed: outlined";
  EXPECT_GT(canvas.CountOther({1, 1, kWidth - 1, kHeight - 1}, GetSysColor(COLOR_BTNFACE)), 0) << "text drawn";
  // No focus rectangle: the button is always flat.
  EXPECT_EQ(canvas.Count({1, 1, kWidth - 1, 4}, GetSysColor(COLOR_BTNFACE)), (kWidth - 2) * 3);

  // The whole path: the button paints, its parent reflects the request back.
  Canvas printed(kWidth, kHeight);
  SendMessageW(raw_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT);
  EXPECT_EQ(printed.At(0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(printed.CountOther(printed.rect(), GetSysColor(COLOR_BTNFACE)), 0);
  EXPECT_FALSE(button_.IsPressed());
}

TEST_F(AttachedButton, RoundedButtonGetsARoundWindowRegionOnce) {
  button_.SetRounded(true);
  Canvas canvas(kWidth, kHeight);
  DRAWITEMSTRUCT item = ButtonDrawRequest(raw_, canvas.dc(), kWidth, kHeight, 0);
  SendMessageW(raw_, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(raw_, region.get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
  EXPECT_FALSE(PtInRegion(region.get(), kWidth - 1, kHeight - 1));
  EXPECT_TRUE(PtInRegion(region.get(), kWidth / 2, 0));
  EXPECT_TRUE(PtInRegion(region.get(), kWidth / 2, kHeight / 2));
  const long regionsBefore = handles::LiveCount(handles::Kind::Region);
  SendMessageW(raw_, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(handles::LiveCount(handles::Kind::Region), regionsBefore);
}

TEST_F(AttachedButton, SetIconOwnsTheIconAndTakesItsSize) {
  const long iconsBefore = handles::LiveCount(handles::Kind::Icon);
  EXPECT_TRUE(button_.SetIcon(SolidIcon(kRed, 16)));
  EXPECT_EQ(button_.IconWidth(), 16);
  EXPECT_EQ(button_.IconHeight(), 16);
  EXPECT_EQ(handles::LiveCount(handles::Kind::Icon), iconsBefore + 1);
  EXPECT_TRUE(button_.SetIcon(SolidIcon(kRed, 32)));
  EXPECT_EQ(button_.IconWidth(), 32);
  EXPECT_EQ(handles::LiveCount(handles::Kind::Icon), iconsBefore + 1) << "the previous icon is released";

  EXPECT_FALSE(button_.SetIcon(UniqueIcon()));
  EXPECT_EQ(button_.Icon(), nullptr);
  EXPECT_EQ(button_.IconWidth(), 0);
  EXPECT_EQ(handles::LiveCount(handles::Kind::Icon), iconsBefore);

  Canvas canvas(kWidth, kHeight);
  DRAWITEMSTRUCT item = ButtonDrawRequest(raw_, canvas.dc(), kWidth, kHeight, 0);
  SendMessageW(raw_, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(canvas.Count(canvas.rect(), kRed), 0) << "no icon left to draw";
}

}  // namespace
