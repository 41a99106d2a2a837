#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include "dialogs/dlg_group.h"
#include "model/paths.h"
#include "tests/win/dialogs/dialog_driver.h"
#include "tests/win/dialogs/pictures.h"

namespace {

constexpr wchar_t kCaption[] = L"Add Group";
constexpr wchar_t kNameMessage[] = L"Please, specify the group name.";

TEST(DlgGroup, AddModeWithOnlyANameGivesDaysNoCountAndTheDefaultPicture) {
  test::DefaultGroupPictureFile picture(true);
  DlgGroup dialog;
  EXPECT_FALSE(dialog.editMode);
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(test::Text(window, IDC_GROUP_NAME), L"");
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"");
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), -1);
    ASSERT_EQ(test::EntryCount(window, IDC_INTERVAL_UNIT), 3);
    EXPECT_EQ(test::EntryText(window, IDC_INTERVAL_UNIT, 0), L"Days");
    EXPECT_EQ(test::EntryText(window, IDC_INTERVAL_UNIT, 1), L"Weeks");
    EXPECT_EQ(test::EntryText(window, IDC_INTERVAL_UNIT, 2), L"Months");
    for (int index = 0; index < 3; ++index) EXPECT_EQ(test::EntryData(window, IDC_INTERVAL_UNIT, index), index);
    // The first tab stop has the focus.
    EXPECT_EQ(test::DialogFocus(window), GetDlgItem(window, IDC_GROUP_NAME));
    SetDlgItemTextW(window, IDC_GROUP_NAME, L"Friends");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(driver.scriptsRun(), 1);
  EXPECT_TRUE(driver.messages().empty());
  EXPECT_EQ(dialog.name, L"Friends");
  EXPECT_EQ(dialog.count, 0);
  EXPECT_EQ(dialog.unit, Days);
  EXPECT_EQ(dialog.imagePath, picture.path());
}

TEST(DlgGroup, AddModeWithoutTheDefaultPictureGivesNoPicture) {
  test::DefaultGroupPictureFile absent(false);
  DlgGroup dialog;
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    SetDlgItemTextW(window, IDC_GROUP_NAME, L"Work");
    SetDlgItemTextW(window, IDC_INTERVAL_COUNT, L"3");
    test::ChooseEntry(window, IDC_INTERVAL_UNIT, 1);
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.imagePath, L"");
  EXPECT_EQ(dialog.count, 3);
  EXPECT_EQ(dialog.unit, Weeks);
}

TEST(DlgGroup, EmptyNameIsRefusedAndBlanksAreAccepted) {
  test::DefaultGroupPictureFile absent(false);
  DlgGroup dialog;
  test::DialogDriver driver;
  driver.Expect(kCaption, [&driver](HWND window) {
    SetDlgItemTextW(window, IDC_INTERVAL_COUNT, L"12");
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), std::vector<std::wstring>{kNameMessage});
    EXPECT_EQ(driver.messageCaptions().back(), L"Error!");
    // Still open (the blanks below are what it returns), with what the user typed.
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"12");
    SetDlgItemTextW(window, IDC_GROUP_NAME, L"   ");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_TRUE(driver.messages().empty());
  EXPECT_EQ(dialog.name, L"   ");
  EXPECT_EQ(dialog.count, 12);
}

TEST(DlgGroup, EditModeShowsTheGroupAndKeepsWhatIsNotChanged) {
  test::DefaultGroupPictureFile absent(false);
  TempFolder folder;
  const std::wstring own = folder.File(L"own.png");
  ASSERT_TRUE(test::WriteSolidPng(own, 0xFF0000FFu));
  DlgGroup dialog(L"Family", own, Months, 0);
  EXPECT_TRUE(dialog.editMode);
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(test::Text(window, IDC_GROUP_NAME), L"Family");
    EXPECT_EQ(test::Text(window, IDC_INTERVAL_COUNT), L"0");
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 2);
    // The title stays the template's.
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Add Group");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.name, L"Family");
  EXPECT_EQ(dialog.imagePath, own);
  EXPECT_EQ(dialog.unit, Months);
  EXPECT_EQ(dialog.count, 0);
}

