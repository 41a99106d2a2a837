// Import and export from the main window: files dropped on it go through the
// preview (its marks and group choice reaching the collections) after a
// backup; a file that cannot be read changes nothing; and everyone exported
// through the menu comes back whole into an empty settings folder.
#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "app/file_choosers.h"
#include "model/backups.h"
#include "tests/common/archive_files.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kPreview[] = L"Import Contacts";

// An HDROP as the shell makes it: DROPFILES, then the wide paths, each ended
// by a zero, and one more zero. The window's DragFinish frees it.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const std::wstring& path : paths) list += path + L'\0';
  list += L'\0';
  const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

std::wstring Cell(HWND list, int row, int column) {
  wchar_t text[128] = {};
  ListView_GetItemText(list, row, column, text, 128);
  return text;
}

std::wstring GroupOf(const Engine& engine, const std::wstring& name) {
  for (const Contacts::Item& contact : *engine.contacts) {
    if (!contact || contact->name != name) continue;
    Groups::Item group;
    return engine.groups->Find(contact->groupId, group) ? group->name : L"?";
  }
  return L"";
}

using Record = std::tuple<std::wstring, std::int32_t, std::int32_t, Time, Time>;
std::map<std::wstring, Record> People(const Engine& engine) {
  std::map<std::wstring, Record> people;
  for (const Contacts::Item& contact : *engine.contacts)
    people[contact->name] = {GroupOf(engine, contact->name), contact->unit, contact->count, contact->lastContacted,
                             contact->previousContacted};
  return people;
}

class ImportAndExport : public apptest::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    files_ = fs::path(platform::ExecutablePath()).parent_path() / L"import-files";
    fs::remove_all(files_);
    fs::create_directories(files_);
  }
  void TearDown() override {
    ReplaceFileChoosers(SystemFileChoosers());
    MainWindowFixture::TearDown();
    fs::remove_all(files_);
  }
  std::wstring Write(const wchar_t* name, const std::string& bytes) {
    const std::wstring path = (files_ / name).wstring();
    testfiles::WriteBytes(path, bytes);
    return path;
  }
  void SaveFamilyWithAnn() {
    Engine data(apptest::SettingsFolder().wstring());
    data.options->autoStart = false;
    data.groups->Add(L"Family", L"", Weeks, 2);
    data.contacts->Add(L"Ann", L"", Days, 3, 1700000000, L"", 1);
    ASSERT_TRUE(data.Save());
  }
  std::vector<BackupInfo> ImportBackups() {
    std::vector<BackupInfo> found;
    for (const BackupInfo& backup : Backups(engine().FilePaths()).List())
      if (backup.name.rfind(L"before-import-", 0) == 0) found.push_back(backup);
    return found;
  }

  fs::path files_;
};

}  // namespace

TEST_F(ImportAndExport, DroppedFilesArePreviewedBackedUpAndImportedIntoTheChosenGroups) {
  SaveFamilyWithAnn();
  HWND window = Start();
  const std::wstring cards = Write(L"phone.vcf",
                                   "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:ann\r\nEND:VCARD\r\n"
                                   "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob\r\nEND:VCARD\r\n"
                                   "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cleo\r\nCATEGORIES:Work\r\nEND:VCARD\r\n"
                                   "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:nobody\r\nEND:VCARD\r\n");
  const std::wstring ignored = Write(L"readme.txt", "not contacts");

  std::vector<bool> ticks;
  std::wstring annMark;
  std::wstring bobGroup;
  int problemCount = 0;
  test::DialogDriver driver;
  driver.Expect(kPreview, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_IMPORT_PEOPLE);
    for (int i = 0; i < ListView_GetItemCount(list); ++i) ticks.push_back(ListView_GetCheckState(list, i) != 0);
    annMark = Cell(list, 0, 2);
    bobGroup = Cell(list, 1, 1);
    problemCount = static_cast<int>(SendDlgItemMessageW(dialog, IDC_IMPORT_PROBLEMS, LB_GETCOUNT, 0, 0));
    HWND combo = GetDlgItem(dialog, IDC_IMPORT_GROUP);
    SetWindowTextW(combo, L"Friends");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_GROUP, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
    SetDlgItemTextW(dialog, IDC_IMPORT_COUNT, L"5");
    test::ChooseEntry(dialog, IDC_IMPORT_UNIT, 2);
    test::Click(dialog, IDOK);
  });
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({ignored, cards})), 0);
  apptest::PumpMessages();
  EXPECT_TRUE(driver.AllScriptsRun());

  EXPECT_EQ(ticks, (std::vector<bool>{false, true, true}));
  EXPECT_FALSE(annMark.empty());
  EXPECT_EQ(bobGroup, L"Imported");  // "All" is selected: no tab's group is the default
  EXPECT_EQ(problemCount, 1);
  ASSERT_EQ(driver.messages().size(), 1u);
  EXPECT_EQ(driver.messages()[0], L"Imported 2 people into 2 groups. 1 person already here was left out.");

  EXPECT_EQ(GroupOf(engine(), L"Bob"), L"Friends");
  EXPECT_EQ(GroupOf(engine(), L"Cleo"), L"Work");
  EXPECT_EQ(GroupOf(engine(), L"ann"), L"");
  for (const Contacts::Item& contact : *engine().contacts) {
    if (contact->name == L"Ann") continue;
    EXPECT_EQ(contact->unit, Months) << contact->name;
    EXPECT_EQ(contact->count, 5) << contact->name;
  }
  EXPECT_EQ(apptest::Tabs(groupTabs().Control()).size(), 4u);
  // Saved, and the files as they were before are kept in the import's backup.
  Engine saved(apptest::SettingsFolder().wstring());
  saved.Load();
  EXPECT_EQ(saved.contacts->items.size(), 3u);
  const std::vector<BackupInfo> backups = ImportBackups();
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_TRUE(backups[0].readable);
  EXPECT_EQ(backups[0].contacts, 1u);
  EXPECT_EQ(backups[0].groups, 1u);
}

