#include "app/program.h"

#include <optional>

#include "app/dlg_corvane.h"
#include "app/letter_key_filter.h"
#include "framework/message_loop.h"
#include "framework/ui_startup.h"
#include "lists/thumbnail_cache.h"

int RunAmicord() {
  UiStartup startup;
  std::optional<DlgCorvane> mainWindow(std::in_place);
  int exitCode = 1;
  if (HWND window = mainWindow->Create(nullptr)) {
    ShowWindow(window, SW_SHOW);
    // No IsDialogMessage: the window's letter keys are its own WM_CHAR handling.
    CMessageLoop loop;
    LetterKeyFilter letterKeys(window);
    loop.AddMessageFilter(&letterKeys);
    loop.AddMessageFilter(&mainWindow->Keyboard());
    exitCode = loop.Run();
  }

  // Photos still being decoded in the background use GDI+, which stops with startup.
  lists::ThumbnailCache::FinishWorkers(3000);
  mainWindow.reset();
  return exitCode;
}
