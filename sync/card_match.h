#pragma once
// The first sync of an Amicord that already holds people: the cards on the
// server that are someone here, by the import's rule for duplicates
// (interchange/same_person.h), so that the sync links them instead of adding
// them twice.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "interchange/same_person.h"
#include "model/engine.h"
#include "sync/sync_card.h"

namespace cardsync {

class CardMatcher {
 public:
  // Takes the contacts that have no card yet.
  explicit CardMatcher(const Engine& engine);

  // The contact the card is: by an e-mail address first, then phone digits,
  // then the name. Each contact matches one card at most; false for none.
  bool Find(const CardFields& card, std::int32_t& id, std::wstring& by);

 private:
  bool Take(std::int32_t id);

  std::map<std::wstring, std::int32_t, interchange::NoCaseLess> names_;
  std::map<std::wstring, std::int32_t> reaches_;
  std::set<std::int32_t> taken_;
};

}  // namespace cardsync
