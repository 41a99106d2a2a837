#pragma once
// "Choose a Date..." of "Remind Me Later": the day the reminder comes back.
// Values in, run, values out.
#include "base/windows_api.h"

#include "framework/crackers.h"
#include "framework/dialog.h"
#include "model/platform.h"
#include "resource.h"

class DlgSnoozeDate : public CDialogImpl<DlgSnoozeDate> {
 public:
  enum { IDD = IDD_SNOOZE_DATE };

  static constexpr wchar_t kNotLater[] = L"Choose a day after today.";

  BEGIN_MSG_MAP(DlgSnoozeDate)
    MSG_WM_INITDIALOG(OnInitDialog)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnAccept)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnCancel)
  END_MSG_MAP()

  // In: now; the picker starts a week ahead.
  Time now = 0;
  // Out, after IDOK: the local midnight that starts the chosen day.
  Time until = 0;

 private:
  BOOL OnInitDialog(HWND, LPARAM);
  void OnAccept(UINT, int, HWND);
  void OnCancel(UINT, int, HWND);
};
