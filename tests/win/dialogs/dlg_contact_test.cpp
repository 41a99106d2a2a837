#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>
#include <richedit.h>

#include <chrono>
#include <ctime>

#include "dialogs/dlg_contact.h"
#include "dialogs/notes_rtf.h"
#include "framework/scheduler.h"
#include "model/platform.h"
#include "tests/win/dialogs/dialog_driver.h"
#include "tests/win/dialogs/pictures.h"

namespace {

constexpr wchar_t kCaption[] = L"Add Contact";
constexpr wchar_t kGroupCaption[] = L"Add Group";
constexpr wchar_t kNameMessage[] = L"Please, specify the contact name.";
constexpr wchar_t kCountMessage[] = L"Please, specify the time to contact every.";
constexpr wchar_t kGroupMessage[] = L"Please, select a group.";
constexpr wchar_t kUnitMessage[] = L"Please, specify the unit (Days, Weeks, Months) to contact every.";

using Messages = std::vector<std::wstring>;
using std::chrono_literals::operator""ms;

// The time the date stamps are taken from: a Tuesday.
constexpr time_t kNow = 1700000000;

// Four groups: two with pictures, one without, one whose picture is gone.
class DlgContactTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousClock = platform::ReplaceClock([] { return Time{kNow}; });
    friendsPicture = folder.File(L"friends.png");
    familyPicture = folder.File(L"family.png");
    ownPicture = folder.File(L"own.png");
    ASSERT_TRUE(test::WriteSolidPng(friendsPicture, 0xFF00FF00u));
    ASSERT_TRUE(test::WriteSolidPng(familyPicture, 0xFF0000FFu));
    ASSERT_TRUE(test::WriteSolidPng(ownPicture, 0xFFFF0000u));
    groups->Add(L"Friends", friendsPicture, Weeks, 3);         // id 1
    groups->Add(L"Work", L"", Months, 0);                      // id 2
    groups->Add(L"Family", familyPicture, Days, 5);            // id 3
    groups->Add(L"Gone", folder.File(L"gone.png"), Weeks, 0);  // id 4
  }

  void Prepare(DlgContact& dialog, std::int32_t preselected = -1) {
    dialog.groups = groups;
    dialog.contacts = contacts;
    dialog.groupId = preselected;
  }

  static HWND Notes(HWND window) { return GetDlgItem(window, IDC_NOTES); }

  // The notes' plain text (read as Unicode) with line breaks as "\n".
  static std::wstring NotesText(HWND window) {
    GETTEXTLENGTHEX length{GTL_DEFAULT | GTL_NUMCHARS, 1200};
    const LRESULT chars = SendMessageW(Notes(window), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring buffer(static_cast<size_t>(chars) + 1, L'\0');
    GETTEXTEX request{};
    request.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    request.flags = GT_DEFAULT;
    request.codepage = 1200;
    SendMessageW(Notes(window), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(&buffer[0]));
    std::wstring text;
    for (size_t at = 0; at < buffer.size() && buffer[at]; ++at) {
      if (buffer[at] != L'\r')
        text += buffer[at];
      else if (at + 1 >= buffer.size() || buffer[at + 1] != L'\n')
        text += L'\n';
    }
    return text;
  }

  static CHARRANGE Selection(HWND window) {
    CHARRANGE range{};
    SendMessageW(Notes(window), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
  }

  static std::wstring Stamp(time_t when) {
    tm local{};
    localtime_s(&local, &when);
    wchar_t text[128] = {};
    wcsftime(text, 128, L"%a, %b %d, %Y:", &local);
    return text;
  }

  TempFolder folder;
  std::wstring friendsPicture, familyPicture, ownPicture;
  void TearDown() override { platform::ReplaceClock(previousClock); }

  boost::shared_ptr<Groups> groups{new Groups};
  boost::shared_ptr<Contacts> contacts{new Contacts};
  test::DialogDriver driver;
  platform::Clock previousClock;
};

TEST_F(DlgContactTest, ChecksRunInOrderAndOnlyTheFirstFailureIsTold) {
  DlgContact dialog;
  Prepare(dialog);
  driver.Expect(kCaption, [this](HWND window) {
    EXPECT_EQ(test::DialogFocus(window), GetDlgItem(window, IDC_NAME));
    test::Click(window, IDOK);  // empty name and zero interval
    EXPECT_EQ(driver.TakeMessages(), Messages{kNameMessage});
    SetDlgItemTextW(window, IDC_NAME, L"   ");
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kCountMessage});
    SetDlgItemTextW(window, IDC_INTERVAL_COUNT, L"0");
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kCountMessage});
    SetDlgItemTextW(window, IDC_INTERVAL_COUNT, L"2");
    test::Click(window, IDOK);  // no group chosen
    EXPECT_EQ(driver.TakeMessages(), Messages{kGroupMessage});
    test::ChooseEntry(window, IDC_GROUP, 1);  // "Work" selects Months but keeps the typed 2
    SendDlgItemMessageW(window, IDC_INTERVAL_UNIT, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kUnitMessage});
    EXPECT_EQ(driver.messageCaptions().back(), L"Error!");
    test::ChooseEntry(window, IDC_INTERVAL_UNIT, 1);
    test::Click(window, IDOK);
  });
  const time_t before = time(nullptr);
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_TRUE(driver.messages().empty());
  EXPECT_EQ(dialog.name, L"   ");
  EXPECT_EQ(dialog.count, 2);
  EXPECT_EQ(dialog.unit, Weeks);
  EXPECT_EQ(dialog.groupId, 2);
  EXPECT_EQ(dialog.imagePath, L"");
  // Add mode: the picker starts at the current local date and time.
  EXPECT_GE(dialog.lastContacted, before - 60);
  EXPECT_LE(dialog.lastContacted, time(nullptr) + 60);
}

