#include "lists/row_windows.h"

#include <algorithm>
#include <chrono>
#include <new>

namespace lists {
namespace {

constexpr DWORD kTickBoxStyle = WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX;
constexpr DWORD kUndoStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
constexpr wchar_t kUndoText[] = L"(Undo)";
constexpr std::chrono::seconds kUntickDelay{1};

// Whether a child window already covers exactly this rectangle of its parent.
bool SameChildRect(HWND child, const Box& wanted) {
  RECT placed{};
  if (!::GetWindowRect(child, &placed)) return false;
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&placed), 2);
  return placed.left == wanted.left && placed.top == wanted.top && placed.right == wanted.right &&
         placed.bottom == wanted.bottom;
}

}  // namespace

RowWindows::~RowWindows() { DestroyAll(true); }

HWND RowWindows::TickBox(std::uint64_t key) const {
  for (const TickEntry& entry : tickBoxes_)
    if (entry.key == key) return entry.box.get();
  return nullptr;
}

bool RowWindows::FindTickBox(HWND box, std::uint64_t& key) const {
  if (!box) return false;
  for (const TickEntry& entry : tickBoxes_) {
    if (entry.box.get() == box) {
      key = entry.key;
      return true;
    }
  }
  return false;
}

void RowWindows::SetAsideOutside(const RowStore& rows, int top, int last) {
  auto kept = tickBoxes_.begin();
  for (auto entry = tickBoxes_.begin(); entry != tickBoxes_.end(); ++entry) {
    const int index = rows.FindKey(entry->key);
    if (index >= top && index <= last) {
      if (kept != entry) *kept = std::move(*entry);
      ++kept;
    } else {
      spareTickBoxes_.push_back(std::move(entry->box));
    }
  }
  tickBoxes_.erase(kept, tickBoxes_.end());
  // A link is placed when its row is painted; one whose row left the sight
  // (by scrolling, or by a sort) would stay behind on another row.
  for (UndoEntry& entry : undoLinks_) {
    if (!entry.button || !::IsWindow(entry.button->m_hWnd) || !entry.button->IsWindowVisible()) continue;
    const int index = rows.Find(entry.id);
    if (index < top || index > last) ::ShowWindow(entry.button->m_hWnd, SW_HIDE);
  }
}

bool RowWindows::PlaceTickBox(std::uint64_t key, const Box& where) {
  HWND box = TickBox(key);
  if (!box && !spareTickBoxes_.empty()) {
    // After a scroll the rows coming into sight sit where the ones that left
    // were: the box already in the place stays there, and nothing moves.
    auto spare = std::find_if(spareTickBoxes_.begin(), spareTickBoxes_.end(), [&where](const UniqueWindow& candidate) {
      return SameChildRect(candidate.get(), where);
    });
    if (spare == spareTickBoxes_.end()) spare = spareTickBoxes_.end() - 1;
    tickBoxes_.push_back(TickEntry{key, std::move(*spare)});
    spareTickBoxes_.erase(spare);
    box = tickBoxes_.back().box.get();
    if (::SendMessageW(box, BM_GETCHECK, 0, 0) != BST_UNCHECKED) ::SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
  }
  if (!box) {
    UniqueWindow created = CreateTickBox();
    if (!created) return false;
    box = created.get();
    tickBoxes_.push_back(TickEntry{key, std::move(created)});
  }
  if (!SameChildRect(box, where)) ::MoveWindow(box, where.left, where.top, where.Width(), where.Height(), TRUE);
  return true;
}

void RowWindows::NameTickBox(std::uint64_t key, const std::wstring& name) {
  HWND box = TickBox(key);
  if (!box) return;
  // Set only when it changes: a new text repaints the box.
  const int length = ::GetWindowTextLengthW(box);
  if (length == static_cast<int>(name.size())) {
    std::wstring current(static_cast<std::size_t>(length) + 1, L'\0');
    current.resize(static_cast<std::size_t>(::GetWindowTextW(box, current.data(), length + 1)));
    if (current == name) return;
  }
  // Past the button's own handler, which paints the box again at once for a
  // text it never shows: a scroll renames every box in sight.
  ::DefWindowProcW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void RowWindows::DropTickBox(std::uint64_t key) {
  tickBoxes_.erase(
      std::remove_if(tickBoxes_.begin(), tickBoxes_.end(), [key](const TickEntry& entry) { return entry.key == key; }),
      tickBoxes_.end());
}

void RowWindows::DropRows(const std::vector<std::uint64_t>& keys, const std::unordered_set<std::int32_t>& ids) {
  const std::unordered_set<std::uint64_t> gone(keys.begin(), keys.end());
  tickBoxes_.erase(std::remove_if(tickBoxes_.begin(), tickBoxes_.end(),
                                  [&gone](const TickEntry& entry) { return gone.count(entry.key) > 0; }),
                   tickBoxes_.end());
  for (UndoEntry& entry : undoLinks_)
    if (ids.count(entry.id) > 0) DestroyUndoWindow(entry);
  undoLinks_.erase(std::remove_if(undoLinks_.begin(), undoLinks_.end(),
                                  [&ids](const UndoEntry& entry) { return ids.count(entry.id) > 0; }),
                   undoLinks_.end());
}

UniqueWindow RowWindows::CreateTickBox() {
  const int id = NextChildId(nextTickId_, tickIdsWrapped_, kFirstTickId, kLastTickId, true);
  return UniqueWindow(::CreateWindowExW(
      0, L"Button", L"", kTickBoxStyle, 0, 0, 0, 0, parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent_, GWLP_HINSTANCE)), nullptr));
}

