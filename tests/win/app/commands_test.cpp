#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>
#include <shellapi.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "framework/message_loop.h"
#include "model/journal.h"
#include "model/platform.h"
#include "tests/common/archive_files.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace fs = std::filesystem;

namespace {

using apptest::SettingsFolder;
void Pump() { apptest::PumpMessages(); }

std::wstring TabText(HWND tabs, int index) { return apptest::Tabs(tabs).at(static_cast<size_t>(index)).text; }

struct MenuEntry {
  UINT id;
  std::wstring text;
  bool separator;
};

std::vector<MenuEntry> Entries(HMENU menu) {
  std::vector<MenuEntry> entries;
  for (int index = 0; index < GetMenuItemCount(menu); ++index) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 128;
    GetMenuItemInfoW(menu, index, TRUE, &info);
    entries.push_back(MenuEntry{info.wID, text, (info.fType & MFT_SEPARATOR) != 0});
  }
  return entries;
}

class Commands : public apptest::MainWindowFixture {
 protected:
  void TearDown() override {
    MainWindowFixture::TearDown();
    platform::SetAutoStartEntry(false);
  }

  // Friends (id 1) with Ann (1), Work (2, every 2 weeks) with Bob (2).
  static void WriteData() {
    Engine engine;
    engine.groups->Add(L"Friends", L"", Days, 7);
    engine.groups->Add(L"Work", L"", Weeks, 2);
    const Time now = platform::Now();
    engine.contacts->Add(L"Ann", L"", Days, 7, now, L"", 1);
    engine.contacts->Add(L"Bob", L"", Days, 7, now, L"", 2);
    ASSERT_TRUE(engine.Save());
  }

  HWND tabs() { return groupTabs().Control(); }

