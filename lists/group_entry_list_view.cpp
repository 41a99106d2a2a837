#include "lists/group_entry_list_view.h"

#include <algorithm>
#include <string>
#include <vector>

#include "framework/double_buffer.h"
#include "framework/dpi.h"
#include "model/snooze.h"
#include "lists/row_texts.h"

namespace {

constexpr wchar_t kNobodyMatches[] = L"Nobody matches.";

}  // namespace

GroupEntryListView::GroupEntryListView() : painter_(metrics_), clock_([] { return platform::Now(); }) {}

GroupEntryListView::~GroupEntryListView() = default;

BOOL GroupEntryListView::SubclassWindow(HWND window) {
  // The style cannot be added later: a list holding its own rows would go
  // out of step with the store.
  if (!::IsWindow(window) || !(::GetWindowLongPtrW(window, GWL_STYLE) & LVS_OWNERDATA)) return FALSE;
  if (!SortBase::SubclassWindow(window)) return FALSE;
  windows_.SetParent(window);
  metrics_ = lists::Metrics(framework::DpiForWindow(window));
  painter_.FollowMetrics();
  // The first request for the rows' height went out before the list was ours.
  RemeasureRows();
  return TRUE;
}

void GroupEntryListView::FollowDpi() {
  if (!IsWindow()) return;
  const int dpi = framework::DpiForWindow(m_hWnd);
  if (dpi == metrics_.dpi) return;
  metrics_ = lists::Metrics(dpi);
  painter_.FollowMetrics();
  windows_.FollowDpi();
  RemeasureRows();
  Invalidate();
}

// Fixed owner-drawn rows ask for their height when the control's size changes.
// Telling the control its own size again makes it ask once more.
void GroupEntryListView::RemeasureRows() {
  RECT frame{};
  ::GetWindowRect(m_hWnd, &frame);
  WINDOWPOS position{};
  position.hwnd = m_hWnd;
  position.cx = frame.right - frame.left;
  position.cy = frame.bottom - frame.top;
  position.flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOOWNERZORDER | SWP_NOZORDER;
  ::SendMessageW(m_hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
}

void GroupEntryListView::SetCollections(boost::shared_ptr<Groups> groups, boost::shared_ptr<Contacts> contacts) {
  groups_ = std::move(groups);
  contacts_ = std::move(contacts);
}

void GroupEntryListView::SetDisplaySettings(int warnPercent, int warnDays, bool showLastContacted) {
  settings_ = lists::DisplaySettings{warnPercent, warnDays, showLastContacted};
  if (IsWindow()) Invalidate();
}

void GroupEntryListView::SetClock(Clock clock) {
  if (clock) clock_ = std::move(clock);
}

int GroupEntryListView::InsertContactRow(Contact& contact) {
  // The tick box comes with the row's first paint: a list of thousands of rows
  // would otherwise hold thousands of windows, past what a process may own.
  const int index = rows_.Append(contact);
  if (redrawOff_) {
    countPending_ = true;
  } else if (!SyncItemCount()) {
    rows_.DropLast();
    return -1;
  }
  return index;
}

bool GroupEntryListView::SyncItemCount() {
  countPending_ = false;
  if (!IsWindow()) return false;
  // Rows only ever join at the end: what is in sight stays where it is.
  return SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(rows_.Count()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL) !=
         0;
}

void GroupEntryListView::OnPaint(HDC) { PaintRows(false); }

void GroupEntryListView::OnPrintClient(HDC dc) {
  if (PaintBehindTickBox(dc)) return;
  PaintRows(true);
  if (rows_.Count() == 0 && rows_.Filter().Active()) DrawNobodyMatches(dc);
}

void GroupEntryListView::PaintRows(bool printing) {
  const int top = static_cast<int>(SendMessage(LVM_GETTOPINDEX));
  const int last = top + static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE));
  // A scroll moves the rows' pixels but not their child windows, and what is
  // not painted again keeps its boxes where they were, on other rows: after a
  // scroll, all that is in sight is painted again.
  if (!printing && top != paintedTop_) ::InvalidateRect(m_hWnd, nullptr, FALSE);
  paintedTop_ = top;
  windows_.SetAsideOutside(rows_, top, last);
  DefWindowProc();
  windows_.DestroySetAside();
  if (rows_.Count() == 0 && rows_.Filter().Active()) {
    WindowDC dc(m_hWnd);
    if (dc) DrawNobodyMatches(dc.get());
  }
}

