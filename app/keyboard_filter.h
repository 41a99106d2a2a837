#pragma once
// The main window's keys that work wherever the focus is inside it: Ctrl+F
// puts it in the find field, Ctrl+Tab and Ctrl+Shift+Tab switch tabs, Tab
// and Shift+Tab move through the controls, F1 opens the help. In a contact list Enter opens the selected contact,
// Ctrl+Enter records a contact with them, and Delete deletes them (after asking); in the find field Esc clears it and
// Enter opens the first row found. The capital-letter commands are the LetterKeyFilter's.
#include "base/windows_api.h"

#include <functional>

#include "framework/message_loop.h"

class KeyboardFilter : public CMessageFilter {
 public:
  struct Actions {
    std::function<void()> focusFind;
    std::function<void()> clearFind;
    std::function<void()> openFirstFound;
    std::function<void(int step)> switchTab;
    std::function<void()> help;
  };

  KeyboardFilter() = default;
  // window: the main window, findField its find field (neither owned).
  KeyboardFilter(HWND window, HWND findField, Actions actions);

  // Consumes the keys it acts on.
  bool PreTranslateMessage(MSG& message) override;

 private:
  bool OnListKey(HWND list, WPARAM key) const;

  HWND window_ = nullptr;     // not owned
  HWND findField_ = nullptr;  // not owned
  Actions actions_;
};
