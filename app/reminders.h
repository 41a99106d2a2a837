#pragma once
#include "base/windows_api.h"

#include <cstdint>
#include <string>
#include <vector>

#include "app/change_feed.h"
#include "app/reminder_moments.h"
#include "app/tray_icon.h"
#include "framework/handles.h"
#include "framework/scheduler.h"
#include "model/reminders.h"

class DataSession;
class FindBar;
class GroupTabs;

// The reminders that reach the user: the tray icon's look and tip follow who
// is due and the coming week's dates (they follow the session's changes), and
// once a day (at the reminder time, or the first moment after it) a
// notification names them and the birthdays and dates on their lead day or on
// the day; clicked, it shows the first one named.
class Reminders {
 public:
  // session, tabs, find and tray are not owned and outlive the reminders.
  Reminders(DataSession& session, GroupTabs& tabs, FindBar& find, TrayIcon& tray);
  ~Reminders();
  Reminders(const Reminders&) = delete;
  Reminders& operator=(const Reminders&) = delete;

  // The system's messages for the moments; the main window's map chains it.
  ReminderMoments& Moments() { return moments_; }

  // window (the main window, not owned) gets the session's messages. Answers
  // the tray's look for who is due now, which the icon is added with.
  TrayIconLook Start(HWND window);
  void Stop();

  // Something that may change who is due happened: one refresh follows, a
  // moment later, however many changes come before it (a load of thousands
  // of contacts refreshes once).
  void DataChanged();
  // The reminder settings changed: the day's timers are set again.
  void SettingsChanged();
  // Shows who is due now in the tray's icon and tip.
  TrayIconLook Refresh();
  // Names whom the once-a-day rule lets through, and keeps the day in the journal.
  void Moment();

  // The notification was clicked: the first person it named, on the "All" tab
  // sorted by priority, selected and in view. False when there is no such
  // person, or none with a row shown (the find filter may hide it).
  bool ShowNamedPerson();
  std::int32_t NamedPerson() const { return namedPerson_; }
  // The notification was clicked and the window is forward: ShowNamedPerson,
  // clearing the find field when its text hides the person.
  void NotificationClicked();

 private:
  std::vector<DuePerson> Due(DueOrder order = DueOrder::ByUrgency) const;
  // The dates a moment may name and the tray's tip counts.
  std::vector<UpcomingDate> Upcoming(Time now) const;
  HICON IconFor(TrayLook look) const;

  void Follow(const Change& change);

  DataSession& session_;
  GroupTabs& tabs_;
  FindBar& find_;
  TrayIcon& tray_;
  ReminderDiary diary_;
  ReminderMoments moments_;
  // At the shell's small-icon size; the notification's at its large size.
  UniqueIcon plainIcon_;
  UniqueIcon soonIcon_;
  UniqueIcon urgentIcon_;
  UniqueIcon largeIcon_;
  framework::ScheduledTask refreshTask_;
  std::int32_t namedPerson_ = -1;
  ChangeFeed::Subscription changes_;
};
