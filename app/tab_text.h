#pragma once
#include <cstddef>
#include <string>

// A caption as it fits a fixed tab-text buffer of bufferSize characters, the
// terminator included: cut, never overrun, and never between the two halves
// of a surrogate pair.
inline std::wstring FitTabText(const std::wstring& text, std::size_t bufferSize) {
  if (bufferSize == 0) return std::wstring();
  std::size_t length = text.size();
  if (length < bufferSize) return text;
  length = bufferSize - 1;
  if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  return text.substr(0, length);
}