TEST(DlgGroup, EditModeWithAMissingPictureOrAnOddUnitGivesNoPictureAndKeepsTheUnit) {
  test::DefaultGroupPictureFile absent(false);
  DlgGroup dialog(L"Old", L"C:\\nowhere\\gone.png", static_cast<IntervalUnit>(7), 4);
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), -1);
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.imagePath, L"");
  EXPECT_EQ(dialog.unit, static_cast<IntervalUnit>(7));
  EXPECT_EQ(dialog.count, 4);
}

TEST(DlgGroup, CancelChangesNothing) {
  test::DefaultGroupPictureFile absent(false);
  DlgGroup dialog(L"Family", L"", Weeks, 2);
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    SetDlgItemTextW(window, IDC_GROUP_NAME, L"Changed");
    SetDlgItemTextW(window, IDC_INTERVAL_COUNT, L"9");
    test::ChooseEntry(window, IDC_INTERVAL_UNIT, 0);
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.name, L"Family");
  EXPECT_EQ(dialog.unit, Weeks);
  EXPECT_EQ(dialog.count, 2);
}

TEST(DlgGroup, TypingAFirstLetterSelectsTheUnit) {
  test::DefaultGroupPictureFile absent(false);
  DlgGroup dialog;
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    HWND list = GetDlgItem(window, IDC_INTERVAL_UNIT);
    HWND inner = reinterpret_cast<HWND>(SendMessageW(list, CBEM_GETCOMBOCONTROL, 0, 0));
    ASSERT_NE(inner, nullptr);
    SendMessageW(inner, WM_CHAR, L'w', 0);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 1);
    SendMessageW(inner, WM_CHAR, L'M', 0);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 2);
    SendMessageW(inner, WM_CHAR, L'x', 0);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 2);
    SendMessageW(inner, WM_CHAR, L'd', 0);
    EXPECT_EQ(test::Selected(window, IDC_INTERVAL_UNIT), 0);
    SendMessageW(inner, WM_CHAR, L'm', 0);
    SetDlgItemTextW(window, IDC_GROUP_NAME, L"Club");
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.unit, Months);
}

TEST(DlgGroup, BrowseStartsInTheImagesFolderWithThePictureFilter) {
  test::DefaultGroupPictureFile picture(true);
  TempFolder folder;
  const std::wstring chosen = folder.File(L"chosen.png");
  ASSERT_TRUE(test::WriteSolidPng(chosen, 0xFFFF0000u));
  DlgGroup dialog;
  int asked = 0;
  std::wstring initialFolder;
  std::wstring filter;
  DWORD flags = 0;
  DWORD room = 0;
  bool defaultExtension = true;
  bool cancelNext = true;
  dialog.SetPictureChooser([&](OPENFILENAMEW& request) {
    ++asked;
    initialFolder = request.lpstrInitialDir ? request.lpstrInitialDir : L"";
    const wchar_t* end = request.lpstrFilter;
    while (end && (end[0] || end[1])) ++end;
    if (request.lpstrFilter) filter.assign(request.lpstrFilter, end + 1);
    flags = request.Flags;
    room = request.nMaxFile;
    defaultExtension = request.lpstrDefExt != nullptr;
    if (cancelNext) {
      cancelNext = false;
      return false;
    }
    lstrcpynW(request.lpstrFile, chosen.c_str(), static_cast<int>(request.nMaxFile));
    return true;
  });
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    SetDlgItemTextW(window, IDC_GROUP_NAME, L"Pictured");
    test::Click(window, IDC_BROWSE);  // cancelled: the default picture stays
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.imagePath, picture.path());

  driver.Expect(kCaption, [](HWND window) {
    SetDlgItemTextW(window, IDC_GROUP_NAME, L"Pictured");
    test::Click(window, IDC_BROWSE);
    test::Click(window, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.imagePath, chosen);

  EXPECT_EQ(asked, 2);
  EXPECT_EQ(initialFolder, paths::ProgramFolder() + L"images");
  EXPECT_EQ(filter, std::wstring(L"Images (*.png;*.jpg;*.bmp;*.gif)\0*.png;*.jpg;*.bmp;*.gif\0", 57));
  const DWORD required = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  EXPECT_EQ(flags & required, required);
  EXPECT_TRUE(flags & OFN_FILEMUSTEXIST);
  EXPECT_EQ(room, 260u);
  EXPECT_FALSE(defaultExtension);
}

}  // namespace
