#pragma once
#include "base/windows_api.h"

#include <string>

#include "controls/button_drawing.h"
#include "framework/crackers.h"
#include "framework/dpi.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace WTL_EX {

// What ButtonEx and ButtonSort share: a flat background, 8-point Verdana, a
// hand cursor when hovering starts, and the hover and focus-loss handling.
template <class T, class TBase = CWindow>
class FlatButtonImpl : public CWindowImpl<T, TBase> {
 public:
  FlatButtonImpl(COLORREF textColour, bool underline)
      : background_(GetSysColor(COLOR_WINDOW)),
        backgroundBrush_(CreateSolidBrush(background_)),
        textColour_(textColour),
        underline_(underline),
        font_(CreateButtonFont(underline)),
        handCursor_(static_cast<HCURSOR>(LoadImageW(nullptr, IDC_HAND, IMAGE_CURSOR, 0, 0, LR_SHARED))) {}

  // Takes over an existing button: the button becomes owner-drawn, and the
  // owner reflects WM_DRAWITEM back to it.
  bool Attach(HWND button) {
    if (button == nullptr || this->m_hWnd != nullptr) return false;
    MakeOwnerDrawn(button);
    if (!this->SubclassWindow(button)) return false;
    FollowDpi();
    return true;
  }

  void SetBackground(COLORREF colour) {
    UniqueBrush brush(CreateSolidBrush(colour));
    if (!brush) return;
    background_ = colour;
    backgroundBrush_ = std::move(brush);
  }

  // Measures and font for the DPI the window is shown at; call after the
  // window exists and again when its DPI changes.
  void FollowDpi() {
    const int dpi = framework::DpiForWindow(this->m_hWnd);
    if (dpi == dpi_) return;
    dpi_ = dpi;
    font_ = CreateButtonFont(underline_, dpi);
  }
  int Dpi() const { return dpi_; }

  COLORREF Background() const { return background_; }
  COLORREF TextColour() const { return textColour_; }
  HFONT Font() const { return font_.get(); }
  bool IsHot() const { return hot_; }

  BEGIN_MSG_MAP(FlatButtonImpl)
    MSG_WM_MOUSEMOVE(OnMouseMove)
    MSG_WM_KILLFOCUS(OnKillFocus)
    MSG_PLAIN(framework::kDpiChangedAfterParent, OnDpiChanged)
  END_MSG_MAP()

 protected:
  FlatButtonLook Look() const {
    FlatButtonLook look;
    look.background = backgroundBrush_.get();
    look.font = font_.get();
    look.textColour = textColour_;
    look.dpi = dpi_;
    return look;
  }

  void OnMouseMove(UINT keys, POINT point) {
    this->DefWindowProc();
    TrackHover(this->m_hWnd, keys, point, hot_, handCursor_);
  }

  void OnKillFocus(HWND) {
    this->DefWindowProc();
    EndHover(this->m_hWnd, hot_);
  }

  void OnDpiChanged() {
    FollowDpi();
    this->Invalidate();
  }

  bool hot_ = false;
  COLORREF background_;
  UniqueBrush backgroundBrush_;
  COLORREF textColour_;
  bool underline_;
  int dpi_ = framework::kDefaultDpi;
  UniqueFont font_;
  HCURSOR handCursor_;  // shared system cursor, not owned
};

// A link: underlined blue text on a flat background. It draws its own text
// member, not the window text.
template <class T, class TBase = CWindow>
class ButtonExImpl : public FlatButtonImpl<T, TBase> {
  using Base = FlatButtonImpl<T, TBase>;

 public:
  ButtonExImpl() : FlatButtonImpl<T, TBase>(kLinkTextColour, true) {}

  // Only the drawn text: the window text stays as it is.
  void SetText(const std::wstring& text) { text_ = text; }
  const std::wstring& Text() const { return text_; }

  BEGIN_MSG_MAP(ButtonExImpl)
    MSG_OCM_DRAWITEM(OnDrawItem)
    CHAIN_MSG_MAP(Base)
  END_MSG_MAP()

 protected:
  void OnDrawItem(UINT, DRAWITEMSTRUCT* item) {
    if (item != nullptr) DrawLinkButton(item->hDC, item->rcItem, item->itemState, this->Look(), text_);
  }

 private:
  std::wstring text_;
};

class ButtonEx : public ButtonExImpl<ButtonEx> {
 public:
  DECLARE_WND_SUPERCLASS(L"WTL_EX::ButtonEx", L"BUTTON")
};

// The drop-down button beside "Sort by:": grey window text, a small shaded
// triangle, a light blue outline while the mouse is over it.
template <class T, class TBase = CWindow>
class ButtonSortImpl : public FlatButtonImpl<T, TBase> {
  using Base = FlatButtonImpl<T, TBase>;

 public:
  ButtonSortImpl() : FlatButtonImpl<T, TBase>(kSortTextColour, false) {}

  BEGIN_MSG_MAP(ButtonSortImpl)
    MSG_OCM_DRAWITEM(OnDrawItem)
    CHAIN_MSG_MAP(Base)
  END_MSG_MAP()

 protected:
  void OnDrawItem(UINT, DRAWITEMSTRUCT* item) {
    if (item != nullptr)
      DrawSortButton(item->hDC, item->rcItem, item->itemState, this->hot_, this->Look(), this->GetWindowText());
  }
};

class ButtonSort : public ButtonSortImpl<ButtonSort> {
 public:
  DECLARE_WND_SUPERCLASS(L"WTL_EX::ButtonSort", L"BUTTON")
};

}  // namespace WTL_EX