  // A right click on the tab at index (or beside every tab for -1).
  void RightClickTab(int index) {
    RECT rect{};
    if (index >= 0) {
      TabCtrl_GetItemRect(tabs(), index, &rect);
      groupTabs().SetHitPoint(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    } else {
      TabCtrl_GetItemRect(tabs(), TabCtrl_GetItemCount(tabs()) - 1, &rect);
      groupTabs().SetHitPoint(POINT{rect.right + 30, (rect.top + rect.bottom) / 2});
    }
  }

  void Command(int id) { SendMessageW(window_->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  void Char(wchar_t key) { SendMessageW(window_->m_hWnd, WM_CHAR, key, 0); }
};

TEST_F(Commands, AddGroupFromButtonCapitalKeyAndTrayAndADuplicateNameAddsNothingButSaves) {
  Start();
  {
    // Lower-case keys open nothing: a dialog would run these and cancel.
    test::DialogDriver guard;
    for (const wchar_t* caption : {L"Add Group", L"Add Contact", L"Options"})
      guard.Expect(caption, [](HWND dialog) { test::Click(dialog, IDCANCEL); });
    for (wchar_t key : {L'g', L'c', L'o', L'x'}) Char(key);
    EXPECT_EQ(guard.scriptsRun(), 0);
  }
  EXPECT_EQ(SendMessageW(window_->m_hWnd, WM_GETDLGCODE, 0, 0), 0);
  MSG typed{window_->m_hWnd, WM_CHAR, L'G', 0, 0, {}};
  EXPECT_EQ(SendMessageW(window_->m_hWnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&typed)), DLGC_WANTCHARS);

  test::DialogDriver driver;
  int step = 0;
  for (const wchar_t* name : {L"Friends", L"Work", L"FRIENDS"}) {
    driver.Expect(L"Add Group", [name](HWND dialog) {
      SetDlgItemTextW(dialog, IDC_GROUP_NAME, name);
      SetDlgItemTextW(dialog, IDC_INTERVAL_COUNT, L"3");
      test::ChooseEntry(dialog, IDC_INTERVAL_UNIT, 1);
      test::Click(dialog, IDOK);
    });
    switch (step++) {
      case 0:
        Command(IDC_ADD_GROUP);
        break;
      case 1:
        Char(L'G');
        break;
      default:
        Command(ID_ADD_GROUP);
        break;
    }
  }
  EXPECT_EQ(driver.scriptsRun(), 3);
  EXPECT_TRUE(driver.messages().empty()) << "a refused name is not reported";
  ASSERT_EQ(TabCtrl_GetItemCount(tabs()), 3);
  EXPECT_EQ(TabText(tabs(), 1), L"Friends");
  EXPECT_EQ(TabText(tabs(), 2), L"Work");
  EXPECT_EQ(session().SaveCount(), 3);
  const Engine saved = SavedData();
  ASSERT_EQ(saved.groups->items.size(), 2u);
  EXPECT_EQ(saved.groups->items[1]->name, L"Work");
  EXPECT_EQ(saved.groups->items[1]->unit, Weeks);
  EXPECT_EQ(saved.groups->items[1]->count, 3);

  // Cancel changes nothing and saves nothing.
  driver.Expect(L"Add Group", [](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_GROUP_NAME, L"Never");
    test::Click(dialog, IDCANCEL);
  });
  Command(IDC_ADD_GROUP);
  EXPECT_EQ(TabCtrl_GetItemCount(tabs()), 3);
  EXPECT_EQ(session().SaveCount(), 3);
}

TEST_F(Commands, CapitalKeysTypedIntoTheWindowsControlsReachTheWindowButTypingFieldsKeepTheirs) {
  WriteData();
  HWND window = Start();
  HWND list = GetDlgItem(groupTabs().AllPanel()->m_hWnd, IDC_CONTACT_LIST);
  HWND sort = GetDlgItem(groupTabs().AllPanel()->m_hWnd, IDC_SORT);
  ASSERT_NE(list, nullptr);
  ASSERT_NE(sort, nullptr);
  // A text field inside the window keeps its capital letters.
  HWND field = CreateWindowExW(0, L"Edit", L"", WS_CHILD, 0, 0, 40, 20, groupTabs().AllPanel()->m_hWnd, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(field, nullptr);
  const KeyboardFilter& filter = window_->Keyboard();
  const auto routed = [&filter](HWND target, UINT message, wchar_t key) {
    MSG typed{target, message, key, 0, 0, {}};
    const bool readdressed = filter.Readdress(typed);
    EXPECT_EQ(readdressed, typed.hwnd != target) << "the result tells whether the target changed";
    return typed.hwnd;
  };
  // The tab control holds the focus after start; buttons and the list after a click.
  for (HWND control : {tabs(), GetDlgItem(window, IDC_ADD_GROUP), list, sort})
    for (wchar_t key : {L'C', L'G', L'O'}) EXPECT_EQ(routed(control, WM_CHAR, key), window);
  // Other letters, lower case, other messages, typing into a text field and
  // windows that are not the main window's stay where they were addressed.
  for (wchar_t key : {L'c', L'g', L'o', L'X', L' '}) EXPECT_EQ(routed(tabs(), WM_CHAR, key), tabs());
  EXPECT_EQ(routed(tabs(), WM_KEYDOWN, L'G'), tabs());
  EXPECT_EQ(routed(field, WM_CHAR, L'G'), field);
  EXPECT_EQ(routed(window, WM_CHAR, L'G'), window);
  EXPECT_EQ(routed(GetDesktopWindow(), WM_CHAR, L'G'), GetDesktopWindow());

  // Readdressed, the key runs the command.
  test::DialogDriver driver;
  driver.Expect(L"Add Group", [](HWND dialog) { test::Click(dialog, IDCANCEL); });
  MSG typed{tabs(), WM_CHAR, L'G', 0, 0, {}};
  CMessageLoop loop;
  loop.AddMessageFilter(&window_->Keyboard());
  ASSERT_FALSE(loop.PreTranslateMessage(typed)) << "readdressed, not consumed";
  ASSERT_EQ(typed.hwnd, window);
  DispatchMessageW(&typed);
  EXPECT_EQ(driver.scriptsRun(), 1);
  DestroyWindow(field);
}

TEST_F(Commands, AddContactTakesTheSelectedTabsGroupAndNoneFromAll) {
  WriteData();
  Start();
  SelectTab(2);  // Work
  test::DialogDriver driver;
  driver.Expect(L"Add Contact", [](HWND dialog) {
    const int selected = test::Selected(dialog, IDC_GROUP);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(test::EntryData(dialog, IDC_GROUP, selected), 2);
    // The group's default interval came along.
    EXPECT_EQ(test::Text(dialog, IDC_INTERVAL_COUNT), L"2");
    SetDlgItemTextW(dialog, IDC_NAME, L"Cleo");
    test::Click(dialog, IDOK);
  });
  Char(L'C');
  ASSERT_EQ(driver.scriptsRun(), 1);
  ASSERT_EQ(engine().contacts->items.size(), 3u);
  const Contact& cleo = *engine().contacts->items[2];
  EXPECT_EQ(cleo.name, L"Cleo");
  EXPECT_EQ(cleo.groupId, 2);
  EXPECT_EQ(cleo.unit, Weeks);
  EXPECT_EQ(cleo.count, 2);
  EXPECT_EQ(GroupPanel(2).List().GetItemCount(), 2);
  EXPECT_EQ(groupTabs().AllPanel()->List().GetItemCount(), 3);
  EXPECT_EQ(session().SaveCount(), 1);
  EXPECT_EQ(SavedData().contacts->items.size(), 3u);

  SelectTab(0);  // All
  driver.Expect(L"Add Contact", [](HWND dialog) {
    EXPECT_EQ(test::Selected(dialog, IDC_GROUP), -1);
    test::Click(dialog, IDCANCEL);
  });
  Command(ID_ADD_CONTACT);
  EXPECT_EQ(driver.scriptsRun(), 2);
  EXPECT_EQ(engine().contacts->items.size(), 3u);
  EXPECT_EQ(session().SaveCount(), 1);
}

TEST_F(Commands, OptionsReachEveryListAtOnceAndAreSaved) {
  WriteData();
  Start();
  test::DialogDriver driver;
  driver.Expect(L"Options", [](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_WARN_PERCENT, L"50");
    SetDlgItemTextW(dialog, IDC_WARN_DAYS, L"9");
    SendDlgItemMessageW(dialog, IDC_SHOW_LAST_CONTACTED, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageW(dialog, IDC_MINIMIZE_TO_TRAY, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageW(dialog, IDC_AUTO_START, BM_SETCHECK, BST_CHECKED, 0);
    test::Click(dialog, IDOK);
  });
  Command(IDC_OPTIONS);
  ASSERT_EQ(driver.scriptsRun(), 1);
  const Options& options = *engine().options;
  EXPECT_EQ(options.warnPercent, 50);
  EXPECT_EQ(options.warnDays, 9);
  EXPECT_FALSE(options.showLastContacted);
  EXPECT_FALSE(options.minimizeToTray);
  EXPECT_TRUE(options.autoStart);
  EXPECT_TRUE(platform::AutoStartEntryPresent()) << "auto-start applies at once";
  for (GroupEntryListView* list : {&groupTabs().AllPanel()->List(), &GroupPanel(1).List(), &GroupPanel(2).List()}) {
    EXPECT_EQ(list->WarnPercent(), 50);
    EXPECT_FALSE(list->ShowLastContacted());
  }
  EXPECT_EQ(session().SaveCount(), 1);
  EXPECT_EQ(SavedData().options->warnPercent, 50);

  // Cancel keeps everything as it is and saves nothing; the address book
  // sync's settings open over Options and, cancelled too, change nothing.
  HWND optionsDialog = nullptr, syncOwner = nullptr;
  driver.Expect(L"Options", [&optionsDialog](HWND dialog) {
    optionsDialog = dialog;
    SetDlgItemTextW(dialog, IDC_WARN_PERCENT, L"10");
    test::Click(dialog, IDC_ADDRESS_BOOK_SYNC);
    test::Click(dialog, IDCANCEL);
  });
  driver.Expect(L"Address Book Sync", [&syncOwner](HWND dialog) {
    syncOwner = GetWindow(dialog, GW_OWNER);
    test::Click(dialog, IDCANCEL);
  });
  Char(L'O');
  EXPECT_EQ(driver.scriptsRun(), 3);
  EXPECT_EQ(syncOwner, optionsDialog);
  EXPECT_TRUE(engine().journal->state.sync.Empty());
  EXPECT_EQ(engine().options->warnPercent, 50);
  EXPECT_EQ(groupTabs().AllPanel()->List().WarnPercent(), 50);
  EXPECT_EQ(session().SaveCount(), 1);
}

TEST_F(Commands, ReminderSettingsGoToTheJournalAndAChangeAsksForAReschedule) {
  WriteData();
  Start();
  // Commands of their own over the window's data, to watch what they tell.
  ::Commands commands(session(), groupTabs());
  commands.SetWindow(window_->m_hWnd);
  int reschedules = 0;
  const ChangeFeed::Subscription watch = session().Changes().Subscribe([&reschedules](const Change& change) {
    if (change.kind == Change::Kind::RemindersChanged) ++reschedules;
  });
  Journal& journal = *engine().journal;
  journal.SetReminders(ReminderSettings{true, 540, L"2026-12-08"});
  ASSERT_TRUE(session().SaveAll());
  const std::string optionsBefore = testfiles::ReadBytes((SettingsFolder() / L"options.dat").wstring());
  const std::uint64_t revision = journal.Revision();
  test::DialogDriver driver;
  driver.Expect(L"Options", [](HWND dialog) {
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_REMIND, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendDlgItemMessageW(dialog, IDC_REMIND, BM_CLICK, 0, 0);
    SYSTEMTIME time{};
    GetLocalTime(&time);
    time.wHour = 18;
    time.wMinute = 45;
    SendDlgItemMessageW(dialog, IDC_REMIND_AT, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    test::Click(dialog, IDOK);
  });
  commands.ChangeOptions();
  ASSERT_EQ(driver.scriptsRun(), 1);
  EXPECT_EQ(journal.state.reminders, (ReminderSettings{false, 18 * 60 + 45, L"2026-12-08"}));
  EXPECT_GT(journal.Revision(), revision) << "the journal knows it has changed";
  EXPECT_EQ(reschedules, 1);

  // OK with the same values, or Cancel: nothing to reschedule.
  driver.Expect(L"Options", [](HWND dialog) { test::Click(dialog, IDOK); });
  commands.ChangeOptions();
  driver.Expect(L"Options", [](HWND dialog) {
    SendDlgItemMessageW(dialog, IDC_REMIND, BM_CLICK, 0, 0);
    test::Click(dialog, IDCANCEL);
  });
  commands.ChangeOptions();
  EXPECT_EQ(driver.scriptsRun(), 3);
  EXPECT_EQ(reschedules, 1);
  EXPECT_FALSE(journal.state.reminders.enabled);

  // Saved in the journal only: options.dat stays as it was.
  ASSERT_TRUE(session().SaveAll());
  EXPECT_EQ(SavedData().journal->state.reminders, journal.state.reminders);
  EXPECT_EQ(testfiles::ReadBytes((SettingsFolder() / L"options.dat").wstring()), optionsBefore);
}

TEST_F(Commands, TabMenuEditsAndDeletesTheRightClickedGroupNotTheSelectedOne) {
  WriteData();
  Start();
  SelectTab(1);  // Friends stays selected throughout
  HMENU menu = window_->BuildTabMenu().release();
  const auto entries = Entries(menu);
  window_->DetachImageList(menu);
  DestroyMenu(menu);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].id, static_cast<UINT>(ID_EDIT_GROUP));
  EXPECT_TRUE(entries[1].separator);
  EXPECT_EQ(entries[2].id, static_cast<UINT>(ID_DELETE_GROUP));

  test::DialogDriver driver;
  driver.Expect(L"Add Group", [](HWND dialog) {
    EXPECT_EQ(test::Text(dialog, IDC_GROUP_NAME), L"Work");
    EXPECT_EQ(test::Text(dialog, IDC_INTERVAL_COUNT), L"2");
    SetDlgItemTextW(dialog, IDC_GROUP_NAME, L"Office");
    test::Click(dialog, IDOK);
  });
  RightClickTab(2);
  Command(ID_EDIT_GROUP);
  ASSERT_EQ(driver.scriptsRun(), 1);
  EXPECT_EQ(TabText(tabs(), 2), L"Office");
  EXPECT_EQ(TabText(tabs(), 1), L"Friends");
  EXPECT_EQ(engine().groups->items[1]->name, L"Office");
  EXPECT_EQ(SavedData().groups->items[1]->name, L"Office");
  EXPECT_EQ(session().SaveCount(), 1);

  // On "All" or beside the tabs the commands find nothing.
  for (int index : {0, -1}) {
    test::MessageBoxWatch watch(IDYES);
    RightClickTab(index);
    Command(ID_EDIT_GROUP);
    Command(ID_DELETE_GROUP);
    EXPECT_TRUE(watch.texts().empty()) << index;
  }
  EXPECT_EQ(driver.scriptsRun(), 1);
  EXPECT_EQ(TabCtrl_GetItemCount(tabs()), 3);

  {
    test::MessageBoxWatch no(IDNO);
    RightClickTab(2);
    Command(ID_DELETE_GROUP);
    ASSERT_EQ(no.texts().size(), 1u);
    EXPECT_EQ(no.texts()[0], L"Delete group \"Office\" and all its contacts?");
    EXPECT_EQ(no.captions()[0], L"Delete group?");
    EXPECT_EQ(TabCtrl_GetItemCount(tabs()), 3);
  }
  test::MessageBoxWatch yes(IDYES);
  RightClickTab(2);
  Command(ID_DELETE_GROUP);
  Pump();
  ASSERT_EQ(TabCtrl_GetItemCount(tabs()), 2);
  EXPECT_EQ(TabCtrl_GetCurSel(tabs()), 1) << "the selection stays on Friends";
  const Engine saved = SavedData();
  ASSERT_EQ(saved.groups->items.size(), 1u);
  ASSERT_EQ(saved.contacts->items.size(), 1u);
  EXPECT_EQ(saved.contacts->items[0]->name, L"Ann");
}

TEST_F(Commands, TrayMenuFollowsTheWindowAndALeftClickBringsItBack) {
  HWND window = Start();
  ShowWindow(window, SW_SHOW);
  HMENU shown = window_->BuildTrayMenu().release();
  const auto visibleEntries = Entries(shown);
  window_->DetachImageList(shown);
  DestroyMenu(shown);
  ASSERT_EQ(visibleEntries.size(), 8u);
  EXPECT_EQ(visibleEntries[0].text, L"Add &Group");
  EXPECT_EQ(visibleEntries[1].text, L"&Add &Contact");
  EXPECT_EQ(visibleEntries[2].text, L"&Upcoming Dates...");
  EXPECT_EQ(visibleEntries[2].id, static_cast<UINT>(ID_UPCOMING_DATES));
  EXPECT_EQ(visibleEntries[3].text, L"Restore a Backup...");
  EXPECT_EQ(visibleEntries[3].id, static_cast<UINT>(ID_RESTORE_BACKUP));
  EXPECT_EQ(visibleEntries[4].text, L"&Import Contacts...");
  EXPECT_EQ(visibleEntries[4].id, static_cast<UINT>(ID_IMPORT_CONTACTS));
  EXPECT_EQ(visibleEntries[5].text, L"E&xport Contacts...");
  EXPECT_EQ(visibleEntries[5].id, static_cast<UINT>(ID_EXPORT_CONTACTS));
  EXPECT_TRUE(visibleEntries[6].separator);
  EXPECT_EQ(visibleEntries[7].text, L"&Exit");

  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindowVisible(window));
  HMENU hidden = window_->BuildTrayMenu().release();
  const auto hiddenEntries = Entries(hidden);
  window_->DetachImageList(hidden);
  DestroyMenu(hidden);
  ASSERT_EQ(hiddenEntries.size(), 10u);
  EXPECT_EQ(hiddenEntries[0].id, static_cast<UINT>(ID_SHOW_WINDOW));
  EXPECT_EQ(hiddenEntries[0].text, L"&Show Window");
  EXPECT_TRUE(hiddenEntries[1].separator);

  // Releases, double clicks and other icons' right clicks do nothing.
  for (LPARAM mouse : {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_MBUTTONDOWN})
    SendMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, mouse);
  SendMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID + 1, WM_RBUTTONDOWN);
  EXPECT_FALSE(IsWindowVisible(window));
  SendMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(window_->ShownForTesting());

  // "Show Window" from the menu does the same.
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  Command(ID_SHOW_WINDOW);
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(Commands, TrayClicksUnderAnOpenDialogOnlyBringTheDialogForward) {
  HWND window = Start();
  ShowWindow(window, SW_SHOW);
  test::DialogDriver driver;
  driver.Expect(L"Add Group", [window](HWND dialog) {
    EXPECT_FALSE(IsWindowEnabled(window));
    // A tracked menu would wait here for a choice; the dialog stays the only way on.
    SendMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN);
    SendMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindow(dialog));
    test::Click(dialog, IDCANCEL);
  });
  Command(IDC_ADD_GROUP);
  EXPECT_EQ(driver.scriptsRun(), 1);
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(Commands, ExitFromTheTrayWhileHiddenSavesTheHiddenWindowsPlaceAndEnds) {
  HWND window = Start();
  ShowWindow(window, SW_SHOW);
  MoveWindow(window, 30, 40, 420, 610, FALSE);
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  Command(ID_EXIT);
  EXPECT_FALSE(IsWindow(window));
  MSG message{};
  EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  const Engine saved = SavedData();
  EXPECT_EQ(saved.options->windowX, 30);
  EXPECT_EQ(saved.options->windowY, 40);
  EXPECT_EQ(saved.options->windowWidth, 420);
  EXPECT_EQ(saved.options->windowHeight, 610);
}

