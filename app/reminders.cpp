#include "app/reminders.h"

#include <chrono>
#include <vector>

#include "app/data_session.h"
#include "app/find_bar.h"
#include "app/group_tabs.h"
#include "app/tray_icon.h"
#include "framework/dpi.h"
#include "framework/dialog.h"
#include "model/platform.h"
#include "resource.h"

namespace {

UniqueIcon LoadShellIcon(int id, int metric) {
  return framework::LoadIconOfSize(framework::ResourceInstance(), id, ::GetSystemMetrics(metric));
}

}  // namespace

// The shell draws its icons at the system DPI, whatever the window's monitor.
Reminders::Reminders(DataSession& session, GroupTabs& tabs, FindBar& find, TrayIcon& tray)
    : session_(session),
      tabs_(tabs),
      find_(find),
      tray_(tray),
      moments_([this] { return session_.GetEngine().journal->state.reminders.at; },
               ReminderMoments::Callbacks{[this] { Moment(); }, [this] { Refresh(); }}),
      plainIcon_(LoadShellIcon(IDI_APP, SM_CXSMICON)),
      soonIcon_(LoadShellIcon(IDI_TRAY_SOON, SM_CXSMICON)),
      urgentIcon_(LoadShellIcon(IDI_TRAY_URGENT, SM_CXSMICON)),
      largeIcon_(LoadShellIcon(IDI_APP, SM_CXICON)),
      changes_(session.Changes().Subscribe([this](const Change& change) { Follow(change); })) {}

Reminders::~Reminders() { Stop(); }

void Reminders::Follow(const Change& change) {
  switch (change.kind) {
    case Change::Kind::RemindersChanged:
      SettingsChanged();
      return;
    case Change::Kind::ContactAdded:
    case Change::Kind::ContactRemoved:
    case Change::Kind::ContactsRemoved:
    case Change::Kind::ContactTicked:
    case Change::Kind::TickUndone:
    case Change::Kind::ContactEdited:
    case Change::Kind::GroupEdited:
    case Change::Kind::JournalChanged:
    case Change::Kind::OptionsChanged:
    case Change::Kind::Reloaded:
      DataChanged();
      return;
    default:
      // The contacts a group or an import took along were told one by one.
      return;
  }
}

TrayIconLook Reminders::Start(HWND window) {
  TrayIconLook look = Refresh();
  moments_.Start(window);
  return look;
}

void Reminders::Stop() {
  moments_.Stop();
  refreshTask_.Reset();
}

std::vector<DuePerson> Reminders::Due(DueOrder order) const {
  const Engine& engine = session_.GetEngine();
  return PeopleDue(*engine.contacts, *engine.journal, engine.options->warnPercent, engine.options->warnDays,
                   platform::Now(), order);
}

HICON Reminders::IconFor(TrayLook look) const {
  switch (look) {
    case TrayLook::Soon:
      return soonIcon_.get();
    case TrayLook::Urgent:
      return urgentIcon_.get();
    case TrayLook::Nobody:
      break;
  }
  return plainIcon_.get();
}

void Reminders::DataChanged() {
  if (refreshTask_) return;
  refreshTask_ = framework::ScheduledTask::After(std::chrono::milliseconds(0), [this] { Refresh(); });
}

void Reminders::SettingsChanged() {
  moments_.Reschedule();
  Refresh();
}

std::vector<UpcomingDate> Reminders::Upcoming(Time now) const {
  const Engine& engine = session_.GetEngine();
  return UpcomingDates(*engine.contacts, *engine.journal, LocalCalendarDay(now),
                       DateWindowDays(engine.journal->state.reminders));
}

TrayIconLook Reminders::Refresh() {
  refreshTask_.Reset();
  const std::vector<DuePerson> due = Due(DueOrder::Counted);
  TrayIconLook look{IconFor(LookOf(due)), TrayTipText(due, Upcoming(platform::Now()))};
  tray_.Show(look.icon, look.tip);
  return look;
}

void Reminders::Moment() {
  Journal& journal = *session_.GetEngine().journal;
  const Time now = platform::Now();
  const std::vector<DuePerson> due = Due();
  const std::vector<UpcomingDate> upcoming = Upcoming(now);
  // The tray's look comes from the same reading of the clock as the notification.
  tray_.Show(IconFor(LookOf(due)), TrayTipText(due, upcoming));
  ReminderSettings settings = journal.state.reminders;
  const Telling tell = diary_.ToTell(due, upcoming, settings, now);
  if (tell.Empty()) {
    // Past dates forgotten are kept forgotten.
    if (settings != journal.state.reminders) {
      journal.SetReminders(settings);
      session_.SaveInBackground();
    }
    return;
  }
  tray_.Notify(kReminderTitle, ReminderText(tell.people, tell.dates, kReminderTextRoom), largeIcon_.get());
  namedPerson_ = !tell.people.empty() ? tell.people.front().id : tell.dates.front().id;
  // The day and the dates named are kept so that a restart does not remind again.
  journal.SetReminders(settings);
  session_.SaveInBackground();
}

bool Reminders::ShowNamedPerson() { return namedPerson_ >= 0 && tabs_.ShowOnAllByPriority(namedPerson_); }

void Reminders::NotificationClicked() {
  if (namedPerson_ < 0 || ShowNamedPerson()) return;
  // The find field's text hides the person: everyone is shown again.
  find_.Clear();
  ShowNamedPerson();
}
