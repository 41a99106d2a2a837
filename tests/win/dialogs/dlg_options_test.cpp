#include <gtest/gtest.h>

#include "base/windows_api.h"

#include "dialogs/dlg_options.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

constexpr wchar_t kCaption[] = L"Options";
constexpr wchar_t kPercentMessage[] = L"Please, specify the warning percent level to a number between 1 and 99";
constexpr wchar_t kDaysMessage[] = L"Please, specify the warning in days level to a number between 1 and 200";

using Messages = std::vector<std::wstring>;

bool Checked(HWND window, int id) { return SendDlgItemMessageW(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Check(HWND window, int id, bool on) {
  SendDlgItemMessageW(window, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

TEST(DlgOptions, OpensWithTheValuesItWasGiven) {
  DlgOptions dialog;
  dialog.autoStart = true;
  dialog.showLastContacted = false;
  dialog.minimizeToTray = true;
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(test::Text(window, IDC_WARN_PERCENT), L"75");
    EXPECT_EQ(test::Text(window, IDC_WARN_DAYS), L"2");
    EXPECT_TRUE(Checked(window, IDC_AUTO_START));
    EXPECT_FALSE(Checked(window, IDC_SHOW_LAST_CONTACTED));
    EXPECT_TRUE(Checked(window, IDC_MINIMIZE_TO_TRAY));
    EXPECT_EQ(GetFocus(), GetDlgItem(window, IDOK));
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(driver.scriptsRun(), 1);
  EXPECT_TRUE(driver.messages().empty());
  EXPECT_EQ(dialog.warnPercent, 75);
  EXPECT_EQ(dialog.warnDays, 2);
  EXPECT_TRUE(dialog.autoStart);
  EXPECT_FALSE(dialog.showLastContacted);
  EXPECT_TRUE(dialog.minimizeToTray);
}

TEST(DlgOptions, RangesAreCheckedPercentFirst) {
  DlgOptions dialog;
  test::DialogDriver driver;
  driver.Expect(kCaption, [&driver](HWND window) {
    SetDlgItemTextW(window, IDC_WARN_PERCENT, L"");
    SetDlgItemTextW(window, IDC_WARN_DAYS, L"");
    test::Click(window, IDOK);  // both empty: only the percent message
    EXPECT_EQ(driver.TakeMessages(), Messages{kPercentMessage});
    EXPECT_EQ(driver.messageCaptions().back(), L"Error!");
    SetDlgItemTextW(window, IDC_WARN_PERCENT, L"100");
    SetDlgItemTextW(window, IDC_WARN_DAYS, L"200");
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kPercentMessage});
    SetDlgItemTextW(window, IDC_WARN_PERCENT, L"0");
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kPercentMessage});
    SetDlgItemTextW(window, IDC_WARN_PERCENT, L"99");
    SetDlgItemTextW(window, IDC_WARN_DAYS, L"201");
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kDaysMessage});
    SetDlgItemTextW(window, IDC_WARN_DAYS, L"0");
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kDaysMessage});
    // What the user typed stays in the fields.
    EXPECT_EQ(test::Text(window, IDC_WARN_PERCENT), L"99");
    EXPECT_EQ(test::Text(window, IDC_WARN_DAYS), L"0");
    SetDlgItemTextW(window, IDC_WARN_DAYS, L"200");
    Check(window, IDC_AUTO_START, false);
    Check(window, IDC_SHOW_LAST_CONTACTED, true);
    Check(window, IDC_MINIMIZE_TO_TRAY, false);
    test::Click(window, IDOK);
  });
  dialog.autoStart = true;
  dialog.minimizeToTray = true;
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_TRUE(driver.messages().empty());
  EXPECT_EQ(dialog.warnPercent, 99);
  EXPECT_EQ(dialog.warnDays, 200);
  EXPECT_FALSE(dialog.autoStart);
  EXPECT_TRUE(dialog.showLastContacted);
  EXPECT_FALSE(dialog.minimizeToTray);
}

TEST(DlgOptions, LowestLevelsAreAccepted) {
  DlgOptions dialog;
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    SetDlgItemTextW(window, IDC_WARN_PERCENT, L"1");
    SetDlgItemTextW(window, IDC_WARN_DAYS, L"1");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_TRUE(driver.messages().empty());
  EXPECT_EQ(dialog.warnPercent, 1);
  EXPECT_EQ(dialog.warnDays, 1);
}

TEST(DlgOptions, CancelChangesNothing) {
  DlgOptions dialog;
  dialog.warnPercent = 60;
  dialog.warnDays = 5;
  dialog.autoStart = false;
  dialog.showLastContacted = true;
  dialog.minimizeToTray = false;
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    SetDlgItemTextW(window, IDC_WARN_PERCENT, L"10");
    SetDlgItemTextW(window, IDC_WARN_DAYS, L"10");
    Check(window, IDC_AUTO_START, true);
    Check(window, IDC_SHOW_LAST_CONTACTED, false);
    Check(window, IDC_MINIMIZE_TO_TRAY, true);
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.warnPercent, 60);
  EXPECT_EQ(dialog.warnDays, 5);
  EXPECT_FALSE(dialog.autoStart);
  EXPECT_TRUE(dialog.showLastContacted);
  EXPECT_FALSE(dialog.minimizeToTray);
}

}  // namespace