// Where the first row would be, in the list's own font.
void GroupEntryListView::DrawNobodyMatches(HDC dc) {
  RECT client{};
  GetClientRect(&client);
  RECT line{client.left + metrics_.rowHeight / 4, client.top, client.right, client.top + metrics_.rowHeight};
  const HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  SelectionGuard selected(dc, font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
  ::DrawTextW(dc, kNobodyMatches, -1, &line, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

void GroupEntryListView::SetFilter(lists::RowFilter filter) {
  if (filter.Query() == rows_.Filter().Query()) return;
  const bool wasEmpty = rows_.Count() == 0 && rows_.Filter().Active();
  FollowFilter([this, &filter] { return rows_.SetFilter(std::move(filter)); }, wasEmpty);
}

void GroupEntryListView::RefilterAll() {
  if (!rows_.Filter().Active()) return;
  FollowFilter(
      [this] {
        std::vector<std::uint64_t> before;
        for (int row = 0; row < rows_.Count(); ++row) before.push_back(rows_.At(row)->key);
        lists::RowFilter same = rows_.Filter();
        // Through no filter first: the same text again would only test the rows shown.
        rows_.SetFilter(lists::RowFilter());
        rows_.SetFilter(std::move(same));
        bool changed = static_cast<int>(before.size()) != rows_.Count();
        for (int row = 0; !changed && row < rows_.Count(); ++row)
          changed = rows_.At(row)->key != before[static_cast<std::size_t>(row)];
        return changed;
      },
      rows_.Count() == 0);
}

void GroupEntryListView::Refilter(std::int32_t id) {
  if (!rows_.Filter().Active()) return;
  FollowFilter([this, id] { return rows_.Refilter(id); }, rows_.Count() == 0);
}

// Rows that the filter hides now lose their selection, and with it their
// links; the others keep it on their contacts' new row numbers.
void GroupEntryListView::FollowFilter(const std::function<bool()>& refilter, bool wasEmpty) {
  const lists::Row* focused = rows_.At(FocusedRow());
  const std::int32_t focusedId = focused ? focused->id : -1;
  const std::vector<std::int32_t> selectedBefore = rows_.SelectedIds();
  const bool changed = refilter();
  const bool isEmpty = rows_.Count() == 0 && rows_.Filter().Active();
  if (!changed && wasEmpty == isEmpty) return;
  movingSelection_ = true;
  ShowFilteredRows();
  movingSelection_ = false;
  if (!changed) return;
  ShowSelection(focusedId >= 0 ? FindRow(focusedId) : -1);
  for (std::int32_t id : selectedBefore)
    if (FindRow(id) < 0) windows_.HideUndo(id);
}

int GroupEntryListView::RemoveContactRows(const std::unordered_set<std::int32_t>& ids) {
  if (ids.empty()) return 0;
  const bool live = IsWindow() != FALSE;
  const Contact* focused = live ? RowContact(FocusedRow()) : nullptr;
  const std::int32_t focusedId = focused && ids.count(focused->id) == 0 ? focused->id : -1;
  // The rows that stay keep their selection in the store, on their new numbers.
  const std::vector<std::uint64_t> keys = rows_.EraseIds(ids);
  if (keys.empty()) return 0;
  windows_.DropRows(keys, ids);
  if (!live) return static_cast<int>(keys.size());
  if (redrawOff_) {
    countPending_ = true;
    return static_cast<int>(keys.size());
  }
  countPending_ = false;
  Undrawn([this, focusedId] {
    movingSelection_ = true;
    SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(rows_.Count()), LVSICF_NOSCROLL);
    movingSelection_ = false;
    MoveSelection(focusedId >= 0 ? FindRow(focusedId) : -1);
  });
  Invalidate();
  return static_cast<int>(keys.size());
}

void GroupEntryListView::ShowFilteredRows() {
  countPending_ = false;
  if (!IsWindow()) return;
  SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(rows_.Count()), 0);
  if (rows_.Count() > 0) SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
  Invalidate();
}

// A themed tick box is partly transparent: each time it paints, it has the
// list paint into it what lies behind it, which is nothing but its row's
// background. Answered here, that costs a fill instead of a paint of the list.
bool GroupEntryListView::PaintBehindTickBox(HDC dc) {
  HWND asking = ::WindowFromDC(dc);
  std::uint64_t key = 0;
  if (!asking || !windows_.FindTickBox(asking, key)) return false;
  const lists::Row* row = rows_.At(rows_.FindKey(key));
  if (!row || row->background == lists::RowStore::kNotPainted) return false;
  RECT behind{};
  if (::GetClipBox(dc, &behind) == ERROR) return false;
  UniqueBrush brush(CreateSolidBrush(row->background));
  return brush && ::FillRect(dc, &behind, brush.get());
}

bool GroupEntryListView::ShowUndo(const Contact& contact) {
  const int row = FindRow(contact.id);
  if (row < 0) return false;
  // Many at once (redrawing off): the links of rows out of sight need no window.
  if (redrawOff_) {
    windows_.WantUndo(contact.id);
    return true;
  }
  if (!windows_.ShowUndo(contact.id)) return false;
  RedrawRow(row);
  return true;
}

bool GroupEntryListView::HideUndo(const Contact& contact) {
  const int row = FindRow(contact.id);
  if (row < 0 || !windows_.HasUndo(contact.id)) return false;
  windows_.HideUndo(contact.id);
  if (IsWindowVisible()) RedrawRow(row);
  return true;
}

bool GroupEntryListView::SortBy(SortMode mode) {
  sortMode_ = mode;
  return DoSortItems(0);
}

bool GroupEntryListView::DoSortItems(int column, bool descending) {
  sortNow_ = clock_();
  const bool sorted = SortBase::DoSortItems(column, descending);
  sortNow_.reset();
  return sorted;
}

int GroupEntryListView::CompareRows(const Contact& a, const Contact& b) const {
  return CompareRows(a, b, sortNow_ ? *sortNow_ : clock_());
}

int GroupEntryListView::CompareRows(const Contact& a, const Contact& b, Time now) const {
  if (!journal_) return CompareContacts(sortMode_, a, b, settings_.warnPercent, settings_.warnDays, now);
  const Time seenA = SeenNow(a, journal_->SnoozedUntil(a.id), now);
  const Time seenB = SeenNow(b, journal_->SnoozedUntil(b.id), now);
  return CompareContacts(sortMode_, a, b, settings_.warnPercent, settings_.warnDays, seenA, seenB);
}

bool GroupEntryListView::SortItemsCustom(int, bool descending) {
  const lists::RowOrder order{
      sortMode_, settings_.warnPercent, settings_.warnDays, sortNow_ ? *sortNow_ : clock_(), descending, journal_};
  lists::KeptRows before;
  before.selected = GetNextItem(-1, LVNI_SELECTED);
  before.focused = FocusedRow();
  const lists::KeptRows after = rows_.Sort(order, before);
  ShowSelection(after.focused);
  Invalidate();
  return true;
}

int GroupEntryListView::FocusedRow() const { return IsWindow() ? GetNextItem(-1, LVNI_FOCUSED) : -1; }

HWND GroupEntryListView::TickBox(std::int32_t id) const {
  const lists::Row* row = rows_.At(FindRow(id));
  return row ? windows_.TickBox(row->key) : nullptr;
}

void GroupEntryListView::OnDestroy() {
  windows_.DestroyAll(false);
  // The control itself still has to let go of its rows.
  SetMsgHandled(false);
}

LRESULT GroupEntryListView::OnNcCalcSize(BOOL, LPARAM) {
  UpdateWindow();
  const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  if (style & WS_HSCROLL) ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_HSCROLL));
  SetMsgHandled(false);
  return 0;
}

