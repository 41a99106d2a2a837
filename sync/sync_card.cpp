#include "sync/sync_card.h"

#include <algorithm>
#include <cctype>

#include "interchange/base64.h"
#include "interchange/iso_time.h"
#include "interchange/person_fields.h"
#include "interchange/vcard_lines.h"
#include "interchange/vcard_properties.h"
#include "interchange/vcard_reader.h"
#include "model/text_cut.h"
#include "model/text_decoding.h"

namespace cardsync {

namespace {

using interchange::AppendVCardLine;
using interchange::AppendVCardProperty;
using interchange::VCardEscaped;

std::wstring Unescaped(std::wstring_view text) { return interchange::VCardComponents(text, 0).front(); }

Time ParseTime(const std::wstring& text) {
  const std::optional<Time> time = interchange::ParseIsoTime(interchange::Trim(text));
  return time ? *time : 0;
}

// The property name of a kept line, upper case and without its "item1." group.
std::string KeptName(const std::wstring& line) {
  std::string name;
  for (const wchar_t c : line) {
    if (c == L':' || c == L';') break;
    if (c == L'.') {
      name.clear();
      continue;
    }
    name += static_cast<char>(std::toupper(static_cast<unsigned char>(c < 0x80 ? c : L'?')));
  }
  return name;
}

// What only the sync reads: the card count, the UID, the lines it writes
// back as they stood, the categories after the first and our journal.
bool TakeSyncLines(std::string_view data, CardFields& card, std::wstring& why) {
  interchange::VCardLines lines(data);
  interchange::ContentLine line;
  bool tooLong = false;
  int depth = 0;
  int cards = 0;
  while (lines.Next(line, tooLong)) {
    if (tooLong) continue;
    // As the vCard reader counts cards: other BEGIN and END lines are kept ones.
    std::string_view kind = line.value;
    while (!kind.empty() && (kind.back() == ' ' || kind.back() == '\t')) kind.remove_suffix(1);
    while (!kind.empty() && (kind.front() == ' ' || kind.front() == '\t')) kind.remove_prefix(1);
    const bool isCard = interchange::EqualsNoCase(kind, "VCARD");
    if (line.name == "BEGIN" && isCard) {
      if (depth++ == 0) ++cards;
      continue;
    }
    if (line.name == "END" && isCard) {
      --depth;
      continue;
    }
    if (depth != 1) continue;
    const std::wstring value = text::DecodeLoose(line.value);
    if (line.name == "UID") {
      card.uid = interchange::Trim(value);
    } else if (line.name == "N") {
      card.nameLine = line.raw;
    } else if (line.name == "PHOTO" && card.photoLine.empty()) {
      card.photoLine = line.raw;
    } else if (line.name == "CATEGORIES") {
      for (std::wstring& category : interchange::VCardComponents(value, L',')) {
        category = interchange::Trim(category);
        if (category.empty() || card.otherCategories.size() >= 64) continue;
        if (card.group.empty())
          card.group = std::move(category);
        else
          card.otherCategories.push_back(std::move(category));
      }
    } else if (line.name == "X-AMICORD-SNOOZED-UNTIL") {
      card.snoozedUntil = ParseTime(value);
    } else if (line.name == "X-AMICORD-LOG") {
      // Servers that treat the value as one text escape our separator: "\;" separates too.
      const std::size_t separator = value.find(L';');
      std::wstring timeText = value.substr(0, separator);
      if (!timeText.empty() && timeText.back() == L'\\') timeText.pop_back();
      const Time time = ParseTime(timeText);
      const std::wstring entryText = separator == std::wstring::npos
                                         ? std::wstring()
                                         : Unescaped(std::wstring_view(value).substr(separator + 1));
      if (time != 0 && card.log.size() < kMaxLogLines)
        card.log.push_back({time, text::CutText(entryText, Journal::kMaxTextLength)});
    }
  }
  if (cards != 1) {
    why = cards == 0 ? L"The server's answer holds no card." : L"The server's answer holds more than one card.";
    return false;
  }
  if (card.uid.empty()) {
    why = L"The card has no UID.";
    return false;
  }
  return true;
}

}  // namespace

std::string PhotoLine(const std::string& bytes, const std::string& type, bool version4) {
  std::string upper = type == "jpg" ? "JPEG" : type;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (version4) return "PHOTO:data:" + interchange::MediaType(type) + ";base64," + interchange::EncodeBase64(bytes);
  return "PHOTO;ENCODING=b;TYPE=" + upper + ":" + interchange::EncodeBase64(bytes);
}

std::vector<KeptProperty> CardKept(const ContactDetails& details) {
  std::vector<KeptProperty> kept;
  for (const KeptProperty& property : details.kept)
    if (property.column.empty()) kept.push_back(property);
  return kept;
}

bool ParseCard(std::string_view data, CardFields& card, std::wstring& why) {
  card = CardFields{};
  if (data.size() > kMaxCardBytes) {
    why = L"The card is larger than 16 MB.";
    return false;
  }
  if (!TakeSyncLines(data, card, why)) return false;
  interchange::ReadResult read = interchange::ReadVCards(data, L"");
  if (read.people.size() != 1) {
    why = L"The card has no name.";
    return false;
  }
  interchange::Person& person = read.people.front();
  card.name = std::move(person.name);
  card.notes = std::move(person.notes);
  card.hasInterval = person.unit && person.count;
  if (card.hasInterval) {
    card.unit = *person.unit;
    card.count = *person.count;
  }
  card.lastContacted = person.lastContacted.value_or(0);
  card.details = std::move(person.details);
  // The sync writes its own UID and PRODID.
  auto& kept = card.details.kept;
  kept.erase(std::remove_if(kept.begin(), kept.end(),
                            [](const KeptProperty& property) {
                              const std::string name = KeptName(property.text);
                              return name == "UID" || name == "PRODID";
                            }),
             kept.end());
  card.picture = std::move(person.picture);
  card.pictureType = std::move(person.pictureType);
  for (const interchange::Problem& problem : read.problems)
    if (problem.why.find(L"picture") != std::wstring::npos) card.pictureProblem = problem.why;
  std::stable_sort(card.log.begin(), card.log.end(),
                   [](const JournalEntry& a, const JournalEntry& b) { return a.time > b.time; });
  return true;
}

std::string WriteCard(const CardFields& card, bool version4) {
  std::string out = version4 ? "BEGIN:VCARD\r\nVERSION:4.0\r\n" : "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  out += "PRODID:-//Amicord//Amicord//EN\r\n";
  AppendVCardProperty(out, "UID", card.uid);
  AppendVCardProperty(out, "FN", VCardEscaped(card.name));
  if (!card.nameLine.empty()) {
    AppendVCardLine(out, card.nameLine);
  } else {
    const std::size_t space = card.name.find_last_of(L' ');
    const std::wstring given = space == std::wstring::npos ? card.name : card.name.substr(0, space);
    const std::wstring family = space == std::wstring::npos ? std::wstring() : card.name.substr(space + 1);
    AppendVCardProperty(out, "N", VCardEscaped(family) + L";" + VCardEscaped(given) + L";;;");
  }
  if (!card.notes.empty()) AppendVCardProperty(out, "NOTE", VCardEscaped(card.notes));
  if (!card.group.empty()) {
    std::wstring categories = VCardEscaped(card.group);
    for (const std::wstring& other : card.otherCategories) categories += L"," + VCardEscaped(other);
    AppendVCardProperty(out, "CATEGORIES", categories);
  }
  interchange::AppendVCardDetails(out, card.details, version4);
  if (!card.photoLine.empty()) AppendVCardLine(out, card.photoLine);
  interchange::AppendVCardKept(out, card.details);
  if (card.hasInterval)
    AppendVCardProperty(out, "X-AMICORD-INTERVAL", interchange::IntervalText(card.unit, card.count));
  if (card.lastContacted != 0)
    AppendVCardProperty(out, "X-AMICORD-LAST-CONTACTED", interchange::FormatUtcBasic(card.lastContacted));
  if (card.snoozedUntil != 0)
    AppendVCardProperty(out, "X-AMICORD-SNOOZED-UNTIL", interchange::FormatUtcBasic(card.snoozedUntil));
  const std::size_t lines = std::min(card.log.size(), kMaxLogLines);
  for (std::size_t i = 0; i < lines; ++i)
    AppendVCardProperty(out, "X-AMICORD-LOG",
                        interchange::FormatUtcBasic(card.log[i].time) + L";" + VCardEscaped(card.log[i].text));
  out += "END:VCARD\r\n";
  return out;
}

bool SameFields(const CardFields& a, const CardFields& b) {
  const auto sameLog = [](const std::vector<JournalEntry>& x, const std::vector<JournalEntry>& y) {
    const std::size_t n = std::min(x.size(), kMaxLogLines);
    if (n != std::min(y.size(), kMaxLogLines)) return false;
    for (std::size_t i = 0; i < n; ++i)
      if (x[i].time != y[i].time || x[i].text != y[i].text) return false;
    return true;
  };
  return a.name == b.name && a.notes == b.notes && a.group == b.group && a.hasInterval == b.hasInterval &&
         (!a.hasInterval || (a.unit == b.unit && a.count == b.count)) && a.lastContacted == b.lastContacted &&
         a.snoozedUntil == b.snoozedUntil && sameLog(a.log, b.log) && a.details.phones == b.details.phones &&
         a.details.emails == b.details.emails && a.details.dates == b.details.dates &&
         CardKept(a.details) == CardKept(b.details);
}

}  // namespace cardsync
