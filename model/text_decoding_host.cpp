#include <iconv.h>

#include <cerrno>
#include <string>
#include <vector>

#include "model/text_decoding.h"

namespace text {

namespace {

std::string IconvName(unsigned codePage) {
  if (codePage >= 28591 && codePage <= 28605) return "ISO-8859-" + std::to_string(codePage - 28590);
  switch (codePage) {
    case 65001:
      return "UTF-8";
    case 51932:
      return "EUC-JP";
    case 50220:
      return "ISO-2022-JP";
    case 54936:
      return "GB18030";
    case 20866:
      return "KOI8-R";
    case 21866:
      return "KOI8-U";
    case 10000:
      return "MACINTOSH";
    case 20127:
      return "ASCII";
  }
  return "CP" + std::to_string(codePage);
}

}  // namespace

unsigned FallbackCodePage() { return 1252; }

bool DecodeCodePage(unsigned codePage, std::string_view bytes, std::wstring& text) {
  if (codePage == kUtf8CodePage) return DecodeUtf8(bytes, text);
  const iconv_t converter = iconv_open("UTF-16LE", IconvName(codePage).c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::string input(bytes);
  std::vector<char> output(bytes.size() * 4 + 16);
  char* in = input.data();
  std::size_t inLeft = input.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  const std::size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
  const bool flushed = iconv(converter, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  if (done == static_cast<std::size_t>(-1) || !flushed) return false;
  text = DecodeUtf16(std::string_view(output.data(), output.size() - outLeft), false);
  return true;
}

}  // namespace text
