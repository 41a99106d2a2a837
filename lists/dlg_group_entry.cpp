#include "lists/dlg_group_entry.h"

#include <string>

#include "framework/dpi.h"
#include "lists/selection_texts.h"
#include "model/platform.h"

namespace {

constexpr int kColumnWidth = 600;

// A menu shows "&&" as one ampersand; a lone one would underline the next letter.
std::wstring MenuText(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    if (c == L'&') escaped += L'&';
    escaped += c;
  }
  return escaped;
}

}  // namespace

DlgGroupEntry::~DlgGroupEntry() {
  // Normally gone already (the main window's tear-down); a window left alive
  // here would keep calling into a destroyed object.
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

void DlgGroupEntry::SetCollections(boost::shared_ptr<Groups> groups, boost::shared_ptr<Contacts> contacts) {
  groups_ = groups;
  contacts_ = contacts;
  list_.SetCollections(std::move(groups), std::move(contacts));
}

void DlgGroupEntry::SetDisplaySettings(int warnPercent, int warnDays, bool showLastContacted) {
  list_.SetDisplaySettings(warnPercent, warnDays, showLastContacted);
}

BOOL DlgGroupEntry::OnInitDialog(HWND, LPARAM) {
  ModifyStyle(WS_CLIPSIBLINGS, 0);

  FollowMenuDpi();

  list_.SubclassWindow(::GetDlgItem(m_hWnd, IDC_CONTACT_LIST));
  list_.InsertColumn(0, L"Contact", LVCFMT_LEFT, kColumnWidth);
  list_.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
  list_.ModifyStyle(WS_CLIPSIBLINGS, 0);
  list_.SetColumnSortType(0, LVCOLSORT_CUSTOM);

  sortButton_.Attach(::GetDlgItem(m_hWnd, IDC_SORT));
  sortButton_.SetBackground(GetSysColor(COLOR_BTNFACE));

  DlgResize_Init(false, false);
  return TRUE;
}

void DlgGroupEntry::OnSize(UINT type, SIZE size) {
  BOOL handled = TRUE;
  CDialogResize<DlgGroupEntry>::OnSize(WM_SIZE, type, MAKELPARAM(size.cx, size.cy), handled);
  if (list_.m_hWnd) {
    list_.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
    list_.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

void DlgGroupEntry::OnSortButton(UINT, int, HWND) {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  ::AppendMenuW(menu.get(), MF_STRING, ID_SORT_NONE, L"&None");
  ::AppendMenuW(menu.get(), MF_STRING, ID_SORT_NAME, L"&Name");
  ::AppendMenuW(menu.get(), MF_STRING, ID_SORT_CONTACT_IN, L"&Contact in");
  ::AppendMenuW(menu.get(), MF_STRING, ID_SORT_PRIORITY, L"&Priority");
  ::TrackPopupMenu(menu.get(), 0, cursor.x, cursor.y, 0, m_hWnd, nullptr);
}

// Answered as handled, so the list does not follow with a WM_CONTEXTMENU of its own.
LRESULT DlgGroupEntry::OnListRightClick(NMHDR*) {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ShowRowMenu(cursor);
  return TRUE;
}

void DlgGroupEntry::OnContextMenu(HWND window, POINT point) {
  if (!list_.m_hWnd || window != list_.m_hWnd) {
    SetMsgHandled(false);
    return;
  }
  if (point.x == -1 && point.y == -1) {
    // From the keyboard: below the selected row's start, or the list's corner without one.
    point = POINT{0, 0};
    RECT row{};
    const int selected = list_.GetSelectedIndex();
    if (selected >= 0 && list_.GetItemRect(selected, &row, LVIR_BOUNDS)) point = POINT{row.left, row.bottom};
    ::ClientToScreen(list_.m_hWnd, &point);
  }
  ShowRowMenu(point);
}

// The pictures of the strip drawn for the window's DPI now: the window may
// have moved to a screen of another scale since the last menu.
void DlgGroupEntry::FollowMenuDpi() {
  const int dpi = framework::DpiForWindow(m_hWnd);
  if (dpi == menuImagesDpi_ && menuImages_) return;
  const WTL_EX::MenuStrips strips{IDB_CONTACT_MENU, IDB_CONTACT_MENU_20, IDB_CONTACT_MENU_24, IDB_CONTACT_MENU_32};
  menuImages_ = WTL_EX::LoadMenuImages(WTL_EX::MenuStripForDpi(strips, dpi));
  menuImagesDpi_ = dpi;
}

void DlgGroupEntry::ShowRowMenu(POINT screen) {
  if (SeveralSelected()) {
    ShowSelectionMenu(screen);
    return;
  }
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  FollowMenuDpi();
  AttachImageList(menu.get(), menuImages_.get());
  ::AppendMenuW(menu.get(), MF_STRING, ID_CONTACT_CONTACTED, L"&Contacted");
  ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  if (AppendReachItems(menu.get(), SelectedContact())) ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu.get(), MF_STRING, ID_CONTACT_OPEN, L"&Open");
  SetItemImage(menu.get(), ID_CONTACT_OPEN, CONTACT_MENU_IMAGE_OPEN);
  ::AppendMenuW(menu.get(), MF_STRING, ID_CONTACT_LOG, L"&Log Contact...");
  ::AppendMenuW(menu.get(), MF_STRING, ID_CONTACT_HISTORY, L"&History...");
  // Owned by the context menu once appended, and destroyed with it.
  UniqueMenu snooze = BuildSnoozeMenu(SelectedContact());
  if (snooze && ::AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(snooze.get()), L"&Remind Me Later"))
    snooze.release();
  lists::MoveTargets move = BuildMoveMenu();
  if (move.menu && ::AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(move.menu.get()), L"&Move to Group"))
    move.menu.release();
  ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu.get(), MF_STRING, ID_CONTACT_DELETE, L"&Delete");
  SetItemImage(menu.get(), ID_CONTACT_DELETE, CONTACT_MENU_IMAGE_DELETE);
  ::TrackPopupMenu(menu.get(), 0, screen.x, screen.y, 0, m_hWnd, nullptr);
  DetachImageList(menu.get());
}

