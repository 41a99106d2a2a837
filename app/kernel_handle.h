#pragma once
// Owns a kernel object's handle (mutex, event, change notification): the
// GDI and USER kinds of framework/handles.h close differently.
#include <utility>

#include "base/windows_api.h"

class KernelHandle {
 public:
  using Closer = BOOL(WINAPI*)(HANDLE);

  KernelHandle() = default;
  // closer: CloseHandle, or FindCloseChangeNotification for a change notification.
  explicit KernelHandle(HANDLE handle, Closer closer = &::CloseHandle)
      : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle), closer_(closer) {}
  KernelHandle(KernelHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, nullptr)), closer_(other.closer_) {}
  KernelHandle& operator=(KernelHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
      closer_ = other.closer_;
    }
    return *this;
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  ~KernelHandle() { reset(); }

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset() {
    if (handle_) {
      const DWORD error = ::GetLastError();
      closer_(handle_);
      ::SetLastError(error);
    }
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
  Closer closer_ = &::CloseHandle;
};
