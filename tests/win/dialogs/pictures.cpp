#include "tests/win/dialogs/pictures.h"

#include "model/paths.h"

namespace test {

bool WriteSolidPng(const std::wstring& path, unsigned colour) {
  return WritePng(path, 8, 8, [colour](int, int) { return static_cast<std::uint32_t>(colour); });
}

DefaultGroupPictureFile::DefaultGroupPictureFile(bool present) : path_(paths::DefaultGroupPicture()) {
  DeleteFileW(path_.c_str());
  if (!present) return;
  const std::wstring images = paths::ImagesFolder();
  CreateDirectoryW(images.c_str(), nullptr);
  CreateDirectoryW((images + L"\\groups").c_str(), nullptr);
  WriteSolidPng(path_, 0xFF20A040u);
}

DefaultGroupPictureFile::~DefaultGroupPictureFile() { DeleteFileW(path_.c_str()); }

}  // namespace test
