#include "lists/row_filter.h"

#include <utility>

#include "model/platform.h"

namespace lists {

RowFilter::RowFilter(std::wstring query) : query_(std::move(query)), folded_(platform::FoldForFinding(query_)) {
  mask_.Add(folded_);
}

bool RowFilter::Matches(const Contact& contact) const {
  if (!Active()) return true;
  const ContactTexts& texts = contact.Texts();
  if (!texts.mask.Covers(mask_)) return false;
  return texts.foldedName.find(folded_) != std::wstring::npos || texts.foldedNotes.find(folded_) != std::wstring::npos;
}

bool RowFilter::Narrows(const RowFilter& before) const { return folded_.find(before.folded_) != std::wstring::npos; }

}  // namespace lists
