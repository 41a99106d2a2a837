#include <cwchar>
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

LocalTime ToLocalTime(Time time) {
  std::tm parts{};
  LocalTime local;
  if (!ToLocalParts(time, parts)) return local;
  local.year = parts.tm_year + 1900;
  local.month = parts.tm_mon + 1;
  local.day = parts.tm_mday;
  local.hour = parts.tm_hour;
  local.minute = parts.tm_min;
  local.second = parts.tm_sec;
  return local;
}

std::wstring FormatLocalTime(Time time, const wchar_t* format) {
  std::tm parts{};
  if (!ToLocalParts(time, parts)) return {};
  wchar_t text[128];
  const std::size_t length = std::wcsftime(text, sizeof text / sizeof text[0], format, &parts);
  return std::wstring(text, length);
}

std::wstring LocalDateText(Time time) { return FormatLocalTime(time, L"%a, %b %d, %Y"); }

Clock ReplaceClock(Clock clock) {
  Clock previous = std::move(ReplacedClock());
  ReplacedClock() = std::move(clock);
  return previous;
}

}  // namespace platform
