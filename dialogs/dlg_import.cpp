#include "dialogs/dlg_import.h"

#include <commctrl.h>

#include "dialogs/dialog_support.h"
#include "dialogs/unit_list.h"

namespace {

enum Column { kNameColumn, kGroupColumn, kMarkColumn };

void AddColumn(HWND list, int index, const wchar_t* title, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(title);
  column.cx = width;
  ListView_InsertColumn(list, index, &column);
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
  ListView_SetItemText(list, row, column, const_cast<wchar_t*>(text.c_str()));
}

std::wstring Trimmed(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

std::wstring DlgImport::ImportButtonText(int ticks) {
  return L"Import " + std::to_wstring(ticks) + (ticks == 1 ? L" Person" : L" People");
}

BOOL DlgImport::OnInitDialog(HWND, LPARAM) {
  people_ = GetDlgItem(IDC_IMPORT_PEOPLE);
  ticked.resize(rows.size(), true);
  FillPeople();
  FillProblems();

  HWND groups = GetDlgItem(IDC_IMPORT_GROUP);
  for (const std::wstring& name : groupNames)
    ::SendMessageW(groups, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  ::SetWindowTextW(groups, groupForUngrouped.c_str());

  HWND units = GetDlgItem(IDC_IMPORT_UNIT);
  dialogs::FillUnitList(units);
  dialogs::SelectUnit(units, unit);
  ::SetDlgItemTextW(m_hWnd, IDC_IMPORT_COUNT, std::to_wstring(count).c_str());
  UpdateImportButton();
  return TRUE;
}

void DlgImport::FillPeople() {
  ListView_SetExtendedListViewStyle(people_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client{};
  ::GetClientRect(people_, &client);
  const int width = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
  AddColumn(people_, kNameColumn, L"Name", width * 45 / 100);
  AddColumn(people_, kGroupColumn, L"Group", width * 33 / 100);
  AddColumn(people_, kMarkColumn, L"", width - width * 45 / 100 - width * 33 / 100);
  // The ticks change while the rows go in: the count follows once, at the end.
  filling_ = true;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(rows[i].name.c_str());
    const int index = ListView_InsertItem(people_, &item);
    SetCell(people_, index, kGroupColumn, rows[i].group.empty() ? groupForUngrouped : rows[i].group);
    if (rows[i].duplicate) SetCell(people_, index, kMarkColumn, kDuplicateMark);
    ListView_SetCheckState(people_, index, ticked[i] ? TRUE : FALSE);
  }
  filling_ = false;
}

void DlgImport::FillProblems() {
  HWND list = GetDlgItem(IDC_IMPORT_PROBLEMS);
  for (const std::wstring& line : problems)
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  if (problems.empty())
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Every card and row could be read."));
}

int DlgImport::CountTicks() const {
  int ticks = 0;
  const int rowCount = ListView_GetItemCount(people_);
  for (int i = 0; i < rowCount; ++i)
    if (ListView_GetCheckState(people_, i)) ++ticks;
  return ticks;
}

void DlgImport::UpdateImportButton() {
  const int ticks = CountTicks();
  ::SetDlgItemTextW(m_hWnd, IDOK, ImportButtonText(ticks).c_str());
  ::EnableWindow(GetDlgItem(IDOK), ticks > 0);
}

LRESULT DlgImport::OnPersonChanged(NMHDR* header) {
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!filling_ && (change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK))
    UpdateImportButton();
  return 0;
}

void DlgImport::ShowChosenGroup(const std::wstring& name) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].group.empty()) SetCell(people_, static_cast<int>(i), kGroupColumn, name);
}

void DlgImport::OnGroupTyped(UINT, int, HWND control) { ShowChosenGroup(Trimmed(CWindow(control).GetWindowText())); }

void DlgImport::OnGroupChosen(UINT, int, HWND control) {
  // The edit field shows the chosen entry only after this notification.
  const int index = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
  if (index < 0 || static_cast<std::size_t>(index) >= groupNames.size()) return;
  ShowChosenGroup(groupNames[index]);
}

void DlgImport::OnAccept(UINT, int, HWND) {
  const std::wstring group = Trimmed(CWindow(GetDlgItem(IDC_IMPORT_GROUP)).GetWindowText());
  const std::int32_t typedCount = dialogs::ReadNumber(CWindow(GetDlgItem(IDC_IMPORT_COUNT)).GetWindowText());
  LPARAM chosenUnit = 0;
  bool anyUngrouped = false;
  for (std::size_t i = 0; i < rows.size(); ++i)
    anyUngrouped = anyUngrouped || (rows[i].group.empty() && ListView_GetCheckState(people_, static_cast<int>(i)));
  if (anyUngrouped && group.empty()) {
    dialogs::ShowInputError(m_hWnd, L"Please, choose a group for the people without one, or type a new name.");
    return;
  }
  if (typedCount <= 0 || !dialogs::SelectedData(GetDlgItem(IDC_IMPORT_UNIT), chosenUnit)) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the time to contact new people every.");
    return;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) ticked[i] = ListView_GetCheckState(people_, static_cast<int>(i)) != 0;
  if (!group.empty()) groupForUngrouped = group;
  unit = static_cast<IntervalUnit>(chosenUnit);
  count = typedCount;
  EndDialog(IDOK);
}

void DlgImport::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }
