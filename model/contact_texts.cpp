#include "model/contact_texts.h"

#include "model/notes_text.h"
#include "model/platform.h"

ContactTexts MakeContactTexts(const std::wstring& name, const std::wstring& notes) {
  ContactTexts texts;
  texts.nameKey = platform::SortKeyNoCase(name);
  texts.foldedName = platform::FoldForFinding(name);
  if (!notes.empty()) texts.foldedNotes = platform::FoldForFinding(text::NotesPlainText(notes));
  return texts;
}
