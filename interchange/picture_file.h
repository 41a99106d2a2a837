#pragma once
#include <string>

namespace interchange {

// The bytes of a picture file when it exists, is not larger than the limit
// and is an image we know; its type ("png", ...) beside them.
bool ReadPicture(const std::wstring& path, std::string& bytes, std::string& type);
// Writes the picture into folder (made when missing) as a file of its type
// named after the person, under a name no other file has; the path, or
// empty when it could not be written.
std::wstring WritePictureFile(const std::string& bytes, const std::string& type, const std::wstring& folder,
                              const std::wstring& name);

}  // namespace interchange
