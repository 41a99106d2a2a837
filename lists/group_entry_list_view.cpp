#include "lists/group_entry_list_view.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

#include "framework/double_buffer.h"
#include "framework/image.h"
#include "lists/status_text.h"
#include "resource.h"

namespace {

constexpr DWORD kTickBoxStyle = WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX;
constexpr DWORD kUndoStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
constexpr wchar_t kUndoText[] = L"(Undo)";
constexpr DWORD kUntickDelayMs = 1000;
constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

// Long lists sort their halves on two threads and merge them, which keeps the
// order stable and about halves the wait where comparing by name is slow.
template <class Rows, class Before>
void SortStably(Rows& rows, Before before) {
  constexpr std::size_t kShared = 2000;
  const auto middle = rows.begin() + static_cast<std::ptrdiff_t>(rows.size() / 2);
  bool halvesSorted = false;
  if (rows.size() >= kShared) {
    try {
      std::thread helper([&rows, middle, before] { std::stable_sort(rows.begin(), middle, before); });
      std::stable_sort(middle, rows.end(), before);
      helper.join();
      halvesSorted = true;
    } catch (const std::system_error&) {
      // No second thread: the rows are sorted in one go below.
    }
  }
  if (halvesSorted)
    std::inplace_merge(rows.begin(), middle, rows.end(), before);
  else
    std::stable_sort(rows.begin(), rows.end(), before);
}

UniqueFont CreateRowFont(int points, int weight) {
  WindowDC screen(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
  return UniqueFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS, 0,
                                ANTIALIASED_QUALITY, 0, L"Arial"));
}

UniqueIcon LoadStatusIcon(int id) {
  return UniqueIcon(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0)));
}

// Whether a child window of the list already covers exactly this rectangle.
bool SameChildRect(HWND child, const RECT& wanted) {
  RECT placed{};
  if (!::GetWindowRect(child, &placed)) return false;
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&placed), 2);
  return ::EqualRect(&placed, &wanted) != FALSE;
}

int TextWidth(HDC dc, const std::wstring& text) {
  SIZE size{};
  if (!GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) return 0;
  return size.cx;
}

// What the deferred un-tick owns while it waits on the pool thread.
struct UntickContext {
  GroupEntryListView* list;  // not used by the work item; identifies its origin
  HWND tickBox;
};

}  // namespace

GroupEntryListView::GroupEntryListView()
    : iconNormal_(LoadStatusIcon(IDI_STATUS_GREEN)),
      iconWarning_(LoadStatusIcon(IDI_STATUS_ORANGE)),
      iconExpired_(LoadStatusIcon(IDI_STATUS_RED)),
      nameFont_(CreateRowFont(10, FW_BOLD)),
      groupFont_(CreateRowFont(9, FW_NORMAL)),
      statusFont_(CreateRowFont(9, FW_NORMAL)),
      clock_([] { return platform::Now(); }) {}

GroupEntryListView::~GroupEntryListView() { DestroyChildWindows(); }

