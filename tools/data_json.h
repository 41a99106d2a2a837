#pragma once
// The data files as one JSON document, both ways, for amicord-data.
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "model/archive.h"
#include "model/contacts.h"
#include "model/groups.h"
#include "model/journal.h"
#include "model/options.h"

namespace datatool {

using Json = nlohmann::ordered_json;

struct DataSet {
  Groups groups;
  Contacts contacts;
  Options options;
  FileStatus groupsStatus = FileStatus::Missing;
  FileStatus contactsStatus = FileStatus::Missing;
  FileStatus optionsStatus = FileStatus::Missing;
  Journal journal;
  FileStatus journalStatus = FileStatus::Missing;
  // Whether the JSON given to FromJson had a "journal" member.
  bool hasJournal = false;
};

// Input that has the wrong shape; what() names the place, e.g. contacts.items[2].name.
class BadInput : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Strings are kept as UTF-16 code units, one per wchar_t, on every platform.
std::string ToUtf8(const std::wstring& units);
std::wstring FromUtf8(const std::string& text);

Json ToJson(const DataSet& data);
// Throws BadInput.
void FromJson(const Json& document, DataSet& data);

const char* StatusName(FileStatus status);

}  // namespace datatool
