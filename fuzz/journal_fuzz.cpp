// libFuzzer target for the journal's loader: any bytes must end in Ok or
// Damaged, fast, without a leak, and leave only what every reader relies on:
// entries newest first, texts within the limit, and every contact's details
// within the bounds Journal::SetDetails keeps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/archive.h"
#include "model/important_dates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Journal journal;
  ReadArchiveBytes(data, size, journal);
  for (const auto& [id, history] : journal.contacts) {
    for (std::size_t i = 0; i < history.entries.size(); ++i) {
      if (history.entries[i].text.size() > Journal::kMaxTextLength) std::abort();
      if (i > 0 && history.entries[i].time > history.entries[i - 1].time) std::abort();
    }
    const ContactDetails& details = history.details;
    if (details.phones.size() > ContactDetails::kMaxItems || details.emails.size() > ContactDetails::kMaxItems ||
        details.dates.size() > ContactDetails::kMaxItems)
      std::abort();
    for (const Phone& phone : details.phones)
      if (phone.label.size() > ContactDetails::kMaxTextLength || phone.number.size() > ContactDetails::kMaxTextLength)
        std::abort();
    for (const EmailAddress& email : details.emails)
      if (email.label.size() > ContactDetails::kMaxTextLength || email.address.size() > ContactDetails::kMaxTextLength)
        std::abort();
    int birthdays = 0;
    for (const ImportantDate& date : details.dates) {
      if (!IsValidDate(date.day, date.month, date.year)) std::abort();
      birthdays += date.label == kBirthdayLabel;
    }
    if (birthdays > 1) std::abort();
    std::size_t kept = 0;
    for (const KeptProperty& property : details.kept) kept += property.column.size() + property.text.size();
    if (kept > ContactDetails::kMaxKeptChars) std::abort();
  }
  const ReminderSettings& reminders = journal.state.reminders;
  if (reminders.dateLeadDays < 0 || reminders.dateLeadDays > ReminderSettings::kMaxDateLeadDays) std::abort();
  if (reminders.datesNamed.size() > ReminderSettings::kMaxDatesNamed) std::abort();
  return 0;
}
