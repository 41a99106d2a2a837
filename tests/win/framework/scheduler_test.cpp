#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "framework/scheduler.h"

namespace {

using namespace std::chrono_literals;
using Log = std::vector<std::string>;

TEST(ManualScheduler, RunsTasksInDueOrderIncludingTasksAddedOnTheWay) {
  framework::ManualScheduler scheduler;
  Log log;
  scheduler.After(30ms, [&] { log.push_back("a30"); });
  scheduler.After(10ms, [&] {
    log.push_back("b10");
    // Due at 15: inside this advance, before what is due at 20.
    scheduler.After(5ms, [&] { log.push_back("e15"); });
    // Due at 50: after this advance.
    scheduler.After(40ms, [&] { log.push_back("f50"); });
  });
  scheduler.After(30ms, [&] { log.push_back("c30"); });
  const auto cancelled = scheduler.After(20ms, [&] { log.push_back("cancelled"); });
  scheduler.After(20ms, [&] { log.push_back("d20"); });
  scheduler.Cancel(cancelled);
  scheduler.Cancel(cancelled);
  scheduler.Cancel(9999);

  scheduler.Advance(9ms);
  EXPECT_TRUE(log.empty());
  scheduler.Advance(21ms);
  EXPECT_EQ(log, (Log{"b10", "e15", "d20", "a30", "c30"}));
  EXPECT_EQ(scheduler.Now(), 30ms);
  EXPECT_EQ(scheduler.Pending(), 1u);
  scheduler.Advance(20ms);
  EXPECT_EQ(log.back(), "f50");
  EXPECT_EQ(scheduler.Pending(), 0u);
}

TEST(ScopedUiScheduler, PutsThePreviousSchedulerBack) {
  Log log;
  framework::ManualScheduler outer;
  {
    framework::ScopedUiScheduler useOuter(outer);
    EXPECT_EQ(&framework::UiScheduler(), &outer);
    {
      framework::ManualScheduler inner;
      framework::ScopedUiScheduler useInner(inner);
      EXPECT_EQ(&framework::UiScheduler(), &inner);
    }
    EXPECT_EQ(&framework::UiScheduler(), &outer);
    framework::UiScheduler().After(1ms, [&] { log.push_back("outer"); });
  }
  EXPECT_NE(dynamic_cast<framework::TimerScheduler*>(&framework::UiScheduler()), nullptr);
  outer.Advance(1ms);
  EXPECT_EQ(log, Log{"outer"});
}

// Runs this thread's messages until done, waiting for each next message at
// most a bounded time.
bool PumpUntil(const std::function<bool()>& done) {
  for (int wait = 0; wait < 200 && !done(); ++wait) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return done();
}

TEST(TimerScheduler, RunsTasksFromTheMessageLoopUnlessCancelled) {
  Log log;
  framework::Scheduler& timers = framework::UiScheduler();
  const auto cancelled = timers.After(0ms, [&] { log.push_back("cancelled"); });
  timers.After(0ms, [&] { log.push_back("now"); });
  timers.Cancel(cancelled);
  timers.After(10ms, [&] { log.push_back("later"); });
  EXPECT_TRUE(log.empty()) << "nothing runs before the loop does";
  ASSERT_TRUE(PumpUntil([&] { return log.size() == 2; }));
  std::sort(log.begin(), log.end());
  EXPECT_EQ(log, (Log{"later", "now"}));

  // A scheduler of its own runs its tasks too, and takes them along when it goes.
  bool ran = false;
  bool leftBehind = false;
  {
    framework::TimerScheduler own;
    own.After(0ms, [&] { ran = true; });
    ASSERT_TRUE(PumpUntil([&] { return ran; }));
    own.After(0ms, [&] { leftBehind = true; });
  }
  timers.After(10ms, [&] { log.push_back("sentinel"); });
  ASSERT_TRUE(PumpUntil([&] { return log.size() == 3; }));
  EXPECT_FALSE(leftBehind);
}

}  // namespace
