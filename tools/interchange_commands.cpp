#include "tools/interchange_commands.h"

#include <cstdio>
#include <iostream>

#include "interchange/import_files.h"
#include "interchange/import_plan.h"
#include "interchange/import_run.h"
#include "model/engine.h"
#include "tools/data_json.h"

namespace datatool {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;

void Tell(const std::wstring& text) { std::cerr << "amicord-data: " << ToUtf8(text) << "\n"; }

// The program refuses to write over data it could not read whole; so does the tool.
bool LoadWhole(Engine& engine) {
  const Engine::LoadReport report = engine.Load();
  for (const std::wstring& path : report.damagedFiles) Tell(path + L" is damaged; nothing was changed");
  return !report.AnyDamaged();
}

Json ProblemJson(const interchange::Problem& problem) {
  Json entry = Json::object();
  entry["file"] = ToUtf8(problem.file);
  entry["line"] = problem.line;
  entry["why"] = ToUtf8(problem.why);
  return entry;
}

}  // namespace

int Import(const std::wstring& folder, const std::vector<std::wstring>& paths,
           const std::optional<std::wstring>& group) {
  interchange::FilesRead read = interchange::ReadImportFiles(paths);
  if (!read.unreadable.empty()) {
    for (const std::wstring& line : read.unreadable) Tell(line);
    Tell(L"nothing was imported");
    return kFailed;
  }
  Engine engine(folder);
  if (!LoadWhole(engine)) return kFailed;
  interchange::ImportOptions options;
  if (group) options.groupForUngrouped = *group;
  const interchange::ImportRun run = interchange::RunImport(
      engine, std::move(read.people), options, nullptr, platform::Now(),
      [&engine](std::wstring& reason) { return engine.Save(&reason); });
  if (!run.backedUp || !run.saved) {
    Tell(run.reason);
    return kFailed;
  }
  const interchange::ImportOutcome& outcome = run.outcome;
  Json summary = Json::object();
  summary["added"] = outcome.added;
  summary["skipped"] = outcome.skipped;
  summary["groupsCreated"] = Json::array();
  for (const std::wstring& name : outcome.groupsCreated) summary["groupsCreated"].push_back(ToUtf8(name));
  summary["problems"] = Json::array();
  for (const interchange::Problem& problem : read.problems) summary["problems"].push_back(ProblemJson(problem));
  for (const interchange::Problem& problem : outcome.problems) summary["problems"].push_back(ProblemJson(problem));
  const std::string text = summary.dump(2) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return kDone;
}

int Export(const std::wstring& folder, const std::wstring& path, const std::optional<std::wstring>& group) {
  Engine engine(folder);
  if (!LoadWhole(engine)) return kFailed;
  interchange::ExportOptions options;
  options.now = platform::Now();
  options.warnPercent = engine.options->warnPercent;
  options.warnDays = engine.options->warnDays;
  options.journal = engine.journal.get();
  if (group) {
    bool found = false;
    for (const Groups::Item& item : *engine.groups) {
      if (!item || platform::CompareNoCase(item->name, *group) != 0) continue;
      options.groupId = item->id;
      found = true;
    }
    if (!found) {
      Tell(L"there is no group named \"" + *group + L"\"");
      return kFailed;
    }
  }
  std::wstring reason;
  if (!interchange::WriteExportFile(path, interchange::ExportTypeFor(path), *engine.contacts, *engine.groups, options,
                                    reason)) {
    Tell(path + L" could not be written: " + reason);
    return kFailed;
  }
  return kDone;
}

}  // namespace datatool
