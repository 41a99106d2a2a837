#include "app/data_session.h"

#include <chrono>
#include <exception>
#include <memory>
#include <unordered_set>

#include "app/message_caption.h"
#include "model/backups.h"
#include "model/journal_history.h"
#include "model/paths.h"

namespace {

DataSession* liveSession = nullptr;
// A save's message box runs a message loop, where another handler may fail.
bool reportingException = false;

}  // namespace

DataSession::DataSession()
    : outerSession_(liveSession), outerReporter_(framework::SetExceptionReporter(&ReportHandlerException)) {
  liveSession = this;
}

DataSession::~DataSession() {
  CancelPendingSave();
  writer_.Wait();
  liveSession = outerSession_;
  framework::SetExceptionReporter(outerReporter_);
}

// The program writes no debug output: the fault shows as what it does to the
// data, which is saved, and a save that fails is told.
void DataSession::ReportHandlerException(UINT, const char*) {
  if (!liveSession || reportingException) return;
  reportingException = true;
  liveSession->SaveAll();
  reportingException = false;
}

void DataSession::Start(HWND window) {
  window_ = window;
  loadReport_ = engine_.Load();
  SendChangesTo(window);
}

void DataSession::Tell(const Change& change) {
  // A removed group's contacts leave in one pass, told as one change: one by
  // one, each cost a pass over every row and a save of its own, a minute for
  // a group of thousands. The records live until every part has let go.
  std::vector<Contacts::Item> taken;
  if (change.kind == Change::Kind::GroupRemoved && change.group) {
    taken = engine_.contacts->TakeGroup(change.group->id);
    if (!taken.empty()) TellRemoved(taken);
  }
  FollowTick(change);
  changes_.Tell(change);
  switch (change.kind) {
    case Change::Kind::ContactRemoved:
      if (window_) ::PostMessageW(window_, WM_SAVE_AFTER_REMOVAL, 0, 0);
      break;
    case Change::Kind::ContactTicked:
    case Change::Kind::TickUndone:
      SaveSoon();
      break;
    default:
      break;
  }
}

std::size_t DataSession::RemoveContacts(const std::vector<std::int32_t>& ids) {
  const std::vector<Contacts::Item> taken = engine_.contacts->Take(ids);
  if (!taken.empty()) TellRemoved(taken);
  return taken.size();
}

void DataSession::TellRemoved(const std::vector<Contacts::Item>& taken) {
  std::unordered_set<std::int32_t> ids;
  ids.reserve(taken.size());
  for (const Contacts::Item& contact : taken) {
    ids.insert(contact->id);
    ticks_.erase(contact->id);
  }
  Change removed{Change::Kind::ContactsRemoved};
  removed.removedIds = &ids;
  changes_.Tell(removed);
}

// The journal gets the tick's entry, and the undo removes exactly that entry again.
void DataSession::FollowTick(const Change& change) {
  if (!change.contact) return;
  const Contact& contact = *change.contact;
  if (change.kind == Change::Kind::ContactTicked) {
    RecordTick(*engine_.journal, contact);
    ticks_[contact.id] = contact.lastContacted;
  } else if (change.kind == Change::Kind::TickUndone) {
    const auto tick = ticks_.find(contact.id);
    if (tick == ticks_.end()) return;
    UndoTick(*engine_.journal, contact.id, tick->second);
    ticks_.erase(tick);
  }
}

void DataSession::SendChangesTo(HWND window) {
  engine_.groups->notifyWindow = window;
  engine_.contacts->notifyWindow = window;
  for (const Contacts::Item& contact : *engine_.contacts)
    if (contact) contact->notifyWindow = window;
}

