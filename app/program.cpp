#include "app/program.h"

#include <optional>
#include <string>

#include "app/dlg_corvane.h"
#include "app/single_instance.h"
#include "framework/message_loop.h"
#include "framework/ui_startup.h"
#include "lists/thumbnail_cache.h"
#include "model/paths.h"

int RunAmicord() {
  // A second copy on the same data would save its own older state over the
  // first one's: it hands over to the running copy before reading anything.
  SingleInstance instance(paths::SettingsFolder());
  if (!instance.IsFirst()) {
    instance.ShowRunningCopy(10000);
    return 0;
  }
  UiStartup startup;
  std::optional<DlgCorvane> mainWindow(std::in_place);
  int exitCode = 1;
  if (HWND window = mainWindow->Create(nullptr)) {
    instance.MarkWindow(window);
    ShowWindow(window, SW_SHOW);
    // No IsDialogMessage: the window's letter keys are its own WM_CHAR handling.
    CMessageLoop loop;
    loop.AddMessageFilter(&mainWindow->Keyboard());
    exitCode = loop.Run();
  }

  // Photos still being decoded in the background use GDI+, which stops with
  // startup: shutting it down under a running decode could crash the exit
  // that has just saved. Queued decodes are skipped; a running one ends.
  lists::ThumbnailCache::FinishWorkers(INFINITE);
  mainWindow.reset();
  return exitCode;
}
