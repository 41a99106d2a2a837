#include "dialogs/dlg_snooze_date.h"

#include <commctrl.h>

#include "dialogs/dialog_support.h"
#include "model/snooze.h"

BOOL DlgSnoozeDate::OnInitDialog(HWND, LPARAM) {
  CenterWindow();
  SYSTEMTIME local{};
  if (dialogs::ToLocalSystemTime(StartOfDayAfter(now, 7), local))
    ::SendDlgItemMessageW(m_hWnd, IDC_SNOOZE_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local));
  return TRUE;
}

void DlgSnoozeDate::OnAccept(UINT, int, HWND) {
  SYSTEMTIME day{};
  ::SendDlgItemMessageW(m_hWnd, IDC_SNOOZE_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&day));
  day.wHour = day.wMinute = day.wSecond = day.wMilliseconds = 0;
  const Time chosen = dialogs::FromLocalSystemTime(day);
  if (chosen < StartOfDayAfter(now, 1)) {
    dialogs::ShowInputError(m_hWnd, kNotLater);
    return;
  }
  until = chosen;
  EndDialog(IDOK);
}

void DlgSnoozeDate::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }
