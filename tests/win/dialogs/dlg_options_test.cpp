#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

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

bool Enabled(HWND window, int id) { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; }

// The reminder time as the picker holds it, in minutes after midnight; -1 for none.
int PickedMinutes(HWND window) {
  SYSTEMTIME time{};
  if (SendDlgItemMessageW(window, IDC_REMIND_AT, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
    return -1;
  return time.wHour * 60 + time.wMinute;
}

void Pick(HWND window, int hour, int minute) {
  SYSTEMTIME time{};
  GetLocalTime(&time);
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  time.wSecond = 0;
  SendDlgItemMessageW(window, IDC_REMIND_AT, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

RECT ItemRect(HWND window, int id) {
  RECT rect{};
  GetWindowRect(GetDlgItem(window, id), &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
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
    EXPECT_TRUE(Checked(window, IDC_REMIND)) << "reminders are on unless turned off";
    EXPECT_TRUE(Enabled(window, IDC_REMIND_AT));
    EXPECT_EQ(PickedMinutes(window), 9 * 60);
    EXPECT_EQ(test::DialogFocus(window), GetDlgItem(window, IDOK));
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
  EXPECT_TRUE(dialog.remindersEnabled);
  EXPECT_EQ(dialog.remindAt, 540);
}

TEST(DlgOptions, TheReminderTimeIsEnabledOnlyWhileTheBoxIsTickedAndBothComeBack) {
  DlgOptions dialog;
  dialog.remindersEnabled = false;
  dialog.remindAt = 23 * 60 + 59;
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_FALSE(Checked(window, IDC_REMIND));
    EXPECT_FALSE(Enabled(window, IDC_REMIND_AT));
    EXPECT_FALSE(Enabled(window, IDC_REMIND_AT_LABEL));
    EXPECT_EQ(PickedMinutes(window), 23 * 60 + 59);
    SendDlgItemMessageW(window, IDC_REMIND, BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked(window, IDC_REMIND));
    EXPECT_TRUE(Enabled(window, IDC_REMIND_AT));
    EXPECT_TRUE(Enabled(window, IDC_REMIND_AT_LABEL));
    SendDlgItemMessageW(window, IDC_REMIND, BM_CLICK, 0, 0);
    EXPECT_FALSE(Enabled(window, IDC_REMIND_AT)) << "ticked off again";
    SendDlgItemMessageW(window, IDC_REMIND, BM_CLICK, 0, 0);
    Pick(window, 7, 5);
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(driver.scriptsRun(), 1);
  EXPECT_TRUE(dialog.remindersEnabled);
  EXPECT_EQ(dialog.remindAt, 7 * 60 + 5);

  // Off, with the time kept; midnight is a time like any other.
  driver.Expect(kCaption, [](HWND window) {
    Pick(window, 0, 0);
    SendDlgItemMessageW(window, IDC_REMIND, BM_CLICK, 0, 0);
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_FALSE(dialog.remindersEnabled);
  EXPECT_EQ(dialog.remindAt, 0);
}

TEST(DlgOptions, TheControlsDoNotOverlapAndTabGoesInTheOrderTheyAreSeen) {
  DlgOptions dialog;
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    std::vector<std::pair<int, RECT>> items;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT rect{};
      GetWindowRect(child, &rect);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
      EXPECT_GE(rect.left, client.left);
      EXPECT_GE(rect.top, client.top);
      EXPECT_LE(rect.right, client.right);
      EXPECT_LE(rect.bottom, client.bottom);
      wchar_t cls[32] = {};
      GetClassNameW(child, cls, 32);
      const bool groupBox = std::wstring(cls) == L"Button" &&
                            (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
      if (!groupBox) items.emplace_back(GetDlgCtrlID(child), rect);
    }
    ASSERT_GE(items.size(), 11u);
    for (std::size_t i = 0; i < items.size(); ++i) {
      for (std::size_t k = i + 1; k < items.size(); ++k) {
        RECT both{};
        EXPECT_FALSE(IntersectRect(&both, &items[i].second, &items[k].second))
            << items[i].first << " overlaps " << items[k].first;
      }
    }
    // The reminder's line sits between the check boxes and the warning levels.
    const RECT remind = ItemRect(window, IDC_REMIND);
    const RECT label = ItemRect(window, IDC_REMIND_AT_LABEL);
    const RECT picker = ItemRect(window, IDC_REMIND_AT);
    EXPECT_LT(remind.right, label.left);
    EXPECT_LT(label.right, picker.left);
    EXPECT_GT(remind.top, ItemRect(window, IDC_MINIMIZE_TO_TRAY).bottom);
    EXPECT_LT(picker.bottom, ItemRect(window, IDC_WARN_PERCENT).top);
    EXPECT_LE(picker.top, remind.top);
    EXPECT_GE(picker.bottom, remind.bottom);

    std::vector<int> order;
    HWND at = GetDlgItem(window, IDC_AUTO_START);
    do {
      order.push_back(GetDlgCtrlID(at));
      at = GetNextDlgTabItem(window, at, FALSE);
    } while (at && at != GetDlgItem(window, IDC_AUTO_START) && order.size() < 20);
    EXPECT_EQ(order, (std::vector<int>{IDC_AUTO_START, IDC_SHOW_LAST_CONTACTED, IDC_MINIMIZE_TO_TRAY, IDC_REMIND,
                                       IDC_REMIND_AT, IDC_DATE_LEAD, IDC_WARN_PERCENT, IDC_WARN_DAYS, IDOK, IDCANCEL}));
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(driver.scriptsRun(), 1);
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
    SendDlgItemMessageW(window, IDC_REMIND, BM_CLICK, 0, 0);
    Pick(window, 13, 30);
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.warnPercent, 60);
  EXPECT_EQ(dialog.warnDays, 5);
  EXPECT_FALSE(dialog.autoStart);
  EXPECT_TRUE(dialog.showLastContacted);
  EXPECT_FALSE(dialog.minimizeToTray);
  EXPECT_TRUE(dialog.remindersEnabled);
  EXPECT_EQ(dialog.remindAt, 540);
}

}  // namespace
