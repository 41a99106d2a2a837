// The journal's dialogs on their own: values in, run, values out.
#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include "dialogs/dlg_history.h"
#include "dialogs/dlg_log_contact.h"
#include "tests/win/app/message_box_watch.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

constexpr Time kDay = 86400;
constexpr Time kNow = 1796299200;  // Thursday 2026-12-03 12:00:00 UTC

TEST(DlgLogContact, OpensAtNowTakesItAsItIsAndCutsTheTextAtTheLimit) {
  DlgLogContact dialog;
  dialog.now = kNow;
  test::DialogDriver driver;
  driver.Expect(L"Log Contact", [](HWND window) {
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_LOG_TEXT, EM_GETLIMITTEXT, 0, 0), 200);
    SetDlgItemTextW(window, IDC_LOG_TEXT, L"Birthday call");
    test::Click(window, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_TRUE(driver.messages().empty()) << "now itself is not the future";
  EXPECT_EQ(dialog.when, kNow);
  EXPECT_EQ(dialog.text, L"Birthday call");

  DlgLogContact cancelled;
  cancelled.now = kNow;
  driver.Expect(L"Log Contact", [](HWND window) { test::Click(window, IDCANCEL); });
  EXPECT_EQ(cancelled.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(cancelled.when, 0);
}

TEST(DlgHistory, ShowsTheRowsAndDeletesOnlyFromItsOwnCopy) {
  DlgHistory dialog;
  dialog.name = L"Ann";
  dialog.now = kNow;
  dialog.entries = {{kNow - kDay, L"Lunch"}, {kNow - kDay - 3600, L""}, {kNow - 400 * kDay, L"Old"}};
  const std::vector<JournalEntry> given = dialog.entries;
  test::DialogDriver driver;
  driver.Expect(L"History: Ann", [](HWND window) {
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), 3);
    EXPECT_EQ(test::Text(window, IDC_HISTORY_COUNT), L"2 contacts in the last twelve months.");
    wchar_t cell[64] = {};
    ListView_GetItemText(list, 0, 0, cell, 64);
    EXPECT_STREQ(cell, DlgHistory::DateText(kNow - kDay).c_str());
    ListView_GetItemText(list, 0, 2, cell, 64);
    EXPECT_STREQ(cell, L"Same day");
    ListView_GetItemText(list, 1, 2, cell, 64);
    EXPECT_STREQ(cell, L"398 days later");
    ListView_GetItemText(list, 0, 3, cell, 64);
    EXPECT_STREQ(cell, L"Lunch");
    test::MessageBoxWatch yes(IDYES);
    ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
    test::Click(window, IDC_HISTORY_DELETE);
    EXPECT_EQ(ListView_GetItemCount(list), 2);
    EXPECT_EQ(test::Text(window, IDC_HISTORY_COUNT), L"2 contacts in the last twelve months.");
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  ASSERT_EQ(dialog.deleted.size(), 1u);
  EXPECT_EQ(dialog.deleted[0].text, L"Old");
  EXPECT_EQ(dialog.entries.size(), 2u);
  EXPECT_EQ(given.size(), 3u);
  EXPECT_EQ(DlgHistory::GapText(1), L"1 day later");
  EXPECT_EQ(DlgHistory::CountText(1), L"1 contact in the last twelve months.");
}

}  // namespace
