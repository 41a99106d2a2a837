#include "model/text_decoding.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace text {

namespace {

std::string Normalised(std::string_view name) {
  std::string out;
  for (const char c : name) {
    if (c == '-' || c == '_' || c == ' ' || c == '"') continue;
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

bool StartsWith(const std::string& text, const char* prefix, std::string& rest) {
  const std::string_view p(prefix);
  if (text.compare(0, p.size(), p) != 0) return false;
  rest = text.substr(p.size());
  return true;
}

unsigned Number(const std::string& digits) {
  if (digits.empty() || digits.size() > 5) return 0;
  for (const char c : digits)
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
  return static_cast<unsigned>(std::atoi(digits.c_str()));
}

void AppendUnit(std::wstring& text, std::uint32_t point) {
  if (point >= 0x10000) {
    point -= 0x10000;
    text += static_cast<wchar_t>(0xD800 + (point >> 10));
    text += static_cast<wchar_t>(0xDC00 + (point & 0x3FF));
  } else {
    text += static_cast<wchar_t>(point);
  }
}

}  // namespace

unsigned CodePageOf(std::string_view charset) {
  const std::string name = Normalised(charset);
  struct Known {
    const char* name;
    unsigned codePage;
  };
  static const Known kKnown[] = {
      {"utf8", 65001},      {"usascii", 1252}, {"ascii", 1252},    {"latin1", 28591}, {"shiftjis", 932},
      {"sjis", 932},        {"xsjis", 932},    {"mskanji", 932},   {"eucjp", 51932},  {"iso2022jp", 50220},
      {"gb2312", 936},      {"gbk", 936},      {"gb18030", 54936}, {"big5", 950},     {"euckr", 949},
      {"ksc56011987", 949}, {"koi8r", 20866},  {"koi8u", 21866},   {"tis620", 874},   {"macintosh", 10000},
  };
  for (const Known& known : kKnown)
    if (name == known.name) return known.codePage;
  std::string rest;
  if (StartsWith(name, "iso8859", rest)) {
    const unsigned part = Number(rest);
    return part >= 1 && part <= 15 ? 28590 + part : 0;
  }
  if (StartsWith(name, "windows", rest) || StartsWith(name, "cp", rest) || StartsWith(name, "ibm", rest))
    return Number(rest);
  return 0;
}

bool DecodeUtf8(std::string_view bytes, std::wstring& text) {
  std::wstring out;
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  for (std::size_t i = 0; i < size;) {
    const unsigned char lead = p[i];
    if (lead < 0x80) {
      out += static_cast<wchar_t>(lead);
      ++i;
      continue;
    }
    std::size_t length;
    std::uint32_t point;
    std::uint32_t least;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, point = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, point = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, point = lead & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (size - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      point = (point << 6) | (p[i + k] & 0x3F);
    }
    if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
    AppendUnit(out, point);
    i += length;
  }
  text = std::move(out);
  return true;
}

std::wstring DecodeLoose(std::string_view bytes) {
  std::wstring text;
  if (DecodeUtf8(bytes, text)) return text;
  if (DecodeCodePage(FallbackCodePage(), bytes, text)) return text;
  text.clear();
  for (const char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return text;
}

std::string EncodeUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t point = static_cast<std::uint16_t>(text[i]);
    if (point >= 0xD800 && point <= 0xDBFF && i + 1 < text.size()) {
      const std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (point >= 0xD800 && point <= 0xDFFF) point = 0xFFFD;  // a lone surrogate has no UTF-8 form
    if (point < 0x80) {
      out += static_cast<char>(point);
    } else if (point < 0x800) {
      out += static_cast<char>(0xC0 | (point >> 6));
      out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      out += static_cast<char>(0xE0 | (point >> 12));
      out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (point >> 18));
      out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (point & 0x3F));
    }
  }
  return out;
}

Encoding SniffEncoding(std::string_view bytes, std::size_t& bomLength) {
  bomLength = 0;
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
    bomLength = 3;
    return Encoding::Utf8;
  }
  if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
    bomLength = 2;
    return Encoding::Utf16Le;
  }
  if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
    bomLength = 2;
    return Encoding::Utf16Be;
  }
  // Text of the formats we read starts with ASCII, so UTF-16 shows as zero
  // bytes in every other place of the first characters.
  const std::size_t sample = std::min<std::size_t>(bytes.size() & ~std::size_t{1}, 64);
  if (sample < 2) return Encoding::Unknown;
  std::size_t evenZeros = 0, oddZeros = 0;
  for (std::size_t i = 0; i < sample; i += 2) {
    evenZeros += at(i) == 0;
    oddZeros += at(i + 1) == 0;
  }
  const std::size_t pairs = sample / 2;
  if (oddZeros * 4 >= pairs * 3 && evenZeros * 4 < pairs) return Encoding::Utf16Le;
  if (evenZeros * 4 >= pairs * 3 && oddZeros * 4 < pairs) return Encoding::Utf16Be;
  return Encoding::Unknown;
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned a = static_cast<unsigned char>(bytes[i]);
    const unsigned b = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<wchar_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  return text;
}

}  // namespace text
