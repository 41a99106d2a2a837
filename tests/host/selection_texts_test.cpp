#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lists/selection_texts.h"

namespace {

TEST(SelectionTexts, TheDeleteQuestionNamesThreeAndCountsTheRest) {
  const std::vector<std::wstring> people{L"Anna Berg", L"Bert Costa", L"Carla Dahl", L"Dora Eck", L"Emil Falk"};
  const struct {
    std::size_t count;
    const wchar_t* question;
  } cases[] = {
      {2, L"Delete 2 contacts: Anna Berg and Bert Costa?"},
      {3, L"Delete 3 contacts: Anna Berg, Bert Costa and Carla Dahl?"},
      {4, L"Delete 4 contacts: Anna Berg, Bert Costa, Carla Dahl and 1 more?"},
      {5, L"Delete 5 contacts: Anna Berg, Bert Costa, Carla Dahl and 2 more?"},
      {1, L"Delete 1 contact: Anna Berg?"},
  };
  for (const auto& entry : cases) {
    const std::vector<std::wstring> names(people.begin(), people.begin() + static_cast<long>(entry.count));
    EXPECT_EQ(lists::DeleteQuestion(names), entry.question);
  }
  EXPECT_EQ(lists::kDeleteQuestionCaption, std::wstring(L"Delete contacts?"));
}

TEST(SelectionTexts, LongNamesAreCutAndMenuItemsCountThePeople) {
  const std::wstring longName(500, L'x');
  const std::wstring question = lists::DeleteQuestion({longName, L"Bo"});
  EXPECT_EQ(question, L"Delete 2 contacts: " + std::wstring(lists::kNameInQuestion, L'x') + L"\u2026 and Bo?");
  // A pair of surrogates at the cut stays whole or goes whole.
  const std::wstring pairs = std::wstring(lists::kNameInQuestion - 1, L'y') + L"\xD83D\xDE00";
  EXPECT_EQ(lists::DeleteQuestion({pairs, L"Bo"}),
            L"Delete 2 contacts: " + std::wstring(lists::kNameInQuestion - 1, L'y') + L"\u2026 and Bo?");

  EXPECT_EQ(lists::ForPeople(L"&Contacted", 3), L"&Contacted (3 People)");
  EXPECT_EQ(lists::ForPeople(L"&Log Contact...", 10000), L"&Log Contact... (10000 People)");
  EXPECT_EQ(lists::PeopleCount(12), L"12 People");
}

}  // namespace