void DlgGroupEntry::ShowSelectionMenu(POINT screen) {
  FollowMenuDpi();
  const std::size_t count = static_cast<std::size_t>(list_.SelectedCount());
  lists::MoveTargets move = BuildMoveMenu();
  const lists::SelectionMenuIds ids{ID_CONTACT_CONTACTED, ID_CONTACT_OPEN,   ID_CONTACT_LOG,
                                    ID_CONTACT_HISTORY,   ID_CONTACT_EXPORT, ID_CONTACT_DELETE};
  UniqueMenu menu = lists::BuildSelectionMenu(count, ids, BuildSnoozeMenu(nullptr), std::move(move.menu));
  if (!menu) return;
  AttachImageList(menu.get(), menuImages_.get());
  SetItemImage(menu.get(), ID_CONTACT_OPEN, CONTACT_MENU_IMAGE_OPEN);
  SetItemImage(menu.get(), ID_CONTACT_DELETE, CONTACT_MENU_IMAGE_DELETE);
  ::TrackPopupMenu(menu.get(), 0, screen.x, screen.y, 0, m_hWnd, nullptr);
  DetachImageList(menu.get());
}

// The group all the selected people are in already is not offered.
lists::MoveTargets DlgGroupEntry::BuildMoveMenu() {
  lists::MoveTargets move;
  moveTargets_.clear();
  if (!groups_ || !list_.m_hWnd) return move;
  std::int32_t common = -1;
  bool first = true;
  for (int row : list_.SelectedRows()) {
    const Contact* contact = list_.RowContact(row);
    if (!contact) continue;
    if (first) common = contact->groupId;
    if (contact->groupId != common) common = -1;
    first = false;
  }
  move = lists::BuildMoveMenu(*groups_, first ? -1 : common);
  moveTargets_ = move.groupIds;
  return move;
}