BOOL GroupEntryListView::SubclassWindow(HWND window) {
  // The style cannot be added later: a list holding its own rows would go
  // out of step with the vector.
  if (!::IsWindow(window) || !(::GetWindowLongPtrW(window, GWL_STYLE) & LVS_OWNERDATA)) return FALSE;
  if (!SortBase::SubclassWindow(window)) return FALSE;
  // Fixed owner-drawn rows ask for their height when the control's size
  // changes; the first request went out before the list was ours. Telling the
  // control its own size again makes it ask once more.
  RECT frame{};
  ::GetWindowRect(window, &frame);
  WINDOWPOS position{};
  position.hwnd = window;
  position.cx = frame.right - frame.left;
  position.cy = frame.bottom - frame.top;
  position.flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOOWNERZORDER | SWP_NOZORDER;
  ::SendMessageW(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
  return TRUE;
}

void GroupEntryListView::SetCollections(boost::shared_ptr<Groups> groups, boost::shared_ptr<Contacts> contacts) {
  groups_ = std::move(groups);
  contacts_ = std::move(contacts);
}

void GroupEntryListView::SetDisplaySettings(int warnPercent, int warnDays, bool showLastContacted) {
  warnPercent_ = warnPercent;
  warnDays_ = warnDays;
  showLastContacted_ = showLastContacted;
  if (IsWindow()) Invalidate();
}

void GroupEntryListView::SetClock(Clock clock) {
  if (clock) clock_ = std::move(clock);
}

int GroupEntryListView::InsertContactRow(Contact& contact) {
  // The tick box comes with the row's first paint: a list of thousands of rows
  // would otherwise hold thousands of windows, past what a process may own.
  rows_.push_back(Row{&contact, contact.id, nullptr, CLR_INVALID});
  if (redrawOff_) {
    countPending_ = true;
  } else if (!SyncItemCount()) {
    rows_.pop_back();
    return -1;
  }
  return static_cast<int>(rows_.size()) - 1;
}

bool GroupEntryListView::SyncItemCount() {
  countPending_ = false;
  if (!IsWindow()) return false;
  // Rows only ever join at the end: what is in sight stays where it is.
  return SendMessage(LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL) != 0;
}

HWND GroupEntryListView::CreateTickBox() {
  const int id = NextChildId(nextTickId_, tickIdsWrapped_, kFirstTickId, kLastTickId, true);
  return ::CreateWindowExW(0, L"Button", L"", kTickBoxStyle, 0, 0, 0, 0, m_hWnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(m_hWnd, GWLP_HINSTANCE)), nullptr);
}

LRESULT GroupEntryListView::OnPaintRows(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (message == WM_PRINTCLIENT && PaintBehindTickBox(reinterpret_cast<HDC>(wParam))) return 0;
  const int top = static_cast<int>(SendMessage(LVM_GETTOPINDEX));
  const int last = top + static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE));
  // A scroll moves the rows' pixels but not their child windows, and what is
  // not painted again keeps its boxes where they were, on other rows: after a
  // scroll, all that is in sight is painted again.
  if (message == WM_PAINT && top != paintedTop_) ::InvalidateRect(m_hWnd, nullptr, FALSE);
  paintedTop_ = top;
  const int count = static_cast<int>(rows_.size());
  for (int index = 0; index < count; ++index) {
    Row& row = rows_[static_cast<size_t>(index)];
    if (!row.tickBox || (index >= top && index <= last)) continue;
    spareTickBoxes_.push_back(row.tickBox);
    row.tickBox = nullptr;
  }
  // A link is placed when its row is painted; one whose row left the sight
  // (by scrolling, or by a sort) would stay behind on another row.
  for (UndoEntry& entry : undoButtons_) {
    if (!entry.button || !::IsWindow(entry.button->m_hWnd) || !entry.button->IsWindowVisible()) continue;
    const int index = FindRow(entry.id);
    if (index < top || index > last) ::ShowWindow(entry.button->m_hWnd, SW_HIDE);
  }
  const LRESULT result = DefWindowProc(message, wParam, lParam);
  // What the rows that came into sight did not take.
  for (HWND spare : spareTickBoxes_) ::DestroyWindow(spare);
  spareTickBoxes_.clear();
  return result;
}

// A themed tick box is partly transparent: each time it paints, it has the
// list paint into it what lies behind it, which is nothing but its row's
// background. Answered here, that costs a fill instead of a paint of the list.
bool GroupEntryListView::PaintBehindTickBox(HDC dc) {
  HWND asking = ::WindowFromDC(dc);
  if (!asking) return false;
  const auto row = std::find_if(rows_.begin(), rows_.end(), [asking](const Row& r) { return r.tickBox == asking; });
  if (row == rows_.end() || row->background == CLR_INVALID) return false;
  RECT behind{};
  if (::GetClipBox(dc, &behind) == ERROR) return false;
  UniqueBrush brush(CreateSolidBrush(row->background));
  return brush && ::FillRect(dc, &behind, brush.get());
}

