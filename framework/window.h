#pragma once
// Window objects with message maps. The object is found from its HWND through
// a window property (created windows, dialogs) or the subclass reference data
// (SetWindowSubclass), never through executable thunks.
#include <string>

#include "framework/message_map.h"

class CWindow {
 public:
  HWND m_hWnd = nullptr;  // not owned

  CWindow(HWND window = nullptr) : m_hWnd(window) {}
  CWindow& operator=(HWND window) {
    m_hWnd = window;
    return *this;
  }
  operator HWND() const { return m_hWnd; }

  void Attach(HWND window) { m_hWnd = window; }
  HWND Detach() {
    HWND window = m_hWnd;
    m_hWnd = nullptr;
    return window;
  }

  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL DestroyWindow() {
    if (!::DestroyWindow(m_hWnd)) return FALSE;
    m_hWnd = nullptr;
    return TRUE;
  }

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }

  HWND GetParent() const { return ::GetParent(m_hWnd); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) { return ModifyLong(GWL_STYLE, remove, add, swpFlags); }
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) {
    return ModifyLong(GWL_EXSTYLE, remove, add, swpFlags);
  }

  BOOL GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect); }
  BOOL GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect); }
  BOOL ScreenToClient(RECT* rect) const {
    return ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2) != 0 || ::GetLastError() == 0;
  }
  BOOL ScreenToClient(POINT* point) const { return ::ScreenToClient(m_hWnd, point); }
  BOOL ClientToScreen(POINT* point) const { return ::ClientToScreen(m_hWnd, point); }

  BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  BOOL MoveWindow(const RECT& rect, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
  }
  BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
  }
  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  // Centres the window over its owner when the owner is on screen, else over
  // the work area, and keeps it inside the work area of that monitor.
  BOOL CenterWindow() {
    RECT self{};
    if (!::GetWindowRect(m_hWnd, &self)) return FALSE;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    RECT around{};
    const bool overOwner = owner && ::IsWindowVisible(owner) && !::IsIconic(owner) && ::GetWindowRect(owner, &around);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(overOwner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    if (!overOwner) around = monitor.rcWork;
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int left = around.left + ((around.right - around.left) - width) / 2;
    int top = around.top + ((around.bottom - around.top) - height) / 2;
    const RECT& work = monitor.rcWork;
    if (left + width > work.right) left = work.right - width;
    if (top + height > work.bottom) top = work.bottom - height;
    if (left < work.left) left = work.left;
    if (top < work.top) top = work.top;
    return ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  HWND SetFocus() { return ::SetFocus(m_hWnd); }

  BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
  BOOL InvalidateRect(const RECT* rect, BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, rect, erase); }
  BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, rect, region, flags);
  }

  BOOL SetWindowText(const wchar_t* text) { return ::SetWindowTextW(m_hWnd, text); }
  std::wstring GetWindowText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
  }

  void SetFont(HFONT font, BOOL redraw = TRUE) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
  }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  HICON SetIcon(HICON icon, BOOL big = TRUE) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
  }
  HICON GetIcon(BOOL big = TRUE) const {
    return reinterpret_cast<HICON>(SendMessage(WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
  }

 private:
  BOOL ModifyLong(int index, DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD old = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, index));
    const DWORD updated = (old & ~remove) | add;
    if (updated == old) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, index, static_cast<LONG_PTR>(updated));
    if (swpFlags)
      ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
  }
};

namespace framework {

// The window-object property and the object waiting for its first message
// while CreateWindowEx or CreateDialogParam runs on this thread.
extern const wchar_t kObjectProperty[];
void* TakePendingObject();
void SetPendingObject(void* object);

// Rectangle argument of Create: a rectangle, a pointer to one, or nothing
// (CW_USEDEFAULT).
struct RectArg {
  RectArg() = default;
  RectArg(std::nullptr_t) {}
  RectArg(const RECT& r) : rect(&r) {}
  RectArg(const RECT* r) : rect(r) {}
  const RECT* rect = nullptr;
};

// A window class registered on first use. With a base class name it is a
// superclass: the base's procedure handles what the map leaves alone.
class WindowClassInfo {
 public:
  WindowClassInfo(const wchar_t* name, const wchar_t* baseName, UINT style, HBRUSH background)
      : name_(name ? name : L""), baseName_(baseName ? baseName : L""), style_(style), background_(background) {}
  ATOM Register(WNDPROC proc);
  WNDPROC superProc() const { return superProc_; }

