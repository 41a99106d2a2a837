#include "controls/button_drawing.h"

#include "controls/theme_helper.h"
#include "framework/double_buffer.h"
#include "framework/dpi.h"
#include "framework/window.h"

namespace WTL_EX {

namespace {

constexpr int kIconGap = 3;
constexpr int kLinkFocusInset = 3;
constexpr int kSortFocusInset = 4;
constexpr int kSortTextInset = 2;
constexpr int kButtonFontPoints = 8;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT Inset(RECT r, int by) {
  InflateRect(&r, -by, -by);
  return r;
}

void DrawThemedBackground(HDC dc, HWND button, const RECT& item, const ThemeHelper& theme) {
  HTHEME data = theme.openThemeData != nullptr ? theme.openThemeData(button, L"Button") : nullptr;
  if (theme.drawThemeParentBackground != nullptr) theme.drawThemeParentBackground(button, dc, &item);
  // The themed face stays in its normal state: hot and pressed show only in
  // the icon and text offset.
  if (data != nullptr && theme.drawThemeBackground != nullptr)
    theme.drawThemeBackground(data, dc, BP_PUSHBUTTON, PBS_NORMAL, &item, nullptr);
  if (data != nullptr && theme.closeThemeData != nullptr) theme.closeThemeData(data);
}

void DrawClassicBackground(HDC dc, const RECT& item, const OwnerDrawnButtonLook& look) {
  if (!look.hot && !look.pressed) {
    const COLORREF previous = SetBkColor(dc, look.normalBack);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &item, L"", 0, nullptr);
    SetBkColor(dc, previous);
    return;
  }
  UniqueBrush face(CreateSolidBrush(look.hotBack));
  UniquePen outline(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
  SelectionGuard brushGuard(dc, face.get());
  SelectionGuard penGuard(dc, outline.get());
  const int corner = framework::Scale(kButtonCornerEllipse, look.dpi);
  if (look.rounded)
    RoundRect(dc, item.left, item.top, item.right, item.bottom, corner, corner);
  else
    Rectangle(dc, item.left, item.top, item.right, item.bottom);
}

void DrawFaceText(HDC dc, RECT area, const std::wstring& text, const OwnerDrawnButtonLook& look) {
  if (look.pressed) OffsetRect(&area, 1, 1);
  RECT measured = area;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  // The measured block itself is placed in the middle; drawing it into the
  // whole moved area with DT_CENTER would shift it a second time.
  const int left = area.left + (Width(area) - Width(measured)) / 2;
  const int top = area.top + (Height(area) - Height(measured)) / 2;
  RECT block{left, top, left + Width(measured), top + Height(measured)};
  constexpr UINT kFormat = DT_WORDBREAK | DT_CENTER;
  if (look.disabled) {
    RECT shifted = block;
    OffsetRect(&shifted, 1, 1);
    const COLORREF previous = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shifted, kFormat);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &block, kFormat);
    SetTextColor(dc, previous);
    return;
  }
  const COLORREF previous = SetTextColor(dc, look.hot || look.pressed ? look.hotText : look.normalText);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &block, kFormat);
  SetTextColor(dc, previous);
}

}  // namespace

void DrawOwnerDrawnButtonFace(HDC dc, HWND button, const RECT& item, const std::wstring& text,
                              const OwnerDrawnButtonLook& look, const ThemeHelper& theme) {
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  if (theme.AppThemed())
    DrawThemedBackground(dc, button, item, theme);
  else
    DrawClassicBackground(dc, item, look);

  RECT textArea = item;
  if (look.icon != nullptr) {
    int x = item.left;
    const int gap = framework::Scale(kIconGap, look.dpi);
    if (!text.empty()) {
      x += gap;
      textArea.left += look.iconWidth + gap;
    } else {
      x += (Width(item) - look.iconWidth) / 2;
    }
    int y = item.top + (Height(item) - look.iconHeight) / 2;
    if (look.pressed) {
      ++x;
      ++y;
    }
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(look.icon), 0, x, y, look.iconWidth, look.iconHeight,
               DST_ICON | (look.disabled ? DSS_DISABLED : 0));
  }
  if (!text.empty()) DrawFaceText(dc, textArea, text, look);
  SetBkMode(dc, previousMode);
}

