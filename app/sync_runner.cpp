#include "app/sync_runner.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "app/data_session.h"
#include "app/group_tabs.h"
#include "app/message_caption.h"
#include "app/tray_icon.h"
#include "model/credentials.h"
#include "model/proposed_match.h"
#include "model/synced_copy.h"
#include "model/text_decoding.h"
#include "sync/card_sync.h"

namespace {

constexpr std::size_t kProposalsNamed = 5;

cardsync::Account AccountOf(const SyncAccount& state) { return {state.server, state.user, state.book}; }

}  // namespace

// What the window's thread and the sync's thread share. The thread keeps it
// alive, so a sync that outlives the runner finds it still there.
struct SyncRunner::Channel {
  std::mutex lock;
  std::condition_variable ended;
  HWND window = nullptr;  // null: no one takes the result any more
  bool running = false;
  std::unique_ptr<Outcome> outcome;
};

struct SyncRunner::Outcome {
  std::unique_ptr<Engine> engine;  // the copy, synced
  cardsync::Report report;
  bool proposed = false;
  std::vector<ProposedMatch> proposals;
};

SyncRunner::SyncRunner(DataSession& session, GroupTabs& tabs, TrayIcon& tray)
    : session_(session), tabs_(tabs), tray_(tray), channel_(std::make_shared<Channel>()) {
  changes_ = session_.Changes().Subscribe([this](const Change& change) { Follow(change); });
}

SyncRunner::~SyncRunner() { Stop(); }

bool SyncRunner::HasAccount() const {
  const SyncAccount& account = session_.GetEngine().journal->state.sync;
  return !account.server.empty() && !account.user.empty();
}

void SyncRunner::Start(HWND window) {
  window_ = window;
  stopped_ = false;
  {
    std::lock_guard<std::mutex> hold(channel_->lock);
    channel_->window = window;
  }
  status_ = SyncStatus{};
  status_.lastSync = session_.GetEngine().journal->state.sync.lastSync;
  ShowLine();
  if (HasAccount()) PlanNext(std::chrono::milliseconds(0));
}

void SyncRunner::Stop() {
  if (stopped_) return;
  stopped_ = true;
  nextTask_.Reset();
  changeTask_.Reset();
  lineTask_.Reset();
  window_ = nullptr;
  std::unique_lock<std::mutex> hold(channel_->lock);
  channel_->window = nullptr;
  channel_->outcome.reset();
  // A request that hangs is not waited for: the server has what it took, and
  // the next sync finds its own writes there.
  channel_->ended.wait_for(hold, kExitWait, [this] { return !channel_->running; });
}

void SyncRunner::SyncNow() {
  paused_ = false;
  retries_ = 0;
  Begin();
}

void SyncRunner::AccountChanged() {
  paused_ = false;
  retries_ = 0;
  linksConfirmed_ = false;
  status_ = SyncStatus{};
  status_.lastSync = session_.GetEngine().journal->state.sync.lastSync;
  nextTask_.Reset();
  changeTask_.Reset();
  ShowLine();
  if (HasAccount()) Begin();
}

std::wstring SyncRunner::LastResult() const {
  return HasAccount() ? SyncStatusText(status_, platform::Now()) : std::wstring();
}

void SyncRunner::Follow(const Change& change) {
  using Kind = Change::Kind;
  switch (change.kind) {
    case Kind::Replacing:
    case Kind::Reloaded:
    case Kind::FilesRestored:
      ++generation_;
      break;
    case Kind::OptionsChanged:
    case Kind::RemindersChanged:
      return;
    default:
      break;
  }
  if (applying_ || !window_ || !HasAccount() || paused_ || retries_ > 0 || changeTask_) return;
  changeTask_ = framework::ScheduledTask::After(kAfterChange, [this] { Begin(); });
}

void SyncRunner::PlanNext(std::chrono::milliseconds delay) {
  nextTask_ = framework::ScheduledTask::After(delay, [this] { Begin(); });
}

