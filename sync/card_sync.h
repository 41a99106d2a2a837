#pragma once
// Two-way sync of the engine's contacts with one CardDAV address book. Reads
// everything it needs from the server before it changes anything here, so a
// connection that breaks off leaves the data as it was; each card written is
// recorded as soon as the server took it. The caller saves.
#include <string>
#include <vector>

#include "model/carddav_client.h"
#include "model/engine.h"
#include "model/proposed_match.h"

namespace cardsync {

struct Account {
  std::wstring server;  // a server, principal or address book address
  std::wstring user;
  std::wstring book;  // empty: the one the server address is, or the default one
};

struct Report {
  int pulled = 0;   // contacts added or changed here
  int pushed = 0;   // cards written to the server
  int deleted = 0;  // contacts removed here and cards removed there
  // "Anna Berg (notes)": changed on both sides, the server's value kept.
  std::vector<std::wstring> conflicts;
  // Cards that could not be read or written, named.
  std::vector<std::wstring> problems;
  bool failed = false;
  bool unauthorized = false;
  // How the request that failed went: no answer, a refused certificate...
  http::Failure network = http::Failure::None;
  std::wstring failure;
  // Whether the engine's data changed (and wants saving).
  bool changed = false;
};

Report Sync(Engine& engine, carddav::Client& client, const Account& account, Time now);

// The first sync's links with contacts already here that a sync would make
// now, for the user to see before it does; nothing is changed. The report
// tells whether the server could be read and names the cards that could not.
Report ProposeMatches(Engine& engine, carddav::Client& client, const Account& account,
                      std::vector<ProposedMatch>& proposals);

// The one message of a sync's conflicts: "2 contacts were changed here and on
// another device; the other device's version was kept: Anna Berg (phone),
// Bert Costa (notes)."; empty for none.
std::wstring ConflictSummary(const std::vector<std::wstring>& conflicts);

// The group a card from elsewhere goes into when it names none.
inline constexpr wchar_t kGroupForUngrouped[] = L"Imported";

}  // namespace cardsync