void DlgGroupEntry::OnMoveCommand(UINT, int id, HWND) {
  const std::size_t index = static_cast<std::size_t>(id - lists::kFirstMoveCommand);
  if (!owner_ || !list_.m_hWnd || index >= moveTargets_.size()) return;
  const std::vector<std::int32_t> ids = list_.SelectedIds();
  if (ids.empty() || !owner_->MoveContacts(ids, moveTargets_[index])) return;
  // In "All" the moved rows come back at the end: they stay selected there.
  if (list_.m_hWnd) list_.SelectContacts(ids);
}

void DlgGroupEntry::OnExportCommand(UINT, int, HWND) {
  if (!owner_ || !list_.m_hWnd) return;
  const std::vector<std::int32_t> ids = list_.SelectedIds();
  if (!ids.empty()) owner_->ExportContacts(ids, m_hWnd);
}

bool DlgGroupEntry::OnSelectionCommand(int id) {
  if (!SeveralSelected() || !owner_) return false;
  const std::vector<std::int32_t> ids = list_.SelectedIds();
  bool changed = false;
  switch (id) {
    case ID_CONTACT_LOG:
      changed = owner_->LogContacts(ids, m_hWnd);
      break;
    case ID_SNOOZE_TOMORROW:
      changed = owner_->SnoozeContacts(ids, SnoozeChoice::Tomorrow, m_hWnd);
      break;
    case ID_SNOOZE_THREE_DAYS:
      changed = owner_->SnoozeContacts(ids, SnoozeChoice::InThreeDays, m_hWnd);
      break;
    case ID_SNOOZE_WEEK:
      changed = owner_->SnoozeContacts(ids, SnoozeChoice::InAWeek, m_hWnd);
      break;
    case ID_SNOOZE_CHOOSE:
      changed = owner_->SnoozeContacts(ids, SnoozeChoice::ChooseDate, m_hWnd);
      break;
    case ID_SNOOZE_STOP:
      changed = owner_->SnoozeContacts(ids, SnoozeChoice::Stop, m_hWnd);
      break;
    default:
      return false;  // History is the focused row's
  }
  if (changed && list_.m_hWnd) list_.Invalidate();
  return true;
}

LRESULT DlgGroupEntry::OnListDoubleClick(NMHDR*) {
  Open();
  return 0;
}

void DlgGroupEntry::OnMenuCommand(UINT, int id, HWND) {
  switch (id) {
    case ID_CONTACT_OPEN:
      Open();
      break;
    case ID_CONTACT_DELETE:
      Delete();
      break;
    case ID_SORT_NONE:
      SortBy(SortMode::None);
      break;
    case ID_SORT_NAME:
      SortBy(SortMode::Name);
      break;
    case ID_SORT_CONTACT_IN:
      SortBy(SortMode::ContactIn);
      break;
    case ID_SORT_PRIORITY:
      SortBy(SortMode::Priority);
      break;
    default:
      break;
  }
}

void DlgGroupEntry::OnContactedCommand(UINT, int, HWND) { Tick(); }

// Like the other row items, it does nothing without a selected row.
void DlgGroupEntry::Tick() {
  if (!list_.m_hWnd) return;
  if (SeveralSelected()) {
    if (owner_) owner_->TickContacts(list_.SelectedIds());
    return;
  }
  list_.TickRow(list_.GetSelectedIndex());
}

UniqueMenu DlgGroupEntry::BuildSnoozeMenu(const Contact* contact) const {
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return menu;
  ::AppendMenuW(menu.get(), MF_STRING, ID_SNOOZE_TOMORROW, L"&Tomorrow");
  ::AppendMenuW(menu.get(), MF_STRING, ID_SNOOZE_THREE_DAYS, L"In &3 Days");
  ::AppendMenuW(menu.get(), MF_STRING, ID_SNOOZE_WEEK, L"In a &Week");
  ::AppendMenuW(menu.get(), MF_STRING, ID_SNOOZE_CHOOSE, L"&Choose a Date...");
  const Journal* journal = owner_ ? owner_->ContactJournal() : nullptr;
  bool snoozed = false;
  if (journal && contact) {
    snoozed = journal->SnoozedUntil(contact->id) > platform::Now();
  } else if (journal && SeveralSelected()) {
    const Time now = platform::Now();
    for (std::int32_t id : list_.SelectedIds()) snoozed = snoozed || journal->SnoozedUntil(id) > now;
  }
  if (snoozed) {
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.get(), MF_STRING, ID_SNOOZE_STOP, L"&Stop Snoozing");
  }
  return menu;
}

