#pragma once
// The address book sync's account as the user sets it up from Options: the
// settings dialog filled from the journal, what it returns stored there (the
// password in Windows' credential store), the account's removal, and the
// background sync told of each change.
#include "base/windows_api.h"

class DataSession;
class DlgAddressBookSync;
class SyncControl;

class AddressBookSetup {
 public:
  // session is not owned and outlives the setup.
  explicit AddressBookSetup(DataSession& session) : session_(session) {}
  AddressBookSetup(const AddressBookSetup&) = delete;
  AddressBookSetup& operator=(const AddressBookSetup&) = delete;

  // The background sync (not owned); null while there is none, and Sync Now
  // is then disabled.
  void SetSyncControl(SyncControl* control) { control_ = control; }

  // Runs the settings, owned by owner (the Options dialog).
  void Run(HWND owner);

  // What Run does around the dialog.
  void Fill(DlgAddressBookSync& dialog);
  void Store(const DlgAddressBookSync& dialog);
  // The contacts stay; their links with the cards, the account and its
  // password go.
  void RemoveAccount();

 private:
  void Saved();

  DataSession& session_;
  SyncControl* control_ = nullptr;  // not owned
};
