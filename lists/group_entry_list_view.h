#pragma once
// The contact list of a group panel: a report-view list with one column and
// no header, taken over from the panel's template, whose 40-pixel rows the
// program paints itself. Each row carries a tick box and, after a tick, an
// "(Undo)" link; both are child windows of the list, placed at every paint.
//
// The control holds no rows of its own (LVS_OWNERDATA): the contacts live in
// this class's vector, which is also what sorts, so filling and sorting a list
// of thousands costs no message per row. The control keeps only the count and
// the selection.
//
// The parent must reflect WM_NOTIFY, WM_DRAWITEM and WM_MEASUREITEM back to
// the list (REFLECT_NOTIFICATIONS); that is how rows are painted and measured
// and how selection changes reach the list.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "controls/flat_buttons.h"
#include "framework/handles.h"
#include "framework/owner_draw.h"
#include "framework/sort_list_view.h"
#include "lists/sort_mode.h"
#include "lists/thumbnail_cache.h"
#include "model/contacts.h"
#include "model/groups.h"

class GroupEntryListView : public CSortListViewCtrlImpl<GroupEntryListView>,
                           public COwnerDraw<GroupEntryListView> {
  using SortBase = CSortListViewCtrlImpl<GroupEntryListView>;

 public:
  using Clock = std::function<Time()>;

  static constexpr int kRowHeight = 40;
  static constexpr COLORREF kSelectionColour = RGB(0xD4, 0xE5, 0xFA);
  static constexpr COLORREF kStatusColour = RGB(0x88, 0x88, 0x88);
  // Row geometry: texts start right of the picture; the tick box sits this far
  // in from the row's right and bottom edges; the "(Undo)" link follows the
  // status line after a small gap.
  static constexpr int kTextLeft = 40;
  static constexpr int kPictureSize = 32;
  static constexpr int kTickBoxInset = 20;
  static constexpr int kTickBoxGap = 4;
  static constexpr int kUndoGap = 10;
  // Control ids of the rows' child windows come from blocks no other window
  // of the program uses. Senders are recognised by their window, not their
  // id, so a block that wraps around after thousands of rows still works.
  static constexpr int kFirstTickId = 0x4000;
  static constexpr int kLastTickId = 0x5FFF;
  static constexpr int kFirstUndoId = 0x6000;
  static constexpr int kLastUndoId = 0x7FFF;
  // Posted to the list when row pictures decoded in the background are ready.
  static constexpr UINT kPicturesReady = WM_APP + 0x3A0;

  GroupEntryListView();
  ~GroupEntryListView() override;

  // Takes over the panel's list control, which must have been created with
  // LVS_OWNERDATA (false otherwise). Also has the control measure its rows
  // again, so they are 40 pixels high from the first paint.
  BOOL SubclassWindow(HWND window);

  // What the panel hands over when it is created.
  void SetCollections(boost::shared_ptr<Groups> groups, boost::shared_ptr<Contacts> contacts);
  // The three display settings from Options; repaints when the list exists.
  void SetDisplaySettings(int warnPercent, int warnDays, bool showLastContacted);
  int WarnPercent() const { return warnPercent_; }
  int WarnDays() const { return warnDays_; }
  bool ShowLastContacted() const { return showLastContacted_; }

  // The clock read for painting and sorting (platform::Now unless replaced).
  void SetClock(Clock clock);

  // Appends a row for the contact (not owned: the collection owns it, and the
  // row must be deleted before the contact goes). Returns the row index, -1
  // when the control refused the row. While the list's redrawing is off
  // (WM_SETREDRAW), the control learns the new count when it is turned on.
  int InsertContactRow(Contact& contact);
  // Gives the contact's row a fresh "(Undo)" link; false without a row.
  bool ShowUndo(const Contact& contact);
  // Removes the contact's "(Undo)" link; false without a row or a link entry.
  bool HideUndo(const Contact& contact);

  // Rows are removed with LVM_DELETEITEM (DeleteItem(index)) or
  // LVM_DELETEALLITEMS, which also destroy their tick boxes and "(Undo)" links.
  using CListViewCtrl::DeleteItem;
  using COwnerDraw<GroupEntryListView>::DeleteItem;

  // The first row whose contact has this id, walking from row 0; -1 when none.
  int FindRow(std::int32_t id) const;
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // The contact shown in a row; null for an index out of range.
  Contact* RowContact(int row) const;

  // Ordering. SortBy sets the order and sorts the rows once, ascending.
  SortMode GetSortMode() const { return sortMode_; }
  void SetSortMode(SortMode mode) { sortMode_ = mode; }
  bool SortBy(SortMode mode);
  // Column sorts read the clock once for the whole sort.
  bool DoSortItems(int column, bool descending = false);
  // Sorts the rows' vector (ties keep their order); the selection stays with
  // its contact.
  bool SortItemsCustom(int column, bool descending);
  int CompareRows(const Contact& a, const Contact& b) const;
  int CompareRows(const Contact& a, const Contact& b, Time now) const;

  // The row pictures of this thread's lists, kept at row size.
  static lists::ThumbnailCache& Thumbnails();

  // The child windows of a contact's row (null when none), for the panel and tests.
  HWND TickBox(std::int32_t id) const;
  HWND UndoButton(std::int32_t id) const;

  BEGIN_MSG_MAP(GroupEntryListView)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    MESSAGE_HANDLER(WM_PAINT, OnPaintRows)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaintRows)
    MESSAGE_HANDLER(WM_COMMAND, OnChildCommand)
    MESSAGE_HANDLER(WM_SETREDRAW, OnSetRedraw)
    MESSAGE_HANDLER(kPicturesReady, OnPicturesReady)
    MESSAGE_HANDLER(LVM_DELETEITEM, OnDeleteRow)
    MESSAGE_HANDLER(LVM_DELETEALLITEMS, OnDeleteAllRows)
    REFLECTED_NOTIFY_CODE_HANDLER(LVN_ITEMCHANGED, OnRowChanged)
    CHAIN_MSG_MAP(SortBase)
    CHAIN_MSG_MAP_ALT(COwnerDraw<GroupEntryListView>, 1)
    MESSAGE_HANDLER(WM_DRAWITEM, OnChildDrawItem)
  END_MSG_MAP()

  // COwnerDraw: the reflected row requests.
  void DrawItem(LPDRAWITEMSTRUCT draw);
  void MeasureItem(LPMEASUREITEMSTRUCT measure);

 private:
  HWND CreateTickBox();
  // Around the painting of rows: the child windows of rows out of sight are
  // handed to the rows coming into sight (tick boxes) or hidden (links). The
  // list scrolls its pixels but not its child windows, so a row's box left
  // behind would sit on another row, and a click there would mark the wrong
  // person.
  LRESULT OnPaintRows(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  bool PaintBehindTickBox(HDC dc);

  struct Row {
    Contact* contact;  // not owned; never read once its row is being deleted
    std::int32_t id;
    HWND tickBox;  // owned; null until the row is painted, or after it scrolled out of sight
    COLORREF background;  // as last painted; CLR_INVALID before the first paint
  };
  struct UndoEntry {
    std::int32_t id;
    boost::shared_ptr<WTL_EX::ButtonEx> button;
  };

  LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnChildCommand(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnChildDrawItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnSetRedraw(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnPicturesReady(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnDeleteRow(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnDeleteAllRows(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnRowChanged(int id, LPNMHDR header, BOOL& handled);
  // Tells the control the number of rows; false when it refused.
  bool SyncItemCount();
  void DropRowWindows(Row& row);

  void OnTickClicked(HWND tickBox);
  void OnUndoClicked(HWND button);
  void QueueUntick(HWND tickBox);
  static DWORD WINAPI DeferredUntick(void* context);

  Contact* FindContact(std::int32_t id) const;
  std::vector<UndoEntry>::iterator FindUndo(std::int32_t id);
  std::vector<UndoEntry>::const_iterator FindUndo(std::int32_t id) const;
  void DropUndoWindow(UndoEntry& entry);
  void DropUndoOfRow(int row);
  void RedrawRow(int row);
  int NextChildId(int& last, bool& wrapped, int first, int lastInBlock, bool tickBlock) const;
  bool ChildIdInUse(int id, bool tickBlock) const;
  void DestroyChildWindows();

  // Painting parts, into the row's off-screen bitmap at (0, 0).
  void DrawPicture(HDC dc, const Contact& contact) const;
  HICON StatusIcon(const Contact& contact, Time now) const;
  // Draws text from left, cut with an ellipsis at maxRight; answers the width drawn.
  int DrawRowText(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, int left, int maxRight, int top,
                  int bottom) const;
  // The contact's "(Undo)" link when its window exists, else null.
  WTL_EX::ButtonEx* LiveUndo(const Contact& contact);
  // Width of the link's text, 0 without a link.
  static int UndoWidth(HDC dc, const WTL_EX::ButtonEx* undo);
  static void PlaceUndo(WTL_EX::ButtonEx* undo, COLORREF background, int statusRight, int undoWidth, const RECT& row);
  void PlaceTickBox(const RECT& bounds, int rowIndex);

  UniqueIcon iconNormal_;
  UniqueIcon iconWarning_;
  UniqueIcon iconExpired_;
  UniqueFont nameFont_;
  UniqueFont groupFont_;
  UniqueFont statusFont_;
  int warnPercent_ = 75;
  int warnDays_ = 2;
  bool showLastContacted_ = true;
  std::vector<Row> rows_;
  std::vector<HWND> spareTickBoxes_;  // owned; only while rows are painted
  int paintedTop_ = -1;               // the top row at the last paint
  std::vector<UndoEntry> undoButtons_;
  boost::shared_ptr<Groups> groups_;
  boost::shared_ptr<Contacts> contacts_;
  int nextTickId_ = kFirstTickId - 1;
  int nextUndoId_ = kFirstUndoId - 1;
  bool tickIdsWrapped_ = false;
  bool undoIdsWrapped_ = false;
  SortMode sortMode_ = SortMode::None;
  Clock clock_;
  std::optional<Time> sortNow_;  // the clock reading of the sort under way
  bool redrawOff_ = false;       // rows are being added with redrawing off
  bool countPending_ = false;    // the control has not been told the count yet
  bool movingSelection_ = false;  // the selection follows its row after a sort
  std::int32_t selectedId_ = -1;  // the contact of the row last reported selected
};
