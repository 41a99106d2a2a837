#include "app/commands.h"

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "amicord_version.h"
#include "app/data_session.h"
#include "app/group_tabs.h"
#include "app/message_caption.h"
#include "app/reach_out.h"
#include "dialogs/dlg_contact.h"
#include "dialogs/dlg_group.h"
#include "dialogs/dlg_history.h"
#include "dialogs/dlg_log_contact.h"
#include "dialogs/dlg_options.h"
#include "dialogs/dlg_restore_backup.h"
#include "model/backups.h"
#include "model/journal.h"
#include "dialogs/dlg_snooze_date.h"
#include "dialogs/dlg_upcoming.h"
#include "model/important_dates.h"
#include "model/journal_history.h"
#include "model/paths.h"
#include "model/platform.h"
#include "model/snooze.h"
#include "resource.h"

Commands::Commands(DataSession& session, GroupTabs& tabs)
    : session_(session), tabs_(tabs), importExport_(session, tabs), bulk_(session, tabs), addressBook_(session) {}

bool Commands::Run(int id) {
  switch (id) {
    case ID_ADD_CONTACT:
      AddContact();
      return true;
    case ID_ADD_GROUP:
      AddGroup();
      return true;
    case ID_EDIT_GROUP:
      EditGroup();
      return true;
    case ID_DELETE_GROUP:
      DeleteGroup();
      return true;
    case ID_IMPORT_CONTACTS:
      importExport_.Import();
      return true;
    case ID_EXPORT_CONTACTS:
      importExport_.Export();
      return true;
    case ID_UPCOMING_DATES:
      ShowUpcoming();
      return true;
    default:
      return false;
  }
}

