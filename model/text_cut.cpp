#include "model/text_cut.h"

namespace text {

std::wstring CutText(std::wstring text, std::size_t maxLength) {
  if (text.size() <= maxLength) return text;
  std::size_t length = maxLength;
  if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  text.resize(length);
  return text;
}

}  // namespace text
