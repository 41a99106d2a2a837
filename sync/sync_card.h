#pragma once
// A card as the sync sees it: the fields it merges, read and written through
// the vCard import's and export's mapping of details, and every other line of
// the card kept as it stands, so that what a phone put there (addresses,
// pictures, links) goes back to the server unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/contact.h"
#include "model/contact_details.h"
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
  // Phones, e-mail addresses and dates as the contact's details hold them,
  // and every other line of the card kept as it stood (unfolded).
  ContactDetails details;
  // What the sync leaves alone: the structured name line and the picture as
  // the other device wrote them, and the further categories.
  std::string nameLine;
  std::string photoLine;
  std::vector<std::wstring> otherCategories;
  // The picture the card carries (at most 8 MB) and its type ("png", ...);
  // why it could not be taken when the card has one that is not taken.
  std::string picture;
  std::string pictureType;
  std::wstring pictureProblem;
};

// False, with why, when the data is no single card we can read.
bool ParseCard(std::string_view data, CardFields& card, std::wstring& why);
// The card in vCard 4.0 or 3.0, lines folded at 75 bytes, CR LF.
std::string WriteCard(const CardFields& card, bool version4);

// The fields both sides edit and the card's kept lines compare equal.
bool SameFields(const CardFields& a, const CardFields& b);

// The PHOTO line of a picture file's bytes of the given type ("png", ...).
std::string PhotoLine(const std::string& bytes, const std::string& type, bool version4);

// The kept lines a card carries: the vCard ones (a CSV's cells have no place there).
std::vector<KeptProperty> CardKept(const ContactDetails& details);

}  // namespace cardsync