void DlgGroupEntry::OnJournalCommand(UINT, int id, HWND) {
  if (OnSelectionCommand(id)) return;
  const Contact* selected = TargetContact();
  if (selected == nullptr || !owner_) return;
  // Kept by id: the row may go while a dialog is open.
  const std::int32_t contactId = selected->id;
  bool changed = false;
  switch (id) {
    case ID_CONTACT_LOG:
      changed = owner_->LogContact(contactId, m_hWnd);
      break;
    case ID_CONTACT_HISTORY:
      changed = owner_->ShowHistory(contactId, m_hWnd);
      break;
    case ID_SNOOZE_TOMORROW:
      changed = owner_->SnoozeContact(contactId, SnoozeChoice::Tomorrow, m_hWnd);
      break;
    case ID_SNOOZE_THREE_DAYS:
      changed = owner_->SnoozeContact(contactId, SnoozeChoice::InThreeDays, m_hWnd);
      break;
    case ID_SNOOZE_WEEK:
      changed = owner_->SnoozeContact(contactId, SnoozeChoice::InAWeek, m_hWnd);
      break;
    case ID_SNOOZE_CHOOSE:
      changed = owner_->SnoozeContact(contactId, SnoozeChoice::ChooseDate, m_hWnd);
      break;
    case ID_SNOOZE_STOP:
      changed = owner_->SnoozeContact(contactId, SnoozeChoice::Stop, m_hWnd);
      break;
    default:
      break;
  }
  const int row = FindRow(contactId);
  if (changed && row >= 0) list_.RedrawItems(row, row);
}

// In the stored order, which puts the preferred ones first; a long list is
// left to the contact dialog.
bool DlgGroupEntry::AppendReachItems(HMENU menu, const Contact* contact) const {
  const Journal* journal = owner_ ? owner_->ContactJournal() : nullptr;
  if (!contact || !journal) return false;
  const ContactDetails& details = journal->Details(contact->id);
  bool any = false;
  for (std::size_t i = 0; i < details.phones.size() && i < kReachMenuItems; ++i) {
    const Phone& phone = details.phones[i];
    std::wstring text = L"Call ";
    if (!phone.label.empty()) text += phone.label + L' ';
    text += phone.number;
    any = ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(ID_CALL_FIRST + static_cast<int>(i)),
                        MenuText(text).c_str()) ||
          any;
  }
  for (std::size_t i = 0; i < details.emails.size() && i < kReachMenuItems; ++i) {
    const std::wstring text = L"E-mail " + details.emails[i].address;
    any = ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(ID_EMAIL_FIRST + static_cast<int>(i)),
                        MenuText(text).c_str()) ||
          any;
  }
  return any;
}

void DlgGroupEntry::OnReachCommand(UINT, int id, HWND) {
  const Contact* selected = SelectedContact();
  if (selected == nullptr || !owner_) return;
  if (id < ID_EMAIL_FIRST)
    owner_->ReachOut(selected->id, PanelOwner::Reach::Call, static_cast<std::size_t>(id - ID_CALL_FIRST), m_hWnd);
  else
    owner_->ReachOut(selected->id, PanelOwner::Reach::Email, static_cast<std::size_t>(id - ID_EMAIL_FIRST), m_hWnd);
}

void DlgGroupEntry::SortBy(SortMode mode) {
  const wchar_t* caption = L"None";
  switch (mode) {
    case SortMode::Name:
      caption = L"Name";
      break;
    case SortMode::ContactIn:
      caption = L"Contact in";
      break;
    case SortMode::Priority:
      caption = L"Priority";
      break;
    case SortMode::None:
      break;
  }
  sortButton_.SetWindowText(caption);
  list_.SortBy(mode);
}

