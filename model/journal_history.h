#pragma once
// What the journal's dialogs do to a contact, and what the history shows.
#include <cstddef>
#include <string>
#include <vector>

#include "model/contact.h"
#include "model/journal.h"

// Records a contact made at `time`. When it is later than lastContacted it
// becomes the new lastContacted (the old one the previous, as a tick does).
// Ends the snooze. Answers whether lastContacted changed.
bool LogContact(Journal& journal, Contact& contact, Time time, std::wstring text);

// A tick recorded (lastContacted is already the tick's time) and taken back
// again: the undo removes exactly the tick's entry.
void RecordTick(Journal& journal, const Contact& contact);
void UndoTick(Journal& journal, std::int32_t id, Time tickTime);

// Deletes the entry at index (0: the newest). When the newest goes,
// lastContacted and previousContacted follow the newest two that remain (and
// stay as they are when none remains). Answers whether the contact changed.
bool DeleteEntry(Journal& journal, Contact& contact, std::size_t index);
// Deletes each of `gone` (an entry with exactly its time and text, one for
// each) as DeleteEntry does; those no longer there are skipped.
void DeleteEntries(Journal& journal, Contact& contact, const std::vector<JournalEntry>& gone);

// Entries from the twelve months before now.
std::size_t CountLastTwelveMonths(const std::vector<JournalEntry>& entries, Time now);
// Whole days between the entry at index and the one before it (older); -1 for the oldest.
long long DaysAfterPrevious(const std::vector<JournalEntry>& entries, std::size_t index);
