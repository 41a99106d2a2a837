#include "app/find_bar.h"

#include <commctrl.h>

#include "app/group_tabs.h"

void FindBar::Attach(HWND field) {
  field_ = field;
  if (field_) ::SendMessageW(field_, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(kCueText));
}

void FindBar::OnTextChanged() {
  if (!field_) return;
  const int length = ::GetWindowTextLengthW(field_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(field_, text.data(), length + 1)));
  tabs_.SetFilter(text);
}

void FindBar::Focus() {
  if (!field_) return;
  ::SetFocus(field_);
  ::SendMessageW(field_, EM_SETSEL, 0, -1);
}

void FindBar::Clear() {
  if (field_ && ::GetWindowTextLengthW(field_) > 0) ::SetWindowTextW(field_, L"");
}

bool FindBar::OpenFirst() {
  DlgGroupEntry* panel = tabs_.SelectedPanel();
  return panel && panel->OpenRow(0);
}
