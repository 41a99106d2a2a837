#include "app/address_book_setup.h"

#include <string>

#include "app/data_session.h"
#include "app/sync_control.h"
#include "dialogs/dlg_address_book_sync.h"
#include "model/credentials.h"
#include "model/journal.h"
#include "model/text_decoding.h"

namespace {

std::wstring WithSlash(std::wstring url) {
  if (!url.empty() && url.back() != L'/') url += L'/';
  return url;
}

// Another server or book is another set of cards: what was linked is not.
void ForgetLinks(Journal& journal) {
  for (auto& [id, history] : journal.contacts) history.card = CardLink{};
  journal.state.sync.syncToken.clear();
  journal.state.sync.removedHere.clear();
}

}  // namespace

void AddressBookSetup::Run(HWND owner) {
  DlgAddressBookSync dialog;
  Fill(dialog);
  if (dialog.DoModal(owner) == IDOK) Store(dialog);
}

void AddressBookSetup::Fill(DlgAddressBookSync& dialog) {
  const Engine& engine = session_.GetEngine();
  const SyncAccount& account = engine.journal->state.sync;
  dialog.server = account.server;
  dialog.user = account.user;
  dialog.book = account.book;
  if (!account.book.empty()) dialog.books = {dialogs::FoundBook{account.book, L""}};
  for (const Groups::Item& group : *engine.groups)
    if (group) dialog.groups.push_back(DlgAddressBookSync::Group{group->id, group->name});
  dialog.chosenGroups = account.groups;
  std::string kept;
  dialog.passwordKept = !account.server.empty() && credentials::Read(account.server, account.user, kept);
  kept.assign(kept.size(), '\0');
  dialog.hasAccount = !account.server.empty();
  dialog.lastResult = [this]() { return control_ ? control_->LastResult() : std::wstring(); };
  if (control_)
    dialog.syncNow = [this](DlgAddressBookSync& shown) {
      Store(shown);
      control_->SyncNow();
    };
  dialog.removeAccount = [this]() { RemoveAccount(); };
  // Without a password typed, the search uses the one kept for what was typed.
  dialog.search = [](const std::wstring& server, const std::wstring& user, const std::string& typed) {
    std::string password = typed;
    if (password.empty()) credentials::Read(server, user, password);
    return dialogs::SearchAddressBooks(server, user, password);
  };
}

void AddressBookSetup::Store(const DlgAddressBookSync& dialog) {
  Journal& journal = *session_.GetEngine().journal;
  SyncAccount& account = journal.state.sync;
  std::string password = text::EncodeUtf8(dialog.password);
  const bool otherLogin = account.server != dialog.server || account.user != dialog.user;
  if (otherLogin && !account.server.empty()) {
    // The password kept under the old name goes with it, unless a new one was typed.
    std::string kept;
    if (credentials::Read(account.server, account.user, kept) && password.empty()) password = kept;
    credentials::Remove(account.server, account.user);
  }
  if (!password.empty()) credentials::Write(dialog.server, dialog.user, password);
  if (account.server != dialog.server || WithSlash(account.book) != WithSlash(dialog.book)) ForgetLinks(journal);
  // Cards of a group just chosen did not change since the last sync: only a
  // whole listing brings them.
  if (account.groups != dialog.chosenGroups) account.syncToken.clear();
  account.server = dialog.server;
  account.user = dialog.user;
  account.book = dialog.book.empty() ? std::wstring() : WithSlash(dialog.book);
  account.groups = dialog.chosenGroups;
  journal.Touch();
  Saved();
}

void AddressBookSetup::RemoveAccount() {
  Journal& journal = *session_.GetEngine().journal;
  SyncAccount& account = journal.state.sync;
  if (!account.server.empty()) credentials::Remove(account.server, account.user);
  ForgetLinks(journal);
  account = SyncAccount{};
  journal.Touch();
  Saved();
}

void AddressBookSetup::Saved() {
  session_.SaveAll();
  if (control_) control_->AccountChanged();
}
