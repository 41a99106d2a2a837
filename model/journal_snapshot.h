#pragma once
// A journal as a save writes it, made of histories that never change once
// made, so that one snapshot shares with the one before it every history that
// did not change: after a tick, taking a snapshot copies one contact's
// history, not the half a million entries of years of use.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "model/journal.h"

struct JournalSnapshot {
  using History = std::shared_ptr<const ContactHistory>;
  ProgramState state;
  std::vector<std::pair<std::int32_t, History>> contacts;  // by id, ascending, as the journal holds them
};

// The journal as it is now. The histories that `changes` does not name are
// taken from `previous` where it has them (null: none); the others are copied.
std::shared_ptr<const JournalSnapshot> SnapshotOf(const Journal& journal, const JournalChanges& changes,
                                                  const std::shared_ptr<const JournalSnapshot>& previous);
