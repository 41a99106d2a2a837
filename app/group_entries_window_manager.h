#pragma once
#include "base/windows_api.h"

#include <cstdint>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>

class DlgGroupEntry;

// Keeps the group panels by group id and decides which panel (or the "All"
// panel) is the one visible page of the tab control.
class GroupEntriesWindowManager {
 public:
  using Panel = boost::shared_ptr<DlgGroupEntry>;

  GroupEntriesWindowManager() = default;
  virtual ~GroupEntriesWindowManager() = default;
  GroupEntriesWindowManager(const GroupEntriesWindowManager&) = delete;
  GroupEntriesWindowManager& operator=(const GroupEntriesWindowManager&) = delete;

  // False, with nothing added, when the id already has a panel.
  bool Add(std::int32_t groupId, Panel panel);
  // Also destroys the panel's window, so no window outlives its object.
  bool Remove(std::int32_t groupId);
  // A group id or allId; an id without a panel leaves the visible panel as it is.
  void Show(std::int32_t id);
  // Neither finds the "All" panel.
  bool Find(std::int32_t groupId, Panel& panel) const;
  bool FindPanelWindow(std::int32_t groupId, HWND& window) const;

  std::int32_t ShownId() const { return shownId_; }
  HWND ShownWindow() const { return shownWindow_; }  // not owned
  std::size_t Count() const { return entries_.size(); }

  const std::int32_t noneId = -1;
  const std::int32_t allId = -2;
  Panel allPanel;

 private:
  std::int32_t shownId_ = -1;
  HWND shownWindow_ = nullptr;  // not owned: a panel's window
  std::vector<std::pair<std::int32_t, Panel>> entries_;

  std::vector<std::pair<std::int32_t, Panel>>::const_iterator FindEntry(std::int32_t groupId) const;
  void ShowOnly(std::int32_t id, HWND window);
};
