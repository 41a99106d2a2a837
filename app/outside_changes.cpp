#include "app/outside_changes.h"

#include <algorithm>
#include <vector>

#include "app/data_session.h"
#include "model/file_system.h"

OutsideChanges::OutsideChanges(DataSession& session)
    : session_(session), changes_(session.Changes().Subscribe([this](const Change& change) {
        if (change.kind == Change::Kind::FilesRestored) LookNow();
      })) {}

OutsideChanges::~OutsideChanges() { Stop(); }

void OutsideChanges::Start(HWND window, UINT message) {
  window_ = window;
  // A first start has no folder yet; the watch needs one.
  files::EnsureFolderFor(session_.GetEngine().optionsPath);
  watch_.Start(session_.DataFolder(), window, message);
}

void OutsideChanges::Stop() {
  watch_.Stop();
  settleTask_.Reset();
  retryTask_.Reset();
}

void OutsideChanges::FolderChanged() {
  if (settleTask_) return;
  settleTask_ = framework::ScheduledTask::After(kSettle, [this] { Look(false); });
}

void OutsideChanges::WindowEnabled() {
  if (!blocked_ || !::IsWindowEnabled(window_)) return;
  Look(blockedRetry_);
}

void OutsideChanges::Look(bool retry) {
  // A modal dialog (or message box) is open over the window: its data stays
  // as the dialog saw it until it closes.
  if (!window_ || !::IsWindowEnabled(window_)) {
    blocked_ = true;
    blockedRetry_ = blockedRetry_ || retry;
    return;
  }
  blocked_ = blockedRetry_ = false;
  // Our own save is being written, most likely what the folder watch saw:
  // look again once it is done. Waiting for it here kept the window from
  // answering until the whole save was written. A change of ours not yet
  // handed over would otherwise give way to the files: it goes to the writer
  // first, and the look waits for it the same way.
  session_.HandOverPendingSave();
  if (session_.WriterBusy()) {
    if (!settleTask_) settleTask_ = framework::ScheduledTask::After(kSettle, [this, retry] { Look(retry); });
    return;
  }
  // Takes in what the writer reported (a failed save is told first).
  session_.SavePending();
  Engine::Reread reread = session_.GetEngine().ReadChanged();
  std::vector<std::wstring> damaged;
  bool again = false;
  for (const std::wstring& path : reread.incomplete) {
    if (retry && waiting_.count(path)) {
      damaged.push_back(path);
    } else if (waiting_.insert(path).second) {
      again = true;
    }
  }
  for (auto it = waiting_.begin(); it != waiting_.end();) {
    const bool stillIncomplete = std::find(reread.incomplete.begin(), reread.incomplete.end(), *it) !=
                                 reread.incomplete.end();
    const bool declared = std::find(damaged.begin(), damaged.end(), *it) != damaged.end();
    it = stillIncomplete && !declared ? std::next(it) : waiting_.erase(it);
  }
  if (again && !retryTask_) {
    retryTask_ = framework::ScheduledTask::After(kRetry, [this] { Look(true); });
  }
  if (reread.Any()) TakeIn(reread);
  session_.ReportOutsideDamage(damaged);
}

void OutsideChanges::TakeIn(Engine::Reread& reread) {
  Change reloaded{Change::Kind::Reloaded};
  reloaded.optionsReread = static_cast<bool>(reread.options);
  // The rows point at the contacts about to be replaced: they go first. The
  // collections change without announcing each contact.
  session_.Tell(Change{Change::Kind::Replacing});
  session_.GetEngine().Adopt(reread);
  session_.SendChangesTo(window_);
  session_.Tell(reloaded);
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
