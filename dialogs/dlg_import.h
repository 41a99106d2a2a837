#pragma once
// The preview of an import: every person found with a tick, the group they will
// go into and a mark for those that look already here; what could not be read;
// the group for people whose files name none and the interval for new contacts
// that bring none. The caller reads the files and does the import.
#include "base/windows_api.h"

#include <cstdint>
#include <string>
#include <vector>

#include "framework/crackers.h"
#include "framework/dialog.h"
#include "model/contact.h"
#include "resource.h"

class DlgImport : public CDialogImpl<DlgImport> {
 public:
  enum { IDD = IDD_IMPORT };

  struct Row {
    std::wstring name;
    std::wstring group;  // the group the file names; empty: the chosen group
    bool duplicate = false;
  };

  BEGIN_MSG_MAP(DlgImport)
    MSG_WM_INITDIALOG(OnInitDialog)
    NOTIFY_HANDLER_EX(IDC_IMPORT_PEOPLE, LVN_ITEMCHANGED, OnPersonChanged)
    COMMAND_HANDLER_EX(IDC_IMPORT_GROUP, CBN_EDITCHANGE, OnGroupTyped)
    COMMAND_HANDLER_EX(IDC_IMPORT_GROUP, CBN_SELCHANGE, OnGroupChosen)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnAccept)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnCancel)
  END_MSG_MAP()

  // Set before running.
  std::vector<Row> rows;
  std::vector<std::wstring> problems;    // one line each: "file, line N: why"
  std::vector<std::wstring> groupNames;  // the groups there are, in their order
  // In and out: the starting ticks and the ticks chosen, one per row.
  std::vector<bool> ticked;
  // In and out: the group for people without one, an existing group's name or
  // a new one's.
  std::wstring groupForUngrouped;
  // In and out: the interval for new contacts that bring none.
  IntervalUnit unit = Weeks;
  std::int32_t count = 4;

  // "Import 3 People", "Import 1 Person".
  static std::wstring ImportButtonText(int ticks);
  // The text of the "already here" column for a marked row.
  static constexpr wchar_t kDuplicateMark[] = L"Already here";

 private:
  BOOL OnInitDialog(HWND focus, LPARAM initParam);
  LRESULT OnPersonChanged(NMHDR* header);
  void OnGroupTyped(UINT code, int id, HWND control);
  void OnGroupChosen(UINT code, int id, HWND control);
  void OnAccept(UINT code, int id, HWND control);
  void OnCancel(UINT code, int id, HWND control);

  void FillPeople();
  void FillProblems();
  void ShowChosenGroup(const std::wstring& name);
  int CountTicks() const;
  void UpdateImportButton();

  HWND people_ = nullptr;  // not owned
  bool filling_ = false;
};
