#pragma once
// The main window's system menu: the program's own entries (About, restoring
// a backup, the import and the export) above the system's, and the caption's
// close box and minimise hiding the window in the tray (minimise only when
// the options say so).
#include "base/windows_api.h"

#include "framework/crackers.h"
#include "framework/window.h"

class Commands;
class DataSession;
class TrayController;

class SystemMenu : public CMessageMap {
 public:
  // window is the main window; it and the parts are not owned and outlive this.
  SystemMenu(const CWindow& window, DataSession& session, Commands& commands, TrayController& tray);
  SystemMenu(const SystemMenu&) = delete;
  SystemMenu& operator=(const SystemMenu&) = delete;

  BEGIN_MSG_MAP(SystemMenu)
    MSG_WM_SYSCOMMAND(OnSysCommand)
  END_MSG_MAP()

  // Puts the program's entries in the window's system menu.
  void Insert();

 private:
  void OnSysCommand(UINT command, POINT point);

  const CWindow& window_;
  DataSession& session_;
  Commands& commands_;
  TrayController& tray_;
};
