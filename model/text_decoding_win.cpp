#include "base/windows_api.h"

#include "model/text_decoding.h"

namespace text {

unsigned FallbackCodePage() { return GetACP(); }

bool DecodeCodePage(unsigned codePage, std::string_view bytes, std::wstring& text) {
  if (codePage == kUtf8CodePage) return DecodeUtf8(bytes, text);
  if (bytes.empty()) {
    text.clear();
    return true;
  }
  if (bytes.size() > 0x7FFFFFFF) return false;
  const int size = static_cast<int>(bytes.size());
  const int chars = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (chars <= 0) return false;
  std::wstring out(static_cast<std::size_t>(chars), L'\0');
  if (MultiByteToWideChar(codePage, 0, bytes.data(), size, &out[0], chars) != chars) return false;
  text = std::move(out);
  return true;
}

}  // namespace text
