#pragma once
// What the rows show and find of each contact's phones, addresses and dates:
// the date mark of the name line ("Birthday tomorrow") and the text the find
// field also searches (each number's digits, each address folded). Made once
// per change of a contact's details and at local midnight, never per paint or
// per keystroke; the lists of every tab share one.
#include <cstdint>
#include <string>
#include <unordered_map>

#include "model/contact.h"
#include "model/contacts.h"
#include "model/important_dates.h"
#include "model/journal.h"

namespace lists {

struct RowDetail {
  std::wstring mark;   // empty when no date comes round within kMarkDays
  std::wstring reach;  // one line per number's digits and per folded address
};

// The soonest of the contact's dates within days of today, as the row shows it; empty for none.
std::wstring DateMark(const Contact& contact, const ContactDetails& details, CalendarDay today, std::int32_t days);
// The digits of every number and every address folded for finding, one a line.
std::wstring ReachText(const ContactDetails& details);

class RowDetails {
 public:
  // A date this many days ahead or nearer is marked on the row.
  static constexpr std::int32_t kMarkDays = 7;

  // Every contact's, for the day given.
  void Rebuild(const Contacts& contacts, const Journal& journal, CalendarDay today);
  // One contact's details changed (or it came).
  void Update(const Contact& contact, const Journal& journal);
  void Forget(std::int32_t id) { entries_.erase(id); }
  // Null for a contact without any.
  const RowDetail* Find(std::int32_t id) const;
  CalendarDay Today() const { return today_; }

 private:
  std::unordered_map<std::int32_t, RowDetail> entries_;
  CalendarDay today_;
};

}  // namespace lists