void RowWindows::QueueUntick(std::uint64_t key, HWND box) {
  const std::uint64_t ticket = ++lastTicket_;
  unticks_[ticket] = framework::ScheduledTask::After(kUntickDelay,
                                                     [this, ticket, key, box] { Untick(ticket, key, box); });
}

// The box is looked for among those still serving rows: one destroyed or
// handed to another row in the meantime is not touched.
void RowWindows::Untick(std::uint64_t ticket, std::uint64_t key, HWND box) {
  unticks_.erase(ticket);
  if (TickBox(key) == box) ::SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
}

void RowWindows::CancelUnticks() { unticks_.clear(); }

WTL_EX::ButtonEx* RowWindows::ShowUndo(std::int32_t id) {
  DropUndo(id);
  std::unique_ptr<WTL_EX::ButtonEx> button(new (std::nothrow) WTL_EX::ButtonEx());
  if (!button) return nullptr;
  const int controlId = NextChildId(nextUndoId_, undoIdsWrapped_, kFirstUndoId, kLastUndoId, false);
  const RECT empty{0, 0, 0, 0};
  if (!button->Create(parent_, empty, kUndoText, kUndoStyle, 0, static_cast<UINT>(controlId))) return nullptr;
  button->SetText(kUndoText);
  button->FollowDpi();
  undoLinks_.push_back(UndoEntry{id, std::move(button)});
  return undoLinks_.back().button.get();
}

bool RowWindows::HasUndo(std::int32_t id) const { return FindUndoEntry(id) != undoLinks_.end(); }

void RowWindows::HideUndo(std::int32_t id) {
  auto entry = FindUndoEntry(id);
  if (entry != undoLinks_.end()) DestroyUndoWindow(*entry);
}

void RowWindows::DropUndo(std::int32_t id) {
  auto entry = FindUndoEntry(id);
  if (entry == undoLinks_.end()) return;
  DestroyUndoWindow(*entry);
  undoLinks_.erase(entry);
}

WTL_EX::ButtonEx* RowWindows::LiveUndo(std::int32_t id) const {
  auto entry = FindUndoEntry(id);
  if (entry == undoLinks_.end() || !entry->button || !::IsWindow(entry->button->m_hWnd)) return nullptr;
  return entry->button.get();
}

HWND RowWindows::UndoButton(std::int32_t id) const {
  auto entry = FindUndoEntry(id);
  if (entry == undoLinks_.end() || !entry->button) return nullptr;
  return entry->button->m_hWnd;
}

bool RowWindows::FindUndo(HWND button, std::int32_t& id) const {
  if (!button) return false;
  for (const UndoEntry& entry : undoLinks_) {
    if (entry.button && entry.button->m_hWnd == button) {
      id = entry.id;
      return true;
    }
  }
  return false;
}

void RowWindows::PlaceUndo(WTL_EX::ButtonEx& undo, COLORREF background, const Box& where) {
  const bool recoloured = undo.Background() != background;
  if (recoloured) undo.SetBackground(background);
  if (!SameChildRect(undo.m_hWnd, where)) {
    undo.MoveWindow(where.left, where.top, where.Width(), where.Height(), TRUE);
  } else if (recoloured) {
    undo.Invalidate();
  }
  if (!undo.IsWindowVisible()) undo.ShowWindow(SW_SHOWNA);
}

void RowWindows::FollowDpi() {
  for (UndoEntry& entry : undoLinks_) {
    if (entry.button && entry.button->m_hWnd) entry.button->FollowDpi();
  }
}

void RowWindows::DestroyAll(bool forgetLinks) {
  CancelUnticks();
  tickBoxes_.clear();
  spareTickBoxes_.clear();
  for (UndoEntry& entry : undoLinks_) DestroyUndoWindow(entry);
  if (forgetLinks) undoLinks_.clear();
}

std::vector<RowWindows::UndoEntry>::const_iterator RowWindows::FindUndoEntry(std::int32_t id) const {
  return std::find_if(undoLinks_.begin(), undoLinks_.end(), [id](const UndoEntry& entry) { return entry.id == id; });
}

std::vector<RowWindows::UndoEntry>::iterator RowWindows::FindUndoEntry(std::int32_t id) {
  return std::find_if(undoLinks_.begin(), undoLinks_.end(), [id](const UndoEntry& entry) { return entry.id == id; });
}

void RowWindows::DestroyUndoWindow(UndoEntry& entry) {
  if (entry.button && entry.button->m_hWnd && ::IsWindow(entry.button->m_hWnd)) entry.button->DestroyWindow();
}

// Ids run upward through their block; once the block has wrapped, an id still
// held by a live window of this list is skipped.
int RowWindows::NextChildId(int& last, bool& wrapped, int first, int lastInBlock, bool tickBlock) const {
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

bool RowWindows::ChildIdInUse(int id, bool tickBlock) const {
  if (tickBlock) {
    return std::any_of(tickBoxes_.begin(), tickBoxes_.end(),
                       [id](const TickEntry& entry) { return ::GetDlgCtrlID(entry.box.get()) == id; });
  }
  return std::any_of(undoLinks_.begin(), undoLinks_.end(), [id](const UndoEntry& entry) {
    return entry.button && entry.button->m_hWnd && ::GetDlgCtrlID(entry.button->m_hWnd) == id;
  });
}

}  // namespace lists
