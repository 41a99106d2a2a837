// Windows' network for the sync is still to come (WinHTTP): until then this
// build says so instead of connecting anywhere.
#include "model/http.h"

namespace http {

Response Send(const Request& /*request*/) {
  Response response;
  response.failure = Failure::NotAvailable;
  response.error = "this build cannot connect to an address book server yet";
  return response;
}

}  // namespace http
