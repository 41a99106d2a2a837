#pragma once
// Lists the backups, newest first, and returns the one the user chose. A
// backup that cannot be read is shown as such and cannot be chosen. The caller
// does the restoring.
#include "base/windows_api.h"

#include <string>
#include <vector>

#include "framework/crackers.h"
#include "framework/dialog.h"
#include "resource.h"

class DlgRestoreBackup : public CDialogImpl<DlgRestoreBackup> {
 public:
  enum { IDD = IDD_RESTORE_BACKUP };

  struct Entry {
    std::wstring text;  // e.g. "2024-03-09 23:59 - 2 groups, 3 contacts"
    bool choosable = true;
  };

  BEGIN_MSG_MAP(DlgRestoreBackup)
    MSG_WM_INITDIALOG(OnInitDialog)
    COMMAND_HANDLER_EX(IDC_BACKUP_LIST, LBN_SELCHANGE, OnSelectionChanged)
    COMMAND_HANDLER_EX(IDC_BACKUP_LIST, LBN_DBLCLK, OnDoubleClick)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnAccept)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnCancel)
  END_MSG_MAP()

  // Set before running, in the order shown.
  std::vector<Entry> entries;
  // After IDOK: the index of the chosen entry.
  int chosen = -1;

  // The list's line for a backup made at `made` (local time) holding the counts,
  // or one that cannot be read.
  static std::wstring Describe(int year, int month, int day, int hour, int minute, bool readable, std::size_t groups,
                               std::size_t contacts);

 private:
  BOOL OnInitDialog(HWND focus, LPARAM initParam);
  void OnSelectionChanged(UINT code, int id, HWND control);
  void OnDoubleClick(UINT code, int id, HWND control);
  void OnAccept(UINT code, int id, HWND control);
  void OnCancel(UINT code, int id, HWND control);
  int Selected() const;
  void UpdateOk();
};
