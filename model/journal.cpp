#include "model/journal.h"

#include <algorithm>
#include <utility>

#include "model/text_cut.h"

namespace {

const std::vector<JournalEntry> kNoEntries;
const ContactDetails kNoDetails;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

bool IsCalendarDay(const std::wstring& text) {
  if (text.size() != 10 || text[4] != L'-' || text[7] != L'-') return false;
  int parts[3] = {0, 0, 0};
  const std::size_t starts[3] = {0, 5, 8};
  const std::size_t lengths[3] = {4, 2, 2};
  for (int part = 0; part < 3; ++part) {
    for (std::size_t i = starts[part]; i < starts[part] + lengths[part]; ++i) {
      if (text[i] < L'0' || text[i] > L'9') return false;
      parts[part] = parts[part] * 10 + (text[i] - L'0');
    }
  }
  const int year = parts[0];
  const int month = parts[1];
  const int day = parts[2];
  if (month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int monthDays = month == 2 && IsLeapYear(year) ? 29 : kDaysInMonth[month - 1];
  return day <= monthDays;
}

void Journal::Record(std::int32_t id, Time time, std::wstring text) {
  text = text::CutText(std::move(text), kMaxTextLength);
  std::vector<JournalEntry>& entries = contacts[id].entries;
  const auto at = std::find_if(entries.begin(), entries.end(),
                               [time](const JournalEntry& e) { return e.time <= time; });
  entries.insert(at, JournalEntry{time, std::move(text)});
  Changed(id);
}

bool Journal::Remove(std::int32_t id, Time time, const std::wstring& text) {
  const std::optional<std::size_t> index = IndexOf(id, time, text);
  return index && RemoveAt(id, *index);
}

std::optional<std::size_t> Journal::IndexOf(std::int32_t id, Time time, const std::wstring& text) const {
  const std::vector<JournalEntry>& entries = Entries(id);
  const auto at = std::find_if(entries.begin(), entries.end(),
                               [&](const JournalEntry& e) { return e.time == time && e.text == text; });
  if (at == entries.end()) return std::nullopt;
  return static_cast<std::size_t>(at - entries.begin());
}

bool Journal::RemoveAt(std::int32_t id, std::size_t index) {
  const auto found = contacts.find(id);
  if (found == contacts.end() || index >= found->second.entries.size()) return false;
  found->second.entries.erase(found->second.entries.begin() + static_cast<std::ptrdiff_t>(index));
  Changed(id);
  return true;
}

void Journal::Drop(std::int32_t id) {
  const auto found = contacts.find(id);
  if (found == contacts.end()) return;
  RememberRemovedCard(found->second);
  contacts.erase(found);
  Changed(id);
}

void Journal::RememberRemovedCard(const ContactHistory& history) {
  if (history.card.Linked() && state.sync.removedHere.size() < SyncAccount::kMaxRemoved)
    state.sync.removedHere.push_back(history.card);
}

const ContactHistory* Journal::Find(std::int32_t id) const {
  const auto found = contacts.find(id);
  return found == contacts.end() ? nullptr : &found->second;
}

const std::vector<JournalEntry>& Journal::Entries(std::int32_t id) const {
  const ContactHistory* history = Find(id);
  return history ? history->entries : kNoEntries;
}

const ContactDetails& Journal::Details(std::int32_t id) const {
  const ContactHistory* history = Find(id);
  return history ? history->details : kNoDetails;
}

void Journal::SetDetails(std::int32_t id, ContactDetails details) {
  BoundDetails(details);
  const auto found = contacts.find(id);
  if (found == contacts.end() ? details.Empty() : found->second.details == details) return;
  contacts[id].details = std::move(details);
  Changed(id);
}

void Journal::Snooze(std::int32_t id, Time until) {
  if (until == 0) {
    const auto found = contacts.find(id);
    if (found != contacts.end() && found->second.snoozedUntil != 0) {
      found->second.snoozedUntil = 0;
      Changed(id);
    }
    return;
  }
  contacts[id].snoozedUntil = until;
  Changed(id);
}

Time Journal::SnoozedUntil(std::int32_t id) const {
  const ContactHistory* history = Find(id);
  return history ? history->snoozedUntil : 0;
}

std::size_t Journal::CatchUp(const Contacts& contacts) {
  std::size_t added = 0;
  for (const Contacts::Item& contact : contacts) {
    if (!contact) continue;
    ContactHistory& history = this->contacts[contact->id];
    const Time last = contact->lastContacted;
    const bool changed = !history.known || history.knownLastContacted != last;
    // 0 is "never contacted", not a contact on 1 January 1970.
    const bool contacted = last > 0;
    if (changed && contacted && (history.entries.empty() || last > history.entries.front().time)) {
      history.entries.insert(history.entries.begin(), JournalEntry{last, {}});
      ++added;
    }
    if (changed) Changed(contact->id);
    history.knownLastContacted = last;
    history.known = true;
  }
  return added;
}

std::size_t Journal::DropMissing(const Contacts& contacts) {
  // Sorted ids, not a hash set: this runs at every save, and a set costs an
  // allocation a contact.
  std::vector<std::int32_t> present;
  present.reserve(contacts.items.size());
  for (const Contacts::Item& contact : contacts)
    if (contact) present.push_back(contact->id);
  std::sort(present.begin(), present.end());
  std::size_t dropped = 0;
  auto next = present.begin();
  for (auto at = this->contacts.begin(); at != this->contacts.end();) {
    next = std::lower_bound(next, present.end(), at->first);
    if (next == present.end() || *next != at->first) {
      RememberRemovedCard(at->second);
      Changed(at->first);
      at = this->contacts.erase(at);
      ++dropped;
    } else {
      ++at;
    }
  }
  return dropped;
}

void Journal::SetReminders(const ReminderSettings& reminders) {
  if (state.reminders == reminders) return;
  state.reminders = reminders;
  ++revision_;
}

JournalChanges Journal::TakeChanges() {
  JournalChanges taken = std::move(marks_.changes);
  marks_.changes = JournalChanges{};
  marks_.changes.all = false;
  marks_.changes.since = revision_;
  return taken;
}

std::size_t Journal::EntryCount() const {
  std::size_t count = 0;
  for (const auto& [id, history] : contacts) count += history.entries.size();
  return count;
}
