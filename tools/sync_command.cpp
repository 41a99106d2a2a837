#include "tools/sync_command.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "model/backups.h"
#include "model/engine.h"
#include "sync/card_sync.h"
#include "tools/data_json.h"

namespace datatool {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

int Usage(const std::string& problem) {
  std::cerr << "amicord-data: " << problem << "\n"
            << "usage: amicord-data sync DIR --url URL --user NAME --password-stdin [--book URL] [--matches]\n";
  return kUsage;
}

// The first sync's links with the contacts already here, printed and not made.
int PrintMatches(Engine& engine, carddav::Client& client, const cardsync::Account& account) {
  std::vector<ProposedMatch> proposals;
  const cardsync::Report report = cardsync::ProposeMatches(engine, client, account, proposals);
  Json matches = Json::array(), problems = Json::array();
  for (const ProposedMatch& proposal : proposals)
    matches.push_back({{"contact", proposal.contactId},
                       {"name", ToUtf8(proposal.contactName)},
                       {"card", ToUtf8(proposal.cardName)},
                       {"href", ToUtf8(proposal.href)},
                       {"uid", ToUtf8(proposal.uid)},
                       {"by", ToUtf8(proposal.by)}});
  for (const std::wstring& problem : report.problems) problems.push_back(ToUtf8(problem));
  if (report.failed) problems.push_back(ToUtf8(report.failure));
  const std::string text = Json{{"matches", matches}, {"problems", problems}}.dump(2) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  return report.failed ? kFailed : kDone;
}

}  // namespace

int Sync(const std::vector<std::wstring>& args) {
  if (args.size() < 2 || args[1].empty()) return Usage("sync needs a DIR");
  cardsync::Account account;
  bool passwordFromInput = false;
  bool onlyMatches = false;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::wstring& option = args[i];
    if (option == L"--password-stdin") {
      passwordFromInput = true;
      continue;
    }
    if (option == L"--matches") {
      onlyMatches = true;
      continue;
    }
    std::wstring* target = option == L"--url"    ? &account.server
                           : option == L"--user" ? &account.user
                           : option == L"--book" ? &account.book
                                                 : nullptr;
    if (!target) return Usage("unknown option \"" + ToUtf8(option) + "\"");
    if (i + 1 >= args.size()) return Usage(ToUtf8(option) + " needs a value");
    if (!target->empty()) return Usage(ToUtf8(option) + " given twice");
    *target = args[++i];
  }
  if (account.server.empty()) return Usage("sync needs --url");
  if (account.user.empty()) return Usage("sync needs --user");
  // The password is never an argument: other users of the computer can read those.
  if (!passwordFromInput) return Usage("sync needs --password-stdin");
  std::string password;
  std::getline(std::cin, password);
  if (!password.empty() && password.back() == '\r') password.pop_back();

  Engine engine(args[1]);
  const Engine::LoadReport loaded = engine.Load();
  if (loaded.AnyDamaged()) {
    std::cerr << "amicord-data: the data in " << ToUtf8(args[1]) << " is damaged; nothing was synced\n";
    return kFailed;
  }
  carddav::Client client(ToUtf8(account.user), password);
  if (onlyMatches) return PrintMatches(engine, client, account);
  const cardsync::Report report = cardsync::Sync(engine, client, account, platform::Now());
  std::wstring reason;
  bool saved = true;
  if (report.changed) {
    // What the server's changes replace or remove here stays in the day's backup.
    Backups(engine.FilePaths()).MakeDailyIfDue();
    saved = engine.Save(&reason);
  }
  Json conflicts = Json::array(), problems = Json::array();
  for (const std::wstring& conflict : report.conflicts) conflicts.push_back(ToUtf8(conflict));
  for (const std::wstring& problem : report.problems) problems.push_back(ToUtf8(problem));
  if (report.failed) problems.push_back(ToUtf8(report.failure));
  if (!saved) problems.push_back(ToUtf8(reason));
  const Json out = {{"pulled", report.pulled},
                    {"pushed", report.pushed},
                    {"deleted", report.deleted},
                    {"conflicts", conflicts},
                    {"problems", problems}};
  const std::string text = out.dump(2) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  return report.failed || !saved ? kFailed : kDone;
}

}  // namespace datatool
