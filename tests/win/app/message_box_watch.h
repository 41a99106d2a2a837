#pragma once
// Answers every message box this thread opens while it lives, and records what
// each one said: a thread-local CBT hook sees the box activate and posts the
// answer, so no test blocks in a modal loop.
#include <string>
#include <vector>

#include "base/windows_api.h"

namespace test {

class MessageBoxWatch {
 public:
  explicit MessageBoxWatch(WORD answer = IDOK) : answer_(answer) {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
  }
  ~MessageBoxWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  MessageBoxWatch(const MessageBoxWatch&) = delete;
  MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

  const std::vector<std::wstring>& texts() const { return texts_; }
  const std::vector<std::wstring>& captions() const { return captions_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    MessageBoxWatch* self = current_;
    HWND box = reinterpret_cast<HWND>(wParam);
    // Only message boxes (they hold the text control), each once: the owner
    // window is activated again when a box closes.
    if (code == HCBT_ACTIVATE && self && GetDlgItem(box, 0xFFFF) != nullptr && box != self->lastBox_) {
      self->lastBox_ = box;
      wchar_t text[4096] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 4096);  // the message box's text control
      wchar_t caption[256] = {};
      GetWindowTextW(box, caption, 256);
      self->texts_.push_back(text);
      self->captions_.push_back(caption);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(self->answer_, BN_CLICKED), 0);
    }
    return CallNextHookEx(self ? self->hook_ : nullptr, code, wParam, lParam);
  }

  static inline thread_local MessageBoxWatch* current_ = nullptr;
  WORD answer_;
  HHOOK hook_ = nullptr;
  HWND lastBox_ = nullptr;
  std::vector<std::wstring> texts_;
  std::vector<std::wstring> captions_;
};

}  // namespace test
