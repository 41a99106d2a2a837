#pragma once
#include "base/windows_api.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/change_feed.h"
#include "framework/message_map.h"
#include "framework/scheduler.h"
#include "model/engine.h"
#include "model/save_writer.h"

// Posted for each contact removal: the collection erases the contact only
// after its removal message returns, so the save must come after that.
inline constexpr UINT WM_SAVE_AFTER_REMOVAL = WM_APP + 2;
// Posted by the writer thread when a save it made is done: what it found is
// told on the window's thread.
inline constexpr UINT WM_SAVE_WRITTEN = WM_APP + 4;

// The program's data while it runs: the Engine, loading it, telling every
// change to the parts that follow the data (Changes), and saving it with the
// user told once when saving stops working. While a session lives it is also
// where an exception that escaped a window's handler goes: data may be at
// stake, so it is saved (and a failure reported) rather than lost silently.
//
// Saving: a command that changes data asks for the save itself, once its
// change is made (SaveAll). What the rows change without a command is saved
// here as Tell passes it on: a tick and its undo a moment later (SaveSoon), a
// removed contact once the collection has erased it (WM_SAVE_AFTER_REMOVAL).
// No change waits for a later one to be saved; the window's place and size
// are saved at exit.
//
// The window's thread only takes a snapshot of the data; the writer thread
// writes it as one set. SaveSoon's save is written in the background; SaveAll
// and SavePending wait for the writer, so a command, the exit, the end of the
// Windows session, a restore, an import and a look at outside changes all
// find the files written. What a background save found (a failure, a file
// someone else wrote) is told on the window's thread when it is done.
class DataSession {
 public:
  DataSession();
  ~DataSession();
  DataSession(const DataSession&) = delete;
  DataSession& operator=(const DataSession&) = delete;

  // Reads the data files, remembering what was damaged for ReportLoadProblems,
  // and has the collections and every contact announce their changes to
  // window, which hands them to Tell. The window (not owned) also owns the
  // session's message boxes, and may be destroyed before the session (the
  // boxes then have no owner).
  void Start(HWND window);
  // After the collections were given new records: they announce to the
  // session's window too.
  void SendChangesTo(HWND window);
  // Where the parts that follow the data subscribe.
  ChangeFeed& Changes() { return changes_; }
  // Passes a change on to the subscribers, with what the session itself does
  // about it: a removed group's contacts go first, told as one change
  // (ContactsRemoved) and saved by the command that removed the group; a tick is
  // recorded in the journal (and its undo taken out) before anyone is told;
  // and the save policy above.
  void Tell(const Change& change);
  // Several contacts deleted together leave as a removed group's do: out of
  // the collection in one pass, told as one change, saved by the caller once.
  // Answers how many went.
  std::size_t RemoveContacts(const std::vector<std::int32_t>& ids);
  bool HasLoadProblems() const { return loadReport_.AnyDamaged(); }
  // Tells the user which files were damaged and where their copies are kept;
  // once per start.
  void ReportLoadProblems();

  // Writes the four data files; a failure is told to the user once, not at
  // every save, until a save succeeds again. The first save of a day first
  // backs the files up as they are. A file someone else wrote since it was
  // last read is kept beside before it is replaced, and the user is told.
  bool SaveAll();
  // Hands a snapshot to the writer thread and returns; a snapshot still
  // waiting for the writer gives way to this newer one.
  void SaveInBackground();
  // Waits for the writer and tells what its saves found.
  void WaitForWriter();
  // On the window's thread, once the writer posted WM_SAVE_WRITTEN.
  void TellWritten();
  // Called by the writer thread before each write (tests make a write last).
  void SetBeforeWriteForTesting(std::function<void()> hook) { beforeWrite_ = std::move(hook); }
  // SaveAll a moment later, once what the user did is on screen: the thread's
  // timers come after pending input and painting. Requests made before it runs
  // give one save; a SaveAll that comes first takes its place.
  void SaveSoon();
  // Runs the save SaveSoon asked for now, if it has not run yet: before
  // anything reads or replaces the files, and before the window goes.
  void SavePending();
  // The same without waiting: the save SaveSoon asked for goes to the writer now.
  void HandOverPendingSave();
  bool HasPendingSave() const;
  // Whether the writer thread has a save running or waiting.
  bool WriterBusy() const { return writer_.Busy(); }

  // Files written by someone else that still do not read completely: each is
  // kept as a .damaged copy, the data in memory stays (the next save writes
  // over the file), and the user is told once.
  void ReportOutsideDamage(const std::vector<std::wstring>& paths);
  // Every SaveAll call since the session was made, successful or not.
  int SaveCount() const { return saveCount_; }

  Engine& GetEngine() { return engine_; }
  const Engine& GetEngine() const { return engine_; }
  // The folder that holds the data files.
  std::wstring DataFolder() const;

 private:
  static void ReportHandlerException(UINT message, const char* what);
  void ReportConflicts(const std::vector<std::wstring>& copies);
  HWND BoxOwner() const;
  void CancelPendingSave();

  void FollowTick(const Change& change);
  void Submit();
  // Tells the outcomes of finished saves; answers whether the last one saved.
  bool TellFinished();
  void TellRemoved(const std::vector<Contacts::Item>& taken);

  Engine engine_;
  ChangeFeed changes_;
  HWND window_ = nullptr;  // not owned
  // The time of each contact's last tick that can still be undone.
  std::unordered_map<std::int32_t, Time> ticks_;
  Engine::LoadReport loadReport_;
  bool saveFailureReported_ = false;
  int saveCount_ = 0;
  framework::ScheduledTask pendingSave_;
  // Sessions nest only in tests; the one made last is the one reporting.
  DataSession* outerSession_ = nullptr;
  framework::ExceptionReporter outerReporter_ = nullptr;
  // The outcomes the writer left for the window's thread, in order.
  mutable std::mutex finishedLock_;
  std::deque<Engine::Written> finished_;
  bool lastSaved_ = true;
  std::function<void()> beforeWrite_;
  // Last: it goes first, finishing its save while everything it uses lives.
  SaveWriter writer_;
};
