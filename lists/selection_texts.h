#pragma once
// What the row menu and its questions say when several people are selected.
// Plain texts, without windows, so they are tested on the host too.
#include <cstddef>
#include <string>
#include <vector>

namespace lists {

// "3 People".
std::wstring PeopleCount(std::size_t count);
// A menu item's text naming how many it acts on: "&Contacted (3 People)".
std::wstring ForPeople(const std::wstring& item, std::size_t count);
// The question before several contacts are deleted, naming the first three:
// "Delete 5 contacts: Anna Berg, Bert Costa, Carla Dahl and 2 more?"; with two
// or three, every name ("Delete 2 contacts: Anna Berg and Bert Costa?"). A
// name longer than kNameInQuestion is cut there.
std::wstring DeleteQuestion(const std::vector<std::wstring>& names);

inline constexpr std::size_t kNameInQuestion = 60;
inline constexpr wchar_t kDeleteQuestionCaption[] = L"Delete contacts?";

}  // namespace lists
