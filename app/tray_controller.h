#pragma once
// The main window's side of the notification area: its icon, the icon's
// clicks and menu, hiding the window there and bringing it back, and the
// click on a notification. While one of the program's modal dialogs is open
// the window is disabled, and the icon then only brings that dialog forward:
// the menu's commands must not run under it (exiting would pull the window
// out from under the dialog).
#include "base/windows_api.h"

#include <shellapi.h>

#include <functional>
#include <string>

#include "app/single_instance.h"
#include "app/tray_icon.h"
#include "framework/crackers.h"
#include "framework/handles.h"
#include "framework/window.h"

// The icon's id and the message it sends to the main window.
inline constexpr UINT TRAY_ICON_ID = 1230;
inline constexpr UINT WM_TRAYNOTIFY = WM_USER + 207;

class TrayController : public CMessageMap {
 public:
  // The tray's popup menu as it would be shown now (built anew each time),
  // and what is told once it closed, before it is destroyed.
  struct Menu {
    std::function<UniqueMenu(bool windowShown)> build;
    std::function<void(HMENU)> closed;
  };

  // window: the main window (not owned; its handle is read when needed).
  // notificationClicked is called once the window is forward after a click
  // on a notification, unless a dialog is open over it.
  TrayController(const CWindow& window, Menu menu, std::function<void()> notificationClicked);
  TrayController(const TrayController&) = delete;
  TrayController& operator=(const TrayController&) = delete;

  BEGIN_MSG_MAP(TrayController)
    MSG_NOTIFYICON(WM_TRAYNOTIFY, OnTrayNotify)
    MSG_PLAIN(icon_.TaskbarCreatedMessage(), OnTaskbarCreated)
    MSG_PLAIN(SingleInstance::ShowMessage(), BringForward)
  END_MSG_MAP()

  // Puts the icon in the notification area with this look.
  void Add(const TrayIconLook& look);
  void Remove();
  TrayIcon& Icon() { return icon_; }

  void HideToTray();
  void ShowMainWindow();
  // Shown, restored when minimised, and in front: the tray's "Show Window",
  // and what a second start on the same data asks for. Under an open dialog
  // the dialog comes forward instead.
  void BringForward();
  // True while the window is disabled under a modal dialog (which then came forward).
  bool BringModalDialogForward();
  UniqueMenu BuildMenu() const { return menu_.build(windowShown_); }
  bool WindowShown() const { return windowShown_; }

 private:
  void OnTrayNotify(UINT iconId, UINT mouseMessage);
  void OnTaskbarCreated() { icon_.AddAgain(); }
  void ShowMenu();
  void OnNotificationClicked();

  const CWindow& window_;
  Menu menu_;
  std::function<void()> notificationClicked_;
  TrayIcon icon_;
  bool windowShown_ = true;
};