TEST_F(Commands, AboutNamesTheProgramItsVersionAndTheDataFolder) {
  HWND window = Start();
  HMENU system = GetSystemMenu(window, FALSE);
  ASSERT_NE(system, nullptr);
  wchar_t text[128] = {};
  ASSERT_GT(GetMenuStringW(system, ID_ABOUT, text, 128, MF_BYCOMMAND), 0);
  EXPECT_STREQ(text, L"About Amicord - Personal Relationship Manager");
  // "Restore a Backup..." sits right beside it.
  int about = -1;
  for (int i = 0; i < GetMenuItemCount(system); ++i)
    if (GetMenuItemID(system, i) == ID_ABOUT) about = i;
  ASSERT_GE(about, 0);
  EXPECT_EQ(GetMenuItemID(system, about + 1), static_cast<UINT>(ID_SYSTEM_RESTORE_BACKUP));
  ASSERT_GT(GetMenuStringW(system, ID_SYSTEM_RESTORE_BACKUP, text, 128, MF_BYCOMMAND), 0);
  EXPECT_STREQ(text, L"Restore a Backup...");

  test::MessageBoxWatch watch;
  SendMessageW(window, WM_SYSCOMMAND, ID_ABOUT, 0);
  ASSERT_EQ(watch.texts().size(), 1u);
  EXPECT_NE(watch.texts()[0].find(L"Version "), std::wstring::npos);
  const std::wstring folder = session().DataFolder();
  EXPECT_EQ(fs::path(folder), SettingsFolder());
  EXPECT_NE(watch.texts()[0].find(folder), std::wstring::npos);
  EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(Commands, AMissingUserGuideIsToldInsteadOfIgnored) {
  // The test executable has no guide beside it.
  const fs::path guide = fs::path(platform::ExecutablePath()).parent_path() / kHelpFileName;
  ASSERT_FALSE(fs::exists(guide));
  Start();
  test::MessageBoxWatch watch;
  Command(IDC_HELP_LINK);
  ASSERT_EQ(watch.texts().size(), 1u);
  EXPECT_NE(watch.texts()[0].find(guide.wstring()), std::wstring::npos);
}

TEST_F(Commands, OpeningARowEditsItsContactAndMovesItWhenItsGroupChanges) {
  WriteData();
  Start();
  DlgGroupEntry& friends = GroupPanel(1);
  friends.List().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);  // Ann
  test::DialogDriver driver;
  driver.Expect(L"Add Contact", [](HWND dialog) {
    EXPECT_EQ(test::Text(dialog, IDC_NAME), L"Ann");
    SetDlgItemTextW(dialog, IDC_NAME, L"Anna");
    test::Click(dialog, IDOK);
  });
  NMHDR doubleClick{friends.List(), IDC_CONTACT_LIST, static_cast<UINT>(NM_DBLCLK)};
  SendMessageW(friends.m_hWnd, WM_NOTIFY, IDC_CONTACT_LIST, reinterpret_cast<LPARAM>(&doubleClick));
  ASSERT_EQ(driver.scriptsRun(), 1);
  EXPECT_EQ(engine().contacts->items[0]->name, L"Anna");
  EXPECT_EQ(friends.List().GetItemCount(), 1);
  EXPECT_EQ(session().SaveCount(), 1);
  EXPECT_EQ(SavedData().contacts->items[0]->name, L"Anna");

  // "Open" from the menu, moving her to Work: the row leaves Friends.
  driver.Expect(L"Add Contact", [](HWND dialog) {
    for (int index = 0; index < test::EntryCount(dialog, IDC_GROUP); ++index)
      if (test::EntryData(dialog, IDC_GROUP, index) == 2) test::ChooseEntry(dialog, IDC_GROUP, index);
    test::Click(dialog, IDOK);
  });
  SendMessageW(friends.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CONTACT_OPEN, 0), 0);
  ASSERT_EQ(driver.scriptsRun(), 2);
  Pump();
  EXPECT_EQ(friends.List().GetItemCount(), 0);
  EXPECT_EQ(GroupPanel(2).List().GetItemCount(), 2);
  EXPECT_EQ(engine().contacts->items[0]->groupId, 2);
  EXPECT_EQ(engine().contacts->items[0]->count, 7) << "an edited contact keeps its own interval";
  EXPECT_EQ(SavedData().contacts->items[0]->groupId, 2);
}

}  // namespace
