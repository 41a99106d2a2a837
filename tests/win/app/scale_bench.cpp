// Prints what large contact lists cost the program: start-up to the first
// painted list, windows and GUI objects, painting a screen of rows, sorting.
// Figures only; nothing is asserted. It uses the settings folder beside its
// own executable, which it builds in a folder of its own.
#include "model/windows_api.h"
#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/dlg_corvane.h"
#include "framework/image.h"
#include "model/platform.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, &CountChild, count);
  return TRUE;
}

int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count;
}

void Pump() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Measure(int contacts, int groups) {
  const std::filesystem::path folder =
      std::filesystem::path(platform::ExecutablePath()).parent_path() / L"settings";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  {
    Engine engine;
    for (int g = 1; g <= groups; ++g) engine.groups->Add(L"Group " + std::to_wstring(g), L"", Days, 7);
    const Time now = platform::Now();
    for (int c = 0; c < contacts; ++c)
      engine.contacts->Add(L"Contact " + std::to_wstring((c * 7919) % contacts), L"", Days, 1 + c % 30,
                           now - (c % 45) * 86400, L"", 1 + c % groups);
    engine.Save();
  }

  const auto load = Clock::now();
  {
    Engine engine;
    engine.Load();
  }
  const double loadMs = MillisecondsSince(load);

  const int windowsBefore = ThreadWindows();
  const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const auto startUp = Clock::now();
  auto window = std::make_unique<DlgCorvane>();
  window->Create(nullptr);
  ShowWindow(window->m_hWnd, SW_SHOWNA);
  RedrawWindow(window->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double startMs = MillisecondsSince(startUp);
  const int windows = ThreadWindows() - windowsBefore;
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) - userBefore;
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) - gdiBefore;

  GroupEntryListView& list = window->AllPanel()->List();
  constexpr int kPaints = 20;
  const auto paint = Clock::now();
  for (int i = 0; i < kPaints; ++i) RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const double paintMs = MillisecondsSince(paint) / kPaints;
  RECT client{};
  GetClientRect(list, &client);

  HWND all = window->AllPanel()->m_hWnd;
  const auto byName = Clock::now();
  SendMessageW(all, WM_COMMAND, MAKEWPARAM(ID_SORT_NAME, 0), 0);
  const double nameMs = MillisecondsSince(byName);
  const auto byPriority = Clock::now();
  SendMessageW(all, WM_COMMAND, MAKEWPARAM(ID_SORT_PRIORITY, 0), 0);
  const double priorityMs = MillisecondsSince(byPriority);

  std::printf("%d contacts in %d groups\n", contacts, groups);
  std::printf("  start-up to the first painted list: %.0f ms (of which reading the files alone: %.0f ms)\n",
              startMs, loadMs);
  std::printf("  windows created: %d (GetGuiResources: %lu USER, %lu GDI)\n", windows,
              static_cast<unsigned long>(user), static_cast<unsigned long>(gdi));
  std::printf("  painting a screen of rows (%ld px high, %ld rows): %.1f ms\n", client.bottom,
              client.bottom / GroupEntryListView::kRowHeight + 1, paintMs);
  std::printf("  sorting %d rows by name: %.0f ms, by priority: %.0f ms\n", list.GetItemCount(), nameMs,
              priorityMs);

  const auto tearDown = Clock::now();
  DestroyWindow(window->m_hWnd);
  window.reset();
  Pump();
  std::printf("  tear-down: %.0f ms, windows left: %d\n", MillisecondsSince(tearDown),
              ThreadWindows() - windowsBefore);
  std::fflush(stdout);
  std::filesystem::remove_all(folder);
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  {
    GdiplusSession gdiplus;
    Measure(1000, 10);
    Measure(5000, 10);
  }
  CoUninitialize();
  return 0;
}
