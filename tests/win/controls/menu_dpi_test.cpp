#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>

#include <algorithm>

#include "controls/owner_draw_menu.h"
#include "framework/dpi.h"
#include "framework/handles.h"
#include "tests/win/controls/canvas.h"

namespace {

constexpr UINT kOpen = 1441;
constexpr COLORREF kRed = RGB(0xFF, 0, 0);

class DpiMenuHost : public CWindowImpl<DpiMenuHost>, public WTL_EX::COwnerDrawMenu<DpiMenuHost> {
 public:
  DECLARE_WND_CLASS(L"AmicordMenuDpiTestHost")
  ~DpiMenuHost() override {
    if (m_hWnd != nullptr) DestroyWindow();
  }
  BEGIN_MSG_MAP(DpiMenuHost)
    CHAIN_MSG_MAP(WTL_EX::COwnerDrawMenu<DpiMenuHost>)
  END_MSG_MAP()
};

// A strip of one red cell, as large as the strip drawn for dpi.
UniqueImageList RedCell(int dpi) {
  const int cell = framework::Scale(WTL_EX::kMenuImageSize, dpi);
  UniqueImageList images(ImageList_Create(cell, cell, ILC_COLOR32 | ILC_MASK, 1, 1));
  Canvas red(cell, cell, kRed);
  UniqueBitmap bitmap(CreateCompatibleBitmap(red.dc(), cell, cell));
  {
    UniqueMemoryDC copy(CreateCompatibleDC(red.dc()));
    SelectionGuard selected(copy.get(), bitmap.get());
    BitBlt(copy.get(), 0, 0, cell, cell, red.dc(), 0, 0, SRCCOPY);
  }
  ImageList_AddMasked(images.get(), bitmap.get(), WTL_EX::kMenuImageMask);
  return images;
}

struct Drawn {
  UINT height = 0;
  RECT icon{};
  RECT text{};
};

// One item measured and drawn as the system asks at dpi, its DC carrying the
// system's own font (the 96-DPI one here), as a real menu's does.
Drawn MeasureAndDraw(int dpi) {
  framework::ScopedDpiOverride at(dpi);
  DpiMenuHost host;
  EXPECT_NE(host.Create(nullptr, RECT{0, 0, 100, 100}, L"menu host", WS_POPUP), nullptr);
  UniqueMenu menu(CreatePopupMenu());
  AppendMenuW(menu.get(), MF_STRING, kOpen, L"&Open");
  UniqueImageList images = RedCell(dpi);
  host.AttachImageList(menu.get(), images.get());
  host.SetItemImage(menu.get(), kOpen, 0);
  SendMessageW(host, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.get()), 0);

  Drawn drawn;
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_MENU;
  measure.itemID = kOpen;
  SendMessageW(host, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
  drawn.height = measure.itemHeight;

  Canvas canvas(static_cast<int>(measure.itemWidth), static_cast<int>(measure.itemHeight));
  SelectionGuard systemFont(canvas.dc(), static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_MENU;
  item.itemID = kOpen;
  item.itemAction = ODA_DRAWENTIRE;
  item.hwndItem = reinterpret_cast<HWND>(menu.get());
  item.hDC = canvas.dc();
  item.rcItem = canvas.rect();
  SendMessageW(host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  const int column = framework::Scale(WTL_EX::kMenuIconColumn, dpi);
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < column; ++x) {
      if (canvas.At(x, y) != kRed) continue;
      if (drawn.icon.right == 0) drawn.icon = RECT{x, y, x + 1, y + 1};
      drawn.icon.left = std::min<LONG>(drawn.icon.left, x);
      drawn.icon.right = std::max<LONG>(drawn.icon.right, x + 1);
      drawn.icon.bottom = std::max<LONG>(drawn.icon.bottom, y + 1);
    }
  }
  drawn.text = canvas.InkBounds(RECT{column, 0, canvas.width(), canvas.height()}, GetSysColor(COLOR_MENU));
  host.DetachImageList(menu.get());
  return drawn;
}

TEST(MenuDpi, AnItemsHeightPictureAndTextGrowWithTheDpi) {
  const Drawn at96 = MeasureAndDraw(96);
  ASSERT_GT(at96.text.bottom - at96.text.top, 4) << "the text is drawn";
  for (int dpi : {144, 192}) {
    SCOPED_TRACE(dpi);
    const Drawn drawn = MeasureAndDraw(dpi);
    EXPECT_NEAR(static_cast<int>(drawn.height), framework::Scale(static_cast<int>(at96.height), dpi), 2);
    const int cell = framework::Scale(WTL_EX::kMenuImageSize, dpi);
    EXPECT_EQ(drawn.icon.right - drawn.icon.left, cell);
    EXPECT_EQ(drawn.icon.bottom - drawn.icon.top, cell);
    EXPECT_NEAR(drawn.icon.top + drawn.icon.bottom, static_cast<LONG>(drawn.height), 1) << "centred in the item";
    // The text in the window's font at its DPI, not in the one the system put in the DC.
    const int inked = drawn.text.bottom - drawn.text.top;
    EXPECT_NEAR(inked, framework::Scale(at96.text.bottom - at96.text.top, dpi), 3);
    EXPECT_LE(drawn.text.bottom, static_cast<LONG>(drawn.height));
  }
}

}  // namespace
