// The reminders in the running program: the tray's look and tip follow who is
// due, the notification names them once a day, and its click shows the first.
#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <string>
#include <vector>

#include "framework/scheduler.h"
#include "model/reminders.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/fake_shell.h"

namespace {

using apptest::calls;
using apptest::NotifyCall;

constexpr Time kDay = 86400;
constexpr Time kNow = 1796299200;  // Thursday 2026-12-03 12:00:00 UTC

struct Colour {
  int r = 0, g = 0, b = 0;
};

// The middle of the ball in the icon's lower-right corner.
Colour BallColour(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  const int size = bitmap.bmWidth;
  std::vector<RGBQUAD> pixels(static_cast<size_t>(size) * size);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = size;
  header.bmiHeader.biHeight = -size;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &header, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  const int middle = size - 1 - size / 4;
  const RGBQUAD p = pixels[static_cast<size_t>(middle) * size + middle];
  return Colour{p.rgbRed, p.rgbGreen, p.rgbBlue};
}

bool IsRed(const Colour& c) { return c.r > c.g + 100 && c.r > c.b + 100; }

std::vector<NotifyCall> Notifications() {
  std::vector<NotifyCall> found;
  for (const NotifyCall& call : calls)
    if (call.flags & NIF_INFO) found.push_back(call);
  return found;
}

class RemindersInWindow : public apptest::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    previousClock_ = platform::ReplaceClock([this] { return now_; });
    Engine engine;
    engine.groups->Add(L"Friends", L"", Days, 7);
    engine.contacts->Add(L"Bob Stone", L"", Days, 7, kNow - 2 * kDay, L"", 1);
    engine.contacts->Add(L"Cara Lind", L"", Days, 7, kNow - 3 * kDay, L"", 1);
    engine.contacts->Add(L"Ann Berg", L"", Days, 7, kNow - 10 * kDay, L"", 1);
    // At midnight: the time of day never holds the reminder back, whatever the zone.
    engine.journal->SetReminders(ReminderSettings{true, 0, L""});
    ASSERT_TRUE(engine.Save());
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    platform::ReplaceClock(previousClock_);
  }
  void Drain() override {
    scheduler_.Advance(std::chrono::milliseconds(0));
    MainWindowFixture::Drain();
  }

  Contact& Ann() { return *engine().contacts->items[2]; }
  ReminderSettings SavedReminders() { return SavedData().journal->state.reminders; }

  Time now_ = kNow;
  platform::Clock previousClock_;
  framework::ManualScheduler scheduler_;
  framework::ScopedUiScheduler scoped_{scheduler_};
  apptest::FakeShell shell_;
};

TEST_F(RemindersInWindow, TheStartNamesTheOverdueOnceAndTheTrayFollowsATickAndItsUndo) {
  HWND window = Start();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(calls[0].tip, L"Amicord: 1 overdue");
  EXPECT_TRUE(IsRed(BallColour(calls[0].icon))) << "added with the red ball";
  EXPECT_TRUE(Notifications().empty()) << "not from inside the window's creation";

  scheduler_.Advance(std::chrono::milliseconds(0));
  std::vector<NotifyCall> notes = Notifications();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(notes[0].window, window);
  EXPECT_EQ(notes[0].infoTitle, kReminderTitle);
  EXPECT_NE(notes[0].info.find(L"Ann Berg"), std::wstring::npos)
      << std::string(notes[0].info.begin(), notes[0].info.end());
  EXPECT_EQ(notes[0].info.find(L"Bob Stone"), std::wstring::npos);
  EXPECT_EQ(notes[0].infoFlags, static_cast<DWORD>(NIIF_USER | NIIF_LARGE_ICON));
  EXPECT_NE(notes[0].balloonIcon, nullptr);
  EXPECT_EQ(SavedReminders().lastRemindedDay, LocalDay(kNow)) << "a restart today reminds no more";

  // Unlocking later that day names nobody again.
  SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  scheduler_.Advance(std::chrono::milliseconds(0));
  EXPECT_EQ(Notifications().size(), 1u);

  // A tick: the tray shows nobody due, once the changes settle.
  const size_t before = calls.size();
  ASSERT_TRUE(Ann().MarkContacted(kNow));
  EXPECT_EQ(calls.size(), before);
  scheduler_.Advance(std::chrono::milliseconds(0));
  ASSERT_EQ(calls.size(), before + 1);
  EXPECT_EQ(calls.back().flags, static_cast<UINT>(NIF_ICON | NIF_TIP));
  EXPECT_EQ(calls.back().tip, L"Amicord: nobody due");
  EXPECT_FALSE(IsRed(BallColour(calls.back().icon)));

  Ann().UndoContacted();
  scheduler_.Advance(std::chrono::milliseconds(0));
  EXPECT_EQ(calls.back().tip, L"Amicord: 1 overdue");
  EXPECT_TRUE(IsRed(BallColour(calls.back().icon)));

  // Snoozed from the row menu: only the journal changes, and the tray follows.
  DlgGroupEntry& all = *groupTabs().AllPanel();
  ListView_SetItemState(all.List().m_hWnd, all.List().FindRow(3), LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageW(all.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_SNOOZE_WEEK, 0), 0);
  scheduler_.Advance(std::chrono::milliseconds(0));
  EXPECT_EQ(calls.back().tip, L"Amicord: nobody due");
}

