#include "model/carddav_client.h"

#include <algorithm>
#include <utility>

#include "model/carddav_xml.h"

namespace carddav {

namespace {

constexpr int kMaxRedirects = 5;

const char kXmlHead[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

Outcome Failed(const http::Response& response, const std::string& what) {
  Outcome outcome;
  outcome.ok = false;
  outcome.status = response.status;
  outcome.failure = response.failure;
  if (response.failure != http::Failure::None)
    outcome.why = what + ": " + response.error;
  else
    outcome.why = what + ": the server answered " + std::to_string(response.status);
  return outcome;
}

Outcome Nonsense(const std::string& what) {
  Outcome outcome;
  outcome.ok = false;
  outcome.why = what + ": the server's answer could not be read";
  return outcome;
}

std::string Origin(const std::string& url) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string::npos) return {};
  const std::size_t path = url.find('/', scheme + 3);
  return path == std::string::npos ? url : url.substr(0, path);
}

std::string WithSlash(std::string url) {
  if (url.empty() || url.back() != '/') url += '/';
  return url;
}

// Two spellings of one address: with or without the closing slash.
bool SameUrl(const std::string& a, const std::string& b) { return WithSlash(a) == WithSlash(b); }

}  // namespace

std::string Resolve(const std::string& base, const std::string& href) {
  if (href.find("://") != std::string::npos) return href;
  if (!href.empty() && href.front() == '/') return Origin(base) + href;
  const std::size_t slash = base.rfind('/');
  return (slash == std::string::npos ? base : base.substr(0, slash + 1)) + href;
}

Client::Client(std::string user, std::string password) : user_(std::move(user)), password_(std::move(password)) {}

http::Response Client::Send(const std::string& method, const std::string& url, const std::string& body,
                            const std::string& depth, http::Headers extra) {
  http::Request request;
  request.method = method;
  request.url = url;
  request.body = body;
  request.user = user_;
  request.password = password_;
  request.headers = std::move(extra);
  if (!depth.empty()) request.headers.emplace_back("Depth", depth);
  if (!body.empty() && method != "PUT") request.headers.emplace_back("Content-Type", "application/xml; charset=utf-8");
  ++requests;
  return http::Send(request);
}

Outcome Client::Propfind(const std::string& url, const std::string& depth, const std::string& props,
                         std::string& finalUrl, Multistatus& answer) {
  const std::string body = std::string(kXmlHead) +
                           "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop>" + props +
                           "</d:prop></d:propfind>";
  finalUrl = url;
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    const http::Response response = Send("PROPFIND", finalUrl, body, depth);
    if (response.failure == http::Failure::None && response.status >= 300 && response.status < 400) {
      const std::string location = response.Header("location");
      if (location.empty()) return Failed(response, "PROPFIND " + finalUrl);
      const std::string next = Resolve(finalUrl, location);
      if (!http::SameScheme(finalUrl, next)) {
        Outcome outcome = Failed(response, "PROPFIND " + finalUrl);
        outcome.failure = http::Failure::Refused;
        outcome.why = "PROPFIND " + finalUrl + ": the server sent us on to another kind of address, " + next;
        return outcome;
      }
      finalUrl = next;
      continue;
    }
    if (response.status != 207) return Failed(response, "PROPFIND " + finalUrl);
    if (!ParseMultistatus(response.body, answer)) return Nonsense("PROPFIND " + finalUrl);
    return {};
  }
  Outcome outcome;
  outcome.ok = false;
  outcome.why = "PROPFIND " + url + ": too many redirections";
  return outcome;
}

Outcome Client::Discover(const std::string& url, std::vector<AddressBook>& books) {
  books.clear();
  const std::string props = "<d:resourcetype/><d:displayname/><d:current-user-principal/><c:addressbook-home-set/>";
  std::string at = url;
  Multistatus answer;
  Outcome outcome = Propfind(at, "0", props, at, answer);
  // A bare server: RFC 6764's well-known address leads to the principal.
  if (!outcome.ok && outcome.status != 401 && outcome.failure == http::Failure::None)
    outcome = Propfind(Origin(url) + "/.well-known/carddav", "0", props, at, answer);
  if (!outcome.ok) return outcome;
  std::string principal, home;
  for (const DavResponse& response : answer.responses) {
    if (response.addressBook) {
      books.push_back({WithSlash(Resolve(at, response.href)), response.displayName});
      return {};
    }
    if (!response.currentUserPrincipal.empty()) principal = Resolve(at, response.currentUserPrincipal);
    if (!response.addressBookHome.empty()) home = Resolve(at, response.addressBookHome);
  }
  if (home.empty() && !principal.empty()) {
    outcome = Propfind(principal, "0", "<c:addressbook-home-set/>", at, answer);
    if (!outcome.ok) return outcome;
    for (const DavResponse& response : answer.responses)
      if (!response.addressBookHome.empty()) home = Resolve(at, response.addressBookHome);
  }
  if (home.empty()) home = at;
  outcome = Propfind(home, "1", "<d:resourcetype/><d:displayname/>", at, answer);
  if (!outcome.ok) return outcome;
  for (const DavResponse& response : answer.responses)
    if (response.addressBook) books.push_back({WithSlash(Resolve(at, response.href)), response.displayName});
  return {};
}

