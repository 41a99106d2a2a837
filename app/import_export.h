#pragma once
#include "base/windows_api.h"

#include <string>
#include <vector>

class DataSession;
class GroupTabs;

// "Import Contacts..." (from the menus or files dropped on the window) and
// "Export Contacts...": the file choosers, the preview, the backup before an
// import, and what the user is told.
class ImportExport {
 public:
  // session and tabs are not owned and outlive this.
  ImportExport(DataSession& session, GroupTabs& tabs);
  ImportExport(const ImportExport&) = delete;
  ImportExport& operator=(const ImportExport&) = delete;

  // The parent of every dialog and message box (not owned).
  void SetWindow(HWND window) { window_ = window; }

  // Asks for the files, then imports them.
  void Import();
  // Reads the files and shows the preview; after "Import", a backup first, then
  // the ticked people are added, saved, and the user told what happened. A
  // file that cannot be read at all is told and nothing changes.
  void ImportFiles(const std::vector<std::wstring>& paths);
  // Asks for a file (and, with a group's tab selected, whether that group
  // only), then writes it.
  void Export();

 private:
  void Tell(const std::wstring& text, UINT icon) const;

  DataSession& session_;
  GroupTabs& tabs_;
  HWND window_ = nullptr;  // not owned
};
