#pragma once
#include "base/windows_api.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace WTL_EX {

// Visual-styles functions bound at run time, so the program still starts on a
// system without UxTheme.dll. Each pointer is null when the library or that
// entry point is missing; callers test a pointer before calling it.
class ThemeHelper {
 public:
  using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
  using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
  using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
  using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  using DrawThemeTextFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
  using IsAppThemedFn = BOOL(WINAPI*)();
  using IsThemeActiveFn = BOOL(WINAPI*)();

  // The library name is a parameter so that a caller can ask for the classic
  // look on purpose (a name that does not load leaves every pointer null).
  explicit ThemeHelper(const wchar_t* library = L"UxTheme.dll");
  virtual ~ThemeHelper();
  ThemeHelper(const ThemeHelper&) = delete;
  ThemeHelper& operator=(const ThemeHelper&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  // A missing IsAppThemed counts as visual styles being off.
  bool AppThemed() const { return isAppThemed != nullptr && isAppThemed() != FALSE; }

  OpenThemeDataFn openThemeData = nullptr;
  CloseThemeDataFn closeThemeData = nullptr;
  DrawThemeParentBackgroundFn drawThemeParentBackground = nullptr;
  DrawThemeBackgroundFn drawThemeBackground = nullptr;
  DrawThemeTextFn drawThemeText = nullptr;
  IsAppThemedFn isAppThemed = nullptr;
  IsThemeActiveFn isThemeActive = nullptr;

 private:
  void Clear();

  HMODULE module_ = nullptr;  // owned: freed by the destructor
};

}  // namespace WTL_EX
