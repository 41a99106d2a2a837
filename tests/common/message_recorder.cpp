#include "tests/common/message_recorder.h"

#ifdef _WIN32

namespace {

constexpr wchar_t kClassName[] = L"AmicordTestRecorder";

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message >= WM_USER) {
    if (auto* recorder = reinterpret_cast<MessageRecorder*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
      recorder->Receive(message, wParam);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

MessageRecorder::MessageRecorder() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = RecorderProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly once registered
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this);
}

void MessageRecorder::Destroy() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
}

#else

MessageRecorder::MessageRecorder() {
  window_ = platform::CreateHostWindow([this](MessageId message, MessageParam wParam) { Receive(message, wParam); });
}

void MessageRecorder::Destroy() {
  platform::DestroyHostWindow(window_);
  window_ = nullptr;
}

#endif

MessageRecorder::~MessageRecorder() { Destroy(); }