Contact* DlgGroupEntry::SelectedContact() const {
  if (!list_.m_hWnd) return nullptr;
  const int row = list_.GetSelectedIndex();
  if (row < 0) return nullptr;
  return list_.RowContact(row);
}

Contact* DlgGroupEntry::TargetContact() const {
  if (!SeveralSelected()) return SelectedContact();
  const int focused = list_.FocusedRow();
  return list_.RowContact(focused >= 0 ? focused : list_.GetSelectedIndex());
}

void DlgGroupEntry::Open() {
  const Contact* selected = TargetContact();
  if (selected == nullptr || !owner_) return;
  const std::int32_t id = selected->id;
  if (!owner_->EditContact(id, m_hWnd)) return;
  // Found again: the end of the session can tear rows down while the dialog is open.
  const int row = FindRow(id);
  if (row >= 0) list_.RedrawItems(row, row);
}

void DlgGroupEntry::Delete() {
  if (SeveralSelected()) {
    DeleteSelection();
    return;
  }
  const Contact* contact = SelectedContact();
  if (contact == nullptr || !contacts_) return;
  // Kept by id: the row, and with it the pointer, may go while the box is open.
  const std::int32_t id = contact->id;
  const std::wstring text = L"Delete contact: " + contact->name + L"?";
  if (::MessageBoxW(m_hWnd, text.c_str(), L"Delete contact?", MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
  contacts_->Remove(id);
}

// One question for all; the ids are kept, as the rows may go while it is open.
void DlgGroupEntry::DeleteSelection() {
  const std::vector<std::int32_t> ids = list_.SelectedIds();
  std::vector<std::wstring> names;
  for (int row : list_.SelectedRows())
    if (const Contact* contact = list_.RowContact(row)) names.push_back(contact->name);
  const std::wstring text = lists::DeleteQuestion(names);
  if (::MessageBoxW(m_hWnd, text.c_str(), lists::kDeleteQuestionCaption, MB_YESNO | MB_ICONINFORMATION) != IDYES)
    return;
  if (owner_) {
    owner_->DeleteContacts(ids);
  } else if (contacts_) {
    for (std::int32_t id : ids) contacts_->Remove(id);
  }
}

int DlgGroupEntry::FindRow(std::int32_t id) const { return list_.m_hWnd ? list_.FindRow(id) : -1; }

bool DlgGroupEntry::AddContact(Contact* contact) {
  if (contact == nullptr || !list_.m_hWnd) return false;
  list_.InsertContactRow(*contact);
  return true;
}

bool DlgGroupEntry::OpenRow(int row) {
  if (!list_.m_hWnd || !list_.RowContact(row)) return false;
  list_.SetItemState(-1, 0, LVIS_SELECTED);
  list_.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Open();
  return true;
}

bool DlgGroupEntry::Select(std::int32_t id) {
  const int row = FindRow(id);
  if (row < 0) return false;
  list_.SetItemState(-1, 0, LVIS_SELECTED);
  list_.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  list_.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  return true;
}

bool DlgGroupEntry::RemoveContact(const Contact& contact) {
  const int row = FindRow(contact.id);
  // A contact the find filter hides has rows all the same.
  if (row < 0) return list_.m_hWnd && list_.DropHiddenRows(contact.id);
  list_.DeleteItem(row);
  return true;
}

bool DlgGroupEntry::RemoveContacts(const std::unordered_set<std::int32_t>& ids) {
  if (!list_.m_hWnd) return false;
  list_.RemoveContactRows(ids);
  return true;
}

bool DlgGroupEntry::ShowUndo(const Contact& contact) {
  if (FindRow(contact.id) < 0) return false;
  list_.ShowUndo(contact);
  return true;
}

bool DlgGroupEntry::HideUndo(const Contact& contact) {
  if (FindRow(contact.id) < 0) return false;
  list_.HideUndo(contact);
  return true;
}
