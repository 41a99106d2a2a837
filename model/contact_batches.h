#pragma once
// One change made to several contacts at once, each contact changed exactly
// as the change of one would change it, and announced as that one would be.
// Contacts that are no longer in the collection are skipped; each answers how
// many contacts it changed.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/contacts.h"
#include "model/journal.h"

// A tick for each (MarkContacted at `now`).
std::size_t MarkContacted(Contacts& contacts, const std::vector<std::int32_t>& ids, Time now);
// The same, each told to `told` in place of its window message: a message per
// person costs more than the tick itself when thousands are ticked at once.
std::size_t MarkContacted(Contacts& contacts, const std::vector<std::int32_t>& ids, Time now,
                          const std::function<void(const Contact&)>& told);
// Each moved into the group with Contact::Update, which announces its removal
// from the old group and its addition to the new one; those in it already
// stay as they are.
std::size_t MoveToGroup(Contacts& contacts, const std::vector<std::int32_t>& ids, std::int32_t groupId);
// The same contact made at `time` with the same text in each one's journal, as LogContact.
std::size_t LogContacts(Journal& journal, Contacts& contacts, const std::vector<std::int32_t>& ids, Time time,
                        const std::wstring& text);
// Each snoozed until `until` (0 stops it).
std::size_t SnoozeContacts(Journal& journal, const Contacts& contacts, const std::vector<std::int32_t>& ids,
                           Time until);
