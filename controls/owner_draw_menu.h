#pragma once
#include "base/windows_api.h"

#include <commctrl.h>

#include <map>

#include "controls/menu_drawing.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace WTL_EX {

// Mix-in that draws every popup menu of the window T itself: a gradient icon
// column, icons from an associated image list, highlighted items framed in
// black, embossed disabled text and etched separators. T chains it into its
// message map after its own entries.
template <class T>
class COwnerDrawMenu {
 public:
  COwnerDrawMenu() : menuFont_(CreateMenuFont()) {}
  COwnerDrawMenu(const COwnerDrawMenu&) = delete;
  COwnerDrawMenu& operator=(const COwnerDrawMenu&) = delete;

  // images is not owned: the window keeps its image lists itself.
  void AttachImageList(HMENU menu, HIMAGELIST images) { menuImages_[menu] = images; }

  bool SetItemImage(HMENU menu, UINT id, int image) {
    if (menuImages_.find(menu) == menuImages_.end()) return false;
    itemImages_[menu][id] = image;
    return true;
  }

  // Also forgets the item images: the menu is about to be destroyed, and a
  // later menu that happens to get the same handle must not inherit them.
  void DetachImageList(HMENU menu) {
    menuImages_.erase(menu);
    itemImages_.erase(menu);
  }

  // Shows menu for owner; the choice arrives later as WM_COMMAND.
  void TrackMenu(HMENU menu, int x, int y, HWND owner) {
    TrackPopupMenu(menu, TPM_LEFTBUTTON, MenuXOnScreen(x, y), y, 0, owner, nullptr);
  }

  static void DestroyMenuHandle(HMENU& menu) {
    if (menu == nullptr) return;
    DestroyMenu(menu);
    menu = nullptr;
  }

  HMENU CurrentMenu() const { return currentMenu_; }
  HMENU PreviousMenu() const { return previousMenu_; }
  HFONT MenuFont() const { return menuFont_.get(); }

  BEGIN_MSG_MAP(COwnerDrawMenu<T>)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    MESSAGE_HANDLER(WM_UNINITMENUPOPUP, OnUninitMenuPopup)
    MESSAGE_HANDLER(WM_ENTERMENULOOP, OnEnterMenuLoop)
    MESSAGE_HANDLER(WM_EXITMENULOOP, OnExitMenuLoop)
    MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
    MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  END_MSG_MAP()

 private:
  HMENU Convert(HMENU popup) {
    const HMENU remembered = currentMenu_;
    currentMenu_ = popup;
    ConvertMenuToOwnerDraw(popup);
    return remembered;
  }

  LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    previousMenu_ = Convert(reinterpret_cast<HMENU>(wParam));
    handled = FALSE;
    return 0;
  }

  // A submenu closed: its parent is the menu being drawn again.
  LRESULT OnUninitMenuPopup(UINT, WPARAM, LPARAM, BOOL& handled) {
    if (previousMenu_ != nullptr) {
      Convert(previousMenu_);
      previousMenu_ = nullptr;
    }
    handled = FALSE;
    return 0;
  }

  LRESULT OnEnterMenuLoop(UINT, WPARAM, LPARAM, BOOL& handled) {
    handled = FALSE;
    return 0;
  }

  LRESULT OnExitMenuLoop(UINT, WPARAM, LPARAM, BOOL& handled) {
    currentMenu_ = nullptr;
    handled = FALSE;
    return 0;
  }

  LRESULT OnMeasureItem(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (wParam != 0 || item == nullptr || item->CtlType != ODT_MENU) {
      handled = FALSE;
      return 0;
    }
    MeasureMenuItem(currentMenu_, *item, menuFont_.get());
    return TRUE;
  }

  LRESULT OnDrawItem(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (wParam != 0 || item == nullptr || item->CtlType != ODT_MENU) {
      handled = FALSE;
      return 0;
    }
    HIMAGELIST images = nullptr;
    int image = -1;
    if (const auto list = menuImages_.find(currentMenu_); list != menuImages_.end()) {
      images = list->second;
      if (const auto menu = itemImages_.find(currentMenu_); menu != itemImages_.end()) {
        if (const auto entry = menu->second.find(item->itemID); entry != menu->second.end()) image = entry->second;
      }
    }
    if (!DrawMenuItem(currentMenu_, *item, images, image)) {
      handled = FALSE;
      return 0;
    }
    return TRUE;
  }

  UniqueFont menuFont_;
  std::map<HMENU, HIMAGELIST> menuImages_;             // image lists not owned
  std::map<HMENU, std::map<UINT, int>> itemImages_;    // command id -> image index
  HMENU currentMenu_ = nullptr;                        // not owned
  HMENU previousMenu_ = nullptr;                       // not owned
};

}  // namespace WTL_EX
