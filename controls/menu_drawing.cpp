#include "controls/menu_drawing.h"

#include <algorithm>
#include <optional>

#include "framework/dialog.h"
#include "framework/dpi.h"

namespace WTL_EX {

namespace {

COLOR16 Channel(BYTE value) { return static_cast<COLOR16>(value << 8); }

void DrawColumnGradient(HDC dc, const RECT& item, int dpi) {
  TRIVERTEX corners[2] = {
      {item.left, item.top, Channel(GetRValue(kMenuColumnLeft)), Channel(GetGValue(kMenuColumnLeft)),
       Channel(GetBValue(kMenuColumnLeft)), 0},
      {item.left + framework::Scale(kMenuIconColumn, dpi), item.bottom, Channel(GetRValue(kMenuColumnRight)),
       Channel(GetGValue(kMenuColumnRight)), Channel(GetBValue(kMenuColumnRight)), 0},
  };
  GRADIENT_RECT rect{0, 1};
  GradientFill(dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_H);
}

void DrawItemText(HDC dc, const RECT& area, const std::wstring& text) {
  constexpr UINT kFormat = DT_SINGLELINE | DT_VCENTER;
  RECT box = area;
  const size_t tab = text.find(L'\t');
  if (tab == std::wstring::npos) {
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kFormat);
    return;
  }
  DrawTextW(dc, text.c_str(), static_cast<int>(tab), &box, kFormat);
  box = area;
  const std::wstring accelerator = text.substr(tab + 1);
  DrawTextW(dc, accelerator.c_str(), static_cast<int>(accelerator.size()), &box, kFormat | DT_RIGHT);
}

}  // namespace

UniqueImageList LoadMenuImages(UINT bitmapId) {
  UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(framework::ResourceInstance(), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP facts{};
  const bool known = strip && GetObjectW(strip.get(), sizeof facts, &facts) && facts.bmHeight > 0;
  const int cell = known ? facts.bmHeight : kMenuImageSize;
  const int count = known ? facts.bmWidth / cell : 0;
  UniqueImageList images(ImageList_Create(cell, cell, ILC_COLOR32 | ILC_MASK, count, 2));
  if (images && strip) ImageList_AddMasked(images.get(), strip.get(), kMenuImageMask);
  return images;
}

UINT MenuStripForDpi(const MenuStrips& strips, int dpi) {
  const int size = framework::Scale(kMenuImageSize, dpi);
  if (size >= 32 && strips.at32) return strips.at32;
  if (size >= 24 && strips.at24) return strips.at24;
  if (size >= 20 && strips.at20) return strips.at20;
  return strips.at16;
}

UniqueFont CreateMenuFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  if (!framework::NonClientMetricsForDpi(metrics, dpi)) return UniqueFont();
  return UniqueFont(CreateFontIndirectW(&metrics.lfMenuFont));
}

void ConvertMenuToOwnerDraw(HMENU popup) {
  const int count = GetMenuItemCount(popup);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoW(popup, static_cast<UINT>(position), TRUE, &info)) continue;
    if (info.fType & MFT_OWNERDRAW) continue;
    info.fType |= MFT_OWNERDRAW;
    SetMenuItemInfoW(popup, static_cast<UINT>(position), TRUE, &info);
  }
}

bool ReadMenuItem(HMENU menu, UINT id, MenuItemFacts& facts) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STRING;
  if (menu == nullptr || !GetMenuItemInfoW(menu, id, FALSE, &info)) return false;
  facts.type = info.fType;
  facts.text.clear();
  if (info.cch == 0) return true;
  std::wstring text(info.cch + 1, L'\0');
  info.fMask = MIIM_STRING;
  info.dwTypeData = text.data();
  info.cch = static_cast<UINT>(text.size());
  if (!GetMenuItemInfoW(menu, id, FALSE, &info)) return true;
  text.resize(std::min<size_t>(info.cch, text.size() - 1));
  facts.text = std::move(text);
  return true;
}

