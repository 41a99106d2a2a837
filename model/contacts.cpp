#include "model/contacts.h"

#include <algorithm>

#include "model/messages.h"

bool Contacts::Add(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count, Time lastContacted,
                   std::wstring notes, std::int32_t groupId) {
  return Insert(Item(
      new Contact(0, std::move(name), std::move(imagePath), unit, count, lastContacted, std::move(notes), groupId)));
}

bool Contacts::Insert(Item contact) {
  if (!contact) return false;
  contact->id = ++lastId;
  contact->notifyWindow = notifyWindow;
  items.push_back(contact);
  if (platform::IsWindowAlive(notifyWindow))
    platform::Send(notifyWindow, WM_CONTACT_ADDED, reinterpret_cast<MessageParam>(contact.get()));
  return true;
}

void Contacts::AnnounceAndErase(const Item& contact) {
  const Item keep = contact;  // the receiver must not be able to end it mid-send
  if (platform::IsWindowAlive(notifyWindow))
    platform::Send(notifyWindow, WM_CONTACT_REMOVED, reinterpret_cast<MessageParam>(keep.get()));
  // The receiver runs inside the send and may have changed the list: erase by identity.
  const auto at = std::find(items.begin(), items.end(), keep);
  if (at != items.end()) items.erase(at);
}

bool Contacts::Remove(std::int32_t id) {
  Item found;
  if (!Find(id, found)) return false;
  AnnounceAndErase(found);
  return true;
}

void Contacts::RemoveByGroup(std::int32_t groupId) {
  // Walk by position so that adjacent matches are all removed: after an erase the
  // element that followed the removed one is at the same position.
  for (std::size_t i = 0; i < items.size();) {
    if (items[i] && items[i]->groupId == groupId) {
      const Item contact = items[i];
      AnnounceAndErase(contact);
      if (i < items.size() && items[i] == contact) ++i;  // the receiver kept it
    } else {
      ++i;
    }
  }
}

std::vector<Contacts::Item> Contacts::TakeGroup(std::int32_t groupId) {
  std::vector<Item> taken;
  const auto kept = std::stable_partition(
      items.begin(), items.end(), [groupId](const Item& contact) { return !(contact && contact->groupId == groupId); });
  taken.assign(kept, items.end());
  items.erase(kept, items.end());
  return taken;
}

bool Contacts::Find(std::int32_t id, Item& found) const {
  for (const Item& contact : items) {
    if (contact && contact->id == id) {
      found = contact;
      return true;
    }
  }
  return false;
}
