#include "model/journal_snapshot.h"

std::shared_ptr<const JournalSnapshot> SnapshotOf(const Journal& journal, const JournalChanges& changes,
                                                  const std::shared_ptr<const JournalSnapshot>& previous) {
  std::shared_ptr<JournalSnapshot> snapshot = std::make_shared<JournalSnapshot>();
  snapshot->state = journal.state;
  snapshot->contacts.reserve(journal.contacts.size());
  // The histories to share from, in ascending order of ids as the journal's.
  const auto* shared = previous && !changes.all ? &previous->contacts : nullptr;
  std::size_t at = 0;
  auto changed = changes.ids.begin();
  for (const auto& [id, history] : journal.contacts) {
    while (changed != changes.ids.end() && *changed < id) ++changed;
    const bool unchanged = changed == changes.ids.end() || *changed != id;
    if (shared)
      while (at < shared->size() && (*shared)[at].first < id) ++at;
    if (unchanged && shared && at < shared->size() && (*shared)[at].first == id)
      snapshot->contacts.emplace_back(id, (*shared)[at].second);
    else
      snapshot->contacts.emplace_back(id, std::make_shared<const ContactHistory>(history));
  }
  return snapshot;
}
