#pragma once
#include "base/windows_api.h"

#include <memory>
#include <string>
#include <utility>

#include "controls/button_drawing.h"
#include "controls/theme_helper.h"
#include "framework/crackers.h"
#include "framework/dpi.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace WTL_EX {

// A flat push button with a 16 x 16 icon left of its text, outlined in black
// while the mouse is over it (or a themed face when visual styles are on).
// The owner reflects WM_DRAWITEM back to it.
template <class T, class TBase = CWindow>
class COwnerDrawnButtonImpl : public CWindowImpl<T, TBase> {
 public:
  COwnerDrawnButtonImpl()
      : hotBack_(GetSysColor(COLOR_BTNFACE)),
        hotText_(GetSysColor(COLOR_BTNTEXT)),
        normalBack_(GetSysColor(COLOR_BTNFACE)),
        normalText_(GetSysColor(COLOR_BTNTEXT)),
        theme_(std::make_unique<ThemeHelper>()) {}

  // Takes over an existing push button of a dialog.
  bool Attach(HWND button) {
    if (button == nullptr || this->m_hWnd != nullptr) return false;
    MakeOwnerDrawn(button);
    return this->SubclassWindow(button) != FALSE;
  }

  // Takes ownership of icon; its size is read from the icon itself. An icon
  // the system cannot describe is dropped.
  bool SetIcon(UniqueIcon icon) {
    icon_.reset();
    iconWidth_ = 0;
    iconHeight_ = 0;
    bool kept = false;
    ICONINFO info{};
    if (icon && GetIconInfo(icon.get(), &info)) {
      UniqueBitmap mask(info.hbmMask);
      UniqueBitmap colour(info.hbmColor);
      // An icon's hot spot is its centre.
      iconWidth_ = static_cast<int>(info.xHotspot) * 2;
      iconHeight_ = static_cast<int>(info.yHotspot) * 2;
      icon_ = std::move(icon);
      kept = true;
    }
    if (this->m_hWnd != nullptr && IsWindow(this->m_hWnd))
      RedrawWindow(this->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return kept;
  }

  // Square corners unless asked; applies from the next drawing on.
  void SetRounded(bool rounded) { rounded_ = rounded; }
  bool IsRounded() const { return rounded_; }
  bool IsHot() const { return hot_; }
  bool IsPressed() const { return pressed_; }
  bool IsFocused() const { return focused_; }
  bool IsDisabled() const { return disabled_; }
  HICON Icon() const { return icon_.get(); }
  int IconWidth() const { return iconWidth_; }
  int IconHeight() const { return iconHeight_; }

  ThemeHelper& Theme() { return *theme_; }
  // Lets a caller choose the classic look (a helper whose library did not load).
  void SetThemeHelper(std::unique_ptr<ThemeHelper> theme) {
    if (theme) theme_ = std::move(theme);
  }

  BEGIN_MSG_MAP(COwnerDrawnButtonImpl)
    MSG_OCM_DRAWITEM(OnDrawItem)
    MSG_WM_MOUSEMOVE(OnMouseMove)
    MSG_WM_KILLFOCUS(OnKillFocus)
  END_MSG_MAP()

 protected:
  void OnDrawItem(UINT, DRAWITEMSTRUCT* item) {
    if (item == nullptr) return;
    pressed_ = (item->itemState & ODS_SELECTED) != 0;
    focused_ = (item->itemState & ODS_FOCUS) != 0;
    disabled_ = (item->itemState & ODS_DISABLED) != 0;
    if (rounded_ && !regionApplied_) ApplyRoundRegion(item->rcItem);

    OwnerDrawnButtonLook look;
    look.hot = hot_;
    look.pressed = pressed_;
    look.disabled = disabled_;
    look.rounded = rounded_;
    look.hotBack = hotBack_;
    look.hotText = hotText_;
    look.normalBack = normalBack_;
    look.normalText = normalText_;
    look.icon = icon_.get();
    look.iconWidth = iconWidth_;
    look.iconHeight = iconHeight_;
    look.dpi = framework::DpiForWindow(this->m_hWnd);
    DrawOwnerDrawnButtonFace(item->hDC, this->m_hWnd, item->rcItem, this->GetWindowText(), look, *theme_);
  }

  void OnMouseMove(UINT keys, POINT point) {
    this->DefWindowProc();
    TrackHover(this->m_hWnd, keys, point, hot_, nullptr);
  }

  void OnKillFocus(HWND) {
    this->DefWindowProc();
    EndHover(this->m_hWnd, hot_);
  }

 private:
  void ApplyRoundRegion(const RECT& item) {
    const int corner = framework::Scale(kButtonCornerEllipse, framework::DpiForWindow(this->m_hWnd));
    UniqueRegion region(CreateRoundRectRgn(item.left, item.top, item.right, item.bottom, corner, corner));
    // Once SetWindowRgn accepts the region it belongs to the window, which
    // deletes it itself; deleting it here as well would free a handle twice.
    if (region && SetWindowRgn(this->m_hWnd, region.get(), FALSE)) {
      region.release();
      regionApplied_ = true;
    }
  }

  bool hot_ = false;
  bool pressed_ = false;
  bool focused_ = false;
  bool disabled_ = false;
  bool rounded_ = false;
  COLORREF hotBack_;
  COLORREF hotText_;
  COLORREF normalBack_;
  COLORREF normalText_;
  UniqueIcon icon_;
  int iconWidth_ = 0;
  int iconHeight_ = 0;
  std::unique_ptr<ThemeHelper> theme_;
  bool regionApplied_ = false;
};

class COwnerDrawnButton : public COwnerDrawnButtonImpl<COwnerDrawnButton> {
 public:
  DECLARE_WND_SUPERCLASS(L"WTL_EX::COwnerDrawnButton", L"BUTTON")
};

}  // namespace WTL_EX