bool MeasureMenuItem(HMENU menu, MEASUREITEMSTRUCT& item, HFONT font, int dpi) {
  MenuItemFacts facts;
  if (!ReadMenuItem(menu, item.itemID, facts)) return false;
  if (facts.type & MFT_SEPARATOR) {
    item.itemHeight = static_cast<UINT>(framework::Scale(kMenuSeparatorHeight, dpi));
    item.itemWidth = static_cast<UINT>(framework::Scale(kMenuSeparatorWidth, dpi));
    return true;
  }
  RECT size{};
  {
    WindowDC screen(nullptr);
    std::optional<SelectionGuard> fontGuard;
    if (font != nullptr) fontGuard.emplace(screen.get(), font);
    DrawTextW(screen.get(), facts.text.c_str(), static_cast<int>(facts.text.size()), &size,
              DT_CALCRECT | DT_SINGLELINE);
  }
  const LONG textHeight = std::max<LONG>(size.bottom - size.top, framework::Scale(kMenuMinTextHeight, dpi));
  item.itemHeight = static_cast<UINT>(textHeight + framework::Scale(kMenuVerticalPadding, dpi));
  item.itemWidth = static_cast<UINT>(size.right - size.left + framework::Scale(kMenuHorizontalPadding, dpi));
  return true;
}

bool DrawMenuItem(HMENU menu, const DRAWITEMSTRUCT& item, HIMAGELIST images, int imageIndex, int dpi, HFONT font) {
  MenuItemFacts facts;
  if (!ReadMenuItem(menu, item.itemID, facts)) return false;
  HDC dc = item.hDC;
  std::optional<SelectionGuard> fontGuard;
  if (font != nullptr) fontGuard.emplace(dc, font);
  const RECT whole = item.rcItem;
  RECT text{whole.left + framework::Scale(kMenuIconColumn, dpi), whole.top, whole.right, whole.bottom};

  if (facts.type & MFT_SEPARATOR) {
    DrawColumnGradient(dc, whole, dpi);
    FillRect(dc, &text, GetSysColorBrush(COLOR_MENU));
    text.left += framework::Scale(kMenuTextIndent, dpi);
    text.top += (text.bottom - text.top) / 2;
    DrawEdge(dc, &text, EDGE_ETCHED, BF_TOP);
    return true;
  }

  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_GRAYED) != 0;
  const bool checked = (item.itemState & ODS_CHECKED) != 0;
  const bool highlighted = selected && !disabled;

  if (highlighted)
    FillRect(dc, &whole, GetSysColorBrush(COLOR_HIGHLIGHT));
  else
    DrawColumnGradient(dc, whole, dpi);

  UniqueIcon icon;
  if (images != nullptr && imageIndex >= 0) icon.reset(ImageList_GetIcon(images, imageIndex, ILD_TRANSPARENT));
  if (icon || checked) {
    if (checked && !selected) {
      RECT border = whole;
      DrawEdge(dc, &border, BDR_SUNKENOUTER, BF_RECT);
    }
    // A disabled item's icon stays in full colour: the grey text says enough.
    // Centred: the item's height follows the font, the strip's cells the DPI.
    int cell = 0;
    int unused = 0;
    if (icon && ImageList_GetIconSize(images, &cell, &unused)) {
      const int column = framework::Scale(kMenuIconColumn, dpi);
      const int x = whole.left + std::max(0, (column - cell) / 2);
      const int y = whole.top + std::max(0, (static_cast<int>(whole.bottom - whole.top) - cell) / 2);
      DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, x, y, 0, 0, DST_ICON);
    }
  }

  FillRect(dc, &text, GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_MENU));
  text.left += framework::Scale(kMenuTextIndent, dpi);
  text.right -= framework::Scale(kMenuTextRightMargin, dpi);

  const int previousMode = SetBkMode(dc, TRANSPARENT);
  COLORREF previousColour;
  if (disabled && !selected) {
    RECT raised = text;
    OffsetRect(&raised, 1, 1);
    previousColour = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawItemText(dc, raised, facts.text);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else if (disabled) {
    previousColour = SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    previousColour = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  }
  DrawItemText(dc, text, facts.text);
  SetTextColor(dc, previousColour);
  SetBkMode(dc, previousMode);

  if (selected) FrameRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  return true;
}

int MenuXOnScreen(int x, int y) {
  const POINT point{x, y};
  if (MonitorFromPoint(point, MONITOR_DEFAULTTONULL) != nullptr) return x;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info)) return x;
  if (x < info.rcWork.left) return info.rcWork.left;
  if (x > info.rcWork.right) return info.rcWork.right;
  return x;
}

}  // namespace WTL_EX
