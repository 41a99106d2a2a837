#include "app/dlg_corvane.h"

#include <string>
#include <vector>

#include "app/main_menus.h"
#include "app/window_placement.h"
#include "framework/dpi.h"
#include "interchange/import_files.h"

namespace {

// Sizes given at 96 dots per inch; each icon holds a picture for every usual scale.
UniqueIcon LoadIconResource(int id, int size96, int dpi) {
  return framework::LoadIconForDpi(framework::ResourceInstance(), id, size96, dpi);
}

BOOL CALLBACK TellChildOfDpiChange(HWND child, LPARAM) {
  ::SendMessageW(child, framework::kDpiChangedAfterParent, 0, 0);
  return TRUE;
}

placement::Rect FromRect(const RECT& rect) { return placement::Rect{rect.left, rect.top, rect.right, rect.bottom}; }
RECT ToRect(const placement::Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

DlgCorvane::DlgCorvane()
    : tabs_(session_.GetEngine().groups, session_.GetEngine().contacts, session_.GetEngine().options),
      commands_(session_, tabs_),
      outside_(session_, tabs_),
      find_(tabs_) {}

DlgCorvane::~DlgCorvane() = default;

BOOL DlgCorvane::OnInitDialog(HWND, LPARAM) {
  session_.SetWindow(m_hWnd);
  commands_.SetWindow(m_hWnd);
  session_.Load();
  AttachControls();
  // The icon is added with the look of who is due now.
  reminders_.Start(m_hWnd);
  tray_.Add(m_hWnd, TRAY_ICON_ID, WM_TRAYNOTIFY, tray_.Icon(), tray_.Tip());
  commands_.onStatusesChanged = [this] { reminders_.DataChanged(); };
  commands_.onRemindersChanged = [this] { reminders_.SettingsChanged(); };
  outside_.onTakenIn = [this] { reminders_.DataChanged(); };
  if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE)) {
    InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_ABOUT, kAboutText);
    InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_SYSTEM_RESTORE_BACKUP, kRestoreBackupText);
    InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_SYSTEM_IMPORT_CONTACTS, kImportContactsText);
    InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_SYSTEM_EXPORT_CONTACTS, kExportContactsText);
  }
  DragAcceptFiles(m_hWnd, TRUE);

  // The model tells this window of every change; the tabs pass it on.
  session_.SendChangesTo(m_hWnd);
  tabs_.Build(m_hWnd, GetDlgItem(IDC_TABS), commands_);
  outside_.Start(m_hWnd, WM_DATA_FOLDER_CHANGED);
  find_.Attach(GetDlgItem(IDC_FIND));
  find_.PrepareTexts(session_.GetEngine().contacts);
  keyboard_ = KeyboardFilter(
      m_hWnd, find_.Field(),
      KeyboardFilter::Actions{[this] { find_.Focus(); }, [this] { find_.Clear(); }, [this] { find_.OpenFirst(); },
                              [this](int step) { tabs_.SelectNext(step); }, [this] { commands_.OpenHelp(); }});

  DlgResize_Init();
  PlaceWindow();
  // Told once the window is on screen, not from inside its creation.
  if (session_.HasLoadProblems()) PostMessage(WM_SHOW_LOAD_PROBLEMS);
  OnFocusWindow();
  return FALSE;
}

void DlgCorvane::AttachControls() {
  ModifyStyle(WS_CLIPSIBLINGS, 0);

  addContactButton_.Attach(GetDlgItem(IDC_ADD_CONTACT));
  addGroupButton_.Attach(GetDlgItem(IDC_ADD_GROUP));
  optionsButton_.Attach(GetDlgItem(IDC_OPTIONS));
  LoadPictures();

  helpButton_.Attach(GetDlgItem(IDC_HELP_LINK));
  helpButton_.SetText(L"Help");
  helpButton_.SetBackground(GetSysColor(COLOR_BTNFACE));

  CWindow(GetDlgItem(IDC_TABS)).ModifyStyle(WS_CLIPSIBLINGS, 0);
  // The panels are the tab control's children: Tab goes into them through it.
  CWindow(GetDlgItem(IDC_TABS)).ModifyStyleEx(0, WS_EX_CONTROLPARENT);
}

