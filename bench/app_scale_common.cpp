#include "bench/app_scale_common.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>

#include "app/dlg_corvane.h"
#include "model/platform.h"

namespace scale {

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, &CountChild, count);
  return TRUE;
}

}  // namespace

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count;
}

double BusyProbe::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return longestMs_;
}

void BusyProbe::Run() {
  while (!stop_) {
    const auto sent = Clock::now();
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
    longestMs_ = std::max(longestMs_, MillisecondsSince(sent));
    Sleep(1);
  }
}

double PeakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

void Pump() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void WaitForSave(const DataSession& session, Clock::time_point since) {
  while (session.HasPendingSave() && MillisecondsSince(since) < 10000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    Pump();
  }
}

void PumpFor(double milliseconds) {
  const auto start = Clock::now();
  while (MillisecondsSince(start) < milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    Pump();
  }
}

void CloseAndClear(std::unique_ptr<DlgCorvane>& window, const std::filesystem::path& folder) {
  DestroyWindow(window->m_hWnd);
  window.reset();
  Pump();
  std::filesystem::remove_all(folder);
}

std::filesystem::path FreshSettingsFolder() {
  const std::filesystem::path folder = std::filesystem::path(platform::ExecutablePath()).parent_path() / L"settings";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

void PrintAll(const std::vector<double>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) std::printf(i ? " %.1f" : "%.1f", values[i]);
}

}  // namespace scale
