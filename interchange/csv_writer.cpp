#include "interchange/csv_writer.h"

#include <algorithm>
#include <map>
#include <set>

#include "interchange/csv_cell.h"
#include "interchange/iso_time.h"
#include "interchange/notes_text.h"
#include "interchange/person_details.h"
#include "interchange/person_fields.h"
#include "interchange/text_decoding.h"
#include "model/journal.h"

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

// The label as the online address book writes its types: "Mobile", "Home".
std::wstring TypeText(const std::wstring& label) {
  if (label == L"mobile" || label == L"home" || label == L"work" || label == L"other" || label == kAnniversaryLabel)
    return static_cast<wchar_t>(label[0] - 32) + label.substr(1);
  return label;
}

// The columns the contacts' details need: numbered pairs as many as the
// contact with most has, the birthday, and every kept column in the order
// first met (a header twice in one contact takes two columns).
struct DetailColumns {
  std::size_t phones = 0;
  std::size_t emails = 0;
  std::size_t events = 0;
  bool birthday = false;
  std::vector<std::pair<std::wstring, std::size_t>> kept;  // header, its occurrence within a contact

  void Add(const ContactDetails& details) {
    phones = std::max(phones, details.phones.size());
    emails = std::max(emails, details.emails.size());
    std::size_t others = 0;
    for (const ImportantDate& date : details.dates) {
      if (date.label == kBirthdayLabel)
        birthday = true;
      else
        ++others;
    }
    events = std::max(events, others);
    std::map<std::wstring, std::size_t> seen;
    for (const KeptProperty& property : details.kept) {
      if (property.column.empty()) continue;
      const std::size_t occurrence = seen[property.column]++;
      if (known_.insert({property.column, occurrence}).second) kept.emplace_back(property.column, occurrence);
    }
  }

 private:
  std::set<std::pair<std::wstring, std::size_t>> known_;
};

void Header(std::string& out, const DetailColumns& columns) {
  const auto pairs = [&out](const wchar_t* kind, std::size_t count) {
    for (std::size_t n = 1; n <= count; ++n) {
      out += ',';
      out += EncodeUtf8(std::wstring(kind) + L" " + std::to_wstring(n) + L" - Type");
      out += ',';
      out += EncodeUtf8(std::wstring(kind) + L" " + std::to_wstring(n) + L" - Value");
    }
  };
  pairs(L"Phone", columns.phones);
  pairs(L"E-mail", columns.emails);
  if (columns.birthday) out += ",Birthday";
  pairs(L"Event", columns.events);
  for (const auto& [header, occurrence] : columns.kept) {
    out += ',';
    std::string cell;
    Field(cell, header, true);
    cell.resize(cell.size() - 2);
    out += cell;
  }
}

void DetailFields(std::string& out, const DetailColumns& columns, const ContactDetails& details) {
  for (std::size_t i = 0; i < columns.phones; ++i) {
    const bool has = i < details.phones.size();
    Field(out, has ? TypeText(details.phones[i].label) : std::wstring());
    Field(out, has ? details.phones[i].number : std::wstring());
  }
  for (std::size_t i = 0; i < columns.emails; ++i) {
    const bool has = i < details.emails.size();
    Field(out, has ? TypeText(details.emails[i].label) : std::wstring());
    Field(out, has ? details.emails[i].address : std::wstring());
  }
  std::vector<const ImportantDate*> events;
  const ImportantDate* birthday = nullptr;
  for (const ImportantDate& date : details.dates) {
    if (date.label == kBirthdayLabel)
      birthday = &date;
    else
      events.push_back(&date);
  }
  if (columns.birthday) Field(out, birthday ? CsvDate(*birthday) : std::wstring());
  for (std::size_t i = 0; i < columns.events; ++i) {
    const bool has = i < events.size();
    Field(out, has ? TypeText(events[i]->label) : std::wstring());
    Field(out, has ? CsvDate(*events[i]) : std::wstring());
  }
  std::map<std::wstring, std::vector<const std::wstring*>> kept;
  for (const KeptProperty& property : details.kept)
    if (!property.column.empty()) kept[property.column].push_back(&property.text);
  for (const auto& [header, occurrence] : columns.kept) {
    const auto found = kept.find(header);
    Field(out, found != kept.end() && occurrence < found->second.size() ? *found->second[occurrence] : std::wstring());
  }
}

}  // namespace

std::string WriteCsv(const Contacts& contacts, const Groups& groups, const ExportOptions& options) {
  std::map<std::int32_t, std::wstring> groupNames;
  for (const Groups::Item& group : groups)
    if (group) groupNames[group->id] = group->name;
  const auto exported = [&options](const Contacts::Item& contact) {
    return contact && (options.groupId == -1 || contact->groupId == options.groupId);
  };
  DetailColumns columns;
  if (options.journal)
    for (const Contacts::Item& contact : contacts)
      if (exported(contact)) columns.Add(options.journal->Details(contact->id));
  std::string out = "\xEF\xBB\xBF";
  out += "Name,Group,Every,Unit,Last contacted,Previous contacted,Status,Days left,Notes,Picture";
  Header(out, columns);
  out += "\r\n";
  const ContactDetails none;
  for (const Contacts::Item& contact : contacts) {
    if (!exported(contact)) continue;
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
    Field(out, contact->imagePath);
    DetailFields(out, columns, options.journal ? options.journal->Details(contact->id) : none);
    out.back() = '\r';
    out += '\n';
  }
  return out;
}

}  // namespace interchange
