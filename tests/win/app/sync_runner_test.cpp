// The program's background sync against a real radicale on 127.0.0.1 that
// with_servers.py started: through WinHTTP, on the sync's own thread, with
// the window's rows following and the window's thread never waiting.
#include <gtest/gtest.h>

#include "base/windows_api.h"
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

#include <chrono>
#include <cstdlib>
#include <string>

#include "model/credentials.h"
#include "model/http.h"
#include "model/text_decoding.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

const std::string kBase = Env("AMICORD_TEST_DAV"), kBook = Env("AMICORD_TEST_DAV_BOOK");
const std::string kUser = Env("AMICORD_TEST_DAV_USER"), kPassword = Env("AMICORD_TEST_DAV_PASSWORD");

std::wstring Wide(const std::string& text) { return text::DecodeLoose(text); }

http::Response Send(const std::string& method, const std::string& url, const std::string& body = {},
                    http::Headers headers = {}) {
  return http::Send(http::Request{method, url, std::move(headers), body, kUser, kPassword, 20});
}

class SyncRunnerTest : public apptest::MainWindowFixture {
 protected:
  void TearDown() override {
    credentials::Remove(Wide(kBase), Wide(kUser));
    if (!card_.empty()) Send("DELETE", card_);
    MainWindowFixture::TearDown();
  }

  // The account as the settings keep it: in the journal, the password in the
  // credential store; with a person already here when one is named.
  void WriteAccount(const std::string& password, const std::wstring& person = L"", const std::string& server = kBase,
                    const std::string& book = kBook) {
    Engine engine(apptest::SettingsFolder().wstring());
    engine.Load();
    if (!person.empty()) {
      engine.groups->Add(L"Friends", L"", Days, 0);
      engine.contacts->Add(person, L"", Weeks, 2, 1797000000, L"", engine.groups->lastId);
    }
    engine.journal->state.sync = SyncAccount{Wide(server), Wide(kUser), Wide(book), L"", 0, {}, {}};
    engine.journal->Touch();
    ASSERT_TRUE(engine.Save());
    ASSERT_TRUE(credentials::Write(Wide(kBase), Wide(kUser), password));
  }

  void PutCard(const std::string& uid, const std::string& name) {
    card_ = kBook + uid + ".vcf";
    const std::string data = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name + "\r\nN:;" + name +
                             ";;;\r\nCATEGORIES:Friends\r\nEND:VCARD\r\n";
    ASSERT_EQ(Send("PUT", card_, data, {{"Content-Type", "text/vcard; charset=utf-8"}}).status, 201);
  }

  // Messages run until the runner has finished that many syncs.
  bool PumpUntilFinished(int count) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
      apptest::PumpMessages();
      if (window_->SyncForTesting().Finished() >= count && !window_->SyncForTesting().Running()) return true;
      Sleep(20);
    }
    return false;
  }

  Contacts::Item Named(const std::wstring& name) {
    for (const Contacts::Item& contact : *engine().contacts)
      if (contact && contact->name == name) return contact;
    return {};
  }

  bool MenuHasSyncNow() {
    UniqueMenu menu = window_->BuildTrayMenu();
    const bool found = GetMenuState(menu.get(), ID_SYNC_NOW, MF_BYCOMMAND) != static_cast<UINT>(-1);
    return found;
  }

  std::string card_;
};

}  // namespace

TEST_F(SyncRunnerTest, ACardOnTheServerBecomesARowAndATickGoesBack) {
  ASSERT_FALSE(kBook.empty()) << "run through with_servers.py";
  WriteAccount(kPassword);
  PutCard("runner-1", "Anna Runner");
  Start();
  EXPECT_TRUE(MenuHasSyncNow());
  const int saves = session().SaveCount();
  ASSERT_TRUE(PumpUntilFinished(1)) << "the first sync follows the window's start";
  EXPECT_EQ(session().SaveCount(), saves + 1) << "the sync's change is one save";
  const Contacts::Item anna = Named(L"Anna Runner");
  ASSERT_TRUE(anna) << window_->SyncForTesting().LastResult();
  EXPECT_EQ(GroupPanel(anna->groupId).List().GetItemCount(), 1);
  EXPECT_EQ(window_->SyncForTesting().LastResult(), L"Synced just now.");
  EXPECT_NE(window_->TrayForTesting().Icon().ShownTip().find(L"\nSynced just now."), std::wstring::npos);
  session().WaitForWriter();
  Engine saved(apptest::SettingsFolder().wstring());
  saved.Load();
  ASSERT_EQ(saved.contacts->items.size(), 1u);
  EXPECT_EQ(saved.journal->Find(saved.contacts->items[0]->id)->card.href, Wide(card_));

  const Time tickedAt = 1797000000;
  anna->MarkContacted(tickedAt);  // as the row's check box does
  window_->SyncForTesting().SyncNow();
  ASSERT_TRUE(PumpUntilFinished(2));
  const http::Response card = Send("GET", card_);
  ASSERT_EQ(card.status, 200);
  EXPECT_NE(card.body.find("X-AMICORD-LAST-CONTACTED:20261211T144000"), std::string::npos) << card.body;
  EXPECT_EQ(engine().journal->Find(anna->id)->card.etag, Wide(card.Header("etag")));
}