 private:
  std::wstring name_;
  std::wstring baseName_;
  UINT style_;
  HBRUSH background_;  // not owned: a system colour brush or null
  ATOM atom_ = 0;
  WNDPROC superProc_ = ::DefWindowProcW;
};

}  // namespace framework

#define DECLARE_WND_CLASS_EX(className, classStyle, background)                                               \
  static ::framework::WindowClassInfo& GetWndClassInfo() {                                                    \
    static ::framework::WindowClassInfo info(className, nullptr, classStyle,                                  \
                                             reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background) + 1)); \
    return info;                                                                                              \
  }
#define DECLARE_WND_CLASS(className) DECLARE_WND_CLASS_EX(className, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)
#define DECLARE_WND_SUPERCLASS(className, baseClassName)                            \
  static ::framework::WindowClassInfo& GetWndClassInfo() {                          \
    static ::framework::WindowClassInfo info(className, baseClassName, 0, nullptr); \
    return info;                                                                    \
  }

// What every window and dialog object shares: the current message, the final
// message after WM_NCDESTROY, and protection of the window procedure.
template <class TBase = CWindow>
class CWindowImplRoot : public TBase, public CMessageMap {
 public:
  CWindowImplRoot() = default;
  CWindowImplRoot(const CWindowImplRoot&) = delete;
  CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;
  virtual ~CWindowImplRoot() = default;

  // Called once the window is gone and the object detached; may delete the object.
  virtual void OnFinalMessage(HWND /*window*/) {}

  const MSG* GetCurrentMessage() const { return currentMessage_; }

 protected:
  // Runs the map; unhandled messages go to fallback, and so does a message
  // whose handler let an exception out (reported, never unwound into the system).
  template <class Fallback>
  LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled, Fallback fallback) {
    MSG current{};
    current.hwnd = window;
    current.message = message;
    current.wParam = wParam;
    current.lParam = lParam;
    const MSG* outer = currentMessage_;
    currentMessage_ = &current;
    ++depth_;
    LRESULT result = 0;
    handled = FALSE;
    const bool outerHandled = this->msgHandled_;
    try {
      handled = ProcessWindowMessage(window, message, wParam, lParam, result, 0);
    } catch (...) {
      handled = FALSE;
      result = 0;
      framework::ReportHandlerException(message, std::current_exception());
    }
    this->msgHandled_ = outerHandled;
    if (!handled) result = fallback();
    --depth_;
    currentMessage_ = outer;
    return result;
  }

  // After WM_NCDESTROY: detach now, call OnFinalMessage when the outermost
  // message of this object returns (a handler may still be on the stack).
  bool FinishIfDestroyed(HWND window, bool destroyedNow) {
    if (destroyedNow) destroyed_ = true;
    if (!destroyed_ || depth_ != 0) return false;
    destroyed_ = false;
    this->m_hWnd = nullptr;
    try {
      OnFinalMessage(window);
    } catch (...) {
      framework::ReportHandlerException(WM_NCDESTROY, std::current_exception());
    }
    return true;
  }

  int depth_ = 0;
  bool destroyed_ = false;

 private:
  const MSG* currentMessage_ = nullptr;
};

template <class TBase = CWindow>
class CWindowImplBaseT : public CWindowImplRoot<TBase> {
 public:
  ~CWindowImplBaseT() override { DetachFromWindow(); }

  // Takes over an existing window; its procedure still handles what the map leaves.
  BOOL SubclassWindow(HWND window) {
    if (this->m_hWnd || !::IsWindow(window)) return FALSE;
    if (!::SetWindowSubclass(window, &SubclassProc, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this)))
      return FALSE;
    this->m_hWnd = window;
    mode_ = Mode::Subclassed;
    return TRUE;
  }

  HWND UnsubclassWindow() {
    if (mode_ != Mode::Subclassed) return nullptr;
    HWND window = this->m_hWnd;
    ::RemoveWindowSubclass(window, &SubclassProc, reinterpret_cast<UINT_PTR>(this));
    this->m_hWnd = nullptr;
    mode_ = Mode::None;
    return window;
  }

  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (mode_) {
      case Mode::Subclassed:
        return ::DefSubclassProc(this->m_hWnd, message, wParam, lParam);
      case Mode::Created:
        return ::CallWindowProcW(superProc_, this->m_hWnd, message, wParam, lParam);
      case Mode::None:
        break;
    }
    return ::DefWindowProcW(this->m_hWnd, message, wParam, lParam);
  }
  LRESULT DefWindowProc() {
    const MSG* message = this->GetCurrentMessage();
    return message ? DefWindowProc(message->message, message->wParam, message->lParam) : 0;
  }

 protected:
  enum class Mode { None, Created, Subclassed };

  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR refData) {
    auto* self = reinterpret_cast<CWindowImplBaseT*>(refData);
    return self->Run(window, message, wParam, lParam);
  }

  LRESULT Run(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BOOL handled = FALSE;
    LRESULT result = this->Dispatch(window, message, wParam, lParam, handled,
                                    [&] { return DefWindowProc(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
      DetachFromWindow();
      this->m_hWnd = window;  // kept until the final message
      this->FinishIfDestroyed(window, true);
    } else {
      this->FinishIfDestroyed(window, false);
    }
    return result;
  }

  // Leaves the window to its own procedure, e.g. when the object dies first.
  void DetachFromWindow() {
    HWND window = this->m_hWnd;
    if (!window) return;
    if (mode_ == Mode::Subclassed) {
      ::RemoveWindowSubclass(window, &SubclassProc, reinterpret_cast<UINT_PTR>(this));
    } else if (mode_ == Mode::Created) {
      if (::GetPropW(window, framework::kObjectProperty) == this) ::RemovePropW(window, framework::kObjectProperty);
      if (::IsWindow(window)) ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
    }
    mode_ = Mode::None;
    this->m_hWnd = nullptr;
  }

  Mode mode_ = Mode::None;
  WNDPROC superProc_ = ::DefWindowProcW;
};

template <class T, class TBase = CWindow>
class CWindowImpl : public CWindowImplBaseT<TBase> {
 public:
  DECLARE_WND_CLASS_EX(nullptr, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

  HWND Create(HWND parent, framework::RectArg rect = {}, const wchar_t* text = nullptr, DWORD style = 0,
              DWORD exStyle = 0, UINT id = 0, void* createParam = nullptr) {
    if (this->m_hWnd) return nullptr;
    framework::WindowClassInfo& info = T::GetWndClassInfo();
    const ATOM atom = info.Register(&StartWindowProc);
    if (!atom) return nullptr;
    this->superProc_ = info.superProc();
    RECT r{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    if (rect.rect) r = *rect.rect;
    const bool useDefault = !rect.rect;
    framework::SetPendingObject(static_cast<CWindowImplBaseT<TBase>*>(this));
    HWND window = ::CreateWindowExW(
        exStyle, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)), text, style, r.left, r.top,
        useDefault ? CW_USEDEFAULT : r.right - r.left, useDefault ? CW_USEDEFAULT : r.bottom - r.top, parent,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ::GetModuleHandleW(nullptr), createParam);
    framework::SetPendingObject(nullptr);
    return window;
  }

 private:
  static LRESULT CALLBACK StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CWindowImplBaseT<TBase>*>(::GetPropW(window, framework::kObjectProperty));
    if (!self) {
      self = static_cast<CWindowImplBaseT<TBase>*>(framework::TakePendingObject());
      if (!self) return ::CallWindowProcW(T::GetWndClassInfo().superProc(), window, message, wParam, lParam);
      static_cast<CWindowImpl*>(self)->AttachCreated(window);
    }
    return static_cast<CWindowImpl*>(self)->Run(window, message, wParam, lParam);
  }

  void AttachCreated(HWND window) {
    ::SetPropW(window, framework::kObjectProperty, static_cast<CWindowImplBaseT<TBase>*>(this));
    this->m_hWnd = window;
    this->mode_ = CWindowImplBaseT<TBase>::Mode::Created;
  }
};
