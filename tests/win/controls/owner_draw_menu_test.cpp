#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>

#include <string>

#include "controls/owner_draw_menu.h"
#include "framework/dpi.h"
#include "tests/win/controls/canvas.h"
#include "tests/win/controls/test_icons.h"

namespace {

constexpr UINT kAddContact = 1260;
constexpr UINT kOpen = 1261;
constexpr UINT kEdit = 1264;
constexpr UINT kDelete = 1265;
constexpr int kItemWidth = 200;
constexpr int kItemHeight = 20;
constexpr COLORREF kRed = RGB(0xFF, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class MenuHost : public CWindowImpl<MenuHost>, public WTL_EX::COwnerDrawMenu<MenuHost> {
 public:
  DECLARE_WND_CLASS(L"AmicordMenuTestHost")
  using Menu = WTL_EX::COwnerDrawMenu<MenuHost>;

  ~MenuHost() override {
    if (m_hWnd != nullptr) DestroyWindow();
  }

  BEGIN_MSG_MAP(MenuHost)
    MESSAGE_HANDLER(WM_MEASUREITEM, CountMeasure)
    MESSAGE_HANDLER(WM_ENTERIDLE, CloseMenuWhenShown)
    CHAIN_MSG_MAP(Menu)
  END_MSG_MAP()

  int measured = 0;
  RECT shownAt{};
  bool sawMenu = false;

 private:
  LRESULT CountMeasure(UINT, WPARAM, LPARAM, BOOL& handled) {
    ++measured;
    handled = FALSE;
    return 0;
  }
  LRESULT CloseMenuWhenShown(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    if (wParam == MSGF_MENU) {
      if (HWND popup = FindWindowW(L"#32768", nullptr)) {
        ::GetWindowRect(popup, &shownAt);
        sawMenu = true;
      }
      EndMenu();
    }
    handled = FALSE;
    return 0;
  }
};

class OwnerDrawMenu : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(host_.Create(nullptr, RECT{0, 0, 200, 200}, L"menu host", WS_POPUP), nullptr);
    menu_.reset(CreatePopupMenu());
    AppendMenuW(menu_.get(), MF_STRING, kAddContact, L"&Add &Contact");
    AppendMenuW(menu_.get(), MF_STRING, kOpen, L"&Open\tCtrl+O");
    AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu_.get(), MF_STRING, kEdit, L"&Edit");
    AppendMenuW(menu_.get(), MF_STRING, kDelete, L"&Delete");
  }

  void Open(HMENU menu) { SendMessageW(host_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0); }

  LRESULT Draw(Canvas& canvas, UINT id, UINT state) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = id;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = reinterpret_cast<HWND>(menu_.get());
    item.hDC = canvas.dc();
    item.rcItem = canvas.rect();
    // A menu's DC carries the menu font.
    HGDIOBJ previous = SelectObject(canvas.dc(), host_.MenuFont());
    const LRESULT result = SendMessageW(host_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    SelectObject(canvas.dc(), previous);
    return result;
  }

  MEASUREITEMSTRUCT Measure(UINT id) {
    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = id;
    item.itemWidth = 7;
    item.itemHeight = 7;
    EXPECT_EQ(SendMessageW(host_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item)), TRUE);
    return item;
  }

  int TextWidth(const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, host_.MenuFont());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return size.cx;
  }

  static RECT TextArea(const Canvas& canvas) {
    return RECT{WTL_EX::kMenuIconColumn, 1, canvas.width(), canvas.height() - 1};
  }

  MenuHost host_;
  UniqueMenu menu_;
};

UINT ItemType(HMENU menu, UINT position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(menu, position, TRUE, &info);
  return info.fType;
}

