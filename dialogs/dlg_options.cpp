#include "dialogs/dlg_options.h"

#include <string>

#include <commctrl.h>

#include "dialogs/dialog_support.h"
#include "model/journal.h"

namespace {

void SetCheck(HWND dialog, int id, bool checked) {
  ::SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND dialog, int id) { return ::SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Hours and minutes in the user's short time format: the reminder keeps no seconds.
void ShowTimeOfDay(HWND picker, std::int32_t minutes) {
  wchar_t format[80];
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTTIME, format, 80) > 0)
    ::SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format));
  SYSTEMTIME time{};
  ::GetLocalTime(&time);
  time.wHour = static_cast<WORD>(minutes / 60);
  time.wMinute = static_cast<WORD>(minutes % 60);
  time.wSecond = 0;
  time.wMilliseconds = 0;
  ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

std::int32_t ReadTimeOfDay(HWND picker, std::int32_t fallback) {
  SYSTEMTIME time{};
  if (::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) return fallback;
  return time.wHour * 60 + time.wMinute;
}

}  // namespace

BOOL DlgOptions::OnInitDialog(HWND, LPARAM) {
  CenterWindow();
  SetCheck(m_hWnd, IDC_AUTO_START, autoStart);
  SetCheck(m_hWnd, IDC_SHOW_LAST_CONTACTED, showLastContacted);
  SetCheck(m_hWnd, IDC_MINIMIZE_TO_TRAY, minimizeToTray);
  ::SetDlgItemTextW(m_hWnd, IDC_WARN_PERCENT, std::to_wstring(warnPercent).c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_WARN_DAYS, std::to_wstring(warnDays).c_str());
  const bool validLead = dateLeadDays >= 0 && dateLeadDays <= ReminderSettings::kMaxDateLeadDays;
  ::SetDlgItemTextW(m_hWnd, IDC_DATE_LEAD,
                    std::to_wstring(validLead ? dateLeadDays : ReminderSettings::kDefaultDateLeadDays).c_str());
  ::SendDlgItemMessageW(m_hWnd, IDC_DATE_LEAD, EM_LIMITTEXT, 2, 0);
  SetCheck(m_hWnd, IDC_REMIND, remindersEnabled);
  const bool validAt = remindAt >= 0 && remindAt < ReminderSettings::kMinutesPerDay;
  ShowTimeOfDay(GetDlgItem(IDC_REMIND_AT), validAt ? remindAt : ReminderSettings::kDefaultAt);
  EnableReminderTime(remindersEnabled);
  ::EnableWindow(GetDlgItem(IDC_ADDRESS_BOOK_SYNC), openAddressBookSync ? TRUE : FALSE);
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
  const std::wstring leadText = CWindow(GetDlgItem(IDC_DATE_LEAD)).GetWindowText();
  const std::int32_t lead = dialogs::ReadNumber(leadText);
  if (leadText.empty() || lead < 0 || lead > ReminderSettings::kMaxDateLeadDays) {
    dialogs::ShowInputError(m_hWnd,
                            L"Please, specify the days before birthdays and dates to a number between 0 and 30.");
    return;
  }
  warnPercent = percent;
  warnDays = days;
  dateLeadDays = lead;
  autoStart = IsChecked(m_hWnd, IDC_AUTO_START);
  showLastContacted = IsChecked(m_hWnd, IDC_SHOW_LAST_CONTACTED);
  minimizeToTray = IsChecked(m_hWnd, IDC_MINIMIZE_TO_TRAY);
  remindersEnabled = IsChecked(m_hWnd, IDC_REMIND);
  remindAt = ReadTimeOfDay(GetDlgItem(IDC_REMIND_AT), remindAt);
  EndDialog(IDOK);
}

void DlgOptions::OnAddressBookSyncClicked(UINT, int, HWND) {
  if (openAddressBookSync) openAddressBookSync(m_hWnd);
}

void DlgOptions::OnRemindClicked(UINT, int, HWND) { EnableReminderTime(IsChecked(m_hWnd, IDC_REMIND)); }

void DlgOptions::EnableReminderTime(bool enable) {
  for (int id : {IDC_REMIND_AT_LABEL, IDC_REMIND_AT, IDC_DATE_LEAD_LABEL, IDC_DATE_LEAD})
    ::EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE);
}

void DlgOptions::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }
