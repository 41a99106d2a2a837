#pragma once
// A card as the sync sees it: the fields it merges, and every other line of
// the card kept as it stands, so that what a phone put there (numbers,
// addresses, pictures) goes back to the server unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/contact.h"
#include "model/journal.h"

namespace cardsync {

inline constexpr std::size_t kMaxLogLines = 200;
inline constexpr std::size_t kMaxCardBytes = 16u << 20;

struct CardFields {
  std::wstring uid;
  std::wstring name;
  std::wstring notes;  // plain text
  std::wstring group;  // the first CATEGORIES value
  bool hasInterval = false;
  IntervalUnit unit = Weeks;
  std::int32_t count = 0;
  Time lastContacted = 0;  // 0: never
  Time snoozedUntil = 0;
  std::vector<JournalEntry> log;  // newest first
  // What the sync leaves alone: the structured name line as the other device
  // wrote it, the further categories, and all other lines (unfolded).
  std::string nameLine;
  std::vector<std::wstring> otherCategories;
  std::vector<std::string> kept;
  // E-mail addresses and phone numbers' digits, for the first sync's matching.
  std::vector<std::wstring> emails;
  std::vector<std::wstring> phoneDigits;
};

// False, with why, when the data is no single card we can read.
bool ParseCard(std::string_view data, CardFields& card, std::wstring& why);
// The card in vCard 4.0 or 3.0, lines folded at 75 bytes, CR LF.
std::string WriteCard(const CardFields& card, bool version4);

// The fields both sides edit compare equal (kept lines aside).
bool SameFields(const CardFields& a, const CardFields& b);

// "<count> <days|weeks|months>" and back.
std::wstring IntervalText(IntervalUnit unit, std::int32_t count);
bool ParseInterval(std::wstring_view text, IntervalUnit& unit, std::int32_t& count);

// The digits of a phone number and its leading +.
std::wstring PhoneDigits(std::wstring_view number);

}  // namespace cardsync
