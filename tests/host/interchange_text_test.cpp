// Turning the bytes of foreign files into text: code pages through the system,
// UTF-8 and UTF-16 by hand, base64 through Boost.
#include <gtest/gtest.h>

#include <string>

#include "interchange/base64.h"
#include "interchange/text_decoding.h"

namespace interchange {
namespace {

TEST(TextDecoding, CharsetNamesReachTheSystemsCodePages) {
  struct Case {
    const char* charset;
    std::string bytes;
    std::wstring text;
  };
  const Case cases[] = {
      {"ISO-8859-1", "Jos\xE9", L"Jos\u00E9"},
      {"iso-8859-2",
       "\xA3\xF3"
       "d\xBC",
       L"\u0141\u00F3d\u017A"},
      {"ISO_8859-15", "5 \xA4", L"5 \u20AC"},
      {"windows-1250",
       "\xA3\xF3"
       "d\x9F",
       L"\u0141\u00F3d\u017A"},
      {"CP1252", "\x80 \x93x\x94", L"\u20AC \u201Cx\u201D"},
      {"KOI8-R", "\xE9\xD7\xC1\xCE", L"\u0418\u0432\u0430\u043D"},
      {"Shift_JIS", "\x93\xFA\x96\x7B", L"\u65E5\u672C"},
      {"GB2312", "\xD6\xD0\xCE\xC4", L"\u4E2D\u6587"},
      {"Big5", "\xA4\xA4\xA4\xE5", L"\u4E2D\u6587"},
      {"EUC-KR", "\xC7\xD1\xB1\xB9", L"\uD55C\uAD6D"},
      {"utf-8", "\xE2\x82\xAC", L"\u20AC"},
  };
  for (const Case& c : cases) {
    std::wstring text;
    const unsigned codePage = CodePageOf(c.charset);
    ASSERT_NE(codePage, 0u) << c.charset;
    EXPECT_TRUE(DecodeCodePage(codePage, c.bytes, text)) << c.charset;
    EXPECT_EQ(text, c.text) << c.charset;
  }
  EXPECT_EQ(CodePageOf("no-such-charset"), 0u);
  EXPECT_EQ(CodePageOf("iso-8859-99"), 0u);
}

TEST(TextDecoding, StrictUtf8AndTheWholeFilesEncoding) {
  std::wstring text;
  EXPECT_TRUE(DecodeUtf8("a\xC3\xA4\xF0\x9F\x98\x80", text));
  EXPECT_EQ(text, L"a\u00E4\xD83D\xDE00");
  EXPECT_EQ(EncodeUtf8(text), "a\xC3\xA4\xF0\x9F\x98\x80");
  for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80", "\xFF"})
    EXPECT_FALSE(DecodeUtf8(bad, text)) << bad;
  EXPECT_EQ(EncodeUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");  // a lone surrogate

  std::size_t bom = 0;
  EXPECT_EQ(SniffEncoding("\xEF\xBB\xBF"
                          "BEGIN",
                          bom),
            Encoding::Utf8);
  EXPECT_EQ(bom, 3u);
  EXPECT_EQ(SniffEncoding(std::string("B\0E\0G\0I\0N\0", 10), bom), Encoding::Utf16Le);
  EXPECT_EQ(bom, 0u);
  EXPECT_EQ(SniffEncoding(std::string("\0B\0E\0G\0I\0N", 10), bom), Encoding::Utf16Be);
  EXPECT_EQ(SniffEncoding("BEGIN:VCARD", bom), Encoding::Unknown);
  EXPECT_EQ(SniffEncoding(std::string(64, '\0'), bom), Encoding::Unknown);  // zeros everywhere say nothing
  EXPECT_EQ(DecodeUtf16(std::string("\x3D\xD8\x00\xDE"
                                    "A",
                                    5),
                        false),
            L"\xD83D\xDE00");
}

TEST(Base64, ToleratesWhatFilesPutInsideAndBoundsTheResult) {
  const std::string bytes(
      "\x00\xFF\x10"
      "abcde",
      8);
  const std::string encoded = EncodeBase64(bytes);
  EXPECT_EQ(encoded, "AP8QYWJjZGU=");
  std::string decoded;
  EXPECT_TRUE(DecodeBase64(" AP8Q\r\n YWJj\tZGU=\r\n", 100, decoded));
  EXPECT_EQ(decoded, bytes);
  EXPECT_TRUE(DecodeBase64("AP8QYWJjZGU", 100, decoded));  // padding left out
  EXPECT_EQ(decoded, bytes);
  EXPECT_TRUE(DecodeBase64("AP8QYWJjZGUxY", 100, decoded));  // six bits alone make no byte
  EXPECT_EQ(decoded.size(), 9u);
  EXPECT_FALSE(DecodeBase64(encoded, 7, decoded));
  EXPECT_TRUE(decoded.empty());
  for (std::size_t size = 0; size < 7; ++size) {
    EXPECT_TRUE(DecodeBase64(EncodeBase64(bytes.substr(0, size)), 100, decoded));
    EXPECT_EQ(decoded, bytes.substr(0, size));
  }
}

}  // namespace
}  // namespace interchange
