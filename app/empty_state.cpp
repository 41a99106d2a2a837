#include "app/empty_state.h"

#include <commctrl.h>

#include "app/commands.h"
#include "app/data_session.h"
#include "app/group_tabs.h"
#include "framework/dpi.h"

EmptyState::EmptyState(DataSession& session, GroupTabs& tabs, Commands& commands)
    : session_(session),
      tabs_(tabs),
      commands_(commands),
      changes_(session.Changes().Subscribe([this](const Change& change) { OnChange(change); })) {}

EmptyState::~EmptyState() {
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool EmptyState::Make(HWND tabs) {
  tabControl_ = tabs;
  if (!Create(tabs)) return false;
  Layout();
  Follow();
  return true;
}

void EmptyState::OnChange(const Change& change) {
  switch (change.kind) {
    case Change::Kind::ContactAdded:
    case Change::Kind::Reloaded:
    case Change::Kind::Imported:
      Follow();
      return;
    case Change::Kind::ContactRemoved:
      // Told before the collection lets it go.
      Follow(1);
      return;
    default:
      return;
  }
}

void EmptyState::Follow(int leaving) {
  if (!m_hWnd) return;
  const auto& contacts = session_.GetEngine().contacts->items;
  const bool nobody = static_cast<int>(contacts.size()) <= leaving;
  if (nobody) {
    // The panel goes out of the way (another tab's too): the two would paint over each other.
    if (HWND panel = tabs_.Panels().ShownWindow()) ::ShowWindow(panel, SW_HIDE);
    if (!Shown()) ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  } else if (Shown()) {
    const bool hadFocus = ::IsChild(m_hWnd, ::GetFocus()) != FALSE;
    ShowWindow(SW_HIDE);
    if (HWND panel = tabs_.Panels().ShownWindow()) ::ShowWindow(panel, SW_SHOW);
    if (hadFocus) ::SetFocus(tabControl_);
  }
}

void EmptyState::Layout() {
  if (!m_hWnd || !tabControl_) return;
  RECT client{};
  ::GetClientRect(tabControl_, &client);
  const RECT page = GroupTabs::PanelRect(client, framework::DpiForWindow(tabControl_));
  MoveWindow(page.left, page.top, page.right - page.left, page.bottom - page.top, TRUE);
}

BOOL EmptyState::OnInitDialog(HWND, LPARAM) {
  background_.reset(::CreateSolidBrush(::GetSysColor(COLOR_WINDOW)));
  block_ = RECT{};
  bool first = true;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    placed_.emplace_back(child, rect);
    if (first) {
      block_ = rect;
      first = false;
    } else {
      ::UnionRect(&block_, &block_, &rect);
    }
  }
  FollowDpi();
  return FALSE;
}

void EmptyState::FollowDpi() {
  titleFont_ = framework::CreatePointFont(L"Tahoma", 14, FW_BOLD, false, framework::DpiForWindow(m_hWnd));
  ::SendDlgItemMessageW(m_hWnd, IDC_EMPTY_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), TRUE);
}

// The block of texts and links stays in the middle of the page, whatever its size.
void EmptyState::OnSize(UINT, SIZE size) {
  const int dx = (size.cx - (block_.right - block_.left)) / 2 - block_.left;
  const int dy = (size.cy - (block_.bottom - block_.top)) / 2 - block_.top;
  for (const auto& [child, rect] : placed_)
    ::SetWindowPos(child, nullptr, rect.left + dx, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate();
}

// The page looks like the list it stands for: the window colour, not the dialog's.
LRESULT EmptyState::OnColour(UINT message, WPARAM wParam, LPARAM, BOOL&) {
  auto dc = reinterpret_cast<HDC>(wParam);
  if (message == WM_CTLCOLORSTATIC) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  }
  return reinterpret_cast<LRESULT>(background_.get());
}

LRESULT EmptyState::OnLink(NMHDR* header) {
  if (header->idFrom == IDC_EMPTY_IMPORT)
    commands_.Run(ID_IMPORT_CONTACTS);
  else if (header->idFrom == IDC_EMPTY_ADD)
    commands_.Run(ID_ADD_CONTACT);
  else
    SetMsgHandled(false);
  return 0;
}
