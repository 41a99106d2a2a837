#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/crackers.h"
#include "framework/message_loop.h"
#include "framework/window.h"

namespace {

constexpr UINT kFirst = WM_APP + 1;
constexpr UINT kConsumed = WM_APP + 2;
constexpr UINT kReaddressed = WM_APP + 3;
constexpr UINT kRemoveYourself = WM_APP + 4;

using Log = std::vector<std::string>;

class Target : public CWindowImpl<Target> {
 public:
  DECLARE_WND_CLASS(L"Amicord.Test.LoopTarget")
  explicit Target(Log& log) : log_(log) {}

  BEGIN_MSG_MAP(Target)
    MSG_PLAIN(kFirst, OnFirst)
    MSG_PLAIN(kConsumed, OnConsumed)
    MSG_PLAIN(kReaddressed, OnReaddressed)
    MSG_PLAIN(kRemoveYourself, OnRemoveYourself)
  END_MSG_MAP()

 private:
  void OnFirst() { log_.push_back("window first"); }
  void OnConsumed() { log_.push_back("window consumed"); }
  void OnReaddressed() { log_.push_back("window readdressed"); }
  void OnRemoveYourself() { log_.push_back("window remove"); }

  Log& log_;
};

// Writes down each message it sees; may consume one message, readdress one
// to another, and take itself out of the loop when it sees one.
class Filter : public CMessageFilter {
 public:
  Filter(std::string name, Log& log, CMessageLoop& loop) : name_(std::move(name)), log_(log), loop_(loop) {}

  bool PreTranslateMessage(MSG& message) override {
    if (message.message < WM_APP) return false;
    log_.push_back(name_ + " " + std::to_string(message.message - WM_APP));
    if (message.message == removeOn) loop_.RemoveMessageFilter(this);
    if (message.message == readdressFrom) message.message = readdressTo;
    return message.message == consume;
  }

  UINT consume = 0;
  UINT readdressFrom = 0;
  UINT readdressTo = 0;
  UINT removeOn = 0;

 private:
  std::string name_;
  Log& log_;
  CMessageLoop& loop_;
};

TEST(MessageLoop, FiltersRunNewestFirstAndMayConsumeReaddressOrLeave) {
  Log log;
  Target target(log);
  ASSERT_TRUE(target.Create(nullptr, RECT{0, 0, 50, 50}, L"", WS_POPUP));
  CMessageLoop loop;
  Filter older("older", log, loop);
  Filter newer("newer", log, loop);
  loop.AddMessageFilter(&older);
  loop.AddMessageFilter(&newer);
  loop.AddMessageFilter(&older);  // once only
  newer.consume = kConsumed;
  older.readdressFrom = kFirst;
  older.readdressTo = kReaddressed;
  newer.removeOn = kRemoveYourself;

  target.PostMessage(kFirst);
  target.PostMessage(kConsumed);
  target.PostMessage(kRemoveYourself);
  target.PostMessage(kFirst);
  PostQuitMessage(7);
  EXPECT_EQ(loop.Run(), 7);
  EXPECT_EQ(log, (Log{"newer 1", "older 1", "window readdressed",  // the changed message is dispatched
                      "newer 2",                                   // consumed: nobody else sees it
                      "newer 4", "older 4", "window remove",       // leaving while the chain runs
                      "older 1", "window readdressed"}));
  target.DestroyWindow();
}

}  // namespace
