#pragma once
// How the journal goes into journal.dat, in the same archive form as the other
// files. Each class carries a version: a later build adds a field behind
// `if (version > n)` and still reads every earlier file. Counts are bounded by
// what the file can still hold before anything is allocated.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include <boost/archive/archive_exception.hpp>
#include <boost/serialization/collection_size_type.hpp>
#include <boost/serialization/split_free.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/version.hpp>

#include "model/journal.h"
#include "model/sync_serialization.h"
#include "model/text_cut.h"

BOOST_CLASS_VERSION(JournalEntry, 1)
// Version 2 is the contact details' (kept for them); 3 adds the card link.
BOOST_CLASS_VERSION(ContactHistory, 3)
// Version 3 is the date reminders' (kept for them); 4 adds the sync account.
BOOST_CLASS_VERSION(ProgramState, 4)
BOOST_CLASS_VERSION(Journal, 1)

BOOST_SERIALIZATION_SPLIT_FREE(ProgramState)
BOOST_SERIALIZATION_SPLIT_FREE(ContactHistory)
BOOST_SERIALIZATION_SPLIT_FREE(Journal)

namespace boost {
namespace serialization {

namespace amicord {

[[noreturn]] inline void RefuseJournal() {
  boost::serialization::throw_exception(
      boost::archive::archive_exception(boost::archive::archive_exception::input_stream_error));
}

}  // namespace amicord

template <class Archive>
void serialize(Archive& ar, JournalEntry& entry, unsigned /*version*/) {
  ar& entry.time& entry.text;
}

template <class Archive>
void save(Archive& ar, const ProgramState& state, unsigned /*version*/) {
  const ReminderSettings& reminders = state.reminders;
  const std::int32_t enabled = reminders.enabled ? 1 : 0;
  ar << enabled << reminders.at << reminders.lastRemindedDay;
  amicord_sync::SaveSyncAccount(ar, state.sync);
}

// A version-1 file has no state and keeps the defaults. A value out of range
// is put back to its default, as a text too long is cut: the rest of the file
// is still good.
template <class Archive>
void load(Archive& ar, ProgramState& state, unsigned version) {
  state = ProgramState{};
  if (version < 2) return;
  ReminderSettings& reminders = state.reminders;
  std::int32_t enabled = 1;
  ar >> enabled >> reminders.at >> reminders.lastRemindedDay;
  reminders.enabled = enabled != 0;
  if (reminders.at < 0 || reminders.at >= ReminderSettings::kMinutesPerDay) reminders.at = ReminderSettings::kDefaultAt;
  if (!reminders.lastRemindedDay.empty() && !IsCalendarDay(reminders.lastRemindedDay))
    reminders.lastRemindedDay.clear();
  if (version >= 4) amicord_sync::LoadSyncAccount(ar, state.sync);
}

template <class Archive>
void save(Archive& ar, const ContactHistory& history, unsigned /*version*/) {
  const std::int32_t known = history.known ? 1 : 0;
  ar << history.snoozedUntil << known << history.knownLastContacted;
  const collection_size_type count(history.entries.size());
  ar << count;
  for (const JournalEntry& entry : history.entries) ar << entry;
  amicord_sync::SaveCardLink(ar, history.card);
}

template <class Archive>
void load(Archive& ar, ContactHistory& history, unsigned version) {
  std::int32_t known = 0;
  ar >> history.snoozedUntil >> known >> history.knownLastContacted;
  history.known = known != 0;
  collection_size_type count;
  ar >> count;
  // An entry is at least a time, a length and their separators.
  ar.RefuseImpossibleCount(count, 4);
  history.entries.clear();
  history.entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    JournalEntry entry;
    ar >> entry;
    entry.text = text::CutText(std::move(entry.text), Journal::kMaxTextLength);
    // Newest first is what every reader of the journal relies on.
    if (!history.entries.empty() && entry.time > history.entries.back().time) amicord::RefuseJournal();
    history.entries.push_back(std::move(entry));
  }
  if (version >= 3) amicord_sync::LoadCardLink(ar, history.card);
}

template <class Archive>
void save(Archive& ar, const Journal& journal, unsigned /*version*/) {
  ar << journal.state;
  const collection_size_type count(journal.contacts.size());
  ar << count;
  for (const auto& [id, history] : journal.contacts) ar << id << history;
}

template <class Archive>
void load(Archive& ar, Journal& journal, unsigned /*version*/) {
  ar >> journal.state;
  collection_size_type count;
  ar >> count;
  ar.RefuseImpossibleCount(count, 8);
  journal.contacts.clear();
  for (std::size_t i = 0; i < count; ++i) {
    std::int32_t id = 0;
    ContactHistory history;
    ar >> id >> history;
    // Ids are written in order, each once; the history read so far stays.
    if (!journal.contacts.empty() && id <= journal.contacts.rbegin()->first) amicord::RefuseJournal();
    journal.contacts.emplace_hint(journal.contacts.end(), id, std::move(history));
  }
}

}  // namespace serialization
}  // namespace boost
