#include <cctype>

#include "model/http.h"

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
    host = Lower(authority.substr(0, authority.find(':')));
  }
  return host == "localhost" || host == "127.0.0.1" || host == "[::1]";
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

}  // namespace http
