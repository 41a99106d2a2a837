#include "dialogs/dlg_address_book_sync.h"

#include <commctrl.h>

#include <algorithm>
#include <thread>

#include "dialogs/dialog_support.h"
#include "model/http.h"
#include "model/text_decoding.h"

namespace {

std::wstring Trimmed(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::wstring TextOf(HWND dialog, int id) { return CWindow(::GetDlgItem(dialog, id)).GetWindowText(); }

void Enable(HWND dialog, int id, bool enable) { ::EnableWindow(::GetDlgItem(dialog, id), enable ? TRUE : FALSE); }

}  // namespace

BOOL DlgAddressBookSync::OnInitDialog(HWND, LPARAM) {
  CenterWindow();
  ::SetDlgItemTextW(m_hWnd, IDC_SYNC_SERVER, server.c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_SYNC_USER, user.c_str());
  // A kept password is never shown: the field stays empty unless the user types a new one.
  ::SetDlgItemTextW(m_hWnd, IDC_SYNC_PASSWORD_NOTE,
                    passwordKept ? L"A password is kept. Type one only to replace it." : L"");
  booksServer_ = dialogs::ServerAddress(server);
  FillBooks(book);
  FillGroups();
  ShowLastResult();
  Enable(m_hWnd, IDC_SYNC_NOW, static_cast<bool>(syncNow));
  Enable(m_hWnd, IDC_SYNC_REMOVE, hasAccount);
  ::SetFocus(GetDlgItem(server.empty() ? IDC_SYNC_SERVER : IDOK));
  return FALSE;
}

void DlgAddressBookSync::OnDestroy() {
  // A search still running finds no window to tell.
  if (!pending_) return;
  std::lock_guard<std::mutex> hold(pending_->lock);
  pending_->window = nullptr;
}

void DlgAddressBookSync::FillBooks(const std::wstring& selected) {
  HWND list = GetDlgItem(IDC_SYNC_BOOK);
  ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
  int chosen = -1;
  for (std::size_t i = 0; i < books.size(); ++i) {
    const std::wstring& name = books[i].name.empty() ? books[i].url : books[i].name;
    ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (books[i].url == selected) chosen = static_cast<int>(i);
  }
  if (chosen < 0 && !books.empty()) chosen = static_cast<int>(dialogs::DefaultBook(books));
  ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

void DlgAddressBookSync::FillGroups() {
  HWND list = GetDlgItem(IDC_SYNC_GROUPS);
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client{};
  ::GetClientRect(list, &client);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
  ListView_InsertColumn(list, 0, &column);
  for (std::size_t i = 0; i < groups.size(); ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(groups[i].name.c_str());
    const int index = ListView_InsertItem(list, &item);
    const bool ticked = chosenGroups.empty() ||
                        std::find(chosenGroups.begin(), chosenGroups.end(), groups[i].id) != chosenGroups.end();
    ListView_SetCheckState(list, index, ticked ? TRUE : FALSE);
  }
}

void DlgAddressBookSync::ShowLastResult() {
  const std::wstring text = lastResult ? lastResult() : std::wstring();
  ::SetDlgItemTextW(m_hWnd, IDC_SYNC_LAST, text.empty() ? L"Not synced yet." : text.c_str());
}

void DlgAddressBookSync::ShowSearching(bool searching) {
  Enable(m_hWnd, IDC_SYNC_FIND, !searching);
  if (searching) ::SetDlgItemTextW(m_hWnd, IDC_SYNC_FIND_STATUS, kSearching);
}

void DlgAddressBookSync::OnFindClicked(UINT, int, HWND) {
  const std::wstring address = dialogs::ServerAddress(TextOf(m_hWnd, IDC_SYNC_SERVER));
  if (address.empty()) {
    dialogs::ShowInputError(m_hWnd, L"Please, give the address book server's name or address.");
    return;
  }
  if (!http::AllowedUrl(text::EncodeUtf8(address))) {
    dialogs::ShowInputError(m_hWnd,
                            L"Please, give an https:// address; plain http:// is only for a server on this computer.");
    return;
  }
  address_ = address;
  pending_ = std::make_shared<Pending>();
  pending_->window = m_hWnd;
  ShowSearching(true);
  // The answer comes back as a message; the dialog may be gone by then.
  std::thread([pending = pending_, find = search, address, name = Trimmed(TextOf(m_hWnd, IDC_SYNC_USER)),
               secret = text::EncodeUtf8(TextOf(m_hWnd, IDC_SYNC_PASSWORD))]() {
    dialogs::BookSearch answer;
    try {
      answer = find(address, name, secret);
    } catch (...) {
      answer.problem = L"The address books could not be looked for.";
    }
    std::lock_guard<std::mutex> hold(pending->lock);
    pending->answer = std::move(answer);
    if (pending->window) ::PostMessageW(pending->window, WM_ADDRESS_BOOKS_FOUND, 0, 0);
  }).detach();
}

void DlgAddressBookSync::OnBooksFound() {
  if (!pending_) return;
  dialogs::BookSearch answer;
  {
    std::lock_guard<std::mutex> hold(pending_->lock);
    answer = std::move(pending_->answer);
  }
  pending_.reset();
  ShowSearching(false);
  if (!answer.problem.empty()) {
    ::SetDlgItemTextW(m_hWnd, IDC_SYNC_FIND_STATUS, answer.problem.c_str());
    return;
  }
  const std::wstring count = std::to_wstring(answer.books.size());
  ::SetDlgItemTextW(m_hWnd, IDC_SYNC_FIND_STATUS,
                    answer.books.size() == 1 ? L"1 address book found." : (count + L" address books found.").c_str());
  books = std::move(answer.books);
  booksServer_ = address_;
  FillBooks(book);
}

bool DlgAddressBookSync::Collect() {
  const std::wstring address = Trimmed(TextOf(m_hWnd, IDC_SYNC_SERVER));
  const std::wstring name = Trimmed(TextOf(m_hWnd, IDC_SYNC_USER));
  if (address.empty()) {
    dialogs::ShowInputError(m_hWnd, L"Please, give the address book server's name or address.");
    return false;
  }
  if (!http::AllowedUrl(text::EncodeUtf8(dialogs::ServerAddress(address)))) {
    dialogs::ShowInputError(m_hWnd,
                            L"Please, give an https:// address; plain http:// is only for a server on this computer.");
    return false;
  }
  if (name.empty()) {
    dialogs::ShowInputError(m_hWnd, L"Please, give the user name of the address book account.");
    return false;
  }
  HWND list = GetDlgItem(IDC_SYNC_GROUPS);
  std::vector<std::int32_t> ticked;
  for (std::size_t i = 0; i < groups.size(); ++i)
    if (ListView_GetCheckState(list, static_cast<int>(i))) ticked.push_back(groups[i].id);
  if (!groups.empty() && ticked.empty()) {
    dialogs::ShowInputError(m_hWnd, L"Please, tick at least one group to sync.");
    return false;
  }
  server = dialogs::ServerAddress(address);
  user = name;
  password = TextOf(m_hWnd, IDC_SYNC_PASSWORD);
  const LRESULT index = ::SendDlgItemMessageW(m_hWnd, IDC_SYNC_BOOK, CB_GETCURSEL, 0, 0);
  if (dialogs::ServerAddress(address) != booksServer_)
    book.clear();
  else if (index >= 0 && static_cast<std::size_t>(index) < books.size())
    book = books[static_cast<std::size_t>(index)].url;
  // Every group ticked is every group, so that the groups made later sync too.
  chosenGroups = ticked.size() == groups.size() ? std::vector<std::int32_t>() : ticked;
  return true;
}

void DlgAddressBookSync::OnSyncNowClicked(UINT, int, HWND) {
  if (!syncNow || !Collect()) return;
  syncNow(*this);
  // What was typed is stored: a kept password from here on.
  if (!password.empty()) {
    passwordKept = true;
    password.clear();
    ::SetDlgItemTextW(m_hWnd, IDC_SYNC_PASSWORD, L"");
    ::SetDlgItemTextW(m_hWnd, IDC_SYNC_PASSWORD_NOTE, L"A password is kept. Type one only to replace it.");
  }
  hasAccount = true;
  Enable(m_hWnd, IDC_SYNC_REMOVE, true);
  ShowLastResult();
}

void DlgAddressBookSync::OnRemoveClicked(UINT, int, HWND) {
  const int answer = ::MessageBoxW(m_hWnd,
                                   L"The contacts stay here, no longer linked with the address book, and the kept "
                                   L"password is removed.",
                                   kRemoveQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  if (answer != IDYES) return;
  if (removeAccount) removeAccount();
  EndDialog(kAccountRemoved);
}

void DlgAddressBookSync::OnAccept(UINT, int, HWND) {
  if (Collect()) EndDialog(IDOK);
}

void DlgAddressBookSync::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }
