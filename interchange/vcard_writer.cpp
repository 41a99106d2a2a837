#include "interchange/vcard_writer.h"

#include <map>

#include "interchange/base64.h"
#include "interchange/iso_time.h"
#include "interchange/notes_text.h"
#include "interchange/person_fields.h"
#include "interchange/picture_file.h"
#include "interchange/text_decoding.h"
#include "interchange/vcard_properties.h"
#include "model/journal.h"

namespace interchange {

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
    AppendVCardProperty(out, "FN", VCardEscaped(contact->name));
    const std::size_t space = contact->name.find_last_of(L' ');
    const std::wstring given = space == std::wstring::npos ? contact->name : contact->name.substr(0, space);
    const std::wstring family = space == std::wstring::npos ? std::wstring() : contact->name.substr(space + 1);
    AppendVCardProperty(out, "N", VCardEscaped(family) + L";" + VCardEscaped(given) + L";;;");
    const ContactDetails* details = options.journal ? &options.journal->Details(contact->id) : nullptr;
    if (details) AppendVCardDetails(out, *details, true);
    const std::wstring notes = NotesPlainText(contact->notes);
    if (!notes.empty()) AppendVCardProperty(out, "NOTE", VCardEscaped(notes));
    const auto group = groupNames.find(contact->groupId);
    if (group != groupNames.end()) AppendVCardProperty(out, "CATEGORIES", VCardEscaped(group->second));
    if (ReadPicture(contact->imagePath, picture, type)) {
      std::string line = "PHOTO:data:" + MediaType(type) + ";base64,";
      line += EncodeBase64(picture);
      AppendVCardLine(out, line);
    }
    if (details) AppendVCardKept(out, *details);
    AppendVCardProperty(out, "REV", revision);
    AppendVCardProperty(out, "X-AMICORD-INTERVAL", std::to_wstring(contact->count) + L";" + UnitWord(contact->unit));
    AppendVCardProperty(out, "X-AMICORD-LAST-CONTACTED", FormatUtc(contact->lastContacted));
    AppendVCardProperty(out, "X-AMICORD-PREVIOUS-CONTACTED", FormatUtc(contact->previousContacted));
    out += "END:VCARD\r\n";
  }
  return out;
}

}  // namespace interchange
