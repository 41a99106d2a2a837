#pragma once
#include "base/windows_api.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "app/change_feed.h"
#include "app/group_entries_window_manager.h"
#include "framework/scheduler.h"
#include "lists/dlg_group_entry.h"
#include "lists/row_details.h"
#include "lists/thumbnail_cache.h"
#include "lists/panel_owner.h"
#include "model/contacts.h"
#include "model/groups.h"
#include "model/options.h"

class DataSession;

// The main window's tab control and the panels behind it: an "All" tab and
// one tab per group, each group's panel made when its tab is first selected.
// The tabs follow the session's changes; each reaches the panels that show
// the contact.
class GroupTabs {
 public:
  // Tab text is copied into a buffer of this many characters when inserted,
  // and into a larger one when a group is renamed.
  static constexpr std::size_t kTabTextBuffer = 600;
  static constexpr std::size_t kRenamedTabTextBuffer = 1200;

  // session is not owned and outlives the tabs.
  explicit GroupTabs(DataSession& session);
  GroupTabs(const GroupTabs&) = delete;
  GroupTabs& operator=(const GroupTabs&) = delete;

  // The "All" tab and panel, a tab for each group and every contact's rows.
  // window is the main window, tabs its tab control (neither owned); owner
  // is what the panels ask to open a contact's dialogs.
  void Build(HWND window, HWND tabs, PanelOwner& owner);
  void DestroyPanels();
  // Fits every made panel to the tab control's page.
  void Layout();
  // The user selected another tab: its panel is made if needed and shown.
  void ShowSelected();

  void AddGroup(const Group& group);
  // Selects "All" first when the group's tab was the selected one.
  void RemoveGroup(std::int32_t groupId);
  void RenameGroup(const Group& group);
  void AddContact(Contact& contact);
  void RemoveContact(const Contact& contact);
  void RemoveContacts(const std::unordered_set<std::int32_t>& ids);
  void ShowUndo(const Contact& contact);
  void HideUndo(const Contact& contact);
  void ApplyDisplaySettings();
  // The find field's text: filters the selected tab's list now and each
  // other list when its tab is selected.
  void SetFilter(const std::wstring& query);
  // A contact's name or notes changed: every list asks its filter again.
  void Refilter(std::int32_t contactId);
  // Selects the next tab (step 1) or the previous one (-1), going round.
  void SelectNext(int step);
  // The "All" tab selected, sorted by priority as its sort button would, and
  // the contact's row selected and in view; false when it has no row shown.
  bool ShowOnAllByPriority(std::int32_t contactId);
  // The panel of the selected tab; null before Build.
  DlgGroupEntry* SelectedPanel();
  // The made panel whose contact list is list; null for any other window.
  DlgGroupEntry* PanelWithList(HWND list);

  // For data read again from the files: ClearRows takes every contact's rows
  // out while those contacts still live; once the collections hold the new
  // data, FollowGroups puts the tabs in the groups' order (a gone group's
  // panel goes, a kept one keeps its panel and its ordering), selects the
  // same group's tab again where it is still there, and adds every row.
  void ClearRows();
  void FollowGroups();

  // Turns every made list's redrawing off or on (on repaints them): around a
  // change to many rows at once.
  void SetListsRedraw(bool redraw);

  // The group of the selected tab; nothing for "All".
  std::optional<std::int32_t> SelectedGroupId() const;
  // Where the last right click on the tabs happened, in their client coordinates.
  void SetHitPoint(POINT point) { hit_ = TCHITTESTINFO{point, 0}; }
  // The id of the tab under the stored hit point; nothing beside every tab.
  std::optional<std::int32_t> IdAtHitPoint() const;

  HWND Control() const { return tabs_; }  // not owned
  // A group's panel, its window made and filled when first needed (its tab
  // selected); null for a group without a panel.
  DlgGroupEntry* GroupPanel(std::int32_t groupId);
  const GroupEntriesWindowManager::Panel& AllPanel() const { return allPanel_; }
  const GroupEntriesWindowManager& Panels() const { return panels_; }
  lists::ThumbnailCache& Thumbnails() { return thumbnails_; }
  // The rows' date marks and the numbers and addresses find reads, shared by every panel.
  const lists::RowDetails& RowDetails() const { return rowDetails_; }
  // Every contact's date marks for today, and the lists repainted: at local
  // midnight, and when a change finds the day has turned.
  void RefreshDates();

  // The page rectangle of the tab control's client area that every panel fills, its
  // margins given at 96 dots per inch and scaled to dpi.
  static RECT PanelRect(const RECT& tabClient, int dpi = 96);

 private:
  void Follow(const Change& change);
  // The rows' date marks follow a new day at the first change told in it.
  void FollowDay();
  // A contact's details changed: its marks and find text are made again.
  void FollowDetails(const Contact& contact);
  void RebuildDetails();
  void ScheduleMidnight();
  // The one place a panel is prepared and its window made: hidden, in the
  // page rectangle, with the data it shows.
  bool CreatePanel(DlgGroupEntry& panel);
  void InsertTab(const std::wstring& text, std::int32_t id);
  int FindTab(std::int32_t id) const;
  std::int32_t TabId(int index) const;
  RECT Page() const;
  // The "All" panel and every group's panel.
  template <class Action>
  void ForEachPanel(Action action);
  // The "All" panel and the contact's group panel, where there is one.
  template <class Action>
  void ForContactPanels(const Contact& contact, Action action);

  DataSession& session_;
  boost::shared_ptr<Groups> groups_;
  boost::shared_ptr<Contacts> contacts_;
  boost::shared_ptr<const Options> options_;
  HWND window_ = nullptr;  // not owned
  HWND tabs_ = nullptr;    // not owned: a child of the window
  PanelOwner* owner_ = nullptr;
  // The row pictures every panel shows; declared before the panels so it outlives them.
  lists::ThumbnailCache thumbnails_{32, 32};
  lists::RowDetails rowDetails_;
  // The minute the day of the rows' date marks was last checked in: a day
  // only turns at a minute's start, and reading the local date for every
  // one of thousands of changes told at once cost more than following them.
  Time dayCheckedMinute_ = -1;
  GroupEntriesWindowManager::Panel allPanel_;
  GroupEntriesWindowManager panels_;
  TCHITTESTINFO hit_{};
  std::wstring filter_;
  framework::ScheduledTask midnight_;
  // Each made panel's selected contacts while the data is read again (the
  // "All" panel under its id): the rows go, the same contacts come back.
  std::unordered_map<std::int32_t, std::vector<std::int32_t>> heldSelection_;
  ChangeFeed::Subscription changes_;
};