TEST_F(OwnerDrawMenu, OpeningAPopupMakesEveryItemOwnerDrawnAndTracksTheCurrentMenu) {
  ASSERT_NE(host_.MenuFont(), nullptr);
  UniqueMenu sub(CreatePopupMenu());
  AppendMenuW(sub.get(), MF_STRING, 1300, L"Inner");
  AppendMenuW(menu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(sub.get()), L"More");
  HMENU subMenu = sub.release();  // owned by menu_ now

  EXPECT_EQ(ItemType(menu_.get(), 0) & MFT_OWNERDRAW, 0u);
  Open(menu_.get());
  for (int position = 0; position < GetMenuItemCount(menu_.get()); ++position)
    EXPECT_NE(ItemType(menu_.get(), position) & MFT_OWNERDRAW, 0u) << position;
  EXPECT_NE(ItemType(menu_.get(), 2) & MFT_SEPARATOR, 0u) << "separators stay separators";
  WTL_EX::MenuItemFacts facts;
  ASSERT_TRUE(WTL_EX::ReadMenuItem(menu_.get(), kOpen, facts));
  EXPECT_EQ(facts.text, L"&Open\tCtrl+O") << "the text survives the conversion";
  EXPECT_EQ(host_.CurrentMenu(), menu_.get());
  EXPECT_EQ(host_.PreviousMenu(), nullptr);

  Open(subMenu);
  EXPECT_EQ(host_.CurrentMenu(), subMenu);
  EXPECT_EQ(host_.PreviousMenu(), menu_.get());
  EXPECT_NE(ItemType(subMenu, 0) & MFT_OWNERDRAW, 0u);

  SendMessageW(host_, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(subMenu), 0);
  EXPECT_EQ(host_.CurrentMenu(), menu_.get()) << "closing the submenu restores its parent";
  EXPECT_EQ(host_.PreviousMenu(), nullptr);
  SendMessageW(host_, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(menu_.get()), 0);
  EXPECT_EQ(host_.CurrentMenu(), menu_.get());

  SendMessageW(host_, WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(host_.CurrentMenu(), nullptr);

  // The mix-in lets the window's own processing go on for these.
  LRESULT result = 0;
  EXPECT_FALSE(host_.MenuHost::Menu::ProcessWindowMessage(host_, WM_INITMENUPOPUP,
                                                          reinterpret_cast<WPARAM>(menu_.get()), 0, result));
  EXPECT_FALSE(host_.MenuHost::Menu::ProcessWindowMessage(host_, WM_ENTERMENULOOP, 0, 0, result));
}

TEST_F(OwnerDrawMenu, MeasuresItemsTwentyHighTextPlus46WideAndSeparatorsEightHigh) {
  Open(menu_.get());
  const MEASUREITEMSTRUCT item = Measure(kAddContact);
  EXPECT_EQ(item.itemHeight, 20u);
  EXPECT_EQ(static_cast<int>(item.itemWidth), TextWidth(L"Add Contact") + 46) << "\"&\" adds no width";

  MEASUREITEMSTRUCT separator{};
  separator.CtlType = ODT_MENU;
  separator.itemID = 0;
  SendMessageW(host_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&separator));
  EXPECT_EQ(separator.itemHeight, 8u);
  EXPECT_EQ(separator.itemWidth, 32u);

  const MEASUREITEMSTRUCT missing = Measure(4242);
  EXPECT_EQ(missing.itemHeight, 7u) << "unknown items keep their sizes";
  EXPECT_EQ(missing.itemWidth, 7u);

  // Controls' measuring belongs to the window's other handlers.
  MEASUREITEMSTRUCT control{};
  control.CtlType = ODT_LISTVIEW;
  control.CtlID = 1;
  LRESULT result = 0;
  EXPECT_FALSE(
      host_.MenuHost::Menu::ProcessWindowMessage(host_, WM_MEASUREITEM, 1, reinterpret_cast<LPARAM>(&control), result));
}

