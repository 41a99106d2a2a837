#include <gtest/gtest.h>

#include "model/contacts.h"
#include "model/groups.h"
#include "model/messages.h"
#include "tests/common/message_recorder.h"

namespace {

constexpr Time kBase = 1'700'000'000;

MessageParam Address(const Contact* contact) { return reinterpret_cast<MessageParam>(contact); }

void AddContacts(Contacts& contacts, std::initializer_list<std::int32_t> groupIds) {
  for (std::int32_t groupId : groupIds)
    contacts.Add(L"c" + std::to_wstring(contacts.lastId + 1), L"", Days, 1, kBase, L"", groupId);
}

std::vector<std::int32_t> Ids(const Contacts& contacts) {
  std::vector<std::int32_t> ids;
  for (const auto& contact : contacts) ids.push_back(contact->id);
  return ids;
}

std::vector<std::int32_t> Ids(const Groups& groups) {
  std::vector<std::int32_t> ids;
  for (const auto& group : groups) ids.push_back(group->id);
  return ids;
}

}  // namespace

TEST(Contacts, AddAssignsIdsInOrderAndAnnouncesAfterInsertion) {
  MessageRecorder recorder;
  Contacts contacts;
  contacts.notifyWindow = recorder.window();
  std::size_t sizeDuringSend = 0;
  recorder.OnMessage([&](MessageId, MessageParam) { sizeDuringSend = contacts.items.size(); });

  EXPECT_TRUE(contacts.Add(L"Ann Lee", L"C:\\p.png", Weeks, 2, kBase, L"{\\rtf1 x}", 3));
  ASSERT_EQ(contacts.items.size(), 1u);
  const Contact& ann = *contacts.items[0];
  EXPECT_EQ(ann.id, 1);
  EXPECT_EQ(ann.name, L"Ann Lee");
  EXPECT_EQ(ann.unit, Weeks);
  EXPECT_EQ(ann.count, 2);
  EXPECT_EQ(ann.lastContacted, kBase);
  EXPECT_EQ(ann.previousContacted, kBase);
  EXPECT_EQ(ann.groupId, 3);
  EXPECT_EQ(ann.notifyWindow, recorder.window());
  EXPECT_EQ(sizeDuringSend, 1u);
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0], (RecordedMessage{WM_CONTACT_ADDED, Address(&ann)}));

  // Same name twice is fine for contacts.
  EXPECT_TRUE(contacts.Add(L"Ann Lee", L"", Days, 1, kBase, L"", 3));
  EXPECT_EQ(Ids(contacts), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(contacts.lastId, 2);
}

TEST(Contacts, IdsAreNeverReusedAfterRemovals) {
  Contacts contacts;
  AddContacts(contacts, {1, 1, 1});
  EXPECT_TRUE(contacts.Remove(3));
  EXPECT_TRUE(contacts.Remove(1));
  AddContacts(contacts, {1});
  EXPECT_EQ(Ids(contacts), (std::vector<std::int32_t>{2, 4}));
  EXPECT_FALSE(contacts.Remove(3));
  EXPECT_FALSE(contacts.Remove(-1));
}

TEST(Contacts, RemoveAnnouncesWhileStillFindable) {
  MessageRecorder recorder;
  Contacts contacts;
  AddContacts(contacts, {1, 2, 3});
  contacts.notifyWindow = recorder.window();
  const Contact* second = contacts.items[1].get();
  bool foundDuringSend = false;
  std::size_t sizeDuringSend = 0;
  recorder.OnMessage([&](MessageId message, MessageParam wParam) {
    ASSERT_EQ(message, WM_CONTACT_REMOVED);
    Contacts::Item found;
    foundDuringSend = contacts.Find(2, found) && Address(found.get()) == wParam;
    sizeDuringSend = contacts.items.size();
  });

  EXPECT_TRUE(contacts.Remove(2));
  EXPECT_TRUE(foundDuringSend);
  EXPECT_EQ(sizeDuringSend, 3u);
  EXPECT_EQ(recorder.messages(), (std::vector<RecordedMessage>{{WM_CONTACT_REMOVED, Address(second)}}));
  EXPECT_EQ(Ids(contacts), (std::vector<std::int32_t>{1, 3}));
  Contacts::Item untouched = contacts.items[0];
  EXPECT_FALSE(contacts.Find(2, untouched));
  EXPECT_EQ(untouched, contacts.items[0]);  // out-value left alone when not found
  recorder.Clear();
  EXPECT_FALSE(contacts.Remove(2));
  EXPECT_TRUE(recorder.messages().empty());
}

