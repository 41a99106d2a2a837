#pragma once
// The contact list of a group panel: a report-view list with one column and
// no header, taken over from the panel's template, whose 40-pixel rows the
// program paints itself. Each row carries a tick box and, after a tick, an
// "(Undo)" link; both are child windows of the list, placed at every paint.
//
// The control holds no rows of its own (LVS_OWNERDATA): the contacts live in
// the row store, which is also what sorts, so filling and sorting a list of
// thousands costs no message per row. The control keeps only the count and
// the selection. The parts: RowStore (rows, ordering), Metrics and the row
// layout (every pixel measure), RowPainter (drawing), RowWindows (the rows'
// child windows); this class ties them to the control's messages.
//
// The parent must reflect WM_NOTIFY, WM_DRAWITEM and WM_MEASUREITEM back to
// the list (REFLECT_NOTIFICATIONS); that is how rows are painted and measured
// and how selection changes reach the list.
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_set>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "framework/crackers.h"
#include "framework/dpi.h"
#include "framework/owner_draw.h"
#include "framework/sort_list_view.h"
#include "lists/row_layout.h"
#include "lists/row_painter.h"
#include "lists/row_details.h"
#include "lists/row_filter.h"
#include "lists/row_store.h"
#include "lists/row_windows.h"
#include "lists/thumbnail_cache.h"
#include "model/contact_ordering.h"
#include "model/contacts.h"
#include "model/groups.h"
#include "model/journal.h"

class GroupEntryListView : public CSortListViewCtrlImpl<GroupEntryListView>, public COwnerDraw<GroupEntryListView> {
  using SortBase = CSortListViewCtrlImpl<GroupEntryListView>;

 public:
  using Clock = std::function<Time()>;

  // Posted to the list when row pictures decoded in the background are ready.
  static constexpr UINT kPicturesReady = WM_APP + 0x3A0;

  GroupEntryListView();
  ~GroupEntryListView() override;

  // Takes over the panel's list control, which must have been created with
  // LVS_OWNERDATA (false otherwise). Also has the control measure its rows
  // again, so they are 40 pixels high (at 96 DPI) from the first paint.
  BOOL SubclassWindow(HWND window);
  // Takes the DPI the list is shown at now (framework::DpiForWindow): the
  // rows are measured, drawn and laid out anew when it changed.
  void FollowDpi();

  // What the panel hands over when it is created.
  void SetCollections(boost::shared_ptr<Groups> groups, boost::shared_ptr<Contacts> contacts);
  // The three display settings from Options; repaints when the list exists.
  void SetDisplaySettings(int warnPercent, int warnDays, bool showLastContacted);
  int WarnPercent() const { return settings_.warnPercent; }
  int WarnDays() const { return settings_.warnDays; }
  bool ShowLastContacted() const { return settings_.showLastContacted; }
  // The row pictures (not owned; null: rows without pictures). The "All" list
  // and a group's list share one, as they show the same pictures.
  void SetThumbnails(lists::ThumbnailCache* cache) { thumbnails_ = cache; }
  // The measures of this list's rows.
  const lists::Metrics& RowMetrics() const { return metrics_; }

  // Where the rows' snoozes are read (not owned; null: no snoozes).
  void SetJournal(const Journal* journal) { journal_ = journal; }
  // Where the rows' date marks and the find filter's numbers and addresses
  // are read (not owned; null: none).
  void SetRowDetails(const lists::RowDetails* details);

  // The clock read for painting and sorting (platform::Now unless replaced).
  void SetClock(Clock clock);

  // Appends a row for the contact (not owned: the collection owns it, and the
  // row must be deleted before the contact goes). Returns the row index, -1
  // when the control refused the row. While the list's redrawing is off
  // (WM_SETREDRAW), the control learns the new count when it is turned on.
  int InsertContactRow(Contact& contact);
  // Records a contact for the row's person exactly as a click on its tick box
  // does (the box, when it has one, shows the tick for a second); false
  // without such a row.
  bool TickRow(int row);
  // Gives the contact's row a fresh "(Undo)" link; false without a row.
  bool ShowUndo(const Contact& contact);
  // Removes the contact's "(Undo)" link; false without a row or a link entry.
  bool HideUndo(const Contact& contact);

