#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "app/tray_icon.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/fake_shell.h"

namespace {

using apptest::calls;
using apptest::FakeShell;
using apptest::NotifyCall;
using apptest::shellAnswer;

void ExpectAdd(const NotifyCall& call, HWND window, UINT id, UINT callbackMessage, HICON icon) {
  EXPECT_EQ(call.message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(call.size, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
  EXPECT_EQ(call.window, window);
  EXPECT_EQ(call.id, id);
  EXPECT_EQ(call.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(call.callbackMessage, callbackMessage);
  EXPECT_EQ(call.icon, icon);
}

HWND MakeOwner() {
  return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(TrayIcon, AsksTheShellToAddAgainAfterARefusalAndRemovesItselfOnce) {
  FakeShell shell;
  HWND owner = MakeOwner();
  HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
  {
    TrayIcon tray;
    tray.Remove();
    EXPECT_FALSE(tray.AddAgain()) << "nothing to add before the first Add";
    EXPECT_TRUE(calls.empty());

    shellAnswer = FALSE;  // no shell running yet
    EXPECT_FALSE(tray.Add(owner, 7, WM_APP + 9, icon, L"Amicord"));
    EXPECT_FALSE(tray.Added());
    shellAnswer = TRUE;
    EXPECT_TRUE(tray.AddAgain());
    EXPECT_TRUE(tray.Added());
    ASSERT_EQ(calls.size(), 2u);
    for (const NotifyCall& call : calls) {
      ExpectAdd(call, owner, 7, WM_APP + 9, icon);
      EXPECT_EQ(call.tip, L"Amicord");
    }
    EXPECT_EQ(tray.TaskbarCreatedMessage(), RegisterWindowMessageW(L"TaskbarCreated"));
  }
  ASSERT_EQ(calls.size(), 3u) << "the end of the object removes the icon";
  EXPECT_EQ(calls[2].message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(calls[2].window, owner);
  EXPECT_EQ(calls[2].id, 7u);
  DestroyWindow(owner);
}

TEST(TrayIcon, ShowsLooksAndNotificationsAndAddsAgainWithTheLookItShowsNow) {
  FakeShell shell;
  HWND owner = MakeOwner();
  HICON plain = LoadIconW(nullptr, IDI_APPLICATION);
  HICON urgent = LoadIconW(nullptr, IDI_WARNING);
  HICON large = LoadIconW(nullptr, IDI_INFORMATION);
  TrayIcon tray;
  EXPECT_FALSE(tray.Notify(L"Title", L"Text", large)) << "no icon to speak from yet";
  ASSERT_TRUE(tray.Add(owner, 7, WM_APP + 9, plain, L"Amicord"));

  tray.Show(urgent, L"Amicord: 1 overdue");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(calls[1].flags, static_cast<UINT>(NIF_ICON | NIF_TIP));
  EXPECT_EQ(calls[1].icon, urgent);
  EXPECT_EQ(calls[1].tip, L"Amicord: 1 overdue");
  tray.Show(urgent, L"Amicord: 1 overdue");
  EXPECT_EQ(calls.size(), 2u) << "the same look again asks the shell nothing";

  const std::wstring longTitle(100, L'T');
  const std::wstring longText(400, L'x');
  ASSERT_TRUE(tray.Notify(longTitle, longText, large));
  ASSERT_EQ(calls.size(), 3u);
  const NotifyCall& note = calls[2];
  EXPECT_EQ(note.message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(note.size, static_cast<DWORD>(sizeof(NOTIFYICONDATAW)));
  EXPECT_EQ(note.flags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(note.infoFlags, static_cast<DWORD>(NIIF_USER | NIIF_LARGE_ICON));
  EXPECT_EQ(note.balloonIcon, large);
  EXPECT_EQ(note.infoTitle, longTitle.substr(0, 63));
  EXPECT_EQ(note.info, longText.substr(0, 255));
  EXPECT_EQ(note.tip, L"Amicord: 1 overdue") << "the tip stays what it was";

  // A shell that does not know the balloon's own icon gets the plain information balloon.
  shellAnswer = FALSE;
  EXPECT_FALSE(tray.Notify(L"Title", L"Text", large));
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[4].size, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
  EXPECT_EQ(calls[4].infoFlags, static_cast<DWORD>(NIIF_INFO));
  EXPECT_EQ(calls[4].info, L"Text");
  shellAnswer = TRUE;

  // A restarted shell gets the icon back as it looks now, not as it was added.
  ASSERT_TRUE(tray.AddAgain());
  ASSERT_EQ(calls.size(), 6u);
  ExpectAdd(calls[5], owner, 7, WM_APP + 9, urgent);
  EXPECT_EQ(calls[5].tip, L"Amicord: 1 overdue");

  // While the shell is away the look is kept for its return.
  shellAnswer = FALSE;
  EXPECT_FALSE(tray.AddAgain());
  tray.Show(plain, L"Amicord: nobody due");
  EXPECT_EQ(calls.size(), 7u) << "no change is asked of a shell that holds no icon";
  shellAnswer = TRUE;
  ASSERT_TRUE(tray.AddAgain());
  ExpectAdd(calls.back(), owner, 7, WM_APP + 9, plain);
  EXPECT_EQ(calls.back().tip, L"Amicord: nobody due");
  tray.Remove();
  DestroyWindow(owner);
}

class MainWindowTray : public apptest::MainWindowFixture {};

TEST_F(MainWindowTray, TheIconComesWithTheWindowReturnsWithTheTaskbarAndLeavesWithTheWindow) {
  FakeShell shell;
  HWND window = Start();
  ASSERT_EQ(calls.size(), 1u);
  // The plain icon at the size the shell draws, and the tip saying that nobody is due.
  const HICON trayIcon = calls[0].icon;
  ASSERT_NE(trayIcon, nullptr);
  ExpectAdd(calls[0], window, TRAY_ICON_ID, WM_TRAYNOTIFY, trayIcon);
  EXPECT_EQ(calls[0].tip, L"Amicord: nobody due");
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(trayIcon, &info));
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);

  SendMessageW(window, WM_TRAYNOTIFY, 0, 0);  // harmless
  // A restarted shell forgot the icon: it is added again, as at first.
  SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_EQ(calls.size(), 2u);
  ExpectAdd(calls[1], window, TRAY_ICON_ID, WM_TRAYNOTIFY, trayIcon);

  DestroyWindow(window);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(calls[2].window, window);
  EXPECT_EQ(calls[2].id, TRAY_ICON_ID);
  window_.reset();
  EXPECT_EQ(calls.size(), 3u) << "removed once, not again with the object";
}
