// libFuzzer target for the CSV reader: any bytes must either be refused as a
// whole or read quickly, without a leak, into people who all have a name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "interchange/csv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const interchange::ReadResult result = interchange::ReadCsv(bytes, L"fuzz.csv");
  if (!result.error.empty() && (!result.people.empty() || !result.problems.empty())) std::abort();
  for (const interchange::Person& person : result.people) {
    if (person.name.empty() || person.line < 2) std::abort();
    if (person.unit.has_value() != person.count.has_value()) std::abort();
  }
  return 0;
}
