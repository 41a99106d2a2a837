#pragma once
// Cutting a text to a length without splitting a character: the two halves of
// a UTF-16 surrogate pair stay together or go together.
#include <cstddef>
#include <string>

namespace text {

// The first maxLength units of text at most; a cut that would end between the
// halves of a pair ends before the pair.
std::wstring CutText(std::wstring text, std::size_t maxLength);

}  // namespace text
