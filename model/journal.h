#pragma once
// What the program remembers beyond the three data files, kept in
// settings\journal.dat: every recorded contact time of each contact, newest
// first, with an optional short text, and a snooze-until time. The three files
// keep the form the older program reads; everything new lives here, keyed by
// contact id.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/card_link.h"
#include "model/contact_details.h"
#include "model/contacts.h"
#include "model/platform.h"

struct JournalEntry {
  Time time = 0;
  std::wstring text;  // at most Journal::kMaxTextLength characters
};

struct ContactHistory {
  Time snoozedUntil = 0;              // 0: not snoozed
  std::vector<JournalEntry> entries;  // newest first
  // The contact's lastContacted when the journal last caught up with it. A
  // later change that did not come through the journal (an older program, the
  // contact dialog) is recorded at the next catch-up; entries the user deleted
  // are not brought back.
  Time knownLastContacted = 0;
  bool known = false;
  ContactDetails details;
  // The address book card this contact is synced with; none without a sync account.
  CardLink card;
};

// The once-a-day reminder: whether it comes, its time of day, and the local
// day it last came, so that a restart does not remind again.
struct ReminderSettings {
  static constexpr std::int32_t kDefaultAt = 540;
  static constexpr std::int32_t kMinutesPerDay = 1440;

  static constexpr std::int32_t kDefaultDateLeadDays = 3;
  static constexpr std::int32_t kMaxDateLeadDays = 30;

  bool enabled = true;
  std::int32_t at = kDefaultAt;  // minutes after local midnight, 0..1439
  std::wstring lastRemindedDay;  // local date "YYYY-MM-DD" of the last notification, "" for none
  // Dates are named this many days before they come round (0..30) and on the day.
  std::int32_t dateLeadDays = kDefaultDateLeadDays;
  // The dates already named, one key each per occurrence and reminder day (the
  // lead and the day itself), so a restart does not name them again; keys of
  // occurrences past are pruned. At most kMaxDatesNamed are kept.
  static constexpr std::size_t kMaxDatesNamed = 20000;
  // A key is a day, a contact id and a label: nothing longer is one.
  static constexpr std::size_t kMaxDateKeyLength = ContactDetails::kMaxTextLength + 32;
  std::set<std::wstring> datesNamed{};

  bool operator==(const ReminderSettings& other) const {
    return enabled == other.enabled && at == other.at && lastRemindedDay == other.lastRemindedDay &&
           dateLeadDays == other.dateLeadDays && datesNamed == other.datesNamed;
  }
  bool operator!=(const ReminderSettings& other) const { return !(*this == other); }
  // Whether reminders come, or when, differs: what makes the day's timers be
  // set again. The day last reminded does not count.
  bool TimingDiffers(const ReminderSettings& other) const { return enabled != other.enabled || at != other.at; }
};

// Whether text is a real calendar date written "YYYY-MM-DD".
bool IsCalendarDay(const std::wstring& text);

// What the program keeps between runs beyond the contacts' histories; a later
// version adds its fields behind a class version.
struct ProgramState {
  ReminderSettings reminders;
  SyncAccount sync;
};

// The contacts whose histories changed (or went) since a save's snapshot last
// took the changes, so that the next one copies only theirs. `all`: any of
// them may have changed (a new or copied journal, a change made to the
// members directly).
struct JournalChanges {
  bool all = true;
  std::set<std::int32_t> ids;
  // Revision() when the changes were last taken: another taker shows as a gap.
  std::uint64_t since = 0;
};

class Journal {
 public:
  static constexpr std::size_t kMaxTextLength = 200;

  // Records an entry in its place among the contact's (newest first; among
  // equal times, before the others). The text is cut to kMaxTextLength.
  void Record(std::int32_t id, Time time, std::wstring text = {});
  // Removes one entry with exactly this time and text; false when there is none.
  bool Remove(std::int32_t id, Time time, const std::wstring& text = {});
  // The index of the contact's first entry with exactly this time and text
  // (0 is the newest); nothing when there is none.
  std::optional<std::size_t> IndexOf(std::int32_t id, Time time, const std::wstring& text) const;
  // Removes the contact's entry at index (0 is the newest); false out of range.
  bool RemoveAt(std::int32_t id, std::size_t index);
  // Forgets the contact altogether; its card, if it has one, is kept in the
  // sync account to be deleted on the server.
  void Drop(std::int32_t id);

  // The contact's history; null when it has none.
  const ContactHistory* Find(std::int32_t id) const;
  const std::vector<JournalEntry>& Entries(std::int32_t id) const;

  // The contact's phones, addresses, dates and kept properties; empty ones
  // when it has none. SetDetails bounds them as loading does and counts in
  // Revision when they differ.
  const ContactDetails& Details(std::int32_t id) const;
  void SetDetails(std::int32_t id, ContactDetails details);

  // 0 stops the snooze.
  void Snooze(std::int32_t id, Time until);
  Time SnoozedUntil(std::int32_t id) const;

  // Every contact whose lastContacted changed outside the journal and is later
  // than its newest entry gets that time as an entry (a contact the journal
  // has not seen yet too); a lastContacted of 0 (never) is no contact. Answers
  // how many entries were added.
  std::size_t CatchUp(const Contacts& contacts);
  // Forgets the contacts that are no longer in the collection; answers how many.
  std::size_t DropMissing(const Contacts& contacts);

  // Replaces the reminders' settings; a change counts in Revision.
  void SetReminders(const ReminderSettings& reminders);

  bool Empty() const { return contacts.empty(); }
  std::size_t EntryCount() const;

  // Counts the changes made through the functions above, so that a save can
  // tell whether the journal needs writing; Touch counts a change made to the
  // members directly.
  std::uint64_t Revision() const { return revision_; }
  void Touch() {
    ++revision_;
    marks_.changes.all = true;
  }
  // What changed since the last call; starts afresh from here.
  JournalChanges TakeChanges();

  std::map<std::int32_t, ContactHistory> contacts;
  ProgramState state;

 private:
  void RememberRemovedCard(const ContactHistory& history);
  void Changed(std::int32_t id) {
    ++revision_;
    marks_.changes.ids.insert(id);
  }

  // A copy starts with everything changed: the changes it was copied with
  // belong to another journal's snapshots.
  struct Marks {
    JournalChanges changes;
    Marks() = default;
    Marks(const Marks&) {}
    Marks& operator=(const Marks&) {
      changes = JournalChanges{};
      return *this;
    }
  };
  std::uint64_t revision_ = 0;
  Marks marks_;
};
