#include "model/http_common.h"

#include <boost/archive/iterators/base64_from_binary.hpp>
#include <boost/archive/iterators/transform_width.hpp>
#include <cctype>

namespace http {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string Response::Header(std::string_view name) const {
  const std::string wanted = Lower(name);
  for (const auto& [key, value] : headers)
    if (key == wanted) return value;
  return {};
}

bool AllowedUrl(std::string_view url) {
  const std::string lower = Lower(url.substr(0, 8));
  if (lower.rfind("https://", 0) == 0) return url.size() > 8;
  if (lower.rfind("http://", 0) != 0) return false;
  std::string_view rest = url.substr(7);
  const std::size_t end = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, end);
  // Credentials in the address would hide the real host.
  if (authority.find('@') != std::string_view::npos) return false;
  std::string host;
  if (!authority.empty() && authority.front() == '[') {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return false;
    host = std::string(authority.substr(0, close + 1));
    authority.remove_prefix(close + 1);
    if (!authority.empty() && authority.front() != ':') return false;
  } else {
    host = authority.substr(0, authority.find(':'));
  }
  return detail::IsThisComputer(host);
}

bool SameScheme(std::string_view from, std::string_view to) {
  const auto scheme = [](std::string_view url) { return Lower(url.substr(0, url.find(':'))); };
  return from.find(':') != std::string_view::npos && scheme(from) == scheme(to);
}

const char* FailureName(Failure failure) {
  switch (failure) {
    case Failure::None:
      return "none";
    case Failure::Refused:
      return "refused";
    case Failure::Network:
      return "network";
    case Failure::Tls:
      return "tls";
    case Failure::Timeout:
      return "timeout";
    case Failure::NotAvailable:
      return "not available";
  }
  return "network";
}

Response Send(const Request& request) {
  Response response = detail::SendOnce(request);
  // Some servers (Radicale's own) answer a wrong password before reading the
  // request's body and close the connection on it: the reset can overtake the
  // 401. A HEAD, which reads and changes nothing, then asks again, so that a
  // wrong password is told as such, not as a network failure.
  if (response.failure == Failure::Network && !request.body.empty() && !request.user.empty()) {
    Request again = request;
    again.method = "HEAD";
    again.body.clear();
    again.headers.clear();
    Response answer = detail::SendOnce(again);
    if (answer.failure == Failure::None && answer.status == 401) return answer;
  }
  return response;
}

namespace detail {

Response RefusedResponse() {
  Response response;
  response.failure = Failure::Refused;
  response.error = "only https:// addresses, or http:// to this computer, are used";
  return response;
}

bool IsThisComputer(std::string_view host) {
  const std::string lower = Lower(host);
  return lower == "localhost" || lower == "127.0.0.1" || lower == "[::1]" || lower == "::1";
}

void AddHeaderLine(Response& response, std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  if (line.rfind("HTTP/", 0) == 0) {
    response.headers.clear();
    return;
  }
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || response.headers.size() >= kMaxHeaders) return;
  std::size_t start = colon + 1;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  response.headers.emplace_back(Lower(line.substr(0, colon)), std::string(line.substr(start)));
}

std::string HeaderLine(std::string_view name, std::string_view value) {
  std::string line;
  line.reserve(name.size() + value.size() + 2);
  for (const char c : name)
    if (c != '\r' && c != '\n' && c != ':') line += c;
  line += ": ";
  for (const char c : value)
    if (c != '\r' && c != '\n') line += c;
  return line;
}

std::string BasicAuthorization(const std::string& user, const std::string& password) {
  using namespace boost::archive::iterators;
  using Encoder = base64_from_binary<transform_width<std::string::const_iterator, 6, 8>>;
  const std::string pair = user + ":" + password;
  std::string encoded(Encoder(pair.begin()), Encoder(pair.end()));
  encoded.append((3 - pair.size() % 3) % 3, '=');
  return "Basic " + encoded;
}

}  // namespace detail

}  // namespace http
