#pragma once
// The rows of one contact list, without any window: the contact each row
// shows, an index from contact id to row, the stable sort that keeps the
// selection and focus on their contacts, and the find filter that hides rows.
// The list view tells the control what changed; this class only answers where
// things went. Row numbers count the rows shown; hidden rows keep their
// contact and their place in the order for when the filter lets them back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/contact.h"
#include "model/contact_ordering.h"
#include "lists/row_details.h"
#include "lists/row_filter.h"
#include "model/journal.h"

namespace lists {

struct Row {
  Contact* contact;  // not owned; never read once its row is being deleted
  std::int32_t id;
  // Unique among the rows this store ever held: what the row's child windows
  // are filed under, since a row's number changes with sorts and deletions
  // and one contact may have two rows.
  std::uint64_t key;
  std::uint32_t background;  // a COLORREF, as last painted; kNotPainted before the first paint
  bool shown = true;         // the filter lets it through
  bool selected = false;     // never while hidden
};

// How to sort, with one reading of the clock for the whole sort.
struct RowOrder {
  SortMode mode = SortMode::None;
  int warnPercent = 75;
  int warnDays = 2;
  Time now = 0;
  bool descending = false;
  const Journal* journal = nullptr;  // not owned; its snoozes move due times
};

// Rows of a sort's selection and focus, before the sort as given and after it
// as answered; -1 for none.
struct KeptRows {
  int selected = -1;
  int focused = -1;
};

class RowStore {
 public:
  static constexpr std::uint32_t kNotPainted = 0xFFFFFFFF;
  // From this many rows the halves are sorted on two threads and merged.
  static constexpr std::size_t kSharedSortRows = 2000;

  // Appends a row for the contact; answers its index, -1 when the filter hides it.
  int Append(Contact& contact);
  // Takes back the row Append just added (the control refused it).
  void DropLast();
  // Removes one row; false for an index out of range.
  bool Erase(int index);
  // Removes the hidden rows of a contact; answers how many went.
  int EraseHidden(std::int32_t id);
  // Removes every row, shown or hidden, of the contacts named, in one pass;
  // answers the keys of the rows that went.
  std::vector<std::uint64_t> EraseIds(const std::unordered_set<std::int32_t>& ids);
  void Clear();

  // Shows only the rows the filter lets through; answers whether that changed
  // which rows are shown. A filter narrowing the last one tests only the rows
  // shown.
  bool SetFilter(RowFilter filter);
  // Where the filter reads the contacts' numbers and addresses (not owned; null: nowhere).
  void SetDetails(const RowDetails* details) { details_ = details; }
  const RowFilter& Filter() const { return filter_; }
  // Asks the filter again about the rows of one contact (its name or notes
  // changed); answers whether one of them came or went.
  bool Refilter(std::int32_t id);

  int Count() const { return static_cast<int>(shown_.size()); }
  // Shown and hidden rows.
  int TotalCount() const { return static_cast<int>(rows_.size()); }
  // The row at an index; null out of range.
  const Row* At(int index) const;
  Row* At(int index);
  Contact* ContactAt(int index) const;
  // The first row whose contact has this id; -1 when none.
  int Find(std::int32_t id) const;
  // The row filed under this key; -1 when none.
  int FindKey(std::uint64_t key) const;
  // The first row from `start` on whose name starts with `prefix`, ignoring
  // letter case, going round to the top when `wrap`; -1 when none.
  int FindNameStart(const std::wstring& prefix, int start, bool wrap) const;

  // Sorts stably (ties keep their order, descending too) and answers where
  // the contacts of the given selected and focused rows are now. The
  // selection kept below moves with its rows.
  KeptRows Sort(const RowOrder& order, KeptRows before);

  // The selection, by shown row: it stays with its rows through sorts, and a
  // row the filter hides loses it. Indexes out of range are ignored.
  void SetSelected(int index, bool selected);
  void SetRangeSelected(int from, int to, bool selected);
  void SetAllSelected(bool selected);
  bool IsSelected(int index) const;
  int SelectedCount() const;
  std::vector<int> SelectedRows() const;
  // The contacts of the selected rows, in the rows' order, each once.
  std::vector<std::int32_t> SelectedIds() const;
  // Selects the shown rows of these contacts alone (a reload gives them new rows).
  void SelectIds(const std::vector<std::int32_t>& ids);

 private:
  void Reindex();
  bool Matches(const Contact& contact) const;

  std::vector<Row> rows_;   // every row, shown or hidden, in the list's order
  std::vector<int> shown_;  // for each row number, its place in rows_
  RowFilter filter_;
  const RowDetails* details_ = nullptr;  // not owned
  std::unordered_map<std::int32_t, int> firstRowOfId_;
  std::unordered_map<std::uint64_t, int> rowOfKey_;
  std::uint64_t lastKey_ = 0;
};

}  // namespace lists
