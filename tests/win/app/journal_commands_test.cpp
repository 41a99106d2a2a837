// The journal in the running program: ticks and their undo, logging a contact,
// the history and its deletions, snoozing from the row menu, and a deleted
// contact's journal; each saved as it happens.
#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include <chrono>

#include "framework/scheduler.h"
#include "model/archive.h"
#include "model/snooze.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

constexpr Time kDay = 86400;
constexpr Time kNow = 1796299200;  // Thursday 2026-12-03 12:00:00 UTC

std::vector<Time> Times(const Journal& journal, std::int32_t id) {
  std::vector<Time> times;
  for (const JournalEntry& entry : journal.Entries(id)) times.push_back(entry.time);
  return times;
}

void SetPicker(HWND dialog, int id, Time time) {
  const __time64_t value = time;
  tm parts{};
  _localtime64_s(&parts, &value);
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(parts.tm_year + 1900);
  local.wMonth = static_cast<WORD>(parts.tm_mon + 1);
  local.wDay = static_cast<WORD>(parts.tm_mday);
  local.wHour = static_cast<WORD>(parts.tm_hour);
  local.wMinute = static_cast<WORD>(parts.tm_min);
  local.wSecond = static_cast<WORD>(parts.tm_sec);
  SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local));
}

class JournalCommands : public apptest::MainWindowFixture {
 public:
  Journal SavedJournal() { return *SavedData().journal; }

 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    previousClock_ = platform::ReplaceClock([this] { return now_; });
    Engine engine;
    engine.groups->Add(L"Friends", L"", Days, 7);
    engine.contacts->Add(L"Ann", L"", Days, 7, kNow - 10 * kDay, L"", 1);
    engine.contacts->Add(L"Bob", L"", Days, 7, kNow - 2 * kDay, L"", 1);
    ASSERT_TRUE(engine.Save());
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    platform::ReplaceClock(previousClock_);
  }

  Contact& Ann() { return *engine().contacts->items[0]; }
  DlgGroupEntry& Friends() { return GroupPanel(1); }
  void SelectAnn() { Friends().List().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); }
  void Menu(int id) { SendMessageW(Friends().m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  Time now_ = kNow;
  platform::Clock previousClock_;
  // Outlives the window: a tick's save waits for it.
  framework::ManualScheduler scheduler_;
  framework::ScopedUiScheduler scopedScheduler_{scheduler_};
};

TEST_F(JournalCommands, ATickRecordsAnEntryAndItsUndoRemovesExactlyThatEntry) {
  Start();
  EXPECT_EQ(Times(*engine().journal, 1), (std::vector<Time>{kNow - 10 * kDay})) << "caught up at the first start";
  engine().journal->Snooze(1, kNow + 3 * kDay);
  ASSERT_TRUE(Ann().MarkContacted(kNow));
  EXPECT_EQ(Times(*engine().journal, 1), (std::vector<Time>{kNow, kNow - 10 * kDay}));
  EXPECT_EQ(engine().journal->SnoozedUntil(1), 0) << "a tick ends the snooze";
  scheduler_.Advance(std::chrono::milliseconds(0));
  session().WaitForWriter();
  EXPECT_EQ(Times(SavedJournal(), 1), (std::vector<Time>{kNow, kNow - 10 * kDay}));

  Ann().UndoContacted();
  EXPECT_EQ(Times(*engine().journal, 1), (std::vector<Time>{kNow - 10 * kDay}));
  scheduler_.Advance(std::chrono::milliseconds(0));
  session().WaitForWriter();
  EXPECT_EQ(Times(SavedJournal(), 1), (std::vector<Time>{kNow - 10 * kDay}));
  EXPECT_EQ(Ann().lastContacted, kNow - 10 * kDay);
}

TEST_F(JournalCommands, LogContactRefusesTheFutureAndALaterTimeBecomesLastContacted) {
  Start();
  SelectAnn();
  test::DialogDriver driver;
  driver.Expect(L"Log Contact: Ann", [](HWND dialog) {
    SetPicker(dialog, IDC_LOG_DATE, kNow + kDay);
    SetPicker(dialog, IDC_LOG_TIME, kNow + kDay);
    test::Click(dialog, IDOK);  // refused: the dialog stays
    SetPicker(dialog, IDC_LOG_DATE, kNow - kDay);
    SetPicker(dialog, IDC_LOG_TIME, kNow - kDay);
    SetDlgItemTextW(dialog, IDC_LOG_TEXT, L"Phoned about the move");
    test::Click(dialog, IDOK);
  });
  Menu(ID_CONTACT_LOG);
  ASSERT_EQ(driver.scriptsRun(), 1);
  ASSERT_EQ(driver.messages().size(), 1u);
  EXPECT_EQ(driver.messages()[0], L"A contact cannot be logged in the future.");
  EXPECT_EQ(Ann().lastContacted, kNow - kDay);
  EXPECT_EQ(Ann().previousContacted, kNow - 10 * kDay);
  const Journal saved = SavedJournal();
  ASSERT_EQ(saved.Entries(1).size(), 2u);
  EXPECT_EQ(saved.Entries(1)[0].text, L"Phoned about the move");
  Engine reloaded;
  reloaded.Load();
  EXPECT_EQ(reloaded.contacts->items[0]->lastContacted, kNow - kDay);

  // Earlier than lastContacted: recorded, lastContacted stays.
  driver.Expect(L"Log Contact: Ann", [](HWND dialog) {
    SetPicker(dialog, IDC_LOG_DATE, kNow - 20 * kDay);
    SetPicker(dialog, IDC_LOG_TIME, kNow - 20 * kDay);
    test::Click(dialog, IDOK);
  });
  Menu(ID_CONTACT_LOG);
  EXPECT_EQ(Ann().lastContacted, kNow - kDay);
  EXPECT_EQ(Times(SavedJournal(), 1), (std::vector<Time>{kNow - kDay, kNow - 10 * kDay, kNow - 20 * kDay}));
}

TEST_F(JournalCommands, HistoryListsNewestFirstAndDeletingTheNewestMovesBothTimesBack) {
  Start();
  for (Time t : {kNow - 30 * kDay, kNow - 3 * kDay}) engine().journal->Record(1, t);
  ASSERT_TRUE(Ann().MarkContacted(kNow - kDay));
  SelectAnn();
  test::DialogDriver driver;
  driver.Expect(L"History: Ann", [](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), 4);
    EXPECT_EQ(test::Text(dialog, IDC_HISTORY_COUNT), L"4 contacts in the last twelve months.");
    wchar_t gap[64] = {};
    ListView_GetItemText(list, 0, 2, gap, 64);
    EXPECT_STREQ(gap, L"2 days later");
    ListView_GetItemText(list, 3, 2, gap, 64);
    EXPECT_STREQ(gap, L"First");
    {
      test::MessageBoxWatch no(IDNO);
      ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
      test::Click(dialog, IDC_HISTORY_DELETE);
      EXPECT_EQ(ListView_GetItemCount(list), 4) << "not confirmed";
    }
    test::MessageBoxWatch yes(IDYES);
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    test::Click(dialog, IDC_HISTORY_DELETE);
    ASSERT_EQ(yes.texts().size(), 1u);
    EXPECT_EQ(yes.texts()[0].rfind(L"Delete the contact of ", 0), 0u);
    EXPECT_EQ(ListView_GetItemCount(list), 3);
    test::Click(dialog, IDCANCEL);
  });
  Menu(ID_CONTACT_HISTORY);
  ASSERT_EQ(driver.scriptsRun(), 1);
  EXPECT_EQ(Ann().lastContacted, kNow - 3 * kDay);
  EXPECT_EQ(Ann().previousContacted, kNow - 10 * kDay);
  EXPECT_EQ(Times(SavedJournal(), 1), (std::vector<Time>{kNow - 3 * kDay, kNow - 10 * kDay, kNow - 30 * kDay}));
  Engine reloaded;
  reloaded.Load();
  EXPECT_EQ(reloaded.contacts->items[0]->lastContacted, kNow - 3 * kDay);
}

