#include "lists/row_store.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "model/snooze.h"

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
  const int index = Count();
  rows_.push_back(Row{&contact, contact.id, ++lastKey_, kNotPainted});
  firstRowOfId_.emplace(contact.id, index);
  rowOfKey_.emplace(lastKey_, index);
  return index;
}

void RowStore::DropLast() {
  if (rows_.empty()) return;
  const Row& last = rows_.back();
  const int index = Count() - 1;
  rowOfKey_.erase(last.key);
  auto first = firstRowOfId_.find(last.id);
  if (first != firstRowOfId_.end() && first->second == index) firstRowOfId_.erase(first);
  rows_.pop_back();
}

// Only the rows from the removed one on change their numbers.
bool RowStore::Erase(int index) {
  if (index < 0 || index >= Count()) return false;
  const Row removed = rows_[static_cast<std::size_t>(index)];
  rows_.erase(rows_.begin() + index);
  rowOfKey_.erase(removed.key);
  auto first = firstRowOfId_.find(removed.id);
  if (first != firstRowOfId_.end() && first->second == index) firstRowOfId_.erase(first);
  for (int row = index; row < Count(); ++row) {
    const Row& moved = rows_[static_cast<std::size_t>(row)];
    rowOfKey_[moved.key] = row;
    auto found = firstRowOfId_.find(moved.id);
    if (found == firstRowOfId_.end())
      firstRowOfId_.emplace(moved.id, row);  // the removed row was the first with this id
    else if (found->second == row + 1)
      found->second = row;
  }
  return true;
}

void RowStore::Clear() {
  rows_.clear();
  firstRowOfId_.clear();
  rowOfKey_.clear();
}

const Row* RowStore::At(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &rows_[static_cast<std::size_t>(index)];
}

Row* RowStore::At(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  return &rows_[static_cast<std::size_t>(index)];
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

KeptRows RowStore::Sort(const RowOrder& order, KeptRows before) {
  const Row* selected = At(before.selected);
  const Row* focused = At(before.focused);
  const std::int32_t selectedId = selected ? selected->id : -1;
  const std::int32_t focusedId = focused ? focused->id : -1;
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
    const int result = CompareContacts(order.mode, *a.contact, *b.contact, order.warnPercent, order.warnDays,
                                       nowOf(a), nowOf(b));
    return order.descending ? result > 0 : result < 0;
  });
  Reindex();
  // Row -1 would mean every row to the control.
  KeptRows after;
  after.selected = selectedId >= 0 ? Find(selectedId) : -1;
  after.focused = focusedId >= 0 ? Find(focusedId) : -1;
  return after;
}

void RowStore::Reindex() {
  firstRowOfId_.clear();
  rowOfKey_.clear();
  for (int row = 0; row < Count(); ++row) {
    const Row& entry = rows_[static_cast<std::size_t>(row)];
    firstRowOfId_.emplace(entry.id, row);
    rowOfKey_.emplace(entry.key, row);
  }
}

}  // namespace lists
