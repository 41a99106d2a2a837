#include "app/system_menu.h"

#include "app/commands.h"
#include "app/data_session.h"
#include "app/tray_controller.h"
#include "resource.h"

SystemMenu::SystemMenu(const CWindow& window, DataSession& session, Commands& commands, TrayController& tray)
    : window_(window), session_(session), commands_(commands), tray_(tray) {}

void SystemMenu::Insert() {
  HMENU system = ::GetSystemMenu(window_.m_hWnd, FALSE);
  if (!system) return;
  ::InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_ABOUT, kAboutText);
  ::InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_SYSTEM_RESTORE_BACKUP, kRestoreBackupText);
  ::InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_SYSTEM_IMPORT_CONTACTS, kImportContactsText);
  ::InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_SYSTEM_EXPORT_CONTACTS, kExportContactsText);
  ::InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_SYSTEM_UPCOMING_DATES, kUpcomingDatesText);
}

void SystemMenu::OnSysCommand(UINT command, POINT) {
  // The low four bits are the system's own: the caption buttons and the keyboard
  // set them differently for the same command.
  command &= 0xFFF0;
  if ((command == SC_MINIMIZE && session_.GetEngine().options->minimizeToTray) || command == SC_CLOSE)
    tray_.HideToTray();
  else if (command == (ID_ABOUT & 0xFFF0))
    commands_.ShowAbout();
  else if (command == (ID_SYSTEM_RESTORE_BACKUP & 0xFFF0))
    commands_.RestoreBackup();
  else if (command == (ID_SYSTEM_IMPORT_CONTACTS & 0xFFF0))
    commands_.Run(ID_IMPORT_CONTACTS);
  else if (command == (ID_SYSTEM_EXPORT_CONTACTS & 0xFFF0))
    commands_.Run(ID_EXPORT_CONTACTS);
  else if (command == (ID_SYSTEM_UPCOMING_DATES & 0xFFF0))
    commands_.Run(ID_UPCOMING_DATES);
  else
    SetMsgHandled(false);
}
