#pragma once
// What the address book sync remembers, in journal.dat: for each contact the
// card it is linked with, and for the account where it syncs to. The password
// is never among it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/platform.h"

struct CardLink {
  static constexpr std::size_t kMaxCardChars = 16u << 20;
  // Windows' longest path.
  static constexpr std::size_t kMaxPicturePath = 32767;

  std::wstring uid;
  std::wstring href;  // the card's absolute address on the server
  std::wstring etag;
  // The card as it was when both sides last agreed: the base of the three-way
  // merge of the next sync.
  std::wstring synced;
  // The contact's picture file when the card's picture last matched it: a
  // contact given another picture here sends it at the next sync. Unknown for
  // links made before it was kept: the picture then stays as it is.
  std::wstring picture;
  bool pictureKnown = false;

  bool Linked() const { return !href.empty(); }
  bool operator==(const CardLink& other) const {
    return uid == other.uid && href == other.href && etag == other.etag && synced == other.synced &&
           picture == other.picture && pictureKnown == other.pictureKnown;
  }
};

struct SyncAccount {
  static constexpr std::size_t kMaxRemoved = 100000;
  static constexpr std::size_t kMaxGroups = 10000;

  std::wstring server;  // as the user gave it
  std::wstring user;
  std::wstring book;  // the address book's absolute address
  std::wstring syncToken;
  Time lastSync = 0;
  // The cards of contacts deleted here, still to be deleted on the server.
  std::vector<CardLink> removedHere;
  // The ids of the groups that sync; empty is every group, those made later too.
  std::vector<std::int32_t> groups;

  bool Empty() const { return server.empty() && book.empty() && removedHere.empty(); }
  bool SyncsGroup(std::int32_t groupId) const {
    return groups.empty() || std::find(groups.begin(), groups.end(), groupId) != groups.end();
  }
  bool operator==(const SyncAccount& other) const {
    return server == other.server && user == other.user && book == other.book && syncToken == other.syncToken &&
           lastSync == other.lastSync && removedHere == other.removedHere && groups == other.groups;
  }
};
