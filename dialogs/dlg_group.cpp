#include "dialogs/dlg_group.h"

DlgGroup::DlgGroup() : editMode(false) {
  // Before the window exists: the holder shows it from its first paint.
  picture_.SetImagePath(dialogs::DefaultGroupPicture());
}

DlgGroup::DlgGroup(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count)
    : editMode(true), name(std::move(name)), imagePath(std::move(imagePath)), unit(unit), count(count) {}

LRESULT DlgGroup::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
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

LRESULT DlgGroup::OnSave(WORD, WORD, HWND, BOOL&) {
  name = dialogs::ControlText(m_hWnd, IDC_GROUP_NAME);
  count = dialogs::ReadNumber(dialogs::ControlText(m_hWnd, IDC_INTERVAL_COUNT));
  if (name.empty()) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the group name.");
    return 0;
  }
  LPARAM selected = 0;
  if (dialogs::SelectedData(unitList_, selected)) unit = static_cast<IntervalUnit>(selected);
  imagePath = picture_.ImagePath();
  EndDialog(IDOK);
  return 0;
}

LRESULT DlgGroup::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(IDCANCEL);
  return 0;
}

LRESULT DlgGroup::OnBrowse(WORD, WORD, HWND, BOOL&) {
  HWND owner = ::GetActiveWindow();
  std::wstring chosen;
  if (dialogs::BrowseForPicture(owner ? owner : m_hWnd, chooser_, chosen)) picture_.SetImagePath(chosen);
  return 0;
}