// Every command from a row's own child windows is answered here, whatever its
// code, so none of them reaches the panel where its id could mean a command.
void GroupEntryListView::OnChildCommand(UINT code, int, HWND sender) {
  std::uint64_t key = 0;
  std::int32_t id = 0;
  const bool isTick = windows_.FindTickBox(sender, key);
  if (!isTick && !windows_.FindUndo(sender, id)) {
    SetMsgHandled(false);
    return;
  }
  if (code != BN_CLICKED) return;
  if (isTick)
    OnTickClicked(sender);
  else
    OnUndoClicked(sender);
}

// The "(Undo)" links are owner-drawn buttons that draw themselves from the
// reflected request. Other children (the hidden header) keep the default.
void GroupEntryListView::OnChildDrawItem(int id, DRAWITEMSTRUCT* draw) {
  std::int32_t contactId = 0;
  if (!draw || !windows_.FindUndo(draw->hwndItem, contactId)) {
    SetMsgHandled(false);
    return;
  }
  BOOL handled = TRUE;
  framework::ReflectNotifications(m_hWnd, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(draw),
                                  handled);
  SetMsgHandled(handled != FALSE);
}

void GroupEntryListView::OnSetRedraw(bool redraw) {
  SetMsgHandled(false);  // the control switches its own drawing afterwards
  redrawOff_ = !redraw;
  if (!redrawOff_ && countPending_) SyncItemCount();
}

