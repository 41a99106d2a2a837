#pragma once
#include <string>

#include "interchange/export_options.h"
#include "model/contacts.h"
#include "model/groups.h"

namespace interchange {

// The contacts as CSV in UTF-8 with a byte-order mark (so spreadsheets open it
// with the right characters): Name, Group, Every, Unit, Last contacted,
// Previous contacted, Status, Days left, Notes, Picture. Times are ISO 8601 in
// local time with their offset. A cell a spreadsheet would run as a formula is
// written behind an apostrophe (interchange/csv_cell.h).
std::string WriteCsv(const Contacts& contacts, const Groups& groups, const ExportOptions& options);

}  // namespace interchange
