#pragma once
// One running copy per settings folder. The first copy on a folder holds a
// named mutex derived from the folder's full path, case-folded, and marks its
// main window with a property of the same name; a later start on the same
// folder finds that window by the property, asks it through a registered
// message to show itself, and ends before it reads any data file. Copies on
// different folders (two portable installs) run side by side.
#include "base/windows_api.h"

#include <string>

#include "app/kernel_handle.h"

class SingleInstance {
 public:
  // settingsFolder: where this copy's data files live.
  explicit SingleInstance(const std::wstring& settingsFolder);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // False when another copy on the same folder holds the mutex.
  bool IsFirst() const { return first_; }
  // Marks this copy's main window so a later start can find it.
  void MarkWindow(HWND window);
  // For a later start: asks the running copy's window to show itself,
  // waiting up to timeoutMs for it to appear (it may still be starting).
  // False when no window was found in time.
  bool ShowRunningCopy(DWORD timeoutMs) const;
  // The window marked for this copy's folder, or null.
  HWND FindRunningWindow() const { return FindRunning(name_); }
  // The window of the copy running on settingsFolder, or null; holds nothing.
  static HWND FindRunningOn(const std::wstring& settingsFolder) { return FindRunning(NameFor(settingsFolder)); }

  // The message a running copy's main window answers by showing itself as the
  // tray's "Show Window" does. The same value in every process of the session.
  static UINT ShowMessage();
  // The name of the mutex and property for a folder ("Amicord." and a hash of
  // the case-folded full path).
  static std::wstring NameFor(const std::wstring& settingsFolder);

 private:
  static HWND FindRunning(const std::wstring& name);

  std::wstring name_;
  KernelHandle mutex_;
  bool first_ = true;
  HWND marked_ = nullptr;  // not owned
};
