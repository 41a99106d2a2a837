// amicord-data: the data files as JSON, read with the program's own loaders and
// written with its own savers.
//   amicord-data dump DIR    prints DIR's groups.dat, contacts.dat, options.dat
//                            and journal.dat
//   amicord-data write DIR   writes them from the JSON on standard input, as one
//                            set the way the program saves (journal.dat only
//                            when the JSON has a "journal" member)
// Exit codes: 0 done, 1 damaged input (a damaged file, bad JSON, a failed save),
// 2 usage errors.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "model/engine.h"
#include "tools/data_json.h"

namespace {

constexpr int kDone = 0;
constexpr int kDamaged = 1;
constexpr int kUsage = 2;

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "amicord-data: " << problem << "\n";
  std::cerr << "usage: amicord-data dump DIR    print the data files in DIR as JSON\n"
               "       amicord-data write DIR   write the data files in DIR from JSON on standard input\n";
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

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc != 3) return Usage(argc < 3 ? "missing arguments" : "too many arguments");
  return Run(argv[1], argv[2]);
}
#else
int main(int argc, char** argv) {
  if (argc != 3) return Usage(argc < 3 ? "missing arguments" : "too many arguments");
  return Run(datatool::FromUtf8(argv[1]), datatool::FromUtf8(argv[2]));
}
#endif
