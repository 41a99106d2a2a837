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
};

struct Columns {
  std::vector<Column> roles;
  // Dates like 12/05/1980 put the day first (the mail program outside English).
  bool dayFirst = false;
  bool Recognised() const;
};

Columns RecogniseColumns(const std::vector<std::wstring>& header);

// The message for a header we do not recognise, naming the columns we look for.
std::wstring UnrecognisedHeaderMessage();

}  // namespace interchange