void SyncRunner::Begin() {
  if (!window_ || !HasAccount() || paused_ || asking_) return;
  if (running_) {
    again_ = true;
    return;
  }
  changeTask_.Reset();
  nextTask_.Reset();
  const Engine& engine = session_.GetEngine();
  const SyncAccount& account = engine.journal->state.sync;
  std::string password;
  credentials::Read(account.server, account.user, password);
  bool linkedAny = false;
  for (const auto& [id, history] : engine.journal->contacts) linkedAny = linkedAny || history.card.Linked();
  // The first sync of an Amicord that holds people links those the server
  // has cards of: the user sees whom first.
  proposing_ = !linksConfirmed_ && account.lastSync == 0 && !linkedAny && !engine.contacts->items.empty();
  // One copy on this thread: the sync's own is made from it on the sync's thread.
  before_ = CopyForSync(engine);
  startedAt_ = generation_;
  running_ = true;
  {
    std::lock_guard<std::mutex> hold(channel_->lock);
    channel_->running = true;
  }
  try {
    std::thread(Work, channel_, before_, AccountOf(account), std::move(password), platform::Now(), proposing_).detach();
  } catch (const std::exception&) {
    running_ = false;
    std::lock_guard<std::mutex> hold(channel_->lock);
    channel_->running = false;
  }
}

void SyncRunner::OnSyncDone() {
  std::unique_ptr<Outcome> outcome;
  {
    std::lock_guard<std::mutex> hold(channel_->lock);
    outcome = std::move(channel_->outcome);
  }
  if (!outcome || !running_) return;
  running_ = false;
  ++finished_;
  // Finishing may begin the next sync, which makes a copy of its own.
  const std::shared_ptr<const Engine> before = std::move(before_);
  Finish(*outcome, *before);
  if (again_ && window_) {
    again_ = false;
    Begin();
  }
}

void SyncRunner::Finish(Outcome& outcome, const Engine& before) {
  const cardsync::Report& report = outcome.report;
  // Data read again or restored while the sync ran, or another account set
  // up: its copy is of other data, or of the account before.
  const SyncAccount& now = session_.GetEngine().journal->state.sync;
  const SyncAccount& then = before.journal->state.sync;
  if (startedAt_ != generation_ || now.server != then.server || now.user != then.user || now.book != then.book) {
    again_ = true;
    return;
  }
  if (outcome.proposed && !report.failed) {
    Ask(outcome);
    return;
  }
  if (report.changed && outcome.engine) Apply(before, *outcome.engine);
  status_.skipped = report.problems;
  if (report.failed) {
    Failed(report);
  } else {
    retries_ = 0;
    status_.failure = SyncFailure::None;
    status_.why.clear();
    status_.lastSync = session_.GetEngine().journal->state.sync.lastSync;
    PlanNext(kEvery);
  }
  const std::wstring conflicts = cardsync::ConflictSummary(report.conflicts);
  if (!conflicts.empty()) Tell(conflicts);
  ShowLine();
}

void SyncRunner::Failed(const cardsync::Report& report) {
  const bool certificate = report.network == http::Failure::Tls;
  if (report.unauthorized || certificate) {
    status_.failure = certificate ? SyncFailure::Certificate : SyncFailure::Password;
    paused_ = true;
    Tell(certificate ? L"The address book server's certificate was not accepted, so the connection to it is not "
                       L"safe. Sync is paused until you change the server in Options or choose Sync Now."
                     : L"The address book server did not accept the user name and password. Sync is paused until "
                       L"you change them in Options.");
    return;
  }
  // No connection, or a server that is down: tried again quietly, waiting longer each time.
  status_.failure = report.network != http::Failure::None ? SyncFailure::Network : SyncFailure::Other;
  status_.why = report.failure;
  const std::chrono::minutes wait = std::min<std::chrono::minutes>(std::chrono::minutes(1LL << std::min(retries_, 6)),
                                                                   kLongestRetry);
  ++retries_;
  PlanNext(wait);
}

