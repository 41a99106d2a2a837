// A tick is on screen before its save: the save follows from the message loop,
// one for every tick made before it runs, and nothing that ends the program or
// reads the files comes between a tick and its save.
#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/dlg_corvane.h"
#include "framework/scheduler.h"
#include "model/platform.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"

namespace {

constexpr Time kDay = 86400;
constexpr Time kStart = 1700000000;
constexpr std::chrono::milliseconds kNoTime{0};

struct Saved {
  Time ann = 0;
  Time bob = 0;
  std::vector<Time> annJournal;
};

Saved ReadSaved() {
  Engine engine;
  engine.Load();
  Saved saved;
  for (const Contacts::Item& contact : *engine.contacts)
    (contact->id == 1 ? saved.ann : saved.bob) = contact->lastContacted;
  for (const JournalEntry& entry : engine.journal->Entries(1)) saved.annJournal.push_back(entry.time);
  return saved;
}

class TickSave : public apptest::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    previousClock_ = platform::ReplaceClock([this] { return now_; });
    Engine data;
    data.groups->Add(L"Friends", L"", Days, 7);
    data.contacts->Add(L"Ann", L"", Days, 7, kStart, L"", 1);
    data.contacts->Add(L"Bob", L"", Days, 7, kStart, L"", 1);
    ASSERT_TRUE(data.Save());
    HWND window = Start();
    SetWindowPos(window, nullptr, 40, 40, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_SHOWNA);
    UpdateWindow(List());
    scheduler_.Advance(kNoTime);  // what the start leaves for idle moments
    // The start-up moment may have saved a reminder's day; only the ticks'
    // saves count here, and the files are read only once that one is written.
    session().WaitForWriter();
    savesAtStart_ = session().SaveCount();
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    platform::ReplaceClock(previousClock_);
  }

  int Saves() { return session().SaveCount() - savesAtStart_; }
  GroupEntryListView& List() { return groupTabs().AllPanel()->List(); }
  void ClickTick(int id) {
    HWND box = List().TickBox(id);
    ASSERT_NE(box, nullptr) << "painted rows have their boxes";
    SendMessageW(box, BM_CLICK, 0, 0);
  }
  bool Ticked(int id) { return SendMessageW(List().TickBox(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  bool UndoShown(int id) {
    UpdateWindow(List());
    HWND undo = List().UndoButton(id);
    return undo && IsWindowVisible(undo);
  }

  // Outlives the window, whose pending save and un-ticks it holds.
  framework::ManualScheduler scheduler_;
  framework::ScopedUiScheduler scopedScheduler_{scheduler_};
  Time now_ = kStart + 10 * kDay;
  platform::Clock previousClock_;
  int savesAtStart_ = 0;
};

}  // namespace

TEST_F(TickSave, TicksAreShownAtOnceAndTheirOneSaveFollowsUnlessASaveCameFirst) {
  ClickTick(1);
  EXPECT_TRUE(Ticked(1));
  EXPECT_TRUE(UndoShown(1));
  EXPECT_EQ(Saves(), 0) << "the save waits until the tick is on screen";
  EXPECT_EQ(ReadSaved().ann, kStart);
  EXPECT_EQ(ReadSaved().annJournal, std::vector<Time>{kStart});

  // A second tick before the save ran: the same save takes both.
  ClickTick(2);
  scheduler_.Advance(kNoTime);
  EXPECT_EQ(Saves(), 1);
  session().WaitForWriter();
  Saved saved = ReadSaved();
  EXPECT_EQ(saved.ann, now_);
  EXPECT_EQ(saved.bob, now_);
  EXPECT_EQ(saved.annJournal, (std::vector<Time>{now_, kStart})) << "the journal is written with the contacts";
  scheduler_.Advance(std::chrono::seconds(1));
  EXPECT_EQ(Saves(), 1);

  // The undo's save, overtaken by a save of everything: that one is enough.
  SendMessageW(List(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(List().UndoButton(1)));
  EXPECT_FALSE(UndoShown(1));
  EXPECT_TRUE(session().HasPendingSave());
  SendMessageW(window_->m_hWnd, WM_SAVE_DATA, 0, 0);
  EXPECT_EQ(Saves(), 2);
  scheduler_.Advance(kNoTime);
  EXPECT_EQ(Saves(), 2);
  session().WaitForWriter();
  EXPECT_EQ(ReadSaved().ann, kStart);
  EXPECT_EQ(ReadSaved().annJournal, std::vector<Time>{kStart});
}

TEST_F(TickSave, ExitWithASavePendingWritesTheTick) {
  ClickTick(1);
  ASSERT_TRUE(session().HasPendingSave());
  EXPECT_EQ(SendMessageW(window_->m_hWnd, WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(session().HasPendingSave());
  const Saved saved = ReadSaved();
  EXPECT_EQ(saved.ann, now_);
  EXPECT_EQ(saved.annJournal, (std::vector<Time>{now_, kStart}));
  scheduler_.Advance(kNoTime);
  apptest::PumpMessages();
}

// The tick's save is written by the writer thread; an exit while it writes
// waits for it, and for the exit's own save, before the program may end.
TEST_F(TickSave, ExitWaitsForTheSaveTheWriterIsMaking) {
  std::atomic<int> started{0};
  std::atomic<int> finished{0};
  session().SetBeforeWriteForTesting([&] {
    ++started;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // a long write
    ++finished;
  });
  ClickTick(1);
  scheduler_.Advance(kNoTime);
  EXPECT_TRUE(session().HasPendingSave());
  while (started == 0) std::this_thread::yield();
  window_->Exit();
  EXPECT_GE(started, 2) << "the tick's save and the exit's";
  EXPECT_EQ(finished, started.load());
  EXPECT_FALSE(session().HasPendingSave());
  const Saved saved = ReadSaved();
  EXPECT_EQ(saved.ann, now_);
  EXPECT_EQ(saved.annJournal, (std::vector<Time>{now_, kStart}));
  session().SetBeforeWriteForTesting(nullptr);
  apptest::PumpMessages();
}

// Someone else's journal arrives between a tick and its save: the tick is
// written first (theirs kept beside, as for any change made meanwhile), so
// reading their file in cannot take the tick back.
TEST_F(TickSave, AnOutsideChangeReadInWritesAPendingTickFirst) {
  test::MessageBoxWatch boxes;
  ClickTick(1);
  // Theirs comes after what the start wrote, not in the middle of it.
  session().WaitForWriter();
  {
    Engine theirs;
    theirs.Load();
    theirs.journal->Record(2, kStart - kDay, L"Theirs");
    ASSERT_TRUE(theirs.Save());
  }
  // The look hands the tick to the writer and looks again once it is written,
  // without holding the window meanwhile.
  window_->OutsideChangesForTesting().LookNow();
  EXPECT_EQ(Saves(), 1);
  session().WaitForWriter();
  scheduler_.Advance(OutsideChanges::kSettle);
  EXPECT_EQ(ReadSaved().annJournal, (std::vector<Time>{now_, kStart}));
  EXPECT_EQ(engine().journal->Entries(1).size(), 2u) << "the tick stays in memory";
  EXPECT_EQ(boxes.texts().size(), 1u) << "their version is kept beside, and the user told";
}
