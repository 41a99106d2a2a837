// libFuzzer target for what an address book server answers: any bytes, read
// as a multistatus and as a card, must be read quickly and without a leak; a
// card that reads is written back in a form that reads again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/carddav_xml.h"
#include "sync/sync_card.h"

namespace {

void Card(std::string_view bytes) {
  cardsync::CardFields card;
  std::wstring why;
  if (!cardsync::ParseCard(bytes, card, why)) {
    if (why.empty()) std::abort();
    return;
  }
  if (card.uid.empty() || card.name.empty() || card.log.size() > cardsync::kMaxLogLines) std::abort();
  for (const bool version4 : {false, true}) {
    cardsync::CardFields again;
    if (!cardsync::ParseCard(cardsync::WriteCard(card, version4), again, why)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  carddav::Multistatus answer;
  if (carddav::ParseMultistatus(bytes, answer)) {
    if (answer.responses.size() > carddav::kMaxResponses) std::abort();
    for (const carddav::DavResponse& response : answer.responses) {
      if (response.href.empty()) std::abort();
      Card(response.addressData);
    }
  }
  std::vector<std::string> names;
  carddav::ErrorNames(bytes, names);
  Card(bytes);
  return 0;
}
