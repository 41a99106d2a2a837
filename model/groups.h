#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "model/group.h"

class Groups {
 public:
  using Item = boost::shared_ptr<Group>;

  virtual ~Groups() = default;

  // False, with nothing changed and nothing sent, when a group of that name
  // already exists regardless of letter case.
  bool Add(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count);
  bool AddAndGet(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count, Item& added);
  bool Remove(std::int32_t id);
  bool Find(std::int32_t id, Item& found) const;

  std::vector<Item>::const_iterator begin() const { return items.begin(); }
  std::vector<Item>::const_iterator end() const { return items.end(); }

  std::vector<Item> items;
  WindowHandle notifyWindow{};
  std::int32_t lastId = 0;
};
