#pragma once
// Every change to the program's data, told once to each part that follows the
// data (the tabs, the reminders, the find texts...), in the order they
// subscribed. The model's own announcements (its window messages) arrive here
// through the main window; the commands tell what the model does not announce.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

#include "model/contact.h"
#include "model/group.h"

struct Change {
  enum class Kind {
    GroupAdded,
    GroupRemoved,  // its contacts have gone already, each told
    GroupEdited,   // name, picture or default interval
    ContactAdded,
    ContactRemoved,   // before the collection erases it
    ContactsRemoved,  // a group's contacts at once (removedIds), out of the collection, records alive until told
    ContactTicked,    // lastContacted is the tick's time
    TickUndone,
    ContactEdited,     // through its dialog
    JournalChanged,    // an entry logged or deleted, a snooze
    OptionsChanged,    // what options.dat holds, as the Options dialog sets it
    RemindersChanged,  // whether the reminder comes, or when
    Replacing,         // the data is about to be replaced by what the files hold: the rows go first
    Reloaded,          // the data was read again from the files; optionsReread says whether options.dat was
    Imported,          // the people of an import were added (each contact told already)
    FilesRestored,     // a backup was put in place of the files; memory has not followed yet
  };

  Kind kind;
  const Group* group = nullptr;      // for the group kinds
  const Contact* contact = nullptr;  // for the contact kinds and JournalChanged
  Contact* added = nullptr;          // ContactAdded: the same record, for the rows that keep it
  bool optionsReread = false;
  const std::unordered_set<std::int32_t>* removedIds = nullptr;  // ContactsRemoved
};

class ChangeFeed {
 public:
  using Subscriber = std::function<void(const Change&)>;

  // Ends its subscriber's turn when it goes; the feed must outlive it.
  class Subscription {
   public:
    Subscription() = default;
    Subscription(ChangeFeed* feed, std::size_t id) : feed_(feed), id_(id) {}
    Subscription(Subscription&& other) noexcept : feed_(other.feed_), id_(other.id_) { other.feed_ = nullptr; }
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { Reset(); }
    void Reset();

   private:
    ChangeFeed* feed_ = nullptr;
    std::size_t id_ = 0;
  };

  ChangeFeed() = default;
  ChangeFeed(const ChangeFeed&) = delete;
  ChangeFeed& operator=(const ChangeFeed&) = delete;

  [[nodiscard]] Subscription Subscribe(Subscriber subscriber);
  // Synchronous: every subscriber has followed the change when this returns. A
  // subscriber may cause further changes, told inside this one.
  void Tell(const Change& change);

 private:
  struct Entry {
    std::size_t id;
    Subscriber subscriber;
  };
  void Unsubscribe(std::size_t id);

  std::vector<Entry> subscribers_;
  std::size_t nextId_ = 1;
};
