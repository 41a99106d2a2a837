#include "lists/row_filter.h"

#include <utility>

#include "model/platform.h"
#include "model/reach.h"

namespace lists {
namespace {

// Digits and what people write between them: "+49 (170) 123-45.67".
bool LooksLikePhoneNumber(const std::wstring& text) {
  bool digit = false;
  for (wchar_t c : text) {
    if (c >= L'0' && c <= L'9')
      digit = true;
    else if (c != L'+' && c != L' ' && c != L'-' && c != L'(' && c != L')' && c != L'.' && c != L'/')
      return false;
  }
  return digit;
}

}  // namespace

RowFilter::RowFilter(std::wstring query) : query_(std::move(query)), folded_(platform::FoldForFinding(query_)) {
  mask_.Add(folded_);
  if (LooksLikePhoneNumber(query_)) digits_ = PhoneDigits(query_);
}

bool RowFilter::Matches(const Contact& contact, const std::wstring* reach) const {
  if (!Active()) return true;
  const ContactTexts& texts = contact.Texts();
  if (texts.mask.Covers(mask_) &&
      (texts.foldedName.find(folded_) != std::wstring::npos || texts.foldedNotes.find(folded_) != std::wstring::npos))
    return true;
  if (!reach || reach->empty()) return false;
  return reach->find(folded_) != std::wstring::npos || (!digits_.empty() && reach->find(digits_) != std::wstring::npos);
}

bool RowFilter::Narrows(const RowFilter& before) const { return folded_.find(before.folded_) != std::wstring::npos; }

}  // namespace lists
