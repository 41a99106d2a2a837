#include "interchange/csv_reader.h"

#include <algorithm>
#include <map>
#include <vector>

#include "interchange/csv_cell.h"
#include "interchange/csv_columns.h"
#include "interchange/csv_records.h"
#include "interchange/iso_time.h"
#include "interchange/person_details.h"
#include "interchange/person_fields.h"
#include "interchange/text_decoding.h"

namespace interchange {

namespace {

std::wstring Decode(std::string_view bytes) {
  std::size_t bom = 0;
  const Encoding encoding = SniffEncoding(bytes, bom);
  bytes.remove_prefix(bom);
  if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be)
    return DecodeUtf16(bytes, encoding == Encoding::Utf16Be);
  return DecodeLoose(bytes);
}

std::vector<std::wstring> Split(const std::wstring& text, std::wstring_view separator) {
  std::vector<std::wstring> parts;
  std::size_t at = 0;
  while (true) {
    const std::size_t found = text.find(separator, at);
    const std::size_t length = found == std::wstring::npos ? std::wstring::npos : found - at;
    parts.push_back(Trim(std::wstring_view(text).substr(at, length)));
    if (found == std::wstring::npos) return parts;
    at = found + separator.size();
  }
}

std::wstring FirstGroup(const std::wstring& value, Column role) {
  const std::vector<std::wstring> parts = Split(value, role == Column::Labels ? L" ::: " : L";");
  for (const std::wstring& part : parts) {
    // "* myContacts", "* starred": the address book's own labels, not groups.
    if (part.empty() || (role == Column::Labels && part[0] == L'*')) continue;
    return part;
  }
  return {};
}

class Row {
 public:
  Row(const Columns& columns, const std::vector<std::wstring>& header, const std::vector<std::wstring>& fields)
      : columns_(columns), header_(header), fields_(fields) {}

  bool Blank() const {
    for (const std::wstring& field : fields_)
      if (!Trim(field).empty()) return false;
    return true;
  }

