// libFuzzer target for one of the three loaders (chosen by AMICORD_FUZZ_KIND):
// any bytes must end in Ok or Damaged, fast, without a leak, and never leave a
// null record in a collection.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/archive.h"

namespace {

template <class Collection>
void CheckRecords(const Collection& collection) {
  for (const auto& item : collection.items) {
    if (!item) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#if AMICORD_FUZZ_KIND == 0
  Groups groups;
  ReadArchiveBytes(data, size, groups);
  CheckRecords(groups);
#elif AMICORD_FUZZ_KIND == 1
  Contacts contacts;
  ReadArchiveBytes(data, size, contacts);
  CheckRecords(contacts);
#else
  Options options;
  ReadArchiveBytes(data, size, options);
#endif
  return 0;
}
