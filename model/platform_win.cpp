#include <ctime>
#include <cwchar>
#include <vector>

#include "model/autostart_win.h"
#include "model/platform.h"

namespace platform {

Time SystemNow() { return _time64(nullptr); }

bool ToLocalParts(Time time, std::tm& local) {
  const __time64_t seconds = static_cast<__time64_t>(time);
  return _localtime64_s(&local, &seconds) == 0;
}

bool IsWindowAlive(WindowHandle target) { return target != nullptr && IsWindow(target); }

void Send(WindowHandle target, MessageId message, MessageParam wParam) { SendMessageW(target, message, wParam, 0); }

int CompareNoCase(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()); }

// The sort key of the comparison lstrcmpiW makes: the user's locale, letter
// case ignored, the text up to its first null.
std::string SortKeyNoCase(const std::wstring& text) {
  const int length = static_cast<int>(std::wcslen(text.c_str()));
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int bytes = LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(), length, nullptr, 0);
  if (bytes <= 0) return {};
  std::string key(static_cast<std::size_t>(bytes), '\0');
  // With LCMAP_SORTKEY the destination is bytes, though typed as wide.
  if (LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(), length, reinterpret_cast<LPWSTR>(key.data()), bytes) !=
      bytes)
    return {};
  return key;
}

namespace {

bool IsCombiningMark(wchar_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
         (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

constexpr wchar_t kNotAsked = 0xFFFF;  // itself a noncharacter, which folds to itself

// One unit lowered as the user's language lowers letters, then taken apart
// into letter and accents (MAP_COMPOSITE) with the accents dropped; 0 for an
// accent of its own.
wchar_t AskFoldUnit(wchar_t c) {
  wchar_t lowered = c;
  if (LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING, &c, 1, &lowered, 1) != 1)
    lowered = c;
  if (IsCombiningMark(lowered)) return 0;
  wchar_t parts[8] = {};
  const int made = FoldStringW(MAP_COMPOSITE, &lowered, 1, parts, 8);
  if (made < 1 || IsCombiningMark(parts[0])) return lowered;
  for (int i = 1; i < made; ++i)
    if (!IsCombiningMark(parts[i])) return lowered;
  return parts[0];
}

// Folding every text a unit at a time through the system costs more than the
// search it serves under Wine; each unit is asked once and remembered. Used
// from the UI thread only.
wchar_t FoldUnit(wchar_t c) {
  if (c < 0x80) return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
  if (c == kNotAsked) return c;
  static std::vector<wchar_t> folded(0x10000, kNotAsked);
  wchar_t& entry = folded[c];
  if (entry == kNotAsked) entry = AskFoldUnit(c);
  return entry;
}

}  // namespace

std::wstring FoldForFinding(const std::wstring& text) {
  std::wstring folded;
  folded.reserve(text.size());
  for (wchar_t c : text)
    if (const wchar_t unit = FoldUnit(c)) folded.push_back(unit);
  return folded;
}

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
    const LSTATUS status = create ? RegCreateKeyExW(where.root, where.subkey, 0, nullptr, 0, access, nullptr, &key_,
                                                    nullptr)
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
  return key.get() && RegQueryValueExW(key.get(), kRunValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetAutoStartEntry(bool enable) {
  ApplyAutoStart(enable, ExecutablePath(), {HKEY_LOCAL_MACHINE, kRunSubkey}, {HKEY_CURRENT_USER, kRunSubkey});
}

bool AutoStartEntryPresent() {
  return RunValuePresent({HKEY_LOCAL_MACHINE, kRunSubkey}) || RunValuePresent({HKEY_CURRENT_USER, kRunSubkey});
}

}  // namespace platform
