#pragma once
// What the main window's tests share: the settings folder beside the test
// executable, emptied around each case, and the window under test.
#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "model/platform.h"

namespace apptest {

inline std::filesystem::path SettingsFolder() {
  return std::filesystem::path(platform::ExecutablePath()).parent_path() / L"settings";
}

// Runs what is queued for this thread; a quit message is dropped.
inline void PumpMessages() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

struct TabInfo {
  std::wstring text;
  LPARAM id;
};

// The tabs of a tab control, in order.
inline std::vector<TabInfo> Tabs(HWND tabs) {
  std::vector<TabInfo> result;
  const int count = TabCtrl_GetItemCount(tabs);
  for (int index = 0; index < count; ++index) {
    wchar_t text[2048] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = 2048;
    SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    result.push_back(TabInfo{text, item.lParam});
  }
  return result;
}

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(SettingsFolder());
    std::filesystem::create_directories(SettingsFolder());
    platform::SetAutoStartEntry(false);
  }
  void TearDown() override {
    if (window_ && window_->m_hWnd) DestroyWindow(window_->m_hWnd);
    window_.reset();
    Drain();
    std::filesystem::remove_all(SettingsFolder());
  }
  // What the window's tear-down left queued.
  virtual void Drain() { PumpMessages(); }

  HWND Start() {
    window_ = std::make_unique<DlgCorvane>();
    HWND window = window_->Create(nullptr);
    EXPECT_NE(window, nullptr);
    return window;
  }

  Engine& engine() { return window_->SessionForTesting().GetEngine(); }
  DataSession& session() { return window_->SessionForTesting(); }
  // What the files hold once the writer has written what the window handed it.
  Engine SavedData() {
    if (window_) session().WaitForWriter();
    Engine saved;
    saved.Load();
    return saved;
  }
  GroupTabs& groupTabs() { return window_->TabsForTesting(); }

  // A group's panel, made as selecting its tab would, and kept alive for the
  // rest of the case.
  DlgGroupEntry& GroupPanel(int id) {
    GroupEntriesWindowManager::Panel panel;
    EXPECT_TRUE(groupTabs().Panels().Find(id, panel));
    EXPECT_EQ(groupTabs().GroupPanel(id), panel.get());
    groupPanels_.push_back(panel);
    return *panel;
  }

  // Selects a tab as a click on it does.
  void SelectTab(int index) {
    TabCtrl_SetCurSel(groupTabs().Control(), index);
    NMHDR header{groupTabs().Control(), IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(window_->m_hWnd, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
  }

  std::unique_ptr<DlgCorvane> window_;
  std::vector<GroupEntriesWindowManager::Panel> groupPanels_;
};

}  // namespace apptest
