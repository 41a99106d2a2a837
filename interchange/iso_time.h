#pragma once
// ISO 8601 times as the interchange files carry them, over the full range of
// Time (years beyond 9999 get a sign, as ISO 8601's expanded form).
#include <optional>
#include <string>
#include <string_view>

#include "model/platform.h"

namespace interchange {

// "2024-05-12T14:30:00Z"
std::wstring FormatUtc(Time time);
// "20240512T143000Z", the basic form vCard's REV uses.
std::wstring FormatUtcBasic(Time time);
// "2024-05-12T16:30:00+02:00" in the local time zone; the UTC form when the
// system cannot convert the time.
std::wstring FormatLocal(Time time);

// Extended or basic form, with "Z", an offset, or neither (then local time);
// a date alone counts as local midnight.
std::optional<Time> ParseIsoTime(std::wstring_view text);

// A calendar date as files write birthdays: year 0 when they leave it out.
struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
};
// "1980-05-12", "19800512", "--0512", "--05-12", with any time after it.
std::optional<Date> ParseIsoDate(std::wstring_view text);
// "12 May 1980", "12 May" without a year.
std::wstring FormatDate(const Date& date);

}  // namespace interchange
