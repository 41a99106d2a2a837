#pragma once
// The address book sync's settings: the server, the user and the password,
// the address book found there, the groups that sync, the last sync's result,
// a sync now and the account's removal. The caller stores what comes back and
// does what the buttons ask through the functions it sets.
#include "base/windows_api.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dialogs/address_book_search.h"
#include "framework/crackers.h"
#include "framework/dialog.h"
#include "resource.h"

// The search's answer arrives as this message to the dialog.
inline constexpr UINT WM_ADDRESS_BOOKS_FOUND = WM_APP + 40;

class DlgAddressBookSync : public CDialogImpl<DlgAddressBookSync> {
 public:
  enum { IDD = IDD_ADDRESS_BOOK_SYNC };
  // What DoModal answers when the user removed the account.
  static constexpr int kAccountRemoved = IDC_SYNC_REMOVE;

  struct Group {
    std::int32_t id = 0;
    std::wstring name;
  };
  // Runs on a worker thread: the password is the one typed, or empty for the kept one.
  using Search = std::function<dialogs::BookSearch(const std::wstring& server, const std::wstring& user,
                                                   const std::string& password)>;

  BEGIN_MSG_MAP(DlgAddressBookSync)
    MSG_WM_INITDIALOG(OnInitDialog)
    MSG_WM_DESTROY(OnDestroy)
    MSG_PLAIN(WM_ADDRESS_BOOKS_FOUND, OnBooksFound)
    COMMAND_HANDLER_EX(IDC_SYNC_FIND, BN_CLICKED, OnFindClicked)
    COMMAND_HANDLER_EX(IDC_SYNC_NOW, BN_CLICKED, OnSyncNowClicked)
    COMMAND_HANDLER_EX(IDC_SYNC_REMOVE, BN_CLICKED, OnRemoveClicked)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnAccept)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnCancel)
  END_MSG_MAP()

  // In and out (after IDOK, and before syncNow runs).
  std::wstring server;
  std::wstring user;
  std::wstring book;                       // the address book's address; empty: the server's default
  std::vector<dialogs::FoundBook> books;   // the books to offer; the search replaces them
  std::vector<Group> groups;               // in: every group, in order
  std::vector<std::int32_t> chosenGroups;  // empty: every group, those made later too
  // In: a password is kept for the account. Out: the password typed, empty
  // to keep the one there is.
  bool passwordKept = false;
  std::wstring password;
  bool hasAccount = false;  // Remove Account needs one

  // Set by the caller. lastResult: the last sync's time and result. syncNow
  // (null: Sync Now is disabled) stores what the dialog holds, then syncs.
  // removeAccount runs after the user said yes, and the dialog closes.
  std::function<std::wstring()> lastResult;
  std::function<void(DlgAddressBookSync&)> syncNow;
  std::function<void()> removeAccount;
  Search search = dialogs::SearchAddressBooks;

  static constexpr wchar_t kRemoveQuestion[] = L"Remove the address book account?";
  static constexpr wchar_t kSearching[] = L"Looking for address books...";

 private:
  // What the worker and the dialog share; the worker posts to window only
  // while the dialog lives.
  struct Pending {
    std::mutex lock;
    HWND window = nullptr;
    dialogs::BookSearch answer;
  };

  BOOL OnInitDialog(HWND focus, LPARAM initParam);
  void OnDestroy();
  void OnBooksFound();
  void OnFindClicked(UINT code, int id, HWND control);
  void OnSyncNowClicked(UINT code, int id, HWND control);
  void OnRemoveClicked(UINT code, int id, HWND control);
  void OnAccept(UINT code, int id, HWND control);
  void OnCancel(UINT code, int id, HWND control);

  // Checks what was typed and takes it into the members; false after telling the user why not.
  bool Collect();
  void FillBooks(const std::wstring& selected);
  void FillGroups();
  void ShowLastResult();
  void ShowSearching(bool searching);

  std::shared_ptr<Pending> pending_;
  // The server the books offered belong to: a book of another server is none.
  std::wstring booksServer_;
  std::wstring address_;  // the address being searched
};
