#include "app/group_entries_window_manager.h"

#include <algorithm>

#include "lists/dlg_group_entry.h"

std::vector<std::pair<std::int32_t, GroupEntriesWindowManager::Panel>>::const_iterator
GroupEntriesWindowManager::FindEntry(std::int32_t groupId) const {
  return std::find_if(entries_.begin(), entries_.end(),
                      [groupId](const std::pair<std::int32_t, Panel>& entry) { return entry.first == groupId; });
}

bool GroupEntriesWindowManager::Add(std::int32_t groupId, Panel panel) {
  // The two reserved ids never name a group; an entry under one would shadow them.
  if (groupId == noneId || groupId == allId) return false;
  if (FindEntry(groupId) != entries_.end()) return false;
  entries_.emplace_back(groupId, std::move(panel));
  return true;
}

bool GroupEntriesWindowManager::Remove(std::int32_t groupId) {
  const auto at = FindEntry(groupId);
  if (at == entries_.end()) return false;
  if (shownId_ == groupId) {
    shownId_ = noneId;
    shownWindow_ = nullptr;
  }
  // The panel owns its window; the shown window, when it was this group's, is that one.
  const Panel panel = at->second;
  if (panel && panel->m_hWnd) panel->DestroyWindow();
  entries_.erase(at);
  return true;
}

void GroupEntriesWindowManager::ShowOnly(std::int32_t id, HWND window) {
  if (shownId_ != noneId && ::IsWindow(shownWindow_)) ::ShowWindow(shownWindow_, SW_HIDE);
  ::ShowWindow(window, SW_SHOW);
  shownId_ = id;
  shownWindow_ = window;
}

void GroupEntriesWindowManager::Show(std::int32_t id) {
  if (id == shownId_) return;
  if (id == allId) {
    ShowOnly(allId, allPanel ? allPanel->m_hWnd : nullptr);
    return;
  }
  const auto at = FindEntry(id);
  if (at == entries_.end()) return;
  ShowOnly(id, at->second ? at->second->m_hWnd : nullptr);
}

bool GroupEntriesWindowManager::Find(std::int32_t groupId, Panel& panel) const {
  const auto at = FindEntry(groupId);
  if (at == entries_.end()) return false;
  panel = at->second;
  return true;
}

bool GroupEntriesWindowManager::FindPanelWindow(std::int32_t groupId, HWND& window) const {
  const auto at = FindEntry(groupId);
  if (at == entries_.end()) return false;
  window = at->second ? at->second->m_hWnd : nullptr;
  return true;
}