void Commands::Changed(Change::Kind kind, const Contact* contact, const Group* group) {
  Change change{kind};
  change.contact = contact;
  change.group = group;
  session_.Tell(change);
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Commands::AddContact() {
  Engine& engine = session_.GetEngine();
  DlgContact dialog;
  dialog.groups = engine.groups;
  dialog.contacts = engine.contacts;
  if (const auto selected = tabs_.SelectedGroupId()) dialog.groupId = *selected;
  if (dialog.DoModal(window_) != IDOK) return;
  engine.contacts->Add(dialog.name, dialog.imagePath, dialog.unit, dialog.count, dialog.lastContacted, dialog.notes,
                       dialog.groupId);
  // The contact was announced as it was added; its details follow as a journal change.
  Contact* added = FindContact(engine.contacts->lastId);
  if (added && !dialog.details.Empty()) {
    engine.journal->SetDetails(added->id, dialog.details);
    Changed(Change::Kind::JournalChanged, added);
  }
  session_.SaveInBackground();
}

bool Commands::EditContact(std::int32_t contactId, HWND dialogParent) {
  Engine& engine = session_.GetEngine();
  Contacts::Item selected;
  if (!engine.contacts->Find(contactId, selected) || !selected) return false;
  DlgContact dialog(selected->name, selected->imagePath, selected->unit, selected->count, selected->lastContacted,
                    selected->notes, selected->groupId);
  dialog.groups = engine.groups;
  dialog.contacts = engine.contacts;
  dialog.details = engine.journal->Details(contactId);
  if (dialog.DoModal(dialogParent) != IDOK) return false;
  // Looked up again: the end of the session can tear windows and rows down
  // while the dialog is open.
  Contacts::Item contact;
  if (!engine.contacts->Find(contactId, contact) || !contact) return false;
  contact->Update(dialog.name, dialog.imagePath, dialog.unit, dialog.count, dialog.lastContacted, dialog.notes,
                  dialog.groupId);
  // Before the change is told: the rows' marks and find texts read them.
  engine.journal->SetDetails(contactId, std::move(dialog.details));
  Change edited{Change::Kind::ContactEdited};
  edited.contact = contact.get();
  session_.Tell(edited);
  session_.SaveInBackground();
  return true;
}

void Commands::AddGroup() {
  DlgGroup dialog;
  if (dialog.DoModal(window_) != IDOK) return;
  // A name already taken (in any letter case) adds nothing; the save still runs.
  session_.GetEngine().groups->Add(dialog.name, dialog.imagePath, dialog.unit, dialog.count);
  session_.SaveInBackground();
}

void Commands::ChangeOptions() {
  Options& options = *session_.GetEngine().options;
  DlgOptions dialog;
  dialog.autoStart = options.autoStart;
  dialog.warnPercent = options.warnPercent;
  dialog.warnDays = options.warnDays;
  dialog.showLastContacted = options.showLastContacted;
  dialog.minimizeToTray = options.minimizeToTray;
  Journal& journal = *session_.GetEngine().journal;
  ReminderSettings reminders = journal.state.reminders;
  dialog.remindersEnabled = reminders.enabled;
  dialog.remindAt = reminders.at;
  dialog.dateLeadDays = reminders.dateLeadDays;
  // The account is stored when its own dialog closes, whichever way Options closes.
  dialog.openAddressBookSync = [this](HWND owner) { addressBook_.Run(owner); };
  if (dialog.DoModal(window_) != IDOK) return;
  options.SetAutoStart(dialog.autoStart);
  options.warnPercent = dialog.warnPercent;
  options.warnDays = dialog.warnDays;
  options.showLastContacted = dialog.showLastContacted;
  options.minimizeToTray = dialog.minimizeToTray;
  // The reminder settings live in the journal, not in options.dat; the day
  // last reminded stays.
  ReminderSettings chosen = reminders;
  chosen.enabled = dialog.remindersEnabled;
  chosen.at = dialog.remindAt;
  chosen.dateLeadDays = dialog.dateLeadDays;
  journal.SetReminders(chosen);
  Changed(Change::Kind::OptionsChanged);
  if (chosen.TimingDiffers(reminders)) session_.Tell(Change{Change::Kind::RemindersChanged});
  session_.SaveInBackground();
}

void Commands::EditGroup() {
  const auto id = tabs_.IdAtHitPoint();
  Groups::Item group;
  if (!id || !session_.GetEngine().groups->Find(*id, group) || !group) return;
  DlgGroup dialog(group->name, group->imagePath, group->unit, group->count);
  if (dialog.DoModal(window_) != IDOK) return;
  group->name = dialog.name;
  group->imagePath = dialog.imagePath;
  group->unit = dialog.unit;
  group->count = dialog.count;
  session_.SaveInBackground();
  Changed(Change::Kind::GroupEdited, nullptr, group.get());
}

void Commands::DeleteGroup() {
  const auto id = tabs_.IdAtHitPoint();
  Groups::Item group;
  if (!id || !session_.GetEngine().groups->Find(*id, group) || !group) return;
  const std::wstring text = L"Delete group \"" + group->name + L"\" and all its contacts?";
  if (::MessageBoxW(window_, text.c_str(), L"Delete group?", MB_YESNO) != IDYES) return;
  session_.GetEngine().groups->Remove(*id);
  session_.SaveInBackground();
}

void Commands::OpenHelp() {
  const std::wstring path = paths::ProgramFolder() + kHelpFileName;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(window_, L"open", path.c_str(), nullptr, nullptr, SW_SHOW));
  if (result <= 32) {
    const std::wstring text = L"The user guide could not be opened:\n" + path;
    ::MessageBoxW(window_, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
  }
}

void Commands::ShowAbout() {
  const std::wstring text =
      L"Amicord - Personal Relationship Manager\nVersion " AMICORD_VERSION_TEXT_W L"\n\nYour data is kept in:\n" +
      session_.DataFolder();
  ::MessageBoxW(window_, text.c_str(), kAboutText, MB_OK | MB_ICONINFORMATION);
}

void Commands::ShowUpcoming() {
  const Engine& engine = session_.GetEngine();
  const CalendarDay today = LocalCalendarDay(platform::Now());
  DlgUpcoming dialog;
  dialog.dates = UpcomingDates(*engine.contacts, *engine.journal, today, DlgUpcoming::DaysAhead(today));
  if (dialog.DoModal(window_) != IDOK || dialog.chosen < 0) return;
  EditContact(dialog.chosen, window_);
}

bool Commands::RestoreBackup() {
  // The backups are listed, and the files put back, from what is on disk.
  session_.SavePending();
  const Engine& engine = session_.GetEngine();
  Backups backups(engine.FilePaths());
  const std::vector<BackupInfo> listed = backups.List();
  DlgRestoreBackup dialog;
  for (const BackupInfo& backup : listed) {
    const platform::LocalTime made = platform::ToLocalTime(backup.made);
    dialog.entries.push_back({DlgRestoreBackup::Describe(made.year, made.month, made.day, made.hour, made.minute,
                                                         backup.readable, backup.groups, backup.contacts),
                              backup.readable});
  }
  if (dialog.DoModal(window_) != IDOK || dialog.chosen < 0) return false;
  std::wstring reason;
  if (backups.Restore(listed[static_cast<std::size_t>(dialog.chosen)], reason)) {
    session_.Tell(Change{Change::Kind::FilesRestored});
    return true;
  }
  const std::wstring text = L"Amicord could not restore the backup.\n\n" + reason +
                            L"\n\nYour data is as it was before.";
  ::MessageBoxW(window_, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
  return false;
}

Contact* Commands::FindContact(std::int32_t contactId) const {
  Contacts::Item found;
  if (!session_.GetEngine().contacts->Find(contactId, found)) return nullptr;
  return found.get();
}

void Commands::ReachOut(std::int32_t contactId, Reach how, std::size_t index, HWND dialogParent) {
  const ContactDetails& details = session_.GetEngine().journal->Details(contactId);
  // Copied: the message box's loop may let the journal change underneath.
  if (how == Reach::Call && index < details.phones.size()) {
    const std::wstring number = details.phones[index].number;
    reach::Call(dialogParent, number);
  } else if (how == Reach::Email && index < details.emails.size()) {
    const std::wstring address = details.emails[index].address;
    reach::Email(dialogParent, address);
  }
}

const Journal* Commands::ContactJournal() const { return session_.GetEngine().journal.get(); }

bool Commands::LogContact(std::int32_t contactId, HWND dialogParent) {
  const Contact* shown = FindContact(contactId);
  if (!shown) return false;
  DlgLogContact dialog;
  dialog.now = platform::Now();
  dialog.forWhom = shown->name;
  if (dialog.DoModal(dialogParent) != IDOK) return false;
  // Looked up again: the session may have ended while the dialog was open.
  Contact* contact = FindContact(contactId);
  if (!contact) return false;
  ::LogContact(*session_.GetEngine().journal, *contact, dialog.when, dialog.text);
  session_.SaveInBackground();
  Changed(Change::Kind::JournalChanged, contact);
  return true;
}

bool Commands::ShowHistory(std::int32_t contactId, HWND dialogParent) {
  const Contact* shown = FindContact(contactId);
  if (!shown) return false;
  Journal& journal = *session_.GetEngine().journal;
  DlgHistory dialog;
  dialog.name = shown->name;
  dialog.entries = journal.Entries(contactId);
  dialog.now = platform::Now();
  dialog.DoModal(dialogParent);
  Contact* contact = FindContact(contactId);
  if (!contact || dialog.deleted.empty()) return false;
  DeleteEntries(journal, *contact, dialog.deleted);
  session_.SaveInBackground();
  Changed(Change::Kind::JournalChanged, contact);
  return true;
}

bool Commands::SnoozeContact(std::int32_t contactId, SnoozeChoice choice, HWND dialogParent) {
  if (!FindContact(contactId)) return false;
  const Time now = platform::Now();
  std::optional<Time> until = SnoozeEnd(choice, now);
  if (!until) {
    DlgSnoozeDate dialog;
    dialog.now = now;
    if (dialog.DoModal(dialogParent) != IDOK || !FindContact(contactId)) return false;
    until = dialog.until;
  }
  session_.GetEngine().journal->Snooze(contactId, *until);
  session_.SaveInBackground();
  Changed(Change::Kind::JournalChanged, FindContact(contactId));
  return true;
}

bool Commands::TickContacts(const std::vector<std::int32_t>& ids) { return bulk_.Tick(ids, platform::Now()); }

bool Commands::LogContacts(const std::vector<std::int32_t>& ids, HWND dialogParent) {
  return bulk_.Log(ids, dialogParent);
}

bool Commands::SnoozeContacts(const std::vector<std::int32_t>& ids, SnoozeChoice choice, HWND dialogParent) {
  return bulk_.Snooze(ids, choice, dialogParent);
}

bool Commands::MoveContacts(const std::vector<std::int32_t>& ids, std::int32_t groupId) {
  return bulk_.Move(ids, groupId);
}

bool Commands::ExportContacts(const std::vector<std::int32_t>& ids, HWND dialogParent) {
  return bulk_.Export(ids, dialogParent);
}

bool Commands::DeleteContacts(const std::vector<std::int32_t>& ids) { return bulk_.Delete(ids); }