TEST_F(DlgContactTest, ANegativeIntervalIsRefusedLikeAnEmptyOne) {
  DlgContact dialog;
  Prepare(dialog, 1);
  driver.Expect(kCaption, [this](HWND window) {
    SetDlgItemTextW(window, IDC_NAME, L"Pat");
    SetDlgItemTextW(window, IDC_INTERVAL_COUNT, L"-3");  // pasted: the field only stops typed signs
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kCountMessage});
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST_F(DlgContactTest, GroupDefaultsFollowEachGroupChangeInAddMode) {
  DlgContact dialog;
  Prepare(dialog, 1);
  driver.Expect(kCaption, [](HWND window) {
    ASSERT_EQ(test::EntryCount(window, IDC_GROUP), 5);
    EXPECT_EQ(test::EntryText(window, IDC_GROUP, 0), L"Friends");
    EXPECT_EQ(test::EntryData(window, IDC_GROUP, 2), 3);
    EXPECT_EQ(test::EntryText(window, IDC_GROUP, 4), L"Add New Group...");
    EXPECT_EQ(test::EntryData(window, IDC_GROUP, 4), DlgContact::kNewGroupEntry);
    EXPECT_EQ(test::Selected(window, IDC_GROUP), 0);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 1);
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"3");
    // "Work": count 0 leaves the 3, unit Months.
    test::ChooseEntry(window, IDC_GROUP, 1);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 2);
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"3");
    SetDlgItemTextW(window, IDC_NAME, L"Ann");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.groupId, 2);
  EXPECT_EQ(dialog.unit, Months);
  EXPECT_EQ(dialog.count, 3);
  // "Work" has no picture: the well is empty and so is the result, not the
  // picture of the group chosen before.
  EXPECT_EQ(dialog.imagePath, L"");

  DlgContact withPicture;
  Prepare(withPicture, 2);
  driver.Expect(kCaption, [](HWND window) {
    test::ChooseEntry(window, IDC_GROUP, 2);  // "Family": Days, 5, its picture
    SetDlgItemTextW(window, IDC_NAME, L"Bea");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(withPicture.DoModal(nullptr), IDOK);
  EXPECT_EQ(withPicture.unit, Days);
  EXPECT_EQ(withPicture.count, 5);
  EXPECT_EQ(withPicture.imagePath, familyPicture);

  DlgContact missingPicture;
  Prepare(missingPicture, 3);
  driver.Expect(kCaption, [](HWND window) {
    test::ChooseEntry(window, IDC_GROUP, 3);  // "Gone": its picture file no longer exists
    SetDlgItemTextW(window, IDC_NAME, L"Cid");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(missingPicture.DoModal(nullptr), IDOK);
  EXPECT_EQ(missingPicture.imagePath, L"");
  EXPECT_EQ(missingPicture.groupId, 4);
}

TEST_F(DlgContactTest, ArrowKeysOnTheClosedGroupListApplyDefaultsButOpenNoGroupDialog) {
  DlgContact dialog;
  Prepare(dialog);
  driver.Expect(kCaption, [this](HWND window) {
    HWND list = GetDlgItem(window, IDC_GROUP);
    SendMessageW(list, CB_SETCURSEL, 2, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_GROUP, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"5");
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 0);
    SendMessageW(list, CB_SETCURSEL, 4, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_GROUP, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    SetDlgItemTextW(window, IDC_NAME, L"Oz");
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kGroupMessage});
    SendMessageW(list, CB_SETCURSEL, 2, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_GROUP, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(driver.scriptsRun(), 1);
  EXPECT_EQ(groups->items.size(), 4u);
  EXPECT_EQ(dialog.groupId, 3);
  EXPECT_EQ(dialog.imagePath, familyPicture);
}

TEST_F(DlgContactTest, TypedIntervalOrChosenPictureIsNoLongerReplacedByDefaults) {
  DlgContact typed;
  Prepare(typed, 1);
  driver.Expect(kCaption, [](HWND window) {
    SetDlgItemTextW(window, IDC_INTERVAL_COUNT, L"4");  // the user's typing
    test::ChooseEntry(window, IDC_GROUP, 2);            // "Family"
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"4");
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 1);
    SetDlgItemTextW(window, IDC_NAME, L"Dan");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(typed.DoModal(nullptr), IDOK);
  EXPECT_EQ(typed.count, 4);
  EXPECT_EQ(typed.unit, Weeks);
  EXPECT_EQ(typed.imagePath, familyPicture);  // the picture still follows the group

  DlgContact browsed;
  Prepare(browsed, 1);
  const std::wstring own = ownPicture;
  browsed.SetPictureChooser([own](OPENFILENAMEW& request) {
    lstrcpynW(request.lpstrFile, own.c_str(), static_cast<int>(request.nMaxFile));
    return true;
  });
  driver.Expect(kCaption, [](HWND window) {
    test::Click(window, IDC_BROWSE);
    test::ChooseEntry(window, IDC_GROUP, 2);  // "Family": unit and count follow, the picture stays
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"5");
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 0);
    SetDlgItemTextW(window, IDC_NAME, L"Eve");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(browsed.DoModal(nullptr), IDOK);
  EXPECT_EQ(browsed.imagePath, ownPicture);
  EXPECT_EQ(browsed.count, 5);
  EXPECT_EQ(browsed.unit, Days);
  EXPECT_EQ(browsed.groupId, 3);
}

TEST_F(DlgContactTest, EditModeKeepsUnitCountAndPictureWhenTheGroupChanges) {
  const Time when = 1700000000;
  DlgContact dialog(L"Fay", ownPicture, Months, 10, when, L"", 1);
  dialog.groups = groups;
  EXPECT_TRUE(dialog.editMode);
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(test::Text(window, IDC_NAME), L"Fay");
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"10");
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 2);
    EXPECT_EQ(test::Selected(window, IDC_GROUP), 0);
    test::ChooseEntry(window, IDC_GROUP, 2);
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"10");
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 2);
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.groupId, 3);
  EXPECT_EQ(dialog.unit, Months);
  EXPECT_EQ(dialog.count, 10);
  EXPECT_EQ(dialog.imagePath, ownPicture);
  EXPECT_EQ(dialog.lastContacted, when);  // through the picker and back, to the second
  EXPECT_EQ(dialog.name, L"Fay");

  // Past 2038, where a 32-bit time would have ended.
  const Time late = 4102444800 + 3600 * 15;  // 2100-01-01, afternoon
  DlgContact future(L"Fay", L"", Days, 1, late, L"", 1);
  future.groups = groups;
  driver.Expect(kCaption, [](HWND window) {
    SYSTEMTIME shown{};
    SendDlgItemMessageW(window, IDC_LAST_CONTACTED, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_TRUE(shown.wYear == 2100 || shown.wYear == 2099);
    test::Click(window, IDOK);
  });
  EXPECT_EQ(future.DoModal(nullptr), IDOK);
  EXPECT_EQ(future.lastContacted, late);

  DlgContact gone(L"Gil", folder.File(L"gone.png"), Days, 1, when, L"", 1);
  gone.groups = groups;
  driver.Expect(kCaption, [](HWND window) { test::Click(window, IDOK); });
  EXPECT_EQ(gone.DoModal(nullptr), IDOK);
  EXPECT_EQ(gone.imagePath, L"");
}