TEST(Contacts, RemoveByGroupRemovesAdjacentMatchesEachAnnouncedOnce) {
  MessageRecorder recorder;
  Contacts contacts;
  AddContacts(contacts, {5, 7, 7, 7, 5, 7});
  contacts.notifyWindow = recorder.window();
  std::vector<std::int32_t> announced;
  recorder.OnMessage(
      [&](MessageId, MessageParam wParam) { announced.push_back(reinterpret_cast<const Contact*>(wParam)->id); });

  contacts.RemoveByGroup(7);
  EXPECT_EQ(announced, (std::vector<std::int32_t>{2, 3, 4, 6}));
  EXPECT_EQ(Ids(contacts), (std::vector<std::int32_t>{1, 5}));
  contacts.RemoveByGroup(42);
  EXPECT_EQ(announced.size(), 4u);
}

TEST(Contacts, ReceiverChangingTheListDuringRemovalIsSafe) {
  MessageRecorder recorder;
  Contacts contacts;
  AddContacts(contacts, {1, 1, 2});
  contacts.notifyWindow = recorder.window();
  // A receiver that removes the same contact again (nested) must not make the
  // outer removal erase a different one.
  bool nested = false;
  recorder.OnMessage([&](MessageId, MessageParam) {
    if (nested) return;
    nested = true;
    contacts.Remove(3);
  });
  contacts.RemoveByGroup(1);
  EXPECT_TRUE(contacts.items.empty());
}

TEST(Contacts, NoMessagesWithoutALiveReceiver) {
  MessageRecorder recorder;
  Contacts contacts;
  contacts.notifyWindow = recorder.window();
  recorder.Destroy();
  AddContacts(contacts, {1});
  EXPECT_TRUE(contacts.Remove(1));
  EXPECT_TRUE(recorder.messages().empty());
}

TEST(ContactChanges, MarkTwiceThenUndoRestoresFirstMark) {
  MessageRecorder recorder;
  Contact contact(1, L"n", L"", Days, 3, kBase, L"", 1);
  contact.notifyWindow = recorder.window();

  EXPECT_TRUE(contact.MarkContacted(kBase + 100));
  EXPECT_EQ(contact.previousContacted, kBase);
  EXPECT_TRUE(contact.MarkContacted(kBase + 200));
  EXPECT_EQ(contact.previousContacted, kBase + 100);
  contact.UndoContacted();
  EXPECT_EQ(contact.lastContacted, kBase + 100);
  contact.UndoContacted();  // a second undo changes nothing
  EXPECT_EQ(contact.lastContacted, kBase + 100);

  const MessageParam self = Address(&contact);
  EXPECT_EQ(recorder.messages(), (std::vector<RecordedMessage>{{WM_CONTACT_UPDATED, self},
                                                               {WM_CONTACT_UPDATED, self},
                                                               {WM_CONTACT_REVERTED, self},
                                                               {WM_CONTACT_REVERTED, self}}));
}

TEST(ContactChanges, UpdateSendsRemovedThenAddedOnlyWhenTheGroupChanges) {
  MessageRecorder recorder;
  Contact contact(1, L"old", L"a.png", Days, 3, kBase, L"n1", 4);
  contact.notifyWindow = recorder.window();
  contact.MarkContacted(kBase + 50);
  recorder.Clear();

  EXPECT_TRUE(contact.Update(L"new", L"b.png", Months, 2, kBase + 10, L"n2", 4));
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(contact.name, L"new");
  EXPECT_EQ(contact.imagePath, L"b.png");
  EXPECT_EQ(contact.unit, Months);
  EXPECT_EQ(contact.count, 2);
  EXPECT_EQ(contact.lastContacted, kBase + 10);
  EXPECT_EQ(contact.previousContacted, kBase);  // untouched by Update
  EXPECT_EQ(contact.notes, L"n2");

  std::vector<std::int32_t> groupDuringSend;
  recorder.OnMessage([&](MessageId, MessageParam) { groupDuringSend.push_back(contact.groupId); });
  EXPECT_FALSE(contact.Update(L"new", L"b.png", Months, 2, kBase + 10, L"n2", 9));
  const MessageParam self = Address(&contact);
  EXPECT_EQ(recorder.messages(), (std::vector<RecordedMessage>{{WM_CONTACT_REMOVED, self}, {WM_CONTACT_ADDED, self}}));
  EXPECT_EQ(groupDuringSend, (std::vector<std::int32_t>{4, 9}));
  EXPECT_EQ(contact.groupId, 9);
}

