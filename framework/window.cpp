#include "framework/window.h"

#include <cstdio>

#include "framework/dialog.h"

namespace framework {

const wchar_t kObjectProperty[] = L"Amicord.WindowObject";

namespace {
thread_local void* pendingObject = nullptr;
HINSTANCE resourceInstance = nullptr;
}  // namespace

void* TakePendingObject() {
  void* object = pendingObject;
  pendingObject = nullptr;
  return object;
}

void SetPendingObject(void* object) { pendingObject = object; }

ATOM WindowClassInfo::Register(WNDPROC proc) {
  if (atom_) return atom_;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!baseName_.empty()) {
    // System classes are found without an instance, our own classes with it.
    if (!GetClassInfoExW(nullptr, baseName_.c_str(), &wc) && !GetClassInfoExW(instance, baseName_.c_str(), &wc))
      return 0;
    superProc_ = wc.lpfnWndProc;
    wc.style &= ~CS_GLOBALCLASS;
  } else {
    wc.style = style_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background_;
    superProc_ = ::DefWindowProcW;
  }
  if (name_.empty()) {
    wchar_t generated[64];
    std::swprintf(generated, 64, L"Amicord:%p", static_cast<void*>(this));
    name_ = generated;
  }
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = name_.c_str();
  atom_ = RegisterClassExW(&wc);
  if (!atom_ && GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    // Only a class of ours with this very procedure may be reused.
    if (GetClassInfoExW(instance, name_.c_str(), &existing) && existing.lpfnWndProc == proc)
      atom_ = static_cast<ATOM>(GetClassInfoExW(instance, name_.c_str(), &existing));
  }
  return atom_;
}

HINSTANCE ResourceInstance() { return resourceInstance ? resourceInstance : GetModuleHandleW(nullptr); }
void SetResourceInstance(HINSTANCE instance) { resourceInstance = instance; }

bool DialogAnswersDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

}  // namespace framework