TEST_F(DlgContactTest, CancelChangesNothing) {
  DlgContact dialog(L"Hal", ownPicture, Weeks, 2, 1600000000, L"", 3);
  dialog.groups = groups;
  driver.Expect(kCaption, [](HWND window) {
    SetDlgItemTextW(window, IDC_NAME, L"Changed");
    SetDlgItemTextW(window, IDC_INTERVAL_COUNT, L"7");
    test::ChooseEntry(window, IDC_GROUP, 0);
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.name, L"Hal");
  EXPECT_EQ(dialog.count, 2);
  EXPECT_EQ(dialog.unit, Weeks);
  EXPECT_EQ(dialog.imagePath, ownPicture);
  EXPECT_EQ(dialog.lastContacted, 1600000000);
  EXPECT_EQ(groups->items.size(), 4u);
}

TEST_F(DlgContactTest, AddNewGroupAddsSelectsAndAppliesTheNewGroup) {
  boost::shared_ptr<Groups> none(new Groups);
  DlgContact dialog;
  dialog.groups = none;
  driver.Expect(kCaption, [this](HWND window) {
    ASSERT_EQ(test::EntryCount(window, IDC_GROUP), 1);
    EXPECT_EQ(test::EntryText(window, IDC_GROUP, 0), L"Add New Group...");
    EXPECT_EQ(test::Selected(window, IDC_GROUP), -1);
    driver.Expect(kGroupCaption, [](HWND group) {
      SetDlgItemTextW(group, IDC_GROUP_NAME, L"Neighbours");
      SetDlgItemTextW(group, IDC_INTERVAL_COUNT, L"2");
      test::ChooseEntry(group, IDC_INTERVAL_UNIT, 2);
      test::Click(group, IDOK);
    });
    test::ChooseEntry(window, IDC_GROUP, 0);
    ASSERT_EQ(test::EntryCount(window, IDC_GROUP), 2);
    EXPECT_EQ(test::EntryText(window, IDC_GROUP, 0), L"Neighbours");
    EXPECT_EQ(test::Selected(window, IDC_GROUP), 0);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 2);
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"2");
    SetDlgItemTextW(window, IDC_NAME, L"Ida");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(driver.scriptsRun(), 2);
  ASSERT_EQ(none->items.size(), 1u);
  EXPECT_EQ(none->items[0]->name, L"Neighbours");
  EXPECT_EQ(none->items[0]->unit, Months);
  EXPECT_EQ(none->items[0]->count, 2);
  EXPECT_EQ(dialog.groupId, none->items[0]->id);
  EXPECT_EQ(dialog.unit, Months);
  EXPECT_EQ(dialog.count, 2);
}

TEST_F(DlgContactTest, AddNewGroupCancelledOrRefusedLeavesTheEntrySelectedAndSaveAsksForAGroup) {
  DlgContact dialog;
  Prepare(dialog, 1);
  driver.Expect(kCaption, [this](HWND window) {
    SetDlgItemTextW(window, IDC_NAME, L"Jo");
    driver.Expect(kGroupCaption, [](HWND group) {
      SetDlgItemTextW(group, IDC_GROUP_NAME, L"Never");
      test::Click(group, IDCANCEL);
    });
    test::ChooseEntry(window, IDC_GROUP, 4);
    EXPECT_EQ(test::EntryCount(window, IDC_GROUP), 5);
    EXPECT_EQ(test::Selected(window, IDC_GROUP), 4);
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kGroupMessage});

    // A name that differs from an existing group's only in case is refused.
    driver.Expect(kGroupCaption, [](HWND group) {
      SetDlgItemTextW(group, IDC_GROUP_NAME, L"FRIENDS");
      test::Click(group, IDOK);
    });
    test::ChooseEntry(window, IDC_GROUP, 4);
    EXPECT_EQ(test::EntryCount(window, IDC_GROUP), 5);
    EXPECT_EQ(test::Selected(window, IDC_GROUP), 4);
    EXPECT_TRUE(driver.messages().empty());  // the refusal is not reported
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kGroupMessage});
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(driver.scriptsRun(), 3);
  EXPECT_EQ(groups->items.size(), 4u);
}

