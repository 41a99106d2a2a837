#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lists/row_filter.h"
#include "lists/row_store.h"
#include "model/notes_text.h"

namespace {

constexpr Time kNow = 1796299200;

class RowFilterTest : public ::testing::Test {
 protected:
  Contact& Make(const std::wstring& name, const std::wstring& notes = L"") {
    const auto id = static_cast<std::int32_t>(contacts.size() + 1);
    contacts.push_back(std::make_unique<Contact>(id, name, L"", Days, 7, kNow, notes, -1));
    return *contacts.back();
  }

  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> names;
    for (int row = 0; row < store.Count(); ++row) names.push_back(store.ContactAt(row)->name);
    return names;
  }

  // The index answers what a walk over the rows shown would.
  void ExpectIndexAgrees() const {
    for (const auto& contact : contacts) {
      int walked = -1;
      for (int row = 0; row < store.Count() && walked < 0; ++row)
        if (store.At(row)->id == contact->id) walked = row;
      EXPECT_EQ(store.Find(contact->id), walked) << contact->name;
    }
    for (int row = 0; row < store.Count(); ++row) EXPECT_EQ(store.FindKey(store.At(row)->key), row);
  }

  std::vector<std::unique_ptr<Contact>> contacts;
  lists::RowStore store;
};

TEST_F(RowFilterTest, FindsNamesAndNotesPlainTextIgnoringCaseAndAccents) {
  Contact& renee = Make(L"Ren\u00E9e \u00C5berg");
  Contact& bob = Make(L"Bob", text::NotesRtf(L"Met at the Caf\u00E9 M\u00FCller\nlikes JAZZ"));
  Contact& cid = Make(L"Cid", L"{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 plain words}");

  const auto matches = [](const wchar_t* query, const Contact& contact) {
    return lists::RowFilter(query).Matches(contact);
  };
  EXPECT_TRUE(matches(L"renee", renee));
  EXPECT_TRUE(matches(L"ABERG", renee));
  EXPECT_TRUE(matches(L"\u00E9E \u00E5", renee)) << "accents in the query are ignored too";
  EXPECT_TRUE(matches(L"cafe mull", bob)) << "the notes' text, not their RTF";
  EXPECT_TRUE(matches(L"jazz", bob));
  EXPECT_TRUE(matches(L"words", cid));
  EXPECT_FALSE(matches(L"tahoma", cid)) << "the font table is no text of the notes";
  EXPECT_FALSE(matches(L"rtf", bob));
  EXPECT_FALSE(matches(L"renee", bob));
  EXPECT_FALSE(matches(L"bobby", bob));
  EXPECT_TRUE(matches(L"", bob)) << "an empty text lets everyone through";
  EXPECT_FALSE(lists::RowFilter(L"").Active());

  // Typing on narrows; a new start does not.
  EXPECT_TRUE(lists::RowFilter(L"bob").Narrows(lists::RowFilter(L"bo")));
  EXPECT_TRUE(lists::RowFilter(L"xbox").Narrows(lists::RowFilter(L"bo")));
  EXPECT_TRUE(lists::RowFilter(L"b").Narrows(lists::RowFilter()));
  EXPECT_FALSE(lists::RowFilter(L"b").Narrows(lists::RowFilter(L"bo")));
}

TEST_F(RowFilterTest, HiddenRowsKeepTheirPlaceAndFollowEditsSortsAndRemovals) {
  for (const wchar_t* name : {L"Maria", L"jonas", L"Anna", L"Marianne", L"Zoe", L"mario"}) store.Append(Make(name));
  EXPECT_TRUE(store.SetFilter(lists::RowFilter(L"mari")));
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Maria", L"Marianne", L"mario"}));
  EXPECT_EQ(store.TotalCount(), 6);
  ExpectIndexAgrees();

  // Added while filtered: shown only when it matches.
  EXPECT_EQ(store.Append(Make(L"Bea")), -1);
  EXPECT_EQ(store.Append(Make(L"Annemarie")), 3);
  ExpectIndexAgrees();

  // Sorted while filtered: the hidden rows are sorted too.
  lists::RowOrder order;
  order.mode = SortMode::Name;
  order.now = kNow;
  store.Sort(order, lists::KeptRows{});
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Annemarie", L"Maria", L"Marianne", L"mario"}));

  // A contact edited while filtered comes or goes with its new name.
  Contact& zoe = *contacts[4];
  zoe.Update(L"Zoe Marino", L"", Days, 7, kNow, L"", -1);
  EXPECT_TRUE(store.Refilter(zoe.id));
  EXPECT_EQ(store.Find(zoe.id), 4);
  Contact& maria = *contacts[0];
  maria.Update(L"Mary", L"", Days, 7, kNow, L"", -1);
  EXPECT_TRUE(store.Refilter(maria.id));
  EXPECT_FALSE(store.Refilter(maria.id)) << "asked again, nothing changes";
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Annemarie", L"Marianne", L"mario", L"Zoe Marino"}));
  ExpectIndexAgrees();

  // A hidden contact's rows go with it; shown rows are not touched.
  EXPECT_EQ(store.EraseHidden(maria.id), 1);
  EXPECT_EQ(store.EraseHidden(contacts[3]->id), 0);
  EXPECT_TRUE(store.Erase(0));
  ExpectIndexAgrees();

  // Cleared, every row is back in the sorted order.
  EXPECT_TRUE(store.SetFilter(lists::RowFilter()));
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Anna", L"Bea", L"jonas", L"Marianne", L"mario", L"Zoe Marino"}));
  EXPECT_FALSE(store.SetFilter(lists::RowFilter())) << "nothing changed";
  ExpectIndexAgrees();

  // A text found nowhere empties the list; typing on keeps it empty.
  EXPECT_TRUE(store.SetFilter(lists::RowFilter(L"qq")));
  EXPECT_EQ(store.Count(), 0);
  EXPECT_FALSE(store.SetFilter(lists::RowFilter(L"qqq")));
  EXPECT_EQ(store.At(0), nullptr);
}

// Typing in the list jumps to the next row whose name starts with the typed
// letters, whatever their case, going round when asked.
TEST_F(RowFilterTest, FindNameStartIgnoresCaseAndGoesRound) {
  for (const wchar_t* name : {L"Anna", L"bob", L"Bea", L"Carl", L"b"}) store.Append(Make(name));
  EXPECT_EQ(store.FindNameStart(L"B", 0, false), 1);
  EXPECT_EQ(store.FindNameStart(L"b", 2, false), 2);
  EXPECT_EQ(store.FindNameStart(L"BE", 0, false), 2);
  EXPECT_EQ(store.FindNameStart(L"an", 1, false), -1);
  EXPECT_EQ(store.FindNameStart(L"an", 1, true), 0);
  EXPECT_EQ(store.FindNameStart(L"bob", 3, true), 1);
  EXPECT_EQ(store.FindNameStart(L"bobby", 0, true), -1);
  EXPECT_EQ(store.FindNameStart(L"", 0, true), -1);
  store.SetFilter(lists::RowFilter(L"b"));
  EXPECT_EQ(store.FindNameStart(L"c", 0, true), -1) << "hidden rows are not found";
  EXPECT_EQ(store.FindNameStart(L"b", 2, false), 2) << "row numbers of the rows shown";
}

}  // namespace
