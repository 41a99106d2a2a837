#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/contact_ordering.h"

namespace {

constexpr Time kDay = 86400;
constexpr Time kNow = 1796299200;  // Thursday 2026-12-03 12:00:00 UTC

TEST(CompareContacts, TheFourOrdersAndUnknownValues) {
  Contact a(1, L"Anna", L"", Days, 7, kNow - 2 * kDay, L"", -1);
  Contact b(2, L"anna", L"", Days, 7, kNow - 9 * kDay, L"", -1);
  Contact negative(-1, L"Zed", L"", Days, 7, kNow, L"", -1);
  EXPECT_EQ(CompareContacts(SortMode::None, a, b, 75, 2, kNow), -1);
  EXPECT_EQ(CompareContacts(SortMode::None, b, a, 75, 2, kNow), 1);
  EXPECT_EQ(CompareContacts(SortMode::None, a, a, 75, 2, kNow), 0);
  // Ids compare as unsigned numbers: -1 is the largest.
  EXPECT_EQ(CompareContacts(SortMode::None, negative, a, 75, 2, kNow), 1);
  EXPECT_EQ(CompareContacts(SortMode::Name, a, b, 75, 2, kNow), 0);
  EXPECT_EQ(CompareContacts(SortMode::Name, a, negative, 75, 2, kNow), -1);
  EXPECT_EQ(CompareContacts(SortMode::ContactIn, a, b, 75, 2, kNow), 1);
  EXPECT_EQ(CompareContacts(SortMode::Priority, b, a, 75, 2, kNow), -1);
  EXPECT_EQ(CompareContacts(static_cast<SortMode>(7), a, b, 75, 2, kNow), 0);
  // Against a later clock both are overdue; b is still more so.
  EXPECT_EQ(CompareContacts(SortMode::Priority, a, b, 75, 2, kNow + 30 * kDay), 1);
}

// The class decides before the days, and the warning levels are the caller's.
TEST(CompareContacts, PriorityClassGoesBeforeDaysLeft) {
  Contact warning(1, L"w", L"", Days, 100, kNow - 80 * kDay - 3600, L"", -1);  // 20 days left, 80% through
  Contact normal(2, L"n", L"", Days, 40, kNow - 30 * kDay - 3600, L"", -1);    // 10 days left, 75% through
  EXPECT_EQ(CompareContacts(SortMode::Priority, warning, normal, 75, 2, kNow), -1);
  EXPECT_EQ(CompareContacts(SortMode::ContactIn, warning, normal, 75, 2, kNow), 1);
  // With levels nothing reaches, only the days are left to decide.
  EXPECT_EQ(CompareContacts(SortMode::Priority, warning, normal, 100, -1000, kNow), 1);
}

// The keys made once per name order exactly as comparing the names does
// (lstrcmpiW on Windows), ties included, and follow a renamed contact.
TEST(CompareContacts, NameKeysOrderAsTheNamesCompare) {
  const std::vector<std::wstring> names{L"anna",
                                        L"Anna",
                                        L"\u00C4nna",
                                        L"\u00E4nna",
                                        L"Anne",
                                        L"Andr\u00E9",
                                        L"Andre",
                                        L"ANDRES",
                                        L"\u00C9mile",
                                        L"emile",
                                        L"Zo\u00EB",
                                        L"zoe",
                                        L"O'Brien",
                                        L"Obrien",
                                        L"van Dijk",
                                        L"Van der Berg",
                                        L"",
                                        L"b",
                                        L"B",
                                        L"\u00DFler",
                                        L"ssler",
                                        L"\u00F8ystein",
                                        L"oystein",
                                        L"\u041A\u0430\u0442\u044F",
                                        L"\u043A\u0430\u0442\u044F",
                                        L"Jos\u00E9 1",
                                        L"Jos\u00E9 10",
                                        L"Jos\u00E9 9"};
  std::vector<std::unique_ptr<Contact>> contacts;
  for (const std::wstring& name : names)
    contacts.push_back(std::make_unique<Contact>(1, name, L"", Days, 7, kNow, L"", -1));
  const auto sign = [](int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); };
  for (const auto& a : contacts)
    for (const auto& b : contacts)
      EXPECT_EQ(CompareContacts(SortMode::Name, *a, *b, 75, 2, kNow), sign(platform::CompareNoCase(a->name, b->name)))
          << "between " << a->name.size() << "-character and " << b->name.size() << "-character names";
  Contact& renamed = *contacts.front();
  EXPECT_EQ(CompareContacts(SortMode::Name, renamed, *contacts[17], 75, 2, kNow), -1);
  renamed.Update(L"zz", L"", Days, 7, kNow, L"", -1);
  EXPECT_EQ(CompareContacts(SortMode::Name, renamed, *contacts[17], 75, 2, kNow), 1);
}

}  // namespace
