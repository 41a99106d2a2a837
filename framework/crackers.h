#pragma once
// Message crackers: map entries that unpack WPARAM and LPARAM so handlers take
// typed arguments. A handler is taken as having handled its message unless it
// calls SetMsgHandled(false), which lets later entries and the default
// procedure see the message too.
//
//   MSG_WM_INITDIALOG(f)      BOOL f(HWND focus, LPARAM initParam)
//   MSG_WM_DESTROY(f)         void f()
//   MSG_WM_CLOSE(f)           void f()
//   MSG_WM_SIZE(f)            void f(UINT type, SIZE size)
//   MSG_WM_GETMINMAXINFO(f)   void f(MINMAXINFO* info)
//   MSG_WM_MOVING(f)          void f(UINT edge, RECT* dragged)
//   MSG_WM_DPICHANGED(f)      void f(UINT dpi, const RECT* suggested)   the window's new DPI and frame
//   MSG_WM_QUERYENDSESSION(f) BOOL f(UINT source, UINT logoff)
//   MSG_WM_SYSCOMMAND(f)      void f(UINT command, POINT point)
//   MSG_WM_DROPFILES(f)       void f(HDROP drop)   the handler calls DragFinish
//   MSG_WM_CHAR(f)            void f(UINT character, UINT repeat, UINT flags)
//   MSG_WM_KEYDOWN(f)         void f(UINT key, UINT repeat, UINT flags)
//   MSG_WM_GETDLGCODE(f)      UINT f(const MSG* message)
//   MSG_WM_SETREDRAW(f)       void f(bool redraw)
//   MSG_WM_NCCALCSIZE(f)      LRESULT f(BOOL calcValidRects, LPARAM params)
//   MSG_WM_PAINT(f)           void f(HDC dc)   (null for WM_PAINT, the DC for WM_PRINTCLIENT)
//   MSG_WM_PRINTCLIENT(f)     void f(HDC dc)
//   MSG_WM_TIMER(f)           void f(UINT_PTR id)
//   MSG_WM_POWERBROADCAST(f)  void f(UINT event)   PBT_*; answers TRUE
//   MSG_WM_WTSSESSION_CHANGE(f) void f(UINT event, DWORD sessionId)   WTS_*
//   MSG_WM_TIMECHANGE(f)      void f()
//   MSG_WM_CONTEXTMENU(f)     void f(HWND window, POINT point)
//   MSG_WM_MOUSEMOVE(f)       void f(UINT keys, POINT point)
//   MSG_WM_KILLFOCUS(f)       void f(HWND gainingFocus)
//   MSG_WM_INITMENUPOPUP(f)   void f(HMENU menu, UINT index, BOOL windowMenu)
//   MSG_WM_UNINITMENUPOPUP(f) void f(HMENU menu, UINT flags)
//   MSG_WM_ENTERMENULOOP(f), MSG_WM_EXITMENULOOP(f)   void f(BOOL trackPopupMenu)
//   MSG_WM_MEASUREITEM(f)     void f(UINT controlId, MEASUREITEMSTRUCT* item)   answers TRUE
//   MSG_WM_DRAWITEM(f), MSG_OCM_DRAWITEM(f)   void f(UINT controlId, DRAWITEMSTRUCT* item)   answer TRUE
//   MSG_WM_COMMAND(f)         void f(UINT code, int id, HWND control)   every command
//   MSG_LVM_DELETEITEM(f)     BOOL f(int index)   a list view's, answered by the handler
//   MSG_LVM_DELETEALLITEMS(f) BOOL f()
//   MSG_NOTIFYICON(msg, f)    void f(UINT iconId, UINT mouseMessage)   the tray icon's callback
//   MSG_PLAIN(msg, f)         void f()   a message that carries nothing
//   COMMAND_HANDLER_EX(id, code, f), COMMAND_ID_HANDLER_EX(id, f),
//   COMMAND_RANGE_HANDLER_EX(first, last, f)     void f(UINT code, int id, HWND control)
//   NOTIFY_HANDLER_EX(id, code, f), NOTIFY_CODE_HANDLER_EX(code, f),
//   REFLECTED_NOTIFY_CODE_HANDLER_EX(code, f)   LRESULT f(NMHDR* header)
//   REFLECTED_COMMAND_HANDLER_EX(...)            as COMMAND_HANDLER_EX, for what a parent reflected
//
// The program's own model messages (their names come from model/messages.h,
// which the map's header includes):
//   MSG_WM_GROUP_ADDED(f), MSG_WM_GROUP_REMOVED(f)   void f(const Groups::Item& group)
//   MSG_WM_CONTACT_ADDED(f)                          void f(Contact& contact)
//   MSG_WM_CONTACT_REMOVED(f), MSG_WM_CONTACT_UPDATED(f),
//   MSG_WM_CONTACT_REVERTED(f)                       void f(const Contact& contact)
//
// A mix-in's map (not itself a CMessageMap) may use the crackers too: it names
// its window's map through `CMessageMap& OwnerMessageMap()`, and its handlers
// pass a message on through that map's SetMsgHandled(false).
#include <type_traits>

#include "framework/message_map.h"

namespace framework {

// The map whose handled flag a cracked entry sets: the window's own, also for
// an entry of a mix-in chained into it.
template <class Map>
CMessageMap& CrackingMap(Map* map) {
  if constexpr (std::is_base_of_v<CMessageMap, Map>) {
    return *map;
  } else {
    return map->OwnerMessageMap();
  }
}

}  // namespace framework

#define FRAMEWORK_CRACKED(condition, statement)                \
  if (condition) {                                             \
    CMessageMap& crackingMap = ::framework::CrackingMap(this); \
    crackingMap.SetMsgHandled(true);                           \
    statement;                                                 \
    if (crackingMap.IsMsgHandled()) return TRUE;               \
  }

namespace framework {
// Mouse positions come signed: a point left of or above a window is negative.
inline POINT PointFromLParam(LPARAM lp) {
  return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}
}  // namespace framework
#define FRAMEWORK_POINT(lp) ::framework::PointFromLParam(lp)

#define MSG_WM_INITDIALOG(func) \
  FRAMEWORK_CRACKED(uMsg == WM_INITDIALOG, lResult = func(reinterpret_cast<HWND>(wParam), lParam))
#define MSG_WM_DESTROY(func) FRAMEWORK_CRACKED(uMsg == WM_DESTROY, (func(), lResult = 0))
#define MSG_WM_CLOSE(func) FRAMEWORK_CRACKED(uMsg == WM_CLOSE, (func(), lResult = 0))
#define MSG_WM_SIZE(func)            \
  FRAMEWORK_CRACKED(uMsg == WM_SIZE, \
                    (func(static_cast<UINT>(wParam), SIZE{LOWORD(lParam), HIWORD(lParam)}), lResult = 0))
#define MSG_WM_GETMINMAXINFO(func) \
  FRAMEWORK_CRACKED(uMsg == WM_GETMINMAXINFO, (func(reinterpret_cast<MINMAXINFO*>(lParam)), lResult = 0))
#define MSG_WM_MOVING(func)            \
  FRAMEWORK_CRACKED(uMsg == WM_MOVING, \
                    (func(static_cast<UINT>(wParam), reinterpret_cast<RECT*>(lParam)), lResult = TRUE))
#define MSG_WM_DPICHANGED(func) \
  FRAMEWORK_CRACKED(uMsg == WM_DPICHANGED, (func(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)), lResult = 0))
#define MSG_WM_QUERYENDSESSION(func) \
  FRAMEWORK_CRACKED(uMsg == WM_QUERYENDSESSION, lResult = func(static_cast<UINT>(wParam), static_cast<UINT>(lParam)))
#define MSG_WM_SYSCOMMAND(func) \
  FRAMEWORK_CRACKED(uMsg == WM_SYSCOMMAND, (func(static_cast<UINT>(wParam), FRAMEWORK_POINT(lParam)), lResult = 0))
#define MSG_WM_DROPFILES(func) \
  FRAMEWORK_CRACKED(uMsg == WM_DROPFILES, (func(reinterpret_cast<HDROP>(wParam)), lResult = 0))
#define MSG_WM_CHAR(func) \
  FRAMEWORK_CRACKED(uMsg == WM_CHAR, (func(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)), lResult = 0))
#define MSG_WM_KEYDOWN(func) \
  FRAMEWORK_CRACKED(uMsg == WM_KEYDOWN, (func(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)), lResult = 0))
