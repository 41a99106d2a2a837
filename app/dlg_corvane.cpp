#include "app/dlg_corvane.h"

#include "app/main_menus.h"
#include "app/window_placement.h"
#include "framework/dpi.h"

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
    : tray_(*this,
            TrayController::Menu{[this](bool windowShown) {
                                   return ::BuildTrayMenu(*this, menuImages_.get(), windowShown, sync_.HasAccount());
                                 },
                                 [this](HMENU menu) { DetachImageList(menu); }},
            [this] { reminders_.NotificationClicked(); }) {}

DlgCorvane::~DlgCorvane() = default;

BOOL DlgCorvane::OnInitDialog(HWND, LPARAM) {
  session_.Start(m_hWnd);
  commands_.SetWindow(m_hWnd);
  commands_.SetSyncControl(&sync_);
  AttachControls();
  tabs_.Build(m_hWnd, GetDlgItem(IDC_TABS), commands_);
  emptyState_.Make(GetDlgItem(IDC_TABS));
  find_.Attach(GetDlgItem(IDC_FIND));
  tray_.Add(reminders_.Start(m_hWnd));
  systemMenu_.Insert();
  fileDrop_.Accept();
  outside_.Start(m_hWnd, WM_DATA_FOLDER_CHANGED);
  sync_.Start(m_hWnd);

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
  emptyState_.Layout();
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
  emptyState_.Layout();
  Invalidate();
}

void DlgCorvane::OnDestroy() {
  StoreWindowRect();
  sync_.Stop();
  session_.SavePending();
  outside_.Stop();
  reminders_.Stop();
  tray_.Remove();
  tabs_.DestroyPanels();
  if (emptyState_.m_hWnd) emptyState_.DestroyWindow();
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

void DlgCorvane::OnSaveData() { session_.SaveAll(); }

void DlgCorvane::OnSaveWritten() { session_.TellWritten(); }

// Windows may end the process once this returns: no save may still be on its way.
void DlgCorvane::OnEndSession() {
  sync_.Stop();
  session_.SavePending();
}

void DlgCorvane::OnShowLoadProblems() { session_.ReportLoadProblems(); }

void DlgCorvane::OnDataFolderChanged() { outside_.FolderChanged(); }

void DlgCorvane::OnEnable() { outside_.WindowEnabled(); }

void DlgCorvane::TellContact(Change::Kind kind, const Contact& contact) {
  Change change{kind};
  change.contact = &contact;
  session_.Tell(change);
}

void DlgCorvane::OnGroupAdded(const Groups::Item& group) {
  if (group) session_.Tell(Change{Change::Kind::GroupAdded, group.get()});
}

void DlgCorvane::OnGroupRemoved(const Groups::Item& group) {
  if (group) session_.Tell(Change{Change::Kind::GroupRemoved, group.get()});
}

void DlgCorvane::OnContactAdded(Contact& contact) {
  Change change{Change::Kind::ContactAdded};
  change.contact = change.added = &contact;
  session_.Tell(change);
}

void DlgCorvane::OnContactRemoved(const Contact& contact) { TellContact(Change::Kind::ContactRemoved, contact); }
void DlgCorvane::OnContactUpdated(const Contact& contact) { TellContact(Change::Kind::ContactTicked, contact); }
void DlgCorvane::OnContactReverted(const Contact& contact) { TellContact(Change::Kind::TickUndone, contact); }

LRESULT DlgCorvane::OnTabSelected(NMHDR*) {
  tabs_.ShowSelected();
  emptyState_.Follow();
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

UINT DlgCorvane::OnGetDlgCode(const MSG* message) {
  return message && message->message == WM_CHAR ? DLGC_WANTCHARS : 0;
}

void DlgCorvane::OnChar(UINT character, UINT, UINT) { keyboard_.OnChar(static_cast<wchar_t>(character)); }

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
    tray_.BringForward();
  else if (id == ID_RESTORE_BACKUP)
    commands_.RestoreBackup();
  else if (id == ID_SYNC_NOW)
    sync_.SyncNow();
  else
    commands_.Run(id);
}
