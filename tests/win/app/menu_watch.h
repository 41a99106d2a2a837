#pragma once
// Opens a panel's popup menu from inside a test and reads its items while the
// menu's loop idles; the menu is closed at once, so no test blocks.
#include "base/windows_api.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace apptest {

// The first items of a panel's popup menu and where it opened; closed at once.
struct MenuSeen {
  std::vector<UINT> ids;
  std::vector<std::wstring> texts;
  std::vector<UINT> states;
  RECT popup{};
};

inline LRESULT CALLBACK WatchMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
    auto* seen = reinterpret_cast<MenuSeen*>(data);
    HWND popup = FindWindowW(L"#32768", nullptr);
    HMENU menu = popup ? reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) : nullptr;
    if (menu && seen->ids.empty()) {
      GetWindowRect(popup, &seen->popup);
      for (int index = 0; index < GetMenuItemCount(menu); ++index) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(index), text, 256, MF_BYPOSITION);
        seen->ids.push_back(GetMenuItemID(menu, index));
        seen->texts.push_back(text);
        seen->states.push_back(GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION));
      }
    }
    EndMenu();
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

inline void CALLBACK EndMenuLater(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// Sends `message` to `target` and watches the menu that `panel` opens.
inline MenuSeen OpenMenu(HWND panel, HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
  MenuSeen seen;
  SetWindowSubclass(panel, &WatchMenu, 1, reinterpret_cast<DWORD_PTR>(&seen));
  const UINT_PTR timer = SetTimer(nullptr, 0, 5000, &EndMenuLater);  // never hang
  SendMessageW(target, message, wParam, lParam);
  KillTimer(nullptr, timer);
  RemoveWindowSubclass(panel, &WatchMenu, 1);
  return seen;
}

}  // namespace apptest
