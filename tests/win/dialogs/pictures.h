#pragma once
// Picture files for the dialogs' picture wells, and the default group picture
// beside the test executable, which the group dialog looks for.
#include <string>

#include "tests/win/controls/test_files.h"

namespace test {

// Writes a small solid PNG; true on success.
bool WriteSolidPng(const std::wstring& path, unsigned colour);

// Puts images\groups\default.png beside the executable while it lives, or
// makes sure there is none; restores the absence afterwards.
class DefaultGroupPictureFile {
 public:
  explicit DefaultGroupPictureFile(bool present);
  ~DefaultGroupPictureFile();
  DefaultGroupPictureFile(const DefaultGroupPictureFile&) = delete;
  DefaultGroupPictureFile& operator=(const DefaultGroupPictureFile&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

}  // namespace test