bool GroupEntryListView::ShowUndo(const Contact& contact) {
  const int row = FindRow(contact.id);
  if (row < 0) return false;
  auto existing = FindUndo(contact.id);
  if (existing != undoButtons_.end()) {
    DropUndoWindow(*existing);
    undoButtons_.erase(existing);
  }
  auto button = boost::shared_ptr<WTL_EX::ButtonEx>(new (std::nothrow) WTL_EX::ButtonEx());
  if (!button) return false;
  const int id = NextChildId(nextUndoId_, undoIdsWrapped_, kFirstUndoId, kLastUndoId, false);
  const RECT empty{0, 0, 0, 0};
  button->Create(m_hWnd, empty, kUndoText, kUndoStyle, 0, static_cast<UINT>(id));
  button->SetText(kUndoText);
  undoButtons_.push_back(UndoEntry{contact.id, button});
  RedrawRow(row);
  return true;
}

bool GroupEntryListView::HideUndo(const Contact& contact) {
  const int row = FindRow(contact.id);
  if (row < 0) return false;
  auto entry = FindUndo(contact.id);
  if (entry == undoButtons_.end()) return false;
  DropUndoWindow(*entry);
  if (IsWindowVisible()) RedrawRow(row);
  return true;
}

int GroupEntryListView::FindRow(std::int32_t id) const {
  const int count = static_cast<int>(rows_.size());
  for (int row = 0; row < count; ++row)
    if (rows_[static_cast<size_t>(row)].id == id) return row;
  return -1;
}

Contact* GroupEntryListView::RowContact(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
  return rows_[static_cast<size_t>(row)].contact;
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
  return CompareContacts(sortMode_, a, b, warnPercent_, warnDays_, now);
}

bool GroupEntryListView::SortItemsCustom(int, bool descending) {
  const Time now = sortNow_ ? *sortNow_ : clock_();
  const int selected = GetNextItem(-1, LVNI_SELECTED);
  const int focused = GetNextItem(-1, LVNI_FOCUSED);
  const std::int32_t selectedId = selected >= 0 && selected < RowCount() ? rows_[static_cast<size_t>(selected)].id : -1;
  const std::int32_t focusedId = focused >= 0 && focused < RowCount() ? rows_[static_cast<size_t>(focused)].id : -1;
  const auto before = [this, now, descending](const Row& a, const Row& b) {
    const int result = CompareRows(*a.contact, *b.contact, now);
    return descending ? result > 0 : result < 0;
  };
  SortStably(rows_, before);
  // The control keeps selection and focus by row number: they move to where
  // their contact went, without the changes reading as a deselection.
  movingSelection_ = true;
  if (selected >= 0) SetItemState(selected, 0, LVIS_SELECTED);
  if (focused >= 0) SetItemState(focused, 0, LVIS_FOCUSED);
  // Row -1 would mean every row to the control.
  const int focusedRow = focusedId >= 0 ? FindRow(focusedId) : -1;
  const int selectedRow = selectedId >= 0 ? FindRow(selectedId) : -1;
  if (focusedRow >= 0) SetItemState(focusedRow, LVIS_FOCUSED, LVIS_FOCUSED);
  if (selectedRow >= 0) SetItemState(selectedRow, LVIS_SELECTED, LVIS_SELECTED);
  movingSelection_ = false;
  Invalidate();
  return true;
}

HWND GroupEntryListView::TickBox(std::int32_t id) const {
  const int row = FindRow(id);
  return row >= 0 ? rows_[static_cast<size_t>(row)].tickBox : nullptr;
}

HWND GroupEntryListView::UndoButton(std::int32_t id) const {
  auto entry = FindUndo(id);
  if (entry == undoButtons_.end() || !entry->button) return nullptr;
  return entry->button->m_hWnd;
}

LRESULT GroupEntryListView::OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  DestroyChildWindows();
  // The control itself still has to let go of its rows.
  return DefWindowProc(message, wParam, lParam);
}

