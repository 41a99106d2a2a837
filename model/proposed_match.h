#pragma once
// A card on the address book server that the first sync would link with a
// contact already here instead of adding the person twice: what the import
// preview lists for the user to confirm before the sync links them.
#include <cstdint>
#include <string>

struct ProposedMatch {
  std::int32_t contactId = 0;
  std::wstring contactName;
  std::wstring cardName;
  std::wstring href;  // the card's absolute address on the server
  std::wstring uid;
  std::wstring by;  // "e-mail", "phone" or "name": what they share
};
