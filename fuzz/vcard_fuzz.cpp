// libFuzzer target for the vCard reader: any bytes must read quickly, without a
// leak, into people who all have a name and at most a bounded picture of a
// known type. The same bytes are also read as notes RTF.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "interchange/notes_text.h"
#include "interchange/person_fields.h"
#include "interchange/text_decoding.h"
#include "interchange/vcard_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const interchange::ReadResult result = interchange::ReadVCards(bytes, L"fuzz.vcf");
  if (!result.error.empty() && !result.people.empty()) std::abort();
  for (const interchange::Person& person : result.people) {
    if (person.name.empty() || person.picture.size() > interchange::kMaxPictureBytes) std::abort();
    if (!person.picture.empty() && interchange::PictureType(person.picture) != person.pictureType) std::abort();
    const std::wstring rtf = interchange::NotesRtf(interchange::NotesWithExtras(person));
    for (const wchar_t c : rtf)
      if (c >= 0x80) std::abort();
    interchange::NotesPlainText(rtf);
  }
  interchange::NotesPlainText(interchange::DecodeLoose(bytes));
  return 0;
}
