#include "interchange/csv_columns.h"

#include <cwchar>
#include <cwctype>
#include <tuple>

#include "interchange/person_fields.h"

namespace interchange {

namespace {

struct Known {
  const wchar_t* header;  // lower case
  Column role;
  bool dayFirst;
  const wchar_t* label = L"";
};

// Lower-cased for the comparison; the accented capitals of the headers we know
// are folded by hand so the comparison does not depend on the C library's locale.
std::wstring Lower(std::wstring_view text) {
  std::wstring lower = Trim(text);
  for (wchar_t& c : lower) {
    if (c >= L'A' && c <= L'Z')
      c = static_cast<wchar_t>(c + 32);
    else if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
      c = static_cast<wchar_t>(c + 32);
  }
  return lower;
}

const Known kKnown[] = {
    // Our own export.
    {L"name", Column::FullName, false},
    {L"group", Column::Group, false},
    {L"every", Column::Every, false},
    {L"unit", Column::Unit, false},
    {L"last contacted", Column::LastContacted, false},
    {L"previous contacted", Column::PreviousContacted, false},
    {L"picture", Column::Picture, false},
    {L"notes", Column::Notes, false},
    {L"status", Column::Derived, false},
    {L"days left", Column::Derived, false},
    // The online address book.
    {L"given name", Column::Given, false},
    {L"additional name", Column::Middle, false},
    {L"family name", Column::Family, false},
    {L"group membership", Column::Labels, false},
    {L"labels", Column::Labels, false},
    {L"organization name", Column::Organisation, false},
    {L"organization title", Column::JobTitle, false},
    {L"birthday", Column::Birthday, false},
    // The desktop mail program, English.
    {L"first name", Column::Given, false},
    {L"middle name", Column::Middle, false},
    {L"last name", Column::Family, false},
    {L"company", Column::Organisation, false},
    {L"job title", Column::JobTitle, false},
    {L"categories", Column::Categories, false},
    {L"business phone", Column::Phone, false, L"work"},
    {L"business phone 2", Column::Phone, false, L"work"},
    {L"home phone", Column::Phone, false, L"home"},
    {L"home phone 2", Column::Phone, false, L"home"},
    {L"mobile phone", Column::Phone, false, L"mobile"},
    {L"other phone", Column::Phone, false, L"other"},
    {L"primary phone", Column::Phone, false, L"other"},
    {L"e-mail address", Column::Email, false, L"other"},
    {L"e-mail 2 address", Column::Email, false, L"other"},
    {L"e-mail 3 address", Column::Email, false, L"other"},
    {L"anniversary", Column::Anniversary, false},
    // German.
    {L"vorname", Column::Given, true},
    {L"weitere vornamen", Column::Middle, true},
    {L"nachname", Column::Family, true},
    {L"firma", Column::Organisation, true},
    {L"position", Column::JobTitle, true},
    {L"notizen", Column::Notes, true},
    {L"kategorien", Column::Categories, true},
    {L"geburtstag", Column::Birthday, true},
    {L"telefon geschäftlich", Column::Phone, true, L"work"},
    {L"telefon geschäftlich 2", Column::Phone, true, L"work"},
    {L"telefon privat", Column::Phone, true, L"home"},
    {L"telefon privat 2", Column::Phone, true, L"home"},
    {L"mobiltelefon", Column::Phone, true, L"mobile"},
    {L"weiteres telefon", Column::Phone, true, L"other"},
    {L"e-mail-adresse", Column::Email, true, L"other"},
    {L"e-mail 2: adresse", Column::Email, true, L"other"},
    {L"e-mail 3: adresse", Column::Email, true, L"other"},
    {L"jahrestag", Column::Anniversary, true},
    // French.
    {L"prénom", Column::Given, true},
    {L"deuxième prénom", Column::Middle, true},
    {L"nom", Column::Family, true},
    {L"société", Column::Organisation, true},
    {L"fonction", Column::JobTitle, true},
    {L"catégories", Column::Categories, true},
    {L"anniversaire", Column::Birthday, true},
    {L"téléphone bureau", Column::Phone, true, L"work"},
    {L"téléphone bureau 2", Column::Phone, true, L"work"},
    {L"téléphone domicile", Column::Phone, true, L"home"},
    {L"téléphone domicile 2", Column::Phone, true, L"home"},
    {L"tél. mobile", Column::Phone, true, L"mobile"},
    {L"autre téléphone", Column::Phone, true, L"other"},
    {L"adresse de messagerie", Column::Email, true, L"other"},
    {L"adresse de messagerie 2", Column::Email, true, L"other"},
    {L"adresse de messagerie 3", Column::Email, true, L"other"},
    {L"anniversaire de mariage", Column::Anniversary, true},
    // Spanish.
    {L"nombre", Column::Given, true},
    {L"segundo nombre", Column::Middle, true},
    {L"apellidos", Column::Family, true},
    {L"organización", Column::Organisation, true},
    {L"compañía", Column::Organisation, true},
    {L"puesto", Column::JobTitle, true},
    {L"notas", Column::Notes, true},
    {L"categorías", Column::Categories, true},
    {L"cumpleaños", Column::Birthday, true},
    {L"teléfono del trabajo", Column::Phone, true, L"work"},
    {L"teléfono del trabajo 2", Column::Phone, true, L"work"},
    {L"teléfono particular", Column::Phone, true, L"home"},
    {L"teléfono particular 2", Column::Phone, true, L"home"},
    {L"teléfono móvil", Column::Phone, true, L"mobile"},
    {L"otro teléfono", Column::Phone, true, L"other"},
    {L"dirección de correo electrónico", Column::Email, true, L"other"},
    {L"dirección de correo electrónico 2", Column::Email, true, L"other"},
    {L"dirección de correo electrónico 3", Column::Email, true, L"other"},
    {L"aniversario", Column::Anniversary, true},
};

bool EndsWith(const std::wstring& text, std::wstring_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool StartsWith(const std::wstring& text, std::wstring_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The number in "Phone 12 - Value" after its prefix; 0 for none.
int NumberAfter(const std::wstring& header, std::size_t at) {
  int number = 0;
  for (; at < header.size() && header[at] >= L'0' && header[at] <= L'9' && number < 100000; ++at)
    number = number * 10 + (header[at] - L'0');
  return number;
}

// The online address book numbers repeated fields: "Phone 1 - Value".
Column Numbered(const std::wstring& header, int& number) {
  const bool value = EndsWith(header, L" - value");
  // The newer header rows say "Label" where the older ones say "Type".
  const bool type = EndsWith(header, L" - type") || EndsWith(header, L" - label");
  if (!value && !type && !EndsWith(header, L" - name") && !EndsWith(header, L" - title")) return Column::Ignored;
  for (const auto& [prefix, valueRole, typeRole] : {std::tuple{L"phone ", Column::Phone, Column::PhoneType},
                                                    std::tuple{L"e-mail ", Column::Email, Column::EmailType},
                                                    std::tuple{L"event ", Column::EventValue, Column::EventType}}) {
    if (!StartsWith(header, prefix)) continue;
    number = NumberAfter(header, std::wcslen(prefix));
    if (number == 0) return Column::Ignored;
    return value ? valueRole : (type ? typeRole : Column::Ignored);
  }
  if (StartsWith(header, L"organization ")) {
    if (EndsWith(header, L" - name")) return Column::Organisation;
    if (EndsWith(header, L" - title")) return Column::JobTitle;
  }
  return Column::Ignored;
}

}  // namespace

bool Columns::Recognised() const {
  for (const Column role : roles)
    if (role == Column::FullName || role == Column::Given || role == Column::Family) return true;
  return false;
}

Columns RecogniseColumns(const std::vector<std::wstring>& header) {
  Columns columns;
  for (const std::wstring& cell : header) {
    const std::wstring lower = Lower(cell);
    int number = 0;
    Column role = Numbered(lower, number);
    std::wstring label;
    for (const Known& known : kKnown) {
      if (lower == known.header) {
        role = known.role;
        label = known.label;
        number = 0;
        columns.dayFirst = columns.dayFirst || known.dayFirst;
        break;
      }
    }
    columns.roles.push_back(role);
    columns.labels.push_back(std::move(label));
    columns.numbers.push_back(number);
  }
  return columns;
}

std::wstring UnrecognisedHeaderMessage() {
  return L"The first row of this CSV file names no column Amicord knows. It looks for a name in \"Name\", "
         L"\"First Name\" and \"Last Name\", \"Given Name\" and \"Family Name\" (or \"Vorname\" and \"Nachname\", "
         L"\"Prénom\" and \"Nom\", \"Nombre\" and \"Apellidos\"), and reads \"Notes\", \"Group Membership\", "
         L"\"Labels\", \"Categories\", \"Birthday\", phone numbers and e-mail addresses beside it.";
}

}  // namespace interchange
