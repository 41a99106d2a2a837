#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/dlg_corvane.h"
#include "app/program.h"
#include "app/window_placement.h"
#include "framework/dpi.h"
#include "model/platform.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"

namespace fs = std::filesystem;

namespace {

using apptest::SettingsFolder;

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// A dialog procedure must be stdcall on 32-bit Windows, which a lambda is not.
INT_PTR CALLBACK IgnoreDialogMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Size of the main window template as the dialog manager creates it.
SIZE TemplateWindowSize() {
  HWND probe = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr, IgnoreDialogMessages,
                                  0);
  const RECT rect = WindowRect(probe);
  DestroyWindow(probe);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Runs what is queued for this thread; reports whether a quit message came.
bool Pump() {
  bool quit = false;
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit = true;
      EXPECT_EQ(message.wParam, 0u);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return quit;
}

class MainWindow : public apptest::MainWindowFixture {
 protected:
  // A quit message left behind must still carry exit code 0.
  void Drain() override { Pump(); }

  static void SaveOptions(int x, int y, int width, int height, bool minimizeToTray = true) {
    Engine engine;
    engine.options->windowX = x;
    engine.options->windowY = y;
    engine.options->windowWidth = width;
    engine.options->windowHeight = height;
    engine.options->minimizeToTray = minimizeToTray;
    ASSERT_TRUE(engine.Save());
  }

  void ExpectCentredDefault(HWND window) {
    const RECT rect = WindowRect(window);
    EXPECT_EQ(rect.right - rect.left, placement::kMinWidth);
    EXPECT_EQ(rect.bottom - rect.top, placement::kMinHeight);
    // Centred at the template's size first, then resized keeping the corner.
    const RECT work = WorkArea();
    const SIZE size = TemplateWindowSize();
    EXPECT_EQ(rect.left, work.left + (work.right - work.left - size.cx) / 2);
    EXPECT_EQ(rect.top, work.top + (work.bottom - work.top - size.cy) / 2);
  }
};

}  // namespace

TEST_F(MainWindow, FirstStartIsCentredAt400x600WithItsControlsAndWritesNothing) {
  HWND window = Start();
  ExpectCentredDefault(window);
  EXPECT_FALSE(IsWindowVisible(window));  // the entry point shows it
  EXPECT_TRUE(window_->ShownForTesting());

  HWND tabs = GetDlgItem(window, IDC_TABS);
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(groupTabs().Control(), tabs);
  EXPECT_EQ(TabCtrl_GetItemCount(tabs), 1) << "All";
  EXPECT_EQ(GetWindowLongPtrW(tabs, GWL_STYLE) & WS_CLIPSIBLINGS, 0);
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
  for (int id : {IDC_ADD_CONTACT, IDC_ADD_GROUP, IDC_OPTIONS, IDC_HELP_LINK})
    EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(window, id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;

  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
  ASSERT_NE(window_->MenuImagesForTesting(), nullptr);
  EXPECT_EQ(ImageList_GetImageCount(window_->MenuImagesForTesting()), 6);

  // Nothing on disk and no auto-start entry until something is saved or confirmed.
  EXPECT_FALSE(fs::exists(SettingsFolder() / L"options.dat"));
  EXPECT_FALSE(platform::AutoStartEntryPresent());
  EXPECT_FALSE(Pump());
}

TEST_F(MainWindow, SavedPlacementIsUsedAndOneUnsetValueCentres) {
  SaveOptions(40, 50, 500, 650);
  HWND window = Start();
  const RECT rect = WindowRect(window);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.right, 540);
  EXPECT_EQ(rect.bottom, 700);
  DestroyWindow(window);
  Pump();

  SaveOptions(40, -1, 500, 650);
  ExpectCentredDefault(Start());
}

TEST_F(MainWindow, PlacementOnNoMonitorIsCentredInstead) {
  SaveOptions(-30000, -30000, 500, 650);
  ExpectCentredDefault(Start());
}

