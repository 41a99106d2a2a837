#pragma once
// The main window's keys, wherever the focus is inside it, in one table:
// Ctrl+F puts the focus in the find field, Ctrl+Tab and Ctrl+Shift+Tab switch
// tabs, Tab and Shift+Tab move through the controls, F1 opens the help. In a
// contact list Enter opens the selected contact, Ctrl+Enter records a contact
// with them, and Delete deletes them (after asking); in the find field Esc
// clears it and Enter opens the first row found. The capital letters C, G and
// O add a contact, add a group and open the options: typed into one of the
// window's controls they are readdressed to the window, which hands them to
// OnChar; fields the user types into keep their letters. Lower-case letters
// do nothing, so that a plain key press does not open a dialog by accident.
#include "base/windows_api.h"

#include "framework/message_loop.h"
#include "framework/window.h"

class Commands;
class DlgGroupEntry;
class FindBar;
class GroupTabs;

class KeyboardFilter : public CMessageFilter {
 public:
  // window is the main window (its handle read at each key); it and the parts
  // are not owned and outlive the filter.
  KeyboardFilter(const CWindow& window, FindBar& find, GroupTabs& tabs, Commands& commands);
  KeyboardFilter(const KeyboardFilter&) = delete;
  KeyboardFilter& operator=(const KeyboardFilter&) = delete;

  // Consumes the keys it acts on; a capital letter's WM_CHAR is readdressed
  // and dispatched as usual.
  bool PreTranslateMessage(MSG& message) override;
  // Readdresses a capital-letter WM_CHAR sent to one of the window's controls
  // to the window itself; true when it did.
  bool Readdress(MSG& message) const;
  // A character the window got: the capital letters' commands.
  void OnChar(wchar_t character);

 private:
  struct Key;
  bool FocusFind(MSG& message, DlgGroupEntry* panel);
  bool SwitchTab(MSG& message, DlgGroupEntry* panel);
  bool MoveFocus(MSG& message, DlgGroupEntry* panel);
  bool Help(MSG& message, DlgGroupEntry* panel);
  bool ClearFind(MSG& message, DlgGroupEntry* panel);
  bool OpenFirstFound(MSG& message, DlgGroupEntry* panel);
  bool Open(MSG& message, DlgGroupEntry* panel);
  bool Tick(MSG& message, DlgGroupEntry* panel);
  bool Delete(MSG& message, DlgGroupEntry* panel);

  const CWindow& window_;
  FindBar& find_;
  GroupTabs& tabs_;
  Commands& commands_;
};
