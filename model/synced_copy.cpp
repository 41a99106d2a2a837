#include "model/synced_copy.h"

#include <boost/make_shared.hpp>
#include <map>
#include <set>
#include <string>

namespace {

Contacts::Item CopyContact(const Contact& contact) {
  Contacts::Item copy(new Contact(contact.id, contact.name, contact.imagePath, contact.unit, contact.count,
                                  contact.lastContacted, contact.notes, contact.groupId));
  copy->previousContacted = contact.previousContacted;
  return copy;
}

bool SameContact(const Contact& a, const Contact& b) {
  return a.name == b.name && a.imagePath == b.imagePath && a.unit == b.unit && a.count == b.count &&
         a.lastContacted == b.lastContacted && a.notes == b.notes && a.groupId == b.groupId;
}

bool SameEntries(const std::vector<JournalEntry>& a, const std::vector<JournalEntry>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].time != b[i].time || a[i].text != b[i].text) return false;
  return true;
}

// What a sync writes of a history; the catch-up marks are the journal's own.
bool SameHistory(const ContactHistory* a, const ContactHistory* b) {
  static const ContactHistory kNone;
  if (!a) a = &kNone;
  if (!b) b = &kNone;
  return a->snoozedUntil == b->snoozedUntil && SameEntries(a->entries, b->entries) && a->details == b->details &&
         a->card == b->card;
}

std::map<std::int32_t, Contacts::Item> ById(const Contacts& contacts) {
  std::map<std::int32_t, Contacts::Item> found;
  for (const Contacts::Item& contact : contacts)
    if (contact) found.emplace(contact->id, contact);
  return found;
}

bool SameName(const std::wstring& a, const std::wstring& b) { return platform::CompareNoCase(a, b) == 0; }

// The live group for each group of after's: the same id for those that were
// there before, a group of the same name (made when missing) for those the
// sync made.
std::map<std::int32_t, std::int32_t> MapGroups(Engine& live, const Engine& before, const Engine& after,
                                               SyncApplied& applied) {
  std::set<std::int32_t> known;
  for (const Groups::Item& group : *before.groups)
    if (group) known.insert(group->id);
  std::map<std::int32_t, std::int32_t> map;
  for (const Groups::Item& group : *after.groups) {
    if (!group) continue;
    if (known.count(group->id) != 0) {
      map[group->id] = group->id;
      continue;
    }
    std::int32_t liveId = -1;
    for (const Groups::Item& existing : *live.groups)
      if (existing && SameName(existing->name, group->name)) liveId = existing->id;
    Groups::Item added;
    if (liveId < 0 && live.groups->AddAndGet(group->name, group->imagePath, group->unit, group->count, added) &&
        added) {
      liveId = added->id;
      applied.changed = true;
    }
    map[group->id] = liveId;
  }
  return map;
}

std::int32_t LiveGroup(const std::map<std::int32_t, std::int32_t>& groups, std::int32_t id) {
  const auto found = groups.find(id);
  return found == groups.end() ? id : found->second;
}

void CopyHistory(Journal& journal, std::int32_t id, const ContactHistory* from) {
  journal.contacts[id] = from ? *from : ContactHistory{};
}

bool SameLink(const CardLink& a, const CardLink& b) { return a.href == b.href; }

}  // namespace

std::unique_ptr<Engine> CopyForSync(const Engine& engine) {
  // A fresh engine, not a copy of this one: that would share the records
  // of its last save's snapshot.
  auto copy = std::make_unique<Engine>(std::wstring());
  copy->groupsPath = engine.groupsPath;
  copy->contactsPath = engine.contactsPath;
  copy->optionsPath = engine.optionsPath;
  copy->journalPath = engine.journalPath;
  copy->saveJournal = engine.saveJournal;
  auto groups = boost::make_shared<Groups>();
  groups->lastId = engine.groups->lastId;
  for (const Groups::Item& group : *engine.groups)
    if (group)
      groups->items.emplace_back(new Group(group->id, group->name, group->imagePath, group->unit, group->count));
  auto contacts = boost::make_shared<Contacts>();
  contacts->lastId = engine.contacts->lastId;
  contacts->items.reserve(engine.contacts->items.size());
  for (const Contacts::Item& contact : *engine.contacts)
    if (contact) contacts->items.push_back(CopyContact(*contact));
  copy->groups = groups;
  copy->contacts = contacts;
  copy->options = boost::make_shared<Options>(*engine.options);
  copy->journal = boost::make_shared<Journal>(*engine.journal);
  return copy;
}

SyncApplied ApplySynced(Engine& live, const Engine& before, const Engine& after) {
  SyncApplied applied;
  const std::map<std::int32_t, std::int32_t> groups = MapGroups(live, before, after, applied);
  const std::map<std::int32_t, Contacts::Item> was = ById(*before.contacts);
  const std::map<std::int32_t, Contacts::Item> now = ById(*after.contacts);
  const std::map<std::int32_t, Contacts::Item> here = ById(*live.contacts);
  Journal& journal = *live.journal;
  const auto unchangedHere = [&](std::int32_t id, const Contact& old) {
    const auto found = here.find(id);
    return found != here.end() && SameContact(*found->second, old) &&
           SameHistory(journal.Find(id), before.journal->Find(id));
  };

  for (const auto& [id, old] : was) {
    const auto synced = now.find(id);
    const bool gone = synced == now.end();
    if (!gone && SameContact(*old, *synced->second) && SameHistory(before.journal->Find(id), after.journal->Find(id)))
      continue;
    if (here.find(id) == here.end()) continue;  // deleted here meanwhile: the next sync deletes its card
    if (!unchangedHere(id, *old)) {
      ++applied.keptLocal;
      // Its card is gone from the server: what the user changed is kept, to be written as a new card.
      if (gone) {
        journal.contacts[id].card = CardLink{};
        journal.Touch();
        applied.changed = true;
      }
      continue;
    }
    applied.changed = true;
    if (gone) {
      // Not to be deleted on the server again: it is gone there.
      journal.contacts[id].card = CardLink{};
      journal.Touch();
      applied.removed.push_back(id);
      continue;
    }
    const Contact& source = *synced->second;
    Contact& target = *here.at(id);
    CopyHistory(journal, id, after.journal->Find(id));
    journal.Touch();
    target.previousContacted = source.previousContacted;
    target.Update(source.name, source.imagePath, source.unit, source.count, source.lastContacted, source.notes,
                  LiveGroup(groups, source.groupId));
    applied.edited.push_back(id);
  }

  for (const auto& [id, contact] : now) {
    if (was.count(id) != 0) continue;
    Contacts::Item added = CopyContact(*contact);
    added->groupId = LiveGroup(groups, contact->groupId);
    // The history is in place before the collection announces the contact: the rows read it.
    const std::int32_t liveId = live.contacts->lastId + 1;
    CopyHistory(journal, liveId, after.journal->Find(id));
    journal.Touch();
    if (!live.contacts->Insert(added)) continue;
    applied.added.push_back(added->id);
    applied.changed = true;
  }

  SyncAccount account = after.journal->state.sync;
  // Cards of contacts deleted here while the sync ran are still to be deleted there.
  for (const CardLink& link : journal.state.sync.removedHere) {
    bool known = false;
    for (const CardLink& old : before.journal->state.sync.removedHere) known = known || SameLink(old, link);
    if (!known && account.removedHere.size() < SyncAccount::kMaxRemoved) account.removedHere.push_back(link);
  }
  if (!(account == journal.state.sync)) {
    journal.state.sync = std::move(account);
    journal.Touch();
    applied.changed = true;
  }
  return applied;
}
