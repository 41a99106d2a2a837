#pragma once
// The sync state of journal.dat as JSON: "journal"."sync" for the account and
// a "card" member per contact. Without them a journal has no sync state.
#include <string>

#include "model/card_link.h"
#include "tools/data_json.h"

namespace datatool {

Json CardLinkToJson(const CardLink& link);
Json SyncAccountToJson(const SyncAccount& account);
// Throw BadInput naming where.
CardLink CardLinkFromJson(const Json& item, const std::string& where);
SyncAccount SyncAccountFromJson(const Json& item, const std::string& where);

}  // namespace datatool
