#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "model/contact.h"

class Contacts {
 public:
  using Item = boost::shared_ptr<Contact>;

  // Always true: there is no limit and no duplicate test for contacts.
  bool Add(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count, Time lastContacted,
           std::wstring notes, std::int32_t groupId);
  // Adds a contact whose fields the caller has set, all before it is
  // announced: it gets the next id and the collection's notify window. False
  // for none.
  bool Insert(Item contact);
  bool Remove(std::int32_t id);
  void RemoveByGroup(std::int32_t groupId);
  // Takes every contact of the group out of the collection in one pass, in
  // the collection's order, announcing none of them: for a caller that tells
  // the removal as one change. The records live on in what is returned, so
  // rows that show them can go first.
  std::vector<Item> TakeGroup(std::int32_t groupId);
  // The same for the contacts of the ids (ids not in the collection are
  // skipped): several people deleted together.
  std::vector<Item> Take(const std::vector<std::int32_t>& ids);
  bool Find(std::int32_t id, Item& found) const;

  std::vector<Item>::const_iterator begin() const { return items.begin(); }
  std::vector<Item>::const_iterator end() const { return items.end(); }

  std::int32_t lastId = 0;
  std::vector<Item> items;
  WindowHandle notifyWindow{};

 private:
  // Announces the removal while the contact is still listed, then erases it.
  void AnnounceAndErase(const Item& contact);
};
