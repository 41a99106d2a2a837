#pragma once
// The main window's popup menus, built anew each time they are shown. The
// window's owner-draw mix-in (Drawer) draws them with images from its strip.
#include "base/windows_api.h"

#include "app/commands.h"
#include "framework/handles.h"
#include "resource.h"

// syncNow: an address book account exists, and the menu offers a sync.
template <class Drawer>
UniqueMenu BuildTrayMenu(Drawer& drawer, HIMAGELIST images, bool windowShown, bool syncNow) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  HMENU raw = menu.get();
  drawer.AttachImageList(raw, images);
  if (!windowShown) {
    AppendMenuW(raw, MF_STRING, ID_SHOW_WINDOW, L"&Show Window");
    drawer.SetItemImage(raw, ID_SHOW_WINDOW, MENU_IMAGE_SHOW_WINDOW);
    AppendMenuW(raw, MF_SEPARATOR, 0, nullptr);
  }
  AppendMenuW(raw, MF_STRING, ID_ADD_GROUP, L"Add &Group");
  drawer.SetItemImage(raw, ID_ADD_GROUP, MENU_IMAGE_ADD_GROUP);
  AppendMenuW(raw, MF_STRING, ID_ADD_CONTACT, L"&Add &Contact");
  drawer.SetItemImage(raw, ID_ADD_CONTACT, MENU_IMAGE_ADD_CONTACT);
  AppendMenuW(raw, MF_STRING, ID_UPCOMING_DATES, kUpcomingDatesText);
  AppendMenuW(raw, MF_STRING, ID_RESTORE_BACKUP, kRestoreBackupText);
  AppendMenuW(raw, MF_STRING, ID_IMPORT_CONTACTS, kImportContactsText);
  AppendMenuW(raw, MF_STRING, ID_EXPORT_CONTACTS, kExportContactsText);
  if (syncNow) AppendMenuW(raw, MF_STRING, ID_SYNC_NOW, L"Sync &Now");
  AppendMenuW(raw, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(raw, MF_STRING, ID_EXIT, L"&Exit");
  drawer.SetItemImage(raw, ID_EXIT, MENU_IMAGE_EXIT);
  return menu;
}

template <class Drawer>
UniqueMenu BuildTabMenu(Drawer& drawer, HIMAGELIST images) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  HMENU raw = menu.get();
  drawer.AttachImageList(raw, images);
  AppendMenuW(raw, MF_STRING, ID_EDIT_GROUP, L"&Edit");
  drawer.SetItemImage(raw, ID_EDIT_GROUP, MENU_IMAGE_EDIT);
  AppendMenuW(raw, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(raw, MF_STRING, ID_DELETE_GROUP, L"&Delete");
  drawer.SetItemImage(raw, ID_DELETE_GROUP, MENU_IMAGE_DELETE);
  return menu;
}
