#pragma once
#include "base/windows_api.h"

#include <commctrl.h>

#include <string>

#include "framework/handles.h"

namespace WTL_EX {

constexpr int kMenuIconColumn = 24;
constexpr int kMenuSeparatorHeight = 8;
constexpr int kMenuSeparatorWidth = 32;
constexpr int kMenuMinTextHeight = 16;
constexpr int kMenuVerticalPadding = 4;
constexpr int kMenuHorizontalPadding = 46;  // icon column, text indent and right margin
constexpr int kMenuTextIndent = 6;
constexpr int kMenuTextRightMargin = 16;
constexpr COLORREF kMenuColumnLeft = RGB(0xEE, 0xEE, 0xEE);
constexpr COLORREF kMenuColumnRight = RGB(0x00, 0x00, 0xFF);

// The menu pictures: a bitmap strip of square images side by side (16 x 16 at
// 96 dots per inch), magenta where the menu shows through.
constexpr int kMenuImageSize = 16;
constexpr COLORREF kMenuImageMask = RGB(0xFF, 0x00, 0xFF);
// Loads the strip bitmapId from the resource module into a masked image list
// of cells as high as the strip; the list is empty when the strip cannot be loaded.
UniqueImageList LoadMenuImages(UINT bitmapId);

// One strip drawn at each size Windows picks for 100, 125, 150 and 200 %.
struct MenuStrips {
  UINT at16 = 0;
  UINT at20 = 0;
  UINT at24 = 0;
  UINT at32 = 0;
};
// The strip for dpi: the largest not above the pictures' size there.
UINT MenuStripForDpi(const MenuStrips& strips, int dpi);

// The system's menu font at dpi; null when the system cannot tell.
UniqueFont CreateMenuFont(int dpi = 96);

// Adds MFT_OWNERDRAW to every item of popup.
void ConvertMenuToOwnerDraw(HMENU popup);

struct MenuItemFacts {
  UINT type = 0;
  std::wstring text;
};
// Reads an item of menu by command id; false when there is none.
bool ReadMenuItem(HMENU menu, UINT id, MenuItemFacts& facts);

// Fills item.itemWidth and item.itemHeight for the item of menu; font may be null.
// Returns false (and leaves the sizes) when menu has no such item.
// Every measure is given at 96 dots per inch and scaled to dpi.
bool MeasureMenuItem(HMENU menu, MEASUREITEMSTRUCT& item, HFONT font, int dpi = 96);

// Draws the item of menu described by item; the icon comes from images at
// imageIndex (null images or a negative index: none), centred in the item's
// icon column, the text in font (null: the DC's own, which the system gives
// at its own DPI, not the window's). False when menu has no such item.
bool DrawMenuItem(HMENU menu, const DRAWITEMSTRUCT& item, HIMAGELIST images, int imageIndex, int dpi = 96,
                  HFONT font = nullptr);

// The horizontal position TrackMenu shows a menu at: x moved into the nearest
// monitor's work area when (x, y) lies on no monitor.
int MenuXOnScreen(int x, int y);

}  // namespace WTL_EX
