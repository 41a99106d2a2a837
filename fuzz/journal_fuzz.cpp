// libFuzzer target for the journal's loader: any bytes must end in Ok or
// Damaged, fast, without a leak, and leave only what every reader relies on:
// entries newest first, texts within the limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Journal journal;
  ReadArchiveBytes(data, size, journal);
  for (const auto& [id, history] : journal.contacts) {
    for (std::size_t i = 0; i < history.entries.size(); ++i) {
      if (history.entries[i].text.size() > Journal::kMaxTextLength) std::abort();
      if (i > 0 && history.entries[i].time > history.entries[i - 1].time) std::abort();
    }
  }
  return 0;
}
