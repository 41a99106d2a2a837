#pragma once
// What a group panel asks of the window that holds it. The panel shows and
// orders rows; a contact's dialogs, and saving what they change, belong to
// its owner, so lists/ needs neither the dialogs nor the main window.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/windows_api.h"
#include "model/journal.h"
#include "model/snooze.h"

class PanelOwner {
 public:
  // Opens the contact's dialog over dialogParent, applies what the user
  // changed and saves; false when the dialog was cancelled or the contact is gone.
  virtual bool EditContact(std::int32_t contactId, HWND dialogParent) = 0;

  // The journal's commands on one contact, each running its dialog (where it
  // has one) over dialogParent, recording the change and saving; false when
  // nothing changed (cancelled, or the contact is gone).
  virtual bool LogContact(std::int32_t contactId, HWND dialogParent) = 0;
  virtual bool ShowHistory(std::int32_t contactId, HWND dialogParent) = 0;
  virtual bool SnoozeContact(std::int32_t contactId, SnoozeChoice choice, HWND dialogParent) = 0;
  // Calls the contact's phone number at index, or writes to the e-mail
  // address at index, through whatever program takes the link.
  enum class Reach { Call, Email };
  virtual void ReachOut(std::int32_t contactId, Reach how, std::size_t index, HWND dialogParent) = 0;
  // The same on several contacts at once (the selected rows): one dialog for
  // all of them where there is one, each contact changed as it would be alone,
  // one save; false when nothing changed.
  virtual bool TickContacts(const std::vector<std::int32_t>& ids) = 0;
  virtual bool LogContacts(const std::vector<std::int32_t>& ids, HWND dialogParent) = 0;
  virtual bool SnoozeContacts(const std::vector<std::int32_t>& ids, SnoozeChoice choice, HWND dialogParent) = 0;
  // Into the group, for one contact or many.
  virtual bool MoveContacts(const std::vector<std::int32_t>& ids, std::int32_t groupId) = 0;
  // The export's file chooser, writing only these people.
  virtual bool ExportContacts(const std::vector<std::int32_t>& ids, HWND dialogParent) = 0;
  // Removes them, without asking again: the panel asked.
  virtual bool DeleteContacts(const std::vector<std::int32_t>& ids) = 0;
  // Where the rows read their snoozes (null: nowhere); lives as long as the owner.
  virtual const Journal* ContactJournal() const = 0;

 protected:
  ~PanelOwner() = default;
};
