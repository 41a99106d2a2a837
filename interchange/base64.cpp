#include "interchange/base64.h"

#include <boost/archive/iterators/base64_from_binary.hpp>
#include <boost/archive/iterators/binary_from_base64.hpp>
#include <boost/archive/iterators/transform_width.hpp>

namespace interchange {

namespace {

bool IsBase64Char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

}  // namespace

bool DecodeBase64(std::string_view text, std::size_t limit, std::string& bytes) {
  using namespace boost::archive::iterators;
  using Decoder = transform_width<binary_from_base64<std::string::const_iterator>, 8, 6>;
  bytes.clear();
  std::string clean;
  clean.reserve(text.size());
  for (const char c : text) {
    if (c == '=') break;  // padding ends the data; what follows is not ours
    if (IsBase64Char(c)) clean += c;
  }
  if (clean.size() % 4 == 1) clean.pop_back();  // six bits make no byte
  const std::size_t size = clean.size() / 4 * 3 + (clean.size() % 4 == 0 ? 0 : clean.size() % 4 - 1);
  if (size > limit) return false;
  // Boost's decoder wants whole groups of four: pad with zero digits, then cut.
  clean.append((4 - clean.size() % 4) % 4, 'A');
  bytes.assign(Decoder(clean.cbegin()), Decoder(clean.cend()));
  bytes.resize(size);
  return true;
}

std::string EncodeBase64(std::string_view bytes) {
  using namespace boost::archive::iterators;
  using Encoder = base64_from_binary<transform_width<std::string::const_iterator, 6, 8>>;
  const std::size_t padding = (3 - bytes.size() % 3) % 3;
  std::string whole(bytes);
  whole.append(padding, '\0');
  std::string text(Encoder(whole.cbegin()), Encoder(whole.cend()));
  text.replace(text.size() - padding, padding, padding, '=');
  return text;
}

}  // namespace interchange
