#include "app/tray_icon.h"

namespace {

// The size of the structure every shell since Windows 2000 accepts: with the
// 128-character tip and the balloon fields, without what later versions added.
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAW_V2_SIZE;

TrayIcon::ShellCall shellCall = &Shell_NotifyIconW;

}  // namespace

TrayIcon::ShellCall TrayIcon::ReplaceShellCall(ShellCall call) {
  const ShellCall previous = shellCall;
  shellCall = call ? call : &Shell_NotifyIconW;
  return previous;
}

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = kNotifyIconDataSize;
  data.hWnd = window_;
  data.uID = id_;
  data.uFlags = flags;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  tip_.copy(data.szTip, sizeof data.szTip / sizeof data.szTip[0] - 1);
  return data;
}

bool TrayIcon::Add(HWND window, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip) {
  window_ = window;
  id_ = id;
  callbackMessage_ = callbackMessage;
  icon_ = icon;
  tip_ = tip;
  return AddAgain();
}

bool TrayIcon::AddAgain() {
  if (!window_) return false;
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  added_ = shellCall(NIM_ADD, &data) != FALSE;
  return added_;
}

void TrayIcon::Remove() {
  if (!window_) return;
  NOTIFYICONDATAW data = Data(0);
  shellCall(NIM_DELETE, &data);
  added_ = false;
  window_ = nullptr;
}