// The arithmetic is tested natively (tests/host/window_placement_test.cpp);
// here, that the window applies it while being dragged.
TEST_F(MainWindow, SnapsToTheLeftTopAndRightEdgesWhileDragged) {
  HWND window = Start();
  const int screen = GetSystemMetrics(SM_CXSCREEN);
  RECT dragged{screen - 405, 3, screen - 5, 603};
  EXPECT_EQ(SendMessageW(window, WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&dragged)), TRUE);
  EXPECT_EQ(dragged.right, screen);
  EXPECT_EQ(dragged.left, screen - 400);
  EXPECT_EQ(dragged.top, 0);
  EXPECT_EQ(dragged.bottom, 600);
}

TEST_F(MainWindow, CannotBeSizedBelow400x600) {
  HWND window = Start();
  MINMAXINFO info{};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 400);
  EXPECT_EQ(info.ptMinTrackSize.y, 600);
  // Growing the window moves the buttons down and widens the tabs.
  HWND addContact = GetDlgItem(window, IDC_ADD_CONTACT);
  HWND help = GetDlgItem(window, IDC_HELP_LINK);
  const RECT buttonBefore = WindowRect(addContact);
  const RECT helpBefore = WindowRect(help);
  const RECT tabsBefore = WindowRect(GetDlgItem(window, IDC_TABS));
  SetWindowPos(window, nullptr, 0, 0, 500, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT frame = WindowRect(window);
  const RECT buttonAfter = WindowRect(addContact);
  const RECT helpAfter = WindowRect(help);
  const RECT tabsAfter = WindowRect(GetDlgItem(window, IDC_TABS));
  EXPECT_EQ(buttonAfter.top - buttonBefore.top, 100);
  EXPECT_EQ(buttonAfter.left - buttonBefore.left, 0);
  EXPECT_EQ(helpAfter.left - helpBefore.left, 100);
  EXPECT_EQ(helpAfter.top - helpBefore.top, 100);
  EXPECT_EQ((tabsAfter.right - tabsAfter.left) - (tabsBefore.right - tabsBefore.left), 100);
  EXPECT_EQ((tabsAfter.bottom - tabsAfter.top) - (tabsBefore.bottom - tabsBefore.top), 100);
  EXPECT_EQ(frame.right - frame.left, 500);
}

TEST_F(MainWindow, ADpiChangeTakesTheSuggestedFrameAndScalesRowsLimitsAndSnapping) {
  HWND window = Start();
  engine().contacts->Add(L"Ann", L"", Days, 7, platform::Now(), L"", -1);
  GroupEntryListView& list = groupTabs().AllPanel()->List();
  ASSERT_EQ(list.GetItemCount(), 1);

  framework::ScopedDpiOverride at144(144);
  // As high as the window may be there: the null driver's screen is not much higher.
  RECT suggested{30, 20, 30 + 650, 20 + 900};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  const RECT frame = WindowRect(window);
  EXPECT_EQ(frame.left, 30);
  EXPECT_EQ(frame.top, 20);
  EXPECT_EQ(frame.right - frame.left, 650);
  EXPECT_EQ(frame.bottom - frame.top, 900);

  RECT row{};
  ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
  EXPECT_EQ(row.bottom - row.top, 60);
  int width = 0;
  int height = 0;
  ImageList_GetIconSize(window_->MenuImagesForTesting(), &width, &height);
  EXPECT_EQ(width, 24) << "the menu pictures drawn for 150 %";

  MINMAXINFO info{};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 600);
  EXPECT_EQ(info.ptMinTrackSize.y, 900);
  RECT dragged{14, 100, 614, 1000};
  SendMessageW(window, WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&dragged));
  EXPECT_EQ(dragged.left, 0) << "14 pixels is within the snap distance at 150 %";
}

TEST_F(MainWindow, CloseBoxAndMinimiseHideToTheTray) {
  HWND window = Start();
  ShowWindow(window, SW_SHOW);
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(window_->ShownForTesting());
  EXPECT_FALSE(Pump());  // no quit: the program keeps running

  window_->TrayForTesting().ShowMainWindow();
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(window_->ShownForTesting());
  // The system's own low bits (here: from the keyboard) do not change the command.
  SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE | 0x2, 0);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(IsIconic(window));
  EXPECT_FALSE(window_->ShownForTesting());
}

