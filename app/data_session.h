#pragma once
#include "base/windows_api.h"

#include <string>
#include <vector>

#include "framework/message_map.h"
#include "framework/scheduler.h"
#include "model/engine.h"

// The program's data while it runs: the Engine, loading it, and saving it
// with the user told once when saving stops working. While a session lives it
// is also where an exception that escaped a window's handler goes: data may be
// at stake, so it is saved (and a failure reported) rather than lost silently.
class DataSession {
 public:
  DataSession();
  ~DataSession();
  DataSession(const DataSession&) = delete;
  DataSession& operator=(const DataSession&) = delete;

  // The window that owns the session's message boxes; not owned, and may be
  // destroyed before the session (the boxes then have no owner).
  void SetWindow(HWND window) { window_ = window; }

  // Reads the four files, remembering what was damaged for ReportLoadProblems.
  void Load();
  // The collections and every loaded contact announce their changes to window.
  void SendChangesTo(HWND window);
  bool HasLoadProblems() const { return loadReport_.AnyDamaged(); }
  // Tells the user which files were damaged and where their copies are kept;
  // once per start.
  void ReportLoadProblems();

  // Writes the four data files; a failure is told to the user once, not at
  // every save, until a save succeeds again. The first save of a day first
  // backs the files up as they are. A file someone else wrote since it was
  // last read is kept beside before it is replaced, and the user is told.
  bool SaveAll();
  // SaveAll a moment later, once what the user did is on screen: the thread's
  // timers come after pending input and painting. Requests made before it runs
  // give one save; a SaveAll that comes first takes its place.
  void SaveSoon();
  // Runs the save SaveSoon asked for now, if it has not run yet: before
  // anything reads or replaces the files, and before the window goes.
  void SavePending();
  bool HasPendingSave() const { return pendingSave_.Pending(); }

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

  Engine engine_;
  HWND window_ = nullptr;  // not owned
  Engine::LoadReport loadReport_;
  bool saveFailureReported_ = false;
  int saveCount_ = 0;
  framework::ScheduledTask pendingSave_;
  // Sessions nest only in tests; the one made last is the one reporting.
  DataSession* outerSession_ = nullptr;
  framework::ExceptionReporter outerReporter_ = nullptr;
};
