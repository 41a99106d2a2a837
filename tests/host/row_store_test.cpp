#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "lists/row_store.h"

namespace {

constexpr Time kDay = 86400;
constexpr Time kNow = 1796299200;

class RowStoreTest : public ::testing::Test {
 protected:
  Contact& Make(std::int32_t id, const std::wstring& name = L"c", std::int32_t interval = 7, Time daysAgo = 1) {
    contacts.push_back(std::make_unique<Contact>(id, name, L"", Days, interval, kNow - daysAgo * kDay, L"", -1));
    return *contacts.back();
  }

  // What FindRow answered before it had an index: a walk from row 0.
  static int WalkFind(const lists::RowStore& store, std::int32_t id) {
    for (int row = 0; row < store.Count(); ++row)
      if (store.At(row)->id == id) return row;
    return -1;
  }

  static void ExpectIndexAgreesWithAWalk(const lists::RowStore& store, const char* step) {
    for (std::int32_t id = -2; id < 40; ++id) ASSERT_EQ(store.Find(id), WalkFind(store, id)) << step << ", id " << id;
    for (int row = 0; row < store.Count(); ++row) ASSERT_EQ(store.FindKey(store.At(row)->key), row) << step;
  }

  std::vector<std::unique_ptr<Contact>> contacts;
  lists::RowStore store;
};

// Rows of one contact may repeat (a contact can be added twice): the index
// answers the first row, through every change, as the walk did.
TEST_F(RowStoreTest, FindAnswersTheFirstRowWithTheIdThroughEveryChange) {
  std::mt19937 random(7);
  std::set<std::uint64_t> keys;
  for (int step = 0; step < 400; ++step) {
    const int choice = static_cast<int>(random() % 10);
    if (choice < 5 || store.Count() == 0) {
      const auto id = static_cast<std::int32_t>(random() % 30);
      const int index = store.Append(Make(id, L"n" + std::to_wstring(random() % 5)));
      ASSERT_EQ(index, store.Count() - 1);
      EXPECT_TRUE(keys.insert(store.At(index)->key).second) << "keys are never reused";
      EXPECT_EQ(store.At(index)->background, lists::RowStore::kNotPainted);
    } else if (choice < 8) {
      const int index = static_cast<int>(random() % static_cast<unsigned>(store.Count()));
      const std::uint64_t key = store.At(index)->key;
      ASSERT_TRUE(store.Erase(index));
      EXPECT_EQ(store.FindKey(key), -1);
    } else if (choice < 9) {
      store.DropLast();
    } else {
      lists::RowOrder order;
      order.mode = random() % 2 ? SortMode::Name : SortMode::None;
      order.descending = random() % 2 != 0;
      order.now = kNow;
      store.Sort(order, lists::KeptRows{});
    }
    ExpectIndexAgreesWithAWalk(store, ("step " + std::to_string(step)).c_str());
  }
  EXPECT_FALSE(store.Erase(-1));
  EXPECT_FALSE(store.Erase(store.Count()));
  EXPECT_EQ(store.At(store.Count()), nullptr);
  EXPECT_EQ(store.ContactAt(-1), nullptr);
  store.Clear();
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(store.Find(contacts.front()->id), -1);
}

// Long enough for the two-thread sort: equal names keep their order both
// ways, and the selection and focus follow their contacts.
TEST_F(RowStoreTest, ALongSortIsStableBothWaysAndTheSelectionFollowsItsContact) {
  const std::vector<std::wstring> choices{L"maria", L"Jonas", L"ANNA", L"jonas", L"Maria", L"Zoe", L"anna"};
  constexpr int kRows = 3001;
  static_assert(kRows > static_cast<int>(lists::RowStore::kSharedSortRows), "the shared sort is exercised");
  for (int i = 0; i < kRows; ++i) store.Append(Make(i, choices[static_cast<size_t>((i * 5) % 7)]));
  const std::int32_t selectedId = store.At(1234)->id;
  const std::int32_t focusedId = store.At(77)->id;

  for (bool descending : {false, true}) {
    lists::RowOrder order;
    order.mode = SortMode::Name;
    order.descending = descending;
    const lists::KeptRows before{store.Find(selectedId), store.Find(focusedId)};
    const lists::KeptRows after = store.Sort(order, before);
    for (int row = 1; row < kRows; ++row) {
      const Contact& a = *store.ContactAt(row - 1);
      const Contact& b = *store.ContactAt(row);
      const int byName = platform::CompareNoCase(a.name, b.name);
      ASSERT_TRUE(descending ? byName >= 0 : byName <= 0) << row;
      if (byName == 0) {
        ASSERT_LT(a.id, b.id) << "equal names keep their order, row " << row;
      }
    }
    EXPECT_EQ(store.At(after.selected)->id, selectedId);
    EXPECT_EQ(store.At(after.focused)->id, focusedId);
    ExpectIndexAgreesWithAWalk(store, descending ? "descending" : "ascending");
    lists::RowOrder byId;
    store.Sort(byId, lists::KeptRows{});
  }
  // Nothing selected stays nothing selected.
  const lists::KeptRows none = store.Sort(lists::RowOrder{}, lists::KeptRows{});
  EXPECT_EQ(none.selected, -1);
  EXPECT_EQ(none.focused, -1);
  for (int row = 1; row < kRows; ++row) ASSERT_LT(store.ContactAt(row - 1)->id, store.ContactAt(row)->id);
}

TEST_F(RowStoreTest, SortUsesTheGivenClockAndWarningLevels) {
  store.Append(Make(1, L"normal, 3 days left", 10, 7));
  store.Append(Make(2, L"warning, 90% through", 100, 90));
  lists::RowOrder order;
  order.mode = SortMode::Priority;
  order.now = kNow;
  store.Sort(order, lists::KeptRows{});
  EXPECT_EQ(store.ContactAt(0)->id, 2);
  // Five days later the first has expired.
  order.now = kNow + 5 * kDay;
  store.Sort(order, lists::KeptRows{});
  EXPECT_EQ(store.ContactAt(0)->id, 1);
  // With levels nothing reaches, days left decide.
  order.now = kNow;
  store.Sort(lists::RowOrder{}, lists::KeptRows{});
  order.warnPercent = 100;
  order.warnDays = -1000;
  store.Sort(order, lists::KeptRows{});
  EXPECT_EQ(store.ContactAt(0)->id, 1);
}

}  // namespace

namespace {

// The selection lives with the rows: a sort takes it along to the contacts'
// new places, a filter takes it from the rows it hides and does not give it
// back when they return, and a reload selects the same contacts again.
TEST_F(RowStoreTest, TheSelectionStaysWithItsContactsThroughSortsFiltersAndReloads) {
  const wchar_t* names[] = {L"Dora", L"Anna", L"Carl", L"Bert", L"Eva"};
  for (std::int32_t id = 1; id <= 5; ++id) store.Append(Make(id, names[id - 1]));
  auto selectedNames = [this] {
    std::vector<std::wstring> shown;
    for (int row : store.SelectedRows()) shown.push_back(store.At(row)->contact->name);
    return shown;
  };
  store.SetSelected(0, true);          // Dora
  store.SetRangeSelected(2, 3, true);  // Carl, Bert
  store.SetSelected(99, true);         // out of range: nothing
  EXPECT_EQ(store.SelectedCount(), 3);
  EXPECT_EQ(store.SelectedIds(), (std::vector<std::int32_t>{1, 3, 4}));

  lists::RowOrder byName;
  byName.mode = SortMode::Name;
  byName.now = kNow;
  store.Sort(byName, lists::KeptRows{});
  EXPECT_EQ(store.SelectedRows(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(selectedNames(), (std::vector<std::wstring>{L"Bert", L"Carl", L"Dora"}));
  byName.descending = true;
  store.Sort(byName, lists::KeptRows{});
  EXPECT_EQ(selectedNames(), (std::vector<std::wstring>{L"Dora", L"Carl", L"Bert"}));
  EXPECT_EQ(store.SelectedIds(), (std::vector<std::int32_t>{1, 3, 4})) << "ids in the rows' order";

  // "r" hides Anna and Eva, none of them selected; "e" then shows only Bert and Eva.
  store.SetFilter(lists::RowFilter(L"r"));
  EXPECT_EQ(selectedNames(), (std::vector<std::wstring>{L"Dora", L"Carl", L"Bert"}));
  store.SetFilter(lists::RowFilter(L"e"));
  EXPECT_EQ(selectedNames(), (std::vector<std::wstring>{L"Bert"}));
  store.SetFilter(lists::RowFilter());
  EXPECT_EQ(store.Count(), 5);
  EXPECT_EQ(selectedNames(), (std::vector<std::wstring>{L"Bert"})) << "hidden rows come back unselected";

  // A hidden row cannot be selected, not even by selecting all.
  store.SetFilter(lists::RowFilter(L"anna"));
  store.SetAllSelected(true);
  store.SetFilter(lists::RowFilter());
  EXPECT_EQ(store.SelectedIds(), (std::vector<std::int32_t>{2}));

  // A reload: the rows go, the same contacts come back in new rows.
  const std::vector<std::int32_t> held{4, 2, 77};
  store.Clear();
  for (std::int32_t id = 1; id <= 5; ++id) store.Append(*contacts[static_cast<std::size_t>(id - 1)]);
  EXPECT_EQ(store.SelectedCount(), 0);
  store.SelectIds(held);
  EXPECT_EQ(store.SelectedIds(), (std::vector<std::int32_t>{2, 4}));
  store.SetAllSelected(false);
  EXPECT_TRUE(store.SelectedRows().empty());
}

}  // namespace
