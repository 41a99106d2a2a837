#pragma once
// The row menu's commands on several selected people at once: each person
// changed as the command would change them alone, one dialog for all where
// there is one, the rows following in one go and one save at the end.
#include "base/windows_api.h"

#include <cstdint>
#include <vector>

#include "model/platform.h"
#include "model/snooze.h"

class DataSession;
class GroupTabs;

class BulkActions {
 public:
  // session and tabs are not owned and outlive this.
  BulkActions(DataSession& session, GroupTabs& tabs);
  BulkActions(const BulkActions&) = delete;
  BulkActions& operator=(const BulkActions&) = delete;

  // The window the model announces its changes to, and the owner of the
  // export's messages (not owned).
  void SetWindow(HWND window) { window_ = window; }

  // Each gets the tick's effect at `now`: the time, the journal entry, the
  // "(Undo)" link on its rows, the snooze ended.
  bool Tick(const std::vector<std::int32_t>& ids, Time now);
  // The dialog titled "Log Contact: N People"; its date, time and text go into each journal.
  bool Log(const std::vector<std::int32_t>& ids, HWND dialogParent);
  bool Snooze(const std::vector<std::int32_t>& ids, SnoozeChoice choice, HWND dialogParent);
  bool Move(const std::vector<std::int32_t>& ids, std::int32_t groupId);
  bool Export(const std::vector<std::int32_t>& ids, HWND dialogParent);
  bool Delete(const std::vector<std::int32_t>& ids);

 private:
  // The one save of a bulk change, in place of those each removal asked for.
  void SaveOnce();
  // Tells the feed the journal changed and repaints: statuses may read differently now.
  void JournalChanged();

  DataSession& session_;
  GroupTabs& tabs_;
  HWND window_ = nullptr;  // not owned
};
