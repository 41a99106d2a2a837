#include "lists/row_details.h"

#include "model/platform.h"
#include "model/reach.h"

namespace lists {

std::wstring DateMark(const Contact& contact, const ContactDetails& details, CalendarDay today, std::int32_t days) {
  UpcomingDate soonest;
  bool found = false;
  for (const ImportantDate& date : details.dates) {
    const CalendarDay on = NextOccurrence(date, today);
    const std::int32_t away = DaysBetween(today, on);
    if (away < 0 || away > days || (found && away >= soonest.days)) continue;
    soonest = UpcomingDate{contact.id, contact.name, date, on, away, date.year > 0 ? on.year - date.year : 0};
    found = true;
  }
  return found ? DateMarkText(soonest) : std::wstring();
}

std::wstring ReachText(const ContactDetails& details) {
  std::wstring text;
  for (const Phone& phone : details.phones) text += PhoneDigits(phone.number) + L'\n';
  for (const EmailAddress& email : details.emails) text += platform::FoldForFinding(email.address) + L'\n';
  return text;
}

void RowDetails::Rebuild(const Contacts& contacts, const Journal& journal, CalendarDay today) {
  today_ = today;
  entries_.clear();
  for (const Contacts::Item& contact : contacts)
    if (contact) Update(*contact, journal);
}

void RowDetails::Update(const Contact& contact, const Journal& journal) {
  const ContactDetails& details = journal.Details(contact.id);
  if (details.phones.empty() && details.emails.empty() && details.dates.empty()) {
    entries_.erase(contact.id);
    return;
  }
  RowDetail& entry = entries_[contact.id];
  entry.mark = DateMark(contact, details, today_, kMarkDays);
  entry.reach = ReachText(details);
}

const RowDetail* RowDetails::Find(std::int32_t id) const {
  const auto found = entries_.find(id);
  return found == entries_.end() ? nullptr : &found->second;
}

}  // namespace lists
