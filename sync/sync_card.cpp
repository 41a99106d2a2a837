#include "sync/sync_card.h"

#include <algorithm>
#include <cwctype>

#include "interchange/iso_time.h"
#include "interchange/person_fields.h"
#include "model/text_cut.h"
#include "model/text_decoding.h"

namespace cardsync {

namespace {

constexpr std::size_t kFoldAt = 75;
constexpr std::size_t kMaxKeptLines = 10000;

std::vector<std::string> Unfolded(std::string_view data) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < data.size()) {
    std::size_t end = data.find('\n', at);
    if (end == std::string_view::npos) end = data.size();
    std::string_view line = data.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end + 1;
    if (!line.empty() && (line.front() == ' ' || line.front() == '\t') && !lines.empty())
      lines.back().append(line.substr(1));
    else if (!line.empty())
      lines.emplace_back(line);
  }
  return lines;
}

// The value's text with vCard's backslash escapes undone.
std::wstring Unescaped(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size()) {
      const wchar_t next = text[++i];
      out += next == L'n' || next == L'N' ? L'\n' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Splits at separators that are not escaped, undoing the escapes of each part.
std::vector<std::wstring> Split(std::wstring_view text, wchar_t separator, std::size_t most) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\') {
      ++i;
    } else if (text[i] == separator && parts.size() + 1 < most) {
      parts.push_back(Unescaped(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  parts.push_back(Unescaped(text.substr(start)));
  return parts;
}

std::wstring Escaped(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\\' || c == L',' || c == L';') {
      out += L'\\';
      out += c;
    } else if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out += L"\\n";
    } else {
      out += c;
    }
  }
  return out;
}

void AppendLine(std::string& out, std::string_view line) {
  std::size_t width = kFoldAt;
  while (line.size() > width) {
    std::size_t cut = width;
    while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    width = kFoldAt - 1;
  }
  out.append(line);
  out += "\r\n";
}

void Property(std::string& out, const char* name, std::wstring_view value) {
  AppendLine(out, std::string(name) + ":" + text::EncodeUtf8(value));
}

Time ParseTime(const std::wstring& text) {
  const std::optional<Time> time = interchange::ParseIsoTime(interchange::Trim(text));
  return time ? *time : 0;
}

}  // namespace

std::wstring IntervalText(IntervalUnit unit, std::int32_t count) {
  return std::to_wstring(count) + L" " + interchange::UnitWord(unit);
}

bool ParseInterval(std::wstring_view text, IntervalUnit& unit, std::int32_t& count) {
  // Our own export writes "4;weeks": taken too.
  const std::size_t gap = text.find_first_of(L" ;");
  if (gap == std::wstring_view::npos) return false;
  const std::optional<std::int32_t> number = interchange::ParseInt(text.substr(0, gap));
  const std::optional<IntervalUnit> word = interchange::UnitFromWord(interchange::Trim(text.substr(gap + 1)));
  if (!number || !word || *number < 0) return false;
  unit = *word;
  count = *number;
  return true;
}

std::wstring PhoneDigits(std::wstring_view number) {
  std::wstring digits;
  for (const wchar_t c : number)
    if ((c >= L'0' && c <= L'9') || (c == L'+' && digits.empty())) digits += c;
  return digits;
}

