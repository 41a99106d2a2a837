#pragma once
#include "base/windows_api.h"

#include <cstdint>
#include <functional>

#include "framework/crackers.h"
#include "framework/scheduler.h"
#include "model/platform.h"

// When to look for people to remind: once the window is up after the start,
// after waking, at unlock, after the clock was set, and each day at the
// reminder's time of day; and when the tray's look may have changed with no
// change to the data (at local midnight, after waking), since statuses follow
// the date. The owner's map chains this one for the system's messages.
class ReminderMoments : public CMessageMap {
 public:
  struct Callbacks {
    std::function<void()> onMoment;   // a reminder may be due now
    std::function<void()> onRefresh;  // statuses may read differently now
  };
  // The reminder's time of day as set now, in minutes after local midnight.
  using TimeOfDay = std::function<std::int32_t()>;

  ReminderMoments(TimeOfDay timeOfDay, Callbacks callbacks);
  ~ReminderMoments();
  ReminderMoments(const ReminderMoments&) = delete;
  ReminderMoments& operator=(const ReminderMoments&) = delete;

  BEGIN_MSG_MAP(ReminderMoments)
    MSG_WM_POWERBROADCAST(OnPowerBroadcast)
    MSG_WM_WTSSESSION_CHANGE(OnSessionChange)
    MSG_WM_TIMECHANGE(OnTimeChange)
  END_MSG_MAP()

  // window (not owned) gets the session's messages until Stop. The first
  // moment is deferred, so it follows the window's first paint.
  void Start(HWND window);
  void Stop();
  // Sets the day's timers again: for a new time of day, or a clock that moved.
  void Reschedule();

  // The next local time of day minutes after midnight, later than now.
  static Time NextTimeOfDay(Time now, std::int32_t minutes);

 private:
  void OnPowerBroadcast(UINT event);
  void OnSessionChange(UINT event, DWORD sessionId);
  void OnTimeChange();
  void ScheduleDaily();
  void ScheduleMidnight();
  static framework::ScheduledTask At(Time when, framework::Scheduler::Task task);
  void Moment() const;
  void Refresh() const;

  TimeOfDay timeOfDay_;
  Callbacks callbacks_;
  HWND window_ = nullptr;  // not owned
  bool sessionRegistered_ = false;
  framework::ScheduledTask startTask_;
  framework::ScheduledTask dailyTask_;
  framework::ScheduledTask midnightTask_;
};
