#pragma once
#include "base/windows_api.h"

#include <string>

#include "framework/handles.h"

namespace WTL_EX {

class ThemeHelper;

// Everything a COwnerDrawnButton face depends on, so the drawing can be done
// (and checked) without a window.
struct OwnerDrawnButtonLook {
  bool hot = false;
  bool pressed = false;
  bool disabled = false;
  bool rounded = false;
  COLORREF hotBack = 0;
  COLORREF hotText = 0;
  COLORREF normalBack = 0;
  COLORREF normalText = 0;
  HICON icon = nullptr;  // not owned
  int iconWidth = 0;
  int iconHeight = 0;
  int dpi = 96;  // the gaps and corners, given at 96, scale with it
};

// Corner ellipse of the rounded look, for both the outline and the window region.
constexpr int kButtonCornerEllipse = 8;

// Paints a COwnerDrawnButton into dc, using the font already selected there.
// button may be null; it only serves the themed background.
void DrawOwnerDrawnButtonFace(HDC dc, HWND button, const RECT& item, const std::wstring& text,
                              const OwnerDrawnButtonLook& look, const ThemeHelper& theme);

// The 8-point Verdana of the link and sort buttons, at dpi.
UniqueFont CreateButtonFont(bool underline, int dpi = 96);

struct FlatButtonLook {
  HBRUSH background = nullptr;  // not owned
  HFONT font = nullptr;         // not owned
  COLORREF textColour = 0;
  int dpi = 96;
};

// ButtonEx: the link text on a flat background, a focus rectangle 3 pixels in.
void DrawLinkButton(HDC target, const RECT& item, UINT itemState, const FlatButtonLook& look, const std::wstring& text);

// ButtonSort: text, the small shaded triangle at the right, a light blue outline
// while hot, a focus rectangle 4 pixels in.
void DrawSortButton(HDC target, const RECT& item, UINT itemState, bool hot, const FlatButtonLook& look,
                    const std::wstring& text);

constexpr COLORREF kSortHotOutline = RGB(0xD4, 0xE5, 0xFA);
constexpr COLORREF kSortTextColour = RGB(0x66, 0x66, 0x66);
constexpr COLORREF kLinkTextColour = RGB(0x00, 0x00, 0xFF);

// Hover tracking shared by the three buttons (WM_MOUSEMOVE, after the previous
// window procedure). cursor is shown when hovering starts; null keeps the cursor.
void TrackHover(HWND button, UINT keys, POINT position, bool& hot, HCURSOR cursor);
// Turns a push button into an owner-drawn one (its owner reflects WM_DRAWITEM).
void MakeOwnerDrawn(HWND button);
// The mouse left or the focus went: repaint the button and the parent behind it.
void EndHover(HWND button, bool& hot);

}  // namespace WTL_EX
