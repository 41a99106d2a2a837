#pragma once
// What a group panel asks of the window that holds it. The panel shows and
// orders rows; opening a contact's dialog and saving belong to its owner, so
// lists/ needs neither the dialogs nor the main window.
#include <cstdint>

#include "base/windows_api.h"

class PanelOwner {
 public:
  // Opens the contact's dialog over dialogParent and applies what the user
  // changed; false when the dialog was cancelled or the contact is gone.
  virtual bool EditContact(std::int32_t contactId, HWND dialogParent) = 0;
  // A change the data files must get.
  virtual void SaveData() = 0;

 protected:
  ~PanelOwner() = default;
};
