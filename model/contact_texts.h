#pragma once
// What finding and sorting by name read of a contact, derived from its name
// and notes. Worked out once per change of the contact, never per keystroke
// or per sort, and never saved.
#include <string>

struct ContactTexts {
  std::string nameKey;        // platform::SortKeyNoCase of the name
  std::wstring foldedName;    // platform::FoldForFinding of the name
  std::wstring foldedNotes;   // the same of the notes' plain text
};

ContactTexts MakeContactTexts(const std::wstring& name, const std::wstring& notes);
