#pragma once
// The find field above the tabs: what is typed there filters the lists to
// the contacts whose name or notes hold it, the selected tab's list at once
// and each other list when its tab is selected. Esc clears it; Enter opens
// the first row's contact.
#include "base/windows_api.h"

#include <string>

class GroupTabs;

class FindBar {
 public:
  static constexpr wchar_t kCueText[] = L"Find (Ctrl+F)";

  explicit FindBar(GroupTabs& tabs) : tabs_(tabs) {}  // tabs: not owned, outlive the bar
  FindBar(const FindBar&) = delete;
  FindBar& operator=(const FindBar&) = delete;

  // The main window's field (not owned).
  void Attach(HWND field);
  HWND Field() const { return field_; }

  // The field's text changed (EN_CHANGE).
  void OnTextChanged();
  // Puts the keyboard focus in the field, its text selected.
  void Focus();
  // Empties the field, which shows every row again.
  void Clear();
  // Opens the contact of the selected list's first row; false when it has none.
  bool OpenFirst();

 private:
  GroupTabs& tabs_;
  HWND field_ = nullptr;  // not owned
};
