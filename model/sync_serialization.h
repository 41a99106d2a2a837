#pragma once
// The sync state's part of journal.dat, behind ContactHistory's version 3 and
// ProgramState's version 4, the groups that sync behind its version 5 (see
// journal_serialization.h).
#include <cstddef>
#include <cstdint>
#include <string>

#include <boost/serialization/collection_size_type.hpp>
#include <boost/serialization/string.hpp>

#include "model/card_link.h"

namespace amicord_sync {

template <class Archive>
void SaveCardLink(Archive& ar, const CardLink& link) {
  ar << link.uid << link.href << link.etag << link.synced;
}

template <class Archive>
void LoadCardLink(Archive& ar, CardLink& link) {
  ar >> link.uid >> link.href >> link.etag >> link.synced;
  // A link that lost its address is no link: the next sync matches the card again.
  if (link.synced.size() > CardLink::kMaxCardChars) link.synced.clear();
}

// Behind ContactHistory's version 4; the links of removedHere never carry it.
template <class Archive>
void SaveCardPicture(Archive& ar, const CardLink& link) {
  const std::int32_t known = link.pictureKnown ? 1 : 0;
  ar << known << link.picture;
}

template <class Archive>
void LoadCardPicture(Archive& ar, CardLink& link) {
  std::int32_t known = 0;
  ar >> known >> link.picture;
  link.pictureKnown = known != 0;
  // No path is longer than Windows' longest; a longer one is no picture we wrote.
  if (link.picture.size() > CardLink::kMaxPicturePath) {
    link.picture.clear();
    link.pictureKnown = false;
  }
}

template <class Archive>
void SaveSyncAccount(Archive& ar, const SyncAccount& account) {
  ar << account.server << account.user << account.book << account.syncToken << account.lastSync;
  const boost::serialization::collection_size_type count(account.removedHere.size());
  ar << count;
  for (const CardLink& link : account.removedHere) SaveCardLink(ar, link);
}

template <class Archive>
void LoadSyncAccount(Archive& ar, SyncAccount& account) {
  ar >> account.server >> account.user >> account.book >> account.syncToken >> account.lastSync;
  boost::serialization::collection_size_type count;
  ar >> count;
  // A link is at least four lengths and their separators.
  ar.RefuseImpossibleCount(count, 8);
  account.removedHere.clear();
  for (std::size_t i = 0; i < count; ++i) {
    CardLink link;
    LoadCardLink(ar, link);
    if (account.removedHere.size() < SyncAccount::kMaxRemoved) account.removedHere.push_back(std::move(link));
  }
}

template <class Archive>
void SaveSyncGroups(Archive& ar, const SyncAccount& account) {
  const boost::serialization::collection_size_type count(account.groups.size());
  ar << count;
  for (const std::int32_t id : account.groups) ar << id;
}

template <class Archive>
void LoadSyncGroups(Archive& ar, SyncAccount& account) {
  boost::serialization::collection_size_type count;
  ar >> count;
  // An id is at least a digit and its separator.
  ar.RefuseImpossibleCount(count, 2);
  account.groups.clear();
  for (std::size_t i = 0; i < count; ++i) {
    std::int32_t id = 0;
    ar >> id;
    if (account.groups.size() < SyncAccount::kMaxGroups) account.groups.push_back(id);
  }
}

}  // namespace amicord_sync
