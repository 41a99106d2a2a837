#pragma once
// What a WebDAV server's multistatus answers say, read with pugixml. Elements
// are matched by their local names: servers pick their own prefixes, and the
// names we read are not used by two of the namespaces involved.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace carddav {

struct DavResponse {
  std::string href;    // as the server wrote it, percent-escapes and all
  int status = 0;      // of the response or of its first propstat; 0 when none was given
  bool found = false;  // a propstat with status 200 came
  bool addressBook = false;
  bool collection = false;
  std::string displayName;
  std::string etag;
  std::string addressData;  // the card, for multiget answers
  std::string currentUserPrincipal;
  std::string addressBookHome;
  std::vector<std::string> addressDataVersions;  // supported-address-data's versions
  bool syncCollection = false;                   // supported-report-set names sync-collection
};

struct Multistatus {
  std::vector<DavResponse> responses;
  std::string syncToken;
};

// Bounds on what one answer may hold, so that a hostile server costs little.
inline constexpr std::size_t kMaxResponses = 100000;
inline constexpr std::size_t kMaxXmlBytes = 256u << 20;

// False when the text is no XML or no multistatus.
bool ParseMultistatus(std::string_view xml, Multistatus& out);

// The element texts of an error answer (e.g. "valid-sync-token"), to tell why
// a REPORT was refused.
bool ErrorNames(std::string_view xml, std::vector<std::string>& names);

// Text for inside an XML element.
std::string XmlEscaped(std::string_view text);

}  // namespace carddav
