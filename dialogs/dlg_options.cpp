#include "dialogs/dlg_options.h"

#include <string>

#include "dialogs/dialog_support.h"

namespace {

void SetCheck(HWND dialog, int id, bool checked) {
  ::SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND dialog, int id) {
  return ::SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

LRESULT DlgOptions::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  CenterWindow();
  SetCheck(m_hWnd, IDC_AUTO_START, autoStart);
  SetCheck(m_hWnd, IDC_SHOW_LAST_CONTACTED, showLastContacted);
  SetCheck(m_hWnd, IDC_MINIMIZE_TO_TRAY, minimizeToTray);
  ::SetDlgItemTextW(m_hWnd, IDC_WARN_PERCENT, std::to_wstring(warnPercent).c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_WARN_DAYS, std::to_wstring(warnDays).c_str());
  return TRUE;
}

LRESULT DlgOptions::OnAccept(WORD, WORD, HWND, BOOL&) {
  const std::int32_t percent = dialogs::ReadNumber(dialogs::ControlText(m_hWnd, IDC_WARN_PERCENT));
  const std::int32_t days = dialogs::ReadNumber(dialogs::ControlText(m_hWnd, IDC_WARN_DAYS));
  if (percent <= 0 || percent > kMaxWarnPercent) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the warning percent level to a number between 1 and 99");
    return 0;
  }
  if (days <= 0 || days > kMaxWarnDays) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the warning in days level to a number between 1 and 200");
    return 0;
  }
  warnPercent = percent;
  warnDays = days;
  autoStart = IsChecked(m_hWnd, IDC_AUTO_START);
  showLastContacted = IsChecked(m_hWnd, IDC_SHOW_LAST_CONTACTED);
  minimizeToTray = IsChecked(m_hWnd, IDC_MINIMIZE_TO_TRAY);
  EndDialog(IDOK);
  return 0;
}

LRESULT DlgOptions::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(IDCANCEL);
  return 0;
}