TEST_F(OwnerDrawMenu, AtTwiceTheDpiEveryMeasureAndTheFontDouble) {
  Open(menu_.get());
  const MEASUREITEMSTRUCT at96 = Measure(kAddContact);
  LOGFONTW font96{};
  GetObjectW(host_.MenuFont(), sizeof font96, &font96);
  {
    framework::ScopedDpiOverride at192(192);
    Open(menu_.get());
    EXPECT_EQ(host_.MenuDpi(), 192);
    LOGFONTW font192{};
    GetObjectW(host_.MenuFont(), sizeof font192, &font192);
    EXPECT_NEAR(font192.lfHeight, 2 * font96.lfHeight, 1);
    const MEASUREITEMSTRUCT item = Measure(kAddContact);
    EXPECT_GE(item.itemHeight, 40u);
    EXPECT_EQ(static_cast<int>(item.itemWidth), TextWidth(L"Add Contact") + 92);
    MEASUREITEMSTRUCT separator{};
    separator.CtlType = ODT_MENU;
    SendMessageW(host_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&separator));
    EXPECT_EQ(separator.itemHeight, 16u);

    // The column is twice as wide: its gradient runs on to 48 pixels, not 24.
    Canvas canvas(kItemWidth * 2, static_cast<int>(item.itemHeight));
    ASSERT_EQ(Draw(canvas, kEdit, 0), TRUE);
    EXPECT_LT(GetRValue(canvas.At(40, 2)), 0x60);
    EXPECT_GT(GetBValue(canvas.At(40, 2)), 0xE0);
    EXPECT_EQ(canvas.At(52, 2), GetSysColor(COLOR_MENU));
  }
  Open(menu_.get());
  EXPECT_EQ(Measure(kAddContact).itemHeight, at96.itemHeight) << "back at 96 once the window is";
}

TEST_F(OwnerDrawMenu, PlainItemHasTheGradientColumnAndMenuColouredText) {
  Open(menu_.get());
  Canvas canvas(kItemWidth, kItemHeight);
  EXPECT_EQ(Draw(canvas, kEdit, 0), TRUE);
  const COLORREF left = canvas.At(0, 10);
  const COLORREF right = canvas.At(WTL_EX::kMenuIconColumn - 1, 10);
  EXPECT_TRUE(Near(left, RGB(0xEE, 0xEE, 0xEE), 2)) << std::hex << left;
  EXPECT_GE(GetBValue(right), 0xF8);
  EXPECT_LT(GetRValue(right), 0x14);
  EXPECT_LT(GetGValue(right), 0x14);
  EXPECT_EQ(canvas.At(WTL_EX::kMenuIconColumn, 10), GetSysColor(COLOR_MENU));
  EXPECT_EQ(canvas.At(kItemWidth - 1, 0), GetSysColor(COLOR_MENU)) << "no frame when not selected";
  const RECT ink = canvas.InkBounds(TextArea(canvas), GetSysColor(COLOR_MENU));
  EXPECT_GE(ink.left, WTL_EX::kMenuIconColumn + 6) << "text indented 6 pixels";
  EXPECT_LE(ink.left, WTL_EX::kMenuIconColumn + 8);
  EXPECT_GT(canvas.Count(TextArea(canvas), GetSysColor(COLOR_MENUTEXT)), 0);
}

TEST_F(OwnerDrawMenu, SelectedEnabledItemIsHighlightedEntirelyWithABlackFrame) {
  Open(menu_.get());
  Canvas canvas(kItemWidth, kItemHeight);
  Draw(canvas, kEdit, ODS_SELECTED);
  const int w = kItemWidth, h = kItemHeight;
  EXPECT_EQ(canvas.Count({0, 0, w, 1}, kBlack) + canvas.Count({0, h - 1, w, h}, kBlack) +
                canvas.Count({0, 1, 1, h - 1}, kBlack) + canvas.Count({w - 1, 1, w, h - 1}, kBlack),
            2 * w + 2 * (h - 2));
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(canvas.CountOther({1, 1, WTL_EX::kMenuIconColumn, h - 1}, highlight), 0) << "icon column included";
  EXPECT_EQ(canvas.CountOther({1, 1, w - 1, 2}, highlight), 0);
  EXPECT_GT(canvas.Count(TextArea(canvas), GetSysColor(COLOR_HIGHLIGHTTEXT)), 0);

  Canvas disabled(kItemWidth, kItemHeight);
  Draw(disabled, kEdit, ODS_SELECTED | ODS_GRAYED);
  EXPECT_EQ(disabled.At(0, 0), kBlack);
  EXPECT_EQ(disabled.At(w - 1, h - 1), kBlack);
  EXPECT_EQ(disabled.Count(disabled.rect(), highlight), 0) << "a disabled item is never highlighted";
  EXPECT_GT(GetBValue(disabled.At(WTL_EX::kMenuIconColumn - 2, 10)), 0xF0) << "gradient column kept";
  EXPECT_GT(disabled.Count(TextArea(disabled), GetSysColor(COLOR_GRAYTEXT)), 0);
}

TEST_F(OwnerDrawMenu, DisabledItemIsEmbossed) {
  Open(menu_.get());
  Canvas canvas(kItemWidth, kItemHeight);
  Draw(canvas, kEdit, ODS_GRAYED);
  const RECT text = TextArea(canvas);
  EXPECT_GT(canvas.Count(text, GetSysColor(COLOR_GRAYTEXT)), 0);
  if (GetSysColor(COLOR_BTNHIGHLIGHT) != GetSysColor(COLOR_MENU)) {
    EXPECT_GT(canvas.Count(text, GetSysColor(COLOR_BTNHIGHLIGHT)), 0);
  }
  EXPECT_EQ(canvas.Count(text, GetSysColor(COLOR_MENUTEXT)), 0);
}

TEST_F(OwnerDrawMenu, AmpersandsUnderlineTheNextLetterAndAreNotDrawn) {
  Open(menu_.get());
  Canvas marked(kItemWidth, kItemHeight);
  Draw(marked, kAddContact, 0);
  ModifyMenuW(menu_.get(), kAddContact, MF_BYCOMMAND | MF_STRING, kAddContact, L"Add Contact");
  Open(menu_.get());
  Canvas plain(kItemWidth, kItemHeight);
  Draw(plain, kAddContact, 0);

  const COLORREF menu = GetSysColor(COLOR_MENU);
  const RECT area = TextArea(plain);
  const RECT plainInk = plain.InkBounds(area, menu);
  const RECT markedInk = marked.InkBounds(area, menu);
  EXPECT_EQ(markedInk.left, plainInk.left);
  EXPECT_NEAR(markedInk.right, plainInk.right, 1) << "no room taken by the marks";
  int extraRows = 0;
  int extra = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    int onRow = 0;
    for (int x = area.left; x < area.right; ++x) {
      const bool inkPlain = plain.At(x, y) != menu;
      const bool inkMarked = marked.At(x, y) != menu;
      if (inkPlain) {
        EXPECT_TRUE(inkMarked) << "every letter is where it would be without the marks: " << x << "," << y;
      }
      if (inkMarked && !inkPlain) ++onRow;
    }
    if (onRow > 0) ++extraRows;
    extra += onRow;
  }
  EXPECT_GT(extra, 4) << "two underlines";
  EXPECT_LE(extraRows, 2) << "only underlines were added";
}

