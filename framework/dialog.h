#pragma once
// Dialogs from templates (T::IDD) with message maps: modeless through
// Create, modal through DoModal.
#include "framework/window.h"

namespace framework {

// Module holding the dialog templates: the executable unless set otherwise.
HINSTANCE ResourceInstance();
void SetResourceInstance(HINSTANCE instance);

// Whether a dialog procedure returns the answer of `message` directly instead
// of through DWLP_MSGRESULT.
bool DialogAnswersDirectly(UINT message);

}  // namespace framework

template <class T, class TBase = CWindow>
class CDialogImpl : public CWindowImplRoot<TBase> {
 public:
  ~CDialogImpl() override { Detach(); }

  HWND Create(HWND parent, LPARAM initParam = 0) {
    if (this->m_hWnd) return nullptr;
    framework::SetPendingObject(static_cast<CDialogImpl*>(this));
    HWND window = ::CreateDialogParamW(framework::ResourceInstance(), MAKEINTRESOURCEW(T::IDD), parent,
                                       &StartDialogProc, initParam);
    framework::SetPendingObject(nullptr);
    return window;
  }

  INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM initParam = 0) {
    if (this->m_hWnd) return -1;
    framework::SetPendingObject(static_cast<CDialogImpl*>(this));
    const INT_PTR result = ::DialogBoxParamW(framework::ResourceInstance(), MAKEINTRESOURCEW(T::IDD), parent,
                                             &StartDialogProc, initParam);
    framework::SetPendingObject(nullptr);
    return result;
  }

  BOOL EndDialog(int result) { return ::EndDialog(this->m_hWnd, result); }

  // The dialog manager does the default processing once the procedure says "not handled".
  LRESULT DefWindowProc() { return 0; }
  LRESULT DefWindowProc(UINT, WPARAM, LPARAM) { return 0; }

 private:
  static INT_PTR CALLBACK StartDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CDialogImpl*>(::GetPropW(window, framework::kObjectProperty));
    if (!self) {
      self = static_cast<CDialogImpl*>(framework::TakePendingObject());
      if (!self) return FALSE;
      ::SetPropW(window, framework::kObjectProperty, self);
      self->m_hWnd = window;
    }
    return self->Run(window, message, wParam, lParam);
  }

  INT_PTR Run(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BOOL handled = FALSE;
    const LRESULT result = this->Dispatch(window, message, wParam, lParam, handled, [] { return LRESULT{0}; });
    INT_PTR answer = FALSE;
    if (handled) {
      if (framework::DialogAnswersDirectly(message)) {
        answer = static_cast<INT_PTR>(result);
      } else {
        // Sent messages (WM_NOTIFY, WM_DRAWITEM...) are answered through DWLP_MSGRESULT.
        if (::IsWindow(window)) ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        answer = TRUE;
      }
    }
    if (message == WM_NCDESTROY) {
      Detach();
      this->m_hWnd = window;
      this->FinishIfDestroyed(window, true);
    } else {
      this->FinishIfDestroyed(window, false);
    }
    return answer;
  }

  void Detach() {
    HWND window = this->m_hWnd;
    if (!window) return;
    if (::GetPropW(window, framework::kObjectProperty) == this) ::RemovePropW(window, framework::kObjectProperty);
    this->m_hWnd = nullptr;
  }
};
