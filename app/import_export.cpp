#include "app/import_export.h"

#include <utility>

#include "app/data_session.h"
#include "app/file_choosers.h"
#include "app/group_tabs.h"
#include "app/message_caption.h"
#include "dialogs/dlg_import.h"
#include "interchange/import_files.h"
#include "interchange/import_plan.h"
#include "interchange/import_run.h"
#include "model/paths.h"
#include "model/platform.h"

namespace {

// More than this many problems are counted rather than all listed in a message.
constexpr std::size_t kListedProblems = 10;

std::wstring ProblemLine(const interchange::Problem& problem) {
  std::wstring line = problem.file;
  if (problem.line > 0) line += L", line " + std::to_wstring(problem.line);
  return line + L": " + problem.why;
}

std::wstring GroupName(const Groups& groups, std::int32_t id) {
  Groups::Item group;
  return groups.Find(id, group) && group ? group->name : std::wstring();
}

}  // namespace

ImportExport::ImportExport(DataSession& session, GroupTabs& tabs) : session_(session), tabs_(tabs) {}

void ImportExport::Tell(const std::wstring& text, UINT icon) const {
  ::MessageBoxW(window_, text.c_str(), kMessageCaption, MB_OK | icon);
}

void ImportExport::Import() {
  const std::vector<std::wstring> paths = CurrentFileChoosers().chooseImportFiles(window_);
  if (!paths.empty()) ImportFiles(paths);
}

void ImportExport::ImportFiles(const std::vector<std::wstring>& paths) {
  interchange::FilesRead read = interchange::ReadImportFiles(paths);
  if (!read.unreadable.empty()) {
    std::wstring text = L"Amicord could not read these files, so nothing was imported:\n";
    for (const std::wstring& line : read.unreadable) text += L"\n" + line;
    Tell(text, MB_ICONWARNING);
    return;
  }
  if (read.people.empty()) {
    std::wstring text = L"No people were found in the chosen files.";
    for (std::size_t i = 0; i < read.problems.size() && i < kListedProblems; ++i)
      text += L"\n" + ProblemLine(read.problems[i]);
    Tell(text, MB_ICONINFORMATION);
    return;
  }

  Engine& engine = session_.GetEngine();
  interchange::ImportOptions options;
  // People without a group go where the user is looking, unless that is "All".
  if (const auto selected = tabs_.SelectedGroupId()) {
    const std::wstring name = GroupName(*engine.groups, *selected);
    if (!name.empty()) options.groupForUngrouped = name;
  }
  interchange::Plan plan = interchange::PlanImport(std::move(read.people), *engine.groups, *engine.contacts, options,
                                                   engine.journal.get());

  DlgImport dialog;
  for (const interchange::PlannedPerson& planned : plan.people)
    dialog.rows.push_back({planned.person.name, planned.person.group.empty() ? L"" : planned.group, planned.duplicate});
  for (const interchange::Problem& problem : read.problems) dialog.problems.push_back(ProblemLine(problem));
  for (const Groups::Item& group : *engine.groups)
    if (group) dialog.groupNames.push_back(group->name);
  dialog.ticked = interchange::DefaultTicks(plan);
  dialog.groupForUngrouped = options.groupForUngrouped;
  dialog.unit = options.unit;
  dialog.count = options.count;
  if (dialog.DoModal(window_) != IDOK) return;

  // Planned again with the choices made: the people stay in the same order, so
  // the ticks still fit.
  options.groupForUngrouped = dialog.groupForUngrouped;
  options.unit = dialog.unit;
  options.count = dialog.count;
  options.newGroupPicture = paths::DefaultGroupPicture();
  std::vector<interchange::Person> people;
  people.reserve(plan.people.size());
  for (interchange::PlannedPerson& planned : plan.people) people.push_back(std::move(planned.person));

  // The backup is to hold every change made before the import too.
  session_.SaveAll();
  const interchange::ImportRun run = interchange::RunImport(engine, std::move(people), options, &dialog.ticked,
                                                            platform::Now(),
                                                            [this](std::wstring&) { return session_.SaveAll(); });
  if (!run.backedUp) {
    Tell(run.reason + L"\n\nNothing was imported.", MB_ICONWARNING);
    return;
  }
  const interchange::ImportOutcome& outcome = run.outcome;
  session_.Tell(Change{Change::Kind::Imported});
  std::wstring text = interchange::ImportSummary(outcome);
  for (std::size_t i = 0; i < outcome.problems.size() && i < kListedProblems; ++i)
    text += L"\n" + ProblemLine(outcome.problems[i]);
  Tell(text, outcome.problems.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
}

void ImportExport::Export() {
  const Engine& engine = session_.GetEngine();
  const auto selected = tabs_.SelectedGroupId();
  const std::wstring groupName = selected ? GroupName(*engine.groups, *selected) : std::wstring();
  const std::optional<ExportTarget> target = CurrentFileChoosers().chooseExportFile(window_, groupName);
  if (!target) return;
  interchange::ExportOptions options;
  if (target->groupOnly && selected && !groupName.empty()) options.groupId = *selected;
  options.now = platform::Now();
  options.warnPercent = engine.options->warnPercent;
  options.warnDays = engine.options->warnDays;
  options.journal = engine.journal.get();
  std::wstring reason;
  if (interchange::WriteExportFile(target->path, interchange::ExportTypeFor(target->path), *engine.contacts,
                                   *engine.groups, options, reason))
    return;
  Tell(L"Amicord could not write the file.\n\n" + target->path + L"\n" + reason, MB_ICONWARNING);
}
