#include "app/tray_icon.h"

#include <cstddef>
#include <string>

#include "model/sync_status.h"

namespace {

// The size of the structure every shell since Windows 2000 accepts: with the
// 128-character tip and the balloon fields, without what later versions added.
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAW_V2_SIZE;
// The whole structure, with the balloon's own icon: Vista and later.
constexpr DWORD kNotifyIconDataFullSize = sizeof(NOTIFYICONDATAW);
// How long an older shell keeps a balloon up; newer ones follow the user's settings.
constexpr UINT kBalloonMilliseconds = 10000;

template <std::size_t N>
void CopyCut(const std::wstring& text, wchar_t (&field)[N]) {
  text.copy(field, N - 1);
}

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
  CopyCut(ShownTip(), data.szTip);
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

void TrayIcon::Show(HICON icon, const std::wstring& tip) {
  if (icon == icon_ && tip == tip_) return;
  icon_ = icon;
  tip_ = tip;
  if (!added_) return;
  NOTIFYICONDATAW data = Data(NIF_ICON | NIF_TIP);
  shellCall(NIM_MODIFY, &data);
}

void TrayIcon::SetLine(const std::wstring& line) {
  if (line == line_) return;
  line_ = line;
  if (!added_) return;
  NOTIFYICONDATAW data = Data(NIF_TIP);
  shellCall(NIM_MODIFY, &data);
}

std::wstring TrayIcon::ShownTip() const {
  NOTIFYICONDATAW data;
  return TipWithLine(tip_, line_, sizeof data.szTip / sizeof data.szTip[0] - 1);
}

bool TrayIcon::Notify(const std::wstring& title, const std::wstring& text, HICON largeIcon) {
  if (!added_) return false;
  NOTIFYICONDATAW data = Data(NIF_INFO);
  data.cbSize = kNotifyIconDataFullSize;
  CopyCut(title, data.szInfoTitle);
  CopyCut(text, data.szInfo);
  data.uTimeout = kBalloonMilliseconds;
  data.dwInfoFlags = NIIF_USER | NIIF_LARGE_ICON;
  data.hBalloonIcon = largeIcon;
  if (shellCall(NIM_MODIFY, &data)) return true;
  // A shell before Vista knows neither the larger structure nor the balloon's
  // own icon: the plain information balloon instead.
  data.cbSize = kNotifyIconDataSize;
  data.dwInfoFlags = NIIF_INFO;
  data.hBalloonIcon = nullptr;
  return shellCall(NIM_MODIFY, &data) != FALSE;
}
