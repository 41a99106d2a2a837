#pragma once
// Answers the next modal dialog of this thread without a user: a thread-local
// CBT hook sees the dialog activate and posts a command to it.
#include "base/windows_api.h"

namespace test {

class ModalAnswer {
 public:
  explicit ModalAnswer(WORD commandId) : commandId_(commandId) {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
  }
  ~ModalAnswer() {
    if (hook_) UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;

  bool installed() const { return hook_ != nullptr; }
  HWND answered() const { return answered_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    ModalAnswer* self = current_;
    if (code == HCBT_ACTIVATE && self && !self->answered_) {
      HWND window = reinterpret_cast<HWND>(wParam);
      self->answered_ = window;
      PostMessageW(window, WM_COMMAND, MAKEWPARAM(self->commandId_, BN_CLICKED), 0);
    }
    return CallNextHookEx(self ? self->hook_ : nullptr, code, wParam, lParam);
  }

  static inline thread_local ModalAnswer* current_ = nullptr;
  WORD commandId_;
  HHOOK hook_ = nullptr;
  HWND answered_ = nullptr;
};

}  // namespace test
