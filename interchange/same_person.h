#pragma once
// When someone from elsewhere is a person already here: the same name
// (letter case aside), e-mail address (letter case aside) or phone number's
// digits. The import marks such people as duplicates; the first sync links
// them with the card instead of adding them twice.
#include <string>
#include <vector>

#include "model/contact_details.h"
#include "model/platform.h"

namespace interchange {

struct NoCaseLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const { return platform::CompareNoCase(a, b) < 0; }
};

// The ways a person is recognised besides their name: "@anna@example.org",
// "#+491701234567". Numbers of fewer than five digits say too little.
void ReachKeys(const ContactDetails& details, std::vector<std::wstring>& keys);

}  // namespace interchange
