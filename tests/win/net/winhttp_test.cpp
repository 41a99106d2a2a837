// The WinHTTP half of the HTTP seam against a real radicale on 127.0.0.1 and a
// TLS server whose certificate Windows does not trust, both started by
// with_servers.py, which hands their addresses over in the environment.
#include <gtest/gtest.h>

#include "base/windows_api.h"
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

#include <cstdlib>
#include <string>
#include <vector>

#include "model/carddav_client.h"
#include "model/http.h"

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

const std::string kBase = Env("AMICORD_TEST_DAV"), kBook = Env("AMICORD_TEST_DAV_BOOK");
const std::string kUser = Env("AMICORD_TEST_DAV_USER"), kPassword = Env("AMICORD_TEST_DAV_PASSWORD");
const char kCard[] = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:winhttp-1\r\nFN:Anna Berg\r\nN:Berg;Anna;;;\r\nEND:VCARD\r\n";

http::Response Send(const std::string& method, const std::string& url, const std::string& body = {},
                    http::Headers headers = {}, const std::string& password = kPassword) {
  http::Request request{method, url, std::move(headers), body, kUser, password, 20};
  return http::Send(request);
}

// PROPFIND and REPORT go through the client below.
TEST(WinHttp, EveryMethodReachesRadicaleWithHeadersBodyAndStatus) {
  ASSERT_FALSE(kBook.empty()) << "run through with_servers.py";
  const std::string card = kBook + "winhttp-1.vcf";
  const http::Headers create = {{"Content-Type", "text/vcard; charset=utf-8"}, {"If-None-Match", "*"}};
  EXPECT_EQ(Send("PUT", card, kCard, create).status, 201);
  EXPECT_EQ(Send("PUT", card, kCard, create).status, 412) << "the card exists";
  const http::Response got = Send("GET", card);
  ASSERT_EQ(got.status, 200) << got.error;
  EXPECT_NE(got.body.find("UID:winhttp-1"), std::string::npos) << got.body;
  const std::string etag = got.Header("ETag");
  EXPECT_FALSE(etag.empty()) << "headers come back, found by any letter case";
  EXPECT_EQ(Send("DELETE", card, {}, {{"If-Match", "\"not-the-etag\""}}).status, 412);
  const int deleted = Send("DELETE", card, {}, {{"If-Match", etag}}).status;
  EXPECT_TRUE(deleted == 200 || deleted == 204) << deleted;
  EXPECT_EQ(Send("GET", card).status, 404);
}

// The client's REPORTs (sync-collection, multiget) and discovery over WinHTTP.
TEST(WinHttp, CardDavClientFindsReadsWritesAndDeletesOverWinHttp) {
  ASSERT_FALSE(kBase.empty()) << "run through with_servers.py";
  carddav::Client client(kUser, kPassword);
  std::vector<carddav::AddressBook> books;
  const carddav::Outcome found = client.Discover(kBase, books);
  ASSERT_TRUE(found.ok) << found.why;
  ASSERT_EQ(books.size(), 1u);
  EXPECT_EQ(books[0].url, kBook);
  EXPECT_EQ(books[0].displayName, "Contacts");
  carddav::BookInfo info;
  ASSERT_TRUE(client.Info(kBook, info).ok);
  EXPECT_TRUE(info.syncCollection);

  carddav::Changes before, changes;
  ASSERT_TRUE(client.ReadChanges(kBook, "", true, before).ok);
  const std::string card = kBook + "winhttp-2.vcf";
  std::string etag;
  const carddav::Outcome put = client.Put(card, kCard, "", false, etag);
  ASSERT_TRUE(put.ok) << put.why;
  ASSERT_TRUE(client.ReadChanges(kBook, before.syncToken, true, changes).ok);
  EXPECT_FALSE(changes.full) << "changes since the token, not a listing";
  EXPECT_EQ(changes.etags.count(card), 1u);
  std::vector<carddav::Card> cards;
  ASSERT_TRUE(client.Fetch(kBook, {card}, cards).ok);
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_NE(cards[0].data.find("FN:Anna Berg"), std::string::npos);
  EXPECT_EQ(client.Put(card, kCard, "\"stale\"", false, etag).status, 412);
  EXPECT_TRUE(client.Delete(card, cards[0].etag).ok);
  const carddav::Outcome wrong = carddav::Client(kUser, "wrong").Discover(kBase, books);
  EXPECT_TRUE(wrong.Unauthorized()) << wrong.status << " " << wrong.why;
}

TEST(WinHttp, CertificateErrorServerDownAndWrongPasswordAreToldApart) {
  ASSERT_FALSE(Env("AMICORD_TEST_TLS").empty()) << "run through with_servers.py";
  const http::Response untrusted = Send("GET", Env("AMICORD_TEST_TLS"));
  EXPECT_EQ(untrusted.failure, http::Failure::Tls) << untrusted.error;
  EXPECT_NE(untrusted.error.find("certificate"), std::string::npos) << untrusted.error;
  const http::Response down = Send("GET", Env("AMICORD_TEST_CLOSED"));  // a port nothing listens on
  EXPECT_EQ(down.failure, http::Failure::Network) << down.error;
  const http::Response refused = Send("GET", kBook, {}, {}, "wrong");
  EXPECT_EQ(refused.failure, http::Failure::None);
  EXPECT_EQ(refused.status, 401);
}

// 127.0.0.2 is this computer too, but not a name plain http:// may go to: were
// the check made after connecting, this listener would see the connection.
struct Listener {
  Listener() {
    address.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.2", &address.sin_addr);
    int size = sizeof address;
    if (bind(socket, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(socket, 8) == 0)
      getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size);
  }
  ~Listener() { closesocket(socket); }
  bool Connected() const {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket, &ready);
    timeval wait{0, 200000};
    return select(0, &ready, nullptr, nullptr, &wait) == 1;
  }
  // A connection of our own, to show the listener would see one.
  bool Probe() const {
    const SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const bool made = connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && Connected();
    closesocket(probe);
    return made;
  }
  static int Start() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }
  int started = Start();  // before the socket
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
};

TEST(WinHttp, PlainHttpToAnotherHostIsRefusedBeforeConnecting) {
  const Listener listener;
  ASSERT_NE(listener.address.sin_port, 0);
  const std::string at = "127.0.0.2:" + std::to_string(ntohs(listener.address.sin_port));
  for (const std::string& url : {"http://" + at + "/anna/", "HTTP://" + at + "/", "http://127.0.0.1@" + at + "/",
                                 "http://" + at + "\\@localhost/"}) {
    EXPECT_EQ(Send("GET", url).failure, http::Failure::Refused) << url;
    EXPECT_FALSE(listener.Connected()) << url;
  }
  EXPECT_TRUE(listener.Probe()) << "the listener sees connections";
}

}  // namespace
