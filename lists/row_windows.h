#pragma once
// The child windows of a list's rows: tick boxes for the rows in sight,
// handed on to the rows that come into sight when others leave it; the
// "(Undo)" links of ticked contacts; the blocks of control ids both take
// theirs from; and the un-tick a second after each tick.
//
// Tick boxes are filed under their row's key (RowStore), links under their
// contact's id.
#include "base/windows_api.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "controls/flat_buttons.h"
#include "framework/handles.h"
#include "framework/scheduler.h"
#include "lists/row_layout.h"
#include "lists/row_store.h"

namespace lists {

class RowWindows {
 public:
  // Control ids of the rows' child windows come from blocks no other window
  // of the program uses. Senders are recognised by their window, not their
  // id, so a block that wraps around after thousands of rows still works.
  static constexpr int kFirstTickId = 0x4000;
  static constexpr int kLastTickId = 0x5FFF;
  static constexpr int kFirstUndoId = 0x6000;
  static constexpr int kLastUndoId = 0x7FFF;

  RowWindows() = default;
  ~RowWindows();
  RowWindows(const RowWindows&) = delete;
  RowWindows& operator=(const RowWindows&) = delete;

  // The list the windows are children of (not owned).
  void SetParent(HWND list) { parent_ = list; }

  // The tick box of a row; null when it has none.
  HWND TickBox(std::uint64_t key) const;
  // The row a tick box serves; false when the window is none of ours.
  bool FindTickBox(HWND box, std::uint64_t& key) const;
  // Before the rows in sight are painted: the boxes of rows outside
  // [top, last] are kept aside for the rows coming into sight, and the links
  // of rows outside it are hidden. The list scrolls its pixels but not its
  // child windows, so a box left behind would sit on another row, and a click
  // there would mark the wrong person.
  void SetAsideOutside(const RowStore& rows, int top, int last);
  // Puts the row's box at `where`: its own, one set aside (without a tick,
  // which it does not carry over), or a new one. False when none could be made.
  bool PlaceTickBox(std::uint64_t key, const Box& where);
  // Gives the row's box the name screen readers read ("Contacted: ..."); the
  // box is only as wide as its square, so the name is never drawn.
  void NameTickBox(std::uint64_t key, const std::wstring& name);
  // After the paint: the boxes the rows coming into sight did not take.
  void DestroySetAside() { spareTickBoxes_.clear(); }
  void DropTickBox(std::uint64_t key);
  // The rows of these keys and the links of these contacts went, all at once.
  void DropRows(const std::vector<std::uint64_t>& keys, const std::unordered_set<std::int32_t>& ids);
  // Unticks the row's box a second from now, unless by then the box has gone
  // or serves another row.
  void QueueUntick(std::uint64_t key, HWND box);

  // A fresh link for the contact, replacing any earlier one; null when it could not be made.
  WTL_EX::ButtonEx* ShowUndo(std::int32_t id);
  // A link for the contact whose window comes with its row's next paint
  // (MakeWantedUndo): ticking thousands of rows at once makes windows only
  // for the rows in sight.
  void WantUndo(std::int32_t id);
  // The wanted link's window, made now; null when none is wanted or it could not be made.
  WTL_EX::ButtonEx* MakeWantedUndo(std::int32_t id);
  // Whether the contact's link is shown or wanted.
  bool ShowsUndo(std::int32_t id) const;
  // Whether the contact has a link entry (its window may be gone).
  bool HasUndo(std::int32_t id) const;
  // Destroys the link's window but keeps its entry.
  void HideUndo(std::int32_t id);
  // Destroys the link and forgets it.
  void DropUndo(std::int32_t id);
  // The contact's link when its window exists, else null.
  WTL_EX::ButtonEx* LiveUndo(std::int32_t id) const;
  HWND UndoButton(std::int32_t id) const;
  // The contact of a link; false when the window is none of ours.
  bool FindUndo(HWND button, std::int32_t& id) const;
  // Moves the link to `where` in these colours and shows it; a link already
  // in place and in its colours is left alone rather than painted again.
  static void PlaceUndo(WTL_EX::ButtonEx& undo, COLORREF background, const Box& where);

  // The list's DPI changed: the links take the font for it.
  void FollowDpi();

  // Destroys every window and forgets pending un-ticks; the link entries stay
  // unless `forgetLinks`.
  void DestroyAll(bool forgetLinks);

 private:
  struct TickEntry {
    std::uint64_t key;
    UniqueWindow box;
  };
  struct UndoEntry {
    std::int32_t id;
    std::unique_ptr<WTL_EX::ButtonEx> button;
    bool wanted = false;  // no window yet: its row has not been painted since
  };

  UniqueWindow CreateTickBox();
  void Untick(std::uint64_t ticket, std::uint64_t key, HWND box);
  std::vector<UndoEntry>::const_iterator FindUndoEntry(std::int32_t id) const;
  std::vector<UndoEntry>::iterator FindUndoEntry(std::int32_t id);
  static void DestroyUndoWindow(UndoEntry& entry);
  void CancelUnticks();
  int NextChildId(int& last, bool& wrapped, int first, int lastInBlock, bool tickBlock) const;
  bool ChildIdInUse(int id, bool tickBlock) const;

  HWND parent_ = nullptr;  // not owned
  std::vector<TickEntry> tickBoxes_;
  std::vector<UniqueWindow> spareTickBoxes_;  // only while rows are painted
  std::vector<UndoEntry> undoLinks_;
  std::map<std::uint64_t, framework::ScheduledTask> unticks_;
  std::uint64_t lastTicket_ = 0;
  int nextTickId_ = kFirstTickId - 1;
  int nextUndoId_ = kFirstUndoId - 1;
  bool tickIdsWrapped_ = false;
  bool undoIdsWrapped_ = false;
};

}  // namespace lists
