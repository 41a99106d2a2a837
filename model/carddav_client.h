#pragma once
// A CardDAV client (RFC 6352 on WebDAV, RFC 6578's sync-collection, RFC
// 6764's discovery): finds the address books, reads what changed, writes and
// deletes cards. It knows nothing of contacts: it moves cards as text.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "model/http.h"

namespace carddav {

struct AddressBook {
  std::string url;  // absolute
  std::string displayName;
};

// What went wrong with a request, in a form the sync's callers can act on.
struct Outcome {
  bool ok = true;
  int status = 0;
  http::Failure failure = http::Failure::None;
  std::string why;
  bool Unauthorized() const { return status == 401; }
};

struct BookInfo {
  std::string displayName;
  bool version4 = false;  // the server takes vCard 4.0
  bool syncCollection = false;
};

struct Card {
  std::string url;  // absolute
  std::string etag;
  std::string data;
};

struct Changes {
  bool full = false;                         // a complete listing (PROPFIND), not changes since a token
  std::map<std::string, std::string> etags;  // absolute url -> etag of cards changed (or all, when full)
  std::vector<std::string> removed;          // absolute urls, from sync-collection
  std::string syncToken;                     // empty when the server offers none
};

struct Multistatus;

class Client {
 public:
  Client(std::string user, std::string password);

  // From a server, principal or address book address to the address books it
  // leads to; a book's own address comes back as the only one.
  Outcome Discover(const std::string& url, std::vector<AddressBook>& books);
  Outcome Info(const std::string& bookUrl, BookInfo& info);
  // Changes since syncToken (sync-collection), or every card's etag when the
  // token is empty or the server refuses it.
  Outcome ReadChanges(const std::string& bookUrl, const std::string& syncToken, bool useSyncCollection,
                      Changes& changes);
  // The cards at these addresses (addressbook-multiget, in batches); cards the
  // server no longer has are left out.
  Outcome Fetch(const std::string& bookUrl, const std::vector<std::string>& urls, std::vector<Card>& cards);
  // Writes a card: ifMatch the etag it replaces, or empty for a new card
  // (If-None-Match: *). 412 comes back as !ok with status 412. etag is the
  // new one when the server tells it.
  Outcome Put(const std::string& url, const std::string& data, const std::string& ifMatch, bool version4,
              std::string& etag);
  Outcome Delete(const std::string& url, const std::string& ifMatch);

  std::size_t requests = 0;
  static constexpr std::size_t kBatch = 100;

 private:
  http::Response Send(const std::string& method, const std::string& url, const std::string& body,
                      const std::string& depth, http::Headers extra = {});
  Outcome Propfind(const std::string& url, const std::string& depth, const std::string& props, std::string& finalUrl,
                   Multistatus& answer);

  std::string user_;
  std::string password_;
};

// The absolute address of href (a path or an address) as seen from base.
std::string Resolve(const std::string& base, const std::string& href);

}  // namespace carddav
