#include "dialogs/dlg_options.h"

#include <string>

#include "dialogs/dialog_support.h"

namespace {

void SetCheck(HWND dialog, int id, bool checked) {
  ::SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND dialog, int id) { return ::SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

BOOL DlgOptions::OnInitDialog(HWND, LPARAM) {
  CenterWindow();
  SetCheck(m_hWnd, IDC_AUTO_START, autoStart);
  SetCheck(m_hWnd, IDC_SHOW_LAST_CONTACTED, showLastContacted);
  SetCheck(m_hWnd, IDC_MINIMIZE_TO_TRAY, minimizeToTray);
  ::SetDlgItemTextW(m_hWnd, IDC_WARN_PERCENT, std::to_wstring(warnPercent).c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_WARN_DAYS, std::to_wstring(warnDays).c_str());
  // OK keeps the first focus, though Tab goes through the settings first.
  ::SetFocus(GetDlgItem(IDOK));
  return FALSE;
}

void DlgOptions::OnAccept(UINT, int, HWND) {
  const std::int32_t percent = dialogs::ReadNumber(CWindow(GetDlgItem(IDC_WARN_PERCENT)).GetWindowText());
  const std::int32_t days = dialogs::ReadNumber(CWindow(GetDlgItem(IDC_WARN_DAYS)).GetWindowText());
  if (percent <= 0 || percent > kMaxWarnPercent) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the warning percent level to a number between 1 and 99");
    return;
  }
  if (days <= 0 || days > kMaxWarnDays) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the warning in days level to a number between 1 and 200");
    return;
  }
  warnPercent = percent;
  warnDays = days;
  autoStart = IsChecked(m_hWnd, IDC_AUTO_START);
  showLastContacted = IsChecked(m_hWnd, IDC_SHOW_LAST_CONTACTED);
  minimizeToTray = IsChecked(m_hWnd, IDC_MINIMIZE_TO_TRAY);
  EndDialog(IDOK);
}

void DlgOptions::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }
