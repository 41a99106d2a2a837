#pragma once
// What the find field asks of a list: the contacts whose name or notes (their
// plain text) or e-mail addresses hold the typed text, ignoring letter case and
// accents, or one of whose phone numbers holds its digits. The contacts' folded
// texts are made once per change (Contact::Texts, RowDetail::reach); a
// keystroke folds only its own text.
#include <string>

#include "model/contact.h"

namespace lists {

class RowFilter {
 public:
  // Lets everyone through.
  RowFilter() = default;
  explicit RowFilter(std::wstring query);

  bool Active() const { return !folded_.empty(); }
  const std::wstring& Query() const { return query_; }
  // reach: the contact's RowDetail::reach, null for none.
  bool Matches(const Contact& contact, const std::wstring* reach = nullptr) const;
  // True when whatever this filter lets through, `before` let through too:
  // typing on only needs to test the rows still shown.
  bool Narrows(const RowFilter& before) const;

 private:
  std::wstring query_;
  std::wstring folded_;
  std::wstring digits_;  // a query that can be part of a phone number: its digits
  TextMask mask_;
};

}  // namespace lists