TEST_F(JournalCommands, RemindMeLaterSnoozesAnOverdueRowUntilTheChosenDayAndStopEndsIt) {
  Start();
  SelectAnn();
  Menu(ID_SNOOZE_THREE_DAYS);
  const Time until = StartOfDayAfter(kNow, 3);
  EXPECT_EQ(engine().journal->SnoozedUntil(1), until);
  EXPECT_EQ(SavedJournal().SnoozedUntil(1), until);
  EXPECT_TRUE(IsSnoozeActive(Ann(), until, kNow));

  test::DialogDriver driver;
  driver.Expect(L"Remind Me Later", [](HWND dialog) {
    SetPicker(dialog, IDC_SNOOZE_DATE, kNow);
    test::Click(dialog, IDOK);  // today: refused
    SetPicker(dialog, IDC_SNOOZE_DATE, kNow + 10 * kDay);
    test::Click(dialog, IDOK);
  });
  Menu(ID_SNOOZE_CHOOSE);
  ASSERT_EQ(driver.scriptsRun(), 1);
  ASSERT_EQ(driver.messages().size(), 1u);
  EXPECT_EQ(driver.messages()[0], L"Choose a day after today.");
  EXPECT_EQ(engine().journal->SnoozedUntil(1), StartOfDayAfter(kNow, 10));

  Menu(ID_SNOOZE_STOP);
  EXPECT_EQ(engine().journal->SnoozedUntil(1), 0);
  EXPECT_EQ(SavedJournal().SnoozedUntil(1), 0);
}

TEST_F(JournalCommands, ADeletedContactTakesItsJournalWithItAndAMovedOneKeepsIt) {
  Start();
  engine().journal->Record(2, kNow - 5 * kDay, L"Coffee");
  engine().journal->Snooze(2, kNow + 9 * kDay);
  Contacts::Item bob;
  ASSERT_TRUE(engine().contacts->Find(2, bob));
  bob->Update(bob->name, bob->imagePath, bob->unit, bob->count, bob->lastContacted, bob->notes, -1);
  session().SaveAll();
  EXPECT_EQ(SavedJournal().Entries(2).size(), 2u) << "a contact moved to another group keeps its journal";
  {
    test::MessageBoxWatch yes(IDYES);
    Friends().List().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Menu(ID_CONTACT_DELETE);
  }
  apptest::PumpMessages();
  EXPECT_EQ(engine().journal->Find(1), nullptr);
  EXPECT_EQ(SavedJournal().Find(1), nullptr);
  EXPECT_NE(SavedJournal().Find(2), nullptr);
}

}  // namespace
