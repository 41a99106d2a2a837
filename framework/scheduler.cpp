#include "framework/scheduler.h"

#include <algorithm>
#include <utility>

namespace framework {

namespace {

thread_local Scheduler* installed = nullptr;

// Which scheduler set each of this thread's timers: the timer callback gets
// only the timer's id.
std::map<UINT_PTR, TimerScheduler*>& TimerOwners() {
  static thread_local std::map<UINT_PTR, TimerScheduler*> owners;
  return owners;
}

TimerScheduler& ThreadTimers() {
  static thread_local TimerScheduler timers;
  return timers;
}

}  // namespace

Scheduler& UiScheduler() { return installed ? *installed : ThreadTimers(); }

Scheduler* SetUiScheduler(Scheduler* replacement) {
  Scheduler* previous = installed;
  installed = replacement;
  return previous;
}

// The owners' table is made first, so it outlives every scheduler of the thread.
TimerScheduler::TimerScheduler() { TimerOwners(); }

TimerScheduler::~TimerScheduler() {
  for (const auto& entry : tasks_) {
    ::KillTimer(nullptr, entry.first);
    TimerOwners().erase(entry.first);
  }
}

Scheduler::TaskId TimerScheduler::After(std::chrono::milliseconds delay, Task task) {
  const auto milliseconds = static_cast<UINT>(std::clamp<std::chrono::milliseconds::rep>(delay.count(), 0, 0x7FFFFFFF));
  const UINT_PTR timer = ::SetTimer(nullptr, 0, milliseconds, &TimerScheduler::OnTimer);
  if (!timer) return 0;
  tasks_[timer] = std::move(task);
  TimerOwners()[timer] = this;
  return static_cast<TaskId>(timer);
}

void TimerScheduler::Cancel(TaskId id) {
  const auto found = tasks_.find(static_cast<UINT_PTR>(id));
  if (found == tasks_.end()) return;
  ::KillTimer(nullptr, found->first);
  TimerOwners().erase(found->first);
  tasks_.erase(found);
}

void CALLBACK TimerScheduler::OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  const auto owner = TimerOwners().find(timer);
  if (owner == TimerOwners().end()) return;
  TimerScheduler& self = *owner->second;
  TimerOwners().erase(owner);
  const auto found = self.tasks_.find(timer);
  if (found == self.tasks_.end()) return;
  // Taken out first: the task may schedule again, even under the same id.
  Task task = std::move(found->second);
  self.tasks_.erase(found);
  if (task) task();
}

Scheduler::TaskId ManualScheduler::After(std::chrono::milliseconds delay, Task task) {
  const TaskId id = ++next_;
  tasks_[id] = Entry{now_ + std::max(delay, std::chrono::milliseconds(0)), std::move(task)};
  return id;
}

void ManualScheduler::Cancel(TaskId id) { tasks_.erase(id); }

void ManualScheduler::Advance(std::chrono::milliseconds by) {
  const std::chrono::milliseconds end = now_ + by;
  for (;;) {
    auto due = tasks_.end();
    for (auto it = tasks_.begin(); it != tasks_.end(); ++it)
      if (it->second.due <= end && (due == tasks_.end() || it->second.due < due->second.due)) due = it;
    if (due == tasks_.end()) break;
    now_ = std::max(now_, due->second.due);
    Task task = std::move(due->second.task);
    tasks_.erase(due);
    if (task) task();
  }
  now_ = end;
}

ScheduledTask& ScheduledTask::operator=(ScheduledTask&& other) noexcept {
  if (this != &other) {
    Reset();
    state_ = std::move(other.state_);
  }
  return *this;
}

ScheduledTask ScheduledTask::After(Scheduler& scheduler, std::chrono::milliseconds delay, Scheduler::Task task) {
  ScheduledTask scheduled;
  auto state = std::make_shared<State>(State{&scheduler, 0});
  const std::weak_ptr<State> mark = state;
  state->id = scheduler.After(delay, [mark, task = std::move(task)] {
    if (const std::shared_ptr<State> started = mark.lock()) started->id = 0;
    if (task) task();
  });
  if (state->id != 0) scheduled.state_ = std::move(state);
  return scheduled;
}

void ScheduledTask::Reset() {
  if (!state_) return;
  const std::shared_ptr<State> state = std::move(state_);
  if (state->id != 0) state->scheduler->Cancel(state->id);
  state->id = 0;
}

}  // namespace framework
