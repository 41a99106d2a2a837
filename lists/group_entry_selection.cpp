// The list's selection: the store keeps it by contact, the control shows it
// and tells screen readers; changes to many rows' states are made undrawn.
#include "lists/group_entry_list_view.h"

#include <functional>
#include <vector>

// The control invalidates each row whose state it sets, which for thousands of
// rows under Wine cost most of a second; with its drawing off, the list is
// painted once afterwards. Drawing already off (a bulk change) stays off.
void GroupEntryListView::Undrawn(const std::function<void()>& change) {
  const bool switching = !redrawOff_ && (GetStyle() & WS_VISIBLE) != 0;
  if (switching) SendMessage(WM_SETREDRAW, FALSE, 0);
  change();
  if (!switching) return;
  SendMessage(WM_SETREDRAW, TRUE, 0);
  // Turning drawing off validated the rows' boxes and links too.
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The control keeps selection and focus by row number: they move to where
// their contacts went, without the changes reading as a deselection.
void GroupEntryListView::ShowSelection(int focused) {
  if (!IsWindow()) return;
  Undrawn([this, focused] { MoveSelection(focused); });
}

void GroupEntryListView::MoveSelection(int focused) {
  movingSelection_ = true;
  SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (focused >= 0) SetItemState(focused, LVIS_FOCUSED, LVIS_FOCUSED);
  const std::vector<int> selected = rows_.SelectedRows();
  if (!selected.empty() && static_cast<int>(selected.size()) == rows_.Count()) {
    SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
  } else {
    for (int row : selected) SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
  }
  if (!selected.empty()) SendMessage(LVM_SETSELECTIONMARK, 0, focused >= 0 ? focused : selected.front());
  movingSelection_ = false;
}

void GroupEntryListView::SelectAll() {
  if (!IsWindow() || rows_.Count() == 0) return;
  Undrawn([this] { SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED); });
  // The control says so with one notice for every row; the store follows
  // even when it does not.
  rows_.SetAllSelected(true);
}

void GroupEntryListView::SelectContacts(const std::vector<std::int32_t>& ids) {
  rows_.SelectIds(ids);
  ShowSelection(FocusedRow());
}

LRESULT GroupEntryListView::OnRowChanged(NMHDR* header) {
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (movingSelection_ || !(change->uChanged & LVIF_STATE)) return 0;
  const bool selected = (change->uNewState & LVIS_SELECTED) != 0;
  if (change->iItem >= 0) {
    rows_.SetSelected(change->iItem, selected);
    // Any change of a row's state that leaves it unselected takes its link.
    if (!selected) DropUndoOfRow(change->iItem);
    return 0;
  }
  // Every row at once: a list without rows of its own does not say which
  // ones lost the selection, so those the store has selected are looked at.
  if (selected)
    rows_.SetAllSelected(true);
  else
    FollowDeselection();
  return 0;
}

// A range from Shift with a click or a key.
LRESULT GroupEntryListView::OnRowsChanged(NMHDR* header) {
  const auto* change = reinterpret_cast<const NMLVODSTATECHANGE*>(header);
  if (movingSelection_ || ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) == 0) return 0;
  if (change->uNewState & LVIS_SELECTED)
    rows_.SetRangeSelected(change->iFrom, change->iTo, true);
  else
    FollowDeselection();
  return 0;
}

void GroupEntryListView::FollowDeselection() {
  for (int row : rows_.SelectedRows()) {
    if (SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) continue;
    rows_.SetSelected(row, false);
    DropUndoOfRow(row);
  }
}

void GroupEntryListView::OnKeyDown(UINT key, UINT, UINT) {
  if (key == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000) && !(::GetKeyState(VK_MENU) & 0x8000)) {
    SelectAll();
    return;
  }
  // Moving with Shift, or away from many selected rows, has the control set
  // every row of the range or of the old selection one by one.
  const bool moves = key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT || key == VK_HOME ||
                     key == VK_END;
  if (moves && ((::GetKeyState(VK_SHIFT) & 0x8000) || rows_.SelectedCount() > kManySelected)) {
    Undrawn([this] { DefWindowProc(); });
    return;
  }
  SetMsgHandled(false);
}
