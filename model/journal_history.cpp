#include "model/journal_history.h"

namespace {

constexpr Time kSecondsPerDay = 86400;

}  // namespace

bool LogContact(Journal& journal, Contact& contact, Time time, std::wstring text) {
  journal.Record(contact.id, time, std::move(text));
  journal.Snooze(contact.id, 0);
  if (time <= contact.lastContacted) return false;
  contact.previousContacted = contact.lastContacted;
  contact.lastContacted = time;
  return true;
}

void RecordTick(Journal& journal, const Contact& contact) {
  journal.Record(contact.id, contact.lastContacted);
  journal.Snooze(contact.id, 0);
}

void UndoTick(Journal& journal, std::int32_t id, Time tickTime) { journal.Remove(id, tickTime); }

bool DeleteEntry(Journal& journal, Contact& contact, std::size_t index) {
  if (!journal.RemoveAt(contact.id, index) || index != 0) return false;
  const std::vector<JournalEntry>& left = journal.Entries(contact.id);
  if (left.empty()) return false;
  contact.lastContacted = left[0].time;
  contact.previousContacted = left.size() > 1 ? left[1].time : left[0].time;
  return true;
}

void DeleteEntries(Journal& journal, Contact& contact, const std::vector<JournalEntry>& gone) {
  for (const JournalEntry& entry : gone)
    if (const std::optional<std::size_t> index = journal.IndexOf(contact.id, entry.time, entry.text))
      DeleteEntry(journal, contact, *index);
}

std::size_t CountLastTwelveMonths(const std::vector<JournalEntry>& entries, Time now) {
  const Time from = now - 365 * kSecondsPerDay;
  std::size_t count = 0;
  for (const JournalEntry& entry : entries)
    if (entry.time > from && entry.time <= now) ++count;
  return count;
}

long long DaysAfterPrevious(const std::vector<JournalEntry>& entries, std::size_t index) {
  if (index + 1 >= entries.size()) return -1;
  return static_cast<long long>((entries[index].time - entries[index + 1].time) / kSecondsPerDay);
}
