#pragma once
#include <cstddef>
#include <string>

#include "model/text_cut.h"

// A caption as it fits a fixed tab-text buffer of bufferSize characters, the
// terminator included: cut, never overrun, and never between the two halves
// of a surrogate pair.
inline std::wstring FitTabText(const std::wstring& text, std::size_t bufferSize) {
  return bufferSize == 0 ? std::wstring() : text::CutText(text, bufferSize - 1);
}
