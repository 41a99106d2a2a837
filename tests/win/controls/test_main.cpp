#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>
#include <objbase.h>

#include "framework/image.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  int result = 0;
  {
    GdiplusSession gdiplus;
    result = RUN_ALL_TESTS();
  }
  CoUninitialize();
  return result;
}
