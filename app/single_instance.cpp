#include "app/single_instance.h"

#include <cstdint>
#include <cwchar>
#include <vector>

namespace {

struct Search {
  const wchar_t* name;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (::GetPropW(window, search->name) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

std::wstring SingleInstance::NameFor(const std::wstring& settingsFolder) {
  std::wstring full = settingsFolder;
  const DWORD needed = ::GetFullPathNameW(settingsFolder.c_str(), 0, nullptr, nullptr);
  if (needed > 0) {
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD written = ::GetFullPathNameW(settingsFolder.c_str(), needed + 1, buffer.data(), nullptr);
    if (written > 0 && written <= needed) full.assign(buffer.data(), written);
  }
  for (wchar_t& unit : full)
    if (unit == L'/') unit = L'\\';
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (!full.empty()) ::CharUpperBuffW(&full[0], static_cast<DWORD>(full.size()));
  // A hash keeps the name short and free of the backslashes a mutex name
  // reserves for its namespace.
  std::uint64_t hash = 14695981039346656037ull;
  for (const wchar_t unit : full) {
    hash ^= static_cast<std::uint16_t>(unit);
    hash *= 1099511628211ull;
  }
  wchar_t text[40] = {};
  std::swprintf(text, sizeof text / sizeof text[0], L"Amicord.Instance.%016llx", static_cast<unsigned long long>(hash));
  return text;
}

UINT SingleInstance::ShowMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"Amicord.ShowMainWindow.5d3f0a1e");
  return message;
}

SingleInstance::SingleInstance(const std::wstring& settingsFolder) : name_(NameFor(settingsFolder)) {
  mutex_ = KernelHandle(::CreateMutexW(nullptr, FALSE, name_.c_str()));
  first_ = !mutex_ || ::GetLastError() != ERROR_ALREADY_EXISTS;
  if (!first_) mutex_.reset();
}

SingleInstance::~SingleInstance() {
  if (marked_ && ::IsWindow(marked_)) ::RemovePropW(marked_, name_.c_str());
}

void SingleInstance::MarkWindow(HWND window) {
  marked_ = window;
  ::SetPropW(window, name_.c_str(), reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
}

HWND SingleInstance::FindRunning(const std::wstring& name) {
  Search search{name.c_str(), nullptr};
  ::EnumWindows(&CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool SingleInstance::ShowRunningCopy(DWORD timeoutMs) const {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (HWND window = FindRunningWindow()) {
      DWORD process = 0;
      ::GetWindowThreadProcessId(window, &process);
      // Only the foreground process may hand the foreground on.
      ::AllowSetForegroundWindow(process);
      DWORD_PTR answer = 0;
      ::SendMessageTimeoutW(window, ShowMessage(), 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
      return true;
    }
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(100);  // the first copy holds the mutex before its window exists
  }
}
