#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "framework/sort_list_view.h"

namespace {

class TestList : public CSortListViewCtrlImpl<TestList> {
 public:
  int comparisons = 0;
  bool waitCursorSeen = true;
  bool throwOnCompare = false;

  BEGIN_MSG_MAP(TestList)
    CHAIN_MSG_MAP(CSortListViewCtrlImpl<TestList>)
  END_MSG_MAP()

  int CompareItemsCustom(LVCompareParam* a, LVCompareParam* b, int) {
    ++comparisons;
    if (GetCursor() != LoadCursorW(nullptr, IDC_WAIT)) waitCursorSeen = false;
    if (throwOnCompare) throw std::runtime_error("comparison failed");
    const auto x = static_cast<long>(a->dwItemData);
    const auto y = static_cast<long>(b->dwItemData);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
};

class SortListView : public testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent_);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 200, parent_,
                                reinterpret_cast<HMENU>(1014), nullptr, nullptr);
    ASSERT_TRUE(list);
    ASSERT_TRUE(list_.SubclassWindow(list));
    ASSERT_EQ(list_.InsertColumn(0, L"Contact", LVCFMT_LEFT, 200), 0);
  }
  void TearDown() override { DestroyWindow(parent_); }

  std::vector<long> Data() const {
    std::vector<long> data;
    for (int i = 0; i < list_.GetItemCount(); ++i) data.push_back(static_cast<long>(list_.GetItemData(i)));
    return data;
  }
  std::vector<std::wstring> Texts() const {
    std::vector<std::wstring> texts;
    for (int i = 0; i < list_.GetItemCount(); ++i) texts.push_back(list_.GetItemText(i, 0));
    return texts;
  }

  HWND parent_ = nullptr;
  TestList list_;
};

TEST_F(SortListView, CustomCompareSortsRowsByTheirDataWithTheWaitCursor) {
  ASSERT_TRUE(list_.SetColumnSortType(0, LVCOLSORT_CUSTOM));
  for (long value : {30L, 10L, 50L, 20L, 40L}) list_.InsertItem(list_.GetItemCount(), nullptr, value);
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);

  EXPECT_TRUE(list_.DoSortItems(0));
  EXPECT_EQ(Data(), (std::vector<long>{10, 20, 30, 40, 50}));
  EXPECT_GT(list_.comparisons, 0);
  EXPECT_TRUE(list_.waitCursorSeen);
  EXPECT_EQ(GetCursor(), arrow) << "the previous cursor comes back";
  EXPECT_EQ(list_.GetSortColumn(), 0);
  EXPECT_FALSE(list_.IsSortDescending());

  EXPECT_TRUE(list_.DoSortItems(0, true));
  EXPECT_EQ(Data(), (std::vector<long>{50, 40, 30, 20, 10}));
  EXPECT_TRUE(list_.IsSortDescending());
}

TEST_F(SortListView, FewerThanTwoRowsAreNotSorted) {
  ASSERT_TRUE(list_.SetColumnSortType(0, LVCOLSORT_CUSTOM));
  EXPECT_TRUE(list_.DoSortItems(0));
  list_.InsertItem(0, nullptr, 7);
  EXPECT_TRUE(list_.DoSortItems(0));
  EXPECT_EQ(list_.comparisons, 0);
  EXPECT_EQ(Data(), (std::vector<long>{7}));
  EXPECT_EQ(list_.GetSortColumn(), 0);
}

TEST_F(SortListView, UnknownOrUnsortableColumnsAndFailingComparisons) {
  list_.InsertItem(0, L"b", 1);
  list_.InsertItem(1, L"a", 2);
  EXPECT_FALSE(list_.DoSortItems(3));
  ASSERT_TRUE(list_.SetColumnSortType(0, LVCOLSORT_NONE));
  EXPECT_FALSE(list_.DoSortItems(0));
  EXPECT_FALSE(list_.SetColumnSortType(1, LVCOLSORT_TEXT));
  EXPECT_EQ(Data(), (std::vector<long>{1, 2}));

  // A comparison that throws ends as "equal" inside the control, not as a crash.
  ASSERT_TRUE(list_.SetColumnSortType(0, LVCOLSORT_CUSTOM));
  list_.throwOnCompare = true;
  list_.InsertItem(2, L"c", 3);
  EXPECT_TRUE(list_.DoSortItems(0));
  EXPECT_EQ(list_.GetItemCount(), 3);
}

TEST_F(SortListView, TypedSortsCompareTextsAndKeepEachRowsData) {
  list_.InsertItem(0, L"banana", 101);
  list_.InsertItem(1, L"Apple", 102);
  list_.InsertItem(2, L"cherry", 103);
  ASSERT_EQ(list_.GetColumnSortType(0), LVCOLSORT_TEXT) << "new columns sort as text";
  ASSERT_TRUE(list_.SetColumnSortType(0, LVCOLSORT_TEXTNOCASE));
  EXPECT_TRUE(list_.DoSortItems(0));
  EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Apple", L"banana", L"cherry"}));
  EXPECT_EQ(Data(), (std::vector<long>{102, 101, 103}));

  list_.DeleteAllItems();
  list_.InsertItem(0, L"10", 1);
  list_.InsertItem(1, L"9", 2);
  list_.InsertItem(2, L"100", 3);
  list_.InsertItem(3, L"-4", 4);
  ASSERT_TRUE(list_.SetColumnSortType(0, LVCOLSORT_LONG));
  EXPECT_TRUE(list_.DoSortItems(0));
  EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"-4", L"9", L"10", L"100"}));
  EXPECT_EQ(Data(), (std::vector<long>{4, 2, 1, 3}));
}

TEST_F(SortListView, ColumnSortTypesFollowColumnInsertionAndDeletion) {
  ASSERT_TRUE(list_.SetColumnSortType(0, LVCOLSORT_CUSTOM));
  ASSERT_EQ(list_.InsertColumn(0, L"First"), 0);
  EXPECT_EQ(list_.GetColumnSortType(0), LVCOLSORT_TEXT);
  EXPECT_EQ(list_.GetColumnSortType(1), LVCOLSORT_CUSTOM);
  list_.InsertItem(0, L"x", 2);
  list_.InsertItem(1, L"y", 1);
  EXPECT_TRUE(list_.DoSortItems(1));
  EXPECT_EQ(list_.DeleteColumn(0), TRUE);
  EXPECT_EQ(list_.GetColumnSortType(0), LVCOLSORT_CUSTOM);
  EXPECT_EQ(list_.GetSortColumn(), 0);
  EXPECT_EQ(Data(), (std::vector<long>{1, 2}));
}

TEST_F(SortListView, TakingOverAListWithColumnsKnowsThem) {
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_NOCOLUMNHEADER, 0, 0, 100, 100, parent_,
                              nullptr, nullptr, nullptr);
  CListViewCtrl raw(list);
  raw.InsertColumn(0, L"a");
  raw.InsertColumn(1, L"b");
  TestList other;
  ASSERT_TRUE(other.SubclassWindow(list));
  EXPECT_TRUE(other.SetColumnSortType(1, LVCOLSORT_CUSTOM));
  EXPECT_FALSE(other.SetColumnSortType(2, LVCOLSORT_CUSTOM));
  other.DestroyWindow();
}

}  // namespace
