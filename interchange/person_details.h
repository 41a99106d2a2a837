#pragma once
// What both readers and both writers share about phones, addresses, dates and
// kept properties.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/person.h"

namespace interchange {

// A phone's or address's label from a type word: "cell" and "mobile" are
// "mobile", "home", "work" and "other" themselves; any other word as written
// (trimmed); "other" for none.
std::wstring ReachLabelOf(std::wstring_view word);

// A date as the files write it: "1980-05-12", "19800512", "--0512", "--05-12"
// (no year), any of them with a time after "T", and "12.05.1980", "5/12/1980"
// (day first as dayFirst says). Nothing for text that is no real date; zero
// dates ("0000-00-00", "0.0.00") set blank.
std::optional<ImportantDate> ParseDateValue(std::wstring_view text, bool dayFirst, bool* blank = nullptr);

// Keeps a property as long as the person's kept ones stay within
// ContactDetails::kMaxKeptChars; false (and nothing kept) when it would not.
bool AddKept(Person& person, KeptProperty kept);
// The problem for the properties AddKept left out, at the card's or row's line.
Problem KeptLeftOut(const Person& person, std::size_t count);

// The date in vCard's basic form: "19800512", "--0512" without a year.
std::wstring VCardDate(const ImportantDate& date);
// The date as the CSV export writes it: "1980-05-12", "--05-12" without a year.
std::wstring CsvDate(const ImportantDate& date);

}  // namespace interchange
