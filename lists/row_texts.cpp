#include "lists/row_texts.h"

#include "lists/status_text.h"

namespace lists {

std::wstring RowText(const Contact& contact, const Group* group, const DisplaySettings& settings, Time now) {
  std::wstring text = contact.name;
  if (group) text += L", " + group->name;
  text += L", " + StatusText(contact, settings.showLastContacted, now);
  return text;
}

std::wstring TickBoxName(const Contact& contact) { return L"Contacted: " + contact.name; }

}  // namespace lists
