#pragma once
#include "base/windows_api.h"

#include <commctrl.h>

#include <map>

#include "controls/menu_drawing.h"
#include "framework/crackers.h"
#include "framework/dpi.h"
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
  // The DPI the menus are measured and drawn at: the window's, as of the last popup.
  int MenuDpi() const { return menuDpi_; }

  BEGIN_MSG_MAP(COwnerDrawMenu<T>)
    MSG_WM_INITMENUPOPUP(OnInitMenuPopup)
    MSG_WM_UNINITMENUPOPUP(OnUninitMenuPopup)
    MSG_WM_EXITMENULOOP(OnExitMenuLoop)
    MSG_WM_MEASUREITEM(OnMeasureItem)
    MSG_WM_DRAWITEM(OnDrawItem)
  END_MSG_MAP()

  // The window's own map: the crackers above share its handled flag.
  CMessageMap& OwnerMessageMap() { return *static_cast<T*>(this); }

 private:
  // Every menu message stays visible to the window's own later entries and its default handling.
  void PassOn() { OwnerMessageMap().SetMsgHandled(false); }

  HMENU Convert(HMENU popup) {
    const HMENU remembered = currentMenu_;
    currentMenu_ = popup;
    ConvertMenuToOwnerDraw(popup);
    return remembered;
  }

  void OnInitMenuPopup(HMENU menu, UINT, BOOL) {
    FollowWindowDpi();
    previousMenu_ = Convert(menu);
    PassOn();
  }

  // A submenu closed: its parent is the menu being drawn again.
  void OnUninitMenuPopup(HMENU, UINT) {
    if (previousMenu_ != nullptr) {
      Convert(previousMenu_);
      previousMenu_ = nullptr;
    }
    PassOn();
  }

  void OnExitMenuLoop(BOOL) {
    currentMenu_ = nullptr;
    PassOn();
  }

  void OnMeasureItem(UINT controlId, MEASUREITEMSTRUCT* item) {
    if (controlId != 0 || item == nullptr || item->CtlType != ODT_MENU) return PassOn();
    MeasureMenuItem(currentMenu_, *item, menuFont_.get(), menuDpi_);
  }

  void OnDrawItem(UINT controlId, DRAWITEMSTRUCT* item) {
    if (controlId != 0 || item == nullptr || item->CtlType != ODT_MENU) return PassOn();
    HIMAGELIST images = nullptr;
    int image = -1;
    if (const auto list = menuImages_.find(currentMenu_); list != menuImages_.end()) {
      images = list->second;
      if (const auto menu = itemImages_.find(currentMenu_); menu != itemImages_.end()) {
        if (const auto entry = menu->second.find(item->itemID); entry != menu->second.end()) image = entry->second;
      }
    }
    if (!DrawMenuItem(currentMenu_, *item, images, image, menuDpi_, menuFont_.get())) PassOn();
  }

  // A window moved to a screen of another scale gets its menu font anew.
  void FollowWindowDpi() {
    const int dpi = framework::DpiForWindow(static_cast<T*>(this)->m_hWnd);
    if (dpi == menuDpi_) return;
    menuDpi_ = dpi;
    menuFont_ = CreateMenuFont(dpi);
  }

  int menuDpi_ = framework::kDefaultDpi;
  UniqueFont menuFont_;
  std::map<HMENU, HIMAGELIST> menuImages_;           // image lists not owned
  std::map<HMENU, std::map<UINT, int>> itemImages_;  // command id -> image index
  HMENU currentMenu_ = nullptr;                      // not owned
  HMENU previousMenu_ = nullptr;                     // not owned
};

}  // namespace WTL_EX
