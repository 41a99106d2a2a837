#pragma once
// Base64 through Boost's archive iterators, with the cleaning real files need
// (line breaks, spaces and padding anywhere).
#include <cstddef>
#include <string>
#include <string_view>

namespace interchange {

// False when the decoded bytes would exceed limit; bytes is then empty.
bool DecodeBase64(std::string_view text, std::size_t limit, std::string& bytes);
std::string EncodeBase64(std::string_view bytes);

}  // namespace interchange
