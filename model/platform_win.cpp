#include <ctime>

#include "model/autostart_win.h"
#include "model/platform.h"

namespace platform {

Time SystemNow() { return _time64(nullptr); }

LocalTime ToLocalTime(Time time) {
  const __time64_t seconds = static_cast<__time64_t>(time);
  std::tm parts{};
  LocalTime local;
  if (!(_localtime64_s(&parts, &seconds) == 0)) return local;
  local.year = parts.tm_year + 1900;
  local.month = parts.tm_mon + 1;
  local.day = parts.tm_mday;
  local.hour = parts.tm_hour;
  local.minute = parts.tm_min;
  local.second = parts.tm_sec;
  return local;
}

bool IsWindowAlive(WindowHandle target) { return target != nullptr && IsWindow(target); }

void Send(WindowHandle target, MessageId message, MessageParam wParam) {
  SendMessageW(target, message, wParam, 0);
}

int CompareNoCase(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()); }

std::wstring ExecutablePath() {
  // Long-path installations exceed MAX_PATH; grow until the name fits.
  std::wstring path(1200, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

wchar_t PathSeparator() { return L'\\'; }

namespace {

bool SetRunValue(HKEY key, const std::wstring& exePath) {
  const DWORD bytes = static_cast<DWORD>((exePath.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(exePath.c_str()), bytes) ==
         ERROR_SUCCESS;
}

void DeleteRunValue(HKEY key) {
  if (RegQueryValueExW(key, kRunValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
    RegDeleteValueW(key, kRunValueName);
}

class OpenKey {
 public:
  OpenKey(const RunKey& where, REGSAM access, bool create) {
    const LSTATUS status =
        create ? RegCreateKeyExW(where.root, where.subkey, 0, nullptr, 0, access, nullptr, &key_, nullptr)
               : RegOpenKeyExW(where.root, where.subkey, 0, access, &key_);
    if (status != ERROR_SUCCESS) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

void ApplyAutoStart(bool enable, const std::wstring& exePath, const RunKey& machine, const RunKey& user) {
  OpenKey machineKey(machine, KEY_ALL_ACCESS, false);
  if (enable) {
    if (machineKey.get() && SetRunValue(machineKey.get(), exePath)) {
      // One entry is enough: a leftover per-user one would start a second copy.
      OpenKey userKey(user, KEY_QUERY_VALUE | KEY_SET_VALUE, false);
      if (userKey.get()) DeleteRunValue(userKey.get());
      return;
    }
    OpenKey userKey(user, KEY_QUERY_VALUE | KEY_SET_VALUE, true);
    if (userKey.get()) SetRunValue(userKey.get(), exePath);
    return;
  }
  if (machineKey.get()) DeleteRunValue(machineKey.get());
  OpenKey userKey(user, KEY_QUERY_VALUE | KEY_SET_VALUE, false);
  if (userKey.get()) DeleteRunValue(userKey.get());
}

bool RunValuePresent(const RunKey& where) {
  OpenKey key(where, KEY_QUERY_VALUE, false);
  return key.get() &&
         RegQueryValueExW(key.get(), kRunValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetAutoStartEntry(bool enable) {
  ApplyAutoStart(enable, ExecutablePath(), {HKEY_LOCAL_MACHINE, kRunSubkey}, {HKEY_CURRENT_USER, kRunSubkey});
}

bool AutoStartEntryPresent() {
  return RunValuePresent({HKEY_LOCAL_MACHINE, kRunSubkey}) || RunValuePresent({HKEY_CURRENT_USER, kRunSubkey});
}

}  // namespace platform
