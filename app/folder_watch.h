#pragma once
// Watches a folder for files written, created, renamed or removed, on a
// worker thread that posts one message to a window for each burst it sees.
// The window does the work on its own thread; tests post the same message.
#include "base/windows_api.h"

#include <string>
#include <thread>

#include "app/kernel_handle.h"

class FolderWatch {
 public:
  FolderWatch() = default;
  ~FolderWatch() { Stop(); }
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // False when the folder cannot be watched (missing, or the system refused).
  bool Start(const std::wstring& folder, HWND window, UINT message);
  void Stop();
  bool Running() const { return worker_.joinable(); }

 private:
  void Run(HWND window, UINT message);

  KernelHandle change_;
  KernelHandle stop_;
  std::thread worker_;
};
