#include "dialogs/dlg_restore_backup.h"

#include <cwchar>

namespace {

std::wstring Counted(std::size_t count, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

}  // namespace

std::wstring DlgRestoreBackup::Describe(int year, int month, int day, int hour, int minute, bool readable,
                                        std::size_t groups, std::size_t contacts) {
  wchar_t when[32] = {};
  std::swprintf(when, sizeof when / sizeof when[0], L"%04d-%02d-%02d %02d:%02d", year, month, day, hour, minute);
  if (!readable) return std::wstring(when) + L" - cannot be read";
  return std::wstring(when) + L" - " + Counted(groups, L"group", L"groups") + L", " +
         Counted(contacts, L"contact", L"contacts");
}

BOOL DlgRestoreBackup::OnInitDialog(HWND, LPARAM) {
  HWND list = GetDlgItem(IDC_BACKUP_LIST);
  int first = -1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i].text.c_str()));
    if (first < 0 && entries[i].choosable) first = static_cast<int>(i);
  }
  if (entries.empty()) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"There are no backups yet."));
  ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(first), 0);
  UpdateOk();
  return TRUE;
}

int DlgRestoreBackup::Selected() const {
  const int index = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_BACKUP_LIST, LB_GETCURSEL, 0, 0));
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size() || !entries[index].choosable) return -1;
  return index;
}

void DlgRestoreBackup::UpdateOk() { ::EnableWindow(GetDlgItem(IDOK), Selected() >= 0); }

void DlgRestoreBackup::OnSelectionChanged(UINT, int, HWND) { UpdateOk(); }

void DlgRestoreBackup::OnDoubleClick(UINT, int, HWND) {
  if (Selected() >= 0) OnAccept(BN_CLICKED, IDOK, nullptr);
}

void DlgRestoreBackup::OnAccept(UINT, int, HWND) {
  chosen = Selected();
  if (chosen < 0) return;
  EndDialog(IDOK);
}

void DlgRestoreBackup::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }
