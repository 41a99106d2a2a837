#pragma once
// Message maps written as tables: entries are tried in order, the first one
// whose handler leaves `handled` TRUE ends the search. Handler shapes:
//   message  LRESULT F(UINT message, WPARAM, LPARAM, BOOL& handled)
//   command  LRESULT F(WORD code, WORD id, HWND control, BOOL& handled)
//   notify   LRESULT F(int id, LPNMHDR, BOOL& handled)
#include "base/windows_api.h"
#include <commctrl.h>

#include <exception>

// Reflected messages: what a parent sends back to the child that caused them.
#define OCM_BASE (WM_USER + 0x1c00)
#define OCM__BASE OCM_BASE
#define OCM_COMMAND (OCM_BASE + WM_COMMAND)
#define OCM_CTLCOLORBTN (OCM_BASE + WM_CTLCOLORBTN)
#define OCM_CTLCOLOREDIT (OCM_BASE + WM_CTLCOLOREDIT)
#define OCM_CTLCOLORDLG (OCM_BASE + WM_CTLCOLORDLG)
#define OCM_CTLCOLORLISTBOX (OCM_BASE + WM_CTLCOLORLISTBOX)
#define OCM_CTLCOLORMSGBOX (OCM_BASE + WM_CTLCOLORMSGBOX)
#define OCM_CTLCOLORSCROLLBAR (OCM_BASE + WM_CTLCOLORSCROLLBAR)
#define OCM_CTLCOLORSTATIC (OCM_BASE + WM_CTLCOLORSTATIC)
#define OCM_DRAWITEM (OCM_BASE + WM_DRAWITEM)
#define OCM_MEASUREITEM (OCM_BASE + WM_MEASUREITEM)
#define OCM_DELETEITEM (OCM_BASE + WM_DELETEITEM)
#define OCM_VKEYTOITEM (OCM_BASE + WM_VKEYTOITEM)
#define OCM_CHARTOITEM (OCM_BASE + WM_CHARTOITEM)
#define OCM_COMPAREITEM (OCM_BASE + WM_COMPAREITEM)
#define OCM_HSCROLL (OCM_BASE + WM_HSCROLL)
#define OCM_VSCROLL (OCM_BASE + WM_VSCROLL)
#define OCM_PARENTNOTIFY (OCM_BASE + WM_PARENTNOTIFY)
#define OCM_NOTIFY (OCM_BASE + WM_NOTIFY)

namespace framework {

// What happens to an exception that a handler let out: it must never unwind
// into the system, and it must not vanish either. The reporter is told the
// message and what was thrown; the program sets its own, which saves what it
// can and tells the user when that fails (without one, nothing is done).
using ExceptionReporter = void (*)(UINT message, const char* what);
ExceptionReporter SetExceptionReporter(ExceptionReporter reporter);
void ReportHandlerException(UINT message, std::exception_ptr thrown) noexcept;

// Sends a control's notification back to the control as OCM_BASE + message.
// `handled` is FALSE when the message is not one that is reflected or names no child.
LRESULT ReflectNotifications(HWND window, UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

// For a control: answers reflected messages it does not handle itself as the
// default window procedure would have answered the original message.
BOOL DefaultReflectionHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace framework

// Every class with a map is dispatched through this interface. A cracked
// handler (framework/crackers.h) may call SetMsgHandled(false) to pass its
// message on.
class CMessageMap {
 public:
  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                    DWORD dwMsgMapID = 0) = 0;

  void SetMsgHandled(bool handled) { msgHandled_ = handled; }
  bool IsMsgHandled() const { return msgHandled_; }

 protected:
  ~CMessageMap() = default;

  bool msgHandled_ = true;
};

#define BEGIN_MSG_MAP(theClass)                                                                   \
 public:                                                                                          \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, \
                            DWORD dwMsgMapID = 0) {                                               \
    BOOL bHandled = TRUE;                                                                         \
    (void)hWnd;                                                                                   \
    (void)uMsg;                                                                                   \
    (void)wParam;                                                                                 \
    (void)lParam;                                                                                 \
    (void)lResult;                                                                                \
    (void)bHandled;                                                                               \
    switch (dwMsgMapID) {                                                                         \
      case 0:

#define ALT_MSG_MAP(msgMapID) \
  break;                      \
  case msgMapID:

#define END_MSG_MAP() \
  break;              \
  default:            \
    break;            \
    }                 \
    return FALSE;     \
    }

#define MESSAGE_HANDLER(msg, func)                  \
  if (uMsg == (msg)) {                              \
    bHandled = TRUE;                                \
    lResult = func(uMsg, wParam, lParam, bHandled); \
    if (bHandled) return TRUE;                      \
  }

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func) \
  if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {       \
    bHandled = TRUE;                                   \
    lResult = func(uMsg, wParam, lParam, bHandled);    \
    if (bHandled) return TRUE;                         \
  }

