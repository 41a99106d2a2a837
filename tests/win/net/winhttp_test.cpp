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

struct Dav {
  std::string base = Env("AMICORD_TEST_DAV");  // http://127.0.0.1:<port>/
  std::string book = Env("AMICORD_TEST_DAV_BOOK");
  std::string user = Env("AMICORD_TEST_DAV_USER");
  std::string password = Env("AMICORD_TEST_DAV_PASSWORD");
  std::string tls = Env("AMICORD_TEST_TLS");  // https://127.0.0.1:<port>/, self-signed
};

http::Response Send(const Dav& dav, const std::string& method, const std::string& url, const std::string& body = {},
                    http::Headers headers = {}) {
  http::Request request;
  request.method = method;
  request.url = url;
  request.body = body;
  request.headers = std::move(headers);
  request.user = dav.user;
  request.password = dav.password;
  request.timeoutSeconds = 20;
  return http::Send(request);
}

const char kCard[] = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:winhttp-1\r\nFN:Anna Berg\r\nN:Berg;Anna;;;\r\nEND:VCARD\r\n";

TEST(WinHttp, EveryMethodReachesRadicaleWithHeadersBodyAndStatus) {
  const Dav dav;
  ASSERT_FALSE(dav.book.empty()) << "run through with_servers.py";
  const std::string card = dav.book + "winhttp-1.vcf";
  const http::Headers vcard = {{"Content-Type", "text/vcard; charset=utf-8"}};
  auto with = [&](http::Headers extra) {
    extra.insert(extra.begin(), vcard.begin(), vcard.end());
    return extra;
  };
  EXPECT_EQ(Send(dav, "PUT", card, kCard, with({{"If-None-Match", "*"}})).status, 201);
  EXPECT_EQ(Send(dav, "PUT", card, kCard, with({{"If-None-Match", "*"}})).status, 412) << "the card exists";
  const http::Response got = Send(dav, "GET", card);
  ASSERT_EQ(got.status, 200) << got.error;
  EXPECT_NE(got.body.find("UID:winhttp-1"), std::string::npos) << got.body;
  const std::string etag = got.Header("ETag");
  EXPECT_FALSE(etag.empty()) << "headers come back, found by any letter case";
  EXPECT_NE(got.Header("content-type").find("vcard"), std::string::npos);

  const http::Response listing = Send(
      dav, "PROPFIND", dav.book,
      "<?xml version=\"1.0\"?><d:propfind xmlns:d=\"DAV:\"><d:prop><d:getetag/></d:prop></d:propfind>",
      {{"Depth", "1"}, {"Content-Type", "application/xml"}});
  EXPECT_EQ(listing.status, 207);
  EXPECT_NE(listing.body.find("winhttp-1.vcf"), std::string::npos) << listing.body;
  const http::Response multiget = Send(
      dav, "REPORT", dav.book,
      "<?xml version=\"1.0\"?><c:addressbook-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
      "<d:prop><c:address-data/></d:prop><d:href>" +
          card.substr(card.find("/", 8)) + "</d:href></c:addressbook-multiget>",
      {{"Depth", "1"}, {"Content-Type", "application/xml"}});
  EXPECT_EQ(multiget.status, 207);
  EXPECT_NE(multiget.body.find("FN:Anna Berg"), std::string::npos) << multiget.body;

  EXPECT_EQ(Send(dav, "DELETE", card, {}, {{"If-Match", "\"not-the-etag\""}}).status, 412);
  const int deleted = Send(dav, "DELETE", card, {}, {{"If-Match", etag}}).status;
  EXPECT_TRUE(deleted == 200 || deleted == 204) << deleted;
  EXPECT_EQ(Send(dav, "GET", card).status, 404);
}

