// The background sync's copy of the data and how its changes come back into
// data the user went on changing, and how its result reads in the tray.
#include <gtest/gtest.h>

#include "model/engine.h"
#include "model/sync_status.h"
#include "model/synced_copy.h"

namespace {

CardLink Link(const std::wstring& uid, const std::wstring& etag) {
  CardLink link;
  link.uid = uid;
  link.href = L"https://dav.example/a/" + uid + L".vcf";
  link.etag = etag;
  link.synced = L"BEGIN:VCARD\r\nFN:" + uid + L"\r\nEND:VCARD\r\n";
  return link;
}

// Anna (1), Bert (2) and Carla (3) in Friends, each linked with a card.
std::unique_ptr<Engine> Live() {
  auto engine = std::make_unique<Engine>(std::wstring());
  engine->groups->Add(L"Friends", L"", Days, 0);
  for (const wchar_t* name : {L"Anna", L"Bert", L"Carla"}) {
    engine->contacts->Add(name, L"", Weeks, 2, 1797000000, L"", 1);
    engine->journal->contacts[engine->contacts->lastId].card = Link(name, L"e1");
  }
  SyncAccount& account = engine->journal->state.sync;
  account.server = L"https://dav.example/";
  account.user = L"anna";
  account.book = L"https://dav.example/a/";
  account.syncToken = L"t1";
  return engine;
}

Contacts::Item Get(const Engine& engine, std::int32_t id) {
  Contacts::Item contact;
  engine.contacts->Find(id, contact);
  return contact;
}

}  // namespace

TEST(SyncedCopy, TheCopySharesNothing) {
  const auto live = Live();
  const auto copy = CopyForSync(*live);
  ASSERT_EQ(copy->contacts->items.size(), 3u);
  copy->contacts->items[0]->name = L"Changed";
  copy->groups->items[0]->name = L"Changed";
  copy->journal->contacts[1].card.etag = L"e9";
  EXPECT_EQ(Get(*live, 1)->name, L"Anna");
  EXPECT_EQ(live->groups->items[0]->name, L"Friends");
  EXPECT_EQ(live->journal->Find(1)->card.etag, L"e1");
}

// The sync changed Anna and Bert; the user changed Bert meanwhile, and added Dora.
TEST(SyncedCopy, WhatTheUserChangedMeanwhileKeepsItsVersionAndOldLink) {
  const auto live = Live();
  const auto before = CopyForSync(*live);
  const auto after = CopyForSync(*live);
  for (const std::int32_t id : {1, 2}) {
    Get(*after, id)->Update(L"Server " + std::to_wstring(id), L"", Weeks, 3, 1797100000, L"", 1);
    after->journal->contacts[id].card.etag = L"e2";
  }
  after->journal->contacts[3].card.etag = L"e2";  // only pushed: the link alone changed
  Get(*live, 2)->Update(L"Bert Local", L"", Weeks, 2, 1797000000, L"", 1);
  live->contacts->Add(L"Dora", L"", Weeks, 2, 1797000000, L"", 1);

  const SyncApplied applied = ApplySynced(*live, *before, *after);
  EXPECT_EQ(applied.edited, (std::vector<std::int32_t>{1, 3}));
  EXPECT_EQ(applied.keptLocal, 1u);
  EXPECT_TRUE(applied.changed);
  EXPECT_EQ(Get(*live, 1)->name, L"Server 1");
  EXPECT_EQ(Get(*live, 1)->count, 3);
  EXPECT_EQ(live->journal->Find(1)->card.etag, L"e2");
  EXPECT_EQ(Get(*live, 2)->name, L"Bert Local");
  EXPECT_EQ(live->journal->Find(2)->card.etag, L"e1") << "the next sync merges it against the old base";
  EXPECT_EQ(live->journal->Find(3)->card.etag, L"e2");
  EXPECT_EQ(Get(*live, 4)->name, L"Dora");
}

TEST(SyncedCopy, ContactsTheSyncAddedGetIdsTheLiveDataHasNotGiven) {
  const auto live = Live();
  const auto before = CopyForSync(*live);
  const auto after = CopyForSync(*live);
  after->groups->Add(L"Imported", L"", Days, 0);
  after->contacts->Add(L"From Server", L"", Weeks, 4, 1797200000, L"", 2);
  after->journal->contacts[4].card = Link(L"srv", L"e1");
  live->contacts->Add(L"Dora", L"", Weeks, 2, 1797000000, L"", 1);  // id 4 here
  live->journal->Record(4, 1797000000, L"met");

  const SyncApplied applied = ApplySynced(*live, *before, *after);
  ASSERT_EQ(applied.added, (std::vector<std::int32_t>{5}));
  EXPECT_EQ(Get(*live, 4)->name, L"Dora");
  EXPECT_EQ(live->journal->Entries(4).size(), 1u) << "Dora's history is not overwritten";
  const Contacts::Item added = Get(*live, 5);
  ASSERT_TRUE(added);
  EXPECT_EQ(added->name, L"From Server");
  EXPECT_EQ(live->journal->Find(5)->card.uid, L"srv");
  Groups::Item group;
  ASSERT_TRUE(live->groups->Find(added->groupId, group) && group);
  EXPECT_EQ(group->name, L"Imported");
}

