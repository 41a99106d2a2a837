#include "app/tray_controller.h"

#include <utility>

TrayController::TrayController(const CWindow& window, Menu menu, std::function<void()> notificationClicked)
    : window_(window), menu_(std::move(menu)), notificationClicked_(std::move(notificationClicked)) {}

void TrayController::Add(const TrayIconLook& look) {
  icon_.Add(window_.m_hWnd, TRAY_ICON_ID, WM_TRAYNOTIFY, look.icon, look.tip);
}

void TrayController::Remove() { icon_.Remove(); }

void TrayController::HideToTray() {
  ::ShowWindow(window_.m_hWnd, SW_HIDE);
  windowShown_ = false;
}

void TrayController::ShowMainWindow() {
  ::ShowWindow(window_.m_hWnd, SW_SHOW);
  windowShown_ = true;
}

void TrayController::BringForward() {
  if (BringModalDialogForward()) return;
  HWND window = window_.m_hWnd;
  ShowMainWindow();
  if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
  ::BringWindowToTop(window);
  ::SetForegroundWindow(window);
}

bool TrayController::BringModalDialogForward() {
  HWND window = window_.m_hWnd;
  if (::IsWindowEnabled(window)) return false;
  HWND popup = ::GetLastActivePopup(window);
  if (popup && popup != window) {
    if (!windowShown_) ShowMainWindow();
    ::SetForegroundWindow(popup);
  }
  return true;
}

void TrayController::OnTrayNotify(UINT iconId, UINT mouseMessage) {
  if (mouseMessage == WM_RBUTTONDOWN && iconId == TRAY_ICON_ID && !BringModalDialogForward()) {
    ShowMenu();
  } else if (mouseMessage == WM_LBUTTONDOWN && !windowShown_) {
    BringForward();
  } else if (mouseMessage == WM_LBUTTONDOWN) {
    BringModalDialogForward();
  } else if (mouseMessage == NIN_BALLOONUSERCLICK && iconId == TRAY_ICON_ID) {
    OnNotificationClicked();
  }
}

void TrayController::ShowMenu() {
  HWND window = window_.m_hWnd;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  if (UniqueMenu menu = BuildMenu()) {
    // Without the foreground the menu would not close on a click elsewhere.
    ::SetForegroundWindow(window);
    ::TrackPopupMenu(menu.get(), TPM_LEFTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    ::PostMessageW(window, WM_NULL, 0, 0);
    if (menu_.closed) menu_.closed(menu.get());
  }
}

void TrayController::OnNotificationClicked() {
  BringForward();
  if (::IsWindowEnabled(window_.m_hWnd) && notificationClicked_) notificationClicked_();
}
