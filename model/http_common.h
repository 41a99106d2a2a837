#pragma once
// What the two halves of the HTTP seam (libcurl, WinHTTP) share, so that they
// refuse, limit and read answers alike.
#include <cstddef>
#include <string>
#include <string_view>

#include "model/http.h"

namespace http::detail {

// Answers beyond this are not an address book's: the transfer stops.
constexpr std::size_t kMaxBody = 256u << 20;
constexpr long kConnectTimeoutSeconds = 20;
constexpr std::size_t kMaxHeaders = 200;

// The answer to an address Send does not use; nothing was connected.
Response RefusedResponse();
// localhost, 127.0.0.1 or ::1 (with or without brackets), letter case ignored.
bool IsThisComputer(std::string_view host);
// One "Name: value" line of an answer's headers; a status line starts them
// again (after 100 Continue), other lines without a colon are skipped.
void AddHeaderLine(Response& response, std::string_view line);
// "Name: value" for a request; line breaks in either would start a header of
// the server's choosing (an ETag is the server's text), so they are left out.
std::string HeaderLine(std::string_view name, std::string_view value);
// One request as the platform's library sends it; Send adds what both
// halves do around it.
Response SendOnce(const Request& request);
// The value of an Authorization header for Basic authentication.
std::string BasicAuthorization(const std::string& user, const std::string& password);

}  // namespace http::detail
