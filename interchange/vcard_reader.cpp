#include "interchange/vcard_reader.h"

#include <algorithm>
#include <map>
#include <vector>

#include "interchange/base64.h"
#include "interchange/iso_time.h"
#include "interchange/person_details.h"
#include "interchange/person_fields.h"
#include "interchange/text_decoding.h"
#include "interchange/vcard_lines.h"
#include "interchange/vcard_properties.h"

namespace interchange {

namespace {

std::string DecodeQuotedPrintable(std::string_view value) {
  const auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string bytes;
  bytes.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '=' && i + 2 < value.size() && hex(value[i + 1]) >= 0 && hex(value[i + 2]) >= 0) {
      bytes += static_cast<char>(hex(value[i + 1]) * 16 + hex(value[i + 2]));
      i += 2;
    } else {
      bytes += value[i];
    }
  }
  return bytes;
}

// A phone, address or date as the card gave it, before its group's label is known.
template <class Item>
struct Taken {
  Item item;
  std::string group;
  bool preferred = false;
};

// "_$!<Anniversary>!$_" is what one maker writes for its own labels.
std::wstring Unwrapped(const std::wstring& label) {
  if (label.size() > 8 && label.compare(0, 4, L"_$!<") == 0 && label.compare(label.size() - 4, 4, L">!$_") == 0)
    return label.substr(4, label.size() - 8);
  return label;
}

std::wstring LowerAscii(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
  return text;
}

// The number of a tel: address as people read it: visual separators as
// spaces, an extension after " ext. ".
std::wstring NumberOfTelUri(const std::wstring& uri) {
  std::wstring rest = uri.substr(4);
  std::wstring extension;
  const std::size_t semicolon = rest.find(L';');
  if (semicolon != std::wstring::npos) {
    std::wstring parameters = rest.substr(semicolon);
    rest.resize(semicolon);
    const std::size_t ext = LowerAscii(parameters).find(L";ext=");
    if (ext != std::wstring::npos) {
      extension = parameters.substr(ext + 5);
      extension = extension.substr(0, extension.find(L';'));
    }
  }
  for (wchar_t& c : rest)
    if (c == L'-') c = L' ';
  return extension.empty() ? rest : rest + L" ext. " + extension;
}

struct Card {
  std::int64_t line = 0;
  std::vector<Taken<Phone>> phones;
  std::vector<Taken<EmailAddress>> emails;
  std::vector<Taken<ImportantDate>> dates;
  std::map<std::string, std::wstring> groupLabels;         // by upper-case group
  std::vector<std::pair<std::string, std::wstring>> kept;  // upper-case group (of X-ABLABEL lines only), line
  std::wstring formattedName;
  std::vector<std::wstring> structuredName;
  std::vector<std::wstring> notes;
  std::wstring organisation;
  std::wstring firstEmail;
  bool pictureTaken = false;
  Person person;
};

class Reader {
 public:
  Reader(std::string_view text, const std::wstring& fileName, bool charsetKnown)
      : lines_(text), fileName_(fileName), charsetKnown_(charsetKnown) {}

  ReadResult Read() {
    ContentLine line;
    bool tooLong = false;
    std::size_t depth = 0;
    while (lines_.Next(line, tooLong)) {
      if (tooLong) {
        Note(line.line, L"A line longer than 16 MB was left out.");
        continue;
      }
      if (line.name == "BEGIN" && EqualsNoCase(Trimmed(line.value), "VCARD")) {
        if (depth++ == 0) {
          card_ = Card();
          card_.line = line.line;
        }
        continue;
      }
      if (depth == 0) continue;  // stray lines between cards
      if (line.name == "END" && EqualsNoCase(Trimmed(line.value), "VCARD")) {
        if (--depth == 0 && !Finish()) break;
        continue;
      }
      if (depth == 1) Take(line);  // a card nested in another (an agent's) is not ours
    }
    if (depth > 0 && Finish()) Note(card_.line, L"The card has no END:VCARD; it was read to the end of the file.");
    return std::move(result_);
  }

