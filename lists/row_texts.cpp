#include "lists/row_texts.h"

#include "lists/status_text.h"

namespace lists {

std::wstring RowText(const Contact& contact, const Group* group, const DisplaySettings& settings, Time now,
                     const std::wstring* dateMark) {
  std::wstring text = contact.name;
  if (group) text += L", " + group->name;
  if (dateMark && !dateMark->empty()) text += L", " + *dateMark;
  text += L", " + StatusText(contact, settings.showLastContacted, now);
  return text;
}

std::wstring TickBoxName(const Contact& contact) { return L"Contacted: " + contact.name; }

}  // namespace lists
