#pragma once
// What the address book's settings ask of the sync that runs in the
// background: the dialog and the tray menu start a sync through it, and it
// hears when the account was set up, changed or removed.
#include <string>

class SyncControl {
 public:
  virtual ~SyncControl() = default;

  // Starts a sync now (after a pause for a wrong password, too); nothing
  // happens without an account.
  virtual void SyncNow() = 0;
  // The account (server, user, address book, groups, password) was set up,
  // changed or removed: retries and pauses are forgotten and the next sync is
  // planned afresh, or none without an account.
  virtual void AccountChanged() = 0;
  // The last sync's time and result in a sentence, as the dialog and the
  // tray's tip show it: "Synced 2 min ago." or why not.
  virtual std::wstring LastResult() const = 0;
};
