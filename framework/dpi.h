#pragma once
// The window's dots per inch, and measures given at 96 scaled to them. The
// per-monitor functions arrived with Windows 8.1 and 10; the program also runs
// on Windows 7, so they are looked up at run time and the screen's DPI stands
// in where they are missing.
#include "base/windows_api.h"

#include "framework/handles.h"

namespace framework {

inline constexpr int kDefaultDpi = 96;
// Sent to child windows after their top-level window's DPI changed (Windows
// 10 1703 sends it itself; the headers declare it only for that version).
inline constexpr UINT kDpiChangedAfterParent = 0x02E3;

// A measure given at 96 dots per inch, at dpi (rounded to the nearest pixel).
int Scale(int value96, int dpi);

// The DPI the window is shown at: GetDpiForWindow where the system has it,
// else the LOGPIXELSY of the window's device context. A replacement set by
// SetDpiOverride answers instead, for every window.
int DpiForWindow(HWND window);
// The screen's DPI as the process sees it (what windows start at).
int SystemDpi();

// Tests show windows at a chosen DPI without touching the system's settings.
// 0 takes the override away.
void SetDpiOverride(int dpi);
class ScopedDpiOverride {
 public:
  explicit ScopedDpiOverride(int dpi) { SetDpiOverride(dpi); }
  ~ScopedDpiOverride() { SetDpiOverride(0); }
  ScopedDpiOverride(const ScopedDpiOverride&) = delete;
  ScopedDpiOverride& operator=(const ScopedDpiOverride&) = delete;
};

// GetSystemMetrics at dpi: GetSystemMetricsForDpi where present, else the
// value at the system's DPI scaled.
int SystemMetricForDpi(int index, int dpi);
// AdjustWindowRectEx at dpi, likewise.
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);
// The non-client measures (menu and message fonts among them) at dpi; false
// when the system cannot tell.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi);

// A font of this many points at dpi.
UniqueFont CreatePointFont(const wchar_t* face, int points, int weight, bool underline, int dpi);

// An icon resource at the size a 96-DPI size96 becomes at dpi, picked from the
// sizes the resource holds (scaled down from a larger one where none fits).
UniqueIcon LoadIconForDpi(HINSTANCE module, int id, int size96, int dpi);
// An icon resource at size pixels square, likewise (what the shell asks for: GetSystemMetrics(SM_CXSMICON)).
UniqueIcon LoadIconOfSize(HINSTANCE module, int id, int size);

}  // namespace framework
