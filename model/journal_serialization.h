#pragma once
// How the journal goes into journal.dat, in the same archive form as the other
// files. Each class carries a version: a later build adds a field behind
// `if (version > n)` and still reads every earlier file. Counts are bounded by
// what the file can still hold before anything is allocated.
#include <cstddef>
#include <algorithm>
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
BOOST_CLASS_VERSION(ContactHistory, 4)
// Version 3 is the date reminders' (kept for them); 4 adds the sync account,
// 5 the groups that sync.
BOOST_CLASS_VERSION(ProgramState, 5)
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

// A count, bounded by what the rest of the file can hold: each element is at
// least minUnitsEach characters.
template <class Archive>
std::size_t LoadCount(Archive& ar, std::size_t minUnitsEach) {
  collection_size_type count;
  ar >> count;
  ar.RefuseImpossibleCount(count, minUnitsEach);
  return count;
}

// Strings are at least their length, a space and a separator.
constexpr std::size_t kMinStringUnits = 3;

template <class Archive>
void SaveDetails(Archive& ar, const ContactDetails& details) {
  ar << collection_size_type(details.phones.size());
  for (const Phone& phone : details.phones) ar << phone.label << phone.number;
  ar << collection_size_type(details.emails.size());
  for (const EmailAddress& email : details.emails) ar << email.label << email.address;
  ar << collection_size_type(details.dates.size());
  for (const ImportantDate& date : details.dates) ar << date.label << date.month << date.day << date.year;
  ar << collection_size_type(details.kept.size());
  for (const KeptProperty& kept : details.kept) ar << kept.column << kept.text;
}

// Every list is read whole (the file's form leaves no way to skip), then put
// within the bounds a contact carries.
template <class Archive>
void LoadDetails(Archive& ar, ContactDetails& details) {
  details = ContactDetails{};
  std::size_t count = LoadCount(ar, 2 * kMinStringUnits);
  details.phones.reserve(std::min(count, ContactDetails::kMaxItems));
  for (std::size_t i = 0; i < count; ++i) {
    Phone phone;
    ar >> phone.label >> phone.number;
    if (details.phones.size() < ContactDetails::kMaxItems) details.phones.push_back(std::move(phone));
  }
  count = LoadCount(ar, 2 * kMinStringUnits);
  details.emails.reserve(std::min(count, ContactDetails::kMaxItems));
  for (std::size_t i = 0; i < count; ++i) {
    EmailAddress email;
    ar >> email.label >> email.address;
    if (details.emails.size() < ContactDetails::kMaxItems) details.emails.push_back(std::move(email));
  }
  count = LoadCount(ar, kMinStringUnits + 6);
  for (std::size_t i = 0; i < count; ++i) {
    ImportantDate date;
    ar >> date.label >> date.month >> date.day >> date.year;
    if (details.dates.size() < 2 * ContactDetails::kMaxItems) details.dates.push_back(std::move(date));
  }
  count = LoadCount(ar, 2 * kMinStringUnits);
  std::size_t chars = 0;
  for (std::size_t i = 0; i < count; ++i) {
    KeptProperty kept;
    ar >> kept.column >> kept.text;
    chars += kept.column.size() + kept.text.size();
    if (chars <= ContactDetails::kMaxKeptChars) details.kept.push_back(std::move(kept));
  }
  BoundDetails(details);
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
  ar << reminders.dateLeadDays << collection_size_type(reminders.datesNamed.size());
  for (const std::wstring& key : reminders.datesNamed) ar << key;
  amicord_sync::SaveSyncAccount(ar, state.sync);
  amicord_sync::SaveSyncGroups(ar, state.sync);
}

// A version-1 file has no state and keeps the defaults. A value out of range
// is put back to its default, as a text too long is cut: the rest of the file
// is still good.
template <class Archive>
void load(Archive& ar, ProgramState& state, unsigned version) {
  state = ProgramState{};
  if (version < 2) return;
  ReminderSettings& reminders = state.reminders;
  // Numbers are read into locals first: a number too large for its type is
  // stored as the largest one before the read fails, and the state read so
  // far stays.
  std::int32_t enabled = 1;
  std::int32_t at = ReminderSettings::kDefaultAt;
  ar >> enabled >> at;
  reminders.enabled = enabled != 0;
  if (at >= 0 && at < ReminderSettings::kMinutesPerDay) reminders.at = at;
  std::wstring day;
  ar >> day;
  if (day.empty() || IsCalendarDay(day)) reminders.lastRemindedDay = std::move(day);
  if (version < 3) return;
  std::int32_t lead = ReminderSettings::kDefaultDateLeadDays;
  ar >> lead;
  if (lead >= 0 && lead <= ReminderSettings::kMaxDateLeadDays) reminders.dateLeadDays = lead;
  const std::size_t count = amicord::LoadCount(ar, amicord::kMinStringUnits);
  for (std::size_t i = 0; i < count; ++i) {
    std::wstring key;
    ar >> key;
    if (key.size() <= ReminderSettings::kMaxDateKeyLength &&
        reminders.datesNamed.size() < ReminderSettings::kMaxDatesNamed)
      reminders.datesNamed.insert(std::move(key));
  }
  if (version >= 4) amicord_sync::LoadSyncAccount(ar, state.sync);
  if (version >= 5) amicord_sync::LoadSyncGroups(ar, state.sync);
}

template <class Archive>
void save(Archive& ar, const ContactHistory& history, unsigned /*version*/) {
  const std::int32_t known = history.known ? 1 : 0;
  ar << history.snoozedUntil << known << history.knownLastContacted;
  const collection_size_type count(history.entries.size());
  ar << count;
  for (const JournalEntry& entry : history.entries) ar << entry;
  amicord::SaveDetails(ar, history.details);
  amicord_sync::SaveCardLink(ar, history.card);
  amicord_sync::SaveCardPicture(ar, history.card);
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
  history.details = ContactDetails{};
  if (version >= 2) amicord::LoadDetails(ar, history.details);
  if (version >= 3) amicord_sync::LoadCardLink(ar, history.card);
  if (version >= 4) amicord_sync::LoadCardPicture(ar, history.card);
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
