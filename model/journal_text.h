#pragma once
// journal.dat's whole text, written directly: exactly the characters the
// library's text archive writes for the journal (model/journal_serialization.h,
// after the hand-written header), several times faster. A tick saves the
// journal, and at ten thousand contacts the library's stream formatting of
// half a million entries alone took longer than the save may.
#include <string>

#include "model/journal.h"
#include "model/journal_snapshot.h"

std::wstring JournalText(const Journal& journal);
std::wstring JournalText(const JournalSnapshot& journal);
