#pragma once
// Pictures made smaller for the address book: a card carries its picture
// inline, and servers and phones handle pictures of several megabytes badly
// (slow syncs, refused cards), so one larger than kMaxUploadBytes is sent as a
// smaller JPEG. The picture file itself is never changed.
#include <cstddef>
#include <string>

namespace pictures {

inline constexpr std::size_t kMaxUploadBytes = 1u << 20;

// A JPEG of the picture, scaled down as far as needed to be at most maxBytes.
// False when the bytes are no picture Windows reads, or on the host build,
// which has no image codecs (the picture then goes as it is).
bool Shrink(const std::string& bytes, std::size_t maxBytes, std::string& jpeg);

}  // namespace pictures