  // Rows are removed with LVM_DELETEITEM (DeleteItem(index)) or
  // LVM_DELETEALLITEMS, which also destroy their tick boxes and "(Undo)" links.
  using CListViewCtrl::DeleteItem;
  using COwnerDraw<GroupEntryListView>::DeleteItem;

  // Shows only the contacts the filter lets through (the find field's text);
  // a new text clears the selection. An empty result shows "Nobody matches."
  // in the list.
  void SetFilter(lists::RowFilter filter);
  const lists::RowFilter& Filter() const { return rows_.Filter(); }
  // Asks the filter again about a contact whose name or notes changed.
  void Refilter(std::int32_t id);
  // Asks the filter again about every contact (their details were made anew).
  void RefilterAll();
  // Forgets the rows of a contact the filter hides (it is going); false when it has none.
  bool DropHiddenRows(std::int32_t id) { return rows_.EraseHidden(id) > 0; }
  // Removes the rows of many contacts at once (a group's, as it goes) with
  // their child windows: one pass over the rows and one count for the
  // control, where row by row costs a pass and a message each. The selection
  // and focus stay with contacts that stay. Answers how many rows went.
  int RemoveContactRows(const std::unordered_set<std::int32_t>& ids);

  // The selection: several rows with Ctrl and Shift, the arrows, Page Up and
  // Down, Home and End as the control gives them, and Ctrl+A. It is kept in
  // the row store, so that it stays with its contacts through sorts and
  // filters; the control shows it and tells screen readers.
  int SelectedCount() const { return rows_.SelectedCount(); }
  std::vector<int> SelectedRows() const { return rows_.SelectedRows(); }
  // The contacts of the selected rows, in the rows' order.
  std::vector<std::int32_t> SelectedIds() const { return rows_.SelectedIds(); }
  void SelectAll();
  // Selects the shown rows of these contacts alone; the focus stays.
  void SelectContacts(const std::vector<std::int32_t>& ids);
  // The row with the focus mark; -1 when none.
  int FocusedRow() const;

  // The first row whose contact has this id; -1 when none.
  int FindRow(std::int32_t id) const { return rows_.Find(id); }
  int RowCount() const { return rows_.Count(); }
  // The contact shown in a row; null for an index out of range.
  Contact* RowContact(int row) const { return rows_.ContactAt(row); }

  // Ordering. SortBy sets the order and sorts the rows once, ascending.
  SortMode GetSortMode() const { return sortMode_; }
  void SetSortMode(SortMode mode) { sortMode_ = mode; }
  bool SortBy(SortMode mode);
  // Column sorts read the clock once for the whole sort.
  bool DoSortItems(int column, bool descending = false);
  // Sorts the rows (ties keep their order); the selection stays with its contact.
  bool SortItemsCustom(int column, bool descending);
  int CompareRows(const Contact& a, const Contact& b) const;
  int CompareRows(const Contact& a, const Contact& b, Time now) const;

  // The child windows of a contact's row (null when none), for the panel and tests.
  HWND TickBox(std::int32_t id) const;
  HWND UndoButton(std::int32_t id) const { return windows_.UndoButton(id); }

  BEGIN_MSG_MAP(GroupEntryListView)
    MSG_WM_DESTROY(OnDestroy)
    MSG_WM_NCCALCSIZE(OnNcCalcSize)
    MSG_WM_PAINT(OnPaint)
    MSG_WM_PRINTCLIENT(OnPrintClient)
    MSG_WM_COMMAND(OnChildCommand)
    MSG_WM_SETREDRAW(OnSetRedraw)
    MSG_WM_KEYDOWN(OnKeyDown)
    MSG_PLAIN(kPicturesReady, OnPicturesReady)
    MSG_PLAIN(framework::kDpiChangedAfterParent, FollowDpi)
    MSG_LVM_DELETEITEM(OnDeleteRow)
    MSG_LVM_DELETEALLITEMS(OnDeleteAllRows)
    REFLECTED_NOTIFY_CODE_HANDLER_EX(LVN_ITEMCHANGED, OnRowChanged)
    REFLECTED_NOTIFY_CODE_HANDLER_EX(LVN_ODSTATECHANGED, OnRowsChanged)
    REFLECTED_NOTIFY_CODE_HANDLER_EX(LVN_GETDISPINFOW, OnGetRowText)
    REFLECTED_NOTIFY_CODE_HANDLER_EX(LVN_ODFINDITEMW, OnFindRow)
    CHAIN_MSG_MAP(SortBase)
    CHAIN_MSG_MAP_ALT(COwnerDraw<GroupEntryListView>, 1)
    MSG_WM_DRAWITEM(OnChildDrawItem)
  END_MSG_MAP()

