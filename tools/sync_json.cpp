#include "tools/sync_json.h"

namespace datatool {

namespace {

std::wstring Text(const Json& item, const std::string& where, const char* key) {
  const auto found = item.find(key);
  if (found == item.end()) throw BadInput(where + "." + key + ": missing");
  if (!found->is_string()) throw BadInput(where + "." + key + ": expected a string");
  return FromUtf8(found->get<std::string>());
}

}  // namespace

Json CardLinkToJson(const CardLink& link) {
  Json json = {{"uid", ToUtf8(link.uid)},
               {"href", ToUtf8(link.href)},
               {"etag", ToUtf8(link.etag)},
               {"synced", ToUtf8(link.synced)}};
  // Left out while unknown, as a link made before it was kept has it.
  if (link.pictureKnown) json["picture"] = ToUtf8(link.picture);
  return json;
}

Json SyncAccountToJson(const SyncAccount& account) {
  Json removed = Json::array();
  for (const CardLink& link : account.removedHere) removed.push_back(CardLinkToJson(link));
  const Json groups = account.groups.empty() ? Json("all") : Json(account.groups);
  return {{"server", ToUtf8(account.server)},
          {"user", ToUtf8(account.user)},
          {"book", ToUtf8(account.book)},
          {"syncToken", ToUtf8(account.syncToken)},
          {"lastSync", account.lastSync},
          {"removedHere", removed},
          {"groups", groups}};
}

CardLink CardLinkFromJson(const Json& item, const std::string& where) {
  if (!item.is_object()) throw BadInput(where + ": expected an object");
  CardLink link;
  link.uid = Text(item, where, "uid");
  link.href = Text(item, where, "href");
  link.etag = Text(item, where, "etag");
  link.synced = Text(item, where, "synced");
  if (link.synced.size() > CardLink::kMaxCardChars) throw BadInput(where + ".synced: longer than 16 M characters");
  if (item.find("picture") != item.end()) {
    link.picture = Text(item, where, "picture");
    if (link.picture.size() > CardLink::kMaxPicturePath) throw BadInput(where + ".picture: longer than a path");
    link.pictureKnown = true;
  }
  return link;
}

SyncAccount SyncAccountFromJson(const Json& item, const std::string& where) {
  if (!item.is_object()) throw BadInput(where + ": expected an object");
  SyncAccount account;
  account.server = Text(item, where, "server");
  account.user = Text(item, where, "user");
  account.book = Text(item, where, "book");
  account.syncToken = Text(item, where, "syncToken");
  const auto lastSync = item.find("lastSync");
  if (lastSync == item.end() || !lastSync->is_number_integer())
    throw BadInput(where + ".lastSync: expected an integer");
  account.lastSync = lastSync->get<std::int64_t>();
  const auto removed = item.find("removedHere");
  if (removed == item.end() || !removed->is_array()) throw BadInput(where + ".removedHere: expected an array");
  if (removed->size() > SyncAccount::kMaxRemoved) throw BadInput(where + ".removedHere: too many");
  for (std::size_t i = 0; i < removed->size(); ++i)
    account.removedHere.push_back(CardLinkFromJson((*removed)[i], where + ".removedHere[" + std::to_string(i) + "]"));
  // Journals written before the choice of groups sync every group.
  const auto groups = item.find("groups");
  if (groups == item.end() || (groups->is_string() && groups->get<std::string>() == "all")) return account;
  if (!groups->is_array()) throw BadInput(where + ".groups: expected \"all\" or an array of group ids");
  if (groups->size() > SyncAccount::kMaxGroups) throw BadInput(where + ".groups: too many");
  for (const Json& id : *groups) {
    if (!id.is_number_integer()) throw BadInput(where + ".groups: expected group ids");
    account.groups.push_back(id.get<std::int32_t>());
  }
  return account;
}

}  // namespace datatool
