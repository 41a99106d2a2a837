#include "model/reach.h"

#include <cstdint>

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Where an extension starts in a number as people type it: ";ext=12",
// "ext. 12", "x12", "#12"; npos when it has none.
std::size_t ExtensionStart(const std::wstring& number) {
  bool digitSeen = false;
  for (std::size_t i = 0; i < number.size(); ++i) {
    const wchar_t c = Lower(number[i]);
    if (IsDigit(c)) digitSeen = true;
    if (!digitSeen) continue;
    if (c == L'x' || c == L'#' || (c == L';' && i + 1 < number.size() && Lower(number[i + 1]) == L'e') ||
        (c == L'e' && i + 2 < number.size() && Lower(number[i + 1]) == L'x' && Lower(number[i + 2]) == L't'))
      return i;
  }
  return std::wstring::npos;
}

std::wstring Digits(const std::wstring& text) {
  std::wstring digits;
  for (wchar_t c : text)
    if (IsDigit(c)) digits += c;
  return digits;
}

void AppendEscaped(std::wstring& out, std::uint32_t code) {
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  unsigned char bytes[4];
  int count = 0;
  if (code < 0x80) {
    bytes[count++] = static_cast<unsigned char>(code);
  } else if (code < 0x800) {
    bytes[count++] = static_cast<unsigned char>(0xC0 | (code >> 6));
    bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    bytes[count++] = static_cast<unsigned char>(0xE0 | (code >> 12));
    bytes[count++] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
    bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
  } else {
    bytes[count++] = static_cast<unsigned char>(0xF0 | (code >> 18));
    bytes[count++] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
    bytes[count++] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
    bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
  }
  for (int i = 0; i < count; ++i) {
    out += L'%';
    out += kHex[bytes[i] >> 4];
    out += kHex[bytes[i] & 0xF];
  }
}

// What an address may hold in a mailto: link as it stands (RFC 6068); the
// rest is percent-escaped as UTF-8.
bool StaysInMailto(wchar_t c) {
  if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || IsDigit(c)) return true;
  for (const wchar_t* safe = L"@.-_+!$&'*=^`{|}~"; *safe; ++safe)
    if (c == *safe) return true;
  return false;
}

}  // namespace

std::wstring PhoneDigits(const std::wstring& number) {
  std::wstring digits;
  for (wchar_t c : number) {
    if (IsDigit(c)) {
      digits += c;
    } else if (c == L'+' && digits.empty()) {
      digits = L"+";
    }
  }
  return digits;
}

bool IsValidEmailAddress(const std::wstring& address) {
  const std::size_t at = address.find(L'@');
  if (at == std::wstring::npos || at == 0 || address.find(L'@', at + 1) != std::wstring::npos) return false;
  for (wchar_t c : address)
    if (c <= L' ' || c == 0x7F) return false;
  const std::wstring domain = address.substr(at + 1);
  const std::size_t dot = domain.find(L'.');
  return dot != std::wstring::npos && dot > 0 && domain.back() != L'.' && domain.find(L"..") == std::wstring::npos;
}

std::wstring TelUri(const std::wstring& number) {
  const std::size_t ext = ExtensionStart(number);
  std::wstring uri = L"tel:" + PhoneDigits(number.substr(0, ext));
  if (ext != std::wstring::npos) {
    const std::wstring extension = Digits(number.substr(ext));
    if (!extension.empty()) uri += L";ext=" + extension;
  }
  return uri;
}

std::wstring MailtoUri(const std::wstring& address) {
  std::wstring uri = L"mailto:";
  for (std::size_t i = 0; i < address.size(); ++i) {
    const wchar_t c = address[i];
    if (StaysInMailto(c)) {
      uri += c;
      continue;
    }
    std::uint32_t code = static_cast<std::uint32_t>(c);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < address.size() && address[i + 1] >= 0xDC00 && address[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<std::uint32_t>(address[i + 1]) - 0xDC00);
      ++i;
    }
    AppendEscaped(uri, code);
  }
  return uri;
}

std::wstring TelUriWithSeparators(const std::wstring& number) {
  const std::size_t ext = ExtensionStart(number);
  std::wstring uri = L"tel:";
  for (const wchar_t c : number.substr(0, ext)) {
    const bool kept = IsDigit(c) || c == L'+' || c == L'(' || c == L')' || c == L'.' || c == L'*' || c == L'#';
    if (kept)
      uri += c;
    else if ((c == L' ' || c == L'-') && uri.size() > 4 && uri.back() != L'-')
      uri += L'-';
  }
  while (uri.size() > 4 && uri.back() == L'-') uri.pop_back();
  if (ext != std::wstring::npos) {
    const std::wstring extension = Digits(number.substr(ext));
    if (!extension.empty()) uri += L";ext=" + extension;
  }
  return uri;
}
