#pragma once
// The merge of a card changed here and on the server, against the version both
// last agreed on. Nothing a user did is lost: the later contact and snooze
// win, the journals are joined (entries deleted on either side stay deleted),
// and a field changed on both sides takes the server's value.
#include <string>
#include <vector>

#include "sync/sync_card.h"

namespace cardsync {

struct Merged {
  CardFields card;
  // The fields changed on both sides, whose local value gave way ("notes").
  std::vector<std::wstring> conflicts;
};

// base is null for a first sync of a contact with a card that matched it:
// then a field empty on one side takes the other's, and differing ones the
// server's. Phones, e-mail addresses and dates are fields too ("phone",
// "e-mail", "dates"). The UID and other categories are the server's, and so
// are the kept lines, with those this side added beside them.
Merged Merge(const CardFields* base, const CardFields& local, const CardFields& remote);

}  // namespace cardsync
