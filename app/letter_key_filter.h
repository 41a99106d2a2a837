#pragma once
// The main window's capital-letter commands (Shift+C, Shift+G, Shift+O) work
// wherever the keyboard focus is inside the window: the tab control takes it
// at start, and buttons and lists after a click. Fields the user types into
// keep their letters.
#include "base/windows_api.h"

#include "framework/message_loop.h"

class LetterKeyFilter : public CMessageFilter {
 public:
  explicit LetterKeyFilter(HWND window) : window_(window) {}

  // Readdresses a capital-letter WM_CHAR sent to one of the window's controls
  // to the window itself; true when it did.
  bool Readdress(MSG& message) const;
  // Never consumes: the readdressed message is dispatched as usual.
  bool PreTranslateMessage(MSG& message) override {
    Readdress(message);
    return false;
  }

 private:
  HWND window_;  // not owned
};
