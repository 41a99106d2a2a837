#include <gtest/gtest.h>

#include <vector>

#include "model/contact_batches.h"
#include "model/messages.h"
#include "tests/common/message_recorder.h"

namespace {

constexpr Time kBase = 1'700'000'000;
constexpr Time kDay = 86400;

class ContactBatches : public ::testing::Test {
 protected:
  void SetUp() override {
    contacts.notifyWindow = recorder.window();
    for (std::int32_t group : {1, 1, 2, 2, 1}) contacts.Add(L"c", L"", Days, 7, kBase - 10 * kDay, L"", group);
    for (const auto& contact : contacts) contact->notifyWindow = recorder.window();
    recorder.Clear();
  }

  Contact& At(std::size_t index) { return *contacts.items[index]; }
  std::vector<MessageId> Messages() const {
    std::vector<MessageId> ids;
    for (const RecordedMessage& message : recorder.messages()) ids.push_back(message.message);
    return ids;
  }

  MessageRecorder recorder;
  Contacts contacts;
  Journal journal;
};

// Each is changed as it would be alone, announced as it would be alone; ids
// given twice count once, ids no longer there are skipped.
TEST_F(ContactBatches, ATickForEachAnnouncedOneByOne) {
  EXPECT_EQ(MarkContacted(contacts, {4, 2, 99, 4}, kBase), 2u);
  EXPECT_EQ(At(3).lastContacted, kBase);
  EXPECT_EQ(At(3).previousContacted, kBase - 10 * kDay);
  EXPECT_EQ(At(1).lastContacted, kBase);
  EXPECT_EQ(At(0).lastContacted, kBase - 10 * kDay);
  const std::vector<RecordedMessage> expected{{WM_CONTACT_UPDATED, reinterpret_cast<MessageParam>(&At(3))},
                                              {WM_CONTACT_UPDATED, reinterpret_cast<MessageParam>(&At(1))}};
  EXPECT_EQ(recorder.messages(), expected);
  EXPECT_EQ(MarkContacted(contacts, {}, kBase), 0u);

  // Told instead: the same ticks in the same order, and no message.
  recorder.Clear();
  std::vector<const Contact*> told;
  EXPECT_EQ(MarkContacted(contacts, {5, 99, 1, 5}, kBase + kDay, [&told](const Contact& c) { told.push_back(&c); }),
            2u);
  EXPECT_EQ(told, (std::vector<const Contact*>{&At(4), &At(0)}));
  EXPECT_EQ(At(4).lastContacted, kBase + kDay);
  EXPECT_EQ(At(0).previousContacted, kBase - 10 * kDay);
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(At(4).notifyWindow, recorder.window()) << "announcing again afterwards";
}

TEST_F(ContactBatches, TakingLeavesTheOthersInOrderAndAnnouncesNothing) {
  const Contact* second = &At(1);
  const std::vector<Contacts::Item> taken = contacts.Take({4, 2, 77, 2});
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].get(), second) << "in the collection's order, alive";
  EXPECT_EQ(taken[1]->id, 4);
  std::vector<std::int32_t> left;
  for (const auto& contact : contacts) left.push_back(contact->id);
  EXPECT_EQ(left, (std::vector<std::int32_t>{1, 3, 5}));
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_TRUE(contacts.Take({}).empty());
}

TEST_F(ContactBatches, MovingGoesThroughUpdateAndLeavesThoseAlreadyThere) {
  std::vector<std::int32_t> groupsDuringSends;
  recorder.OnMessage([&](MessageId, MessageParam param) {
    groupsDuringSends.push_back(reinterpret_cast<const Contact*>(param)->groupId);
  });
  EXPECT_EQ(MoveToGroup(contacts, {1, 3, 4, 50}, 2), 1u) << "3 and 4 are in group 2 already";
  EXPECT_EQ(At(0).groupId, 2);
  EXPECT_EQ(At(0).lastContacted, kBase - 10 * kDay) << "nothing else changes";
  EXPECT_EQ(Messages(), (std::vector<MessageId>{WM_CONTACT_REMOVED, WM_CONTACT_ADDED}));
  EXPECT_EQ(groupsDuringSends, (std::vector<std::int32_t>{1, 2})) << "removed from the old group, added to the new";
  EXPECT_EQ(contacts.items.size(), 5u);
}

TEST_F(ContactBatches, OneLoggedContactAndOneSnoozeGoIntoEachJournal) {
  journal.Snooze(2, kBase + 5 * kDay);
  journal.Snooze(5, kBase + 5 * kDay);
  EXPECT_EQ(LogContacts(journal, contacts, {2, 3}, kBase - kDay, L"Dinner"), 2u);
  for (std::int32_t id : {2, 3}) {
    ASSERT_EQ(journal.Entries(id).size(), 1u) << id;
    EXPECT_EQ(journal.Entries(id)[0].time, kBase - kDay);
    EXPECT_EQ(journal.Entries(id)[0].text, L"Dinner");
    EXPECT_EQ(At(static_cast<std::size_t>(id - 1)).lastContacted, kBase - kDay);
  }
  EXPECT_EQ(journal.SnoozedUntil(2), 0) << "a logged contact ends the snooze";
  EXPECT_EQ(journal.SnoozedUntil(5), kBase + 5 * kDay) << "the others keep theirs";
  EXPECT_TRUE(journal.Entries(1).empty());
  EXPECT_TRUE(recorder.messages().empty()) << "the caller tells what the journal changed";

  EXPECT_EQ(SnoozeContacts(journal, contacts, {1, 5, 42}, kBase + kDay), 2u);
  EXPECT_EQ(journal.SnoozedUntil(1), kBase + kDay);
  EXPECT_EQ(journal.SnoozedUntil(5), kBase + kDay);
  EXPECT_EQ(journal.SnoozedUntil(42), 0);
  EXPECT_EQ(SnoozeContacts(journal, contacts, {1}, 0), 1u);
  EXPECT_EQ(journal.SnoozedUntil(1), 0);
}

}  // namespace