LRESULT GroupEntryListView::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL& handled) {
  UpdateWindow();
  const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  if (style & WS_HSCROLL) ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_HSCROLL));
  handled = FALSE;
  return 0;
}

// Every command from a row's own child windows is answered here, whatever its
// code, so none of them reaches the panel where its id could mean a command.
LRESULT GroupEntryListView::OnChildCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  HWND sender = reinterpret_cast<HWND>(lParam);
  if (!sender) {
    handled = FALSE;
    return 0;
  }
  const bool isTick =
      std::any_of(rows_.begin(), rows_.end(), [sender](const Row& row) { return row.tickBox == sender; });
  const bool isUndo = !isTick && std::any_of(undoButtons_.begin(), undoButtons_.end(), [sender](const UndoEntry& entry) {
    return entry.button && entry.button->m_hWnd == sender;
  });
  if (!isTick && !isUndo) {
    handled = FALSE;
    return 0;
  }
  if (HIWORD(wParam) == BN_CLICKED) {
    if (isTick)
      OnTickClicked(sender);
    else
      OnUndoClicked(sender);
  }
  return 0;
}

// The "(Undo)" links are owner-drawn buttons that draw themselves from the
// reflected request. Other children (the hidden header) keep the default.
LRESULT GroupEntryListView::OnChildDrawItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  const bool ours = draw && std::any_of(undoButtons_.begin(), undoButtons_.end(), [draw](const UndoEntry& entry) {
    return entry.button && entry.button->m_hWnd == draw->hwndItem;
  });
  if (!ours) {
    handled = FALSE;
    return 0;
  }
  return framework::ReflectNotifications(m_hWnd, message, wParam, lParam, handled);
}

LRESULT GroupEntryListView::OnSetRedraw(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  handled = FALSE;  // the control switches its own drawing afterwards
  redrawOff_ = wParam == FALSE;
  if (!redrawOff_ && countPending_) SyncItemCount();
  return 0;
}

// Every list waiting for one of the pictures paints again; the "All" list and
// a group's list may both show it.
LRESULT GroupEntryListView::OnPicturesReady(UINT, WPARAM, LPARAM, BOOL&) {
  for (HWND window : Thumbnails().Collect())
    if (::IsWindow(window)) ::InvalidateRect(window, nullptr, FALSE);
  return 0;
}

// The control's deletion first: it deselects the row, and the notice of that
// must still find the row's own contact at its number.
LRESULT GroupEntryListView::OnDeleteRow(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (countPending_) SyncItemCount();
  const LRESULT deleted = DefWindowProc(message, wParam, lParam);
  const int index = static_cast<int>(wParam);
  if (!deleted || index < 0 || index >= RowCount()) return deleted;
  Row& row = rows_[static_cast<size_t>(index)];
  // The contact may already be gone: its row is matched by id alone.
  auto undo = FindUndo(row.id);
  if (undo != undoButtons_.end()) {
    DropUndoWindow(*undo);
    undoButtons_.erase(undo);
  }
  DropRowWindows(row);
  rows_.erase(rows_.begin() + index);
  return deleted;
}

LRESULT GroupEntryListView::OnDeleteAllRows(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT deleted = DefWindowProc(message, wParam, lParam);
  if (!deleted) return deleted;
  DestroyChildWindows();
  rows_.clear();
  undoButtons_.clear();
  countPending_ = false;
  return deleted;
}

void GroupEntryListView::DropRowWindows(Row& row) {
  if (row.tickBox && ::IsWindow(row.tickBox)) ::DestroyWindow(row.tickBox);
  row.tickBox = nullptr;
}

LRESULT GroupEntryListView::OnRowChanged(int, LPNMHDR header, BOOL&) {
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (movingSelection_ || !(change->uChanged & LVIF_STATE)) return 0;
  if (change->uNewState & LVIS_SELECTED) {
    const Contact* contact = RowContact(change->iItem);
    if (contact) selectedId_ = contact->id;
    return 0;
  }
  if (change->iItem >= 0) {
    DropUndoOfRow(change->iItem);
    return 0;
  }
  // Every row at once: a list without rows of its own does not say which one
  // lost the selection, so the one it last reported selected is looked at.
  const int row = FindRow(selectedId_);
  if (row >= 0 && !(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED)) {
    selectedId_ = -1;
    DropUndoOfRow(row);
  }
  return 0;
}

