// The host's network: libcurl, one easy handle per thread so that connections
// are kept between the requests of a sync.
#include <curl/curl.h>

#include <memory>

#include "model/http_common.h"

namespace http {

namespace {

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Global {
  Global() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* body = static_cast<std::string*>(user);
  const std::size_t bytes = size * count;
  if (body->size() + bytes > detail::kMaxBody) return 0;
  body->append(data, bytes);
  return bytes;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  const std::size_t bytes = size * count;
  detail::AddHeaderLine(*static_cast<Response*>(user), std::string_view(data, bytes));
  return bytes;
}

Failure FailureOf(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return Failure::Timeout;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
      return Failure::Tls;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return Failure::Refused;
    default:
      return Failure::Network;
  }
}

}  // namespace

Response detail::SendOnce(const Request& request) {
  static Global global;
  Response response;
  if (!AllowedUrl(request.url)) return detail::RefusedResponse();
  thread_local std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
  CURL* curl = handle.get();
  if (!curl) {
    response.failure = Failure::NotAvailable;
    response.error = "the network library could not start";
    return response;
  }
  curl_easy_reset(curl);
  std::unique_ptr<curl_slist, ListDeleter> headers;
  for (const auto& [name, value] : request.headers) {
    const std::string line = detail::HeaderLine(name, value);
    headers.reset(curl_slist_append(headers.release(), line.c_str()));
  }
  // libcurl would add "Expect: 100-continue" to large bodies and wait for it.
  headers.reset(curl_slist_append(headers.release(), "Expect:"));
  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
  if (request.method == "HEAD") curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  if (!request.body.empty() || request.method == "PUT" || request.method == "POST" || request.method == "PROPFIND" ||
      request.method == "REPORT") {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
  }
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  if (!request.user.empty()) {
    curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(curl, CURLOPT_USERNAME, request.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, request.password.c_str());
  }
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, detail::kConnectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, request.timeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response.body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &response);
  const CURLcode code = curl_easy_perform(curl);
  if (code != CURLE_OK) {
    response.failure = FailureOf(code);
    response.error = curl_easy_strerror(code);
    response.body.clear();
    return response;
  }
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  response.status = static_cast<int>(status);
  return response;
}

}  // namespace http
