// Dialog test runner: the process starts what the program's entry point
// starts before any dialog exists (COM, rich edit, common controls, GDI+).
#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>
#include <objbase.h>

#include "framework/handles.h"
#include "framework/image.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  UniqueModule richEdit(LoadLibraryW(L"RICHED20.DLL"));
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES};
  InitCommonControlsEx(&controls);
  int result = 0;
  {
    GdiplusSession gdiplus;
    result = RUN_ALL_TESTS();
  }
  CoUninitialize();
  return result;
}
