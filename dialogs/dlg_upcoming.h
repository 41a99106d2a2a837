#pragma once
// The coming twelve months' birthdays and other dates, soonest first: date,
// weekday, how soon, name, label and age. Enter or a double-click hands the
// chosen contact back for the caller to open.
#include "base/windows_api.h"

#include <cstdint>
#include <string>
#include <vector>

#include "framework/crackers.h"
#include "framework/dialog.h"
#include "model/important_dates.h"
#include "resource.h"

class DlgUpcoming : public CDialogImpl<DlgUpcoming> {
 public:
  enum { IDD = IDD_UPCOMING };

  BEGIN_MSG_MAP(DlgUpcoming)
    MSG_WM_INITDIALOG(OnInitDialog)
    NOTIFY_HANDLER_EX(IDC_UPCOMING_LIST, NM_DBLCLK, OnDoubleClick)
    NOTIFY_HANDLER_EX(IDC_UPCOMING_LIST, LVN_ITEMCHANGED, OnSelectionChanged)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnOpen)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnClose)
  END_MSG_MAP()

  // Set before running, soonest first (UpcomingDates).
  std::vector<UpcomingDate> dates;
  // After IDOK: the contact to open.
  std::int32_t chosen = -1;

  // The days a list of twelve months from today covers (0: today only).
  static std::int32_t DaysAhead(CalendarDay today);
  // "Monday" ... "Sunday".
  static const wchar_t* Weekday(CalendarDay day);
  // "Today", "Tomorrow", "In 3 days".
  static std::wstring HowSoon(std::int32_t days);
  // The list's columns for one date, as shown.
  static std::vector<std::wstring> Columns(const UpcomingDate& date);

 private:
  BOOL OnInitDialog(HWND focus, LPARAM initParam);
  LRESULT OnDoubleClick(NMHDR* header);
  LRESULT OnSelectionChanged(NMHDR* header);
  void OnOpen(UINT code, int id, HWND control);
  void OnClose(UINT code, int id, HWND control);
  int Selected() const;
};
