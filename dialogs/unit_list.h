#pragma once
// The extended combo boxes of the editing dialogs: entries with a 32-bit data
// value in insertion order, the interval unit list and its first-letter
// type-ahead.
#include "base/windows_api.h"

#include <commctrl.h>

#include <cstdint>
#include <string>

#include "framework/crackers.h"
#include "framework/window.h"
#include "model/contact.h"

namespace dialogs {

// Characters an entry's text buffer holds, terminator included; longer texts
// are cut to fit.
constexpr size_t kEntryTextChars = 100;

// Appends an entry at index = current count; returns its index or -1.
int AppendEntry(HWND comboEx, const std::wstring& text, LPARAM data);
int EntryCount(HWND comboEx);
std::wstring EntryText(HWND comboEx, int index);
// False when no entry is selected.
bool SelectedData(HWND comboEx, LPARAM& data);
void SelectEntry(HWND comboEx, int index);  // -1 clears the selection

// "Days", "Weeks", "Months" with data 0, 1, 2: an entry's index is its unit.
void FillUnitList(HWND comboEx);
// Selects the entry of unit; a value outside the three clears the selection.
void SelectUnit(HWND comboEx, std::int32_t unit);

// Typing a letter in the unit list selects the first entry starting with it,
// ignoring case; the list's own handling of the key follows in every case.
class UnitTypeAhead : public CWindowImpl<UnitTypeAhead> {
 public:
  // Subclasses the combo box inside comboEx.
  bool Install(HWND comboEx);

  BEGIN_MSG_MAP(UnitTypeAhead)
    MSG_WM_CHAR(OnChar)
  END_MSG_MAP()

 private:
  void OnChar(UINT character, UINT repeat, UINT flags);

  HWND comboEx_ = nullptr;  // not owned
};

}  // namespace dialogs
