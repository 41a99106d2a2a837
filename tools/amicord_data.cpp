// amicord-data: the data files as JSON, read with the program's own loaders and
// written with its own savers.
//   amicord-data dump DIR    prints DIR's groups.dat, contacts.dat, options.dat
//                            and journal.dat
//   amicord-data write DIR   writes them from the JSON on standard input, as one
//                            set the way the program saves (journal.dat only
//                            when the JSON has a "journal" member)
//   amicord-data import DIR FILE... [--group NAME]
//                            adds the people of vCard/CSV files as the program's
//                            import does with the preview's starting ticks, after a backup
//   amicord-data export DIR FILE [--group NAME]
//                            writes everyone, or one group, as .vcf or .csv
//   amicord-data sync DIR --url URL --user NAME --password-stdin [--book URL] [--matches]
//                            syncs with a CardDAV address book (libcurl on the host,
//                            WinHTTP on Windows)
// Exit codes: 0 done, 1 damaged input (a damaged file, bad JSON, a failed save,
// a file to import that cannot be read at all, a failed sync), 2 usage errors.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "model/engine.h"
#include "tools/data_json.h"
#include "tools/interchange_commands.h"
#ifdef AMICORD_SYNC
#include "tools/sync_command.h"
#endif

namespace {

constexpr int kDone = 0;
constexpr int kDamaged = 1;
constexpr int kUsage = 2;

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "amicord-data: " << problem << "\n";
  std::cerr << "usage: amicord-data dump DIR    print the data files in DIR as JSON\n"
               "       amicord-data write DIR   write the data files in DIR from JSON on standard input\n"
               "       amicord-data import DIR FILE... [--group NAME]   add the people of vCard/CSV files\n"
               "       amicord-data export DIR FILE [--group NAME]      write contacts as .vcf or .csv\n"
               "       amicord-data sync DIR --url URL --user NAME --password-stdin [--book URL] [--matches]\n";
  return kUsage;
}

std::string Utf8(const std::wstring& text) { return datatool::ToUtf8(text); }

const char* DamageWords(Damage damage) {
  switch (damage) {
    case Damage::Unclosed:
      return "ends without its closing line break (cut short, or written by an earlier build)";
    case Damage::AfterLastRecord:
      return "has more after its last record (a lowered record count, or bytes added at the end)";
    case Damage::Content:
    case Damage::None:
      break;
  }
  return "is damaged";
}

int Dump(const std::wstring& folder) {
  Engine engine(folder);
  datatool::DataSet data;
  // Reading only: no copies of damaged files, no auto-start change.
  Damage damages[4];
  data.groupsStatus = ReadArchive(engine.groupsPath, data.groups, &damages[0]);
  data.contactsStatus = ReadArchive(engine.contactsPath, data.contacts, &damages[1]);
  data.optionsStatus = ReadArchive(engine.optionsPath, data.options, &damages[2]);
  data.journalStatus = ReadArchive(engine.journalPath, data.journal, &damages[3]);
  const std::string text = datatool::ToJson(data).dump(2) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  bool damaged = false;
  const std::pair<FileStatus, std::wstring> files[] = {{data.groupsStatus, engine.groupsPath},
                                                       {data.contactsStatus, engine.contactsPath},
                                                       {data.optionsStatus, engine.optionsPath},
                                                       {data.journalStatus, engine.journalPath}};
  for (std::size_t i = 0; i < 4; ++i) {
    if (files[i].first != FileStatus::Damaged) continue;
    std::cerr << "amicord-data: " << Utf8(files[i].second) << " " << DamageWords(damages[i])
              << "; shown as far as it could be read\n";
    damaged = true;
  }
  return damaged ? kDamaged : kDone;
}

int Write(const std::wstring& folder) {
  const std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  datatool::Json document;
  try {
    document = datatool::Json::parse(input);
  } catch (const datatool::Json::parse_error& error) {
    std::cerr << "amicord-data: bad JSON on standard input: " << error.what() << "\n";
    return kDamaged;
  }
  datatool::DataSet data;
  try {
    datatool::FromJson(document, data);
  } catch (const datatool::BadInput& error) {
    std::cerr << "amicord-data: bad input at " << error.what() << "\n";
    return kDamaged;
  }
  Engine engine(folder);
  engine.groups->lastId = data.groups.lastId;
  engine.groups->items = data.groups.items;
  engine.contacts->lastId = data.contacts.lastId;
  engine.contacts->items = data.contacts.items;
  *engine.options = data.options;
  // Saved as the program saves it: caught up with the contacts, without the
  // entries of contacts that are not there.
  engine.saveJournal = data.hasJournal;
  if (data.hasJournal) {
    engine.journal->contacts = std::move(data.journal.contacts);
    engine.journal->state = data.journal.state;
    engine.journal->Touch();
  }
  std::wstring reason;
  if (!engine.Save(&reason)) {
    std::cerr << "amicord-data: " << Utf8(reason) << "\n";
    return kDamaged;
  }
  return kDone;
}

int Run(const std::wstring& command, const std::wstring& folder) {
  if (folder.empty()) return Usage("DIR must not be empty");
  if (command == L"dump") return Dump(folder);
  if (command == L"write") return Write(folder);
  return Usage("unknown command \"" + Utf8(command) + "\"");
}

// import and export take files and a --group option after DIR.
int RunInterchange(const std::vector<std::wstring>& args) {
  std::vector<std::wstring> paths;
  std::optional<std::wstring> group;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == L"--group") {
      if (i + 1 >= args.size()) return Usage("--group needs a NAME");
      if (group) return Usage("--group given twice");
      group = args[++i];
    } else {
      paths.push_back(args[i]);
    }
  }
  if (args[1].empty()) return Usage("DIR must not be empty");
  if (args[0] == L"import") {
    if (paths.empty()) return Usage("import needs at least one FILE");
    return datatool::Import(args[1], paths, group);
  }
  if (paths.size() != 1) return Usage("export needs exactly one FILE");
  return datatool::Export(args[1], paths[0], group);
}

int Main(const std::vector<std::wstring>& args) {
  if (!args.empty() && args[0] == L"sync") {
#ifdef AMICORD_SYNC
    return datatool::Sync(args);
#else
    return Usage("this build cannot sync yet");
#endif
  }
  if (!args.empty() && (args[0] == L"import" || args[0] == L"export")) {
    if (args.size() < 2) return Usage("missing arguments");
    return RunInterchange(args);
  }
  if (args.size() != 2) return Usage(args.size() < 2 ? "missing arguments" : "too many arguments");
  return Run(args[0], args[1]);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  return Main(std::vector<std::wstring>(argv + 1, argv + argc));
}
#else
int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(datatool::FromUtf8(argv[i]));
  return Main(args);
}
#endif
