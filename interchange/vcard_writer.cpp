#include "interchange/vcard_writer.h"

#include <map>

#include "interchange/base64.h"
#include "interchange/iso_time.h"
#include "interchange/notes_text.h"
#include "interchange/person_fields.h"
#include "interchange/picture_file.h"
#include "interchange/text_decoding.h"

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
    const std::wstring notes = NotesPlainText(contact->notes);
    if (!notes.empty()) Property(out, "NOTE", Escaped(notes));
    const auto group = groupNames.find(contact->groupId);
    if (group != groupNames.end()) Property(out, "CATEGORIES", Escaped(group->second));
    if (ReadPicture(contact->imagePath, picture, type)) {
      std::string line = "PHOTO:data:" + MediaType(type) + ";base64,";
      line += EncodeBase64(picture);
      AppendLine(out, line);
    }
    Property(out, "REV", revision);
    Property(out, "X-AMICORD-INTERVAL", std::to_wstring(contact->count) + L";" + UnitWord(contact->unit));
    Property(out, "X-AMICORD-LAST-CONTACTED", FormatUtc(contact->lastContacted));
    Property(out, "X-AMICORD-PREVIOUS-CONTACTED", FormatUtc(contact->previousContacted));
    out += "END:VCARD\r\n";
  }
  return out;
}

}  // namespace interchange
