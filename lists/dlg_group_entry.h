#pragma once
#include "base/windows_api.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "controls/flat_buttons.h"
#include "controls/owner_draw_menu.h"
#include "framework/dialog.h"
#include "framework/crackers.h"
#include "framework/dialog_resize.h"
#include "framework/handles.h"
#include "lists/group_entry_list_view.h"
#include "lists/panel_owner.h"
#include "lists/selection_menu.h"
#include "lists/thumbnail_cache.h"
#include "model/contact_ordering.h"
#include "model/contacts.h"
#include "model/groups.h"
#include "resource.h"

// Commands of the panel's context and sort menus.
inline constexpr int ID_CONTACT_FIRST = 1440;
inline constexpr int ID_CONTACT_OPEN = 1441;
inline constexpr int ID_CONTACT_DELETE = 1442;
inline constexpr int ID_SORT_NONE = 1443;
inline constexpr int ID_SORT_NAME = 1444;
inline constexpr int ID_SORT_CONTACT_IN = 1445;
inline constexpr int ID_SORT_PRIORITY = 1446;
inline constexpr int ID_CONTACT_LAST = 1447;
// What a click on the row's tick box does (also Ctrl+Enter).
inline constexpr int ID_CONTACT_CONTACTED = 1448;
// "Export Selected...", for several selected rows.
inline constexpr int ID_CONTACT_EXPORT = 1449;
// The journal's commands of the context menu; the ends do nothing.
inline constexpr int ID_JOURNAL_FIRST = 1450;
inline constexpr int ID_CONTACT_LOG = 1451;
inline constexpr int ID_CONTACT_HISTORY = 1452;
inline constexpr int ID_SNOOZE_TOMORROW = 1453;
inline constexpr int ID_SNOOZE_THREE_DAYS = 1454;
inline constexpr int ID_SNOOZE_WEEK = 1455;
inline constexpr int ID_SNOOZE_CHOOSE = 1456;
inline constexpr int ID_SNOOZE_STOP = 1457;
inline constexpr int ID_JOURNAL_LAST = 1458;
// "Call ..." for each phone and "E-mail ..." for each address the menu lists.
inline constexpr std::size_t kReachMenuItems = 5;
inline constexpr int ID_CALL_FIRST = 1460;
inline constexpr int ID_EMAIL_FIRST = ID_CALL_FIRST + static_cast<int>(kReachMenuItems);
inline constexpr int ID_REACH_LAST = ID_EMAIL_FIRST + static_cast<int>(kReachMenuItems) - 1;

