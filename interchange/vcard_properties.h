#pragma once
// What the vCard export and the address book sync write alike: escaped and
// folded lines, and a contact's phones, e-mail addresses, dates and kept
// lines as properties, so both give the same card for the same details.
#include <string>
#include <string_view>
#include <vector>

#include "model/contact_details.h"

namespace interchange {

// Backslash escapes for "\", ",", ";" and line breaks.
std::wstring VCardEscaped(std::wstring_view text);
// Splits at unescaped separators (none when separator is 0), then resolves
// the escapes of each part; a backslash before a letter or digit is text (a
// Windows path).
std::vector<std::wstring> VCardComponents(std::wstring_view text, wchar_t separator);

// The line, folded at 75 bytes without splitting a UTF-8 sequence, and CR LF.
void AppendVCardLine(std::string& out, std::string_view line);
void AppendVCardProperty(std::string& out, std::string_view name, std::wstring_view value);

// TEL, EMAIL, BDAY, ANNIVERSARY and labelled X-ABDATE lines. Version 3.0
// has no tel: values, no ANNIVERSARY and no dates without a year: there the
// number stands as typed, the anniversary is X-ANNIVERSARY and a date without
// a year carries the year 1604 with X-APPLE-OMIT-YEAR, as phones read it.
void AppendVCardDetails(std::string& out, const ContactDetails& details, bool version4);
// The kept vCard lines as they came in (kept CSV cells have no place in a card).
void AppendVCardKept(std::string& out, const ContactDetails& details);

}  // namespace interchange
