#pragma once
// Phone numbers and e-mail addresses as the program compares, finds, checks
// and opens them.
#include <string>

// The digits of a number with its leading + ("+49 170 1234567" gives
// "+491701234567"); what comparison and finding use.
std::wstring PhoneDigits(const std::wstring& number);
// Whether the text looks like one e-mail address: one @, something before it,
// a domain with a dot after it, no spaces or control characters.
bool IsValidEmailAddress(const std::wstring& address);
// "tel:+491701234567" (the digits, the leading + and an extension kept);
// "mailto:anna@example.org" (characters outside the address's set escaped).
std::wstring TelUri(const std::wstring& number);
std::wstring MailtoUri(const std::wstring& address);
// The tel: form a card carries, visual separators kept (spaces as "-"):
// "+49 170 1234567 ext. 5" gives "tel:+49-170-1234567;ext=5".
std::wstring TelUriWithSeparators(const std::wstring& number);
