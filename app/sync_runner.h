#pragma once
// The address book sync while the program runs. Without an account nothing
// happens: no thread, no connection. With one, a sync runs at the start once
// the window shows, every quarter of an hour, ten seconds after a change, after
// waking and at unlock, and from the tray's "Sync Now". Each sync works on a
// copy of the data on a thread of its own; what it changed comes back to the
// window's thread and goes into the live data as one change with one save.
#include "base/windows_api.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/change_feed.h"
#include "app/sync_control.h"
#include "framework/crackers.h"
#include "framework/scheduler.h"
#include "model/engine.h"
#include "model/sync_status.h"

class DataSession;
class GroupTabs;
class TrayIcon;
namespace cardsync {
struct Account;
struct Report;
}  // namespace cardsync

// Posted by the sync's thread when it is done; its result waits in the runner.
inline constexpr UINT WM_SYNC_DONE = WM_APP + 5;
// Posted to show the sync's messages after the change they follow is made.
inline constexpr UINT WM_SYNC_MESSAGE = WM_APP + 6;

class SyncRunner : public SyncControl, public CMessageMap {
 public:
  static constexpr std::chrono::minutes kEvery{15};
  static constexpr std::chrono::seconds kAfterChange{10};
  static constexpr std::chrono::minutes kLongestRetry{60};
  // How long the exit waits for a sync still talking to the server.
  static constexpr std::chrono::seconds kExitWait{2};

  // session, tabs and tray are not owned and outlive the runner.
  SyncRunner(DataSession& session, GroupTabs& tabs, TrayIcon& tray);
  ~SyncRunner() override;
  SyncRunner(const SyncRunner&) = delete;
  SyncRunner& operator=(const SyncRunner&) = delete;

  BEGIN_MSG_MAP(SyncRunner)
    MSG_PLAIN(WM_SYNC_DONE, OnSyncDone)
    MSG_PLAIN(WM_SYNC_MESSAGE, OnMessage)
    MSG_WM_POWERBROADCAST(OnPowerBroadcast)
    MSG_WM_WTSSESSION_CHANGE(OnSessionChange)
  END_MSG_MAP()

  // window (the main window, not owned) gets the sync's messages and owns its
  // boxes; the first sync follows the window's first paint.
  void Start(HWND window);
  // No more syncs; one still running is waited for at most kExitWait, and
  // what it brings is dropped.
  void Stop();

  void SyncNow() override;
  void AccountChanged() override;
  std::wstring LastResult() const override;

  bool HasAccount() const;
  // What tests read.
  bool Running() const { return running_; }
  int Finished() const { return finished_; }
  bool Paused() const { return paused_; }

 private:
  struct Channel;
  struct Outcome;

  // The sync's thread: everything it touches is its own (the copy, the
  // client, the password) or the channel, which it keeps alive.
  static void Work(std::shared_ptr<Channel> channel, std::shared_ptr<const Engine> before, cardsync::Account account,
                   std::string password, Time now, bool propose);
  void Follow(const Change& change);
  void PlanNext(std::chrono::milliseconds delay);
  void Begin();
  void OnSyncDone();
  void Finish(Outcome& outcome, const Engine& before);
  void Ask(Outcome& outcome);
  void Apply(const Engine& before, Engine& synced);
  void Failed(const cardsync::Report& report);
  void Tell(std::wstring text);
  void OnMessage();
  void OnPowerBroadcast(UINT event);
  void OnSessionChange(UINT event, DWORD sessionId);
  void ShowLine();

  DataSession& session_;
  GroupTabs& tabs_;
  TrayIcon& tray_;
  HWND window_ = nullptr;  // not owned
  std::shared_ptr<Channel> channel_;
  // The copy handed to the running sync as it was, to tell its changes by.
  // The data as the running sync began with it, shared with the sync's
  // thread, which copies it and never changes it.
  std::shared_ptr<const Engine> before_;
  bool running_ = false;
  bool again_ = false;
  bool proposing_ = false;
  // The first sync's links with the people here were confirmed (or none was proposed).
  bool linksConfirmed_ = false;
  // A wrong password, a refused certificate, or links not confirmed: no sync
  // until the account changes or the user asks for one.
  bool paused_ = false;
  bool applying_ = false;
  bool asking_ = false;
  bool stopped_ = true;
  int retries_ = 0;
  int finished_ = 0;
  // Counts the data's replacements: a sync that began before one brings nothing.
  std::uint64_t generation_ = 0;
  std::uint64_t startedAt_ = 0;
  SyncStatus status_;
  std::deque<std::wstring> messages_;
  framework::ScheduledTask nextTask_;
  framework::ScheduledTask changeTask_;
  framework::ScheduledTask lineTask_;
  ChangeFeed::Subscription changes_;
};
