#include "app/group_tabs.h"

#include <chrono>
#include <utility>
#include <vector>

#include "app/data_session.h"
#include "app/reminder_moments.h"
#include "app/tab_text.h"
#include "framework/dpi.h"

GroupTabs::GroupTabs(DataSession& session)
    : session_(session),
      groups_(session.GetEngine().groups),
      contacts_(session.GetEngine().contacts),
      options_(session.GetEngine().options),
      allPanel_(new DlgGroupEntry),
      changes_(session.Changes().Subscribe([this](const Change& change) { Follow(change); })) {}

void GroupTabs::Follow(const Change& change) {
  using Kind = Change::Kind;
  if (change.kind != Kind::Replacing) FollowDay();
  switch (change.kind) {
    case Kind::GroupAdded:
      if (!change.group) return;
      AddGroup(*change.group);
      ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      ::UpdateWindow(window_);
      return;
    case Kind::GroupRemoved:
      if (change.group) RemoveGroup(change.group->id);
      return;
    case Kind::GroupEdited:
      if (change.group) RenameGroup(*change.group);
      return;
    case Kind::ContactAdded:
      if (!change.added) return;
      rowDetails_.Update(*change.added, *session_.GetEngine().journal);
      AddContact(*change.added);
      return;
    case Kind::ContactRemoved:
      if (!change.contact) return;
      RemoveContact(*change.contact);
      rowDetails_.Forget(change.contact->id);
      return;
    case Kind::ContactsRemoved:
      if (change.removedIds) RemoveContacts(*change.removedIds);
      return;
    case Kind::ContactTicked:
      if (change.contact) ShowUndo(*change.contact);
      return;
    case Kind::TickUndone:
      if (change.contact) HideUndo(*change.contact);
      return;
    case Kind::ContactEdited:
    case Kind::JournalChanged:
      // New details, a new name or new notes may let the contact through the find filter, or not.
      if (change.contact) FollowDetails(*change.contact);
      return;
    case Kind::OptionsChanged:
      ApplyDisplaySettings();
      return;
    case Kind::Replacing:
      ClearRows();
      return;
    case Kind::Reloaded:
      RebuildDetails();
      FollowGroups();
      if (change.optionsReread) ApplyDisplaySettings();
      return;
    case Kind::Imported:
      RefreshDates();
      return;
    case Kind::RemindersChanged:
    case Kind::FilesRestored:
      return;
  }
}

void GroupTabs::FollowDay() {
  const Time now = platform::Now();
  if (now / 60 == dayCheckedMinute_) return;
  dayCheckedMinute_ = now / 60;
  if (rowDetails_.Today() != LocalCalendarDay(now)) RefreshDates();
}

void GroupTabs::FollowDetails(const Contact& contact) {
  rowDetails_.Update(contact, *session_.GetEngine().journal);
  Refilter(contact.id);
  ForContactPanels(contact, [&contact](DlgGroupEntry& panel) {
    const int row = panel.m_hWnd ? panel.List().FindRow(contact.id) : -1;
    if (row >= 0) panel.List().RedrawItems(row, row);
  });
}

void GroupTabs::RebuildDetails() {
  rowDetails_.Rebuild(*contacts_, *session_.GetEngine().journal, LocalCalendarDay(platform::Now()));
}

void GroupTabs::RefreshDates() {
  RebuildDetails();
  ForEachPanel([](DlgGroupEntry& panel) {
    if (!panel.m_hWnd) return;
    // The numbers and addresses find reads may have come with the change too.
    panel.List().RefilterAll();
    panel.List().Invalidate();
  });
  ScheduleMidnight();
}

// A second after midnight, so that the clock reads the new day.
void GroupTabs::ScheduleMidnight() {
  const Time now = platform::Now();
  const Time midnight = ReminderMoments::NextTimeOfDay(now, 0);
  const auto wait = std::chrono::seconds(midnight > now ? midnight - now + 1 : 1);
  midnight_ = framework::ScheduledTask::After(std::chrono::duration_cast<std::chrono::milliseconds>(wait),
                                              [this] { RefreshDates(); });
}

