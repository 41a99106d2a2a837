// Two real processes on one settings folder: the second start brings the
// first forward and ends without touching the data; a copy on another folder
// runs beside them.
#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "app/single_instance.h"
#include "model/archive.h"
#include "model/engine.h"
#include "resource.h"

namespace fs = std::filesystem;

namespace {

// The build's Amicord.exe, named by its path on the build machine (Wine's Z: drive).
fs::path BuiltProgram() {
  std::wstring path = AMICORD_TEST_PROGRAM;
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& unit : path)
    if (unit == L'/') unit = L'\\';
  return path;
}

// Polls what another process does, never past the deadline.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(50);
  }
  return true;
}

// A started copy of the program; ended by force if a case fails before it closes it.
class Started {
 public:
  explicit Started(const fs::path& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = L"\"" + program.wstring() + L"\"";
    const std::wstring folder = program.parent_path().wstring();
    if (CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                       &info_)) {
      CloseHandle(info_.hThread);
    } else {
      info_ = {};
    }
  }
  ~Started() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  // The exit code once it ended within the wait; -1 otherwise.
  long Ended(DWORD timeoutMs = 20000) const {
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION info_{};
};

class Install {
 public:
  Install(const fs::path& root, const wchar_t* name) : folder_(root / name) {
    fs::create_directories(folder_ / L"settings");
    fs::copy_file(BuiltProgram(), Program());
  }
  fs::path Program() const { return folder_ / L"Amicord.exe"; }
  std::wstring Settings() const { return (folder_ / L"settings").wstring(); }

 private:
  fs::path folder_;
};

std::map<std::wstring, FileStamp> Stamps(const std::wstring& folder) {
  std::map<std::wstring, FileStamp> stamps;
  for (const auto& entry : fs::directory_iterator(folder))
    stamps[entry.path().filename().wstring()] = StampNow(entry.path().wstring());
  return stamps;
}

}  // namespace

TEST(SingleInstance, ASecondStartOnTheSameFolderShowsTheFirstAndLeavesTheDataAlone) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path root = fs::path(temp) / (L"amicord-instance-" + std::to_wstring(GetCurrentProcessId()));
  fs::remove_all(root);
  {
    const Install first(root, L"One");
    // Another letter case names the same folder.
    const Install other(root, L"Two");
    {
      Engine data(first.Settings());
      data.groups->Add(L"Friends", L"", Weeks, 2);
      data.contacts->Add(L"Ann", L"", Days, 3, 0, L"", 1);
      data.options->autoStart = false;  // the Run entry is not this case's to change
      ASSERT_TRUE(data.Save());
    }
    Started running(first.Program());
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = SingleInstance::FindRunningOn(first.Settings())) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }));
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);  // hides it in the tray
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    const auto before = Stamps(first.Settings());

    Started second(first.Program());
    EXPECT_EQ(second.Ended(), 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; })) << "the hidden copy is shown";
    EXPECT_TRUE(running.Running());

    ShowWindowAsync(window, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }));
    Started third(first.Program());
    EXPECT_EQ(third.Ended(), 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(window) && IsWindowVisible(window); })) << "a minimised copy too";
    EXPECT_EQ(Stamps(first.Settings()), before) << "no file was written, none added";

    Started beside(other.Program());
    HWND otherWindow = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (otherWindow = SingleInstance::FindRunningOn(other.Settings())) != nullptr; }))
        << "a copy on another folder runs";
    EXPECT_NE(otherWindow, window);
    EXPECT_EQ(SingleInstance::NameFor(first.Settings()),
              SingleInstance::NameFor(root.wstring() + L"\\ONE\\settings\\"));
    EXPECT_NE(SingleInstance::NameFor(first.Settings()), SingleInstance::NameFor(other.Settings()));

    for (HWND each : {window, otherWindow})
      if (each) PostMessageW(each, WM_COMMAND, MAKEWPARAM(ID_EXIT, BN_CLICKED), 0);
    EXPECT_EQ(running.Ended(), 0);
    EXPECT_EQ(beside.Ended(), 0);
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
}
