#pragma once
#include "base/windows_api.h"

#include <shellapi.h>

#include "app/commands.h"
#include "app/data_session.h"
#include "app/find_bar.h"
#include "app/group_tabs.h"
#include "app/outside_changes.h"
#include "app/reminders.h"
#include "app/single_instance.h"
#include "app/keyboard_filter.h"
#include "app/tray_icon.h"
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
// The notification-area icon and the messages it sends to the main window.
inline constexpr UINT TRAY_ICON_ID = 1230;
inline constexpr UINT WM_TRAYNOTIFY = WM_USER + 207;
// Posted for each contact removal: the collection erases the contact only
// after its removal message returns, so the save must come after that.
inline constexpr UINT WM_SAVE_AFTER_REMOVAL = WM_APP + 2;
// Posted by the watch on the settings folder (and by tests) when a file there changed.
inline constexpr UINT WM_DATA_FOLDER_CHANGED = WM_APP + 3;

// The program's one top-level window: a resizable modeless dialog holding the
// group tabs and the command buttons. It routes messages to the parts that
// own the work: the data session, the tabs, the commands and the tray icon.
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
    MSG_WM_SYSCOMMAND(OnSysCommand)
    MSG_WM_DROPFILES(OnDropFiles)
    CHAIN_MSG_MAP_MEMBER(reminders_.Moments())
    MSG_NOTIFYICON(WM_TRAYNOTIFY, OnTrayNotify)
    MSG_PLAIN(tray_.TaskbarCreatedMessage(), OnTaskbarCreated)
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
    MSG_PLAIN(WM_SHOW_LOAD_PROBLEMS, OnShowLoadProblems)
    MSG_PLAIN(WM_DATA_FOLDER_CHANGED, OnDataFolderChanged)
    MSG_PLAIN(WM_ENABLE, OnEnable)
    MSG_PLAIN(SingleInstance::ShowMessage(), BringForward)
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
  void ShowMainWindow();
  // Shown, restored when minimised, and in front: the tray's "Show Window",
  // and what a second start on the same data asks for. Under an open dialog
  // the dialog comes forward instead.
  void BringForward();
  // Lets the user put a backup back, then reads it in.
  void RestoreBackup();

  // The tray's popup menu as it would be shown now (built anew each time).
  UniqueMenu BuildTrayMenu();
  // The tab context menu.
  UniqueMenu BuildTabMenu();

  // The keys of the main window, for the message loop's filter chain.
  CMessageFilter& Keyboard() { return keyboard_; }

  // What tests read and drive; the program itself goes through messages.
  FindBar& FindForTesting() { return find_; }
  DataSession& SessionForTesting() { return session_; }
  GroupTabs& TabsForTesting() { return tabs_; }
  OutsideChanges& OutsideChangesForTesting() { return outside_; }
  Reminders& RemindersForTesting() { return reminders_; }
  bool ShownForTesting() const { return windowShown_; }
  HIMAGELIST MenuImagesForTesting() const { return menuImages_.get(); }

 private:
  BOOL OnInitDialog(HWND focus, LPARAM initParam);
  void OnSize(UINT type, SIZE size);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  void OnMoving(UINT edge, RECT* dragged);
  void OnDpiChanged(UINT dpi, const RECT* suggested);
  void OnDestroy();
  BOOL OnQueryEndSession(UINT source, UINT logoff);
  void OnSysCommand(UINT command, POINT point);
  void OnDropFiles(HDROP drop);
  void OnTrayNotify(UINT iconId, UINT mouseMessage);
  void OnNotificationClicked();
  void OnTaskbarCreated();
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
  void OnSaveData();
  void OnShowLoadProblems();
  void OnDataFolderChanged();
  void OnEnable();

  void AttachControls();
  // The window's icons, the buttons' icons and the menu pictures, at the window's DPI.
  void LoadPictures();
  void PlaceWindow();
  void StoreWindowRect();
  void HideToTray();
  void ShowTrayMenu();
  // While one of the program's modal dialogs is open the window is disabled:
  // the tray then only brings that dialog forward.
  bool BringModalDialogForward();

  // Declared in acquisition order; destroyed in reverse.
  DataSession session_;
  GroupTabs tabs_;
  Commands commands_;
  OutsideChanges outside_;
  FindBar find_;
  KeyboardFilter keyboard_;
  WTL_EX::COwnerDrawnButton addContactButton_;
  WTL_EX::COwnerDrawnButton addGroupButton_;
  WTL_EX::COwnerDrawnButton optionsButton_;
  WTL_EX::ButtonEx helpButton_;
  UniqueImageList menuImages_;
  UniqueIcon smallIcon_;
  UniqueIcon largeIcon_;
  TrayIcon tray_;
  Reminders reminders_{session_, tabs_, tray_};
  bool windowShown_ = true;
};
