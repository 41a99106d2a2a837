#pragma once
// Files dropped on the main window: vCard and CSV files go to the import's
// preview; anything else is told to be no file the program imports.
#include "base/windows_api.h"

#include <shellapi.h>

#include "framework/crackers.h"
#include "framework/window.h"

class Commands;

class FileDrop : public CMessageMap {
 public:
  // window is the main window; it and commands are not owned and outlive this.
  FileDrop(const CWindow& window, Commands& commands) : window_(window), commands_(commands) {}
  FileDrop(const FileDrop&) = delete;
  FileDrop& operator=(const FileDrop&) = delete;

  BEGIN_MSG_MAP(FileDrop)
    MSG_WM_DROPFILES(OnDropFiles)
  END_MSG_MAP()

  // From now on the window takes dropped files.
  void Accept();

 private:
  void OnDropFiles(HDROP drop);

  const CWindow& window_;
  Commands& commands_;
};