TEST_F(OwnerDrawMenu, TextAfterATabIsRightAlignedSixteenPixelsBeforeTheEdge) {
  Open(menu_.get());
  Canvas canvas(kItemWidth, kItemHeight);
  Draw(canvas, kOpen, 0);
  const RECT ink = canvas.InkBounds(TextArea(canvas), GetSysColor(COLOR_MENU));
  // The glyphs' own side bearings leave a pixel or three.
  EXPECT_LE(ink.right, kItemWidth - 16);
  EXPECT_GE(ink.right, kItemWidth - 16 - 4);
  Canvas wider(kItemWidth + 60, kItemHeight);
  Draw(wider, kOpen, 0);
  const RECT widerInk = wider.InkBounds(TextArea(wider), GetSysColor(COLOR_MENU));
  EXPECT_EQ(widerInk.right, ink.right + 60) << "the accelerator follows the right edge";
  EXPECT_EQ(widerInk.left, ink.left) << "the label stays at the left";
  const int accelerator = TextWidth(L"Ctrl+O");
  // The part before the tab stays at the left; nothing in between.
  const int gapFrom = WTL_EX::kMenuIconColumn + 6 + TextWidth(L"Open") + 2;
  const int gapTo = kItemWidth - 16 - accelerator - 2;
  ASSERT_LT(gapFrom, gapTo);
  EXPECT_EQ(canvas.CountOther({gapFrom, 1, gapTo, kItemHeight - 1}, GetSysColor(COLOR_MENU)), 0);
}

TEST_F(OwnerDrawMenu, SeparatorIsAnEtchedLineHalfWayDown) {
  Open(menu_.get());
  Canvas canvas(kItemWidth, 8);
  EXPECT_EQ(Draw(canvas, 0, 0), TRUE);
  EXPECT_TRUE(Near(canvas.At(0, 4), RGB(0xEE, 0xEE, 0xEE), 2));
  const int x = WTL_EX::kMenuIconColumn + 20;
  EXPECT_EQ(canvas.At(x, 4), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.At(x, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas.At(x, 3), GetSysColor(COLOR_MENU));
  EXPECT_EQ(canvas.At(WTL_EX::kMenuIconColumn + 3, 4), GetSysColor(COLOR_MENU)) << "the line starts 6 pixels in";
  EXPECT_EQ(canvas.At(WTL_EX::kMenuIconColumn + 6, 4), GetSysColor(COLOR_BTNSHADOW));
}

class MenuIcons : public OwnerDrawMenu {
 protected:
  void SetUp() override {
    OwnerDrawMenu::SetUp();
    images_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2));
    UniqueIcon red = SolidIcon(kRed);
    ASSERT_EQ(ImageList_AddIcon(images_.get(), red.get()), 0);
  }
  int RedPixels(UINT id, UINT state) {
    Canvas canvas(kItemWidth, kItemHeight);
    Draw(canvas, id, state);
    return canvas.Count({4, 2, 20, 18}, kRed);
  }
  UniqueImageList images_;
};

TEST_F(MenuIcons, ItemsShowTheImageTheirCommandWasGiven) {
  EXPECT_FALSE(host_.SetItemImage(menu_.get(), kEdit, 0)) << "no image list associated yet";
  host_.AttachImageList(menu_.get(), images_.get());
  EXPECT_TRUE(host_.SetItemImage(menu_.get(), kEdit, 0));
  Open(menu_.get());
  EXPECT_EQ(RedPixels(kEdit, 0), 16 * 16) << "drawn 4 pixels in and 2 down";
  EXPECT_EQ(RedPixels(kEdit, ODS_GRAYED), 16 * 16) << "a disabled item's icon keeps its colours";
  EXPECT_EQ(RedPixels(kEdit, ODS_SELECTED), 16 * 16);
  EXPECT_EQ(RedPixels(kDelete, 0), 0) << "no image index, no icon";

  const long iconsBefore = handles::LiveCount(handles::Kind::Icon);
  RedPixels(kEdit, 0);
  EXPECT_EQ(handles::LiveCount(handles::Kind::Icon), iconsBefore) << "the icon is destroyed after drawing";

  // The menu goes; a later menu with the same handle must not inherit its images.
  host_.DetachImageList(menu_.get());
  EXPECT_EQ(RedPixels(kEdit, 0), 0);
  host_.AttachImageList(menu_.get(), images_.get());
  EXPECT_EQ(RedPixels(kEdit, 0), 0);
  EXPECT_TRUE(host_.SetItemImage(menu_.get(), kDelete, 0));
  EXPECT_EQ(RedPixels(kDelete, 0), 16 * 16);
}

