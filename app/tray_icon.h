#pragma once
#include "base/windows_api.h"

#include <shellapi.h>

#include <string>

// A picture (not owned) and hover text for the icon.
struct TrayIconLook {
  HICON icon = nullptr;
  std::wstring tip;
};

// The program's icon in the notification area. It is there from Add until
// Remove or the end of the object, and comes back when a restarted shell
// announces its new taskbar. Every request goes through one replaceable
// function so tests can see what the shell was asked without a shell.
class TrayIcon {
 public:
  using ShellCall = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

  // Null restores the shell's own Shell_NotifyIconW; returns the one replaced.
  static ShellCall ReplaceShellCall(ShellCall call);

  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Icon id and message for window's icon; icon is not owned and must outlive
  // the tray icon. False when the shell refused (none may be running).
  bool Add(HWND window, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip = std::wstring());
  void Remove();
  // For the shell's "TaskbarCreated": a restarted shell forgot the icon, and
  // without it a hidden window has no way back.
  bool AddAgain();
  // Another picture and hover text, now and after a restarted shell; icon is
  // not owned and must outlive its use. Nothing is asked when neither changed.
  void Show(HICON icon, const std::wstring& tip);
  // A line under the tip that another part owns (the address book sync's),
  // shown whole: the tip gives way when both do not fit. Empty for none.
  void SetLine(const std::wstring& line);
  // A notification from the icon with the program's own picture (largeIcon,
  // not owned; copied by the shell). Title and text are cut to what the shell
  // takes. Clicked, it comes back as NIN_BALLOONUSERCLICK through the callback
  // message. False when the icon is not there or the shell refused.
  bool Notify(const std::wstring& title, const std::wstring& text, HICON largeIcon);

  bool Added() const { return added_; }
  HICON Icon() const { return icon_; }
  const std::wstring& Tip() const { return tip_; }
  const std::wstring& Line() const { return line_; }
  // The text the shell is given: the tip and the line, within its field.
  std::wstring ShownTip() const;
  // Registered once per session by the shell; the owner's map routes it here.
  UINT TaskbarCreatedMessage() const { return taskbarCreated_; }

 private:
  NOTIFYICONDATAW Data(UINT flags) const;

  HWND window_ = nullptr;  // not owned
  UINT id_ = 0;
  UINT callbackMessage_ = 0;
  HICON icon_ = nullptr;  // not owned
  std::wstring tip_;
  std::wstring line_;
  bool added_ = false;
  const UINT taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
};