#define FRAMEWORK_COMMAND_ENTRY(message, condition, func)                                     \
  if (uMsg == (message) && (condition)) {                                                     \
    bHandled = TRUE;                                                                          \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
    if (bHandled) return TRUE;                                                                \
  }

#define COMMAND_HANDLER(id, code, func) \
  FRAMEWORK_COMMAND_ENTRY(WM_COMMAND, (id) == LOWORD(wParam) && (code) == HIWORD(wParam), func)
#define COMMAND_ID_HANDLER(id, func) FRAMEWORK_COMMAND_ENTRY(WM_COMMAND, (id) == LOWORD(wParam), func)
#define COMMAND_CODE_HANDLER(code, func) FRAMEWORK_COMMAND_ENTRY(WM_COMMAND, (code) == HIWORD(wParam), func)
#define COMMAND_RANGE_HANDLER(idFirst, idLast, func) \
  FRAMEWORK_COMMAND_ENTRY(WM_COMMAND, LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast), func)
#define COMMAND_RANGE_CODE_HANDLER(idFirst, idLast, code, func) \
  FRAMEWORK_COMMAND_ENTRY(WM_COMMAND,                           \
                          (code) == HIWORD(wParam) && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast), func)

#define FRAMEWORK_NOTIFY_ENTRY(message, condition, func)                                   \
  if (uMsg == (message) && lParam != 0 && (condition)) {                                   \
    bHandled = TRUE;                                                                       \
    lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled); \
    if (bHandled) return TRUE;                                                             \
  }

#define FRAMEWORK_NMHDR (reinterpret_cast<LPNMHDR>(lParam))
#define NOTIFY_HANDLER(id, cd, func) \
  FRAMEWORK_NOTIFY_ENTRY(WM_NOTIFY, (id) == FRAMEWORK_NMHDR->idFrom && (cd) == FRAMEWORK_NMHDR->code, func)
#define NOTIFY_ID_HANDLER(id, func) FRAMEWORK_NOTIFY_ENTRY(WM_NOTIFY, (id) == FRAMEWORK_NMHDR->idFrom, func)
#define NOTIFY_CODE_HANDLER(cd, func) FRAMEWORK_NOTIFY_ENTRY(WM_NOTIFY, (cd) == FRAMEWORK_NMHDR->code, func)
#define NOTIFY_RANGE_HANDLER(idFirst, idLast, func)                                    \
  FRAMEWORK_NOTIFY_ENTRY(WM_NOTIFY,                                                    \
                         FRAMEWORK_NMHDR->idFrom >= static_cast<UINT_PTR>(idFirst) &&  \
                             FRAMEWORK_NMHDR->idFrom <= static_cast<UINT_PTR>(idLast), \
                         func)

// The same entries for what a parent reflected back to this control.
#define REFLECTED_COMMAND_HANDLER(id, code, func) \
  FRAMEWORK_COMMAND_ENTRY(OCM_COMMAND, (id) == LOWORD(wParam) && (code) == HIWORD(wParam), func)
#define REFLECTED_COMMAND_CODE_HANDLER(code, func) FRAMEWORK_COMMAND_ENTRY(OCM_COMMAND, (code) == HIWORD(wParam), func)
#define REFLECTED_NOTIFY_HANDLER(id, cd, func) \
  FRAMEWORK_NOTIFY_ENTRY(OCM_NOTIFY, (id) == FRAMEWORK_NMHDR->idFrom && (cd) == FRAMEWORK_NMHDR->code, func)
#define REFLECTED_NOTIFY_CODE_HANDLER(cd, func) FRAMEWORK_NOTIFY_ENTRY(OCM_NOTIFY, (cd) == FRAMEWORK_NMHDR->code, func)

#define CHAIN_MSG_MAP(theChainClass)                                                 \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0)) { \
    return TRUE;                                                                     \
  }

#define CHAIN_MSG_MAP_ALT(theChainClass, msgMapID)                                          \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID)) { \
    return TRUE;                                                                            \
  }

#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                           \
  if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0)) { \
    return TRUE;                                                                       \
  }

#define REFLECT_NOTIFICATIONS()                                                        \
  {                                                                                    \
    bHandled = TRUE;                                                                   \
    lResult = ::framework::ReflectNotifications(hWnd, uMsg, wParam, lParam, bHandled); \
    if (bHandled) return TRUE;                                                         \
  }

#define DEFAULT_REFLECTION_HANDLER() \
  if (::framework::DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
