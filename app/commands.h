#pragma once
#include "base/windows_api.h"

#include <cstdint>
#include <string>
#include <vector>

#include "app/address_book_setup.h"
#include "app/bulk_actions.h"
#include "app/change_feed.h"
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
// The system menu's and the tray menu's entry for ShowUpcoming.
inline constexpr wchar_t kUpcomingDatesText[] = L"&Upcoming Dates...";

class DataSession;
class GroupTabs;

// The user's commands, whether from a button, a capital letter, the tray or
// the tab menu, and what the panels ask of their owner. Each runs its dialog
// over the main window, makes its change through the model, tells the
// session's change feed what the model did not announce, and asks for a save.
// The save is written by the writer thread: with years of notes a write takes
// a fifth of a second, and the window answers meanwhile (a failure is told
// once it is known).
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
    bulk_.SetWindow(window);
  }

  // A menu's command (ID_ADD_CONTACT, ID_ADD_GROUP, ID_EDIT_GROUP,
  // ID_DELETE_GROUP, ID_IMPORT_CONTACTS, ID_EXPORT_CONTACTS,
  // ID_UPCOMING_DATES); false for an id that is not one of the commands'.
  bool Run(int id);

  void AddContact();
  void AddGroup();
  void ChangeOptions();
  // Act on the group whose tab was right-clicked, not the selected one.
  void EditGroup();
  void DeleteGroup();
  void OpenHelp();
  void ShowAbout();
  // The coming twelve months' dates; the one chosen opens as the row's Open does.
  void ShowUpcoming();
  // Lets the user choose a backup and puts it in place (the current files are
  // backed up first). True when the files on disk were replaced; the session
  // is then told (FilesRestored), and they are read in as any file changed
  // outside the program.
  bool RestoreBackup();
  // Files dropped on the window: the import's preview without the file chooser.
  void ImportFiles(const std::vector<std::wstring>& paths) { importExport_.ImportFiles(paths); }
  // The background sync that Options' address book settings tell of their
  // changes (not owned; null: none, and Sync Now is disabled there).
  void SetSyncControl(SyncControl* control) { addressBook_.SetSyncControl(control); }

  // PanelOwner: what the group panels ask for.
  bool EditContact(std::int32_t contactId, HWND dialogParent) override;
  bool LogContact(std::int32_t contactId, HWND dialogParent) override;
  bool ShowHistory(std::int32_t contactId, HWND dialogParent) override;
  bool SnoozeContact(std::int32_t contactId, SnoozeChoice choice, HWND dialogParent) override;
  void ReachOut(std::int32_t contactId, Reach how, std::size_t index, HWND dialogParent) override;
  bool TickContacts(const std::vector<std::int32_t>& ids) override;
  bool LogContacts(const std::vector<std::int32_t>& ids, HWND dialogParent) override;
  bool SnoozeContacts(const std::vector<std::int32_t>& ids, SnoozeChoice choice, HWND dialogParent) override;
  bool MoveContacts(const std::vector<std::int32_t>& ids, std::int32_t groupId) override;
  bool ExportContacts(const std::vector<std::int32_t>& ids, HWND dialogParent) override;
  bool DeleteContacts(const std::vector<std::int32_t>& ids) override;
  const Journal* ContactJournal() const override;

 private:
  // Tells the feed and repaints the window: statuses may read differently now.
  void Changed(Change::Kind kind, const Contact* contact = nullptr, const Group* group = nullptr);
  Contact* FindContact(std::int32_t contactId) const;

  DataSession& session_;
  GroupTabs& tabs_;
  HWND window_ = nullptr;  // not owned
  ImportExport importExport_;
  BulkActions bulk_;
  AddressBookSetup addressBook_;
};
