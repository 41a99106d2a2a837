#pragma once
#include <string>
#include <string_view>

#include "interchange/person.h"

namespace interchange {

// Every card of a vCard file (versions 2.1, 3.0 and 4.0). Cards that give no
// name at all, and pictures that cannot be taken, are listed as problems with
// their line; the file never fails as a whole.
ReadResult ReadVCards(std::string_view bytes, const std::wstring& fileName);

}  // namespace interchange