RECT GroupTabs::PanelRect(const RECT& tabClient, int dpi) {
  // Below the row of tabs, whose height grows with the DPI.
  const auto at = [dpi](int pixels) { return framework::Scale(pixels, dpi); };
  return RECT{tabClient.left + at(2), tabClient.top + at(22), tabClient.right - at(4), tabClient.bottom - at(2)};
}

RECT GroupTabs::Page() const {
  RECT client{};
  ::GetClientRect(tabs_, &client);
  return PanelRect(client, framework::DpiForWindow(tabs_));
}

void GroupTabs::Build(HWND window, HWND tabs, PanelOwner& owner) {
  window_ = window;
  tabs_ = tabs;
  owner_ = &owner;
  panels_.allPanel = allPanel_;
  CreatePanel(*allPanel_);
  InsertTab(L"All", panels_.allId);
  panels_.Show(panels_.allId);

  for (const Groups::Item& group : *groups_)
    if (group) AddGroup(*group);
  RebuildDetails();
  ScheduleMidnight();
  // Rows go in with the lists' redrawing off: each row added to a drawing
  // list costs a scroll bar update and an invalidation, which for thousands
  // of contacts is most of the start-up.
  SetListsRedraw(false);
  for (const Contacts::Item& contact : *contacts_)
    if (contact) AddContact(*contact);
  SetListsRedraw(true);
}

bool GroupTabs::CreatePanel(DlgGroupEntry& panel) {
  panel.SetOwner(owner_);
  panel.List().SetRowDetails(&rowDetails_);
  panel.SetThumbnails(&thumbnails_);
  if (!panel.Create(tabs_)) return false;
  panel.SetCollections(groups_, contacts_);
  panel.SetDisplaySettings(options_->warnPercent, options_->warnDays, options_->showLastContacted);
  const RECT page = Page();
  ::MoveWindow(panel.m_hWnd, page.left, page.top, page.right - page.left, page.bottom - page.top, FALSE);
  return true;
}

void GroupTabs::InsertTab(const std::wstring& text, std::int32_t id) {
  wchar_t buffer[kTabTextBuffer] = {};
  const std::wstring fitted = FitTabText(text, kTabTextBuffer);
  fitted.copy(buffer, fitted.size());
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_PARAM;
  item.pszText = buffer;
  item.lParam = id;
  const int count = TabCtrl_GetItemCount(tabs_);
  ::SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&item));
}

