#pragma once
// Stands in for the shell's notification area: what the tray icon asked for, in order.
#include "base/windows_api.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/tray_icon.h"

namespace apptest {

struct NotifyCall {
  DWORD message;
  DWORD size;
  HWND window;
  UINT id;
  UINT flags;
  UINT callbackMessage;
  HICON icon;
  std::wstring tip;
  std::wstring infoTitle;
  std::wstring info;
  DWORD infoFlags;
  HICON balloonIcon;
};

inline std::vector<NotifyCall> calls;
inline BOOL shellAnswer = TRUE;

inline BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAW data) {
  calls.push_back(NotifyCall{message, data->cbSize, data->hWnd, data->uID, data->uFlags, data->uCallbackMessage,
                             data->hIcon, data->szTip, data->szInfoTitle, data->szInfo, data->dwInfoFlags,
                             data->cbSize >= sizeof(NOTIFYICONDATAW) ? data->hBalloonIcon : nullptr});
  return shellAnswer;
}

// Every request is recorded and answered while it lives.
class FakeShell {
 public:
  FakeShell() : previous_(TrayIcon::ReplaceShellCall(&RecordNotify)) {
    calls.clear();
    shellAnswer = TRUE;
  }
  ~FakeShell() { TrayIcon::ReplaceShellCall(previous_); }
  FakeShell(const FakeShell&) = delete;
  FakeShell& operator=(const FakeShell&) = delete;

 private:
  TrayIcon::ShellCall previous_;
};

}  // namespace apptest
