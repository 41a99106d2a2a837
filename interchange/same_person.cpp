#include "interchange/same_person.h"

#include "model/reach.h"

namespace interchange {

namespace {

std::wstring AddressKey(const std::wstring& address) {
  std::wstring key = address;
  for (wchar_t& c : key)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
  return key;
}

}  // namespace

void ReachKeys(const ContactDetails& details, std::vector<std::wstring>& keys) {
  keys.clear();
  for (const EmailAddress& email : details.emails)
    if (!email.address.empty()) keys.push_back(L"@" + AddressKey(email.address));
  for (const Phone& phone : details.phones) {
    const std::wstring digits = PhoneDigits(phone.number);
    if (digits.size() - (digits.rfind(L'+', 0) == 0 ? 1 : 0) >= 5) keys.push_back(L"#" + digits);
  }
}

}  // namespace interchange
