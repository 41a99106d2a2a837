#include "app/dlg_corvane.h"

#include <shellapi.h>

#include <cstdlib>

#include "amicord_version.h"
#include "app/tab_text.h"
#include "dialogs/dlg_contact.h"
#include "dialogs/dlg_group.h"
#include "dialogs/dlg_options.h"

namespace {

constexpr wchar_t kMessageCaption[] = L"Amicord";
constexpr wchar_t kAboutText[] = L"About Amicord - Personal Relationship Manager";

// The size of the structure every shell since Windows 2000 accepts: with the
// 128-character tip and the balloon fields, without what later versions added.
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAW_V2_SIZE;

std::wstring ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

bool AnyUnset(const Options& options) {
  return options.windowX == -1 || options.windowY == -1 || options.windowWidth == -1 || options.windowHeight == -1;
}

UniqueIcon LoadIconResource(int id, int size) {
  return UniqueIcon(static_cast<HICON>(
      LoadImageW(framework::ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

void RemoveStyle(HWND window, LONG_PTR style) {
  const LONG_PTR current = ::GetWindowLongPtrW(window, GWL_STYLE);
  if (current & style) ::SetWindowLongPtrW(window, GWL_STYLE, current & ~style);
}

}  // namespace

DlgCorvane::DlgCorvane()
    : groups_(engine_.groups), contacts_(engine_.contacts), allPanel_(new DlgGroupEntry) {}

DlgCorvane::~DlgCorvane() = default;

LRESULT DlgCorvane::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  tabs_ = ::GetDlgItem(m_hWnd, IDC_TABS);
  loadReport_ = engine_.Load();
  AttachControls();
  AddTrayIcon();
  AddAboutItem();
  BuildTabs();
  DlgResize_Init();
  PlaceWindow();
  // Told once the window is on screen, not from inside its creation.
  if (loadReport_.AnyDamaged()) ::PostMessageW(m_hWnd, WM_SHOW_LOAD_PROBLEMS, 0, 0);
  return TRUE;
}

void DlgCorvane::AttachControls() {
  RemoveStyle(m_hWnd, WS_CLIPSIBLINGS);

  UniqueBitmap strip(static_cast<HBITMAP>(LoadImageW(framework::ResourceInstance(), MAKEINTRESOURCEW(IDB_MENU),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  menuImages_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 2));
  if (menuImages_ && strip) ImageList_AddMasked(menuImages_.get(), strip.get(), RGB(255, 0, 255));

  smallIcon_ = LoadIconResource(IDI_APP, 16);
  largeIcon_ = LoadIconResource(IDI_APP, 32);
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));

  // Size 0: the size stored in the resource.
  addContactButton_.Attach(::GetDlgItem(m_hWnd, IDC_ADD_CONTACT));
  addContactButton_.SetIcon(LoadIconResource(IDI_ADD_CONTACT, 0));
  addGroupButton_.Attach(::GetDlgItem(m_hWnd, IDC_ADD_GROUP));
  addGroupButton_.SetIcon(LoadIconResource(IDI_ADD_GROUP, 0));
  optionsButton_.Attach(::GetDlgItem(m_hWnd, IDC_OPTIONS));
  optionsButton_.SetIcon(LoadIconResource(IDI_OPTIONS, 0));

  helpButton_.Attach(::GetDlgItem(m_hWnd, IDC_HELP_LINK));
  helpButton_.SetText(L"Help");
  helpButton_.SetBackground(GetSysColor(COLOR_BTNFACE));

  RemoveStyle(tabs_, WS_CLIPSIBLINGS);
}

void DlgCorvane::PlaceWindow() {
  const Options& options = *engine_.options;
  if (!AnyUnset(options)) {
    const RECT saved{options.windowX, options.windowY, options.windowX + options.windowWidth,
                     options.windowY + options.windowHeight};
    // A placement on a monitor that is no longer attached would leave the window
    // out of reach: only then is it centred instead.
    if (MonitorFromRect(&saved, MONITOR_DEFAULTTONULL) != nullptr) {
      ::MoveWindow(m_hWnd, options.windowX, options.windowY, options.windowWidth, options.windowHeight, FALSE);
      return;
    }
  }
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame{};
  ::GetWindowRect(m_hWnd, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = work.left + ((work.right - work.left) - width) / 2;
  const int top = work.top + ((work.bottom - work.top) - height) / 2;
  ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, kMinWidth, kMinHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT DlgCorvane::OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  CDialogResize<DlgCorvane>::OnSize(message, wParam, lParam, handled);
  LayoutPanels();
  return 0;
}

LRESULT DlgCorvane::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  if (info) info->ptMinTrackSize = POINT{minTrackWidth_, minTrackHeight_};
  return 0;
}

RECT DlgCorvane::SnapToEdges(RECT dragged, int screenWidth) {
  if (std::abs(dragged.left) < kSnapDistance) {
    dragged.right -= dragged.left;
    dragged.left = 0;
  }
  if (std::abs(dragged.top) < kSnapDistance) {
    dragged.bottom -= dragged.top;
    dragged.top = 0;
  }
  if (std::abs(dragged.right - screenWidth) < kSnapDistance) {
    dragged.left += screenWidth - dragged.right;
    dragged.right = screenWidth;
  }
  return dragged;
}

LRESULT DlgCorvane::OnMoving(UINT, WPARAM, LPARAM lParam, BOOL&) {
  auto* dragged = reinterpret_cast<RECT*>(lParam);
  if (dragged) *dragged = SnapToEdges(*dragged, GetSystemMetrics(SM_CXSCREEN));
  return TRUE;
}

void DlgCorvane::StoreWindowRect() {
  RECT frame{};
  if (!::GetWindowRect(m_hWnd, &frame)) return;
  Options& options = *engine_.options;
  options.windowX = frame.left;
  options.windowY = frame.top;
  options.windowWidth = frame.right - frame.left;
  options.windowHeight = frame.bottom - frame.top;
}

LRESULT DlgCorvane::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  StoreWindowRect();
  RemoveTrayIcon();
  DestroyPanels();
  handled = FALSE;
  return 0;
}

void DlgCorvane::Exit() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  SaveAll();
  PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 0, 0);
}