Outcome Client::Info(const std::string& bookUrl, BookInfo& info) {
  info = BookInfo{};
  std::string at;
  Multistatus answer;
  const Outcome outcome = Propfind(bookUrl, "0", "<d:displayname/><c:supported-address-data/><d:supported-report-set/>",
                                   at, answer);
  if (!outcome.ok) return outcome;
  for (const DavResponse& response : answer.responses) {
    if (!SameUrl(Resolve(at, response.href), bookUrl) && answer.responses.size() > 1) continue;
    info.displayName = response.displayName;
    info.syncCollection = response.syncCollection;
    for (const std::string& version : response.addressDataVersions)
      if (version == "4.0") info.version4 = true;
  }
  return {};
}

Outcome Client::ReadChanges(const std::string& bookUrl, const std::string& syncToken, bool useSyncCollection,
                            Changes& changes) {
  changes = Changes{};
  if (useSyncCollection) {
    const std::string body = std::string(kXmlHead) + "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" +
                             XmlEscaped(syncToken) +
                             "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
                             "</d:sync-collection>";
    const http::Response response = Send("REPORT", bookUrl, body, "");
    if (response.failure != http::Failure::None || response.status == 401) return Failed(response, "REPORT");
    Multistatus answer;
    if (response.status == 207 && ParseMultistatus(response.body, answer)) {
      changes.full = syncToken.empty();
      changes.syncToken = answer.syncToken;
      for (const DavResponse& item : answer.responses) {
        const std::string url = Resolve(bookUrl, item.href);
        if (SameUrl(url, bookUrl)) continue;
        if (item.status == 404)
          changes.removed.push_back(url);
        else if (item.found && !item.collection)
          changes.etags[url] = item.etag;
      }
      return {};
    }
    // A token the server no longer knows, or no sync-collection: list everything.
  }
  std::string at;
  Multistatus answer;
  const Outcome outcome = Propfind(bookUrl, "1", "<d:getetag/><d:resourcetype/>", at, answer);
  if (!outcome.ok) return outcome;
  changes.full = true;
  for (const DavResponse& item : answer.responses) {
    const std::string url = Resolve(at, item.href);
    if (SameUrl(url, at) || item.collection || !item.found) continue;
    changes.etags[url] = item.etag;
  }
  return {};
}

Outcome Client::Fetch(const std::string& bookUrl, const std::vector<std::string>& urls, std::vector<Card>& cards) {
  cards.clear();
  for (std::size_t first = 0; first < urls.size(); first += kBatch) {
    std::string body = std::string(kXmlHead) +
                       "<c:addressbook-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
                       "<d:prop><d:getetag/><c:address-data/></d:prop>";
    const std::size_t last = std::min(urls.size(), first + kBatch);
    for (std::size_t i = first; i < last; ++i) {
      // The server wants its own paths back, not full addresses.
      const std::string origin = Origin(urls[i]);
      body += "<d:href>" + XmlEscaped(urls[i].substr(origin.size())) + "</d:href>";
    }
    body += "</c:addressbook-multiget>";
    const http::Response response = Send("REPORT", bookUrl, body, "1");
    if (response.status != 207) return Failed(response, "REPORT addressbook-multiget");
    Multistatus answer;
    if (!ParseMultistatus(response.body, answer)) return Nonsense("REPORT addressbook-multiget");
    for (const DavResponse& item : answer.responses)
      if (item.found && !item.addressData.empty())
        cards.push_back({Resolve(bookUrl, item.href), item.etag, item.addressData});
  }
  return {};
}

Outcome Client::Put(const std::string& url, const std::string& data, const std::string& ifMatch, bool version4,
                    std::string& etag) {
  http::Headers headers;
  headers.emplace_back("Content-Type", std::string("text/vcard; charset=utf-8") + (version4 ? "; version=4.0" : ""));
  if (ifMatch.empty())
    headers.emplace_back("If-None-Match", "*");
  else
    headers.emplace_back("If-Match", ifMatch);
  const http::Response response = Send("PUT", url, data, "", std::move(headers));
  // A multistatus is how some servers refuse a card.
  if (!response.Ok() || response.status == 207) return Failed(response, "PUT " + url);
  etag = response.Header("etag");
  return {};
}

Outcome Client::Delete(const std::string& url, const std::string& ifMatch) {
  http::Headers headers;
  if (!ifMatch.empty()) headers.emplace_back("If-Match", ifMatch);
  const http::Response response = Send("DELETE", url, "", "", std::move(headers));
  // Gone already is what was wanted.
  if (response.failure == http::Failure::None && response.status == 404) return {};
  if (!response.Ok()) return Failed(response, "DELETE " + url);
  return {};
}

}  // namespace carddav
