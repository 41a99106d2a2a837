#include <gtest/gtest.h>

#include "model/autostart_win.h"
#include "model/options.h"
#include "model/platform.h"

namespace {

constexpr wchar_t kTestRoot[] = L"Software\\AmicordTests";
constexpr wchar_t kMachineRun[] = L"Software\\AmicordTests\\Machine\\Run";
constexpr wchar_t kUserRun[] = L"Software\\AmicordTests\\User\\Run";
constexpr wchar_t kMissingRun[] = L"Software\\AmicordTests\\NoSuchKey\\Run";

struct RunValue {
  bool present = false;
  DWORD type = 0;
  DWORD bytes = 0;
  std::wstring text;
};

RunValue Read(const wchar_t* subkey) {
  RunValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return value;
  wchar_t buffer[2048] = {};
  value.bytes = sizeof(buffer);
  if (RegQueryValueExW(key, platform::kRunValueName, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer),
                       &value.bytes) == ERROR_SUCCESS) {
    value.present = true;
    value.text = buffer;
  }
  RegCloseKey(key);
  return value;
}

void CreateKey(const wchar_t* subkey) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

class AutoStartRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
    CreateKey(kMachineRun);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }

  const platform::RunKey machine{HKEY_CURRENT_USER, kMachineRun};
  const platform::RunKey user{HKEY_CURRENT_USER, kUserRun};
  const platform::RunKey lockedMachine{HKEY_CURRENT_USER, kMissingRun};
};

}  // namespace

TEST_F(AutoStartRegistry, EnableWritesTheExecutablePathAsZeroTerminatedString) {
  const std::wstring exe = L"C:\\Program Files\\Amicord\\Amicord.exe";
  platform::ApplyAutoStart(true, exe, machine, user);
  const RunValue value = Read(kMachineRun);
  ASSERT_TRUE(value.present);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.bytes, (exe.size() + 1) * 2);
  EXPECT_EQ(value.text, exe);
  EXPECT_FALSE(Read(kUserRun).present);

  // A moved program rewrites the value with its new path.
  platform::ApplyAutoStart(true, L"D:\\Amicord.exe", machine, user);
  EXPECT_EQ(Read(kMachineRun).text, L"D:\\Amicord.exe");
}

TEST_F(AutoStartRegistry, DisableRemovesTheValueAndAMissingValueIsNoError) {
  platform::ApplyAutoStart(false, L"C:\\a.exe", machine, user);
  EXPECT_FALSE(Read(kMachineRun).present);
  EXPECT_FALSE(Read(kUserRun).present);
  platform::ApplyAutoStart(true, L"C:\\a.exe", machine, user);
  platform::ApplyAutoStart(false, L"C:\\a.exe", machine, user);
  EXPECT_FALSE(Read(kMachineRun).present);
}

TEST_F(AutoStartRegistry, FallsBackToTheUsersRunKeyWhenTheMachineKeyCannotBeOpened) {
  platform::ApplyAutoStart(true, L"C:\\Users\\me\\Amicord\\Amicord.exe", lockedMachine, user);
  const RunValue value = Read(kUserRun);
  ASSERT_TRUE(value.present);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.text, L"C:\\Users\\me\\Amicord\\Amicord.exe");

  platform::ApplyAutoStart(false, L"C:\\Users\\me\\Amicord\\Amicord.exe", lockedMachine, user);
  EXPECT_FALSE(Read(kUserRun).present);
}

TEST_F(AutoStartRegistry, EnablingWhereTheMachineKeyWorksDropsAPerUserLeftover) {
  platform::ApplyAutoStart(true, L"C:\\a.exe", lockedMachine, user);
  ASSERT_TRUE(Read(kUserRun).present);
  platform::ApplyAutoStart(true, L"C:\\a.exe", machine, user);
  EXPECT_TRUE(Read(kMachineRun).present);
  EXPECT_FALSE(Read(kUserRun).present);

  // Disabling clears both places.
  platform::ApplyAutoStart(true, L"C:\\a.exe", lockedMachine, user);
  CreateKey(kUserRun);
  platform::ApplyAutoStart(false, L"C:\\a.exe", machine, user);
  EXPECT_FALSE(Read(kMachineRun).present);
  EXPECT_FALSE(Read(kUserRun).present);
}

TEST(AutoStartRun, OptionsWriteTheRealRunKeyWithThisExecutable) {
  Options options;
  options.SetAutoStart(true);
  EXPECT_TRUE(platform::AutoStartEntryPresent());
  HKEY key = nullptr;
  bool matches = false;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    if (RegOpenKeyExW(root, platform::kRunSubkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) continue;
    wchar_t buffer[2048] = {};
    DWORD bytes = sizeof(buffer);
    if (RegQueryValueExW(key, platform::kRunValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes) ==
        ERROR_SUCCESS)
      matches = matches || platform::ExecutablePath() == buffer;
    RegCloseKey(key);
  }
  EXPECT_TRUE(matches);
  options.SetAutoStart(false);
  EXPECT_FALSE(options.autoStart);
  EXPECT_FALSE(platform::AutoStartEntryPresent());
}
