#pragma once
// Keeps the data in memory in step with files someone else writes into the
// settings folder while the program runs (a sync service, a file put back by
// hand, a restore). A file that reads completely replaces what memory holds
// and the session tells its subscribers (the tabs and rows follow); one that stops part way may still be being
// written, so it is looked at again a few seconds later, and only then
// treated as damage. Nothing is reloaded under an open dialog: the look waits
// until the main window is enabled again.
#include "base/windows_api.h"

#include <chrono>
#include <set>
#include <string>

#include "app/change_feed.h"
#include "app/folder_watch.h"
#include "framework/scheduler.h"
#include "model/engine.h"

class DataSession;

class OutsideChanges {
 public:
  // A burst of writes settles before the files are read.
  static constexpr std::chrono::milliseconds kSettle{500};
  // How long a file that stopped part way gets to be finished.
  static constexpr std::chrono::milliseconds kRetry{3000};

  // session is not owned and outlives this object.
  explicit OutsideChanges(DataSession& session);
  ~OutsideChanges();
  OutsideChanges(const OutsideChanges&) = delete;
  OutsideChanges& operator=(const OutsideChanges&) = delete;

  // Watches the session's folder; each change reaches window as message, which
  // the window hands to FolderChanged.
  void Start(HWND window, UINT message);
  void Stop();
  bool Watching() const { return watch_.Running(); }

  // The folder changed: look once the writes have settled.
  void FolderChanged();
  // Look now (a restore put files in place: the session tells it).
  void LookNow() { Look(false); }
  // The main window was enabled again (a dialog closed).
  void WindowEnabled();

 private:
  void Look(bool retry);
  void TakeIn(Engine::Reread& reread);

  DataSession& session_;
  HWND window_ = nullptr;  // not owned
  FolderWatch watch_;
  framework::ScheduledTask settleTask_;
  framework::ScheduledTask retryTask_;
  // Files that stopped part way at the last look, waiting for the retry.
  std::set<std::wstring> waiting_;
  bool blocked_ = false;
  bool blockedRetry_ = false;
  ChangeFeed::Subscription changes_;
};
