#include "model/contact_batches.h"

#include <unordered_map>
#include <unordered_set>

#include "model/journal_history.h"

namespace {

// The contacts of the ids, in the ids' order, each once. Found through one
// index: finding each by itself costs a walk of the collection per id.
std::vector<Contacts::Item> Chosen(const Contacts& contacts, const std::vector<std::int32_t>& ids) {
  std::unordered_map<std::int32_t, Contacts::Item> byId;
  byId.reserve(contacts.items.size());
  for (const Contacts::Item& contact : contacts.items)
    if (contact) byId.emplace(contact->id, contact);
  std::vector<Contacts::Item> chosen;
  std::unordered_set<std::int32_t> taken;
  for (std::int32_t id : ids) {
    const auto found = byId.find(id);
    if (found != byId.end() && taken.insert(id).second) chosen.push_back(found->second);
  }
  return chosen;
}

}  // namespace

std::size_t MarkContacted(Contacts& contacts, const std::vector<std::int32_t>& ids, Time now) {
  const std::vector<Contacts::Item> chosen = Chosen(contacts, ids);
  for (const Contacts::Item& contact : chosen) contact->MarkContacted(now);
  return chosen.size();
}

std::size_t MarkContacted(Contacts& contacts, const std::vector<std::int32_t>& ids, Time now,
                          const std::function<void(const Contact&)>& told) {
  const std::vector<Contacts::Item> chosen = Chosen(contacts, ids);
  for (const Contacts::Item& contact : chosen) {
    const WindowHandle window = contact->notifyWindow;
    contact->notifyWindow = WindowHandle{};
    contact->MarkContacted(now);
    contact->notifyWindow = window;
    told(*contact);
  }
  return chosen.size();
}

std::size_t MoveToGroup(Contacts& contacts, const std::vector<std::int32_t>& ids, std::int32_t groupId) {
  std::size_t moved = 0;
  for (const Contacts::Item& contact : Chosen(contacts, ids)) {
    if (contact->groupId == groupId) continue;
    contact->Update(contact->name, contact->imagePath, contact->unit, contact->count, contact->lastContacted,
                    contact->notes, groupId);
    ++moved;
  }
  return moved;
}

std::size_t LogContacts(Journal& journal, Contacts& contacts, const std::vector<std::int32_t>& ids, Time time,
                        const std::wstring& text) {
  const std::vector<Contacts::Item> chosen = Chosen(contacts, ids);
  for (const Contacts::Item& contact : chosen) LogContact(journal, *contact, time, text);
  return chosen.size();
}

std::size_t SnoozeContacts(Journal& journal, const Contacts& contacts, const std::vector<std::int32_t>& ids,
                           Time until) {
  const std::vector<Contacts::Item> chosen = Chosen(contacts, ids);
  for (const Contacts::Item& contact : chosen) journal.Snooze(contact->id, until);
  return chosen.size();
}
