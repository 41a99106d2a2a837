#include "dialogs/dlg_history.h"

#include <commctrl.h>

#include "model/journal_history.h"
#include "model/platform.h"

namespace {

constexpr wchar_t kCaption[] = L"History";

void AddColumn(HWND list, int index, const wchar_t* title, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(title);
  column.cx = width;
  ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

std::wstring DlgHistory::DateText(Time time) { return platform::LocalDateText(time); }

std::wstring DlgHistory::TimeText(Time time) { return platform::FormatLocalTime(time, L"%H:%M"); }

std::wstring DlgHistory::GapText(long long days) {
  if (days < 0) return L"First";
  if (days == 0) return L"Same day";
  return std::to_wstring(days) + (days == 1 ? L" day later" : L" days later");
}

std::wstring DlgHistory::CountText(std::size_t count) {
  return std::to_wstring(count) + (count == 1 ? L" contact" : L" contacts") + L" in the last twelve months.";
}

BOOL DlgHistory::OnInitDialog(HWND, LPARAM) {
  CenterWindow();
  SetWindowText((std::wstring(kCaption) + L": " + name).c_str());
  HWND list = GetDlgItem(IDC_HISTORY_LIST);
  ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  AddColumn(list, 0, L"Date", 120);
  AddColumn(list, 1, L"Time", 50);
  AddColumn(list, 2, L"After", 90);
  AddColumn(list, 3, L"What about?", 180);
  Fill();
  return TRUE;
}

void DlgHistory::Fill() {
  HWND list = GetDlgItem(IDC_HISTORY_LIST);
  ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::wstring date = DateText(entries[i].time);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(date.c_str());
    const int row = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCell(list, row, 1, TimeText(entries[i].time));
    SetCell(list, row, 2, GapText(DaysAfterPrevious(entries, i)));
    SetCell(list, row, 3, entries[i].text);
  }
  ::SetDlgItemTextW(m_hWnd, IDC_HISTORY_COUNT, CountText(CountLastTwelveMonths(entries, now)).c_str());
  ::EnableWindow(GetDlgItem(IDC_HISTORY_DELETE), !entries.empty());
}

void DlgHistory::OnDelete(UINT, int, HWND) {
  const int row = static_cast<int>(
      ::SendDlgItemMessageW(m_hWnd, IDC_HISTORY_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0 || static_cast<std::size_t>(row) >= entries.size()) return;
  const JournalEntry& entry = entries[static_cast<std::size_t>(row)];
  const std::wstring question = L"Delete the contact of " + DateText(entry.time) + L" at " + TimeText(entry.time) +
                                L"?";
  if (::MessageBoxW(m_hWnd, question.c_str(), L"Delete Entry", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  deleted.push_back(entry);
  entries.erase(entries.begin() + row);
  Fill();
}

void DlgHistory::OnClose(UINT, int, HWND) { EndDialog(deleted.empty() ? IDCANCEL : IDOK); }
