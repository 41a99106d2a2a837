#pragma once
#include "base/windows_api.h"

#include "framework/window.h"

// A top-level parent that hands its children's notifications back to them,
// as the program's windows do. Created hidden.
class HostWindow : public CWindowImpl<HostWindow> {
 public:
  DECLARE_WND_CLASS(L"AmicordControlsTestHost")

  HWND CreateHidden(int width = 300, int height = 200) {
    const RECT area{0, 0, width, height};
    return Create(nullptr, area, L"host", WS_POPUP | WS_CLIPCHILDREN);
  }

  ~HostWindow() override {
    if (m_hWnd != nullptr) DestroyWindow();
  }

  BEGIN_MSG_MAP(HostWindow)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

// A plain system button inside parent, as a dialog template would make it.
inline HWND CreateSystemButton(HWND parent, const wchar_t* text, const RECT& area, UINT id) {
  return CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, area.left, area.top,
                         area.right - area.left, area.bottom - area.top, parent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

// What the owner's reflection delivers to an owner-drawn button.
inline DRAWITEMSTRUCT ButtonDrawRequest(HWND button, HDC dc, int width, int height, UINT state) {
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID(button));
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = state;
  item.hwndItem = button;
  item.hDC = dc;
  item.rcItem = RECT{0, 0, width, height};
  return item;
}
