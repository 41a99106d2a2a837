#include "framework/message_map.h"

#include <string>

namespace framework {

namespace {

// The framework can neither save nor tell: the program's own reporter does.
void NoReport(UINT, const char*) {}

ExceptionReporter reporter = &NoReport;

}  // namespace

ExceptionReporter SetExceptionReporter(ExceptionReporter replacement) {
  const ExceptionReporter previous = reporter;
  reporter = replacement ? replacement : &NoReport;
  return previous;
}

void ReportHandlerException(UINT message, std::exception_ptr thrown) noexcept {
  std::string what = "unknown exception";
  try {
    if (thrown) std::rethrow_exception(thrown);
  } catch (const std::exception& error) {
    what = error.what();
  } catch (...) {
  }
  try {
    reporter(message, what.c_str());
  } catch (...) {
    // A reporter that fails has nothing more to tell; the system must not see it.
  }
}

LRESULT ReflectNotifications(HWND window, UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  HWND child = nullptr;
  switch (message) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(lParam);  // null for menus and accelerators
      break;
    case WM_NOTIFY:
      if (lParam) child = reinterpret_cast<LPNMHDR>(lParam)->hwndFrom;
      break;
    case WM_PARENTNOTIFY:
      switch (LOWORD(wParam)) {
        case WM_CREATE:
        case WM_DESTROY:
          child = reinterpret_cast<HWND>(lParam);
          break;
        default:
          child = GetDlgItem(window, HIWORD(wParam));
          break;
      }
      break;
    // Menus send these with wParam 0; only controls are reflected.
    case WM_DRAWITEM:
      if (wParam && lParam) child = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem;
      break;
    case WM_MEASUREITEM:
      if (wParam && lParam) child = GetDlgItem(window, reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->CtlID);
      break;
    case WM_COMPAREITEM:
      if (wParam && lParam) child = reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem;
      break;
    case WM_DELETEITEM:
      if (wParam && lParam) child = reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem;
      break;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(lParam);
      break;
    default:
      break;
  }
  // Only a real child of this window gets the reflection: a control id of
  // another window or a stale handle must not receive OCM_ messages.
  if (!child || child == window || !IsWindow(child) || GetParent(child) != window) {
    handled = FALSE;
    return 1;
  }
  return SendMessageW(child, OCM_BASE + message, wParam, lParam);
}

BOOL DefaultReflectionHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case OCM_COMMAND:
    case OCM_NOTIFY:
    case OCM_PARENTNOTIFY:
    case OCM_DRAWITEM:
    case OCM_MEASUREITEM:
    case OCM_COMPAREITEM:
    case OCM_DELETEITEM:
    case OCM_VKEYTOITEM:
    case OCM_CHARTOITEM:
    case OCM_HSCROLL:
    case OCM_VSCROLL:
    case OCM_CTLCOLORBTN:
    case OCM_CTLCOLORDLG:
    case OCM_CTLCOLOREDIT:
    case OCM_CTLCOLORLISTBOX:
    case OCM_CTLCOLORMSGBOX:
    case OCM_CTLCOLORSCROLLBAR:
    case OCM_CTLCOLORSTATIC:
      result = DefWindowProcW(window, message - OCM_BASE, wParam, lParam);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace framework
