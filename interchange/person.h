#pragma once
// What the readers take from a card or a row, before anything is added to the
// collections: the import plan decides groups, intervals and duplicates.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/contact.h"
#include "model/contact_details.h"
#include "model/platform.h"

namespace interchange {

struct Problem {
  std::wstring file;
  std::int64_t line = 0;  // 1-based; 0 when it concerns the whole file
  std::wstring why;
};

struct Person {
  std::wstring name;
  std::wstring group;  // empty: the file names none
  std::optional<IntervalUnit> unit;
  std::optional<std::int32_t> count;
  std::optional<Time> lastContacted;
  std::optional<Time> previousContacted;
  // The notes as plain text, then labelled lines the notes are to end with.
  std::wstring notes;
  std::vector<std::wstring> extras;
  // Phones, addresses and dates, and whatever the card or row held that has
  // no field of its own, for the journal.
  ContactDetails details;
  std::size_t keptChars = 0;  // of details.kept, as AddKept counts them
  // An embedded picture and its file type ("png", "jpg", "gif", "bmp"), or a
  // picture file named by the source (our own CSV export, a vCard's "file:"
  // address); the import reads only those interchange/imported_path.h allows.
  std::string picture;
  std::string pictureType;
  std::wstring picturePath;
  // Where the person was found.
  std::wstring file;
  std::int64_t line = 0;
};

struct ReadResult {
  std::vector<Person> people;
  std::vector<Problem> problems;
  // Not empty when the file could not be read at all; people is empty then.
  std::wstring error;
};

// Limits that keep any input, however large or strange, quick to read.
inline constexpr std::size_t kMaxPictureBytes = 8u << 20;
inline constexpr std::size_t kMaxLineBytes = 16u << 20;
inline constexpr std::size_t kMaxPeople = 100000;
inline constexpr std::size_t kMaxFieldChars = 1u << 20;

}  // namespace interchange
