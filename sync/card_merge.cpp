#include "sync/card_merge.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace cardsync {

namespace {

using EntryKey = std::pair<Time, std::wstring>;

std::set<EntryKey> Keys(const std::vector<JournalEntry>& log) {
  std::set<EntryKey> keys;
  for (const JournalEntry& entry : log) keys.emplace(entry.time, entry.text);
  return keys;
}

// Taken three ways; true when local gave way to the server.
template <class T>
bool Pick(const T* base, const T& local, const T& remote, bool localEmpty, bool remoteEmpty, T& out) {
  if (local == remote) {
    out = local;
    return false;
  }
  if (base) {
    if (local == *base) {
      out = remote;
      return false;
    }
    if (remote == *base) {
      out = local;
      return false;
    }
    out = remote;
    return true;
  }
  if (remoteEmpty) {
    out = local;
    return false;
  }
  out = remote;
  return !localEmpty;
}

template <class T>
bool PickList(const std::vector<T>* base, const std::vector<T>& local, const std::vector<T>& remote,
              std::vector<T>& out) {
  return Pick(base, local, remote, local.empty(), remote.empty(), out);
}

// The card's other lines are the server's; a first sync adds the lines only
// this side had (from an imported card), and a later one the lines added here.
std::vector<KeptProperty> JoinKept(const CardFields* base, const CardFields& local, const CardFields& remote) {
  std::vector<KeptProperty> kept = CardKept(remote.details);
  const std::vector<KeptProperty> before = base ? CardKept(base->details) : std::vector<KeptProperty>();
  for (const KeptProperty& property : CardKept(local.details))
    if (std::find(kept.begin(), kept.end(), property) == kept.end() &&
        std::find(before.begin(), before.end(), property) == before.end())
      kept.push_back(property);
  return kept;
}

// The journal entries of both sides, without those one side deleted since the
// last sync. The card holds only the newest entries: one older than the
// card's oldest was not deleted there, only left off.
std::vector<JournalEntry> JoinLogs(const CardFields* base, const CardFields& local, const CardFields& remote) {
  const std::set<EntryKey> localKeys = Keys(local.log);
  const std::set<EntryKey> remoteKeys = Keys(remote.log);
  std::set<EntryKey> gone;
  if (base) {
    const bool remoteFull = remote.log.size() >= kMaxLogLines;
    const Time remoteOldest = remote.log.empty() ? 0 : remote.log.back().time;
    for (const JournalEntry& entry : base->log) {
      const EntryKey key(entry.time, entry.text);
      if (localKeys.count(key) == 0) gone.insert(key);
      if (remoteKeys.count(key) == 0 && (!remoteFull || entry.time >= remoteOldest)) gone.insert(key);
    }
  }
  std::set<EntryKey> joined;
  for (const std::set<EntryKey>* keys : {&localKeys, &remoteKeys})
    for (const EntryKey& key : *keys)
      if (gone.count(key) == 0) joined.insert(key);
  std::vector<JournalEntry> log;
  log.reserve(joined.size());
  for (auto at = joined.rbegin(); at != joined.rend(); ++at) log.push_back({at->first, at->second});
  return log;
}

}  // namespace

Merged Merge(const CardFields* base, const CardFields& local, const CardFields& remote) {
  Merged merged;
  CardFields& card = merged.card;
  card = remote;
  if (Pick(base ? &base->name : nullptr, local.name, remote.name, local.name.empty(), remote.name.empty(), card.name))
    merged.conflicts.push_back(L"name");
  if (Pick(base ? &base->notes : nullptr, local.notes, remote.notes, local.notes.empty(), remote.notes.empty(),
           card.notes))
    merged.conflicts.push_back(L"notes");
  if (Pick(base ? &base->group : nullptr, local.group, remote.group, local.group.empty(), remote.group.empty(),
           card.group))
    merged.conflicts.push_back(L"group");
  const ContactDetails* baseDetails = base ? &base->details : nullptr;
  if (PickList(baseDetails ? &baseDetails->phones : nullptr, local.details.phones, remote.details.phones,
               card.details.phones))
    merged.conflicts.push_back(L"phone");
  if (PickList(baseDetails ? &baseDetails->emails : nullptr, local.details.emails, remote.details.emails,
               card.details.emails))
    merged.conflicts.push_back(L"e-mail");
  if (PickList(baseDetails ? &baseDetails->dates : nullptr, local.details.dates, remote.details.dates,
               card.details.dates))
    merged.conflicts.push_back(L"dates");
  card.details.kept = JoinKept(base, local, remote);
  // A card whose writer dropped our interval keeps ours.
  using Interval = std::tuple<bool, IntervalUnit, std::int32_t>;
  const Interval localInterval(local.hasInterval, local.unit, local.count);
  const Interval remoteInterval = remote.hasInterval ? Interval(true, remote.unit, remote.count) : localInterval;
  const Interval baseInterval = base && base->hasInterval ? Interval(true, base->unit, base->count) : localInterval;
  Interval interval;
  if (Pick(base ? &baseInterval : nullptr, localInterval, remoteInterval, !local.hasInterval, !remote.hasInterval,
           interval))
    merged.conflicts.push_back(L"interval");
  std::tie(card.hasInterval, card.unit, card.count) = interval;
  card.lastContacted = std::max(local.lastContacted, remote.lastContacted);
  card.snoozedUntil = std::max(local.snoozedUntil, remote.snoozedUntil);
  card.log = JoinLogs(base, local, remote);
  // The other device's structured name describes its own name only.
  if (card.name != remote.name) card.nameLine.clear();
  return merged;
}

}  // namespace cardsync
