#include "model/groups.h"

#include <algorithm>

#include "model/messages.h"

bool Groups::Add(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count) {
  Item added;
  return AddAndGet(std::move(name), std::move(imagePath), unit, count, added);
}

bool Groups::AddAndGet(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count, Item& added) {
  for (const Item& group : items) {
    if (group && platform::CompareNoCase(group->name, name) == 0) return false;
  }
  ++lastId;
  Item group(new Group(lastId, std::move(name), std::move(imagePath), unit, count));
  items.push_back(group);
  if (platform::IsWindowAlive(notifyWindow))
    platform::Send(notifyWindow, WM_GROUP_ADDED, reinterpret_cast<MessageParam>(&group));
  added = group;
  return true;
}

bool Groups::Remove(std::int32_t id) {
  const auto at = std::find_if(items.begin(), items.end(),
                               [id](const Item& group) { return group && group->id == id; });
  if (at == items.end()) return false;
  const Item keep = *at;
  if (platform::IsWindowAlive(notifyWindow))
    platform::Send(notifyWindow, WM_GROUP_REMOVED, reinterpret_cast<MessageParam>(&*at));
  // The receiver may have changed the list during the send: erase by identity.
  const auto still = std::find(items.begin(), items.end(), keep);
  if (still != items.end()) items.erase(still);
  return true;
}

bool Groups::Find(std::int32_t id, Item& found) const {
  for (const Item& group : items) {
    if (group && group->id == id) {
      found = group;
      return true;
    }
  }
  return false;
}