TEST(WinHttp, CardDavClientFindsReadsWritesAndDeletesOverWinHttp) {
  const Dav dav;
  ASSERT_FALSE(dav.base.empty()) << "run through with_servers.py";
  carddav::Client client(dav.user, dav.password);
  std::vector<carddav::AddressBook> books;
  const carddav::Outcome found = client.Discover(dav.base, books);
  ASSERT_TRUE(found.ok) << found.why;
  ASSERT_EQ(books.size(), 1u);
  EXPECT_EQ(books[0].url, dav.book);
  EXPECT_EQ(books[0].displayName, "Contacts");
  carddav::BookInfo info;
  ASSERT_TRUE(client.Info(dav.book, info).ok);
  EXPECT_TRUE(info.syncCollection);

  carddav::Changes before;
  ASSERT_TRUE(client.ReadChanges(dav.book, "", true, before).ok);
  const std::string card = dav.book + "winhttp-2.vcf";
  std::string etag;
  const carddav::Outcome put = client.Put(card, kCard, "", false, etag);
  ASSERT_TRUE(put.ok) << put.why;
  carddav::Changes changes;
  ASSERT_TRUE(client.ReadChanges(dav.book, before.syncToken, true, changes).ok);
  EXPECT_FALSE(changes.full) << "changes since the token, not a listing";
  ASSERT_EQ(changes.etags.count(card), 1u);
  std::vector<carddav::Card> cards;
  ASSERT_TRUE(client.Fetch(dav.book, {card}, cards).ok);
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_NE(cards[0].data.find("FN:Anna Berg"), std::string::npos);
  std::string unused;
  EXPECT_EQ(client.Put(card, kCard, "\"stale\"", false, unused).status, 412);
  EXPECT_TRUE(client.Delete(card, cards[0].etag).ok);

  carddav::Client wrong(dav.user, "not the password");
  EXPECT_TRUE(wrong.Discover(dav.base, books).Unauthorized());
}

TEST(WinHttp, CertificateErrorNoServerAndWrongPasswordAreToldApart) {
  const Dav dav;
  ASSERT_FALSE(dav.tls.empty()) << "run through with_servers.py";
  http::Request request;
  request.url = dav.tls;
  request.timeoutSeconds = 10;
  const http::Response untrusted = http::Send(request);
  EXPECT_EQ(untrusted.failure, http::Failure::Tls) << untrusted.error;
  EXPECT_NE(untrusted.error.find("certificate"), std::string::npos) << untrusted.error;

  // A port nothing listens on stands for a server that is down.
  request.url = Env("AMICORD_TEST_CLOSED");
  const http::Response down = http::Send(request);
  EXPECT_EQ(down.failure, http::Failure::Network) << down.error;

  Dav wrong = dav;
  wrong.password = "not the password";
  const http::Response refused = Send(wrong, "GET", dav.book);
  EXPECT_EQ(refused.failure, http::Failure::None);
  EXPECT_EQ(refused.status, 401);
}

// A listener on 127.0.0.2, which is this computer too but not one of the names
// plain http:// may go to: were the check late, it would see the connection.
class Listener {
 public:
  Listener() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.2", &address.sin_addr);
    int size = sizeof address;
    if (bind(socket_, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(socket_, 8) == 0 &&
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
      port_ = ntohs(address.sin_port);
  }
  ~Listener() {
    closesocket(socket_);
    WSACleanup();
  }
  int Port() const { return port_; }
  bool Connected() const {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket_, &ready);
    timeval wait{0, 200000};
    return select(0, &ready, nullptr, nullptr, &wait) == 1;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
  int port_ = 0;
};

TEST(WinHttp, PlainHttpToAnotherHostIsRefusedBeforeConnecting) {
  const Listener listener;
  ASSERT_NE(listener.Port(), 0);
  const std::string at = "127.0.0.2:" + std::to_string(listener.Port());
  for (const std::string& url : {"http://" + at + "/anna/", "HTTP://" + at + "/", "http://127.0.0.1@" + at + "/",
                                 "http://" + at + "\\@localhost/"}) {
    http::Request request;
    request.url = url;
    request.timeoutSeconds = 2;
    EXPECT_EQ(http::Send(request).failure, http::Failure::Refused) << url;
    EXPECT_FALSE(listener.Connected()) << url;
  }
  // The same listener does see a request it is allowed to have.
  http::Request allowed;
  allowed.url = "https://" + at + "/";
  allowed.timeoutSeconds = 1;
  EXPECT_NE(http::Send(allowed).failure, http::Failure::Refused);
  EXPECT_TRUE(listener.Connected());
}

}  // namespace