TEST_F(MainWindow, MinimiseWithoutTrayOptionIsAnOrdinaryMinimise) {
  SaveOptions(-1, -1, -1, -1, false);
  HWND window = Start();
  ShowWindow(window, SW_SHOW);
  SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(window));
  EXPECT_TRUE(window_->ShownForTesting());
}

TEST_F(MainWindow, ExitSavesAllThreeFilesWithTheWindowRectangleAndQuits) {
  HWND window = Start();
  ShowWindow(window, SW_SHOW);
  MoveWindow(window, 30, 40, 420, 610, FALSE);
  engine().options->warnDays = 9;  // changed without a save of its own
  EXPECT_EQ(SendMessageW(window, WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(Pump());

  for (const wchar_t* name : {L"groups.dat", L"contacts.dat", L"options.dat"})
    EXPECT_TRUE(fs::exists(SettingsFolder() / name)) << name;
  Engine reloaded;
  reloaded.Load();
  EXPECT_EQ(reloaded.options->windowX, 30);
  EXPECT_EQ(reloaded.options->windowY, 40);
  EXPECT_EQ(reloaded.options->windowWidth, 420);
  EXPECT_EQ(reloaded.options->windowHeight, 610);
  EXPECT_EQ(reloaded.options->warnDays, 9);
}

TEST_F(MainWindow, EndOfSessionSavesAndLetsTheSessionEnd) {
  HWND window = Start();
  engine().options->showLastContacted = true;
  MoveWindow(window, 20, 30, 410, 620, FALSE);
  EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  // Saved before answering: the session may end at once.
  Engine saved;
  saved.Load();
  EXPECT_TRUE(saved.options->showLastContacted);
  EXPECT_EQ(saved.options->windowX, 20);
  EXPECT_EQ(saved.options->windowHeight, 620);
  // Then the exit operation runs.
  EXPECT_TRUE(Pump());
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindow, DamagedFilesAreToldOnceNamingTheFileAndTheKeptCopy) {
  {
    std::ofstream damaged(SettingsFolder() / L"contacts.dat", std::ios::binary);
    damaged << "not an archive at all";
  }
  test::MessageBoxWatch boxes;
  Start();
  Pump();
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_NE(boxes.texts()[0].find(L"contacts.dat"), std::wstring::npos) << boxes.texts()[0];
  EXPECT_NE(boxes.texts()[0].find(L"contacts.dat.damaged"), std::wstring::npos) << boxes.texts()[0];
  EXPECT_EQ(boxes.captions()[0], L"Amicord");
  EXPECT_TRUE(fs::exists(SettingsFolder() / L"contacts.dat.damaged"));

  EXPECT_TRUE(session().SaveAll());
  SendMessageW(window_->m_hWnd, WM_SAVE_DATA, 0, 0);
  Pump();
  EXPECT_EQ(boxes.texts().size(), 1u);
}

TEST_F(MainWindow, AFailingSaveIsToldOnceUntilSavingWorksAgain) {
  test::MessageBoxWatch boxes;
  Start();
  // A folder where the file should be: no save can replace it.
  fs::create_directories(SettingsFolder() / L"groups.dat" / L"blocker");
  EXPECT_FALSE(session().SaveAll());
  EXPECT_FALSE(session().SaveAll());
  SendMessageW(window_->m_hWnd, WM_SAVE_DATA, 0, 0);
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_NE(boxes.texts()[0].find(L"groups.dat"), std::wstring::npos) << boxes.texts()[0];

  fs::remove_all(SettingsFolder() / L"groups.dat");
  EXPECT_TRUE(session().SaveAll());
  fs::remove(SettingsFolder() / L"groups.dat");
  fs::create_directories(SettingsFolder() / L"groups.dat" / L"blocker");
  EXPECT_FALSE(session().SaveAll());
  EXPECT_EQ(boxes.texts().size(), 2u);
}

TEST(Program, EndsWithAnErrorWhenTheMainWindowCannotBeCreated) {
  // A module without the main window's template: creation fails, and the program
  // must end at once instead of waiting in a loop nothing would ever end.
  framework::SetResourceInstance(GetModuleHandleW(L"kernel32.dll"));
  const int exitCode = RunAmicord();
  framework::SetResourceInstance(nullptr);
  EXPECT_NE(exitCode, 0);
  MSG message{};
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}
