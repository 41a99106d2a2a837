#pragma once
// What finding and sorting by name read of a contact, derived from its name
// and notes. Worked out once per change of the contact, never per keystroke
// or per sort, and never saved.
#include <array>
#include <cstdint>
#include <string>

// The letters and pairs of letters a folded text holds, hashed into 1024
// bits. A text whose mask does not cover a query's mask cannot hold the
// query, so most texts are passed over without being searched.
class TextMask {
 public:
  void Add(const std::wstring& folded);
  bool Covers(const TextMask& query) const;

 private:
  void Set(std::uint32_t hash) { bits_[(hash >> 6) & 15] |= std::uint64_t{1} << (hash & 63); }

  std::array<std::uint64_t, 16> bits_{};
};

struct ContactTexts {
  std::string nameKey;       // platform::SortKeyNoCase of the name
  std::wstring foldedName;   // platform::FoldForFinding of the name
  std::wstring foldedNotes;  // the same of the notes' plain text
  TextMask mask;             // of foldedName and foldedNotes
};

ContactTexts MakeContactTexts(const std::wstring& name, const std::wstring& notes);
