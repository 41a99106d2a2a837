#include "controls/theme_helper.h"

namespace WTL_EX {

namespace {

// GetProcAddress hands back a generic FARPROC; going through void* keeps
// -Wcast-function-type quiet for a cast that is correct by the DLL's contract.
template <class Fn>
Fn Resolve(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

ThemeHelper::ThemeHelper(const wchar_t* library) {
  module_ = library != nullptr ? LoadLibraryW(library) : nullptr;
  if (module_ == nullptr) return;
  openThemeData = Resolve<OpenThemeDataFn>(module_, "OpenThemeData");
  closeThemeData = Resolve<CloseThemeDataFn>(module_, "CloseThemeData");
  drawThemeParentBackground = Resolve<DrawThemeParentBackgroundFn>(module_, "DrawThemeParentBackground");
  drawThemeBackground = Resolve<DrawThemeBackgroundFn>(module_, "DrawThemeBackground");
  drawThemeText = Resolve<DrawThemeTextFn>(module_, "DrawThemeText");
  isAppThemed = Resolve<IsAppThemedFn>(module_, "IsAppThemed");
  isThemeActive = Resolve<IsThemeActiveFn>(module_, "IsThemeActive");
}

ThemeHelper::~ThemeHelper() {
  Clear();
  if (module_ != nullptr) {
    const DWORD error = GetLastError();
    FreeLibrary(module_);
    SetLastError(error);
  }
}

void ThemeHelper::Clear() {
  openThemeData = nullptr;
  closeThemeData = nullptr;
  drawThemeParentBackground = nullptr;
  drawThemeBackground = nullptr;
  drawThemeText = nullptr;
  isAppThemed = nullptr;
  isThemeActive = nullptr;
}

}  // namespace WTL_EX