TEST_F(ImportAndExport, AFileThatCannotBeReadIsToldAndChangesNothing) {
  SaveFamilyWithAnn();
  HWND window = Start();
  const std::wstring good = Write(L"good.vcf", "BEGIN:VCARD\r\nFN:Bob\r\nEND:VCARD\r\n");
  const std::wstring odd = Write(L"odd.csv", "Column A,Column B\r\n1,2\r\n");
  test::DialogDriver driver;
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({good, odd})), 0);
  apptest::PumpMessages();
  ASSERT_EQ(driver.messages().size(), 1u);
  EXPECT_NE(driver.messages()[0].find(L"nothing was imported"), std::wstring::npos) << driver.messages()[0];
  EXPECT_NE(driver.messages()[0].find(L"odd.csv"), std::wstring::npos);
  EXPECT_EQ(engine().contacts->items.size(), 1u);
  EXPECT_TRUE(ImportBackups().empty());
}

TEST_F(ImportAndExport, EveryoneExportedFromTheMenuComesBackIntoAnEmptySettingsFolder) {
  {
    Engine data(apptest::SettingsFolder().wstring());
    data.options->autoStart = false;
    data.groups->Add(L"Family", L"", Weeks, 2);
    data.groups->Add(L"Работа", L"", Months, 1);
    data.contacts->Add(L"Ann", L"", Days, 3, 1700000000, L"", 1);
    data.contacts->Add(L"Борис", L"", Months, 6, 1690000000, L"", 2);
    data.contacts->Add(L"Cleo", L"", Weeks, 1, 1710000000, L"", 1);
    data.contacts->items.back()->previousContacted = 1705000000;
    ASSERT_TRUE(data.Save());
  }
  HWND window = Start();
  const std::map<std::wstring, Record> before = People(engine());
  SelectTab(1);  // Family: the save dialog offers it, and the user keeps everyone
  const std::wstring file = (files_ / L"everyone.vcf").wstring();
  std::wstring offered;
  ReplaceFileChoosers(FileChoosers{{}, [&](HWND, const std::wstring& group) {
                                     offered = group;
                                     return std::optional<ExportTarget>(ExportTarget{file, false});
                                   }});
  test::DialogDriver driver;
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID_EXPORT_CONTACTS, 0), 0);
  EXPECT_EQ(offered, L"Family");
  EXPECT_TRUE(driver.messages().empty());
  ASSERT_TRUE(fs::exists(file));

  DestroyWindow(window);
  apptest::PumpMessages();
  fs::remove_all(apptest::SettingsFolder());
  fs::create_directories(apptest::SettingsFolder());
  window = Start();
  ASSERT_TRUE(engine().contacts->items.empty());
  ReplaceFileChoosers(FileChoosers{[&](HWND) { return std::vector<std::wstring>{file}; }, {}});
  driver.Expect(kPreview, [](HWND dialog) { test::Click(dialog, IDOK); });
  SendMessageW(window, WM_SYSCOMMAND, ID_SYSTEM_IMPORT_CONTACTS, 0);
  EXPECT_TRUE(driver.AllScriptsRun());
  ASSERT_EQ(driver.messages().size(), 1u);
  EXPECT_EQ(driver.messages()[0], L"Imported 3 people into 2 groups.");
  EXPECT_EQ(People(engine()), before);
  EXPECT_EQ(engine().groups->items.size(), 2u);
}
