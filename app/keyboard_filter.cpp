#include "app/keyboard_filter.h"

#include <commctrl.h>

#include <cwchar>
#include <utility>

#include "lists/dlg_group_entry.h"

namespace {

bool Pressed(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

void Run(const std::function<void()>& action) {
  if (action) action();
}

}  // namespace

KeyboardFilter::KeyboardFilter(HWND window, HWND findField, Actions actions)
    : window_(window), findField_(findField), actions_(std::move(actions)) {}

bool KeyboardFilter::PreTranslateMessage(MSG& message) {
  if (message.message != WM_KEYDOWN || !window_ || !message.hwnd) return false;
  if (message.hwnd != window_ && !::IsChild(window_, message.hwnd)) return false;
  const WPARAM key = message.wParam;
  const bool control = Pressed(VK_CONTROL) && !Pressed(VK_MENU);
  if (control && key == 'F') {
    Run(actions_.focusFind);
    return true;
  }
  if (control && key == VK_TAB) {
    if (actions_.switchTab) actions_.switchTab(Pressed(VK_SHIFT) ? -1 : 1);
    return true;
  }
  // Tab and Shift+Tab go through the controls in the order they are seen:
  // the find field, the shown panel's sort button and list, the buttons.
  if (key == VK_TAB && !Pressed(VK_CONTROL) && !Pressed(VK_MENU)) return ::IsDialogMessageW(window_, &message) != FALSE;
  if (key == VK_F1) {
    Run(actions_.help);
    return true;
  }
  if (message.hwnd == findField_) {
    if (key == VK_ESCAPE) {
      Run(actions_.clearFind);
      return true;
    }
    if (key == VK_RETURN) {
      Run(actions_.openFirstFound);
      return true;
    }
    return false;
  }
  wchar_t className[32] = {};
  ::GetClassNameW(message.hwnd, className, 32);
  if (_wcsicmp(className, WC_LISTVIEWW) == 0) return OnListKey(message.hwnd, key);
  return false;
}

// The panel's own menu commands, as its context menu gives them.
bool KeyboardFilter::OnListKey(HWND list, WPARAM key) const {
  if (Pressed(VK_MENU)) return false;
  const bool control = Pressed(VK_CONTROL);
  int command = 0;
  if (key == VK_RETURN) command = control ? ID_CONTACT_CONTACTED : ID_CONTACT_OPEN;
  if (key == VK_DELETE && !control) command = ID_CONTACT_DELETE;
  if (command == 0) return false;
  ::SendMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(command, 0), 0);
  return true;
}
