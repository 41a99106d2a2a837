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

// The menu pictures: a bitmap strip of 16 x 16 images side by side, magenta
// where the menu shows through.
constexpr int kMenuImageSize = 16;
constexpr COLORREF kMenuImageMask = RGB(0xFF, 0x00, 0xFF);
// Loads the strip bitmapId from the resource module into a masked image list;
// the list is empty when the strip cannot be loaded.
UniqueImageList LoadMenuImages(UINT bitmapId);

// The system's menu font; null when the system cannot tell.
UniqueFont CreateMenuFont();

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
bool MeasureMenuItem(HMENU menu, MEASUREITEMSTRUCT& item, HFONT font);

// Draws the item of menu described by item; the icon comes from images at
// imageIndex (null images or a negative index: none). False when menu has no such item.
bool DrawMenuItem(HMENU menu, const DRAWITEMSTRUCT& item, HIMAGELIST images, int imageIndex);

// The horizontal position TrackMenu shows a menu at: x moved into the nearest
// monitor's work area when (x, y) lies on no monitor.
int MenuXOnScreen(int x, int y);

}  // namespace WTL_EX