void GroupEntryListView::OnTickClicked(HWND tickBox) {
  auto entry =
      std::find_if(rows_.begin(), rows_.end(), [tickBox](const Row& candidate) { return candidate.tickBox == tickBox; });
  if (entry == rows_.end()) return;
  Contact* contact = FindContact(entry->id);
  if (!contact) return;
  // The box's own state is never read: every click records a contact.
  contact->MarkContacted(clock_());
  QueueUntick(tickBox);
}

void GroupEntryListView::OnUndoClicked(HWND button) {
  auto entry = std::find_if(undoButtons_.begin(), undoButtons_.end(), [button](const UndoEntry& candidate) {
    return candidate.button && candidate.button->m_hWnd == button;
  });
  if (entry == undoButtons_.end()) return;
  Contact* contact = FindContact(entry->id);
  if (!contact) return;
  contact->UndoContacted();
}

void GroupEntryListView::QueueUntick(HWND tickBox) {
  auto* context = new (std::nothrow) UntickContext{this, tickBox};
  if (!context) return;
  if (!QueueUserWorkItem(&GroupEntryListView::DeferredUntick, context, 0)) delete context;
}

// On a pool thread: it reads nothing shared and changes the box only through
// a sent message, which the interface thread carries out. A box destroyed in
// the meantime simply receives nothing.
DWORD WINAPI GroupEntryListView::DeferredUntick(void* parameter) {
  auto* context = static_cast<UntickContext*>(parameter);
  Sleep(kUntickDelayMs);
  ::SendMessageW(context->tickBox, BM_SETCHECK, BST_UNCHECKED, 0);
  delete context;
  return 0;
}

Contact* GroupEntryListView::FindContact(std::int32_t id) const {
  if (!contacts_) return nullptr;
  Contacts::Item found;
  if (!contacts_->Find(id, found)) return nullptr;
  return found.get();
}

std::vector<GroupEntryListView::UndoEntry>::iterator GroupEntryListView::FindUndo(std::int32_t id) {
  return std::find_if(undoButtons_.begin(), undoButtons_.end(), [id](const UndoEntry& entry) { return entry.id == id; });
}

std::vector<GroupEntryListView::UndoEntry>::const_iterator GroupEntryListView::FindUndo(std::int32_t id) const {
  return std::find_if(undoButtons_.begin(), undoButtons_.end(), [id](const UndoEntry& entry) { return entry.id == id; });
}

void GroupEntryListView::DropUndoWindow(UndoEntry& entry) {
  if (entry.button && entry.button->m_hWnd && ::IsWindow(entry.button->m_hWnd)) entry.button->DestroyWindow();
}

void GroupEntryListView::DropUndoOfRow(int row) {
  const Contact* contact = RowContact(row);
  if (!contact) return;
  auto entry = FindUndo(contact->id);
  if (entry == undoButtons_.end() || !entry->button || !entry->button->m_hWnd) return;
  DropUndoWindow(*entry);
  if (IsWindowVisible()) RedrawRow(row);
}

void GroupEntryListView::RedrawRow(int row) {
  RedrawItems(row, row);
  UpdateWindow();
}

// Ids run upward through their block; once the block has wrapped, an id still
// held by a live window of this list is skipped.
int GroupEntryListView::NextChildId(int& last, bool& wrapped, int first, int lastInBlock, bool tickBlock) const {
  const int blockSize = lastInBlock - first + 1;
  for (int attempt = 0; attempt < blockSize; ++attempt) {
    if (++last > lastInBlock) {
      last = first;
      wrapped = true;
    }
    if (!wrapped || !ChildIdInUse(last, tickBlock)) return last;
  }
  return last;  // every id taken: a shared id still works, senders are known by window
}