TEST_F(SyncRunnerTest, AWrongPasswordIsToldOnceAndPausesTheSync) {
  ASSERT_FALSE(kBook.empty()) << "run through with_servers.py";
  WriteAccount("not the password");
  test::MessageBoxWatch boxes;
  Start();
  ASSERT_TRUE(PumpUntilFinished(1));
  apptest::PumpMessages();
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_EQ(boxes.texts()[0].rfind(L"The address book server did not accept the user name and password.", 0), 0u);
  EXPECT_TRUE(window_->SyncForTesting().Paused());
  EXPECT_EQ(window_->TrayForTesting().Icon().Line(),
            L"Not synced: the server did not accept the user name and password.");
  window_->SyncForTesting().SyncNow();  // asked for, it tries again
  ASSERT_TRUE(PumpUntilFinished(2));
  apptest::PumpMessages();
  EXPECT_EQ(boxes.texts().size(), 2u);
}

TEST_F(SyncRunnerTest, TheFirstSyncAsksBeforeItLinksPeopleAlreadyHere) {
  ASSERT_FALSE(kBook.empty()) << "run through with_servers.py";
  WriteAccount(kPassword, L"Bert Here");
  PutCard("runner-2", "Bert Here");
  test::MessageBoxWatch boxes(IDYES);
  Start();
  ASSERT_TRUE(PumpUntilFinished(2)) << "the proposal, then the sync";
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_EQ(
      boxes.texts()[0].rfind(L"Link 1 person already here with their cards on the server?\n\n\u2022 Bert Here", 0), 0u)
      << boxes.texts()[0];
  ASSERT_EQ(engine().contacts->items.size(), 1u) << "linked, not added a second time";
  EXPECT_EQ(engine().journal->Find(engine().contacts->items[0]->id)->card.href, Wide(card_));
}

// A server that takes the connection and never answers: the exit does not wait for it.
TEST_F(SyncRunnerTest, TheExitDoesNotWaitForAServerThatNeverAnswers) {
  WSADATA wsa{};
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  int size = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  const std::string silent = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
  WriteAccount("any", L"", silent, silent + "book/");
  Start();
  const auto started = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!window_->SyncForTesting().Running() && std::chrono::steady_clock::now() < started) {
    apptest::PumpMessages();
    Sleep(20);
  }
  ASSERT_TRUE(window_->SyncForTesting().Running());
  Sleep(300);
  const auto before = std::chrono::steady_clock::now();
  window_->Exit();
  const auto waited = std::chrono::steady_clock::now() - before;
  EXPECT_LT(waited, std::chrono::seconds(4));
  window_.reset();
  apptest::PumpMessages();
  credentials::Remove(Wide(silent), Wide(kUser));
  closesocket(listener);
  WSACleanup();
}

TEST_F(SyncRunnerTest, WithoutAnAccountNothingRuns) {
  Start();
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  while (std::chrono::steady_clock::now() < end) {
    apptest::PumpMessages();
    Sleep(20);
  }
  window_->SyncForTesting().SyncNow();
  EXPECT_FALSE(window_->SyncForTesting().Running());
  EXPECT_EQ(window_->SyncForTesting().Finished(), 0);
  EXPECT_FALSE(MenuHasSyncNow());
  EXPECT_EQ(window_->TrayForTesting().Icon().Line(), L"");
  EXPECT_EQ(window_->SyncForTesting().LastResult(), L"");
}
