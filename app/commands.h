#pragma once
#include "base/windows_api.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/import_export.h"
#include "lists/panel_owner.h"
#include "model/contact.h"

// The user guide installed beside the executable.
inline constexpr wchar_t kHelpFileName[] = L"help.html";
// The system menu's entry for ShowAbout, and the caption of what it shows.
inline constexpr wchar_t kAboutText[] = L"About Amicord - Personal Relationship Manager";
// The system menu's and the tray menu's entry for RestoreBackup.
inline constexpr wchar_t kRestoreBackupText[] = L"Restore a Backup...";
// The system menu's and the tray menu's entries for the import and the export.
inline constexpr wchar_t kImportContactsText[] = L"&Import Contacts...";
inline constexpr wchar_t kExportContactsText[] = L"E&xport Contacts...";

class DataSession;
class GroupTabs;

// The user's commands, whether from a button, a capital letter, the tray or
// the tab menu, and what the panels ask of their owner. Each runs its dialog
// over the main window, changes the collections and asks for a save.
class Commands : public PanelOwner {
 public:
  // session and tabs are not owned and outlive the commands.
  Commands(DataSession& session, GroupTabs& tabs);
  Commands(const Commands&) = delete;
  Commands& operator=(const Commands&) = delete;

  // The parent of every dialog and message box (not owned).
  void SetWindow(HWND window) {
    window_ = window;
    importExport_.SetWindow(window);
  }

  // A menu's command (ID_ADD_CONTACT, ID_ADD_GROUP, ID_EDIT_GROUP,
  // ID_DELETE_GROUP, ID_IMPORT_CONTACTS, ID_EXPORT_CONTACTS); false for an id that is not one of the commands'.
  bool Run(int id);

  void AddContact();
  void AddGroup();
  void ChangeOptions();
  // Act on the group whose tab was right-clicked, not the selected one.
  void EditGroup();
  void DeleteGroup();
  void OpenHelp();
  void ShowAbout();
  // Lets the user choose a backup and puts it in place (the current files are
  // backed up first). True when the files on disk were replaced: the caller
  // then reads them in as it reads any file changed outside the program.
  bool RestoreBackup();
  // Files dropped on the window: the import's preview without the file chooser.
  void ImportFiles(const std::vector<std::wstring>& paths) { importExport_.ImportFiles(paths); }

  // PanelOwner: what the group panels ask for.
  bool EditContact(std::int32_t contactId, HWND dialogParent) override;
  void SaveData() override;
  bool LogContact(std::int32_t contactId, HWND dialogParent) override;
  bool ShowHistory(std::int32_t contactId, HWND dialogParent) override;
  bool SnoozeContact(std::int32_t contactId, Snooze choice, HWND dialogParent) override;
  const Journal* ContactJournal() const override;

  // A tick recorded on the contact (it announced WM_CONTACT_UPDATED) and its
  // undo (WM_CONTACT_REVERTED): the journal gets the tick's entry, and the
  // undo removes exactly that entry again. The caller saves.
  void ContactTicked(const Contact& contact);
  void TickUndone(const Contact& contact);

  // Told after a change that may make someone due or not without a model
  // message: the options, a group's interval, an edit, a log entry, a snooze.
  std::function<void()> onStatusesChanged;
  // Called after the Options dialog changed whether or when reminders come,
  // so that they can be scheduled again; may be empty.
  std::function<void()> onRemindersChanged;

 private:
  void Redraw();
  Contact* FindContact(std::int32_t contactId) const;

  DataSession& session_;
  GroupTabs& tabs_;
  HWND window_ = nullptr;  // not owned
  // The time of each contact's last tick that can still be undone.
  std::unordered_map<std::int32_t, Time> ticks_;
  ImportExport importExport_;
};
