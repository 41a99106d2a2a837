#include "app/program.h"

#include <objbase.h>
#include <commctrl.h>

#include <optional>

#include "app/dlg_corvane.h"
#include "framework/handles.h"
#include "framework/image.h"
#include "lists/thumbnail_cache.h"

int RunAmicord() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // Registers the rich edit class of the notes field.
  UniqueModule richEdit(LoadLibraryW(L"RICHED20.DLL"));
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES};
  InitCommonControlsEx(&controls);
  std::optional<GdiplusSession> gdiplus(std::in_place);

  std::optional<DlgCorvane> mainWindow(std::in_place);
  int exitCode = 1;
  if (HWND window = mainWindow->Create(nullptr)) {
    ShowWindow(window, SW_SHOW);
    MSG message{};
    // No IsDialogMessage: the window's letter keys are its own WM_CHAR handling.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      mainWindow->RouteLetterKey(message);
      DispatchMessageW(&message);
    }
    exitCode = static_cast<int>(message.wParam);
  }

  // Photos still being decoded in the background use GDI+.
  lists::ThumbnailCache::FinishWorkers(3000);
  gdiplus.reset();
  CoUninitialize();
  richEdit.reset();
  mainWindow.reset();
  return exitCode;
}
