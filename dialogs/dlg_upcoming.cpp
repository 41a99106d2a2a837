#include "dialogs/dlg_upcoming.h"

#include <commctrl.h>

#include <algorithm>

#include "dialogs/contact_details_editor.h"

namespace {

struct Column {
  const wchar_t* title;
  int width;  // dialog units
};
constexpr Column kColumns[] = {{L"Date", 56}, {L"Weekday", 50}, {L"When", 46},
                               {L"Name", 80}, {L"Label", 58},   {L"Age", 22}};

}  // namespace

std::int32_t DlgUpcoming::DaysAhead(CalendarDay today) {
  // A year on, the same day comes round again: it is today's, not the list's.
  const CalendarDay yearOn{today.year + 1, today.month, today.day};
  return std::max(0, DaysBetween(today, yearOn) - 1);
}

const wchar_t* DlgUpcoming::Weekday(CalendarDay day) {
  static constexpr const wchar_t* kNames[] = {L"Monday", L"Tuesday",  L"Wednesday", L"Thursday",
                                              L"Friday", L"Saturday", L"Sunday"};
  // 1 January 1970 was a Thursday.
  const std::int32_t since = DaysBetween(CalendarDay{1970, 1, 1}, day);
  return kNames[((since % 7) + 7 + 3) % 7];
}

std::wstring DlgUpcoming::HowSoon(std::int32_t days) {
  if (days == 0) return L"Today";
  if (days == 1) return L"Tomorrow";
  return L"In " + std::to_wstring(days) + L" days";
}

std::vector<std::wstring> DlgUpcoming::Columns(const UpcomingDate& date) {
  // The day it comes round: 29 February falls on the 28th in other years.
  ImportantDate shown = date.date;
  shown.month = date.on.month;
  shown.day = date.on.day;
  shown.year = 0;
  return {dialogs::DateText(shown),
          Weekday(date.on),
          HowSoon(date.days),
          date.name,
          CapitalizedLabel(date.date.label),
          date.turns > 0 ? std::to_wstring(date.turns) : std::wstring()};
}

BOOL DlgUpcoming::OnInitDialog(HWND, LPARAM) {
  CenterWindow();
  HWND list = GetDlgItem(IDC_UPCOMING_LIST);
  ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    // Dialog units, so the columns grow with the font and the DPI.
    RECT width{0, 0, kColumns[i].width, 0};
    ::MapDialogRect(m_hWnd, &width);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    column.cx = width.right;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  for (std::size_t row = 0; row < dates.size(); ++row) {
    const std::vector<std::wstring> texts = Columns(dates[row]);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<wchar_t*>(texts[0].c_str());
    const auto index = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) continue;
    for (std::size_t column = 1; column < texts.size(); ++column) {
      LVITEMW sub{};
      sub.iSubItem = static_cast<int>(column);
      sub.pszText = const_cast<wchar_t*>(texts[column].c_str());
      ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
    }
  }
  ::ShowWindow(GetDlgItem(IDC_UPCOMING_EMPTY), dates.empty() ? SW_SHOWNA : SW_HIDE);
  if (!dates.empty()) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  }
  ::EnableWindow(GetDlgItem(IDOK), Selected() >= 0);
  ::SetFocus(dates.empty() ? GetDlgItem(IDCANCEL) : list);
  return FALSE;
}

int DlgUpcoming::Selected() const {
  const auto row = static_cast<int>(
      ::SendDlgItemMessageW(m_hWnd, IDC_UPCOMING_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return row >= 0 && static_cast<std::size_t>(row) < dates.size() ? row : -1;
}

LRESULT DlgUpcoming::OnDoubleClick(NMHDR*) {
  if (Selected() >= 0) OnOpen(BN_CLICKED, IDOK, nullptr);
  return 0;
}

LRESULT DlgUpcoming::OnSelectionChanged(NMHDR*) {
  ::EnableWindow(GetDlgItem(IDOK), Selected() >= 0);
  return 0;
}

void DlgUpcoming::OnOpen(UINT, int, HWND) {
  const int row = Selected();
  if (row < 0) return;
  chosen = dates[static_cast<std::size_t>(row)].id;
  EndDialog(IDOK);
}

void DlgUpcoming::OnClose(UINT, int, HWND) { EndDialog(IDCANCEL); }
