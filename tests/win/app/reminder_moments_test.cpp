#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <wtsapi32.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "app/reminder_moments.h"
#include "framework/scheduler.h"
#include "framework/window.h"
#include "model/platform.h"
#include "model/snooze.h"

namespace {

constexpr Time kHour = 3600;
constexpr Time kDay = 24 * kHour;

// A hidden top-level window whose map hands the system's messages to the moments, as the main window's does.
class Host : public CWindowImpl<Host> {
 public:
  DECLARE_WND_CLASS(L"Amicord.Test.ReminderMoments")
  explicit Host(ReminderMoments& moments) : moments_(moments) {}

  BEGIN_MSG_MAP(Host)
    CHAIN_MSG_MAP_MEMBER(moments_)
  END_MSG_MAP()

 private:
  ReminderMoments& moments_;
};

class ReminderMomentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // 8:00 local on some day: time zones shift the day, not the hour.
    now_ = StartOfDayAfter(Time{1750000000}, 0) + 8 * kHour;
    previousClock_ = platform::ReplaceClock([this] { return now_; });
    RECT place{0, 0, 100, 100};
    ASSERT_NE(host_.Create(nullptr, place, L"moments", WS_OVERLAPPEDWINDOW), nullptr);
  }
  void TearDown() override {
    moments_.Stop();
    if (host_.m_hWnd) host_.DestroyWindow();
    platform::ReplaceClock(previousClock_);
  }

  // The wall clock and the timers move together, as they do while the machine is awake.
  void Pass(Time seconds) {
    now_ += seconds;
    scheduler_.Advance(std::chrono::seconds(seconds));
  }
  std::string Seen() {
    std::string seen;
    seen.swap(seen_);
    return seen;
  }

  Time now_ = 0;
  platform::Clock previousClock_;
  std::int32_t at_ = 9 * 60;
  std::string seen_;
  framework::ManualScheduler scheduler_;
  framework::ScopedUiScheduler scoped_{scheduler_};
  ReminderMoments moments_{[this] { return at_; }, {[this] { seen_ += 'M'; }, [this] { seen_ += 'R'; }}};
  Host host_{moments_};
};

TEST_F(ReminderMomentsTest, TheStartIsAMomentAfterTheFirstPaintAndNineOClockOneEachDay) {
  moments_.Start(host_.m_hWnd);
  EXPECT_EQ(Seen(), "") << "nothing from inside the window's creation";
  scheduler_.Advance(std::chrono::milliseconds(0));
  EXPECT_EQ(Seen(), "M");

  Pass(kHour - 1);  // 8:59:59
  EXPECT_EQ(Seen(), "");
  Pass(1);  // 9:00
  EXPECT_EQ(Seen(), "M");
  Pass(15 * kHour - 1);  // 23:59:59
  EXPECT_EQ(Seen(), "");
  Pass(1);  // midnight: statuses read by the new date
  EXPECT_EQ(Seen(), "R");
  Pass(9 * kHour - 1);
  EXPECT_EQ(Seen(), "");
  Pass(1);  // 9:00 the next day
  EXPECT_EQ(Seen(), "M");
  EXPECT_EQ(scheduler_.Pending(), 2u) << "the next nine o'clock and the next midnight, nothing more";
}

TEST_F(ReminderMomentsTest, WakingUnlockingAndASetClockAreMomentsAndSetTheTimersAgain) {
  moments_.Start(host_.m_hWnd);
  scheduler_.Advance(std::chrono::milliseconds(0));
  Seen();

  // Asleep from 8:00 to 10:00 two days later: the timers did not run meanwhile.
  now_ += 2 * kDay + 2 * kHour;
  SendMessageW(host_.m_hWnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  EXPECT_EQ(Seen(), "");
  EXPECT_EQ(SendMessageW(host_.m_hWnd, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0), TRUE);
  EXPECT_EQ(Seen(), "RM");
  // The timers count from the time of waking: the next nine o'clock is tomorrow's, midnight comes first.
  Pass(14 * kHour - 1);
  EXPECT_EQ(Seen(), "");
  Pass(1);
  EXPECT_EQ(Seen(), "R");
  Pass(9 * kHour);
  EXPECT_EQ(Seen(), "M");
  EXPECT_EQ(scheduler_.Pending(), 2u);

  SendMessageW(host_.m_hWnd, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  EXPECT_EQ(Seen(), "");
  SendMessageW(host_.m_hWnd, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  EXPECT_EQ(Seen(), "M");

  // The user sets the clock back from 9:00 to 7:00: nine o'clock comes again today.
  now_ -= 2 * kHour;
  SendMessageW(host_.m_hWnd, WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(Seen(), "RM");
  EXPECT_EQ(scheduler_.Pending(), 2u) << "the old timers were cancelled";
  Pass(2 * kHour);
  EXPECT_EQ(Seen(), "M");
}

TEST_F(ReminderMomentsTest, ANewTimeOfDayTakesEffectAtOnceAndStopEndsEverything) {
  moments_.Start(host_.m_hWnd);
  scheduler_.Advance(std::chrono::milliseconds(0));
  Seen();
  at_ = 8 * 60 + 30;
  moments_.Reschedule();
  Pass(30 * 60);
  EXPECT_EQ(Seen(), "M");
  Pass(kHour);  // the old 9:00 timer is gone
  EXPECT_EQ(Seen(), "");

  at_ = 0;  // midnight: the moment and the refresh both come
  moments_.Reschedule();
  Pass(15 * kHour);
  EXPECT_EQ(Seen(), "MR");

  moments_.Stop();
  EXPECT_EQ(scheduler_.Pending(), 0u);
  SendMessageW(host_.m_hWnd, WM_TIMECHANGE, 0, 0);
  Pass(2 * kDay);
  EXPECT_EQ(Seen(), "") << "stopped, it neither answers the messages nor sets timers again";
}

}  // namespace
