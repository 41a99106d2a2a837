#include "framework/dpi.h"

#include <commctrl.h>

#include <atomic>

namespace framework {
namespace {

std::atomic<int> dpiOverride{0};

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);

template <class Fn>
Fn Lookup(const wchar_t* module, const char* name) {
  HMODULE loaded = ::GetModuleHandleW(module);  // not owned: user32 and comctl32 stay loaded
  if (!loaded) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(loaded, name)));
}

// The functions of newer systems, looked up once.
struct NewerUser32 {
  GetDpiForWindowFn getDpiForWindow = Lookup<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  GetSystemMetricsForDpiFn getSystemMetricsForDpi = Lookup<GetSystemMetricsForDpiFn>(L"user32.dll",
                                                                                     "GetSystemMetricsForDpi");
  AdjustWindowRectExForDpiFn adjustWindowRectExForDpi = Lookup<AdjustWindowRectExForDpiFn>(L"user32.dll",
                                                                                           "AdjustWindowRectExForDpi");
  SystemParametersInfoForDpiFn systemParametersInfoForDpi = Lookup<SystemParametersInfoForDpiFn>(
      L"user32.dll", "SystemParametersInfoForDpi");
};

const NewerUser32& User32() {
  static const NewerUser32 functions;
  return functions;
}

int DpiOfDC(HWND window) {
  WindowDC dc(window);
  const int dpi = dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

int Scale(int value96, int dpi) { return ::MulDiv(value96, dpi > 0 ? dpi : kDefaultDpi, kDefaultDpi); }

int DpiForWindow(HWND window) {
  if (const int replaced = dpiOverride.load()) return replaced;
  if (window && User32().getDpiForWindow) {
    const UINT dpi = User32().getDpiForWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return DpiOfDC(window);
}

int SystemDpi() {
  if (const int replaced = dpiOverride.load()) return replaced;
  return DpiOfDC(nullptr);
}

void SetDpiOverride(int dpi) { dpiOverride.store(dpi > 0 ? dpi : 0); }

int SystemMetricForDpi(int index, int dpi) {
  if (User32().getSystemMetricsForDpi) return User32().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  return ::MulDiv(::GetSystemMetrics(index), dpi, DpiOfDC(nullptr));
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi) {
  if (User32().adjustWindowRectExForDpi)
    return User32().adjustWindowRectExForDpi(&rect, style, menu, exStyle, static_cast<UINT>(dpi)) != FALSE;
  return ::AdjustWindowRectEx(&rect, style, menu, exStyle) != FALSE;
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) {
  metrics = NONCLIENTMETRICSW{};
  // The size without the padded-border field, which every system since
  // Windows 2000 accepts.
  metrics.cbSize = 500;
  if (User32().systemParametersInfoForDpi &&
      User32().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, static_cast<UINT>(dpi)))
    return true;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  // Answered at the screen's DPI: the font heights follow the window's.
  const int screen = DpiOfDC(nullptr);
  if (screen != dpi) {
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont, &metrics.lfStatusFont,
                           &metrics.lfMessageFont})
      font->lfHeight = ::MulDiv(font->lfHeight, dpi, screen);
  }
  return true;
}

UniqueFont CreatePointFont(const wchar_t* face, int points, int weight, bool underline, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -::MulDiv(points, dpi > 0 ? dpi : kDefaultDpi, 72);
  font.lfWeight = weight;
  font.lfUnderline = underline ? 1 : 0;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_OUTLINE_PRECIS;
  font.lfQuality = ANTIALIASED_QUALITY;
  ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return UniqueFont(::CreateFontIndirectW(&font));
}

UniqueIcon LoadIconForDpi(HINSTANCE module, int id, int size96, int dpi) {
  return LoadIconOfSize(module, id, Scale(size96, dpi));
}

UniqueIcon LoadIconOfSize(HINSTANCE module, int id, int size) {
  static const LoadIconWithScaleDownFn scaleDown = Lookup<LoadIconWithScaleDownFn>(L"comctl32.dll",
                                                                                   "LoadIconWithScaleDown");
  if (scaleDown) {
    HICON icon = nullptr;
    if (SUCCEEDED(scaleDown(module, MAKEINTRESOURCEW(id), size, size, &icon)) && icon) return UniqueIcon(icon);
  }
  return UniqueIcon(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

}  // namespace framework