TEST(Groups, AddRefusesCaseInsensitiveDuplicatesWithoutAMessage) {
  MessageRecorder recorder;
  Groups groups;
  groups.notifyWindow = recorder.window();
  EXPECT_TRUE(groups.Add(L"Family", L"", Days, 0));
  EXPECT_TRUE(groups.Add(L"\u00C4rzte", L"", Weeks, 2));
  recorder.Clear();
  EXPECT_FALSE(groups.Add(L"FAMILY", L"x", Days, 1));
  EXPECT_FALSE(groups.Add(L"family", L"", Days, 0));
  EXPECT_FALSE(groups.Add(L"\u00E4rzte", L"", Days, 0));
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(groups.items.size(), 2u);
  EXPECT_EQ(groups.lastId, 2);
  EXPECT_TRUE(groups.Add(L"Famil", L"", Days, 0));
  EXPECT_TRUE(groups.Add(L"Family ", L"", Days, 0));
}

TEST(Groups, AddedMessageCarriesTheNewGroupDuringTheSend) {
  MessageRecorder recorder;
  Groups groups;
  groups.notifyWindow = recorder.window();
  std::wstring nameDuringSend;
  std::size_t sizeDuringSend = 0;
  recorder.OnMessage([&](MessageId message, MessageParam wParam) {
    ASSERT_EQ(message, WM_GROUP_ADDED);
    nameDuringSend = (*reinterpret_cast<const Groups::Item*>(wParam))->name;
    sizeDuringSend = groups.items.size();
  });
  Groups::Item added;
  EXPECT_TRUE(groups.AddAndGet(L"Work", L"w.png", Months, 1, added));
  ASSERT_TRUE(added);
  EXPECT_EQ(added->id, 1);
  EXPECT_EQ(added->imagePath, L"w.png");
  EXPECT_EQ(added, groups.items[0]);
  EXPECT_EQ(nameDuringSend, L"Work");
  EXPECT_EQ(sizeDuringSend, 1u);

  Groups::Item refused;
  EXPECT_FALSE(groups.AddAndGet(L"work", L"", Days, 0, refused));
  EXPECT_FALSE(refused);
}

TEST(Groups, RemoveKeepsOrderAndIdsAndAnnouncesTheCollectionsOwnPointer) {
  MessageRecorder recorder;
  Groups groups;
  groups.Add(L"a", L"", Days, 0);
  groups.Add(L"b", L"", Days, 0);
  groups.Add(L"c", L"", Days, 0);
  groups.notifyWindow = recorder.window();
  const Groups::Item* expected = &groups.items[1];
  bool ownPointer = false;
  recorder.OnMessage([&](MessageId, MessageParam wParam) {
    ownPointer = reinterpret_cast<const Groups::Item*>(wParam) == expected && (*expected)->id == 2;
  });

  EXPECT_TRUE(groups.Remove(2));
  EXPECT_TRUE(ownPointer);
  EXPECT_EQ(Ids(groups), (std::vector<std::int32_t>{1, 3}));
  recorder.OnMessage(nullptr);
  groups.Add(L"d", L"", Days, 0);
  EXPECT_EQ(Ids(groups), (std::vector<std::int32_t>{1, 3, 4}));
  EXPECT_FALSE(groups.Remove(2));
  Groups::Item found;
  EXPECT_TRUE(groups.Find(3, found));
  EXPECT_EQ(found->name, L"c");
  EXPECT_FALSE(groups.Find(2, found));
  EXPECT_EQ(found->name, L"c");
}

TEST(Groups, RemovingAGroupThroughItsReceiverRemovesItsContacts) {
  // The main window's reaction to WM_GROUP_REMOVED, played by the test receiver.
  MessageRecorder recorder;
  Groups groups;
  Contacts contacts;
  groups.Add(L"a", L"", Days, 0);
  groups.Add(L"b", L"", Days, 0);
  AddContacts(contacts, {1, 2, 2, 1});
  groups.notifyWindow = recorder.window();
  recorder.OnMessage([&](MessageId message, MessageParam wParam) {
    if (message == WM_GROUP_REMOVED) contacts.RemoveByGroup((*reinterpret_cast<const Groups::Item*>(wParam))->id);
  });
  EXPECT_TRUE(groups.Remove(2));
  EXPECT_EQ(Ids(contacts), (std::vector<std::int32_t>{1, 4}));
}
