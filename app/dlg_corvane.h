#pragma once
#include "base/windows_api.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>

#include "app/group_entries_window_manager.h"
#include "controls/flat_buttons.h"
#include "controls/owner_draw_menu.h"
#include "controls/owner_drawn_button.h"
#include "framework/ddx.h"
#include "framework/dialog.h"
#include "framework/dialog_resize.h"
#include "framework/handles.h"
#include "lists/dlg_group_entry.h"
#include "lists/thumbnail_cache.h"
#include "model/engine.h"
#include "model/messages.h"
#include "resource.h"

// Shown once the window is up: what start-up found damaged in the data files.
inline constexpr UINT WM_SHOW_LOAD_PROBLEMS = WM_APP + 1;
// The notification-area icon and the messages it sends to the main window.
inline constexpr UINT TRAY_ICON_ID = 1230;
inline constexpr UINT WM_TRAYNOTIFY = WM_USER + 207;
// The user guide installed beside the executable.
inline constexpr wchar_t kHelpFileName[] = L"help.html";
// Posted for each contact removal: the collection erases the contact only
// after its removal message returns, so the save must come after that.
inline constexpr UINT WM_SAVE_AFTER_REMOVAL = WM_APP + 2;

// The program's one top-level window: a resizable modeless dialog holding the
// group tabs, the command buttons and all data (through its Engine).
class DlgCorvane : public CDialogImpl<DlgCorvane>,
                   public CDialogResize<DlgCorvane>,
                   public CWinDataExchange<DlgCorvane>,
                   public WTL_EX::COwnerDrawMenu<DlgCorvane>,
                   public PanelOwner {
 public:
  enum { IDD = IDD_MAIN };

  static constexpr int kMinWidth = 400;
  static constexpr int kMinHeight = 600;
  static constexpr int kSnapDistance = 10;
  // Tab text is copied into a buffer of this many characters when inserted,
  // and into a larger one when a group is renamed.
  static constexpr std::size_t kTabTextBuffer = 600;
  static constexpr std::size_t kRenamedTabTextBuffer = 1200;

  DlgCorvane();
  ~DlgCorvane() override;

  BEGIN_MSG_MAP(DlgCorvane)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    MESSAGE_HANDLER(WM_MOVING, OnMoving)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(WM_TRAYNOTIFY, OnTrayNotify)
    MESSAGE_HANDLER(taskbarCreatedMessage_, OnTaskbarCreated)
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    COMMAND_HANDLER(IDC_HELP_LINK, BN_CLICKED, OnHelp)
    COMMAND_HANDLER(IDC_ADD_GROUP, BN_CLICKED, OnAddGroupButton)
    COMMAND_HANDLER(IDC_ADD_CONTACT, BN_CLICKED, OnAddContactButton)
    COMMAND_HANDLER(IDC_OPTIONS, BN_CLICKED, OnOptionsButton)
    COMMAND_RANGE_HANDLER(ID_MENU_FIRST, ID_MENU_LAST, OnMenuCommand)
    NOTIFY_HANDLER(IDC_TABS, NM_RCLICK, OnTabsRightClick)
    NOTIFY_HANDLER(IDC_TABS, TCN_SELCHANGE, OnTabSelected)
    MESSAGE_HANDLER(WM_GROUP_ADDED, OnGroupAdded)
    MESSAGE_HANDLER(WM_GROUP_REMOVED, OnGroupRemoved)
    MESSAGE_HANDLER(WM_CONTACT_ADDED, OnContactAdded)
    MESSAGE_HANDLER(WM_CONTACT_REMOVED, OnContactRemoved)
    MESSAGE_HANDLER(WM_CONTACT_UPDATED, OnContactUpdated)
    MESSAGE_HANDLER(WM_CONTACT_REVERTED, OnContactReverted)
    MESSAGE_HANDLER(WM_SAVE_DATA, OnSaveData)
    MESSAGE_HANDLER(WM_SAVE_AFTER_REMOVAL, OnSaveData)
    MESSAGE_HANDLER(WM_SHOW_LOAD_PROBLEMS, OnShowLoadProblems)
    REFLECT_NOTIFICATIONS()
    CHAIN_MSG_MAP(WTL_EX::COwnerDrawMenu<DlgCorvane>)
  END_MSG_MAP()

  BEGIN_DLGRESIZE_MAP(DlgCorvane)
    DLGRESIZE_CONTROL(IDC_ADD_CONTACT, DLSZ_MOVE_Y)
    DLGRESIZE_CONTROL(IDC_ADD_GROUP, DLSZ_MOVE_Y)
    DLGRESIZE_CONTROL(IDC_OPTIONS, DLSZ_MOVE_Y)
    DLGRESIZE_CONTROL(IDC_HELP_LINK, DLSZ_MOVE_X | DLSZ_MOVE_Y)
    DLGRESIZE_CONTROL(IDC_TABS, DLSZ_SIZE_X | DLSZ_SIZE_Y)
  END_DLGRESIZE_MAP()

  BEGIN_DDX_MAP(DlgCorvane)
  END_DDX_MAP()

  // Writes the three data files; a failure is told to the user once, not at
  // every save, until a save succeeds again.
  bool SaveAll();
  // Destroys the window, saves everything and ends the message loop.
  void Exit();
  void ShowMainWindow();

  // The user's commands, also reached from the tray menu.
  void AddContactCommand();
  void AddGroupCommand();
  void OptionsCommand();
  void EditGroupCommand();
  void DeleteGroupCommand();
  void OpenHelp();
  void ShowAbout();

  // PanelOwner: what the group panels ask for.
  bool EditContact(std::int32_t contactId, HWND dialogParent) override;
  void SaveData() override { SaveAll(); }

  // The tray's popup menu as it would be shown now (built anew each time).
  UniqueMenu BuildTrayMenu();
  // The tab context menu.
  UniqueMenu BuildTabMenu();
  // Where the last right click on the tabs happened, in their client coordinates.
  void SetTabHitPoint(POINT point) { tabHit_ = TCHITTESTINFO{point, 0}; }
  // The folder that holds the data files.
  std::wstring DataFolder() const;
  bool TrayIconAdded() const { return trayIconAdded_; }

  bool IsShown() const { return windowShown_; }
  Engine& GetEngine() { return engine_; }
  HWND Tabs() const { return tabs_; }
  HIMAGELIST MenuImages() const { return menuImages_.get(); }
  const boost::shared_ptr<DlgGroupEntry>& AllPanel() const { return allPanel_; }
  // The row pictures every panel's list shows.
  lists::ThumbnailCache& Thumbnails() { return thumbnails_; }
  const GroupEntriesWindowManager& Panels() const { return panelManager_; }
  // A group's panel, its window made and filled when first needed (its tab
  // selected); null for a group without a panel.
  DlgGroupEntry* GroupPanel(std::int32_t groupId);
  // Every SaveAll call since the window object was made, successful or not.
  int SaveCount() const { return saveCount_; }

  // The page rectangle of the tab control's client area that every panel fills.
  static RECT PanelRect(const RECT& tabClient);

  // Edge snapping of a dragged window rectangle against a screen screenWidth wide.
  static RECT SnapToEdges(RECT dragged, int screenWidth);

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMoving(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSysCommand(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSaveData(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTrayNotify(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTaskbarCreated(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnChar(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHelp(WORD, WORD, HWND, BOOL&);
  LRESULT OnAddGroupButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnAddContactButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnOptionsButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnMenuCommand(WORD, WORD, HWND, BOOL&);
  LRESULT OnTabsRightClick(int, LPNMHDR, BOOL&);
  LRESULT OnShowLoadProblems(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTabSelected(int, LPNMHDR, BOOL&);
  LRESULT OnGroupAdded(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnGroupRemoved(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnContactAdded(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnContactRemoved(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnContactUpdated(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnContactReverted(UINT, WPARAM, LPARAM, BOOL&);

  void AttachControls();
  void PlaceWindow();
  void HideToTray();
  bool AddTrayIcon();
  void RemoveTrayIcon();
  void AddAboutItem();
  // While one of the program's modal dialogs is open the window is disabled:
  // the tray then only brings that dialog forward.
  bool BringModalDialogForward();
  // The group of the tab under the stored hit point; null for "All" or no tab.
  Groups::Item GroupAtTabHitPoint() const;
  void ApplyDisplaySettings();
  void StoreWindowRect();

  void BuildTabs();
  void SetListsRedraw(bool redraw);
  // The "All" panel and every group's panel.
  template <class Action>
  void ForEachPanel(Action action);
  void LayoutPanels();
  void DestroyPanels();
  // Creates a panel's window hidden in the page rectangle, with the data it shows.
  bool CreatePanel(DlgGroupEntry& panel);
  void InsertTab(const std::wstring& text, std::int32_t id);
  int FindTab(std::int32_t id) const;
  std::int32_t TabId(int index) const;
  // The "All" panel and the contact's group panel, where there is one.
  template <class Action>
  void ForContactPanels(const Contact& contact, Action action);

  // Declared in acquisition order; destroyed in reverse.
  WTL_EX::COwnerDrawnButton addContactButton_;
  WTL_EX::COwnerDrawnButton addGroupButton_;
  WTL_EX::COwnerDrawnButton optionsButton_;
  WTL_EX::ButtonEx helpButton_;
  HWND tabs_ = nullptr;  // not owned: a child of the window
  UniqueImageList menuImages_;
  UniqueIcon smallIcon_;
  UniqueIcon largeIcon_;
  const int minTrackWidth_ = kMinWidth;
  const int minTrackHeight_ = kMinHeight;
  Engine engine_;
  boost::shared_ptr<Groups> groups_;
  boost::shared_ptr<Contacts> contacts_;
  // Before the panels, whose lists paint from it.
  lists::ThumbnailCache thumbnails_{32, 32};
  boost::shared_ptr<DlgGroupEntry> allPanel_;
  GroupEntriesWindowManager panelManager_;
  bool windowShown_ = true;
  bool trayIconAdded_ = false;
  TCHITTESTINFO tabHit_{};
  // Sent by the shell when its taskbar was (re)created, e.g. after a restart of it.
  const UINT taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");

  Engine::LoadReport loadReport_;
  bool saveFailureReported_ = false;
  int saveCount_ = 0;
};