  // COwnerDraw: the reflected row requests.
  void DrawItem(LPDRAWITEMSTRUCT draw);
  void MeasureItem(LPMEASUREITEMSTRUCT measure);

 private:
  void OnDestroy();
  LRESULT OnNcCalcSize(BOOL calcValidRects, LPARAM params);
  void OnPaint(HDC dc);
  void OnPrintClient(HDC dc);
  void OnChildCommand(UINT code, int id, HWND control);
  void OnChildDrawItem(int id, DRAWITEMSTRUCT* draw);
  void OnSetRedraw(bool redraw);
  void OnPicturesReady();
  BOOL OnDeleteRow(int index);
  BOOL OnDeleteAllRows();
  LRESULT OnRowChanged(NMHDR* header);
  LRESULT OnRowsChanged(NMHDR* header);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  // The rows that were selected and are no longer lose their "(Undo)" links.
  void FollowDeselection();
  // The control's selection, after the row numbers changed under it.
  void ShowSelection(int focused);
  void MoveSelection(int focused);
  // Runs a change of many rows' states with the control's drawing off.
  void Undrawn(const std::function<void()>& change);
  LRESULT OnGetRowText(NMHDR* header);
  LRESULT OnFindRow(NMHDR* header);
  // Runs the store's refiltering and has the control follow it.
  void FollowFilter(const std::function<bool()>& refilter, bool wasEmpty);
  // The rows shown changed: the control learns their number, from the top.
  void ShowFilteredRows();
  void DrawNobodyMatches(HDC dc);

  // Around the default painting of rows: the child windows of rows out of
  // sight are set aside for the rows coming into sight.
  void PaintRows(bool printing);
  bool PaintBehindTickBox(HDC dc);
  // Tells the control the number of rows; false when it refused.
  bool SyncItemCount();
  // Has the control ask for its rows' height again.
  void RemeasureRows();
  void OnTickClicked(HWND tickBox);
  void RecordContact(Contact& contact, std::uint64_t key, HWND tickBox);
  void OnUndoClicked(HWND button);
  Contact* FindContact(std::int32_t id) const;
  void DropUndoOfRow(int row);
  void RedrawRow(int row);
  const CImage* Picture(const Contact& contact);
  // The row's date mark; null for none.
  const std::wstring* DateMarkOf(std::int32_t id) const;

  // Declared in the order they are needed: the painter reads the metrics.
  lists::Metrics metrics_;
  lists::RowPainter painter_;
  lists::RowStore rows_;
  lists::RowWindows windows_;
  lists::DisplaySettings settings_;
  lists::ThumbnailCache* thumbnails_ = nullptr;  // not owned
  const Journal* journal_ = nullptr;             // not owned
  const lists::RowDetails* details_ = nullptr;   // not owned
  boost::shared_ptr<Groups> groups_;
  boost::shared_ptr<Contacts> contacts_;
  SortMode sortMode_ = SortMode::None;
  Clock clock_;
  std::optional<Time> sortNow_;  // the clock reading of the sort under way
  int paintedTop_ = -1;          // the top row at the last paint
  // From this many selected rows a change of the selection is made undrawn.
  static constexpr int kManySelected = 64;
  bool redrawOff_ = false;        // rows are being added with redrawing off
  bool countPending_ = false;     // the control has not been told the count yet
  bool movingSelection_ = false;  // the selection follows its row after a sort
};
