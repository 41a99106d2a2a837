#include <algorithm>
#include <ctime>
#include <cwchar>

#include "model/autostart_win.h"
#include "model/platform.h"

namespace platform {

Time SystemNow() { return _time64(nullptr); }

bool IsWindowAlive(WindowHandle target) { return target != nullptr && IsWindow(target); }

void Send(WindowHandle target, MessageId message, MessageParam wParam) {
  SendMessageW(target, message, wParam, 0);
}

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

std::wstring Mapped(DWORD flags, const std::wstring& text, bool fold) {
  const int length = static_cast<int>(text.size());
  const int size = fold ? FoldStringW(flags, text.c_str(), length, nullptr, 0)
                        : LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(), length, nullptr, 0);
  if (size <= 0) return text;
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  const int made = fold ? FoldStringW(flags, text.c_str(), length, out.data(), size)
                        : LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(), length, out.data(), size);
  if (made <= 0) return text;
  out.resize(static_cast<std::size_t>(made));
  return out;
}

}  // namespace

// Accented letters are taken apart into letter and accent, the accents dropped
// and the rest lowered as the user's language lowers letters.
std::wstring FoldForFinding(const std::wstring& text) {
  if (text.empty()) return text;
  std::wstring folded = Mapped(MAP_COMPOSITE, text, true);
  folded.erase(std::remove_if(folded.begin(), folded.end(), IsCombiningMark), folded.end());
  return Mapped(LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING, folded, false);
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