TEST_F(MenuIcons, CheckedItemsGetASunkenBorderButNoGlyph) {
  Open(menu_.get());
  Canvas checked(kItemWidth, kItemHeight);
  Draw(checked, kEdit, ODS_CHECKED);
  EXPECT_EQ(checked.At(0, 10), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(checked.At(10, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(checked.At(10, kItemHeight - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  Canvas plain(kItemWidth, kItemHeight);
  Draw(plain, kEdit, 0);
  int differing = 0;
  for (int y = 1; y < kItemHeight - 1; ++y)
    for (int x = 1; x < WTL_EX::kMenuIconColumn; ++x)
      if (checked.At(x, y) != plain.At(x, y)) ++differing;
  EXPECT_EQ(differing, 0) << "no check-mark glyph inside the column";

  Canvas selected(kItemWidth, kItemHeight);
  Draw(selected, kEdit, ODS_CHECKED | ODS_SELECTED);
  EXPECT_EQ(selected.At(0, 10), kBlack) << "selected: only the frame";
  EXPECT_EQ(selected.At(1, 10), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(OwnerDrawMenu, ControlsDrawingIsLeftToTheWindow) {
  Canvas canvas(50, 20);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.CtlID = 1001;
  item.itemID = kEdit;
  item.hDC = canvas.dc();
  item.rcItem = canvas.rect();
  Open(menu_.get());
  LRESULT result = 0;
  EXPECT_FALSE(
      host_.MenuHost::Menu::ProcessWindowMessage(host_, WM_DRAWITEM, 1001, reinterpret_cast<LPARAM>(&item), result));
  EXPECT_EQ(canvas.At(0, 0), RGB(0x12, 0x34, 0x56)) << "nothing drawn";
  // A menu item that cannot be read is not drawn either.
  item.CtlType = ODT_MENU;
  item.itemID = 4242;
  EXPECT_FALSE(
      host_.MenuHost::Menu::ProcessWindowMessage(host_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item), result));
}

TEST(MenuPosition, PointsOffEveryMonitorMoveIntoTheNearestWorkArea) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
  const RECT work = info.rcWork;
  const int y = (work.top + work.bottom) / 2;
  EXPECT_EQ(WTL_EX::MenuXOnScreen(work.left - 5000, y), work.left);
  EXPECT_EQ(WTL_EX::MenuXOnScreen(work.right + 5000, y), work.right);
  EXPECT_EQ(WTL_EX::MenuXOnScreen(work.left + 10, y), work.left + 10) << "on a monitor: unchanged";
  EXPECT_EQ(WTL_EX::MenuXOnScreen(work.left + 10, work.bottom + 5000), work.left + 10) << "y is never the reason";
}

// Fails the menu loop safe if WM_ENTERIDLE never comes.
void CALLBACK EndMenuLater(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

TEST_F(OwnerDrawMenu, TrackMenuShowsAMenuLeftOfEveryMonitorAtTheWorkAreaEdge) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
  const int y = info.rcWork.top + 100;
  const UINT_PTR timer = SetTimer(nullptr, 0, 5000, &EndMenuLater);
  host_.TrackMenu(menu_.get(), info.rcWork.left - 3000, y, host_);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(host_.sawMenu);
  EXPECT_EQ(host_.shownAt.left, info.rcWork.left);
  EXPECT_EQ(host_.shownAt.top, y);
  EXPECT_GT(host_.measured, 0) << "the items were measured as owner-drawn ones";
  EXPECT_NE(ItemType(menu_.get(), 0) & MFT_OWNERDRAW, 0u);
  EXPECT_EQ(host_.CurrentMenu(), nullptr) << "the menu loop is over";
}

}  // namespace