LRESULT DlgCorvane::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
  Exit();
  return 0;
}

LRESULT DlgCorvane::OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&) {
  // The answer of a dialog is read from the window itself, so a window destroyed
  // here would always answer "no" and veto the log-off. Save everything as the
  // exit would, let the session end, and run the exit right after this answer.
  StoreWindowRect();
  SaveAll();
  ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
  return TRUE;
}

void DlgCorvane::HideToTray() {
  ::ShowWindow(m_hWnd, SW_HIDE);
  windowShown_ = false;
}

void DlgCorvane::ShowMainWindow() {
  ::ShowWindow(m_hWnd, SW_SHOW);
  windowShown_ = true;
}

LRESULT DlgCorvane::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  // The low four bits are the system's own: the caption buttons and the keyboard
  // set them differently for the same command.
  const WPARAM command = wParam & 0xFFF0;
  if (command == SC_MINIMIZE && engine_.options->minimizeToTray) {
    HideToTray();
    return 0;
  }
  if (command == SC_CLOSE) {
    HideToTray();
    return 0;
  }
  if (command == (ID_ABOUT & 0xFFF0)) {
    ShowAbout();
    return 0;
  }
  handled = FALSE;
  return 0;
}

bool DlgCorvane::SaveAll() {
  ++saveCount_;
  std::wstring reason;
  if (engine_.Save(&reason)) {
    saveFailureReported_ = false;
    return true;
  }
  if (!saveFailureReported_) {
    saveFailureReported_ = true;
    const std::wstring text = L"Amicord could not save your data.\n\n" + reason +
                              L"\n\nNothing is lost yet: your changes are kept while Amicord runs, and it "
                              L"tries again at your next change and when it closes.";
    ::MessageBoxW(m_hWnd && ::IsWindow(m_hWnd) ? m_hWnd : nullptr, text.c_str(), kMessageCaption,
                MB_OK | MB_ICONWARNING);
  }
  return false;
}

LRESULT DlgCorvane::OnSaveData(UINT, WPARAM, LPARAM, BOOL&) {
  SaveAll();
  return 0;
}

