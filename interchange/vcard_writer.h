#pragma once
#include <string>

#include "interchange/export_options.h"
#include "model/contacts.h"
#include "model/groups.h"

namespace interchange {

// The contacts as vCard 4.0 (UTF-8, CR LF, lines folded at 75 bytes): FN, N,
// NOTE as plain text, CATEGORIES, PHOTO as a data: URI when the picture file
// can be read and is small enough, REV, and our own interval and contact times.
std::string WriteVCards(const Contacts& contacts, const Groups& groups, const ExportOptions& options);

}  // namespace interchange
