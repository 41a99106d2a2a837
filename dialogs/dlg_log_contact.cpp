#include "dialogs/dlg_log_contact.h"

#include <commctrl.h>

#include <utility>

#include "dialogs/dialog_support.h"
#include "model/journal.h"
#include "model/text_cut.h"

BOOL DlgLogContact::OnInitDialog(HWND, LPARAM) {
  CenterWindow();
  if (!forWhom.empty()) SetWindowText((L"Log Contact: " + forWhom).c_str());
  SYSTEMTIME local{};
  if (dialogs::ToLocalSystemTime(now, local)) {
    for (int id : {IDC_LOG_DATE, IDC_LOG_TIME})
      ::SendDlgItemMessageW(m_hWnd, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local));
  }
  ::SendDlgItemMessageW(m_hWnd, IDC_LOG_TEXT, EM_SETLIMITTEXT, Journal::kMaxTextLength, 0);
  return TRUE;
}

void DlgLogContact::OnAccept(UINT, int, HWND) {
  SYSTEMTIME date{};
  SYSTEMTIME time{};
  ::SendDlgItemMessageW(m_hWnd, IDC_LOG_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
  ::SendDlgItemMessageW(m_hWnd, IDC_LOG_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  date.wHour = time.wHour;
  date.wMinute = time.wMinute;
  date.wSecond = time.wSecond;
  const Time chosen = dialogs::FromLocalSystemTime(date);
  if (chosen > now) {
    dialogs::ShowInputError(m_hWnd, kFutureRefused);
    return;
  }
  when = chosen;
  text = CWindow(GetDlgItem(IDC_LOG_TEXT)).GetWindowText();
  text = text::CutText(std::move(text), Journal::kMaxTextLength);
  EndDialog(IDOK);
}

void DlgLogContact::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }
