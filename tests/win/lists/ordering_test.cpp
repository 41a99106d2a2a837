#include "tests/win/lists/list_fixture.h"

namespace test {
namespace {

using Names = std::vector<std::wstring>;

class Ordering : public ListFixture {};

TEST_F(Ordering, NameIgnoresCaseAndNoneRestoresCreationOrder) {
  AddContact(L"bob", 7, 1);
  AddContact(L"Carl", 7, 1);
  AddContact(L"alice", 7, 1);
  AddContact(L"Alice", 7, 1);
  EXPECT_EQ(list.GetSortMode(), SortMode::None);

  ASSERT_TRUE(list.SortBy(SortMode::Name));
  EXPECT_EQ(list.GetSortMode(), SortMode::Name);
  const Names sorted = RowNames();
  EXPECT_EQ(Names(sorted.begin() + 2, sorted.end()), (Names{L"bob", L"Carl"}));
  EXPECT_EQ(lstrcmpiW(sorted[0].c_str(), L"alice"), 0);
  EXPECT_EQ(lstrcmpiW(sorted[1].c_str(), L"alice"), 0);

  // A contact added later is appended, not sorted in.
  AddContact(L"Aaron", 7, 1);
  EXPECT_EQ(RowNames().back(), L"Aaron");

  ASSERT_TRUE(list.SortBy(SortMode::None));
  EXPECT_EQ(RowNames(), (Names{L"bob", L"Carl", L"alice", L"Alice", L"Aaron"}));
}

TEST_F(Ordering, NameOrderAgreesWithTheCaseBlindComparisonOfEveryPair) {
  const Names names{L"\u00c9mile", L"emma",        L"Zo\u00eb",   L"zoe",     L"O'Brien", L"obrien",
                    L"Anna-Lena",  L"anna lena",   L"10 Downing", L"9 Lives", L"",        L"\u041a\u0430\u0442\u044f",
                    L"\u00e5sa",   L"Aaron",       L"aaron",      L"\u00df",  L"ss",      L"Stra\u00dfe",
                    L"strasse",    L"\u00d8ystein"};
  for (const std::wstring& name : names) AddContact(name, 7, 1);
  ASSERT_TRUE(list.SortBy(SortMode::Name));
  const Names sorted = RowNames();
  ASSERT_EQ(sorted.size(), names.size());
  for (size_t i = 0; i + 1 < sorted.size(); ++i)
    for (size_t j = i + 1; j < sorted.size(); ++j)
      EXPECT_LE(lstrcmpiW(sorted[i].c_str(), sorted[j].c_str()), 0) << "row " << i << " before row " << j;
}

TEST_F(Ordering, ContactInPutsTheMostOverdueFirst) {
  AddContact(L"in 5", 7, 2);
  AddContact(L"overdue 3", 7, 10);
  AddContact(L"today", 7, 7);
  ASSERT_TRUE(list.SortBy(SortMode::ContactIn));
  EXPECT_EQ(RowNames(), (Names{L"overdue 3", L"today", L"in 5"}));
}

TEST_F(Ordering, PriorityPutsExpiredThenWarningThenTheRest) {
  AddContact(L"normal in 21", 30, 9);
  AddContact(L"warning in 1", 10, 9);
  AddContact(L"expired 1", 7, 8);
  AddContact(L"expired 10", 7, 17);
  list.SetDisplaySettings(75, 2, true);
  ASSERT_TRUE(list.SortBy(SortMode::Priority));
  EXPECT_EQ(RowNames(), (Names{L"expired 10", L"expired 1", L"warning in 1", L"normal in 21"}));

  // The class decides before the days: a contact 80% through its interval
  // goes before a normal one with fewer days left.
  AddContact(L"warning in 20 (80%)", 100, 80);
  AddContact(L"normal in 10 (75%)", 40, 30);
  ASSERT_TRUE(list.SortBy(SortMode::Priority));
  EXPECT_EQ(RowNames(), (Names{L"expired 10", L"expired 1", L"warning in 1", L"warning in 20 (80%)",
                               L"normal in 10 (75%)", L"normal in 21"}));
  ASSERT_TRUE(list.SortBy(SortMode::ContactIn));
  EXPECT_EQ(RowNames(), (Names{L"expired 10", L"expired 1", L"warning in 1", L"normal in 10 (75%)",
                               L"warning in 20 (80%)", L"normal in 21"}));

  // The warning levels are the list's settings: with levels nothing reaches,
  // Priority falls back to days left behind the expired ones.
  list.SetDisplaySettings(100, -1000, true);
  ASSERT_TRUE(list.SortBy(SortMode::None));
  ASSERT_TRUE(list.SortBy(SortMode::Priority));
  const Names names = RowNames();
  EXPECT_EQ(Names(names.begin(), names.begin() + 4),
            (Names{L"expired 10", L"expired 1", L"warning in 1", L"normal in 10 (75%)"}));
}

TEST_F(Ordering, OneRowListAndEmptyList) {
  EXPECT_TRUE(list.SortBy(SortMode::Priority));
  EXPECT_EQ(list.GetSortMode(), SortMode::Priority);
  AddContact(L"Only", 7, 1);
  EXPECT_TRUE(list.SortBy(SortMode::Name));
  EXPECT_EQ(list.GetSortMode(), SortMode::Name);
  EXPECT_EQ(RowNames(), (Names{L"Only"}));
}

// Thousands of rows, most names shared: equal names keep the order they had,
// ascending and descending, and the selection stays on its contact.
TEST_F(Ordering, ALongListSortsStablyAndTheSelectionStaysWithItsContact) {
  contacts->notifyWindow = nullptr;
  const Names choices{L"maria", L"Jonas", L"ANNA", L"jonas", L"Maria", L"Zoe", L"anna"};
  constexpr int kRows = 3001;
  for (int i = 0; i < kRows; ++i) {
    contacts->Add(choices[static_cast<size_t>((i * 5) % 7)], L"", Days, 1 + i % 9, now - (i % 11) * kDay, L"", -1);
    list.InsertContactRow(*contacts->items.back());
  }
  const std::int32_t chosen = list.RowContact(1234)->id;
  list.SetItemState(1234, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);

  auto expectOrder = [&](bool descending) {
    ASSERT_EQ(list.GetItemCount(), kRows);
    for (int row = 1; row < kRows; ++row) {
      const Contact& a = *list.RowContact(row - 1);
      const Contact& b = *list.RowContact(row);
      const int byName = lstrcmpiW(a.name.c_str(), b.name.c_str());
      ASSERT_TRUE(descending ? byName >= 0 : byName <= 0) << row;
      if (byName == 0) {
        ASSERT_LT(a.id, b.id) << "equal names keep their order, row " << row;
      }
    }
    const int selected = list.GetSelectedIndex();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(list.RowContact(selected)->id, chosen);
    EXPECT_EQ(list.GetNextItem(selected, LVNI_SELECTED), -1) << "one row selected";
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), selected);
  };
  ASSERT_TRUE(list.SortBy(SortMode::Name));
  expectOrder(false);
  ASSERT_TRUE(list.SortBy(SortMode::None));
  list.SetSortMode(SortMode::Name);
  ASSERT_TRUE(list.DoSortItems(0, true));
  expectOrder(true);
  ASSERT_TRUE(list.SortBy(SortMode::None));
  for (int row = 1; row < kRows; ++row) ASSERT_LT(list.RowContact(row - 1)->id, list.RowContact(row)->id);
}

TEST_F(Ordering, ASortReadsTheClockOnce) {
  for (int i = 0; i < 8; ++i) AddContact(L"c" + std::to_wstring(i), 7 + i, 3 * i);
  int reads = 0;
  // A clock that moves a day at every reading would reorder rows mid-sort.
  list.SetClock([&] { return kNow + kDay * reads++; });
  ASSERT_TRUE(list.SortBy(SortMode::Priority));
  EXPECT_EQ(reads, 1);
  // Each row compares by days left against the one reading: a total order.
  for (int row = 1; row < list.GetItemCount(); ++row)
    EXPECT_LE(list.CompareRows(*list.RowContact(row - 1), *list.RowContact(row), kNow), 0) << row;
}

}  // namespace
}  // namespace test
