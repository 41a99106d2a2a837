#include "lists/row_store.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "model/snooze.h"
#include "model/platform.h"

namespace lists {
namespace {

// Long lists sort their halves on two threads and merge them, which keeps the
// order stable and about halves the wait where comparing by name is slow.
template <class Before>
void SortStably(std::vector<Row>& rows, Before before) {
  const auto middle = rows.begin() + static_cast<std::ptrdiff_t>(rows.size() / 2);
  bool halvesSorted = false;
  if (rows.size() >= RowStore::kSharedSortRows) {
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

}  // namespace

int RowStore::Append(Contact& contact) {
  rows_.push_back(Row{&contact, contact.id, ++lastKey_, kNotPainted, Matches(contact)});
  if (!rows_.back().shown) return -1;
  const int index = Count();
  shown_.push_back(static_cast<int>(rows_.size()) - 1);
  firstRowOfId_.emplace(contact.id, index);
  rowOfKey_.emplace(lastKey_, index);
  return index;
}

void RowStore::DropLast() {
  if (rows_.empty()) return;
  const Row& last = rows_.back();
  if (last.shown) {
    const int index = Count() - 1;
    rowOfKey_.erase(last.key);
    auto first = firstRowOfId_.find(last.id);
    if (first != firstRowOfId_.end() && first->second == index) firstRowOfId_.erase(first);
    shown_.pop_back();
  }
  rows_.pop_back();
}

// Only the rows from the removed one on change their numbers.
bool RowStore::Erase(int index) {
  if (index < 0 || index >= Count()) return false;
  const auto at = static_cast<std::size_t>(index);
  const Row removed = rows_[static_cast<std::size_t>(shown_[at])];
  rows_.erase(rows_.begin() + shown_[at]);
  shown_.erase(shown_.begin() + index);
  for (std::size_t later = at; later < shown_.size(); ++later) --shown_[later];
  rowOfKey_.erase(removed.key);
  auto first = firstRowOfId_.find(removed.id);
  if (first != firstRowOfId_.end() && first->second == index) firstRowOfId_.erase(first);
  for (int row = index; row < Count(); ++row) {
    const Row& moved = *At(row);
    rowOfKey_[moved.key] = row;
    auto found = firstRowOfId_.find(moved.id);
    if (found == firstRowOfId_.end())
      firstRowOfId_.emplace(moved.id, row);  // the removed row was the first with this id
    else if (found->second == row + 1)
      found->second = row;
  }
  return true;
}

int RowStore::EraseHidden(std::int32_t id) {
  const auto before = rows_.size();
  rows_.erase(std::remove_if(rows_.begin(), rows_.end(), [id](const Row& row) { return !row.shown && row.id == id; }),
              rows_.end());
  const int erased = static_cast<int>(before - rows_.size());
  if (erased > 0) Reindex();
  return erased;
}

std::vector<std::uint64_t> RowStore::EraseIds(const std::unordered_set<std::int32_t>& ids) {
  std::vector<std::uint64_t> keys;
  const auto kept = std::remove_if(rows_.begin(), rows_.end(), [&ids, &keys](const Row& row) {
    if (ids.count(row.id) == 0) return false;
    keys.push_back(row.key);
    return true;
  });
  rows_.erase(kept, rows_.end());
  if (!keys.empty()) Reindex();
  return keys;
}

void RowStore::Clear() {
  rows_.clear();
  shown_.clear();
  firstRowOfId_.clear();
  rowOfKey_.clear();
}

bool RowStore::SetFilter(RowFilter filter) {
  const bool narrowing = filter.Narrows(filter_);
  filter_ = std::move(filter);
  bool changed = false;
  for (Row& row : rows_) {
    if (narrowing && !row.shown) continue;
    const bool shown = Matches(*row.contact);
    changed = changed || shown != row.shown;
    row.shown = shown;
    row.selected = row.selected && shown;
  }
  if (changed) Reindex();
  return changed;
}

bool RowStore::Refilter(std::int32_t id) {
  bool changed = false;
  for (Row& row : rows_) {
    if (row.id != id) continue;
    const bool shown = Matches(*row.contact);
    changed = changed || shown != row.shown;
    row.shown = shown;
    row.selected = row.selected && shown;
  }
  if (changed) Reindex();
  return changed;
}

const Row* RowStore::At(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &rows_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(index)])];
}

Row* RowStore::At(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  return &rows_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(index)])];
}

Contact* RowStore::ContactAt(int index) const {
  const Row* row = At(index);
  return row ? row->contact : nullptr;
}

int RowStore::Find(std::int32_t id) const {
  auto found = firstRowOfId_.find(id);
  return found == firstRowOfId_.end() ? -1 : found->second;
}

int RowStore::FindKey(std::uint64_t key) const {
  auto found = rowOfKey_.find(key);
  return found == rowOfKey_.end() ? -1 : found->second;
}

int RowStore::FindNameStart(const std::wstring& prefix, int start, bool wrap) const {
  if (prefix.empty() || Count() == 0) return -1;
  const int first = start >= 0 && start < Count() ? start : 0;
  const int tries = wrap ? Count() : Count() - first;
  for (int step = 0; step < tries; ++step) {
    const int row = (first + step) % Count();
    const std::wstring& name = ContactAt(row)->name;
    if (name.size() >= prefix.size() && platform::CompareNoCase(name.substr(0, prefix.size()), prefix) == 0) return row;
  }
  return -1;
}

KeptRows RowStore::Sort(const RowOrder& order, KeptRows before) {
  const Row* selected = At(before.selected);
  const Row* focused = At(before.focused);
  const std::int32_t selectedId = selected ? selected->id : -1;
  const std::int32_t focusedId = focused ? focused->id : -1;
  // Made here, on one thread, for the threads that compare them.
  if (order.mode == SortMode::Name)
    for (const Row& row : rows_) row.contact->Texts();
  // Each snoozed contact's reading of the clock, found once for the whole sort.
  std::unordered_map<std::int32_t, Time> seen;
  if (order.journal && order.mode != SortMode::None && order.mode != SortMode::Name) {
    for (const Row& row : rows_) {
      const Time until = order.journal->SnoozedUntil(row.id);
      if (until != 0 && row.contact) seen.emplace(row.id, SeenNow(*row.contact, until, order.now));
    }
  }
  const auto nowOf = [&seen, &order](const Row& row) {
    if (seen.empty()) return order.now;
    const auto found = seen.find(row.id);
    return found == seen.end() ? order.now : found->second;
  };
  SortStably(rows_, [&order, &nowOf](const Row& a, const Row& b) {
    const int result = CompareContacts(order.mode, *a.contact, *b.contact, order.warnPercent, order.warnDays, nowOf(a),
                                       nowOf(b));
    return order.descending ? result > 0 : result < 0;
  });
  Reindex();
  // Row -1 would mean every row to the control.
  KeptRows after;
  after.selected = selectedId >= 0 ? Find(selectedId) : -1;
  after.focused = focusedId >= 0 ? Find(focusedId) : -1;
  return after;
}

bool RowStore::Matches(const Contact& contact) const {
  const RowDetail* detail = details_ ? details_->Find(contact.id) : nullptr;
  return filter_.Matches(contact, detail ? &detail->reach : nullptr);
}

void RowStore::SetSelected(int index, bool selected) {
  if (Row* row = At(index)) row->selected = selected;
}

void RowStore::SetRangeSelected(int from, int to, bool selected) {
  for (int index = std::max(from, 0); index <= to && index < Count(); ++index) At(index)->selected = selected;
}

void RowStore::SetAllSelected(bool selected) {
  for (Row& row : rows_) row.selected = selected && row.shown;
}

bool RowStore::IsSelected(int index) const {
  const Row* row = At(index);
  return row && row->selected;
}

int RowStore::SelectedCount() const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return row.selected; }));
}

std::vector<int> RowStore::SelectedRows() const {
  std::vector<int> selected;
  for (int index = 0; index < Count(); ++index)
    if (At(index)->selected) selected.push_back(index);
  return selected;
}

std::vector<std::int32_t> RowStore::SelectedIds() const {
  std::vector<std::int32_t> ids;
  std::unordered_set<std::int32_t> seen;
  for (int index = 0; index < Count(); ++index) {
    const Row& row = *At(index);
    if (row.selected && seen.insert(row.id).second) ids.push_back(row.id);
  }
  return ids;
}

void RowStore::SelectIds(const std::vector<std::int32_t>& ids) {
  const std::unordered_set<std::int32_t> wanted(ids.begin(), ids.end());
  for (Row& row : rows_) row.selected = row.shown && wanted.count(row.id) > 0;
}

void RowStore::Reindex() {
  shown_.clear();
  firstRowOfId_.clear();
  rowOfKey_.clear();
  for (std::size_t place = 0; place < rows_.size(); ++place) {
    const Row& entry = rows_[place];
    if (!entry.shown) continue;
    const int row = Count();
    shown_.push_back(static_cast<int>(place));
    firstRowOfId_.emplace(entry.id, row);
    rowOfKey_.emplace(entry.key, row);
  }
}

}  // namespace lists
