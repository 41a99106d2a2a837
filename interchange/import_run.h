#pragma once
// The import as both the program and the data tool do it, once the people are
// read and the choices made: planned, the data files backed up, the ticked
// people added and the data saved.
#include <functional>
#include <string>
#include <vector>

#include "interchange/import_plan.h"
#include "interchange/person.h"
#include "model/engine.h"

namespace interchange {

// Writes the engine's data; false with reason when it could not.
using SaveData = std::function<bool(std::wstring& reason)>;

struct ImportRun {
  // False: the backup could not be made, and nothing was imported.
  bool backedUp = false;
  bool saved = false;
  // Why the backup or the save failed.
  std::wstring reason;
  ImportOutcome outcome;
};

// Plans people into the engine's collections with options and, once the data
// files are backed up, adds the ticked ones (null: the plan's starting ticks)
// and saves through save. Pictures go into "images/contacts" beside the folder
// of the engine's data files.
ImportRun RunImport(Engine& engine, std::vector<Person> people, const ImportOptions& options,
                    const std::vector<bool>* ticked, Time now, const SaveData& save);

}  // namespace interchange
