#include "sync/card_match.h"

namespace cardsync {

CardMatcher::CardMatcher(const Engine& engine) {
  std::vector<std::wstring> keys;
  for (const Contacts::Item& contact : *engine.contacts) {
    if (!contact) continue;
    const ContactHistory* history = engine.journal->Find(contact->id);
    if (history && history->card.Linked()) continue;
    names_.emplace(contact->name, contact->id);
    interchange::ReachKeys(engine.journal->Details(contact->id), keys);
    for (std::wstring& key : keys) reaches_.emplace(std::move(key), contact->id);
  }
}

bool CardMatcher::Take(std::int32_t id) { return taken_.insert(id).second; }

bool CardMatcher::Find(const CardFields& card, std::int32_t& id, std::wstring& by) {
  std::vector<std::wstring> keys;
  interchange::ReachKeys(card.details, keys);
  for (const wchar_t kind : {L'@', L'#'}) {
    for (const std::wstring& key : keys) {
      if (key.front() != kind) continue;
      const auto found = reaches_.find(key);
      if (found == reaches_.end() || !Take(found->second)) continue;
      id = found->second;
      by = kind == L'@' ? L"e-mail" : L"phone";
      return true;
    }
  }
  const auto found = names_.find(card.name);
  if (found == names_.end() || !Take(found->second)) return false;
  id = found->second;
  by = L"name";
  return true;
}

}  // namespace cardsync
