#pragma once
// The one way the data core talks to the network: a request goes out, a
// response or the kind of failure comes back. libcurl on the host, WinHTTP on
// Windows. Nothing here is used without a sync account.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace http {

using Headers = std::vector<std::pair<std::string, std::string>>;

struct Request {
  std::string method = "GET";
  std::string url;
  Headers headers;
  std::string body;
  // Basic authentication when user is not empty.
  std::string user;
  std::string password;
  long timeoutSeconds = 60;
};

enum class Failure {
  None,     // an answer came, whatever its status
  Refused,  // plain http:// to another computer, or an address we cannot read
  Network,  // no connection, or it broke off before the whole answer came
  Tls,      // the certificate or the TLS handshake failed
  Timeout,
  NotAvailable  // this build has no network code
};

struct Response {
  int status = 0;
  Headers headers;  // names in lower case
  std::string body;
  Failure failure = Failure::None;
  std::string error;  // the failure in words

  // The first header of that name (lower case), empty when there is none.
  std::string Header(std::string_view name) const;
  bool Ok() const { return failure == Failure::None && status >= 200 && status < 300; }
};

// https:// anywhere, http:// only to this computer (localhost, 127.0.0.1, [::1]).
bool AllowedUrl(std::string_view url);
// Whether a redirection from one address to the other keeps its scheme: the
// only redirections the callers follow (never https:// down to http://, nor
// a local http:// up to a name the user did not give).
bool SameScheme(std::string_view from, std::string_view to);

// Sends the request on this thread and waits for the answer. Certificates are
// always checked. Connections are kept for the next request of the same thread.
// Redirections come back as they are (3xx with a location) for the caller.
Response Send(const Request& request);

const char* FailureName(Failure failure);

}  // namespace http
