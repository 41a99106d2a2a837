#include "app/reminder_moments.h"

#include <wtsapi32.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "model/snooze.h"

namespace {

constexpr Time kSecondsPerMinute = 60;
constexpr std::int32_t kMinutesPerDay = 24 * 60;

}  // namespace

ReminderMoments::ReminderMoments(TimeOfDay timeOfDay, Callbacks callbacks)
    : timeOfDay_(std::move(timeOfDay)), callbacks_(std::move(callbacks)) {}

ReminderMoments::~ReminderMoments() { Stop(); }

Time ReminderMoments::NextTimeOfDay(Time now, std::int32_t minutes) {
  minutes = std::clamp(minutes, 0, kMinutesPerDay - 1);
  for (int days = 0; days < 3; ++days) {
    const Time when = TimeOfDayAfter(now, days, minutes);
    if (when > now) return when;
  }
  return now + kMinutesPerDay * kSecondsPerMinute;
}

framework::ScheduledTask ReminderMoments::At(Time when, framework::Scheduler::Task task) {
  const Time wait = std::max<Time>(when - platform::Now(), 1);
  return framework::ScheduledTask::After(std::chrono::seconds(wait), std::move(task));
}

void ReminderMoments::Start(HWND window) {
  Stop();
  window_ = window;
  // Unlocking is a moment the user is surely back; without the registration
  // (no terminal services) the other moments still come.
  sessionRegistered_ = ::WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION) != FALSE;
  startTask_ = framework::ScheduledTask::After(std::chrono::milliseconds(0), [this] { Moment(); });
  Reschedule();
}

void ReminderMoments::Stop() {
  startTask_.Reset();
  dailyTask_.Reset();
  midnightTask_.Reset();
  if (sessionRegistered_) ::WTSUnRegisterSessionNotification(window_);
  sessionRegistered_ = false;
  window_ = nullptr;
}

void ReminderMoments::Reschedule() {
  if (!window_) return;
  ScheduleDaily();
  ScheduleMidnight();
}

// Each timer sets only itself again: at a reminder time of midnight both fall
// due together, and neither may push the other a day on.
void ReminderMoments::ScheduleDaily() {
  dailyTask_ = At(NextTimeOfDay(platform::Now(), timeOfDay_ ? timeOfDay_() : 0), [this] {
    ScheduleDaily();
    Moment();
  });
}

void ReminderMoments::ScheduleMidnight() {
  midnightTask_ = At(StartOfDayAfter(platform::Now(), 1), [this] {
    ScheduleMidnight();
    Refresh();
  });
}

void ReminderMoments::Moment() const {
  if (callbacks_.onMoment) callbacks_.onMoment();
}

void ReminderMoments::Refresh() const {
  if (callbacks_.onRefresh) callbacks_.onRefresh();
}

void ReminderMoments::OnPowerBroadcast(UINT event) {
  if (!window_) return;
  if (event != PBT_APMRESUMEAUTOMATIC && event != PBT_APMRESUMESUSPEND) return;
  // The timers slept as well: the day may have changed and the time passed.
  Reschedule();
  Refresh();
  Moment();
}

void ReminderMoments::OnSessionChange(UINT event, DWORD) {
  SetMsgHandled(false);
  if (window_ && event == WTS_SESSION_UNLOCK) Moment();
}

void ReminderMoments::OnTimeChange() {
  SetMsgHandled(false);
  if (!window_) return;
  Reschedule();
  Refresh();
  Moment();
}
