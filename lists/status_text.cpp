#include "lists/status_text.h"

#include <utility>

#include "model/snooze.h"
#include "model/text_cut.h"

namespace lists {

std::wstring FitWorkBuffer(std::wstring text) { return text::CutText(std::move(text), kWorkBufferLength - 1); }

std::wstring StatusText(const Contact& contact, bool showLastContacted, Time now) {
  const std::int32_t days = contact.DaysSinceContact(now);
  const std::int32_t interval = contact.IntervalDays();
  std::wstring text = L"Contact ";
  if (contact.IsExpired(now))
    text += L"expired " + std::to_wstring(WrapSub(days, interval)) + L" days ago.";
  else
    text += L"in " + std::to_wstring(WrapSub(interval, days)) + L" days.";
  if (showLastContacted) text += L" Last contacted: " + platform::LocalDateText(contact.lastContacted) + L".";
  return FitWorkBuffer(std::move(text));
}

std::wstring StatusText(const Contact& contact, bool showLastContacted, Time now, Time snoozedUntil) {
  if (!IsSnoozeActive(contact, snoozedUntil, now)) return StatusText(contact, showLastContacted, now);
  std::wstring text = L"Snoozed until " + platform::FormatLocalTime(snoozedUntil, L"%a, %b %d") + L".";
  if (showLastContacted) text += L" Last contacted: " + platform::LocalDateText(contact.lastContacted) + L".";
  return FitWorkBuffer(std::move(text));
}

}  // namespace lists
