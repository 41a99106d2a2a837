#include "app/change_feed.h"

#include <algorithm>
#include <utility>

ChangeFeed::Subscription& ChangeFeed::Subscription::operator=(Subscription&& other) noexcept {
  if (this != &other) {
    Reset();
    feed_ = other.feed_;
    id_ = other.id_;
    other.feed_ = nullptr;
  }
  return *this;
}

void ChangeFeed::Subscription::Reset() {
  if (feed_) feed_->Unsubscribe(id_);
  feed_ = nullptr;
}

ChangeFeed::Subscription ChangeFeed::Subscribe(Subscriber subscriber) {
  const std::size_t id = nextId_++;
  subscribers_.push_back(Entry{id, std::move(subscriber)});
  return Subscription(this, id);
}

void ChangeFeed::Tell(const Change& change) {
  // By id, not by position: a subscriber may come or go while a change is told.
  std::vector<std::size_t> ids;
  ids.reserve(subscribers_.size());
  for (const Entry& entry : subscribers_) ids.push_back(entry.id);
  for (const std::size_t id : ids) {
    const auto found = std::find_if(subscribers_.begin(), subscribers_.end(),
                                    [id](const Entry& entry) { return entry.id == id; });
    if (found == subscribers_.end()) continue;
    // A copy: the subscriber may end its own subscription while it runs.
    const Subscriber subscriber = found->subscriber;
    if (subscriber) subscriber(change);
  }
}

void ChangeFeed::Unsubscribe(std::size_t id) {
  subscribers_.erase(
      std::remove_if(subscribers_.begin(), subscribers_.end(), [id](const Entry& entry) { return entry.id == id; }),
      subscribers_.end());
}