// Every list waiting for one of the pictures paints again; the "All" list and
// a group's list may both show it.
void GroupEntryListView::OnPicturesReady() {
  if (!thumbnails_) return;
  for (HWND window : thumbnails_->Collect())
    if (::IsWindow(window)) ::InvalidateRect(window, nullptr, FALSE);
}

// The control's deletion first: it deselects the row, and the notice of that
// must still find the row's own contact at its number.
BOOL GroupEntryListView::OnDeleteRow(int index) {
  if (countPending_) SyncItemCount();
  const BOOL deleted = static_cast<BOOL>(DefWindowProc());
  const lists::Row* row = rows_.At(index);
  if (!deleted || !row) return deleted;
  // The contact may already be gone: its row is matched by id alone.
  windows_.DropUndo(row->id);
  windows_.DropTickBox(row->key);
  rows_.Erase(index);
  return deleted;
}

BOOL GroupEntryListView::OnDeleteAllRows() {
  const BOOL deleted = static_cast<BOOL>(DefWindowProc());
  if (!deleted) return deleted;
  windows_.DestroyAll(true);
  rows_.Clear();
  countPending_ = false;
  return deleted;
}

// Screen readers read rows from here; the control holds no text of its own.
void GroupEntryListView::SetRowDetails(const lists::RowDetails* details) {
  details_ = details;
  rows_.SetDetails(details);
}

const std::wstring* GroupEntryListView::DateMarkOf(std::int32_t id) const {
  const lists::RowDetail* detail = details_ ? details_->Find(id) : nullptr;
  return detail && !detail->mark.empty() ? &detail->mark : nullptr;
}

LRESULT GroupEntryListView::OnGetRowText(NMHDR* header) {
  auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
  LVITEMW& item = info->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
  const Contact* contact = RowContact(item.iItem);
  std::wstring text;
  if (contact) {
    Groups::Item group;
    const bool hasGroup = groups_ && groups_->Find(contact->groupId, group);
    text = lists::RowText(*contact, hasGroup ? group.get() : nullptr, settings_, clock_(), DateMarkOf(contact->id));
  }
  const std::size_t fits = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
  text.copy(item.pszText, fits);
  item.pszText[fits] = L'\0';
  return 0;
}

// Typing in the list finds the next row whose name starts with what was typed,
// as a list holding its own rows does.
LRESULT GroupEntryListView::OnFindRow(NMHDR* header) {
  const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
  if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz) return -1;
  return rows_.FindNameStart(find->lvfi.psz, find->iStart, (find->lvfi.flags & LVFI_WRAP) != 0);
}

void GroupEntryListView::OnTickClicked(HWND tickBox) {
  std::uint64_t key = 0;
  if (!windows_.FindTickBox(tickBox, key)) return;
  const lists::Row* row = rows_.At(rows_.FindKey(key));
  Contact* contact = row ? FindContact(row->id) : nullptr;
  if (contact) RecordContact(*contact, key, tickBox);
}