LRESULT DlgCorvane::OnShowLoadProblems(UINT, WPARAM, LPARAM, BOOL&) {
  if (!loadReport_.AnyDamaged()) return 0;
  std::wstring text = L"Some of your data could not be read completely:\n";
  for (std::size_t i = 0; i < loadReport_.damagedFiles.size(); ++i) {
    text += L"\n\u2022 " + loadReport_.damagedFiles[i];
    if (i < loadReport_.keptCopies.size() && !loadReport_.keptCopies[i].empty())
      text += L"\n   The file as it was is kept as " + loadReport_.keptCopies[i];
  }
  text += L"\n\nAmicord shows everything it could read before the damage and will save that from now on.";
  loadReport_ = Engine::LoadReport{};  // once per start
  ::MessageBoxW(m_hWnd, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
  return 0;
}

RECT DlgCorvane::PanelRect(const RECT& tabClient) {
  return RECT{tabClient.left + 2, tabClient.top + 22, tabClient.right - 4, tabClient.bottom - 2};
}

bool DlgCorvane::CreatePanel(DlgGroupEntry& panel) {
  panel.SetOwner(this);
  panel.SetThumbnails(&thumbnails_);
  if (!panel.Create(tabs_)) return false;
  const Options& options = *engine_.options;
  panel.SetCollections(groups_, contacts_);
  panel.SetDisplaySettings(options.warnPercent, options.warnDays, options.showLastContacted);
  RECT client{};
  ::GetClientRect(tabs_, &client);
  const RECT page = PanelRect(client);
  ::MoveWindow(panel.m_hWnd, page.left, page.top, page.right - page.left, page.bottom - page.top, FALSE);
  return true;
}

void DlgCorvane::InsertTab(const std::wstring& text, std::int32_t id) {
  wchar_t buffer[kTabTextBuffer] = {};
  const std::wstring fitted = FitTabText(text, kTabTextBuffer);
  fitted.copy(buffer, fitted.size());
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_PARAM;
  item.pszText = buffer;
  item.lParam = id;
  const int count = static_cast<int>(::SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
  ::SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&item));
}

