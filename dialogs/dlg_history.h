#pragma once
// "History...": a contact's entries, newest first, with the date and weekday,
// the time, how long after the entry before, and the text; the number of the
// last twelve months above them. Entries are deleted here from the dialog's
// own copy, each after a confirmation; the caller applies `deleted`.
#include "base/windows_api.h"

#include <string>
#include <vector>

#include "framework/crackers.h"
#include "framework/dialog.h"
#include "model/journal.h"
#include "resource.h"

class DlgHistory : public CDialogImpl<DlgHistory> {
 public:
  enum { IDD = IDD_HISTORY };

  BEGIN_MSG_MAP(DlgHistory)
    MSG_WM_INITDIALOG(OnInitDialog)
    COMMAND_HANDLER_EX(IDC_HISTORY_DELETE, BN_CLICKED, OnDelete)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnClose)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnClose)
  END_MSG_MAP()

  // In: the contact's name (in the caption), entries newest first, and now.
  std::wstring name;
  std::vector<JournalEntry> entries;
  Time now = 0;
  // Out: the entries the user deleted, in the order deleted.
  std::vector<JournalEntry> deleted;

  // The texts of a row, as the list shows them.
  static std::wstring DateText(Time time);
  static std::wstring TimeText(Time time);
  static std::wstring GapText(long long days);
  static std::wstring CountText(std::size_t count);

 private:
  BOOL OnInitDialog(HWND, LPARAM);
  void OnDelete(UINT, int, HWND);
  void OnClose(UINT, int, HWND);
  void Fill();
};