UniqueFont CreateButtonFont(bool underline, int dpi) {
  return framework::CreatePointFont(L"Verdana", kButtonFontPoints, FW_NORMAL, underline, dpi);
}

void DrawLinkButton(HDC target, const RECT& item, UINT itemState, const FlatButtonLook& look,
                    const std::wstring& text) {
  DoubleBuffer buffer(target, item);
  HDC dc = buffer.dc();
  SelectionGuard fontGuard(dc, look.font);
  FillRect(dc, &item, look.background);
  SetTextColor(dc, look.textColour);
  SetBkMode(dc, TRANSPARENT);
  RECT area = item;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_VCENTER);
  if (itemState & ODS_FOCUS) {
    const RECT focus = Inset(item, framework::Scale(kLinkFocusInset, look.dpi));
    DrawFocusRect(dc, &focus);
  }
  buffer.Flush();
}

void DrawSortButton(HDC target, const RECT& item, UINT itemState, bool hot, const FlatButtonLook& look,
                    const std::wstring& text) {
  DoubleBuffer buffer(target, item);
  HDC dc = buffer.dc();
  SelectionGuard fontGuard(dc, look.font);
  if (hot) {
    UniquePen outline(CreatePen(PS_SOLID, 1, kSortHotOutline));
    SelectionGuard penGuard(dc, outline.get());
    SelectionGuard brushGuard(dc, look.background);
    Rectangle(dc, item.left, item.top, item.right, item.bottom);
  } else {
    FillRect(dc, &item, look.background);
  }
  SetTextColor(dc, look.textColour);
  SetBkMode(dc, TRANSPARENT);
  RECT area = Inset(item, framework::Scale(kSortTextInset, look.dpi));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_VCENTER);

  // A 6 x 4 triangle pointing down (at 96 dots per inch), shaded from black at its left corner to blue.
  const auto at = [&look](int pixels) { return framework::Scale(pixels, look.dpi); };
  TRIVERTEX corners[3] = {
      {item.right - at(14), item.top + at(8), 0x0000, 0x0000, 0x0000, 0x0000},
      {item.right - at(8), item.top + at(8), 0x0000, 0x0000, 0xFF00, 0x0000},
      {item.right - at(11), item.top + at(12), 0x0000, 0x0000, 0xFF00, 0x0000},
  };
  GRADIENT_TRIANGLE triangle{0, 1, 2};
  GradientFill(dc, corners, 3, &triangle, 1, GRADIENT_FILL_TRIANGLE);

  if (itemState & ODS_FOCUS) {
    const RECT focus = Inset(item, framework::Scale(kSortFocusInset, look.dpi));
    DrawFocusRect(dc, &focus);
  }
  buffer.Flush();
}

void TrackHover(HWND button, UINT keys, POINT position, bool& hot, HCURSOR cursor) {
  const bool leftDown = (keys & MK_LBUTTON) != 0;
  // A drag that began elsewhere does not light the button.
  if (leftDown && !hot) return;
  const bool captured = GetCapture() == button;
  // While the application is not the active one, buttons do not light up.
  if (!captured && IsWindow(GetActiveWindow()) && IsWindow(GetParent(button))) {
    if (cursor != nullptr) SetCursor(cursor);
    hot = true;
    SetCapture(button);
    InvalidateRect(button, nullptr, TRUE);
    return;
  }
  POINT point = position;
  ClientToScreen(button, &point);
  const HWND under = WindowFromPoint(point);
  if (under == nullptr || under == button) return;
  EndHover(button, hot);
  if (!leftDown && captured) ReleaseCapture();
}

void MakeOwnerDrawn(HWND button) { CWindow(button).ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW); }

void EndHover(HWND button, bool& hot) {
  if (!hot) return;
  hot = false;
  InvalidateRect(button, nullptr, TRUE);
  const HWND parent = GetParent(button);
  if (parent == nullptr) return;
  RECT area{};
  GetWindowRect(button, &area);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
  InvalidateRect(parent, &area, TRUE);
}

}  // namespace WTL_EX
