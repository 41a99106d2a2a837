#pragma once
#include <string>

namespace interchange {

// The bytes of a picture file when it exists, is not larger than the limit
// and is an image we know; its type ("png", ...) beside them.
bool ReadPicture(const std::wstring& path, std::string& bytes, std::string& type);

}  // namespace interchange
