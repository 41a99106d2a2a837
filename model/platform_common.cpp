#include <utility>

#include "model/platform.h"

namespace platform {

namespace {

Clock& ReplacedClock() {
  static Clock clock;
  return clock;
}

}  // namespace

Time Now() {
  const Clock& replaced = ReplacedClock();
  return replaced ? replaced() : SystemNow();
}

Clock ReplaceClock(Clock clock) {
  Clock previous = std::move(ReplacedClock());
  ReplacedClock() = std::move(clock);
  return previous;
}

}  // namespace platform
