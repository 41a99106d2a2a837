#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <boost/shared_ptr.hpp>

#include "app/group_entries_window_manager.h"
#include "lists/dlg_group_entry.h"

namespace {

class PanelManager : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 600, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host_, nullptr);
    ShowWindow(host_, SW_SHOWNA);  // so that a shown panel is visible
    manager_.allPanel = MakePanel();
  }
  void TearDown() override { DestroyWindow(host_); }

  GroupEntriesWindowManager::Panel MakePanel() {
    GroupEntriesWindowManager::Panel panel(new DlgGroupEntry);
    EXPECT_NE(panel->Create(host_), nullptr);
    EXPECT_FALSE(IsWindowVisible(panel->m_hWnd)) << "panels are created hidden";
    return panel;
  }

  HWND host_ = nullptr;
  GroupEntriesWindowManager manager_;
};

TEST_F(PanelManager, ShowMakesExactlyOnePanelVisibleAndIgnoresRepeatsAndUnknownIds) {
  const auto first = MakePanel();
  const auto second = MakePanel();
  ASSERT_TRUE(manager_.Add(1, first));
  ASSERT_TRUE(manager_.Add(2, second));

  EXPECT_EQ(manager_.ShownId(), manager_.noneId);
  manager_.Show(manager_.allId);
  EXPECT_TRUE(IsWindowVisible(manager_.allPanel->m_hWnd));
  EXPECT_EQ(manager_.ShownWindow(), manager_.allPanel->m_hWnd);

  manager_.Show(2);
  EXPECT_FALSE(IsWindowVisible(manager_.allPanel->m_hWnd));
  EXPECT_TRUE(IsWindowVisible(second->m_hWnd));
  EXPECT_FALSE(IsWindowVisible(first->m_hWnd));
  EXPECT_EQ(manager_.ShownId(), 2);

  // A repeat must not hide and show again: a panel hidden behind the
  // manager's back stays hidden.
  ShowWindow(second->m_hWnd, SW_HIDE);
  manager_.Show(2);
  EXPECT_FALSE(IsWindowVisible(second->m_hWnd));
  ShowWindow(second->m_hWnd, SW_SHOW);

  manager_.Show(77);
  EXPECT_TRUE(IsWindowVisible(second->m_hWnd));
  EXPECT_EQ(manager_.ShownId(), 2);
  EXPECT_EQ(manager_.ShownWindow(), second->m_hWnd);

  manager_.Show(manager_.allId);
  EXPECT_TRUE(IsWindowVisible(manager_.allPanel->m_hWnd));
  EXPECT_FALSE(IsWindowVisible(second->m_hWnd));
}

TEST_F(PanelManager, AddKeepsTheFirstPanelOfAnIdAndNeverTakesTheReservedIds) {
  const auto first = MakePanel();
  const auto second = MakePanel();
  EXPECT_TRUE(manager_.Add(5, first));
  EXPECT_FALSE(manager_.Add(5, second));
  EXPECT_FALSE(manager_.Add(manager_.allId, second));
  EXPECT_FALSE(manager_.Add(manager_.noneId, second));
  EXPECT_EQ(manager_.Count(), 1u);

  GroupEntriesWindowManager::Panel found;
  ASSERT_TRUE(manager_.Find(5, found));
  EXPECT_EQ(found, first);
  HWND window = nullptr;
  ASSERT_TRUE(manager_.FindPanelWindow(5, window));
  EXPECT_EQ(window, first->m_hWnd);

  // The "All" panel lives apart from the group panels.
  EXPECT_FALSE(manager_.Find(manager_.allId, found));
  EXPECT_FALSE(manager_.FindPanelWindow(manager_.allId, window));
  EXPECT_FALSE(manager_.Find(6, found));
}

TEST_F(PanelManager, RemovingTheShownPanelLeavesNothingShownUntilTheNextShow) {
  const auto panel = MakePanel();
  ASSERT_TRUE(manager_.Add(3, panel));
  manager_.Show(3);
  const HWND window = panel->m_hWnd;

  EXPECT_TRUE(manager_.Remove(3));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(manager_.ShownId(), manager_.noneId);
  EXPECT_EQ(manager_.ShownWindow(), nullptr);
  EXPECT_FALSE(IsWindowVisible(manager_.allPanel->m_hWnd));
  EXPECT_FALSE(manager_.Remove(3));
  EXPECT_EQ(manager_.Count(), 0u);

  manager_.Show(manager_.allId);
  EXPECT_TRUE(IsWindowVisible(manager_.allPanel->m_hWnd));
}

TEST_F(PanelManager, RemovingAHiddenPanelDestroysItsWindowAndKeepsTheShownOne) {
  const auto kept = MakePanel();
  const auto removed = MakePanel();
  const auto last = MakePanel();
  ASSERT_TRUE(manager_.Add(1, kept));
  ASSERT_TRUE(manager_.Add(2, removed));
  ASSERT_TRUE(manager_.Add(3, last));
  manager_.Show(1);
  const HWND window = removed->m_hWnd;

  EXPECT_TRUE(manager_.Remove(2));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(kept->m_hWnd));
  EXPECT_EQ(manager_.ShownId(), 1);
  EXPECT_EQ(removed.use_count(), 1) << "the manager let go of its share";

  GroupEntriesWindowManager::Panel found;
  EXPECT_TRUE(manager_.Find(3, found)) << "later entries keep their place";
  EXPECT_EQ(found, last);
}

}  // namespace
