// "Restore a Backup..." from the system menu: the dialog lists the backups
// newest first with what each holds, one that cannot be read cannot be
// chosen, and the chosen one is put in place and read in.
#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <filesystem>
#include <string>
#include <vector>

#include "model/backups.h"
#include "tests/common/archive_files.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::wstring> ListTexts(HWND list) {
  std::vector<std::wstring> texts;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

void Select(HWND dialog, int index) {
  HWND list = GetDlgItem(dialog, IDC_BACKUP_LIST);
  SendMessageW(list, LB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BACKUP_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

class RestoreBackup : public apptest::MainWindowFixture {};

}  // namespace

TEST_F(RestoreBackup, TheChosenBackupIsPutInPlaceAndReadInAndAnUnreadableOneCannotBeChosen) {
  {
    Engine data(apptest::SettingsFolder().wstring());
    data.options->autoStart = false;
    data.groups->Add(L"Family", L"", Weeks, 2);
    data.contacts->Add(L"Ann", L"", Days, 3, 0, L"", 1);
    data.contacts->Add(L"Bob", L"", Days, 3, 0, L"", 1);
    ASSERT_TRUE(data.Save());
  }
  const platform::Clock previous = platform::ReplaceClock([] { return Time{1700000000}; });
  HWND window = Start();
  Backups backups(engine().FilePaths());
  // An older one whose contacts file was cut short.
  const std::wstring damaged = backups.Make(L"older");
  const std::string bytes = testfiles::ReadBytes(damaged + L"\\contacts.dat");
  testfiles::WriteBytes(damaged + L"\\contacts.dat", bytes.substr(0, bytes.size() - 30));
  platform::ReplaceClock([] { return Time{1700000600}; });
  // The day's first save keeps the files as they were.
  engine().groups->Add(L"Work", L"", Months, 1);
  engine().contacts->Add(L"Cleo", L"", Days, 3, 0, L"", 2);
  ASSERT_TRUE(session().SaveAll());
  ASSERT_EQ(backups.List().size(), 2u);
  platform::ReplaceClock([] { return Time{1700001200}; });

  std::vector<std::wstring> shown;
  bool okWithUnreadable = true;
  bool okWithReadable = false;
  test::DialogDriver driver;
  driver.Expect(L"Restore a Backup", [&](HWND dialog) {
    shown = ListTexts(GetDlgItem(dialog, IDC_BACKUP_LIST));
    Select(dialog, 1);
    okWithUnreadable = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // refused: still open
    Select(dialog, 0);
    okWithReadable = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  SendMessageW(window, WM_SYSCOMMAND, ID_SYSTEM_RESTORE_BACKUP, 0);
  EXPECT_TRUE(driver.AllScriptsRun());
  EXPECT_TRUE(driver.messages().empty());

  ASSERT_EQ(shown.size(), 2u);
  const platform::LocalTime newest = platform::ToLocalTime(1700000600);
  wchar_t when[32] = {};
  swprintf(when, 32, L"%04d-%02d-%02d %02d:%02d", newest.year, newest.month, newest.day, newest.hour, newest.minute);
  EXPECT_EQ(shown[0], std::wstring(when) + L" - 1 group, 2 contacts");
  EXPECT_NE(shown[1].find(L"cannot be read"), std::wstring::npos) << shown[1];
  EXPECT_FALSE(okWithUnreadable);
  EXPECT_TRUE(okWithReadable);

  // The old set is in place and in memory; what was current is a backup too.
  EXPECT_EQ(engine().groups->items.size(), 1u);
  EXPECT_EQ(engine().contacts->items.size(), 2u);
  EXPECT_EQ(apptest::Tabs(groupTabs().Control()).size(), 2u);
  EXPECT_EQ(groupTabs().AllPanel()->List().RowCount(), 2);
  Engine check(apptest::SettingsFolder().wstring());
  check.Load();
  EXPECT_EQ(check.contacts->items.size(), 2u);
  const std::vector<BackupInfo> after = backups.List();
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(after[0].contacts, 3u);
  EXPECT_EQ(after[0].groups, 2u);
  platform::ReplaceClock(previous);
}
