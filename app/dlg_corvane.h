#pragma once
#include "base/windows_api.h"

#include "app/commands.h"
#include "app/data_session.h"
#include "app/empty_state.h"
#include "app/file_drop.h"
#include "app/find_bar.h"
#include "app/group_tabs.h"
#include "app/keyboard_filter.h"
#include "app/outside_changes.h"
#include "app/reminders.h"
#include "app/sync_runner.h"
#include "app/system_menu.h"
#include "app/tray_controller.h"
#include "controls/flat_buttons.h"
#include "controls/owner_draw_menu.h"
#include "controls/owner_drawn_button.h"
#include "framework/crackers.h"
#include "framework/ddx.h"
#include "framework/dialog.h"
#include "framework/dialog_resize.h"
#include "framework/handles.h"
#include "model/messages.h"
#include "resource.h"

// Shown once the window is up: what start-up found damaged in the data files.
inline constexpr UINT WM_SHOW_LOAD_PROBLEMS = WM_APP + 1;
// Posted by the watch on the settings folder (and by tests) when a file there changed.
inline constexpr UINT WM_DATA_FOLDER_CHANGED = WM_APP + 3;

// The program's one top-level window: a resizable modeless dialog holding the
// find field, the group tabs and the command buttons. It coordinates the parts
// that own the work: the data session (whose change feed the model's messages
// go to, and which the tabs, the find texts, the outside changes and the
// reminders follow), the commands, the tray, the system menu, dropped files
// and the keyboard.
class DlgCorvane : public CDialogImpl<DlgCorvane>,
                   public CDialogResize<DlgCorvane>,
                   public CWinDataExchange<DlgCorvane>,
                   public WTL_EX::COwnerDrawMenu<DlgCorvane> {
 public:
  enum { IDD = IDD_MAIN };

  DlgCorvane();
  ~DlgCorvane() override;

  BEGIN_MSG_MAP(DlgCorvane)
    MSG_WM_INITDIALOG(OnInitDialog)
    MSG_WM_SIZE(OnSize)
    MSG_WM_GETMINMAXINFO(OnGetMinMaxInfo)
    MSG_WM_MOVING(OnMoving)
    MSG_WM_DPICHANGED(OnDpiChanged)
    MSG_WM_DESTROY(OnDestroy)
    MSG_WM_CLOSE(Exit)
    MSG_WM_QUERYENDSESSION(OnQueryEndSession)
    MSG_PLAIN(WM_ENDSESSION, OnEndSession)
    CHAIN_MSG_MAP_MEMBER(systemMenu_)
    CHAIN_MSG_MAP_MEMBER(fileDrop_)
    CHAIN_MSG_MAP_MEMBER(sync_)
    CHAIN_MSG_MAP_MEMBER(reminders_.Moments())
    CHAIN_MSG_MAP_MEMBER(tray_)
    MSG_PLAIN(WM_SETFOCUS, OnFocusWindow)
    MSG_WM_GETDLGCODE(OnGetDlgCode)
    MSG_WM_CHAR(OnChar)
    COMMAND_HANDLER_EX(IDC_FIND, EN_CHANGE, OnFindChanged)
    COMMAND_HANDLER_EX(IDC_HELP_LINK, BN_CLICKED, OnHelp)
    COMMAND_HANDLER_EX(IDC_ADD_GROUP, BN_CLICKED, OnAddGroupButton)
    COMMAND_HANDLER_EX(IDC_ADD_CONTACT, BN_CLICKED, OnAddContactButton)
    COMMAND_HANDLER_EX(IDC_OPTIONS, BN_CLICKED, OnOptionsButton)
    COMMAND_RANGE_HANDLER_EX(ID_MENU_FIRST, ID_MENU_LAST, OnMenuCommand)
    NOTIFY_HANDLER_EX(IDC_TABS, NM_RCLICK, OnTabsRightClick)
    NOTIFY_HANDLER_EX(IDC_TABS, TCN_SELCHANGE, OnTabSelected)
    MSG_WM_GROUP_ADDED(OnGroupAdded)
    MSG_WM_GROUP_REMOVED(OnGroupRemoved)
    MSG_WM_CONTACT_ADDED(OnContactAdded)
    MSG_WM_CONTACT_REMOVED(OnContactRemoved)
    MSG_WM_CONTACT_UPDATED(OnContactUpdated)
    MSG_WM_CONTACT_REVERTED(OnContactReverted)
    MSG_PLAIN(WM_SAVE_DATA, OnSaveData)
    MSG_PLAIN(WM_SAVE_AFTER_REMOVAL, OnSaveData)
    MSG_PLAIN(WM_SAVE_WRITTEN, OnSaveWritten)
    MSG_PLAIN(WM_SHOW_LOAD_PROBLEMS, OnShowLoadProblems)
    MSG_PLAIN(WM_DATA_FOLDER_CHANGED, OnDataFolderChanged)
    MSG_PLAIN(WM_ENABLE, OnEnable)
    REFLECT_NOTIFICATIONS()
    CHAIN_MSG_MAP(WTL_EX::COwnerDrawMenu<DlgCorvane>)
  END_MSG_MAP()

  BEGIN_DLGRESIZE_MAP(DlgCorvane)
    DLGRESIZE_CONTROL(IDC_ADD_CONTACT, DLSZ_MOVE_Y)
    DLGRESIZE_CONTROL(IDC_ADD_GROUP, DLSZ_MOVE_Y)
    DLGRESIZE_CONTROL(IDC_OPTIONS, DLSZ_MOVE_Y)
    DLGRESIZE_CONTROL(IDC_HELP_LINK, DLSZ_MOVE_X | DLSZ_MOVE_Y)
    DLGRESIZE_CONTROL(IDC_FIND, DLSZ_SIZE_X)
    DLGRESIZE_CONTROL(IDC_TABS, DLSZ_SIZE_X | DLSZ_SIZE_Y)
  END_DLGRESIZE_MAP()

  BEGIN_DDX_MAP(DlgCorvane)
  END_DDX_MAP()

  // Destroys the window, saves everything and ends the message loop.
  void Exit();

  // The tray's popup menu as it would be shown now (built anew each time).
  UniqueMenu BuildTrayMenu() { return tray_.BuildMenu(); }
  // The tab context menu.
  UniqueMenu BuildTabMenu();

  // The keys of the main window, for the message loop's filter chain.
  KeyboardFilter& Keyboard() { return keyboard_; }

  // What tests read and drive; the program itself goes through messages.
  FindBar& FindForTesting() { return find_; }
  DataSession& SessionForTesting() { return session_; }
  GroupTabs& TabsForTesting() { return tabs_; }
  EmptyState& EmptyStateForTesting() { return emptyState_; }
  OutsideChanges& OutsideChangesForTesting() { return outside_; }
  Reminders& RemindersForTesting() { return reminders_; }
  TrayController& TrayForTesting() { return tray_; }
  SyncRunner& SyncForTesting() { return sync_; }
  // What the address book's settings ask of the background sync.
  SyncControl& Sync() { return sync_; }
  bool ShownForTesting() const { return tray_.WindowShown(); }
  HIMAGELIST MenuImagesForTesting() const { return menuImages_.get(); }

 private:
  BOOL OnInitDialog(HWND focus, LPARAM initParam);
  void OnSize(UINT type, SIZE size);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  void OnMoving(UINT edge, RECT* dragged);
  void OnDpiChanged(UINT dpi, const RECT* suggested);
  void OnDestroy();
  BOOL OnQueryEndSession(UINT source, UINT logoff);
  UINT OnGetDlgCode(const MSG* message);
  void OnChar(UINT character, UINT repeat, UINT flags);
  void OnHelp(UINT code, int id, HWND control);
  void OnFindChanged(UINT code, int id, HWND control);
  void OnFocusWindow();
  void OnAddGroupButton(UINT code, int id, HWND control);
  void OnAddContactButton(UINT code, int id, HWND control);
  void OnOptionsButton(UINT code, int id, HWND control);
  void OnMenuCommand(UINT code, int id, HWND control);
  LRESULT OnTabsRightClick(NMHDR* header);
  LRESULT OnTabSelected(NMHDR* header);
  void OnGroupAdded(const Groups::Item& group);
  void OnGroupRemoved(const Groups::Item& group);
  void OnContactAdded(Contact& contact);
  void OnContactRemoved(const Contact& contact);
  void OnContactUpdated(const Contact& contact);
  void OnContactReverted(const Contact& contact);
  void OnSaveWritten();
  void OnEndSession();
  void OnSaveData();
  void OnShowLoadProblems();
  void OnDataFolderChanged();
  void OnEnable();

  void AttachControls();
  // The window's icons, the buttons' icons and the menu pictures, at the window's DPI.
  void LoadPictures();
  void PlaceWindow();
  void StoreWindowRect();
  void TellContact(Change::Kind kind, const Contact& contact);

  // Declared in acquisition order; destroyed in reverse. Each part that
  // follows the data subscribes to the session's changes as it is made, so
  // the parts hear of a change in this order.
  DataSession session_;
  GroupTabs tabs_{session_};
  Commands commands_{session_, tabs_};
  EmptyState emptyState_{session_, tabs_, commands_};
  FindBar find_{session_, tabs_};
  OutsideChanges outside_{session_};
  WTL_EX::COwnerDrawnButton addContactButton_;
  WTL_EX::COwnerDrawnButton addGroupButton_;
  WTL_EX::COwnerDrawnButton optionsButton_;
  WTL_EX::ButtonEx helpButton_;
  UniqueImageList menuImages_;
  UniqueIcon smallIcon_;
  UniqueIcon largeIcon_;
  TrayController tray_;
  Reminders reminders_{session_, tabs_, find_, tray_.Icon()};
  SyncRunner sync_{session_, tabs_, tray_.Icon()};
  SystemMenu systemMenu_{*this, session_, commands_, tray_};
  FileDrop fileDrop_{*this, commands_};
  KeyboardFilter keyboard_{*this, find_, tabs_, commands_};
};
