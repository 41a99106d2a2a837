#include "model/contact_details.h"

#include <algorithm>
#include <utility>

#include "model/important_dates.h"
#include "model/text_cut.h"

namespace {

template <class Item>
void KeepAtMost(std::vector<Item>& items, std::size_t most) {
  if (items.size() > most) items.erase(items.begin() + static_cast<std::ptrdiff_t>(most), items.end());
}

void Cut(std::wstring& text) {
  if (text.size() > ContactDetails::kMaxTextLength)
    text = text::CutText(std::move(text), ContactDetails::kMaxTextLength);
}

}  // namespace

void BoundDetails(ContactDetails& details) {
  KeepAtMost(details.phones, ContactDetails::kMaxItems);
  for (Phone& phone : details.phones) {
    Cut(phone.label);
    Cut(phone.number);
  }
  KeepAtMost(details.emails, ContactDetails::kMaxItems);
  for (EmailAddress& email : details.emails) {
    Cut(email.label);
    Cut(email.address);
  }
  bool birthday = false;
  const auto drop = std::remove_if(details.dates.begin(), details.dates.end(), [&birthday](ImportantDate& date) {
    Cut(date.label);
    if (!IsValidDate(date.day, date.month, date.year)) return true;
    if (date.label != kBirthdayLabel) return false;
    if (birthday) return true;
    birthday = true;
    return false;
  });
  details.dates.erase(drop, details.dates.end());
  KeepAtMost(details.dates, ContactDetails::kMaxItems);
  std::size_t chars = 0;
  const auto over = std::find_if(details.kept.begin(), details.kept.end(), [&chars](const KeptProperty& kept) {
    chars += kept.column.size() + kept.text.size();
    return chars > ContactDetails::kMaxKeptChars;
  });
  details.kept.erase(over, details.kept.end());
}
