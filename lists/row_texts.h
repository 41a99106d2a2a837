#pragma once
// The text a row gives its list when asked (LVN_GETDISPINFO), which is what
// screen readers read of a row; the rows themselves are painted.
#include <string>

#include "lists/row_painter.h"
#include "model/contact.h"
#include "model/group.h"

namespace lists {

// "Anna Berg, Friends, Contact in 5 days." (the group left out when there is
// none), the status line as the row shows it; a date mark, when given, before
// the status: "Anna Berg, Friends, Birthday tomorrow, Contact in 5 days."
std::wstring RowText(const Contact& contact, const Group* group, const DisplaySettings& settings, Time now,
                     const std::wstring* dateMark = nullptr);

// "Contacted: Anna Berg": the name of a row's tick box.
std::wstring TickBoxName(const Contact& contact);

}  // namespace lists
