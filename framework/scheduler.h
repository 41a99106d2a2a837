#pragma once
// Work deferred on the user-interface thread: the un-tick a second after a
// tick, the caret step after a click, and whatever later waits for an hour of
// the day. Everything that waits goes through the thread's scheduler, so tests
// put in a ManualScheduler and move time by hand instead of sleeping.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "base/windows_api.h"

namespace framework {

class Scheduler {
 public:
  using Task = std::function<void()>;
  using TaskId = std::uint64_t;  // never 0

  virtual ~Scheduler() = default;
  // Runs task once, on this thread, after delay (from a message loop: modal
  // loops included).
  virtual TaskId After(std::chrono::milliseconds delay, Task task) = 0;
  // A task that already ran, or an unknown id, is ignored.
  virtual void Cancel(TaskId id) = 0;
};

// This thread's scheduler: one on window timers, unless a test installed its own.
Scheduler& UiScheduler();
// Installs replacement for this thread (null: back to the timers); answers the previous one.
Scheduler* SetUiScheduler(Scheduler* replacement);

// Runs tasks on window timers of this thread (SetTimer without a window).
class TimerScheduler final : public Scheduler {
 public:
  TimerScheduler();
  ~TimerScheduler() override;
  TimerScheduler(const TimerScheduler&) = delete;
  TimerScheduler& operator=(const TimerScheduler&) = delete;

  TaskId After(std::chrono::milliseconds delay, Task task) override;
  void Cancel(TaskId id) override;

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
  std::map<UINT_PTR, Task> tasks_;
};

// For tests: time stands still until Advance moves it; tasks then run in the
// order of their due times (equal times in the order they were asked for).
class ManualScheduler final : public Scheduler {
 public:
  TaskId After(std::chrono::milliseconds delay, Task task) override;
  void Cancel(TaskId id) override;

  // Moves time on, running each task that falls due on the way (tasks a task
  // asks for run too, when they fall due within the same advance).
  void Advance(std::chrono::milliseconds by);
  std::size_t Pending() const { return tasks_.size(); }
  std::chrono::milliseconds Now() const { return now_; }

 private:
  struct Entry {
    std::chrono::milliseconds due;
    Task task;
  };
  std::chrono::milliseconds now_{0};
  TaskId next_ = 0;
  std::map<TaskId, Entry> tasks_;
};

// One task asked of a scheduler, cancelled on that same scheduler when this is
// destroyed, reset or given another task: a test may have installed another
// scheduler meanwhile. Once the task has started it counts as done, so a
// timer id that the system hands out again is never cancelled by mistake.
class ScheduledTask {
 public:
  ScheduledTask() = default;
  ~ScheduledTask() { Reset(); }
  ScheduledTask(ScheduledTask&& other) noexcept = default;
  ScheduledTask& operator=(ScheduledTask&& other) noexcept;
  ScheduledTask(const ScheduledTask&) = delete;
  ScheduledTask& operator=(const ScheduledTask&) = delete;

  // Asks scheduler (this thread's UiScheduler) to run task after delay; an
  // empty object when the scheduler could not take it.
  static ScheduledTask After(Scheduler& scheduler, std::chrono::milliseconds delay, Scheduler::Task task);
  static ScheduledTask After(std::chrono::milliseconds delay, Scheduler::Task task) {
    return After(UiScheduler(), delay, std::move(task));
  }

  // True while the task waits to run.
  bool Pending() const { return state_ && state_->id != 0; }
  explicit operator bool() const { return Pending(); }
  // Cancels the task if it still waits.
  void Reset();

 private:
  struct State {
    Scheduler* scheduler;  // not owned: the one that was asked
    Scheduler::TaskId id;
  };
  // Shared with the task, which marks it done as it starts; the object may
  // have moved by then.
  std::shared_ptr<State> state_;
};

// Installs a scheduler for the life of the object (tests).
class ScopedUiScheduler {
 public:
  explicit ScopedUiScheduler(Scheduler& scheduler) : previous_(SetUiScheduler(&scheduler)) {}
  ~ScopedUiScheduler() { SetUiScheduler(previous_); }
  ScopedUiScheduler(const ScopedUiScheduler&) = delete;
  ScopedUiScheduler& operator=(const ScopedUiScheduler&) = delete;

 private:
  Scheduler* previous_;
};

}  // namespace framework