TEST_F(RemindersInWindow, AThousandContactsAddedAtOnceRefreshTheTrayOnce) {
  Start();
  scheduler_.Advance(std::chrono::milliseconds(0));
  const size_t before = calls.size();
  for (int i = 0; i < 1000; ++i)
    engine().contacts->Add(L"Person " + std::to_wstring(i), L"", Days, 7, kNow - 8 * kDay, L"", 1);
  EXPECT_EQ(calls.size(), before);
  scheduler_.Advance(std::chrono::milliseconds(0));
  ASSERT_EQ(calls.size(), before + 1);
  EXPECT_EQ(calls.back().tip, L"Amicord: 1001 overdue");
  EXPECT_EQ(Notifications().size(), 1u) << "the day's notification was given; newly due people come at the next moment";
}

TEST_F(RemindersInWindow, TheNotificationsClickShowsTheFirstNamedOnAllSortedByPriority) {
  HWND window = Start();
  scheduler_.Advance(std::chrono::milliseconds(0));
  ASSERT_EQ(Notifications().size(), 1u);
  SelectTab(1);
  // The find field hides Ann, and the window waits in the tray.
  SetDlgItemTextW(window, IDC_FIND, L"Bob");
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_FALSE(window_->ShownForTesting());

  SendMessageW(window, WM_TRAYNOTIFY, TRAY_ICON_ID, NIN_BALLOONUSERCLICK);
  EXPECT_TRUE(window_->ShownForTesting());
  EXPECT_EQ(TabCtrl_GetCurSel(groupTabs().Control()), 0) << "the \"All\" tab";
  DlgGroupEntry& all = *groupTabs().AllPanel();
  EXPECT_EQ(all.List().GetSortMode(), SortMode::Priority);
  wchar_t caption[64] = {};
  GetDlgItemTextW(all.m_hWnd, IDC_SORT, caption, 64);
  EXPECT_STREQ(caption, L"Priority") << "the sort button shows the order";
  EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(window, IDC_FIND)), 0) << "the find text no longer hides her";
  const int row = all.List().FindRow(3);
  EXPECT_EQ(row, 0) << "the overdue first";
  EXPECT_EQ(ListView_GetSelectedCount(all.List().m_hWnd), 1u);
  EXPECT_EQ(ListView_GetNextItem(all.List().m_hWnd, -1, LVNI_SELECTED), row);
  EXPECT_EQ(ListView_GetNextItem(all.List().m_hWnd, -1, LVNI_FOCUSED), row);
}

}  // namespace

// Bob's birthday tomorrow, Cara's anniversary today: the notification names
// them after the overdue, the tip counts them, the journal keeps them named.
TEST_F(RemindersInWindow, BirthdaysAndDatesAreNamedWithThePeopleAndCountedInTheTip) {
  Engine data;
  data.Load();
  const platform::LocalTime tomorrow = platform::ToLocalTime(kNow + kDay);
  const platform::LocalTime today = platform::ToLocalTime(kNow);
  ContactDetails bob;
  bob.dates = {{L"birthday", tomorrow.month, tomorrow.day, 1979}};
  data.journal->SetDetails(1, bob);
  ContactDetails cara;
  cara.dates = {{L"anniversary", today.month, today.day, 0}};
  data.journal->SetDetails(2, cara);
  ASSERT_TRUE(data.Save());

  Start();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].tip, L"Amicord: 1 overdue, 1 birthday and 1 date this week");
  EXPECT_TRUE(IsRed(BallColour(calls[0].icon))) << "the dates change no colour";
  scheduler_.Advance(std::chrono::milliseconds(0));
  const std::vector<NotifyCall> notes = Notifications();
  ASSERT_EQ(notes.size(), 1u);
  const std::wstring& text = notes[0].info;
  const auto ann = text.find(L"Ann Berg");
  const auto bert = text.find(L"Bob Stone's birthday is tomorrow (turns 47).");
  const auto cara2 = text.find(L"Cara Lind's anniversary is today.");
  EXPECT_NE(ann, std::wstring::npos) << std::string(text.begin(), text.end());
  EXPECT_NE(bert, std::wstring::npos) << std::string(text.begin(), text.end());
  EXPECT_NE(cara2, std::wstring::npos) << std::string(text.begin(), text.end());
  EXPECT_LT(ann, std::min(bert, cara2)) << "the people first";
  EXPECT_FALSE(SavedReminders().datesNamed.empty()) << "a restart names them no more today";
}