TEST_F(DlgContactTest, AGroupAddedThereStaysWhenTheContactIsCancelled) {
  DlgContact dialog;
  Prepare(dialog);
  driver.Expect(kCaption, [this](HWND window) {
    driver.Expect(kGroupCaption, [](HWND group) {
      SetDlgItemTextW(group, IDC_GROUP_NAME, L"Choir");
      test::Click(group, IDOK);
    });
    test::ChooseEntry(window, IDC_GROUP, 4);
    EXPECT_EQ(test::EntryText(window, IDC_GROUP, 4), L"Choir");
    EXPECT_EQ(test::Selected(window, IDC_GROUP), 4);
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  ASSERT_EQ(groups->items.size(), 5u);
  EXPECT_EQ(groups->items[4]->name, L"Choir");
}

TEST_F(DlgContactTest, LongGroupNamesAreCutToTheEntryBuffer) {
  const std::wstring longName(150, L'n');
  groups->Add(longName, L"", Days, 0);
  DlgContact dialog;
  Prepare(dialog, 5);
  driver.Expect(kCaption, [&longName](HWND window) {
    EXPECT_EQ(test::Selected(window, IDC_GROUP), 4);
    EXPECT_EQ(test::EntryText(window, IDC_GROUP, 4), longName.substr(0, 99));
    EXPECT_EQ(test::EntryText(window, IDC_GROUP, 5), L"Add New Group...");
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST_F(DlgContactTest, TypingAFirstLetterSelectsTheUnit) {
  DlgContact dialog;
  Prepare(dialog);
  driver.Expect(kCaption, [](HWND window) {
    HWND inner = reinterpret_cast<HWND>(SendDlgItemMessageW(window, IDC_INTERVAL_UNIT, CBEM_GETCOMBOCONTROL, 0, 0));
    ASSERT_NE(inner, nullptr);
    SendMessageW(inner, WM_CHAR, L'm', 0);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 2);
    SendMessageW(inner, WM_CHAR, L'x', 0);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 2);
    SendMessageW(inner, WM_CHAR, L'W', 0);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 1);
    // Characters sent to the dialog itself are swallowed.
    EXPECT_EQ(SendMessageW(window, WM_CHAR, L'C', 0), 0);
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST_F(DlgContactTest, ADateBefore1900GivesZero) {
  DlgContact dialog;
  Prepare(dialog, 1);
  driver.Expect(kCaption, [](HWND window) {
    SYSTEMTIME old{};
    old.wYear = 1899;
    old.wMonth = 12;
    old.wDay = 31;
    old.wHour = 12;
    ASSERT_TRUE(
        SendDlgItemMessageW(window, IDC_LAST_CONTACTED, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&old)));
    SYSTEMTIME shown{};
    SendDlgItemMessageW(window, IDC_LAST_CONTACTED, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.wYear, 1899);
    SetDlgItemTextW(window, IDC_NAME, L"Kim");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.lastContacted, 0);
}

// A picker with no date to give, as one showing "none" answers.
LRESULT CALLBACK NoDate(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == DTM_GETSYSTEMTIME) return GDT_NONE;
  return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(DlgContactTest, ADateThePickerCannotGiveKeepsThePreviousOne) {
  DlgContact dialog(L"Hal", ownPicture, Weeks, 2, 1600000000, L"", 3);
  dialog.groups = groups;
  driver.Expect(kCaption, [](HWND window) {
    ASSERT_TRUE(SetWindowSubclass(GetDlgItem(window, IDC_LAST_CONTACTED), &NoDate, 1, 0));
    SetDlgItemTextW(window, IDC_NAME, L"Hal Changed");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.name, L"Hal Changed");
  EXPECT_EQ(dialog.lastContacted, 1600000000);
}

TEST_F(DlgContactTest, TheFirstFocusOnEmptyNotesAddsTheColouredDateStampOnce) {
  framework::ManualScheduler scheduler;
  framework::ScopedUiScheduler useScheduler(scheduler);
  DlgContact dialog;
  Prepare(dialog, 1);
  driver.Expect(kCaption, [&](HWND window) {
    EXPECT_EQ(NotesText(window), L"");
    SetFocus(Notes(window));
    ASSERT_EQ(GetFocus(), Notes(window));
    const std::wstring text = NotesText(window);
    const std::wstring stamp = text.substr(0, text.size() - 1);
    EXPECT_EQ(stamp, Stamp(kNow)) << std::string(text.begin(), text.end());
    EXPECT_EQ(text.back(), L'\n');

    // The stamp's colour, and nothing selected.
    CHARRANGE range{0, static_cast<LONG>(stamp.size())};
    SendMessageW(Notes(window), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(Notes(window), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(format.dwMask & CFM_COLOR);
    EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(format.crTextColor, RGB(0x11, 0x11, 0x55));

    // However the caret was placed, the step 10 ms later puts it at the end.
    CHARRANGE start{0, 0};
    SendMessageW(Notes(window), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    EXPECT_EQ(scheduler.Pending(), 1u);
    scheduler.Advance(9ms);
    EXPECT_EQ(Selection(window).cpMax, 0);
    scheduler.Advance(1ms);
    const CHARRANGE now = Selection(window);
    EXPECT_EQ(now.cpMin, now.cpMax);
    EXPECT_GT(now.cpMin, static_cast<LONG>(stamp.size()));
    EXPECT_EQ(scheduler.Pending(), 0u);

    // Leaving and coming back adds nothing.
    SetFocus(GetDlgItem(window, IDC_NAME));
    SetFocus(Notes(window));
    EXPECT_EQ(NotesText(window), text);
    SetDlgItemTextW(window, IDC_NAME, L"Lou");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);

  // Each opening adds a stamp of its own, after a blank line.
  DlgContact again(dialog.name, dialog.imagePath, dialog.unit, dialog.count, dialog.lastContacted, dialog.notes,
                   dialog.groupId);
  again.groups = groups;
  driver.Expect(kCaption, [&](HWND window) {
    const std::wstring first = NotesText(window);
    ASSERT_FALSE(first.empty());
    SetFocus(Notes(window));
    EXPECT_EQ(scheduler.Pending(), 1u);
    const std::wstring text = NotesText(window);
    ASSERT_GT(text.size(), first.size());
    EXPECT_EQ(text.substr(0, first.size()), first);
    // Two line breaks, then the stamp in a line of its own.
    const std::wstring added = text.substr(first.size());
    const std::wstring stamp = Stamp(kNow);
    EXPECT_EQ(added.substr(0, 2), L"\n\n");
    EXPECT_EQ(added.substr(2, stamp.size()), stamp);
    EXPECT_EQ(added.back(), L'\n');
    EXPECT_EQ(added.size(), stamp.size() + 3);
    test::Click(window, IDOK);
  });
  EXPECT_EQ(again.DoModal(nullptr), IDOK);
  // Closed before its caret step: the step went with the window.
  EXPECT_EQ(scheduler.Pending(), 0u);
}

TEST_F(DlgContactTest, NotesWithTextGetTheStampAfterABlankLineAndUntouchedNotesStayAsTheyWere) {
  const std::wstring rtf = L"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello \\b world\\b0\\par}";
  DlgContact untouched(L"Max", L"", Days, 3, 1650000000, rtf, 2);
  untouched.groups = groups;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(NotesText(window).substr(0, 11), L"Hello world");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(untouched.DoModal(nullptr), IDOK);
  // Never focused: no stamp, and the formatting survives.
  EXPECT_NE(untouched.notes.find(L"Hello "), std::wstring::npos);
  EXPECT_NE(untouched.notes.find(L"\\b world"), std::wstring::npos);
  EXPECT_EQ(untouched.notes.find(L"\\red17\\green17\\blue85"), std::wstring::npos);

  DlgContact stamped(L"Max", L"", Days, 3, 1650000000, L"{\\rtf1\\ansi Hello}", 2);
  stamped.groups = groups;
  driver.Expect(kCaption, [this](HWND window) {
    SetFocus(Notes(window));
    const std::wstring text = NotesText(window);
    const std::wstring stamp = Stamp(kNow);
    EXPECT_EQ(text.substr(0, 7), L"Hello\n\n");
    EXPECT_EQ(text.substr(7, stamp.size()), stamp);
    // The earlier text keeps its own colour.
    CHARRANGE range{0, 5};
    SendMessageW(Notes(window), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(Notes(window), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_NE(format.crTextColor, RGB(0x11, 0x11, 0x55));
    test::Click(window, IDOK);
  });
  EXPECT_EQ(stamped.DoModal(nullptr), IDOK);
  EXPECT_NE(stamped.notes.find(L"Hello"), std::wstring::npos);
  EXPECT_NE(stamped.notes.find(L"\\red17\\green17\\blue85"), std::wstring::npos);
}

TEST_F(DlgContactTest, NotesRoundTripThroughTheDialogAtAnyLength) {
  // Well over the 80,000 bytes a fixed buffer would have held.
  std::wstring body;
  for (int line = 0; body.size() < 120000; ++line)
    body += L"Line " + std::to_wstring(line) + L": \\b bold\\b0  and \\i italic\\i0  text.\\par\n";
  const std::wstring rtf = L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 " + body + L"Ende \\u1050?\\u1072?}";

  DlgContact first(L"Ned", L"", Days, 3, 1650000000, rtf, 2);
  first.groups = groups;
  std::wstring shownFirst;
  driver.Expect(kCaption, [&shownFirst](HWND window) {
    // Long notes still take typing.
    CHARRANGE end{-1, -1};
    SendMessageW(Notes(window), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    end.cpMin = end.cpMax = static_cast<LONG>(NotesText(window).size());
    SendMessageW(Notes(window), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    SendMessageW(Notes(window), WM_CHAR, L'Z', 0);
    shownFirst = NotesText(window);
    test::Click(window, IDOK);
  });
  ASSERT_EQ(first.DoModal(nullptr), IDOK);
  EXPECT_GT(first.notes.size(), 80000u);
  EXPECT_EQ(first.notes.find(L'\0'), std::wstring::npos);
  EXPECT_EQ(first.notes.back(), L'}');
  EXPECT_NE(shownFirst.find(L"Line 0: bold and italic text."), std::wstring::npos);
  EXPECT_NE(shownFirst.find(L"Ende \u041a\u0430Z"), std::wstring::npos);

  DlgContact second(L"Ned", L"", Days, 3, 1650000000, first.notes, 2);
  second.groups = groups;
  std::wstring shownSecond;
  driver.Expect(kCaption, [&shownSecond](HWND window) {
    shownSecond = NotesText(window);
    test::Click(window, IDOK);
  });
  ASSERT_EQ(second.DoModal(nullptr), IDOK);
  EXPECT_EQ(shownSecond, shownFirst);
  EXPECT_EQ(second.notes, first.notes);
}

}  // namespace
