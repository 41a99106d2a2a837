#pragma once
// The notes reader lives with the data core, which keeps each contact's
// plain text for finding; the interchange code uses it under its own names.
#include "model/notes_text.h"

namespace interchange {

using text::NotesPlainText;
using text::NotesRtf;

}  // namespace interchange