  // keptLeftOut: how many cells did not fit in what a contact keeps.
  Person Read(std::size_t& keptLeftOut) const {
    Person person;
    std::wstring given, middle, family, full, organisation, email;
    const std::size_t count = std::min(fields_.size(), columns_.roles.size());
    // The online address book's types, by kind and number: "Phone 1 - Type".
    std::map<std::pair<Column, int>, std::wstring> types;
    for (std::size_t i = 0; i < count; ++i) {
      const Column role = columns_.roles[i];
      if (role == Column::PhoneType || role == Column::EmailType || role == Column::EventType)
        types[{role, columns_.numbers[i]}] = Trim(fields_[i]);
    }
    const auto typeOf = [&](Column kind, std::size_t i) {
      const auto found = types.find({kind, columns_.numbers[i]});
      return found == types.end() ? std::wstring() : found->second;
    };
    std::vector<Phone> preferredPhones;
    std::vector<EmailAddress> preferredEmails;
    keptLeftOut = 0;
    const auto keep = [&](std::size_t i, const std::wstring& value) {
      if (Trim(value).empty()) return;
      if (!AddKept(person, KeptProperty{i < header_.size() ? header_[i] : std::wstring(), value})) ++keptLeftOut;
    };
    const auto addDate = [&](std::size_t i, const std::wstring& value, std::wstring label) {
      bool blank = false;
      std::optional<ImportantDate> date = ParseDateValue(value, columns_.dayFirst, &blank);
      if (blank) return;
      if (!date) return keep(i, value);
      date->label = std::move(label);
      person.details.dates.push_back(std::move(*date));
    };
    for (std::size_t i = 0; i < count; ++i) {
      const std::wstring& cell = fields_[i];
      const std::wstring_view unescaped = UnescapeCsvCell(cell);
      const std::wstring stripped = unescaped.size() == cell.size() ? std::wstring() : std::wstring(unescaped);
      const std::wstring& value = stripped.empty() ? cell : stripped;
      switch (columns_.roles[i]) {
        case Column::Ignored:
          keep(i, value);
          break;
        case Column::Derived:
        case Column::PhoneType:
        case Column::EmailType:
        case Column::EventType:
          break;
        case Column::FullName:
          Keep(full, value);
          break;
        case Column::Given:
          Keep(given, value);
          break;
        case Column::Middle:
          Keep(middle, value);
          break;
        case Column::Family:
          Keep(family, value);
          break;
        case Column::Notes:
          if (person.notes.empty()) person.notes = Trim(value);
          break;
        case Column::Labels:
        case Column::Categories:
          if (person.group.empty()) person.group = FirstGroup(value, columns_.roles[i]);
          break;
        case Column::Group:
          Keep(person.group, value);
          break;
        case Column::Phone: {
          // "* Mobile": the address book's mark of the preferred one.
          std::wstring type = columns_.numbers[i] > 0 ? typeOf(Column::PhoneType, i) : columns_.labels[i];
          const bool preferred = type.compare(0, 2, L"* ") == 0;
          if (preferred) type.erase(0, 2);
          for (const std::wstring& phone : Split(value, L" ::: "))
            if (!phone.empty())
              (preferred ? preferredPhones : person.details.phones).push_back({ReachLabelOf(type), phone});
          break;
        }
        case Column::Email: {
          std::wstring type = columns_.numbers[i] > 0 ? typeOf(Column::EmailType, i) : columns_.labels[i];
          const bool preferred = type.compare(0, 2, L"* ") == 0;
          if (preferred) type.erase(0, 2);
          for (const std::wstring& address : Split(value, L" ::: ")) {
            if (address.empty()) continue;
            if (email.empty()) email = address;
            (preferred ? preferredEmails : person.details.emails).push_back({ReachLabelOf(type), address});
          }
          break;
        }
        case Column::Birthday:
          addDate(i, value, kBirthdayLabel);
          break;
        case Column::Anniversary:
          addDate(i, value, kAnniversaryLabel);
          break;
        case Column::EventValue: {
          std::wstring type = typeOf(Column::EventType, i);
          if (type == L"Anniversary" || type == L"anniversary") type = kAnniversaryLabel;
          if (type.empty()) type = L"other";
          addDate(i, value, type);
          break;
        }
        case Column::Organisation:
          Keep(organisation, value);
          keep(i, value);
          break;
        case Column::JobTitle:
          keep(i, value);
          break;
        case Column::Every:
          person.count = ParseInt(value);
          break;
        case Column::Unit:
          person.unit = UnitFromWord(value);
          break;
        case Column::LastContacted:
          person.lastContacted = ParseIsoTime(value);
          break;
        case Column::PreviousContacted:
          person.previousContacted = ParseIsoTime(value);
          break;
        case Column::Picture:
          Keep(person.picturePath, value);
          break;
      }
    }
    person.details.phones.insert(person.details.phones.begin(), preferredPhones.begin(), preferredPhones.end());
    person.details.emails.insert(person.details.emails.begin(), preferredEmails.begin(), preferredEmails.end());
    if (!person.count || !person.unit) person.count.reset(), person.unit.reset();
    person.name = full;
    if (person.name.empty()) {
      for (const std::wstring* part : {&given, &middle, &family}) {
        if (part->empty()) continue;
        if (!person.name.empty()) person.name += L' ';
        person.name += *part;
      }
    }
    if (person.name.empty()) person.name = organisation;
    if (person.name.empty()) person.name = email;
    for (wchar_t& c : person.name)
      if (c == L'\n' || c == L'\r' || c == L'\t') c = L' ';
    return person;
  }

 private:
  static void Keep(std::wstring& into, const std::wstring& value) {
    if (into.empty()) into = Trim(value);
  }

  const Columns& columns_;
  const std::vector<std::wstring>& header_;
  const std::vector<std::wstring>& fields_;
};

}  // namespace

ReadResult ReadCsv(std::string_view bytes, const std::wstring& fileName) {
  ReadResult result;
  const std::wstring text = Decode(bytes);
  CsvRecords records(text);
  std::vector<std::wstring> fields;
  std::int64_t line = 0;
  bool unterminated = false;
  if (!records.Next(fields, line, unterminated)) {
    result.error = L"The file is empty.";
    return result;
  }
  const std::vector<std::wstring> header = fields;
  const Columns columns = RecogniseColumns(header);
  if (!columns.Recognised()) {
    result.error = UnrecognisedHeaderMessage();
    return result;
  }
  while (records.Next(fields, line, unterminated)) {
    if (unterminated)
      result.problems.push_back(
          {fileName, line, L"A quoted field is not closed; the row was read to the end of the file."});
    const Row row(columns, header, fields);
    if (row.Blank()) continue;
    if (result.people.size() >= kMaxPeople) {
      result.problems.push_back({fileName, line, L"The file holds more than 100000 rows; the rest were left out."});
      break;
    }
    std::size_t keptLeftOut = 0;
    Person person = row.Read(keptLeftOut);
    if (person.name.empty()) {
      result.problems.push_back(
          {fileName, line, L"The row has no name, organisation or e-mail address and was left out."});
      continue;
    }
    person.file = fileName;
    person.line = line;
    if (keptLeftOut > 0) result.problems.push_back(KeptLeftOut(person, keptLeftOut));
    result.people.push_back(std::move(person));
  }
  return result;
}

}  // namespace interchange