#define MSG_WM_GETDLGCODE(func) \
  FRAMEWORK_CRACKED(uMsg == WM_GETDLGCODE, lResult = func(reinterpret_cast<const MSG*>(lParam)))
#define MSG_WM_SETREDRAW(func) FRAMEWORK_CRACKED(uMsg == WM_SETREDRAW, (func(wParam != FALSE), lResult = 0))
#define MSG_WM_NCCALCSIZE(func) \
  FRAMEWORK_CRACKED(uMsg == WM_NCCALCSIZE, lResult = func(static_cast<BOOL>(wParam), lParam))
#define MSG_WM_PAINT(func) FRAMEWORK_CRACKED(uMsg == WM_PAINT, (func(reinterpret_cast<HDC>(wParam)), lResult = 0))
#define MSG_WM_PRINTCLIENT(func) \
  FRAMEWORK_CRACKED(uMsg == WM_PRINTCLIENT, (func(reinterpret_cast<HDC>(wParam)), lResult = 0))
#define MSG_WM_POWERBROADCAST(func) \
  FRAMEWORK_CRACKED(uMsg == WM_POWERBROADCAST, (func(static_cast<UINT>(wParam)), lResult = TRUE))
#define MSG_WM_WTSSESSION_CHANGE(func)            \
  FRAMEWORK_CRACKED(uMsg == WM_WTSSESSION_CHANGE, \
                    (func(static_cast<UINT>(wParam), static_cast<DWORD>(lParam)), lResult = 0))
#define MSG_WM_TIMECHANGE(func) FRAMEWORK_CRACKED(uMsg == WM_TIMECHANGE, (func(), lResult = 0))
#define MSG_WM_TIMER(func) FRAMEWORK_CRACKED(uMsg == WM_TIMER, (func(static_cast<UINT_PTR>(wParam)), lResult = 0))
#define MSG_WM_CONTEXTMENU(func)            \
  FRAMEWORK_CRACKED(uMsg == WM_CONTEXTMENU, \
                    (func(reinterpret_cast<HWND>(wParam), FRAMEWORK_POINT(lParam)), lResult = 0))
#define MSG_WM_MOUSEMOVE(func) \
  FRAMEWORK_CRACKED(uMsg == WM_MOUSEMOVE, (func(static_cast<UINT>(wParam), FRAMEWORK_POINT(lParam)), lResult = 0))
#define MSG_WM_KILLFOCUS(func) \
  FRAMEWORK_CRACKED(uMsg == WM_KILLFOCUS, (func(reinterpret_cast<HWND>(wParam)), lResult = 0))
#define MSG_WM_INITMENUPOPUP(func) \
  FRAMEWORK_CRACKED(               \
      uMsg == WM_INITMENUPOPUP,    \
      (func(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), static_cast<BOOL>(HIWORD(lParam))), lResult = 0))
#define MSG_WM_UNINITMENUPOPUP(func)            \
  FRAMEWORK_CRACKED(uMsg == WM_UNINITMENUPOPUP, \
                    (func(reinterpret_cast<HMENU>(wParam), static_cast<UINT>(HIWORD(lParam))), lResult = 0))
#define MSG_WM_ENTERMENULOOP(func) \
  FRAMEWORK_CRACKED(uMsg == WM_ENTERMENULOOP, (func(static_cast<BOOL>(wParam)), lResult = 0))
#define MSG_WM_EXITMENULOOP(func) \
  FRAMEWORK_CRACKED(uMsg == WM_EXITMENULOOP, (func(static_cast<BOOL>(wParam)), lResult = 0))
#define FRAMEWORK_ITEM_MESSAGE(msg, Item, func) \
  FRAMEWORK_CRACKED(uMsg == (msg), (func(static_cast<UINT>(wParam), reinterpret_cast<Item*>(lParam)), lResult = TRUE))
#define MSG_WM_MEASUREITEM(func) FRAMEWORK_ITEM_MESSAGE(WM_MEASUREITEM, MEASUREITEMSTRUCT, func)
#define MSG_WM_DRAWITEM(func) FRAMEWORK_ITEM_MESSAGE(WM_DRAWITEM, DRAWITEMSTRUCT, func)
#define MSG_OCM_DRAWITEM(func) FRAMEWORK_ITEM_MESSAGE(OCM_DRAWITEM, DRAWITEMSTRUCT, func)
#define MSG_WM_COMMAND(func)            \
  FRAMEWORK_CRACKED(uMsg == WM_COMMAND, \
                    (func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)), lResult = 0))
