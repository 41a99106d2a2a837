#include "interchange/csv_writer.h"

#include <map>

#include "interchange/csv_cell.h"
#include "interchange/iso_time.h"
#include "interchange/notes_text.h"
#include "interchange/person_fields.h"
#include "interchange/text_decoding.h"

namespace interchange {

namespace {

void Field(std::string& out, std::wstring_view text, bool last = false) {
  const std::wstring cell = EscapeCsvCell(text);
  const std::wstring_view value = cell;
  const bool quote = value.find_first_of(L",;\"\r\n") != std::wstring_view::npos ||
                     (!value.empty() && (value.front() == L' ' || value.back() == L' '));
  if (quote) {
    std::wstring quoted = L"\"";
    for (const wchar_t c : value) {
      if (c == L'"') quoted += L'"';
      quoted += c;
    }
    quoted += L'"';
    out += EncodeUtf8(quoted);
  } else {
    out += EncodeUtf8(value);
  }
  out += last ? "\r\n" : ",";
}

const wchar_t* StatusWord(const Contact& contact, const ExportOptions& options) {
  if (contact.IsExpired(options.now)) return L"Overdue";
  if (contact.IsWarning(options.warnPercent, options.warnDays, options.now)) return L"Due soon";
  return L"In time";
}

}  // namespace

std::string WriteCsv(const Contacts& contacts, const Groups& groups, const ExportOptions& options) {
  std::map<std::int32_t, std::wstring> groupNames;
  for (const Groups::Item& group : groups)
    if (group) groupNames[group->id] = group->name;
  std::string out = "\xEF\xBB\xBF";
  out += "Name,Group,Every,Unit,Last contacted,Previous contacted,Status,Days left,Notes,Picture\r\n";
  for (const Contacts::Item& contact : contacts) {
    if (!contact || (options.groupId != -1 && contact->groupId != options.groupId)) continue;
    const auto group = groupNames.find(contact->groupId);
    Field(out, contact->name);
    Field(out, group == groupNames.end() ? std::wstring() : group->second);
    Field(out, std::to_wstring(contact->count));
    Field(out, UnitWord(contact->unit));
    Field(out, FormatLocal(contact->lastContacted));
    Field(out, FormatLocal(contact->previousContacted));
    Field(out, StatusWord(*contact, options));
    Field(out, std::to_wstring(contact->DaysLeft(options.now)));
    Field(out, NotesPlainText(contact->notes));
    Field(out, contact->imagePath, true);
  }
  return out;
}

}  // namespace interchange