void SyncRunner::Ask(Outcome& outcome) {
  if (outcome.proposals.empty()) {
    linksConfirmed_ = true;
    Begin();
    return;
  }
  const std::size_t count = outcome.proposals.size();
  std::wstring text = L"Link " + std::to_wstring(count) + (count == 1 ? L" person" : L" people") +
                      L" already here with their cards on the server?\n";
  for (std::size_t i = 0; i < count && i < kProposalsNamed; ++i) {
    const ProposedMatch& match = outcome.proposals[i];
    text += L"\n\u2022 " + match.contactName;
    if (match.cardName != match.contactName) text += L" (" + match.cardName + L")";
  }
  if (count > kProposalsNamed) text += L"\n\u2022 and " + std::to_wstring(count - kProposalsNamed) + L" more";
  text += L"\n\nWith No, nothing is synced until you choose Sync Now.";
  // No sync meanwhile: it would only ask again.
  asking_ = true;
  const int answer = ::MessageBoxW(window_, text.c_str(), kMessageCaption, MB_YESNO | MB_ICONQUESTION);
  asking_ = false;
  if (!window_) return;
  if (answer == IDYES) {
    linksConfirmed_ = true;
    Begin();
  } else {
    paused_ = true;
    status_.failure = SyncFailure::Other;
    status_.why = L"The links with the people already here were not confirmed.";
    ShowLine();
  }
}

// One change: the rows follow without drawing in between, and one save.
void SyncRunner::Apply(const Engine& before, Engine& synced) {
  DataSession& session = session_;
  Engine& engine = session.GetEngine();
  applying_ = true;
  tabs_.SetListsRedraw(false);
  // What the server's values replace stays in the day's backup: the first
  // save of a day copies the files before it writes over them.
  const SyncApplied applied = ApplySynced(engine, before, synced);
  for (const std::int32_t id : applied.edited) {
    Contacts::Item contact;
    if (!engine.contacts->Find(id, contact) || !contact) continue;
    Change edited{Change::Kind::ContactEdited};
    edited.contact = contact.get();
    session.Tell(edited);
  }
  if (!applied.removed.empty()) session.RemoveContacts(applied.removed);
  tabs_.SetListsRedraw(true);
  if (applied.changed) {
    session.Tell(Change{Change::Kind::JournalChanged});
    if (window_) {
      MSG pending{};
      while (::PeekMessageW(&pending, window_, WM_SAVE_AFTER_REMOVAL, WM_SAVE_AFTER_REMOVAL, PM_REMOVE)) {
      }
    }
    session.SaveInBackground();
  }
  applying_ = false;
}

void SyncRunner::Tell(std::wstring text) {
  messages_.push_back(std::move(text));
  if (window_) ::PostMessageW(window_, WM_SYNC_MESSAGE, 0, 0);
}

void SyncRunner::OnMessage() {
  if (messages_.empty() || !window_) return;
  const std::wstring text = std::move(messages_.front());
  messages_.pop_front();
  ::MessageBoxW(window_, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}

void SyncRunner::OnPowerBroadcast(UINT event) {
  SetMsgHandled(false);
  if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) Begin();
}

void SyncRunner::OnSessionChange(UINT event, DWORD) {
  SetMsgHandled(false);
  if (event == WTS_SESSION_UNLOCK) Begin();
}

// The line ages: it is read again each minute while there is an account.
void SyncRunner::ShowLine() {
  lineTask_.Reset();
  if (!HasAccount()) {
    tray_.SetLine(std::wstring());
    return;
  }
  tray_.SetLine(SyncStatusLine(status_, platform::Now()));
  if (window_) lineTask_ = framework::ScheduledTask::After(std::chrono::minutes(1), [this] { ShowLine(); });
}

void SyncRunner::Work(std::shared_ptr<Channel> channel, std::shared_ptr<const Engine> before, cardsync::Account account,
                      std::string password, Time now, bool propose) {
  auto outcome = std::make_unique<Outcome>();
  outcome->proposed = propose;
  std::unique_ptr<Engine> engine;
  try {
    // The window's thread only reads `before` again once this is done.
    engine = CopyForSync(*before);
    carddav::Client client(text::EncodeUtf8(account.user), password);
    if (propose)
      outcome->report = cardsync::ProposeMatches(*engine, client, account, outcome->proposals);
    else
      outcome->report = cardsync::Sync(*engine, client, account, now);
  } catch (const std::exception&) {
    outcome->report = cardsync::Report{};
    outcome->report.failed = true;
    outcome->report.failure = L"There was not enough memory to sync.";
  }
  outcome->engine = std::move(engine);
  std::lock_guard<std::mutex> hold(channel->lock);
  channel->running = false;
  if (channel->window) {
    channel->outcome = std::move(outcome);
    ::PostMessageW(channel->window, WM_SYNC_DONE, 0, 0);
  }
  channel->ended.notify_all();
}