bool GroupEntryListView::TickRow(int index) {
  const lists::Row* row = rows_.At(index);
  Contact* contact = row ? FindContact(row->id) : nullptr;
  if (!contact) return false;
  const std::uint64_t key = row->key;
  // A row not yet painted has no box: the contact is recorded all the same.
  HWND box = windows_.TickBox(key);
  if (box) ::SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
  RecordContact(*contact, key, box);
  return true;
}

void GroupEntryListView::RecordContact(Contact& contact, std::uint64_t key, HWND tickBox) {
  // The box's own state is never read: every click records a contact.
  contact.MarkContacted(clock_());
  if (tickBox) windows_.QueueUntick(key, tickBox);
}

void GroupEntryListView::OnUndoClicked(HWND button) {
  std::int32_t id = 0;
  if (!windows_.FindUndo(button, id)) return;
  Contact* contact = FindContact(id);
  if (!contact) return;
  contact->UndoContacted();
}

Contact* GroupEntryListView::FindContact(std::int32_t id) const {
  if (!contacts_) return nullptr;
  Contacts::Item found;
  if (!contacts_->Find(id, found)) return nullptr;
  return found.get();
}

void GroupEntryListView::DropUndoOfRow(int row) {
  const Contact* contact = RowContact(row);
  if (!contact || !windows_.ShowsUndo(contact->id)) return;
  windows_.HideUndo(contact->id);
  if (IsWindowVisible()) RedrawRow(row);
}

void GroupEntryListView::RedrawRow(int row) {
  RedrawItems(row, row);
  UpdateWindow();
}

void GroupEntryListView::MeasureItem(LPMEASUREITEMSTRUCT measure) {
  if (measure) measure->itemHeight = static_cast<UINT>(metrics_.rowHeight);
}

void GroupEntryListView::DrawItem(LPDRAWITEMSTRUCT draw) {
  if (!draw || draw->CtlType != ODT_LISTVIEW) {
    SetMsgHandled(false);
    return;
  }
  const int index = static_cast<int>(draw->itemID);
  RECT bounds{};
  if (!GetItemRect(index, &bounds, LVIR_BOUNDS)) return;
  lists::Row* row = rows_.At(index);
  if (!row || !row->contact) return;

  lists::RowContent content;
  content.contact = row->contact;
  Groups::Item group;
  if (groups_ && groups_->Find(row->contact->groupId, group)) content.group = group.get();
  if (!windows_.LiveUndo(row->contact->id)) windows_.MakeWantedUndo(row->contact->id);
  content.undo = windows_.LiveUndo(row->contact->id);
  content.selected = (draw->itemState & ODS_SELECTED) != 0;
  content.now = clock_();
  if (journal_) content.snoozedUntil = journal_->SnoozedUntil(row->contact->id);
  content.dateMark = DateMarkOf(row->contact->id);

  DoubleBuffer buffer(draw->hDC, bounds);
  if (!buffer.ok()) return;
  content.picture = Picture(*row->contact);
  const lists::RowPainted painted = painter_.Paint(buffer.dc(), buffer.width(), buffer.height(), GetBkColor(draw->hDC),
                                                   content, settings_);
  row->background = painted.background;
  const lists::Box rowBox{bounds.left, bounds.top, bounds.right, bounds.bottom};
  if (WTL_EX::ButtonEx* undo = windows_.LiveUndo(row->contact->id))
    lists::RowWindows::PlaceUndo(*undo, painted.background,
                                 lists::UndoBoxIn(metrics_, rowBox, painted.statusWidth, painted.undoWidth));
  buffer.Flush();
  if (windows_.PlaceTickBox(row->key, lists::TickBoxIn(metrics_, rowBox)))
    windows_.NameTickBox(row->key, lists::TickBoxName(*row->contact));
}

const CImage* GroupEntryListView::Picture(const Contact& contact) {
  if (!thumbnails_ || contact.imagePath.empty()) return nullptr;
  // Decoded at the size drawn, so pictures stay sharp at every scale.
  thumbnails_->SetSize(metrics_.pictureSize, metrics_.pictureSize);
  return thumbnails_->Find(contact.imagePath, m_hWnd, kPicturesReady);
}