std::int32_t GroupTabs::TabId(int index) const {
  TCITEMW item{};
  item.mask = TCIF_PARAM;
  if (!::SendMessageW(tabs_, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    return panels_.noneId;
  return static_cast<std::int32_t>(item.lParam);
}

int GroupTabs::FindTab(std::int32_t id) const {
  const int count = TabCtrl_GetItemCount(tabs_);
  for (int index = 0; index < count; ++index)
    if (TabId(index) == id) return index;
  return -1;
}

template <class Action>
void GroupTabs::ForEachPanel(Action action) {
  action(*allPanel_);
  for (const Groups::Item& group : *groups_) {
    GroupEntriesWindowManager::Panel panel;
    if (group && panels_.Find(group->id, panel) && panel) action(*panel);
  }
}

template <class Action>
void GroupTabs::ForContactPanels(const Contact& contact, Action action) {
  action(*allPanel_);
  GroupEntriesWindowManager::Panel panel;
  if (panels_.Find(contact.groupId, panel) && panel) action(*panel);
}

void GroupTabs::SetListsRedraw(bool redraw) {
  ForEachPanel([redraw](DlgGroupEntry& panel) {
    HWND list = panel.List().m_hWnd;
    if (!list) return;
    ::SendMessageW(list, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    if (redraw) ::InvalidateRect(list, nullptr, TRUE);
  });
}

void GroupTabs::Layout() {
  if (!tabs_) return;
  const RECT page = Page();
  ForEachPanel([&page](DlgGroupEntry& panel) {
    if (panel.m_hWnd)
      ::MoveWindow(panel.m_hWnd, page.left, page.top, page.right - page.left, page.bottom - page.top, TRUE);
  });
}

void GroupTabs::DestroyPanels() {
  ForEachPanel([](DlgGroupEntry& panel) {
    if (panel.m_hWnd) panel.DestroyWindow();
  });
}

void GroupTabs::ShowSelected() {
  const int index = TabCtrl_GetCurSel(tabs_);
  if (index < 0) return;
  const std::int32_t id = TabId(index);
  if (id != panels_.allId) GroupPanel(id);
  panels_.Show(id);
  if (DlgGroupEntry* panel = SelectedPanel()) panel->List().SetFilter(lists::RowFilter(filter_));
}

void GroupTabs::SetFilter(const std::wstring& query) {
  filter_ = query;
  if (DlgGroupEntry* panel = SelectedPanel()) panel->List().SetFilter(lists::RowFilter(filter_));
}

void GroupTabs::Refilter(std::int32_t contactId) {
  ForEachPanel([contactId](DlgGroupEntry& panel) {
    if (panel.m_hWnd) panel.List().Refilter(contactId);
  });
}

void GroupTabs::SelectNext(int step) {
  const int count = TabCtrl_GetItemCount(tabs_);
  if (count <= 1) return;
  const int index = TabCtrl_GetCurSel(tabs_);
  TabCtrl_SetCurSel(tabs_, ((index < 0 ? 0 : index) + step % count + count) % count);
  ShowSelected();
}

bool GroupTabs::ShowOnAllByPriority(std::int32_t contactId) {
  if (!tabs_ || !allPanel_ || !allPanel_->m_hWnd) return false;
  const int all = FindTab(panels_.allId);
  if (all >= 0 && TabCtrl_GetCurSel(tabs_) != all) {
    TabCtrl_SetCurSel(tabs_, all);
    ShowSelected();
  }
  allPanel_->SortBy(SortMode::Priority);
  return allPanel_->Select(contactId);
}

DlgGroupEntry* GroupTabs::SelectedPanel() {
  if (!tabs_) return nullptr;
  const int index = TabCtrl_GetCurSel(tabs_);
  const std::int32_t id = index < 0 ? panels_.allId : TabId(index);
  if (id == panels_.allId) return allPanel_.get();
  GroupEntriesWindowManager::Panel panel;
  return panels_.Find(id, panel) && panel && panel->m_hWnd ? panel.get() : nullptr;
}

DlgGroupEntry* GroupTabs::PanelWithList(HWND list) {
  DlgGroupEntry* found = nullptr;
  ForEachPanel([list, &found](DlgGroupEntry& panel) {
    if (list && panel.m_hWnd && panel.List().m_hWnd == list) found = &panel;
  });
  return found;
}

DlgGroupEntry* GroupTabs::GroupPanel(std::int32_t groupId) {
  GroupEntriesWindowManager::Panel panel;
  if (!panels_.Find(groupId, panel) || !panel) return nullptr;
  if (panel->m_hWnd || !CreatePanel(*panel)) return panel.get();
  // The rows as they would be had the panel been there from the start, in
  // the collection's order; a tick still undoable in "All" is undoable here.
  std::vector<const Contact*> undoable;
  ::SendMessageW(panel->List().m_hWnd, WM_SETREDRAW, FALSE, 0);
  for (const Contacts::Item& contact : *contacts_) {
    if (!contact || contact->groupId != groupId) continue;
    panel->AddContact(contact.get());
    if (allPanel_->List().UndoButton(contact->id)) undoable.push_back(contact.get());
  }
  ::SendMessageW(panel->List().m_hWnd, WM_SETREDRAW, TRUE, 0);
  for (const Contact* contact : undoable) panel->ShowUndo(*contact);
  return panel.get();
}

void GroupTabs::AddGroup(const Group& group) {
  InsertTab(group.name, group.id);
  // Its window comes when the tab is first selected (GroupPanel): each panel
  // is a dialog with its controls, which for many groups was most of the
  // start-up, and a session may never open most of them.
  panels_.Add(group.id, GroupEntriesWindowManager::Panel(new DlgGroupEntry));
}

void GroupTabs::RemoveGroup(std::int32_t groupId) {
  panels_.Remove(groupId);
  const int tab = FindTab(groupId);
  if (tab < 0) return;
  if (TabCtrl_GetCurSel(tabs_) == tab) {
    TabCtrl_SetCurSel(tabs_, 0);
    panels_.Show(TabId(0));
  }
  TabCtrl_DeleteItem(tabs_, tab);
}

void GroupTabs::RenameGroup(const Group& group) {
  const int tab = FindTab(group.id);
  if (tab < 0) return;
  std::wstring buffer = FitTabText(group.name, kRenamedTabTextBuffer);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = &buffer[0];
  ::SendMessageW(tabs_, TCM_SETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
}

void GroupTabs::AddContact(Contact& contact) {
  ForContactPanels(contact, [&contact](DlgGroupEntry& panel) { panel.AddContact(&contact); });
}

void GroupTabs::RemoveContact(const Contact& contact) {
  ForContactPanels(contact, [&contact](DlgGroupEntry& panel) { panel.RemoveContact(contact); });
}

void GroupTabs::RemoveContacts(const std::unordered_set<std::int32_t>& ids) {
  ForEachPanel([&ids](DlgGroupEntry& panel) { panel.RemoveContacts(ids); });
}

void GroupTabs::ShowUndo(const Contact& contact) {
  ForContactPanels(contact, [&contact](DlgGroupEntry& panel) { panel.ShowUndo(contact); });
}

void GroupTabs::HideUndo(const Contact& contact) {
  ForContactPanels(contact, [&contact](DlgGroupEntry& panel) { panel.HideUndo(contact); });
}

void GroupTabs::ApplyDisplaySettings() {
  const Options& options = *options_;
  ForEachPanel([&options](DlgGroupEntry& panel) {
    panel.SetDisplaySettings(options.warnPercent, options.warnDays, options.showLastContacted);
  });
}

// Every row goes: one message a list, where row by row cost a pass over the
// rows each.
void GroupTabs::ClearRows() {
  heldSelection_.clear();
  if (allPanel_->m_hWnd) heldSelection_[panels_.allId] = allPanel_->List().SelectedIds();
  for (const Groups::Item& group : *groups_) {
    GroupEntriesWindowManager::Panel panel;
    if (group && panels_.Find(group->id, panel) && panel && panel->m_hWnd)
      heldSelection_[group->id] = panel->List().SelectedIds();
  }
  ForEachPanel([](DlgGroupEntry& panel) {
    if (panel.List().m_hWnd) panel.List().DeleteAllItems();
  });
}

void GroupTabs::FollowGroups() {
  const std::optional<std::int32_t> selected = SelectedGroupId();
  for (int tab = TabCtrl_GetItemCount(tabs_) - 1; tab > 0; --tab) {
    const std::int32_t id = TabId(tab);
    Groups::Item group;
    if (!groups_->Find(id, group)) panels_.Remove(id);
    TabCtrl_DeleteItem(tabs_, tab);
  }
  int select = 0;
  for (const Groups::Item& group : *groups_) {
    if (!group) continue;
    InsertTab(group->name, group->id);
    if (selected && *selected == group->id) select = TabCtrl_GetItemCount(tabs_) - 1;
    GroupEntriesWindowManager::Panel panel;
    if (!panels_.Find(group->id, panel)) panels_.Add(group->id, GroupEntriesWindowManager::Panel(new DlgGroupEntry));
  }
  // Rows first: a panel made by ShowSelected fills itself.
  SetListsRedraw(false);
  for (const Contacts::Item& contact : *contacts_)
    if (contact) AddContact(*contact);
  SetListsRedraw(true);
  TabCtrl_SetCurSel(tabs_, select);
  ShowSelected();
  for (const auto& held : heldSelection_) {
    GroupEntriesWindowManager::Panel panel;
    DlgGroupEntry* shown = held.first == panels_.allId ? allPanel_.get()
                                                       : (panels_.Find(held.first, panel) ? panel.get() : nullptr);
    if (shown && shown->m_hWnd && !held.second.empty()) shown->List().SelectContacts(held.second);
  }
  heldSelection_.clear();
}

std::optional<std::int32_t> GroupTabs::SelectedGroupId() const {
  const int tab = TabCtrl_GetCurSel(tabs_);
  if (tab < 0) return std::nullopt;
  const std::int32_t id = TabId(tab);
  GroupEntriesWindowManager::Panel panel;
  if (!panels_.Find(id, panel) || !panel) return std::nullopt;
  return id;
}

std::optional<std::int32_t> GroupTabs::IdAtHitPoint() const {
  TCHITTESTINFO hit = hit_;
  const int tab = static_cast<int>(::SendMessageW(tabs_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (tab < 0) return std::nullopt;
  return TabId(tab);
}
