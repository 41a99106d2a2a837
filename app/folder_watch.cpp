#include "app/folder_watch.h"

bool FolderWatch::Start(const std::wstring& folder, HWND window, UINT message) {
  Stop();
  change_ = KernelHandle(::FindFirstChangeNotificationW(
                             folder.c_str(), FALSE,
                             FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE),
                         &::FindCloseChangeNotification);
  stop_ = KernelHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!change_ || !stop_) {
    change_.reset();
    stop_.reset();
    return false;
  }
  worker_ = std::thread(&FolderWatch::Run, this, window, message);
  return true;
}

void FolderWatch::Stop() {
  if (worker_.joinable()) {
    ::SetEvent(stop_.get());
    worker_.join();
  }
  change_.reset();
  stop_.reset();
}

void FolderWatch::Run(HWND window, UINT message) {
  const HANDLE waits[] = {stop_.get(), change_.get()};
  for (;;) {
    const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (woken != WAIT_OBJECT_0 + 1) return;
    // Posted, never sent: the window may be inside a modal loop or closing.
    ::PostMessageW(window, message, 0, 0);
    if (!::FindNextChangeNotification(change_.get())) return;
  }
}
