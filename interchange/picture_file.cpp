#include "interchange/picture_file.h"

#include <cstdio>

#include "interchange/person.h"
#include "interchange/person_fields.h"
#include "model/file_system.h"

namespace interchange {

bool ReadPicture(const std::wstring& path, std::string& bytes, std::string& type) {
  bytes.clear();
  type.clear();
  if (path.empty()) return false;
  std::FILE* file = files::OpenBinary(path, false);
  if (!file) return false;
  const long long size = files::SizeOf(file);
  bool ok = size > 0 && static_cast<unsigned long long>(size) <= kMaxPictureBytes;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    ok = std::fread(&bytes[0], 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  if (ok) type = PictureType(bytes);
  if (!ok || type.empty()) bytes.clear();
  return ok && !type.empty();
}

}  // namespace interchange
