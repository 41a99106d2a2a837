#pragma once
// The pieces both readers and both writers share: labelled extra lines, the
// interval's unit words, picture types.
#include <optional>
#include <string>
#include <string_view>

#include "interchange/person.h"

namespace interchange {

// "days", "weeks", "months"; other stored values as their number.
std::wstring UnitWord(IntervalUnit unit);
std::optional<IntervalUnit> UnitFromWord(std::wstring_view word);
// "4 weeks" as the sync writes it, and "4;weeks" as our export does.
std::wstring IntervalText(IntervalUnit unit, std::int32_t count);
bool ParseInterval(std::wstring_view text, IntervalUnit& unit, std::int32_t& count);

// The file type of picture bytes by their first bytes: "png", "jpg", "gif",
// "bmp"; empty when they are none of those.
std::string PictureType(std::string_view bytes);
// "image/png" and back.
std::string MediaType(const std::string& type);

// Appends "Label: value" to the person's extras unless value is blank.
void AddExtra(Person& person, std::wstring_view label, std::wstring_view value);
// A birthday as the extras show it ("12 May 1980"); the text itself when it
// is no date we know; empty for the zero dates some programs write.
std::wstring BirthdayText(std::wstring_view raw, bool dayFirst);

// The person's whole notes: their own text, then a blank line and the extras.
std::wstring NotesWithExtras(const Person& person);

std::wstring Trim(std::wstring_view text);
// A decimal 32-bit number, spaces around it allowed.
std::optional<std::int32_t> ParseInt(std::wstring_view text);

}  // namespace interchange
