#include "framework/ui_startup.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// Registers the window classes before anything asks for them (the program's
// templates name list views, date pickers and combo boxes).
HMODULE StartControls() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                      ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                                      ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  // Registers the rich edit class of the notes field.
  return LoadLibraryW(L"RICHED20.DLL");
}

}  // namespace

UiStartup::ComApartment::ComApartment() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

UiStartup::ComApartment::~ComApartment() {
  if (started_) CoUninitialize();
}

UiStartup::UiStartup() : richEdit_(StartControls()) {}

UiStartup::~UiStartup() = default;