bool ParseCard(std::string_view data, CardFields& card, std::wstring& why) {
  card = CardFields{};
  if (data.size() > kMaxCardBytes) {
    why = L"The card is larger than 16 MB.";
    return false;
  }
  int depth = 0;
  int cards = 0;
  for (std::string& line : Unfolded(data)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    // The name without an "item1." group and parameters.
    std::string_view head(line.data(), colon);
    const std::size_t semicolon = head.find(';');
    std::string_view name = head.substr(0, semicolon);
    const std::size_t dot = name.find('.');
    if (dot != std::string_view::npos) name.remove_prefix(dot + 1);
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::wstring value = text::DecodeLoose(std::string_view(line).substr(colon + 1));
    if (upper == "BEGIN") {
      if (depth++ == 0) ++cards;
      continue;
    }
    if (upper == "END") {
      --depth;
      continue;
    }
    if (depth != 1) continue;
    if (upper == "VERSION" || upper == "PRODID" || upper == "REV") continue;
    if (upper == "UID") {
      card.uid = interchange::Trim(value);
    } else if (upper == "FN") {
      card.name = interchange::Trim(Unescaped(value));
    } else if (upper == "N") {
      card.nameLine = line;
    } else if (upper == "NOTE" && card.notes.empty()) {
      card.notes = Unescaped(value);
    } else if (upper == "CATEGORIES") {
      for (std::wstring& category : Split(value, L',', 64)) {
        category = interchange::Trim(category);
        if (category.empty()) continue;
        if (card.group.empty())
          card.group = std::move(category);
        else
          card.otherCategories.push_back(std::move(category));
      }
    } else if (upper == "X-AMICORD-INTERVAL") {
      card.hasInterval = ParseInterval(interchange::Trim(value), card.unit, card.count);
    } else if (upper == "X-AMICORD-LAST-CONTACTED") {
      card.lastContacted = ParseTime(value);
    } else if (upper == "X-AMICORD-SNOOZED-UNTIL") {
      card.snoozedUntil = ParseTime(value);
    } else if (upper == "X-AMICORD-LOG") {
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
    } else if (card.kept.size() < kMaxKeptLines) {
      if (upper == "EMAIL") card.emails.push_back(interchange::Trim(value));
      if (upper == "TEL") card.phoneDigits.push_back(PhoneDigits(value));
      card.kept.push_back(std::move(line));
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
  if (card.name.empty()) {
    why = L"The card has no name.";
    return false;
  }
  std::stable_sort(card.log.begin(), card.log.end(),
                   [](const JournalEntry& a, const JournalEntry& b) { return a.time > b.time; });
  return true;
}

std::string WriteCard(const CardFields& card, bool version4) {
  std::string out = version4 ? "BEGIN:VCARD\r\nVERSION:4.0\r\n" : "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  out += "PRODID:-//Amicord//Amicord//EN\r\n";
  Property(out, "UID", card.uid);
  Property(out, "FN", Escaped(card.name));
  if (!card.nameLine.empty()) {
    AppendLine(out, card.nameLine);
  } else {
    const std::size_t space = card.name.find_last_of(L' ');
    const std::wstring given = space == std::wstring::npos ? card.name : card.name.substr(0, space);
    const std::wstring family = space == std::wstring::npos ? std::wstring() : card.name.substr(space + 1);
    Property(out, "N", Escaped(family) + L";" + Escaped(given) + L";;;");
  }
  if (!card.notes.empty()) Property(out, "NOTE", Escaped(card.notes));
  if (!card.group.empty()) {
    std::wstring categories = Escaped(card.group);
    for (const std::wstring& other : card.otherCategories) categories += L"," + Escaped(other);
    Property(out, "CATEGORIES", categories);
  }
  for (const std::string& line : card.kept) AppendLine(out, line);
  if (card.hasInterval) Property(out, "X-AMICORD-INTERVAL", IntervalText(card.unit, card.count));
  if (card.lastContacted != 0)
    Property(out, "X-AMICORD-LAST-CONTACTED", interchange::FormatUtcBasic(card.lastContacted));
  if (card.snoozedUntil != 0) Property(out, "X-AMICORD-SNOOZED-UNTIL", interchange::FormatUtcBasic(card.snoozedUntil));
  const std::size_t lines = std::min(card.log.size(), kMaxLogLines);
  for (std::size_t i = 0; i < lines; ++i)
    Property(out, "X-AMICORD-LOG", interchange::FormatUtcBasic(card.log[i].time) + L";" + Escaped(card.log[i].text));
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
         a.snoozedUntil == b.snoozedUntil && sameLog(a.log, b.log);
}

}  // namespace cardsync