// The page of one tab: the "Sort by:" button and the contact list. It does not
// know which group it shows; the main window decides which contacts it lists.
class DlgGroupEntry : public CDialogImpl<DlgGroupEntry>,
                      public CDialogResize<DlgGroupEntry>,
                      public WTL_EX::COwnerDrawMenu<DlgGroupEntry> {
 public:
  enum { IDD = IDD_GROUP_ENTRY };

  DlgGroupEntry() = default;
  ~DlgGroupEntry() override;

  BEGIN_MSG_MAP(DlgGroupEntry)
    MSG_WM_INITDIALOG(OnInitDialog)
    MSG_WM_SIZE(OnSize)
    COMMAND_HANDLER_EX(IDC_SORT, BN_CLICKED, OnSortButton)
    COMMAND_ID_HANDLER_EX(ID_CONTACT_CONTACTED, OnContactedCommand)
    COMMAND_ID_HANDLER_EX(ID_CONTACT_EXPORT, OnExportCommand)
    COMMAND_RANGE_HANDLER_EX(lists::kFirstMoveCommand, lists::kLastMoveCommand, OnMoveCommand)
    COMMAND_RANGE_HANDLER_EX(ID_CONTACT_FIRST, ID_CONTACT_LAST, OnMenuCommand)
    COMMAND_RANGE_HANDLER_EX(ID_JOURNAL_FIRST, ID_JOURNAL_LAST, OnJournalCommand)
    COMMAND_RANGE_HANDLER_EX(ID_CALL_FIRST, ID_REACH_LAST, OnReachCommand)
    NOTIFY_HANDLER_EX(IDC_CONTACT_LIST, NM_RCLICK, OnListRightClick)
    NOTIFY_HANDLER_EX(IDC_CONTACT_LIST, NM_DBLCLK, OnListDoubleClick)
    MSG_WM_CONTEXTMENU(OnContextMenu)
    REFLECT_NOTIFICATIONS()
    CHAIN_MSG_MAP(WTL_EX::COwnerDrawMenu<DlgGroupEntry>)
  END_MSG_MAP()

  BEGIN_DLGRESIZE_MAP(DlgGroupEntry)
    DLGRESIZE_CONTROL(IDC_CONTACT_LIST, DLSZ_SIZE_X | DLSZ_SIZE_Y)
  END_DLGRESIZE_MAP()

  // The collections the rows refer to; also what deleting acts on.
  void SetCollections(boost::shared_ptr<Groups> groups, boost::shared_ptr<Contacts> contacts);
  void SetDisplaySettings(int warnPercent, int warnDays, bool showLastContacted);
  // The row pictures, shared with the other panels (not owned; null: no
  // pictures). Set before Create.
  void SetThumbnails(lists::ThumbnailCache* cache) { list_.SetThumbnails(cache); }
  // Who opens contacts and saves for the panel (not owned; null: rows only).
  void SetOwner(PanelOwner* owner) {
    owner_ = owner;
    list_.SetJournal(owner ? owner->ContactJournal() : nullptr);
  }

  // No duplicate test and no sort: the row goes at the end.
  bool AddContact(Contact* contact);
  // These find the contact's row by id; false when it has none.
  bool RemoveContact(const Contact& contact);
  // The rows of many contacts at once; false when the panel has no list.
  bool RemoveContacts(const std::unordered_set<std::int32_t>& ids);
  bool ShowUndo(const Contact& contact);
  bool HideUndo(const Contact& contact);

  // What the context menu, the sort menu and the keys do, for the main window
  // to call. Open, Tick and Delete act on the selected row and do nothing
  // without one; Delete asks first. With several rows selected, Tick and
  // Delete act on all of them (one question), Open on the focused row.
  void SortBy(SortMode mode);
  void Open();
  void Tick();
  void Delete();
  // Selects the row and opens its contact (Enter in the find field opens the
  // first one); false without such a row.
  bool OpenRow(int row);
  // Selects the contact's row alone, gives it the focus mark and scrolls it
  // into view; false when the contact has no row shown.
  bool Select(std::int32_t id);

  GroupEntryListView& List() { return list_; }
  HIMAGELIST MenuImages() const { return menuImages_.get(); }

 private:
  BOOL OnInitDialog(HWND focus, LPARAM initParam);
  void OnSize(UINT type, SIZE size);
  void OnSortButton(UINT code, int id, HWND control);
  void OnMenuCommand(UINT code, int id, HWND control);
  void OnContactedCommand(UINT code, int id, HWND control);
  void OnJournalCommand(UINT code, int id, HWND control);
  void OnReachCommand(UINT code, int id, HWND control);
  // "Call <label> <number>" and "E-mail <address>" for the contact; false when it has neither.
  bool AppendReachItems(HMENU menu, const Contact* contact) const;
  // "Remind Me Later" and its choices; "Stop Snoozing" only for a snoozed contact.
  UniqueMenu BuildSnoozeMenu(const Contact* contact) const;
  LRESULT OnListRightClick(NMHDR* header);
  // The menu key and Shift+F10 (point -1, -1): the menu opens at the selected row.
  void OnContextMenu(HWND window, POINT point);
  void ShowRowMenu(POINT screen);
  void FollowMenuDpi();
  LRESULT OnListDoubleClick(NMHDR* header);

  void OnExportCommand(UINT code, int id, HWND control);
  void OnMoveCommand(UINT code, int id, HWND control);
  // The bulk commands of several selected rows; false with fewer than two.
  bool OnSelectionCommand(int id);
  void ShowSelectionMenu(POINT screen);
  lists::MoveTargets BuildMoveMenu();
  void DeleteSelection();

  Contact* SelectedContact() const;
  // The row Open and History act on: the selected one, or with several the focused one.
  Contact* TargetContact() const;
  bool SeveralSelected() const { return list_.m_hWnd && list_.SelectedCount() > 1; }
  int FindRow(std::int32_t id) const;

  GroupEntryListView list_;
  UniqueImageList menuImages_;
  int menuImagesDpi_ = 0;
  WTL_EX::ButtonSort sortButton_;
  boost::shared_ptr<Groups> groups_;
  boost::shared_ptr<Contacts> contacts_;
  PanelOwner* owner_ = nullptr;            // not owned
  std::vector<std::int32_t> moveTargets_;  // the groups of the last "Move to Group" menu
};
