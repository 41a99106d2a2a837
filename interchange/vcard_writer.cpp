#include "interchange/vcard_writer.h"

#include <algorithm>
#include <map>

#include "interchange/base64.h"
#include "interchange/iso_time.h"
#include "interchange/notes_text.h"
#include "interchange/person_details.h"
#include "interchange/person_fields.h"
#include "interchange/picture_file.h"
#include "interchange/text_decoding.h"
#include "model/journal.h"
#include "model/reach.h"

namespace interchange {

namespace {

constexpr std::size_t kFoldAt = 75;

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

// Folds at 75 bytes without splitting a UTF-8 sequence.
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
  AppendLine(out, std::string(name) + ":" + EncodeUtf8(value));
}

// The TYPE word of a label we know; empty for "other" and the user's own.
const char* TypeWord(const std::wstring& label, bool phone) {
  if (label == L"mobile") return phone ? "cell" : nullptr;
  if (label == L"home") return "home";
  if (label == L"work") return "work";
  if (phone && label == L"fax") return "fax";
  if (phone && label == L"pager") return "pager";
  return nullptr;
}

// The highest N of the kept lines' "itemN." groups, so ours come after them.
int HighestItem(const ContactDetails& details) {
  int highest = 0;
  for (const KeptProperty& kept : details.kept) {
    if (!kept.column.empty() || kept.text.size() < 5) continue;
    const std::wstring head = kept.text.substr(0, 4);
    if (head != L"item" && head != L"ITEM" && head != L"Item") continue;
    int number = 0;
    for (std::size_t i = 4; i < kept.text.size() && kept.text[i] >= L'0' && kept.text[i] <= L'9' && number < 1000000;
         ++i)
      number = number * 10 + (kept.text[i] - L'0');
    highest = std::max(highest, number);
  }
  return highest;
}

// A phone or address: its TYPE when the label is one vCard knows, else an
// item group with the label beside it. The first of each kind is preferred,
// so the order survives.
template <class Item>
void Reach(std::string& out, const char* name, const Item& entry, const std::wstring& value, bool phone, bool first,
           int& item) {
  std::string head = name;
  const char* type = TypeWord(entry.label, phone);
  const bool own = !type && entry.label != L"other" && !entry.label.empty();
  if (own) head = "item" + std::to_string(++item) + "." + head;
  if (type) head += std::string(";TYPE=") + type;
  if (first) head += ";PREF=1";
  if (phone) head += ";VALUE=uri";
  AppendLine(out, head + ":" + EncodeUtf8(value));
  if (own) AppendLine(out, "item" + std::to_string(item) + ".X-ABLabel:" + EncodeUtf8(Escaped(entry.label)));
}

void Details(std::string& out, const ContactDetails& details) {
  int item = HighestItem(details);
  for (std::size_t i = 0; i < details.phones.size(); ++i)
    Reach(out, "TEL", details.phones[i], TelUriWithSeparators(details.phones[i].number), true, i == 0, item);
  for (std::size_t i = 0; i < details.emails.size(); ++i)
    Reach(out, "EMAIL", details.emails[i], Escaped(details.emails[i].address), false, i == 0, item);
  for (const ImportantDate& date : details.dates) {
    if (date.label == kBirthdayLabel) {
      Property(out, "BDAY", VCardDate(date));
    } else if (date.label == kAnniversaryLabel) {
      Property(out, "ANNIVERSARY", VCardDate(date));
    } else {
      const std::string group = "item" + std::to_string(++item);
      Property(out, (group + ".X-ABDATE").c_str(), VCardDate(date));
      Property(out, (group + ".X-ABLabel").c_str(), Escaped(date.label));
    }
  }
}

void Kept(std::string& out, const ContactDetails& details) {
  for (const KeptProperty& kept : details.kept)
    if (kept.column.empty() && !kept.text.empty()) AppendLine(out, EncodeUtf8(kept.text));
}

}  // namespace

std::string WriteVCards(const Contacts& contacts, const Groups& groups, const ExportOptions& options) {
  std::map<std::int32_t, std::wstring> groupNames;
  for (const Groups::Item& group : groups)
    if (group) groupNames[group->id] = group->name;
  std::string out;
  const std::wstring revision = FormatUtcBasic(options.now);
  std::string picture, type;
  for (const Contacts::Item& contact : contacts) {
    if (!contact || (options.groupId != -1 && contact->groupId != options.groupId)) continue;
    out += "BEGIN:VCARD\r\nVERSION:4.0\r\n";
    Property(out, "FN", Escaped(contact->name));
    const std::size_t space = contact->name.find_last_of(L' ');
    const std::wstring given = space == std::wstring::npos ? contact->name : contact->name.substr(0, space);
    const std::wstring family = space == std::wstring::npos ? std::wstring() : contact->name.substr(space + 1);
    Property(out, "N", Escaped(family) + L";" + Escaped(given) + L";;;");
    const ContactDetails* details = options.journal ? &options.journal->Details(contact->id) : nullptr;
    if (details) Details(out, *details);
    const std::wstring notes = NotesPlainText(contact->notes);
    if (!notes.empty()) Property(out, "NOTE", Escaped(notes));
    const auto group = groupNames.find(contact->groupId);
    if (group != groupNames.end()) Property(out, "CATEGORIES", Escaped(group->second));
    if (ReadPicture(contact->imagePath, picture, type)) {
      std::string line = "PHOTO:data:" + MediaType(type) + ";base64,";
      line += EncodeBase64(picture);
      AppendLine(out, line);
    }
    if (details) Kept(out, *details);
    Property(out, "REV", revision);
    Property(out, "X-AMICORD-INTERVAL", std::to_wstring(contact->count) + L";" + UnitWord(contact->unit));
    Property(out, "X-AMICORD-LAST-CONTACTED", FormatUtc(contact->lastContacted));
    Property(out, "X-AMICORD-PREVIOUS-CONTACTED", FormatUtc(contact->previousContacted));
    out += "END:VCARD\r\n";
  }
  return out;
}

}  // namespace interchange
