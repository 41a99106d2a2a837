#pragma once
// The address book sync runs on a thread of its own, on a copy of the data:
// the window's thread copies it, and once the sync is done puts what the sync
// changed into the live data, keeping whatever the user changed meanwhile.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/engine.h"

// A copy that shares nothing with the original (no record, no history, no
// notify window), for another thread to change; nothing of it is ever saved.
std::unique_ptr<Engine> CopyForSync(const Engine& engine);

struct SyncApplied {
  // Live ids: contacts added (each announced by the collection), changed in
  // place (for the caller to announce), and those whose cards went from the
  // server, left for the caller to take out and announce as one removal.
  std::vector<std::int32_t> added;
  std::vector<std::int32_t> edited;
  std::vector<std::int32_t> removed;
  // Changed here while the sync ran: the local version and its old link stay,
  // for the next sync to merge again (or, for a card gone from the server, to
  // write anew).
  std::size_t keptLocal = 0;
  bool changed = false;
};

// Puts into live what the sync changed between before (the copy as it was
// handed over) and after (the same copy once synced): contacts the sync added
// get new ids of live's; those it changed or removed are changed or removed
// only where live still holds them as they were in before. The account's
// state follows the sync's, keeping the deletions asked for here meanwhile.
SyncApplied ApplySynced(Engine& live, const Engine& before, const Engine& after);