 private:
  static std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
  }

  void Note(std::int64_t line, std::wstring why) { result_.problems.push_back({fileName_, line, std::move(why)}); }

  std::wstring Text(const ContentLine& line) {
    std::string bytes = line.value;
    std::string encoding;
    if ((line.Has("ENCODING", &encoding) && EqualsNoCase(encoding, "QUOTED-PRINTABLE")) ||
        line.HasBare("QUOTED-PRINTABLE"))
      bytes = DecodeQuotedPrintable(bytes);
    std::string charset;
    if (!charsetKnown_ && line.Has("CHARSET", &charset)) {
      const unsigned codePage = CodePageOf(charset);
      std::wstring text;
      if (codePage != 0 && DecodeCodePage(codePage, bytes, text)) return text;
    }
    return DecodeLoose(bytes);
  }

  std::wstring Single(const ContentLine& line) { return Trim(VCardComponents(Text(line), 0).front()); }

  void Take(const ContentLine& line) {
    Person& person = card_.person;
    const std::string& name = line.name;
    if (name == "FN") {
      if (card_.formattedName.empty()) card_.formattedName = Single(line);
    } else if (name == "N") {
      if (card_.structuredName.empty()) card_.structuredName = VCardComponents(Text(line), L';');
    } else if (name == "NOTE") {
      std::wstring note = Trim(VCardComponents(Text(line), 0).front());
      if (!note.empty() && note.size() < kMaxFieldChars) card_.notes.push_back(std::move(note));
    } else if (name == "TEL") {
      std::wstring number = Single(line);
      if (number.size() > 4 && LowerAscii(number.substr(0, 4)) == L"tel:") number = NumberOfTelUri(number);
      if (!number.empty())
        card_.phones.push_back({Phone{TypeLabel(line), std::move(number)}, Group(line), Preferred(line)});
    } else if (name == "EMAIL") {
      std::wstring email = Single(line);
      if (email.size() > 7 && LowerAscii(email.substr(0, 7)) == L"mailto:") email.erase(0, 7);
      if (card_.firstEmail.empty()) card_.firstEmail = email;
      if (!email.empty())
        card_.emails.push_back({EmailAddress{TypeLabel(line), std::move(email)}, Group(line), Preferred(line)});
    } else if (name == "BDAY" || name == "ANNIVERSARY" || name == "X-ANNIVERSARY" || name == "X-ABDATE") {
      TakeDate(line);
    } else if (name == "X-ABLABEL") {
      card_.groupLabels.emplace(Group(line), Unwrapped(Single(line)));
      Keep(line);
    } else if (name == "ORG") {
      std::wstring organisation;
      for (const std::wstring& part : VCardComponents(Text(line), L';')) {
        const std::wstring unit = Trim(part);
        if (unit.empty()) continue;
        if (!organisation.empty()) organisation += L", ";
        organisation += unit;
      }
      if (card_.organisation.empty()) card_.organisation = organisation;
      Keep(line);
    } else if (name == "CATEGORIES") {
      if (person.group.empty()) {
        for (const std::wstring& category : VCardComponents(Text(line), L',')) {
          person.group = Trim(category);
          // The online address book's own labels in its vCard export, not groups of the user's.
          if (person.group == L"myContacts" || person.group == L"starred") person.group.clear();
          if (!person.group.empty()) break;
        }
      }
    } else if (name == "PHOTO") {
      if (!card_.pictureTaken) Picture(line);
    } else if (name == "X-AMICORD-INTERVAL") {
      IntervalUnit unit = Weeks;
      std::int32_t count = 0;
      if (ParseInterval(Single(line), unit, count)) {
        person.count = count;
        person.unit = unit;
      }
    } else if (name == "X-AMICORD-LAST-CONTACTED") {
      person.lastContacted = ParseIsoTime(Single(line));
    } else if (name == "X-AMICORD-PREVIOUS-CONTACTED") {
      person.previousContacted = ParseIsoTime(Single(line));
    } else if (name.rfind("X-AMICORD-", 0) == 0) {
      // The rest of our own (the sync's journal lines and snooze) belongs to
      // another Amicord's data, not to the lines another program left.
    } else if (name != "VERSION" && name != "REV" && !name.empty()) {
      // Everything else goes back out as it came in.
      Keep(line);
    }
  }

  static std::string Group(const ContentLine& line) {
    std::string group = line.group;
    for (char& c : group) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return group;
  }

  static bool Preferred(const ContentLine& line) {
    std::string pref;
    return line.HasBare("PREF") || (line.Has("PREF", &pref) && pref == "1");
  }

  // The label of the TYPE words we know; "other" for none or only others.
  static std::wstring TypeLabel(const ContentLine& line) {
    for (const char* word : {"CELL", "IPHONE", "HOME", "WORK"})
      if (line.HasBare(word)) return ReachLabelOf(std::wstring(word, word + std::char_traits<char>::length(word)));
    for (const char* word : {"FAX", "PAGER"})
      if (line.HasBare(word)) {
        std::wstring label(word, word + std::char_traits<char>::length(word));
        return LowerAscii(label);
      }
    return L"other";
  }

  void Keep(const ContentLine& line) {
    card_.kept.emplace_back(line.name == "X-ABLABEL" ? Group(line) : std::string(), DecodeLoose(line.raw));
  }

  void TakeDate(const ContentLine& line) {
    // VALUE=text is taken too when its text is a date.
    bool blank = false;
    std::optional<ImportantDate> date = ParseDateValue(Single(line), true, &blank);
    if (blank) return;
    if (!date) {
      // Text that is no date stays as it was written.
      Keep(line);
      return;
    }
    std::string omitted;
    if (line.Has("X-APPLE-OMIT-YEAR", &omitted) && std::to_string(date->year) == omitted) date->year = 0;
    if (line.name == "BDAY")
      date->label = kBirthdayLabel;
    else if (line.name != "X-ABDATE")
      date->label = kAnniversaryLabel;
    card_.dates.push_back({std::move(*date), Group(line), Preferred(line)});
  }

  // A taken item's label from its group's X-ABLabel, which may come before or after it.
  template <class Item>
  std::vector<Item> Resolved(std::vector<Taken<Item>>& taken, std::map<std::string, bool>& usedGroups, bool isDate) {
    std::stable_partition(taken.begin(), taken.end(), [](const Taken<Item>& t) { return t.preferred; });
    std::vector<Item> items;
    for (Taken<Item>& t : taken) {
      if (!t.group.empty()) {
        const auto label = card_.groupLabels.find(t.group);
        if (label != card_.groupLabels.end() && (!isDate || t.item.label.empty())) {
          const std::wstring lower = LowerAscii(label->second);
          if (isDate)
            t.item.label = lower == L"anniversary" ? std::wstring(kAnniversaryLabel) : Trim(label->second);
          else
            t.item.label = ReachLabelOf(label->second);
          usedGroups[t.group] = true;
        }
      }
      if (t.item.label.empty()) t.item.label = L"other";
      items.push_back(std::move(t.item));
    }
    return items;
  }

  void Picture(const ContentLine& line) {
    std::string encoding;
    line.Has("ENCODING", &encoding);
    std::string_view value = Trimmed(line.value);
    std::string declared;
    bool base64 = EqualsNoCase(encoding, "B") || EqualsNoCase(encoding, "BASE64") || line.HasBare("BASE64") ||
                  line.HasBare("B");
    if (!base64 && value.size() > 5 && EqualsNoCase(value.substr(0, 5), "data:")) {
      const std::size_t comma = value.find(',');
      if (comma == std::string_view::npos) return;
      const std::string_view header = value.substr(5, comma - 5);
      base64 = header.size() >= 7 && EqualsNoCase(header.substr(header.size() - 7), ";base64");
      value.remove_prefix(comma + 1);
    }
    if (!base64) {
      // A file's address is taken as a CSV's picture column is, where the
      // import allows its place; web addresses are not fetched.
      if (value.size() > 5 && EqualsNoCase(value.substr(0, 5), "file:") && card_.person.picturePath.empty())
        card_.person.picturePath = DecodeLoose(value);
      return;
    }
    std::string bytes;
    if (!DecodeBase64(value, kMaxPictureBytes, bytes)) {
      Note(line.line, L"The picture is larger than 8 MB and was left out.");
      return;
    }
    const std::string type = PictureType(bytes);
    if (type.empty()) {
      Note(line.line, L"The picture is not a PNG, JPEG, GIF or BMP image and was left out.");
      return;
    }
    card_.pictureTaken = true;
    card_.person.picture = std::move(bytes);
    card_.person.pictureType = type;
  }

  std::wstring ComposedName() const {
    const std::vector<std::wstring>& n = card_.structuredName;
    std::wstring name;
    for (const std::size_t index : {std::size_t{3}, std::size_t{1}, std::size_t{2}, std::size_t{0}, std::size_t{4}}) {
      if (index >= n.size()) continue;
      const std::wstring part = Trim(n[index]);
      if (part.empty()) continue;
      if (!name.empty()) name += L' ';
      name += part;
    }
    return name;
  }

  // False when no more cards may be taken.
  bool Finish() {
    if (result_.people.size() >= kMaxPeople) {
      Note(card_.line, L"The file holds more than 100000 cards; the rest were left out.");
      return false;
    }
    Person& person = card_.person;
    person.name = card_.formattedName;
    if (person.name.empty()) person.name = ComposedName();
    if (person.name.empty()) person.name = card_.organisation;
    if (person.name.empty()) person.name = card_.firstEmail;
    for (wchar_t& c : person.name)
      if (c == L'\n' || c == L'\r' || c == L'\t') c = L' ';
    if (person.name.empty()) {
      Note(card_.line, L"The card has no name, organisation or e-mail address and was left out.");
      return true;
    }
    for (std::size_t i = 0; i < card_.notes.size(); ++i) {
      if (i > 0) person.notes += L'\n';
      person.notes += card_.notes[i];
    }
    std::map<std::string, bool> usedGroups;
    person.details.phones = Resolved(card_.phones, usedGroups, false);
    person.details.emails = Resolved(card_.emails, usedGroups, false);
    person.details.dates = Resolved(card_.dates, usedGroups, true);
    std::size_t leftOut = 0;
    for (auto& [group, text] : card_.kept) {
      // A label whose property was taken is that property's label, not kept.
      if (!group.empty() && usedGroups.count(group) != 0) continue;
      if (!AddKept(person, KeptProperty{L"", std::move(text)})) ++leftOut;
    }
    person.file = fileName_;
    person.line = card_.line;
    if (leftOut > 0) result_.problems.push_back(KeptLeftOut(person, leftOut));
    result_.people.push_back(std::move(person));
    return true;
  }

  VCardLines lines_;
  std::wstring fileName_;
  bool charsetKnown_;
  Card card_;
  ReadResult result_;
};

}  // namespace

ReadResult ReadVCards(std::string_view bytes, const std::wstring& fileName) {
  std::size_t bom = 0;
  const Encoding encoding = SniffEncoding(bytes, bom);
  bytes.remove_prefix(bom);
  if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be) {
    // The whole file is one encoding: any CHARSET it names describes the text
    // before it was saved as UTF-16, not these bytes.
    const std::string utf8 = EncodeUtf8(DecodeUtf16(bytes, encoding == Encoding::Utf16Be));
    ReadResult result = Reader(utf8, fileName, true).Read();
    if (result.people.empty() && result.problems.empty())
      result.error = L"The file holds no vCard (no line BEGIN:VCARD).";
    return result;
  }
  ReadResult result = Reader(bytes, fileName, false).Read();
  if (result.people.empty() && result.problems.empty())
    result.error = L"The file holds no vCard (no line BEGIN:VCARD).";
  return result;
}

}  // namespace interchange