TEST(SyncedCopy, CardsGoneFromTheServerRemoveOnlyContactsUnchangedHere) {
  const auto live = Live();
  const auto before = CopyForSync(*live);
  const auto after = CopyForSync(*live);
  after->contacts->Take({1, 2});
  after->journal->contacts.erase(1);
  after->journal->contacts.erase(2);
  live->journal->Record(2, 1797050000, L"called");  // Bert ticked while the sync ran

  const SyncApplied applied = ApplySynced(*live, *before, *after);
  EXPECT_EQ(applied.removed, (std::vector<std::int32_t>{1}));
  EXPECT_FALSE(live->journal->Find(1)->card.Linked()) << "not to be deleted on the server a second time";
  EXPECT_EQ(applied.keptLocal, 1u);
  ASSERT_TRUE(Get(*live, 2));
  EXPECT_FALSE(live->journal->Find(2)->card.Linked()) << "unlinked: written as a new card next time";
}

TEST(SyncedCopy, TheAccountFollowsTheSyncAndKeepsDeletionsAskedForMeanwhile) {
  const auto live = Live();
  live->journal->state.sync.removedHere.push_back(Link(L"old", L"e1"));
  const auto before = CopyForSync(*live);
  const auto after = CopyForSync(*live);
  after->journal->state.sync.removedHere.clear();  // done on the server
  after->journal->state.sync.syncToken = L"t2";
  after->journal->state.sync.lastSync = 1797300000;
  live->journal->Drop(3);  // deleted here while the sync ran
  live->contacts->Take({3});

  ApplySynced(*live, *before, *after);
  const SyncAccount& account = live->journal->state.sync;
  EXPECT_EQ(account.syncToken, L"t2");
  EXPECT_EQ(account.lastSync, 1797300000);
  ASSERT_EQ(account.removedHere.size(), 1u);
  EXPECT_EQ(account.removedHere[0].uid, L"Carla");
}

TEST(SyncStatus, TheLineSaysWhenOrWhyNot) {
  const Time now = 1797000000;
  struct Case {
    Time last;
    SyncFailure failure;
    const wchar_t* line;
  } cases[] = {
      {now - 20, SyncFailure::None, L"Synced just now."},
      {now - 150, SyncFailure::None, L"Synced 2 min ago."},
      {now - 3 * 3600 - 5, SyncFailure::None, L"Synced 3 h ago."},
      {0, SyncFailure::NotYet, L"Not synced yet."},
      {now - 60, SyncFailure::NotYet, L"Synced 1 min ago."},
      {now - 60, SyncFailure::Network, L"Not synced: no connection to the server."},
      {now - 60, SyncFailure::Password, L"Not synced: the server did not accept the user name and password."},
  };
  for (const Case& c : cases) {
    SyncStatus status;
    status.lastSync = c.last;
    status.failure = c.failure;
    EXPECT_EQ(SyncStatusLine(status, now), c.line);
  }
  SyncStatus old{now - 3 * 86400, SyncFailure::None, L"", {}};
  EXPECT_EQ(SyncStatusLine(old, now).rfind(L"Synced on ", 0), 0u);
  SyncStatus skipped{now, SyncFailure::None, L"", {L"a.vcf: no name", L"b.vcf: no name"}};
  EXPECT_EQ(SyncStatusText(skipped, now), L"Synced just now. 2 cards were skipped: a.vcf: no name; b.vcf: no name.");
}

TEST(SyncStatus, TheTipKeepsTheLineWholeWithinTheRoom) {
  const std::wstring line = L"Synced 2 min ago.";
  EXPECT_EQ(TipWithLine(L"Amicord: nobody due", line, 127), L"Amicord: nobody due\n" + line);
  const std::wstring longTip =
      L"Amicord: 12 overdue, 3 due today, 40 due soon, 2 birthdays and 5 dates this week, "
      L"and a few more words that do not fit";
  const std::wstring shown = TipWithLine(longTip, line, 80);
  EXPECT_LE(shown.size(), 80u);
  EXPECT_EQ(shown.substr(shown.size() - line.size()), line);
  EXPECT_EQ(shown.rfind(L"Amicord: 12 overdue", 0), 0u);
  EXPECT_NE(shown.find(L"\u2026\n"), std::wstring::npos) << shown;
}
