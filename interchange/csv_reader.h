#pragma once
#include <string>
#include <string_view>

#include "interchange/person.h"

namespace interchange {

// The people of a CSV export. A header row we do not recognise refuses the
// whole file (ReadResult::error names the columns we look for); rows without
// any name are listed as problems.
ReadResult ReadCsv(std::string_view bytes, const std::wstring& fileName);

}  // namespace interchange
