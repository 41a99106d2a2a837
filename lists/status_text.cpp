#include "lists/status_text.h"

#include <ctime>
#include <cwchar>

#include "model/snooze.h"

namespace lists {

std::wstring FitWorkBuffer(std::wstring text) {
  constexpr std::size_t kMax = kWorkBufferLength - 1;
  if (text.size() <= kMax) return text;
  std::size_t length = kMax;
  const wchar_t last = text[length - 1];
  if (last >= 0xD800 && last <= 0xDBFF) --length;  // a lead surrogate would be left alone
  text.resize(length);
  return text;
}

namespace {

std::wstring LocalDate(Time time, const wchar_t* format) {
  const __time64_t value = static_cast<__time64_t>(time);
  std::tm local{};
  if (_localtime64_s(&local, &value) != 0) return {};
  wchar_t date[128];
  const std::size_t length = std::wcsftime(date, sizeof date / sizeof date[0], format, &local);
  if (length == 0) return {};
  return std::wstring(date, length);
}

}  // namespace

std::wstring LastContactedDate(Time time) { return LocalDate(time, L"%a, %b %d, %Y"); }

std::wstring StatusText(const Contact& contact, bool showLastContacted, Time now) {
  const std::int32_t days = contact.DaysSinceContact(now);
  const std::int32_t interval = contact.IntervalDays();
  // The differences are taken as 32-bit wrapping numbers, like the status itself.
  const auto difference = [](std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
  };
  std::wstring text = L"Contact ";
  if (days > interval)
    text += L"expired " + std::to_wstring(difference(days, interval)) + L" days ago.";
  else
    text += L"in " + std::to_wstring(difference(interval, days)) + L" days.";
  if (showLastContacted) text += L" Last contacted: " + LastContactedDate(contact.lastContacted) + L".";
  return FitWorkBuffer(std::move(text));
}

std::wstring StatusText(const Contact& contact, bool showLastContacted, Time now, Time snoozedUntil) {
  if (!IsSnoozeActive(contact, snoozedUntil, now)) return StatusText(contact, showLastContacted, now);
  std::wstring text = L"Snoozed until " + LocalDate(snoozedUntil, L"%a, %b %d") + L".";
  if (showLastContacted) text += L" Last contacted: " + LastContactedDate(contact.lastContacted) + L".";
  return FitWorkBuffer(std::move(text));
}

}  // namespace lists
