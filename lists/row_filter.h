#pragma once
// What the find field asks of a list: the contacts whose name or notes (their
// plain text) hold the typed text, ignoring letter case and accents. The
// contacts' folded texts are made once per change (Contact::Texts); a
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
  bool Matches(const Contact& contact) const;
  // True when whatever this filter lets through, `before` let through too:
  // typing on only needs to test the rows still shown.
  bool Narrows(const RowFilter& before) const;

 private:
  std::wstring query_;
  std::wstring folded_;
  TextMask mask_;
};

}  // namespace lists
