// The import preview: people marked as already here start unticked, the
// import button counts the ticks, the group chosen for people without one
// shows in their rows only, and the choices come back out.
#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialogs/dlg_import.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

constexpr wchar_t kCaption[] = L"Import Contacts";

std::wstring Cell(HWND list, int row, int column) {
  wchar_t text[128] = {};
  ListView_GetItemText(list, row, column, text, 128);
  return text;
}

std::vector<bool> Ticks(HWND list) {
  std::vector<bool> ticks;
  for (int i = 0; i < ListView_GetItemCount(list); ++i) ticks.push_back(ListView_GetCheckState(list, i) != 0);
  return ticks;
}

void TypeGroup(HWND dialog, const wchar_t* name) {
  HWND combo = GetDlgItem(dialog, IDC_IMPORT_GROUP);
  SetWindowTextW(combo, name);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_GROUP, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
}

void FillThreePeople(DlgImport& dialog) {
  dialog.rows = {{L"Ann", L"", true}, {L"Bob", L"", false}, {L"Cleo", L"Work", false}};
  dialog.ticked = {false, true, true};
  dialog.problems = {L"old.vcf, line 12: The card gives no name."};
  dialog.groupNames = {L"Family", L"Work"};
  dialog.groupForUngrouped = L"Family";
  dialog.unit = Weeks;
  dialog.count = 4;
}

}  // namespace

TEST(DlgImport, MarksTicksAndTheChosenGroupShowAndComeBackOut) {
  DlgImport dialog;
  FillThreePeople(dialog);
  std::vector<bool> shownTicks;
  std::wstring marks[3];
  std::wstring groupsBefore[3];
  std::wstring groupsAfter[3];
  std::wstring buttonBefore;
  std::wstring buttonAfter;
  std::wstring problem;
  test::DialogDriver driver;
  driver.Expect(kCaption, [&](HWND window) {
    HWND list = GetDlgItem(window, IDC_IMPORT_PEOPLE);
    shownTicks = Ticks(list);
    for (int i = 0; i < 3; ++i) {
      marks[i] = Cell(list, i, 2);
      groupsBefore[i] = Cell(list, i, 1);
    }
    buttonBefore = test::Text(window, IDOK);
    wchar_t line[128] = {};
    SendDlgItemMessageW(window, IDC_IMPORT_PROBLEMS, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    problem = line;
    // Tick the one already here too, and leave Cleo out.
    ListView_SetCheckState(list, 0, TRUE);
    ListView_SetCheckState(list, 2, FALSE);
    buttonAfter = test::Text(window, IDOK);
    TypeGroup(window, L"  Neighbours ");
    for (int i = 0; i < 3; ++i) groupsAfter[i] = Cell(list, i, 1);
    SetDlgItemTextW(window, IDC_IMPORT_COUNT, L"10");
    test::ChooseEntry(window, IDC_IMPORT_UNIT, 0);
    test::Click(window, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_TRUE(driver.AllScriptsRun());
  EXPECT_TRUE(driver.messages().empty());

  EXPECT_EQ(shownTicks, (std::vector<bool>{false, true, true}));
  EXPECT_EQ(marks[0], DlgImport::kDuplicateMark);
  EXPECT_EQ(marks[1], L"");
  EXPECT_EQ(groupsBefore[0], L"Family");
  EXPECT_EQ(groupsBefore[2], L"Work");
  EXPECT_EQ(buttonBefore, L"Import 2 People");
  EXPECT_EQ(buttonAfter, L"Import 2 People");
  EXPECT_EQ(problem, L"old.vcf, line 12: The card gives no name.");
  EXPECT_EQ(groupsAfter[0], L"Neighbours");
  EXPECT_EQ(groupsAfter[1], L"Neighbours");
  EXPECT_EQ(groupsAfter[2], L"Work");

  EXPECT_EQ(dialog.ticked, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(dialog.groupForUngrouped, L"Neighbours");
  EXPECT_EQ(dialog.unit, Days);
  EXPECT_EQ(dialog.count, 10);
}

TEST(DlgImport, NoTicksDisablesImportAndAnEmptyGroupIsRefused) {
  DlgImport dialog;
  FillThreePeople(dialog);
  bool enabledWithNone = true;
  std::wstring buttonWithOne;
  test::DialogDriver driver;
  driver.Expect(kCaption, [&](HWND window) {
    HWND list = GetDlgItem(window, IDC_IMPORT_PEOPLE);
    ListView_SetCheckState(list, 1, FALSE);
    ListView_SetCheckState(list, 2, FALSE);
    enabledWithNone = IsWindowEnabled(GetDlgItem(window, IDOK)) != FALSE;
    ListView_SetCheckState(list, 1, TRUE);
    buttonWithOne = test::Text(window, IDOK);
    TypeGroup(window, L" ");
    test::Click(window, IDOK);  // refused: Bob would belong nowhere
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_FALSE(enabledWithNone);
  EXPECT_EQ(buttonWithOne, L"Import 1 Person");
  ASSERT_EQ(driver.messages().size(), 1u);
  EXPECT_NE(driver.messages()[0].find(L"choose a group"), std::wstring::npos);
  EXPECT_EQ(dialog.groupForUngrouped, L"Family");
}
