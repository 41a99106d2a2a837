#include "app/dlg_corvane.h"

#include "app/main_menus.h"
#include "app/window_placement.h"

namespace {

UniqueIcon LoadIconResource(int id, int size) {
  return UniqueIcon(static_cast<HICON>(
      LoadImageW(framework::ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

placement::Rect FromRect(const RECT& rect) { return placement::Rect{rect.left, rect.top, rect.right, rect.bottom}; }
RECT ToRect(const placement::Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

DlgCorvane::DlgCorvane()
    : tabs_(session_.GetEngine().groups, session_.GetEngine().contacts, session_.GetEngine().options),
      commands_(session_, tabs_),
      find_(tabs_) {}

DlgCorvane::~DlgCorvane() = default;

BOOL DlgCorvane::OnInitDialog(HWND, LPARAM) {
  session_.SetWindow(m_hWnd);
  commands_.SetWindow(m_hWnd);
  session_.Load();
  AttachControls();
  tray_.Add(m_hWnd, TRAY_ICON_ID, WM_TRAYNOTIFY, smallIcon_.get());
  if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE))
    InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_ABOUT, kAboutText);

  // The model tells this window of every change; the tabs pass it on.
  session_.SendChangesTo(m_hWnd);
  tabs_.Build(m_hWnd, GetDlgItem(IDC_TABS), commands_);
  find_.Attach(GetDlgItem(IDC_FIND));
  find_.PrepareTexts(session_.GetEngine().contacts);
  keyboard_ = KeyboardFilter(m_hWnd, find_.Field(),
                             KeyboardFilter::Actions{[this] { find_.Focus(); }, [this] { find_.Clear(); },
                                                     [this] { find_.OpenFirst(); },
                                                     [this](int step) { tabs_.SelectNext(step); },
                                                     [this] { commands_.OpenHelp(); }});

  DlgResize_Init();
  PlaceWindow();
  // Told once the window is on screen, not from inside its creation.
  if (session_.HasLoadProblems()) PostMessage(WM_SHOW_LOAD_PROBLEMS);
  OnFocusWindow();
  return FALSE;
}

void DlgCorvane::AttachControls() {
  ModifyStyle(WS_CLIPSIBLINGS, 0);

  menuImages_ = WTL_EX::LoadMenuImages(IDB_MENU);

  smallIcon_ = LoadIconResource(IDI_APP, 16);
  largeIcon_ = LoadIconResource(IDI_APP, 32);
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));

  // Size 0: the size stored in the resource.
  addContactButton_.Attach(GetDlgItem(IDC_ADD_CONTACT));
  addContactButton_.SetIcon(LoadIconResource(IDI_ADD_CONTACT, 0));
  addGroupButton_.Attach(GetDlgItem(IDC_ADD_GROUP));
  addGroupButton_.SetIcon(LoadIconResource(IDI_ADD_GROUP, 0));
  optionsButton_.Attach(GetDlgItem(IDC_OPTIONS));
  optionsButton_.SetIcon(LoadIconResource(IDI_OPTIONS, 0));

  helpButton_.Attach(GetDlgItem(IDC_HELP_LINK));
  helpButton_.SetText(L"Help");
  helpButton_.SetBackground(GetSysColor(COLOR_BTNFACE));

  CWindow(GetDlgItem(IDC_TABS)).ModifyStyle(WS_CLIPSIBLINGS, 0);
  // The panels are the tab control's children: Tab goes into them through it.
  CWindow(GetDlgItem(IDC_TABS)).ModifyStyleEx(0, WS_EX_CONTROLPARENT);
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
  const placement::Rect placed =
      placement::CentredDefault(FromRect(work), frame.right - frame.left, frame.bottom - frame.top);
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
  if (info) info->ptMinTrackSize = POINT{placement::kMinWidth, placement::kMinHeight};
}

void DlgCorvane::OnMoving(UINT, RECT* dragged) {
  if (dragged) *dragged = ToRect(placement::SnapToEdges(FromRect(*dragged), GetSystemMetrics(SM_CXSCREEN)));
}

void DlgCorvane::OnDestroy() {
  StoreWindowRect();
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
  else
    SetMsgHandled(false);
}

void DlgCorvane::OnSaveData() { session_.SaveAll(); }

void DlgCorvane::OnShowLoadProblems() { session_.ReportLoadProblems(); }


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

void DlgCorvane::OnContactAdded(Contact& contact) { tabs_.AddContact(contact); }

void DlgCorvane::OnContactRemoved(const Contact& contact) {
  tabs_.RemoveContact(contact);
  PostMessage(WM_SAVE_AFTER_REMOVAL);
}

void DlgCorvane::OnContactUpdated(const Contact& contact) {
  tabs_.ShowUndo(contact);
  session_.SaveAll();
}

void DlgCorvane::OnContactReverted(const Contact& contact) {
  tabs_.HideUndo(contact);
  session_.SaveAll();
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
  } else if (mouseMessage == WM_LBUTTONDOWN && !BringModalDialogForward() && !windowShown_) {
    ShowMainWindow();
    ::BringWindowToTop(m_hWnd);
    ::SetForegroundWindow(m_hWnd);
  }
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
    ShowMainWindow();
  else
    commands_.Run(id);
}
