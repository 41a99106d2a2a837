#pragma once
// Where the auto-start entry lives. The machine-wide Run key is the one the
// program has always written; a user without administrator rights cannot open
// it, so the entry then goes to the user's own Run key, which Windows reads at
// that user's log-on just the same.
#include <string>

#include "base/windows_api.h"

namespace platform {

struct RunKey {
  HKEY root;
  const wchar_t* subkey;
};

inline constexpr const wchar_t* kRunSubkey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kRunValueName = L"Amicord";

void ApplyAutoStart(bool enable, const std::wstring& exePath, const RunKey& machine, const RunKey& user);
bool RunValuePresent(const RunKey& key);

}  // namespace platform
