#pragma once
// Bytes of the files we read, turned into text. UTF-8 and UTF-16 are handled
// here; other code pages go through the system (MultiByteToWideChar on
// Windows, glibc's iconv elsewhere). One wchar_t is one UTF-16 unit everywhere.
#include <string>
#include <string_view>

namespace text {

inline constexpr unsigned kUtf8CodePage = 65001;

// The code page of a charset name as files spell it ("ISO-8859-1",
// "windows-1252", "Shift_JIS", "cp1251", ...); 0 when unknown.
unsigned CodePageOf(std::string_view charset);

// The code page used for bytes that are not UTF-8 and name no charset: the
// system's ANSI code page on Windows, windows-1252 elsewhere.
unsigned FallbackCodePage();

// Decodes bytes of a code page; false when the system cannot.
bool DecodeCodePage(unsigned codePage, std::string_view bytes, std::wstring& text);

// Strict UTF-8: false on any malformed sequence.
bool DecodeUtf8(std::string_view bytes, std::wstring& text);
// UTF-8 when valid, otherwise the fallback code page, otherwise Latin-1.
std::wstring DecodeLoose(std::string_view bytes);
std::string EncodeUtf8(std::wstring_view text);

enum class Encoding { Utf8, Utf16Le, Utf16Be, Unknown };
// The encoding a whole file announces by its byte-order mark or, without one,
// by zero bytes in every other position; bomLength is what to skip.
Encoding SniffEncoding(std::string_view bytes, std::size_t& bomLength);
// UTF-16 bytes (no byte-order mark) as text; an odd last byte is dropped.
std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian);

}  // namespace text