#define MSG_LVM_DELETEITEM(func) FRAMEWORK_CRACKED(uMsg == LVM_DELETEITEM, lResult = func(static_cast<int>(wParam)))
#define MSG_LVM_DELETEALLITEMS(func) FRAMEWORK_CRACKED(uMsg == LVM_DELETEALLITEMS, lResult = func())
#define MSG_NOTIFYICON(msg, func) \
  FRAMEWORK_CRACKED(uMsg == (msg), (func(static_cast<UINT>(wParam), static_cast<UINT>(lParam)), lResult = 0))
#define MSG_PLAIN(msg, func) FRAMEWORK_CRACKED(uMsg == (msg), (func(), lResult = 0))

#define FRAMEWORK_COMMAND_EX(message, condition, func) \
  FRAMEWORK_CRACKED(uMsg == (message) && (condition),  \
                    (func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)), lResult = 0))
#define COMMAND_HANDLER_EX(id, code, func) \
  FRAMEWORK_COMMAND_EX(WM_COMMAND, (id) == LOWORD(wParam) && (code) == HIWORD(wParam), func)
#define COMMAND_ID_HANDLER_EX(id, func) FRAMEWORK_COMMAND_EX(WM_COMMAND, (id) == LOWORD(wParam), func)
#define COMMAND_RANGE_HANDLER_EX(idFirst, idLast, func) \
  FRAMEWORK_COMMAND_EX(WM_COMMAND, LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast), func)
#define REFLECTED_COMMAND_HANDLER_EX(id, code, func) \
  FRAMEWORK_COMMAND_EX(OCM_COMMAND, (id) == LOWORD(wParam) && (code) == HIWORD(wParam), func)
#define REFLECTED_COMMAND_CODE_HANDLER_EX(code, func) FRAMEWORK_COMMAND_EX(OCM_COMMAND, (code) == HIWORD(wParam), func)

#define FRAMEWORK_NOTIFY_EX(message, condition, func) \
  FRAMEWORK_CRACKED(uMsg == (message) && lParam != 0 && (condition), lResult = func(FRAMEWORK_NMHDR))
#define NOTIFY_HANDLER_EX(id, cd, func) \
  FRAMEWORK_NOTIFY_EX(WM_NOTIFY, (id) == FRAMEWORK_NMHDR->idFrom && (cd) == FRAMEWORK_NMHDR->code, func)
#define NOTIFY_CODE_HANDLER_EX(cd, func) FRAMEWORK_NOTIFY_EX(WM_NOTIFY, (cd) == FRAMEWORK_NMHDR->code, func)
#define REFLECTED_NOTIFY_CODE_HANDLER_EX(cd, func) FRAMEWORK_NOTIFY_EX(OCM_NOTIFY, (cd) == FRAMEWORK_NMHDR->code, func)

// A message whose wParam points at an object: a null pointer is not passed on.
#define FRAMEWORK_POINTER_MESSAGE(msg, Type, func) \
  FRAMEWORK_CRACKED(uMsg == (msg) && wParam != 0, (func(*reinterpret_cast<Type*>(wParam)), lResult = 0))

#define MSG_WM_GROUP_ADDED(func) FRAMEWORK_POINTER_MESSAGE(WM_GROUP_ADDED, const Groups::Item, func)
#define MSG_WM_GROUP_REMOVED(func) FRAMEWORK_POINTER_MESSAGE(WM_GROUP_REMOVED, const Groups::Item, func)
#define MSG_WM_CONTACT_ADDED(func) FRAMEWORK_POINTER_MESSAGE(WM_CONTACT_ADDED, Contact, func)
#define MSG_WM_CONTACT_REMOVED(func) FRAMEWORK_POINTER_MESSAGE(WM_CONTACT_REMOVED, const Contact, func)
#define MSG_WM_CONTACT_UPDATED(func) FRAMEWORK_POINTER_MESSAGE(WM_CONTACT_UPDATED, const Contact, func)
#define MSG_WM_CONTACT_REVERTED(func) FRAMEWORK_POINTER_MESSAGE(WM_CONTACT_REVERTED, const Contact, func)
