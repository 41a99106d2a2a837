#include "model/contact_texts.h"

#include "model/notes_text.h"
#include "model/platform.h"

ContactTexts MakeContactTexts(const std::wstring& name, const std::wstring& notes) {
  ContactTexts texts;
  texts.nameKey = platform::SortKeyNoCase(name);
  texts.foldedName = platform::FoldForFinding(name);
  if (!notes.empty()) texts.foldedNotes = platform::FoldForFinding(text::NotesPlainText(notes));
  texts.mask.Add(texts.foldedName);
  texts.mask.Add(texts.foldedNotes);
  return texts;
}

void TextMask::Add(const std::wstring& folded) {
  std::uint32_t previous = 0;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const auto c = static_cast<std::uint32_t>(folded[i]);
    Set(c * 2654435761u >> 22);
    if (i > 0) Set((previous * 31 + c) * 2246822519u >> 22);
    previous = c;
  }
}

bool TextMask::Covers(const TextMask& query) const {
  for (std::size_t i = 0; i < bits_.size(); ++i)
    if ((bits_[i] & query.bits_[i]) != query.bits_[i]) return false;
  return true;
}
