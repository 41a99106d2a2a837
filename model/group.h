#pragma once
#include <cstdint>
#include <string>

#include "model/contact.h"

class Group {
 public:
  Group() = default;
  Group(std::int32_t id, std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count)
      : id(id), name(std::move(name)), imagePath(std::move(imagePath)), unit(unit), count(count) {}
  virtual ~Group() = default;

  Group(const Group&) = delete;
  Group& operator=(const Group&) = delete;

  std::int32_t id = -1;
  std::wstring name;
  // Defaults offered to new contacts of the group; count 0 means no default.
  std::wstring imagePath;
  IntervalUnit unit = Days;
  std::int32_t count = 0;
};
