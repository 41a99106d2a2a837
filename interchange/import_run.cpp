#include "interchange/import_run.h"

#include <utility>

#include "interchange/import_files.h"
#include "model/paths.h"

namespace interchange {

ImportRun RunImport(Engine& engine, std::vector<Person> people, const ImportOptions& options,
                    const std::vector<bool>* ticked, Time now, const SaveData& save) {
  ImportRun run;
  const Plan plan = PlanImport(std::move(people), *engine.groups, *engine.contacts, options, engine.journal.get());
  // The backup holds everything as it is just before the import, so restoring
  // it takes back exactly the import.
  std::wstring backup;
  if (!BackUpBeforeImport(engine.FilePaths(), now, backup, run.reason)) return run;
  run.backedUp = true;
  const std::wstring images = paths::ImagesFolderFor(paths::FolderOf(engine.optionsPath));
  run.outcome = ApplyImport(plan, ticked ? *ticked : DefaultTicks(plan), *engine.groups, *engine.contacts, images, now,
                            engine.journal.get());
  run.saved = save && save(run.reason);
  return run;
}

}  // namespace interchange