std::int32_t DlgCorvane::TabId(int index) const {
  TCITEMW item{};
  item.mask = TCIF_PARAM;
  if (!::SendMessageW(tabs_, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    return panelManager_.noneId;
  return static_cast<std::int32_t>(item.lParam);
}

int DlgCorvane::FindTab(std::int32_t id) const {
  const int count = static_cast<int>(::SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index)
    if (TabId(index) == id) return index;
  return -1;
}

void DlgCorvane::BuildTabs() {
  const HWND self = m_hWnd;
  groups_->notifyWindow = self;
  contacts_->notifyWindow = self;
  for (const Contacts::Item& contact : *contacts_)
    if (contact) contact->notifyWindow = self;

  panelManager_.allPanel = allPanel_;
  CreatePanel(*allPanel_);
  InsertTab(L"All", panelManager_.allId);
  panelManager_.Show(panelManager_.allId);

  BOOL handled = TRUE;
  for (const Groups::Item& group : *groups_)
    if (group) OnGroupAdded(WM_GROUP_ADDED, reinterpret_cast<WPARAM>(&group), 0, handled);
  // Rows go in with the lists' redrawing off: each row added to a drawing
  // list costs a scroll bar update and an invalidation, which for thousands
  // of contacts is most of the start-up.
  SetListsRedraw(false);
  for (const Contacts::Item& contact : *contacts_)
    if (contact) OnContactAdded(WM_CONTACT_ADDED, reinterpret_cast<WPARAM>(contact.get()), 0, handled);
  SetListsRedraw(true);
}

template <class Action>
void DlgCorvane::ForEachPanel(Action action) {
  action(*allPanel_);
  for (const Groups::Item& group : *groups_) {
    GroupEntriesWindowManager::Panel panel;
    if (group && panelManager_.Find(group->id, panel) && panel) action(*panel);
  }
}

void DlgCorvane::SetListsRedraw(bool redraw) {
  ForEachPanel([redraw](DlgGroupEntry& panel) {
    HWND list = panel.List().m_hWnd;
    if (!list) return;
    ::SendMessageW(list, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    if (redraw) ::InvalidateRect(list, nullptr, TRUE);
  });
}


void DlgCorvane::LayoutPanels() {
  if (!tabs_) return;
  RECT client{};
  ::GetClientRect(tabs_, &client);
  const RECT page = PanelRect(client);
  const int count = static_cast<int>(::SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    HWND panel = nullptr;
    if (panelManager_.FindPanelWindow(TabId(index), panel) && panel)
      ::MoveWindow(panel, page.left, page.top, page.right - page.left, page.bottom - page.top, TRUE);
  }
  if (allPanel_->m_hWnd)
    ::MoveWindow(allPanel_->m_hWnd, page.left, page.top, page.right - page.left, page.bottom - page.top, TRUE);
}

void DlgCorvane::DestroyPanels() {
  if (allPanel_->m_hWnd) ::DestroyWindow(allPanel_->m_hWnd);
  const int count = static_cast<int>(::SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    HWND panel = nullptr;
    if (panelManager_.FindPanelWindow(TabId(index), panel) && panel && ::IsWindow(panel)) ::DestroyWindow(panel);
  }
}

LRESULT DlgCorvane::OnTabSelected(int, LPNMHDR, BOOL&) {
  const int index = static_cast<int>(::SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
  if (index < 0) return 0;
  const std::int32_t id = TabId(index);
  if (id != panelManager_.allId) GroupPanel(id);
  panelManager_.Show(id);
  return 0;
}

DlgGroupEntry* DlgCorvane::GroupPanel(std::int32_t groupId) {
  GroupEntriesWindowManager::Panel panel;
  if (!panelManager_.Find(groupId, panel) || !panel) return nullptr;
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

LRESULT DlgCorvane::OnGroupAdded(UINT, WPARAM wParam, LPARAM, BOOL&) {
  const auto* added = reinterpret_cast<const Groups::Item*>(wParam);
  if (added == nullptr || !*added) return 0;
  const Group& group = **added;
  InsertTab(group.name, group.id);
  // Its window comes when the tab is first selected (GroupPanel): each panel
  // is a dialog with its controls, which for many groups was most of the
  // start-up, and a session may never open most of them.
  boost::shared_ptr<DlgGroupEntry> panel(new DlgGroupEntry);
  panelManager_.Add(group.id, panel);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  UpdateWindow();
  return 0;
}

LRESULT DlgCorvane::OnGroupRemoved(UINT, WPARAM wParam, LPARAM, BOOL&) {
  const auto* removed = reinterpret_cast<const Groups::Item*>(wParam);
  if (removed == nullptr || !*removed) return 0;
  const std::int32_t id = (*removed)->id;
  contacts_->RemoveByGroup(id);
  panelManager_.Remove(id);
  const int tab = FindTab(id);
  if (tab >= 0) {
    if (static_cast<int>(::SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)) == tab) {
      ::SendMessageW(tabs_, TCM_SETCURSEL, 0, 0);
      panelManager_.Show(TabId(0));
    }
    ::SendMessageW(tabs_, TCM_DELETEITEM, static_cast<WPARAM>(tab), 0);
  }
  return 0;
}

template <class Action>
void DlgCorvane::ForContactPanels(const Contact& contact, Action action) {
  action(*allPanel_);
  GroupEntriesWindowManager::Panel panel;
  if (panelManager_.Find(contact.groupId, panel) && panel) action(*panel);
}

LRESULT DlgCorvane::OnContactAdded(UINT, WPARAM wParam, LPARAM, BOOL&) {
  auto* contact = reinterpret_cast<Contact*>(wParam);
  if (contact == nullptr) return 0;
  ForContactPanels(*contact, [contact](DlgGroupEntry& panel) { panel.AddContact(contact); });
  return 0;
}

LRESULT DlgCorvane::OnContactRemoved(UINT, WPARAM wParam, LPARAM, BOOL&) {
  const auto* contact = reinterpret_cast<const Contact*>(wParam);
  if (contact == nullptr) return 0;
  ForContactPanels(*contact, [contact](DlgGroupEntry& panel) { panel.RemoveContact(*contact); });
  ::PostMessageW(m_hWnd, WM_SAVE_AFTER_REMOVAL, 0, 0);
  return 0;
}

LRESULT DlgCorvane::OnContactUpdated(UINT, WPARAM wParam, LPARAM, BOOL&) {
  const auto* contact = reinterpret_cast<const Contact*>(wParam);
  if (contact == nullptr) return 0;
  ForContactPanels(*contact, [contact](DlgGroupEntry& panel) { panel.ShowUndo(*contact); });
  SaveAll();
  return 0;
}

LRESULT DlgCorvane::OnContactReverted(UINT, WPARAM wParam, LPARAM, BOOL&) {
  const auto* contact = reinterpret_cast<const Contact*>(wParam);
  if (contact == nullptr) return 0;
  ForContactPanels(*contact, [contact](DlgGroupEntry& panel) { panel.HideUndo(*contact); });
  SaveAll();
  return 0;
}

// ---------------------------------------------------------------------------
// Notification area and system menu

bool DlgCorvane::AddTrayIcon() {
  NOTIFYICONDATAW data{};
  data.cbSize = kNotifyIconDataSize;
  data.hWnd = m_hWnd;
  data.uID = TRAY_ICON_ID;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_TRAYNOTIFY;
  data.hIcon = smallIcon_.get();
  trayIconAdded_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  return trayIconAdded_;
}

void DlgCorvane::RemoveTrayIcon() {
  NOTIFYICONDATAW data{};
  data.cbSize = kNotifyIconDataSize;
  data.hWnd = m_hWnd;
  data.uID = TRAY_ICON_ID;
  Shell_NotifyIconW(NIM_DELETE, &data);
  trayIconAdded_ = false;
}

LRESULT DlgCorvane::OnTaskbarCreated(UINT, WPARAM, LPARAM, BOOL&) {
  // A restarted shell forgot our icon; without it a hidden window has no way back.
  AddTrayIcon();
  return 0;
}

void DlgCorvane::AddAboutItem() {
  HMENU system = ::GetSystemMenu(m_hWnd, FALSE);
  if (system) InsertMenuW(system, 0, MF_BYCOMMAND | MF_STRING, ID_ABOUT, kAboutText);
}

std::wstring DlgCorvane::DataFolder() const {
  const std::wstring& path = engine_.optionsPath;
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

void DlgCorvane::ShowAbout() {
  const std::wstring text = L"Amicord - Personal Relationship Manager\nVersion " AMICORD_VERSION_TEXT_W
                            L"\n\nYour data is kept in:\n" +
                            DataFolder();
  ::MessageBoxW(m_hWnd, text.c_str(), kAboutText, MB_OK | MB_ICONINFORMATION);
}

UniqueMenu DlgCorvane::BuildTrayMenu() {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  HMENU raw = menu.get();
  AttachImageList(raw, menuImages_.get());
  if (!windowShown_) {
    AppendMenuW(raw, MF_STRING, ID_SHOW_WINDOW, L"&Show Window");
    SetItemImage(raw, ID_SHOW_WINDOW, MENU_IMAGE_SHOW_WINDOW);
    AppendMenuW(raw, MF_SEPARATOR, 0, nullptr);
  }
  AppendMenuW(raw, MF_STRING, ID_ADD_GROUP, L"Add &Group");
  SetItemImage(raw, ID_ADD_GROUP, MENU_IMAGE_ADD_GROUP);
  AppendMenuW(raw, MF_STRING, ID_ADD_CONTACT, L"&Add &Contact");
  SetItemImage(raw, ID_ADD_CONTACT, MENU_IMAGE_ADD_CONTACT);
  AppendMenuW(raw, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(raw, MF_STRING, ID_EXIT, L"&Exit");
  SetItemImage(raw, ID_EXIT, MENU_IMAGE_EXIT);
  return menu;
}

bool DlgCorvane::BringModalDialogForward() {
  if (::IsWindowEnabled(m_hWnd)) return false;
  HWND popup = ::GetLastActivePopup(m_hWnd);
  if (popup && popup != m_hWnd) {
    if (!windowShown_) ShowMainWindow();
    ::SetForegroundWindow(popup);
  }
  return true;
}

LRESULT DlgCorvane::OnTrayNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  switch (static_cast<UINT>(lParam)) {
    case WM_RBUTTONDOWN: {
      if (wParam != TRAY_ICON_ID) break;
      // The menu's commands must not run under an open dialog: exiting there
      // would pull the window out from under it.
      if (BringModalDialogForward()) break;
      POINT cursor{};
      GetCursorPos(&cursor);
      UniqueMenu menu = BuildTrayMenu();
      if (menu) {
        // Without the foreground the menu would not close on a click elsewhere.
        ::SetForegroundWindow(m_hWnd);
        ::TrackPopupMenu(menu.get(), TPM_LEFTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
        DetachImageList(menu.get());
      }
      break;
    }
    case WM_LBUTTONDOWN:
      if (BringModalDialogForward()) break;
      if (!windowShown_) {
        ShowMainWindow();
        ::BringWindowToTop(m_hWnd);
        ::SetForegroundWindow(m_hWnd);
      }
      break;
    default:
      break;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Commands

LRESULT DlgCorvane::OnGetDlgCode(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  return message && message->message == WM_CHAR ? DLGC_WANTCHARS : 0;
}

LRESULT DlgCorvane::OnChar(UINT, WPARAM wParam, LPARAM, BOOL&) {
  // Capital letters only: a plain key press must not open a dialog by accident.
  switch (wParam) {
    case L'C':
      AddContactCommand();
      break;
    case L'G':
      AddGroupCommand();
      break;
    case L'O':
      OptionsCommand();
      break;
    default:
      break;
  }
  return 0;
}

LRESULT DlgCorvane::OnHelp(WORD, WORD, HWND, BOOL&) {
  OpenHelp();
  return 0;
}

LRESULT DlgCorvane::OnAddGroupButton(WORD, WORD, HWND, BOOL&) {
  AddGroupCommand();
  return 0;
}

LRESULT DlgCorvane::OnAddContactButton(WORD, WORD, HWND, BOOL&) {
  AddContactCommand();
  return 0;
}

LRESULT DlgCorvane::OnOptionsButton(WORD, WORD, HWND, BOOL&) {
  OptionsCommand();
  return 0;
}

LRESULT DlgCorvane::OnMenuCommand(WORD, WORD id, HWND, BOOL&) {
  switch (id) {
    case ID_EXIT:
      Exit();
      break;
    case ID_ADD_GROUP:
      AddGroupCommand();
      break;
    case ID_ADD_CONTACT:
      AddContactCommand();
      break;
    case ID_EDIT_GROUP:
      EditGroupCommand();
      break;
    case ID_DELETE_GROUP:
      DeleteGroupCommand();
      break;
    case ID_SHOW_WINDOW:
      ShowMainWindow();
      break;
    default:
      break;
  }
  return 0;
}

void DlgCorvane::OpenHelp() {
  const std::wstring path = ExecutableFolder() + L"\\" + kHelpFileName;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(m_hWnd, L"open", path.c_str(), nullptr, nullptr, SW_SHOW));
  if (result <= 32) {
    const std::wstring text = L"The user guide could not be opened:\n" + path;
    ::MessageBoxW(m_hWnd, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
  }
}

void DlgCorvane::AddContactCommand() {
  DlgContact dialog;
  dialog.groups = groups_;
  dialog.contacts = contacts_;
  const int tab = static_cast<int>(::SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
  if (tab >= 0) {
    const std::int32_t id = TabId(tab);
    GroupEntriesWindowManager::Panel panel;
    if (panelManager_.Find(id, panel) && panel) dialog.groupId = id;
  }
  if (dialog.DoModal(m_hWnd) != IDOK) return;
  contacts_->Add(dialog.name, dialog.imagePath, dialog.unit, dialog.count, dialog.lastContacted, dialog.notes,
                 dialog.groupId);
  SaveAll();
}

bool DlgCorvane::EditContact(std::int32_t contactId, HWND dialogParent) {
  Contacts::Item selected;
  if (!contacts_->Find(contactId, selected) || !selected) return false;
  DlgContact dialog(selected->name, selected->imagePath, selected->unit, selected->count, selected->lastContacted,
                    selected->notes, selected->groupId);
  dialog.groups = groups_;
  dialog.contacts = contacts_;
  if (dialog.DoModal(dialogParent) != IDOK) return false;
  // Looked up again: the end of the session can tear windows and rows down
  // while the dialog is open.
  Contacts::Item contact;
  if (!contacts_->Find(contactId, contact) || !contact) return false;
  contact->Update(dialog.name, dialog.imagePath, dialog.unit, dialog.count, dialog.lastContacted, dialog.notes,
                  dialog.groupId);
  return true;
}

void DlgCorvane::AddGroupCommand() {
  DlgGroup dialog;
  if (dialog.DoModal(m_hWnd) != IDOK) return;
  // A name already taken (in any letter case) adds nothing; the save still runs.
  groups_->Add(dialog.name, dialog.imagePath, dialog.unit, dialog.count);
  SaveAll();
}

void DlgCorvane::OptionsCommand() {
  Options& options = *engine_.options;
  DlgOptions dialog;
  dialog.autoStart = options.autoStart;
  dialog.warnPercent = options.warnPercent;
  dialog.warnDays = options.warnDays;
  dialog.showLastContacted = options.showLastContacted;
  dialog.minimizeToTray = options.minimizeToTray;
  if (dialog.DoModal(m_hWnd) != IDOK) return;
  options.SetAutoStart(dialog.autoStart);
  options.warnPercent = dialog.warnPercent;
  options.warnDays = dialog.warnDays;
  options.showLastContacted = dialog.showLastContacted;
  options.minimizeToTray = dialog.minimizeToTray;
  // Saved with the next change or at exit, like the window's place.
  ApplyDisplaySettings();
}

void DlgCorvane::ApplyDisplaySettings() {
  const Options& options = *engine_.options;
  ForEachPanel([&options](DlgGroupEntry& panel) {
    panel.SetDisplaySettings(options.warnPercent, options.warnDays, options.showLastContacted);
  });
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

UniqueMenu DlgCorvane::BuildTabMenu() {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  AttachImageList(menu.get(), menuImages_.get());
  AppendMenuW(menu.get(), MF_STRING, ID_EDIT_GROUP, L"&Edit");
  SetItemImage(menu.get(), ID_EDIT_GROUP, MENU_IMAGE_EDIT);
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.get(), MF_STRING, ID_DELETE_GROUP, L"&Delete");
  SetItemImage(menu.get(), ID_DELETE_GROUP, MENU_IMAGE_DELETE);
  return menu;
}

LRESULT DlgCorvane::OnTabsRightClick(int, LPNMHDR, BOOL&) {
  POINT cursor{};
  GetCursorPos(&cursor);
  POINT inTabs = cursor;
  ::ScreenToClient(tabs_, &inTabs);
  SetTabHitPoint(inTabs);
  UniqueMenu menu = BuildTabMenu();
  if (menu) {
    TrackMenu(menu.get(), cursor.x, cursor.y, m_hWnd);
    DetachImageList(menu.get());
  }
  return 0;
}

Groups::Item DlgCorvane::GroupAtTabHitPoint() const {
  TCHITTESTINFO hit = tabHit_;
  const int tab = static_cast<int>(::SendMessageW(tabs_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  Groups::Item group;
  if (tab < 0 || !groups_->Find(TabId(tab), group)) return Groups::Item();
  return group;
}

void DlgCorvane::EditGroupCommand() {
  const Groups::Item group = GroupAtTabHitPoint();
  if (!group) return;
  DlgGroup dialog(group->name, group->imagePath, group->unit, group->count);
  if (dialog.DoModal(m_hWnd) != IDOK) return;
  group->name = dialog.name;
  group->imagePath = dialog.imagePath;
  group->unit = dialog.unit;
  group->count = dialog.count;
  SaveAll();
  const int tab = FindTab(group->id);
  if (tab >= 0) {
    std::wstring buffer = FitTabText(group->name, kRenamedTabTextBuffer);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = &buffer[0];
    ::SendMessageW(tabs_, TCM_SETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
  }
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void DlgCorvane::DeleteGroupCommand() {
  const Groups::Item group = GroupAtTabHitPoint();
  if (!group) return;
  const std::int32_t id = group->id;
  const std::wstring text = L"Delete group \"" + group->name + L"\" and all its contacts?";
  if (::MessageBoxW(m_hWnd, text.c_str(), L"Delete group?", MB_YESNO) != IDYES) return;
  groups_->Remove(id);
  SaveAll();
}
