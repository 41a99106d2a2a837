#include "lists/selection_texts.h"

#include "model/text_cut.h"

namespace lists {
namespace {

constexpr std::size_t kNamed = 3;

std::wstring Named(const std::wstring& name) {
  if (name.size() <= kNameInQuestion) return name;
  return text::CutText(name, kNameInQuestion) + L"\u2026";
}

}  // namespace

std::wstring PeopleCount(std::size_t count) { return std::to_wstring(count) + (count == 1 ? L" Person" : L" People"); }

std::wstring ForPeople(const std::wstring& item, std::size_t count) { return item + L" (" + PeopleCount(count) + L")"; }

std::wstring DeleteQuestion(const std::vector<std::wstring>& names) {
  const std::size_t count = names.size();
  std::wstring text = L"Delete " + std::to_wstring(count) + (count == 1 ? L" contact" : L" contacts");
  if (count == 0) return text + L"?";
  text += L": ";
  const std::size_t named = count < kNamed ? count : kNamed;
  for (std::size_t i = 0; i < named; ++i) {
    if (i > 0) text += i + 1 == named && count <= kNamed ? L" and " : L", ";
    text += Named(names[i]);
  }
  if (count > kNamed) text += L" and " + std::to_wstring(count - kNamed) + L" more";
  return text + L"?";
}

}  // namespace lists
