#pragma once
// "Log Contact...": a contact made earlier, with its date and time and an
// optional text. Values in, run, values out; the caller records it.
#include "base/windows_api.h"

#include <string>

#include "framework/crackers.h"
#include "framework/dialog.h"
#include "model/platform.h"
#include "resource.h"

class DlgLogContact : public CDialogImpl<DlgLogContact> {
 public:
  enum { IDD = IDD_LOG_CONTACT };

  static constexpr wchar_t kFutureRefused[] = L"A contact cannot be logged in the future.";

  BEGIN_MSG_MAP(DlgLogContact)
    MSG_WM_INITDIALOG(OnInitDialog)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnAccept)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnCancel)
  END_MSG_MAP()

  // In: the moment the dialog opens, shown first and the latest time taken.
  Time now = 0;
  // In: whom it is for, named in the title ("Log Contact: Anna Berg", "Log
  // Contact: 3 People"); empty leaves the title as it is.
  std::wstring forWhom;
  // Out, after IDOK: the time chosen and the text (at most 200 characters).
  Time when = 0;
  std::wstring text;

 private:
  BOOL OnInitDialog(HWND, LPARAM);
  void OnAccept(UINT, int, HWND);
  void OnCancel(UINT, int, HWND);
};