void DlgCorvane::LoadPictures() {
  const int dpi = framework::DpiForWindow(m_hWnd);
  const WTL_EX::MenuStrips strips{IDB_MENU, IDB_MENU_20, IDB_MENU_24, IDB_MENU_32};
  menuImages_ = WTL_EX::LoadMenuImages(WTL_EX::MenuStripForDpi(strips, dpi));

  smallIcon_ = LoadIconResource(IDI_APP, 16, dpi);
  largeIcon_ = LoadIconResource(IDI_APP, 32, dpi);
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));

  addContactButton_.SetIcon(LoadIconResource(IDI_ADD_CONTACT, 16, dpi));
  addGroupButton_.SetIcon(LoadIconResource(IDI_ADD_GROUP, 16, dpi));
  optionsButton_.SetIcon(LoadIconResource(IDI_OPTIONS, 16, dpi));
}

void DlgCorvane::PlaceWindow() {
  const auto onSomeMonitor = [](const placement::Rect& rect) {
    const RECT saved = ToRect(rect);
    return MonitorFromRect(&saved, MONITOR_DEFAULTTONULL) != nullptr;
  };
  if (const auto saved = placement::RestoredRect(*session_.GetEngine().options, onSomeMonitor)) {
    MoveWindow(saved->left, saved->top, saved->Width(), saved->Height(), FALSE);
    return;
  }
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame{};
  GetWindowRect(&frame);
  const placement::Rect placed = placement::CentredDefault(FromRect(work), frame.right - frame.left,
                                                           frame.bottom - frame.top, framework::DpiForWindow(m_hWnd));
  SetWindowPos(nullptr, placed.left, placed.top, placed.Width(), placed.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void DlgCorvane::StoreWindowRect() {
  RECT frame{};
  if (GetWindowRect(&frame)) placement::StoreRect(FromRect(frame), *session_.GetEngine().options);
}

void DlgCorvane::OnSize(UINT type, SIZE size) {
  BOOL handled = TRUE;
  CDialogResize<DlgCorvane>::OnSize(WM_SIZE, type, MAKELPARAM(size.cx, size.cy), handled);
  tabs_.Layout();
}

void DlgCorvane::OnGetMinMaxInfo(MINMAXINFO* info) {
  if (!info) return;
  const int dpi = framework::DpiForWindow(m_hWnd);
  info->ptMinTrackSize = POINT{placement::AtDpi(placement::kMinWidth, dpi),
                               placement::AtDpi(placement::kMinHeight, dpi)};
}

void DlgCorvane::OnMoving(UINT, RECT* dragged) {
  if (!dragged) return;
  const int snap = placement::AtDpi(placement::kSnapDistance, framework::DpiForWindow(m_hWnd));
  *dragged = ToRect(placement::SnapToEdges(FromRect(*dragged), GetSystemMetrics(SM_CXSCREEN), snap));
}

// Moved to a screen of another scale (or the scale changed): the frame goes
// where the system suggests, and everything drawn in pixels follows. Systems
// before per-monitor v2 tell only this window, so its children are told here;
// each of them does nothing when it already follows the DPI.
void DlgCorvane::OnDpiChanged(UINT, const RECT* suggested) {
  if (suggested)
    SetWindowPos(nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  LoadPictures();
  EnumChildWindows(m_hWnd, TellChildOfDpiChange, 0);
  tabs_.Layout();
  Invalidate();
}

void DlgCorvane::OnDestroy() {
  StoreWindowRect();
  session_.SavePending();
  outside_.Stop();
  reminders_.Stop();
  tray_.Remove();
  tabs_.DestroyPanels();
  SetMsgHandled(false);
}

void DlgCorvane::Exit() {
  if (m_hWnd) DestroyWindow();
  session_.SaveAll();
  PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 0, 0);
}

BOOL DlgCorvane::OnQueryEndSession(UINT, UINT) {
  // The answer of a dialog is read from the window itself, so a window destroyed
  // here would always answer "no" and veto the log-off. Save everything as the
  // exit would, let the session end, and run the exit right after this answer.
  StoreWindowRect();
  session_.SaveAll();
  PostMessage(WM_CLOSE);
  return TRUE;
}

void DlgCorvane::HideToTray() {
  ShowWindow(SW_HIDE);
  windowShown_ = false;
}

void DlgCorvane::ShowMainWindow() {
  ShowWindow(SW_SHOW);
  windowShown_ = true;
}

void DlgCorvane::OnSysCommand(UINT command, POINT) {
  // The low four bits are the system's own: the caption buttons and the keyboard
  // set them differently for the same command.
  command &= 0xFFF0;
  if ((command == SC_MINIMIZE && session_.GetEngine().options->minimizeToTray) || command == SC_CLOSE)
    HideToTray();
  else if (command == (ID_ABOUT & 0xFFF0))
    commands_.ShowAbout();
  else if (command == (ID_SYSTEM_RESTORE_BACKUP & 0xFFF0))
    RestoreBackup();
  else if (command == (ID_SYSTEM_IMPORT_CONTACTS & 0xFFF0))
    commands_.Run(ID_IMPORT_CONTACTS);
  else if (command == (ID_SYSTEM_EXPORT_CONTACTS & 0xFFF0))
    commands_.Run(ID_EXPORT_CONTACTS);
  else
    SetMsgHandled(false);
}

void DlgCorvane::OnDropFiles(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
    DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
    if (interchange::IsImportFileName(path)) paths.push_back(path);
  }
  DragFinish(drop);
  if (!paths.empty())
    commands_.ImportFiles(paths);
  else if (count > 0)
    ::MessageBoxW(m_hWnd, L"Amicord imports contacts from vCard (.vcf) and CSV (.csv) files.", L"Amicord",
                  MB_OK | MB_ICONINFORMATION);
}

void DlgCorvane::OnSaveData() { session_.SaveAll(); }

void DlgCorvane::OnShowLoadProblems() { session_.ReportLoadProblems(); }

void DlgCorvane::OnDataFolderChanged() { outside_.FolderChanged(); }

void DlgCorvane::OnEnable() { outside_.WindowEnabled(); }

void DlgCorvane::RestoreBackup() {
  if (commands_.RestoreBackup()) outside_.LookNow();
}

void DlgCorvane::OnGroupAdded(const Groups::Item& group) {
  if (!group) return;
  tabs_.AddGroup(*group);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  UpdateWindow();
}

void DlgCorvane::OnGroupRemoved(const Groups::Item& group) {
  if (!group) return;
  // The group's contacts leave its panel while it is still there.
  session_.GetEngine().contacts->RemoveByGroup(group->id);
  tabs_.RemoveGroup(group->id);
}

void DlgCorvane::OnContactAdded(Contact& contact) {
  tabs_.AddContact(contact);
  reminders_.DataChanged();
}

void DlgCorvane::OnContactRemoved(const Contact& contact) {
  tabs_.RemoveContact(contact);
  reminders_.DataChanged();
  PostMessage(WM_SAVE_AFTER_REMOVAL);
}

void DlgCorvane::OnContactUpdated(const Contact& contact) {
  commands_.ContactTicked(contact);
  tabs_.ShowUndo(contact);
  reminders_.DataChanged();
  session_.SaveSoon();
}

void DlgCorvane::OnContactReverted(const Contact& contact) {
  commands_.TickUndone(contact);
  tabs_.HideUndo(contact);
  reminders_.DataChanged();
  session_.SaveSoon();
}

LRESULT DlgCorvane::OnTabSelected(NMHDR*) {
  tabs_.ShowSelected();
  return 0;
}

UniqueMenu DlgCorvane::BuildTabMenu() { return ::BuildTabMenu(*this, menuImages_.get()); }

LRESULT DlgCorvane::OnTabsRightClick(NMHDR*) {
  POINT cursor{};
  GetCursorPos(&cursor);
  POINT inTabs = cursor;
  ::ScreenToClient(tabs_.Control(), &inTabs);
  tabs_.SetHitPoint(inTabs);
  if (UniqueMenu menu = BuildTabMenu()) {
    TrackMenu(menu.get(), cursor.x, cursor.y, m_hWnd);
    DetachImageList(menu.get());
  }
  return 0;
}

UniqueMenu DlgCorvane::BuildTrayMenu() { return ::BuildTrayMenu(*this, menuImages_.get(), windowShown_); }

bool DlgCorvane::BringModalDialogForward() {
  if (::IsWindowEnabled(m_hWnd)) return false;
  HWND popup = ::GetLastActivePopup(m_hWnd);
  if (popup && popup != m_hWnd) {
    if (!windowShown_) ShowMainWindow();
    ::SetForegroundWindow(popup);
  }
  return true;
}

void DlgCorvane::ShowTrayMenu() {
  POINT cursor{};
  GetCursorPos(&cursor);
  if (UniqueMenu menu = BuildTrayMenu()) {
    // Without the foreground the menu would not close on a click elsewhere.
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(menu.get(), TPM_LEFTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
    PostMessage(WM_NULL);
    DetachImageList(menu.get());
  }
}

void DlgCorvane::OnTrayNotify(UINT iconId, UINT mouseMessage) {
  // The menu's commands must not run under an open dialog: exiting there
  // would pull the window out from under it.
  if (mouseMessage == WM_RBUTTONDOWN && iconId == TRAY_ICON_ID && !BringModalDialogForward()) {
    ShowTrayMenu();
  } else if (mouseMessage == WM_LBUTTONDOWN && !windowShown_) {
    BringForward();
  } else if (mouseMessage == WM_LBUTTONDOWN) {
    BringModalDialogForward();
  } else if (mouseMessage == NIN_BALLOONUSERCLICK && iconId == TRAY_ICON_ID) {
    OnNotificationClicked();
  }
}

void DlgCorvane::OnNotificationClicked() {
  BringForward();
  if (!::IsWindowEnabled(m_hWnd) || reminders_.NamedPerson() < 0 || reminders_.ShowNamedPerson()) return;
  // The find field's text hides the person: everyone is shown again.
  find_.Clear();
  reminders_.ShowNamedPerson();
}

void DlgCorvane::BringForward() {
  if (BringModalDialogForward()) return;
  ShowMainWindow();
  if (::IsIconic(m_hWnd)) ShowWindow(SW_RESTORE);
  ::BringWindowToTop(m_hWnd);
  ::SetForegroundWindow(m_hWnd);
}

void DlgCorvane::OnTaskbarCreated() { tray_.AddAgain(); }

UINT DlgCorvane::OnGetDlgCode(const MSG* message) {
  return message && message->message == WM_CHAR ? DLGC_WANTCHARS : 0;
}

void DlgCorvane::OnChar(UINT character, UINT, UINT) {
  // Capital letters only: a plain key press must not open a dialog by accident.
  if (character == L'C') commands_.Run(ID_ADD_CONTACT);
  if (character == L'G') commands_.Run(ID_ADD_GROUP);
  if (character == L'O') commands_.ChangeOptions();
}

// The window itself gets the focus when no control of it holds one (at the
// start, and when activated before any control had it). The tabs take it, as
// before the find field came first in the Tab order: capital letters are
// commands until Ctrl+F or a click puts the focus in the field.
void DlgCorvane::OnFocusWindow() { ::SetFocus(GetDlgItem(IDC_TABS)); }

void DlgCorvane::OnHelp(UINT, int, HWND) { commands_.OpenHelp(); }
void DlgCorvane::OnFindChanged(UINT, int, HWND) { find_.OnTextChanged(); }
void DlgCorvane::OnAddGroupButton(UINT, int, HWND) { commands_.AddGroup(); }
void DlgCorvane::OnAddContactButton(UINT, int, HWND) { commands_.AddContact(); }
void DlgCorvane::OnOptionsButton(UINT, int, HWND) { commands_.ChangeOptions(); }

void DlgCorvane::OnMenuCommand(UINT, int id, HWND) {
  if (id == ID_EXIT)
    Exit();
  else if (id == ID_SHOW_WINDOW)
    BringForward();
  else if (id == ID_RESTORE_BACKUP)
    RestoreBackup();
  else
    commands_.Run(id);
}
