#pragma once
// What each column of a CSV header row means, for the exports we recognise:
// the online address book's (old and new header rows), the desktop mail
// program's in English, German, French and Spanish, and our own.
#include <string>
#include <vector>

namespace interchange {

enum class Column {
  Ignored,
  FullName,
  Given,
  Middle,
  Family,
  Notes,
  Labels,      // values joined by " ::: ", system labels start with "* "
  Categories,  // values separated by ";"
  Group,
  Phone,
  Email,
  Birthday,
  Organisation,
  JobTitle,
  Every,
  Unit,
  LastContacted,
  PreviousContacted,
  Picture,
  PhoneType,  // the online address book's "Phone 1 - Type" beside "Phone 1 - Value"
  EmailType,
  EventType,
  EventValue,
  Anniversary,
  Derived,  // our own export's status and days left: made again on export, never kept
};

struct Columns {
  std::vector<Column> roles;
  // For each column: the label its phones or addresses get ("work" for
  // "Business Phone"; empty when a type column or nothing says), and the
  // number pairing a "Phone 1 - Type" with its "Phone 1 - Value" (0 for none).
  std::vector<std::wstring> labels;
  std::vector<int> numbers;
  // Dates like 12/05/1980 put the day first (the mail program outside English).
  bool dayFirst = false;
  bool Recognised() const;
};

Columns RecogniseColumns(const std::vector<std::wstring>& header);

// The message for a header we do not recognise, naming the columns we look for.
std::wstring UnrecognisedHeaderMessage();

}  // namespace interchange
