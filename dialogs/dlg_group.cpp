#include "dialogs/dlg_group.h"

#include "model/paths.h"

DlgGroup::DlgGroup() : editMode(false) {
  // Before the window exists: the holder shows it from its first paint.
  picture_.SetImagePath(paths::DefaultGroupPicture());
}

DlgGroup::DlgGroup(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count)
    : editMode(true), name(std::move(name)), imagePath(std::move(imagePath)), unit(unit), count(count) {}

BOOL DlgGroup::OnInitDialog(HWND, LPARAM) {
  CenterWindow();
  picture_.Attach(::GetDlgItem(m_hWnd, IDC_IMAGE));
  unitList_ = ::GetDlgItem(m_hWnd, IDC_INTERVAL_UNIT);
  dialogs::FillUnitList(unitList_);
  typeAhead_.Install(unitList_);
  if (editMode) {
    ::SetDlgItemTextW(m_hWnd, IDC_GROUP_NAME, name.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_INTERVAL_COUNT, std::to_wstring(count).c_str());
    picture_.SetImagePath(imagePath);
    dialogs::SelectUnit(unitList_, unit);
  }
  return TRUE;
}

void DlgGroup::OnSave(UINT, int, HWND) {
  name = CWindow(GetDlgItem(IDC_GROUP_NAME)).GetWindowText();
  count = dialogs::ReadNumber(CWindow(GetDlgItem(IDC_INTERVAL_COUNT)).GetWindowText());
  if (name.empty()) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the group name.");
    return;
  }
  LPARAM selected = 0;
  if (dialogs::SelectedData(unitList_, selected)) unit = static_cast<IntervalUnit>(selected);
  imagePath = picture_.ImagePath();
  EndDialog(IDOK);
}

void DlgGroup::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }

void DlgGroup::OnBrowse(UINT, int, HWND) {
  HWND owner = ::GetActiveWindow();
  std::wstring chosen;
  if (dialogs::BrowseForPicture(owner ? owner : m_hWnd, chooser_, chosen)) picture_.SetImagePath(chosen);
}