bool GroupEntryListView::ChildIdInUse(int id, bool tickBlock) const {
  if (tickBlock) {
    return std::any_of(rows_.begin(), rows_.end(),
                       [id](const Row& row) { return row.tickBox && ::GetDlgCtrlID(row.tickBox) == id; });
  }
  return std::any_of(undoButtons_.begin(), undoButtons_.end(), [id](const UndoEntry& entry) {
    return entry.button && entry.button->m_hWnd && ::GetDlgCtrlID(entry.button->m_hWnd) == id;
  });
}

void GroupEntryListView::DestroyChildWindows() {
  for (Row& row : rows_) DropRowWindows(row);
  for (HWND spare : spareTickBoxes_)
    if (::IsWindow(spare)) ::DestroyWindow(spare);
  spareTickBoxes_.clear();
  for (UndoEntry& entry : undoButtons_) DropUndoWindow(entry);
}

void GroupEntryListView::MeasureItem(LPMEASUREITEMSTRUCT measure) {
  if (measure) measure->itemHeight = kRowHeight;
}

void GroupEntryListView::DrawItem(LPDRAWITEMSTRUCT draw) {
  if (!draw || draw->CtlType != ODT_LISTVIEW) {
    SetMsgHandled(false);
    return;
  }
  const int row = static_cast<int>(draw->itemID);
  RECT bounds{};
  if (!GetItemRect(row, &bounds, LVIR_BOUNDS)) return;
  const Contact* contact = RowContact(row);
  if (!contact) return;
  const Time now = clock_();

  DoubleBuffer buffer(draw->hDC, bounds);
  if (!buffer.ok()) return;
  HDC dc = buffer.dc();
  const int width = buffer.width();
  const int height = buffer.height();

  const COLORREF background = (draw->itemState & ODS_SELECTED) ? kSelectionColour : GetBkColor(draw->hDC);
  rows_[static_cast<size_t>(row)].background = background;
  {
    UniqueBrush brush(CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, brush.get());
  }
  {
    UniquePen dotted(CreatePen(PS_DOT, 1, GetSysColor(COLOR_BTNFACE)));
    SelectionGuard pen(dc, dotted.get());
    SetBkColor(dc, background);
    MoveToEx(dc, 0, height - 1, nullptr);
    LineTo(dc, width, height - 1);
  }

  DrawPicture(dc, *contact);
  DrawIconEx(dc, 2, 22, StatusIcon(*contact, now), 16, 16, 0, nullptr, DI_NORMAL | DI_COMPAT);

  SetBkMode(dc, TRANSPARENT);
  const COLORREF textColour = GetSysColor(COLOR_BTNTEXT);
  // Texts stop short of the tick box, and a long status line gives way to the
  // "(Undo)" link, so that neither is ever hidden under the other or pushed
  // past the edge of a narrow window.
  const int textRight = std::max(kTextLeft, width - kTickBoxInset - kTickBoxGap);
  const int nameWidth = DrawRowText(dc, nameFont_.get(), textColour, lists::FitWorkBuffer(contact->name), kTextLeft,
                                    textRight, 2, 18);
  Groups::Item group;
  if (groups_ && groups_->Find(contact->groupId, group) && group) {
    const int groupLeft = kTextLeft + nameWidth + 6;
    if (groupLeft < textRight)
      DrawRowText(dc, groupFont_.get(), textColour, lists::FitWorkBuffer(L"(" + group->name + L")"), groupLeft,
                  textRight, 2, 18);
  }
  WTL_EX::ButtonEx* undo = LiveUndo(*contact);
  const int undoWidth = UndoWidth(dc, undo);
  const int statusRight = undoWidth > 0 ? std::max(kTextLeft, textRight - kUndoGap - undoWidth) : textRight;
  const int statusWidth = DrawRowText(dc, statusFont_.get(), kStatusColour,
                                      lists::StatusText(*contact, showLastContacted_, now), kTextLeft, statusRight,
                                      20, 36);
  PlaceUndo(undo, background, kTextLeft + statusWidth, undoWidth, bounds);

  buffer.Flush();
  PlaceTickBox(bounds, row);
}

lists::ThumbnailCache& GroupEntryListView::Thumbnails() {
  // One for every list of the user-interface thread: the "All" list and a
  // group's list show the same pictures.
  static thread_local lists::ThumbnailCache cache(kPictureSize, kPictureSize);
  return cache;
}

void GroupEntryListView::DrawPicture(HDC dc, const Contact& contact) const {
  if (contact.imagePath.empty()) return;
  const CImage* picture = Thumbnails().Find(contact.imagePath, m_hWnd, kPicturesReady);
  if (picture) picture->Draw(dc, RECT{6, 2, 6 + kPictureSize, 2 + kPictureSize});
}

HICON GroupEntryListView::StatusIcon(const Contact& contact, Time now) const {
  if (contact.DaysSinceContact(now) > contact.IntervalDays()) return iconExpired_.get();
  if (contact.IsWarning(warnPercent_, warnDays_, now)) return iconWarning_.get();
  return iconNormal_.get();
}

int GroupEntryListView::DrawRowText(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, int left,
                                    int maxRight, int top, int bottom) const {
  SelectionGuard selected(dc, font);
  SetTextColor(dc, colour);
  const int width = std::min(TextWidth(dc, text), std::max(0, maxRight - left));
  RECT area{left, top, left + width, bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, kTextFormat);
  return width;
}

WTL_EX::ButtonEx* GroupEntryListView::LiveUndo(const Contact& contact) {
  auto entry = FindUndo(contact.id);
  if (entry == undoButtons_.end() || !entry->button || !::IsWindow(entry->button->m_hWnd)) return nullptr;
  return entry->button.get();
}

int GroupEntryListView::UndoWidth(HDC dc, const WTL_EX::ButtonEx* undo) {
  if (!undo) return 0;
  SelectionGuard font(dc, undo->Font());
  return TextWidth(dc, undo->Text());
}

void GroupEntryListView::PlaceUndo(WTL_EX::ButtonEx* undo, COLORREF background, int statusRight, int undoWidth,
                                   const RECT& row) {
  if (!undo) return;
  // Every paint of the row comes here: a link already in place and in its
  // colours is left alone rather than moved and painted again.
  const RECT wanted{row.left + statusRight + kUndoGap, row.top + 20, row.left + statusRight + kUndoGap + undoWidth,
                    row.top + 36};
  const bool recoloured = undo->Background() != background;
  if (recoloured) undo->SetBackground(background);
  if (!SameChildRect(undo->m_hWnd, wanted)) {
    undo->MoveWindow(wanted.left, wanted.top, undoWidth, 16, TRUE);
  } else if (recoloured) {
    undo->Invalidate();
  }
  if (!undo->IsWindowVisible()) undo->ShowWindow(SW_SHOWNA);
}

void GroupEntryListView::PlaceTickBox(const RECT& bounds, int rowIndex) {
  if (rowIndex < 0 || rowIndex >= RowCount()) return;
  Row& row = rows_[static_cast<size_t>(rowIndex)];
  if (!row.tickBox && !spareTickBoxes_.empty()) {
    // The box of a row that left the sight: it carries no tick over.
    row.tickBox = spareTickBoxes_.back();
    spareTickBoxes_.pop_back();
    if (::SendMessageW(row.tickBox, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
      ::SendMessageW(row.tickBox, BM_SETCHECK, BST_UNCHECKED, 0);
  }
  if (!row.tickBox) {
    row.tickBox = CreateTickBox();
    if (!row.tickBox) return;
  }
  const RECT wanted{bounds.right - kTickBoxInset, bounds.bottom - kTickBoxInset, bounds.right - kTickBoxInset + 12,
                    bounds.bottom - kTickBoxInset + 12};
  if (!SameChildRect(row.tickBox, wanted)) ::MoveWindow(row.tickBox, wanted.left, wanted.top, 12, 12, TRUE);
}