void DataSession::ReportLoadProblems() {
  if (!loadReport_.AnyDamaged()) return;
  // A file of an earlier build lacks only its closing line break: nothing is
  // lost, and saying "damaged" would alarm for no reason.
  std::wstring damaged;
  std::wstring unclosed;
  for (std::size_t i = 0; i < loadReport_.damagedFiles.size(); ++i) {
    const bool onlyUnclosed = i < loadReport_.damages.size() && loadReport_.damages[i] == Damage::Unclosed;
    std::wstring& list = onlyUnclosed ? unclosed : damaged;
    list += L"\n\u2022 " + loadReport_.damagedFiles[i];
    if (i < loadReport_.keptCopies.size() && !loadReport_.keptCopies[i].empty())
      list += L"\n   The file as it was is kept as " + loadReport_.keptCopies[i];
  }
  std::wstring text;
  if (!damaged.empty()) {
    text = L"Some of your data could not be read completely:\n" + damaged +
           L"\n\nAmicord shows everything it could read before the damage and will save that from now on.";
  }
  if (!unclosed.empty()) {
    if (!text.empty()) text += L"\n\n";
    text +=
        L"Some of your data files end without their closing line break, as an earlier version of Amicord "
        L"wrote them:\n" +
        unclosed + L"\n\nEverything before the end was read. Amicord will write these files complete at the next save.";
  }
  loadReport_ = Engine::LoadReport{};
  ::MessageBoxW(window_, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}

bool DataSession::SaveAll() {
  Submit();
  writer_.Wait();
  return TellFinished();
}

void DataSession::SaveInBackground() { Submit(); }

void DataSession::Submit() {
  CancelPendingSave();
  ++saveCount_;
  // Copies, on this thread: the writer never reads what the window changes.
  std::shared_ptr<Engine::Snapshot> snapshot(engine_.TakeSnapshot());
  writer_.Submit([this, snapshot] {
    if (beforeWrite_) beforeWrite_();
    Engine::Written written;
    try {
      // The first save of a day first backs the files up as they are.
      Backups(engine_.FilePaths()).MakeDailyIfDue();
      written = engine_.Write(*snapshot);
    } catch (const std::exception&) {
      written.reason = L"There was not enough memory to write the files.";
    }
    {
      std::lock_guard<std::mutex> hold(finishedLock_);
      finished_.push_back(std::move(written));
    }
    if (window_) ::PostMessageW(window_, WM_SAVE_WRITTEN, 0, 0);
  });
}

void DataSession::WaitForWriter() {
  writer_.Wait();
  TellFinished();
}

void DataSession::TellWritten() { TellFinished(); }

bool DataSession::TellFinished() {
  for (;;) {
    Engine::Written written;
    {
      std::lock_guard<std::mutex> hold(finishedLock_);
      if (finished_.empty()) return lastSaved_;
      written = std::move(finished_.front());
      finished_.pop_front();
    }
    lastSaved_ = written.saved;
    if (!written.conflictCopies.empty()) ReportConflicts(written.conflictCopies);
    if (written.saved) {
      saveFailureReported_ = false;
      continue;
    }
    if (!saveFailureReported_) {
      saveFailureReported_ = true;
      const std::wstring text = L"Amicord could not save your data.\n\n" + written.reason +
                                L"\n\nNothing is lost yet: your changes are kept while Amicord runs, and it "
                                L"tries again at your next change and when it closes.";
      ::MessageBoxW(BoxOwner(), text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
    }
  }
}

bool DataSession::HasPendingSave() const {
  if (pendingSave_.Pending() || writer_.Busy()) return true;
  std::lock_guard<std::mutex> hold(finishedLock_);
  return !finished_.empty();
}

void DataSession::SaveSoon() {
  if (pendingSave_) return;
  pendingSave_ = framework::ScheduledTask::After(std::chrono::milliseconds(0), [this] { SaveInBackground(); });
  // Without a timer the save cannot wait.
  if (!pendingSave_) SaveInBackground();
}

void DataSession::SavePending() {
  if (pendingSave_) Submit();
  WaitForWriter();
}

void DataSession::HandOverPendingSave() {
  if (pendingSave_) Submit();
}

void DataSession::CancelPendingSave() { pendingSave_.Reset(); }

HWND DataSession::BoxOwner() const { return window_ && ::IsWindow(window_) ? window_ : nullptr; }

void DataSession::ReportConflicts(const std::vector<std::wstring>& copies) {
  std::wstring text = L"A data file was changed outside Amicord while you were making a change here.\n";
  for (const std::wstring& copy : copies) text += L"\n\u2022 The other version is kept as " + copy;
  text += L"\n\nYour change is saved, and nothing of the other version is lost: it stays in the copy.";
  ::MessageBoxW(BoxOwner(), text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}

void DataSession::ReportOutsideDamage(const std::vector<std::wstring>& paths) {
  if (paths.empty()) return;
  std::wstring text = L"A data file was changed outside Amicord and cannot be read completely:\n";
  for (const std::wstring& path : paths) {
    const std::wstring copy = KeepDamagedCopy(path);
    engine_.AcceptAsSeen(path);
    text += L"\n\u2022 " + path;
    if (!copy.empty()) text += L"\n   The file as it is now is kept as " + copy;
  }
  text += L"\n\nAmicord keeps showing your data as it was and will save that from now on.";
  ::MessageBoxW(BoxOwner(), text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}

std::wstring DataSession::DataFolder() const { return paths::FolderOf(engine_.optionsPath); }
