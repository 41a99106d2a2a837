#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <filesystem>
#include <stdexcept>

#include "app/data_session.h"
#include "framework/crackers.h"
#include "framework/window.h"
#include "tests/common/archive_files.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"

namespace fs = std::filesystem;

namespace {

constexpr UINT kFail = WM_APP + 40;
constexpr UINT kAnswer = WM_APP + 41;

// A window whose handler fails, as a fault in any of the program's handlers would.
class Failing : public CWindowImpl<Failing> {
 public:
  DECLARE_WND_CLASS(L"Amicord.Test.Failing")

  BEGIN_MSG_MAP(Failing)
    MSG_PLAIN(kFail, OnFail)
    MSG_PLAIN(kAnswer, OnAnswer)
  END_MSG_MAP()

  void OnFail() { throw std::runtime_error("a handler's fault"); }
  void OnAnswer() { ++answered; }

  int answered = 0;
};

void DoNothing(UINT, const char*) {}

class SessionReports : public apptest::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_NE(failing_.Create(nullptr, {}, L"", WS_POPUP), nullptr);
  }
  void TearDown() override {
    if (failing_.m_hWnd) failing_.DestroyWindow();
    MainWindowFixture::TearDown();
  }

  Failing failing_;
};

}  // namespace

TEST_F(SessionReports, AFailingHandlerSavesAndAFailedSaveIsToldOnce) {
  test::MessageBoxWatch boxes;
  HWND window = Start();
  // A folder where the file should be: no save can replace it.
  fs::create_directories(apptest::SettingsFolder() / L"groups.dat" / L"blocker");

  EXPECT_EQ(SendMessageW(failing_.m_hWnd, kFail, 0, 0), 0);
  EXPECT_EQ(session().SaveCount(), 1) << "data may be at stake: the session saves";
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_NE(boxes.texts()[0].find(L"could not save"), std::wstring::npos) << boxes.texts()[0];
  EXPECT_NE(boxes.texts()[0].find(L"groups.dat"), std::wstring::npos) << boxes.texts()[0];

  SendMessageW(failing_.m_hWnd, kFail, 0, 0);
  EXPECT_EQ(session().SaveCount(), 2);
  EXPECT_EQ(boxes.texts().size(), 1u) << "told once until saving works again";
  // Neither window went down with the fault.
  SendMessageW(failing_.m_hWnd, kAnswer, 0, 0);
  EXPECT_EQ(failing_.answered, 1);
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(SessionReports, OnlyALiveSessionSavesAndItsEndRestoresTheReporterBefore) {
  const framework::ExceptionReporter before = framework::SetExceptionReporter(&DoNothing);
  test::MessageBoxWatch boxes;
  {
    DataSession session;
    session.GetEngine().options->warnDays = 9;
    SendMessageW(failing_.m_hWnd, kFail, 0, 0);
    EXPECT_EQ(session.SaveCount(), 1);
    Engine saved;
    saved.Load();
    EXPECT_EQ(saved.options->warnDays, 9);
  }
  EXPECT_TRUE(boxes.texts().empty()) << "a save that works tells nothing";
  fs::remove_all(apptest::SettingsFolder());
  SendMessageW(failing_.m_hWnd, kFail, 0, 0);
  EXPECT_FALSE(fs::exists(apptest::SettingsFolder() / L"options.dat")) << "no session, no save";
  EXPECT_EQ(framework::SetExceptionReporter(before), &DoNothing);
}

// OutputDebugString raises this exception for a debugger to see; a vectored
// handler sees it before anyone.
constexpr DWORD kDebugPrint = 0x40010006;  // DBG_PRINTEXCEPTION_C
int debugLines = 0;
LONG CALLBACK CountDebugOutput(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode == kDebugPrint) ++debugLines;
  return EXCEPTION_CONTINUE_SEARCH;
}

TEST_F(SessionReports, AnEscapedExceptionWritesNoDebugOutput) {
  test::MessageBoxWatch boxes;
  void* const watch = AddVectoredExceptionHandler(1, &CountDebugOutput);
  ASSERT_NE(watch, nullptr);
  debugLines = 0;
  OutputDebugStringA("the watch sees debug output\n");
  const int seen = debugLines;
  debugLines = 0;
  {
    DataSession session;
    SendMessageW(failing_.m_hWnd, kFail, 0, 0);
    EXPECT_EQ(session.SaveCount(), 1) << "the session still saves";
  }
  // Without a session the framework's own reporter has it.
  const framework::ExceptionReporter before = framework::SetExceptionReporter(nullptr);
  SendMessageW(failing_.m_hWnd, kFail, 0, 0);
  framework::SetExceptionReporter(before);
  RemoveVectoredExceptionHandler(watch);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(debugLines, 0);
  EXPECT_TRUE(boxes.texts().empty());
}

TEST_F(SessionReports, AFileWithoutOnlyItsClosingLineBreakIsToldAsAnEarlierBuildsFile) {
  {
    Engine data(apptest::SettingsFolder().wstring());
    data.options->autoStart = false;
    data.contacts->Add(L"Ann", L"", Days, 3, 0, L"", 0);
    ASSERT_TRUE(data.Save());
  }
  // As an earlier build of ours wrote it: everything but the last 0D 0A 00.
  const std::wstring contacts = (apptest::SettingsFolder() / L"contacts.dat").wstring();
  const std::string whole = testfiles::ReadBytes(contacts);
  ASSERT_EQ(whole.substr(whole.size() - 3), std::string("\r\n\0", 3));
  testfiles::WriteBytes(contacts, whole.substr(0, whole.size() - 3));
  test::MessageBoxWatch boxes;
  Start();
  apptest::PumpMessages();
  ASSERT_EQ(boxes.texts().size(), 1u);
  const std::wstring& text = boxes.texts()[0];
  EXPECT_NE(text.find(L"closing line break"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"complete at the next save."), std::wstring::npos) << text;
  EXPECT_NE(text.find(contacts), std::wstring::npos) << text;
  EXPECT_EQ(text.find(L"could not be read completely"), std::wstring::npos) << text;
  EXPECT_EQ(engine().contacts->items.size(), 1u);
}
