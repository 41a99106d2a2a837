#include "app/commands.h"

#include <shellapi.h>

#include <string>

#include "amicord_version.h"
#include "app/data_session.h"
#include "app/group_tabs.h"
#include "dialogs/dlg_contact.h"
#include "dialogs/dlg_group.h"
#include "dialogs/dlg_options.h"
#include "model/platform.h"
#include "resource.h"

namespace {

constexpr wchar_t kMessageCaption[] = L"Amicord";

}  // namespace

Commands::Commands(DataSession& session, GroupTabs& tabs) : session_(session), tabs_(tabs) {}

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
    default:
      return false;
  }
}

void Commands::SaveData() { session_.SaveAll(); }

void Commands::Redraw() {
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
  session_.SaveAll();
}

bool Commands::EditContact(std::int32_t contactId, HWND dialogParent) {
  Engine& engine = session_.GetEngine();
  Contacts::Item selected;
  if (!engine.contacts->Find(contactId, selected) || !selected) return false;
  DlgContact dialog(selected->name, selected->imagePath, selected->unit, selected->count, selected->lastContacted,
                    selected->notes, selected->groupId);
  dialog.groups = engine.groups;
  dialog.contacts = engine.contacts;
  if (dialog.DoModal(dialogParent) != IDOK) return false;
  // Looked up again: the end of the session can tear windows and rows down
  // while the dialog is open.
  Contacts::Item contact;
  if (!engine.contacts->Find(contactId, contact) || !contact) return false;
  contact->Update(dialog.name, dialog.imagePath, dialog.unit, dialog.count, dialog.lastContacted, dialog.notes,
                  dialog.groupId);
  // A new name or new notes may let the contact through the find filter, or not.
  tabs_.Refilter(contactId);
  return true;
}

void Commands::AddGroup() {
  DlgGroup dialog;
  if (dialog.DoModal(window_) != IDOK) return;
  // A name already taken (in any letter case) adds nothing; the save still runs.
  session_.GetEngine().groups->Add(dialog.name, dialog.imagePath, dialog.unit, dialog.count);
  session_.SaveAll();
}

void Commands::ChangeOptions() {
  Options& options = *session_.GetEngine().options;
  DlgOptions dialog;
  dialog.autoStart = options.autoStart;
  dialog.warnPercent = options.warnPercent;
  dialog.warnDays = options.warnDays;
  dialog.showLastContacted = options.showLastContacted;
  dialog.minimizeToTray = options.minimizeToTray;
  if (dialog.DoModal(window_) != IDOK) return;
  options.SetAutoStart(dialog.autoStart);
  options.warnPercent = dialog.warnPercent;
  options.warnDays = dialog.warnDays;
  options.showLastContacted = dialog.showLastContacted;
  options.minimizeToTray = dialog.minimizeToTray;
  // Saved with the next change or at exit, like the window's place.
  tabs_.ApplyDisplaySettings();
  Redraw();
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
  session_.SaveAll();
  tabs_.RenameGroup(*group);
  Redraw();
}

void Commands::DeleteGroup() {
  const auto id = tabs_.IdAtHitPoint();
  Groups::Item group;
  if (!id || !session_.GetEngine().groups->Find(*id, group) || !group) return;
  const std::wstring text = L"Delete group \"" + group->name + L"\" and all its contacts?";
  if (::MessageBoxW(window_, text.c_str(), L"Delete group?", MB_YESNO) != IDYES) return;
  session_.GetEngine().groups->Remove(*id);
  session_.SaveAll();
}

void Commands::OpenHelp() {
  std::wstring path = platform::ExecutablePath();
  path.erase(path.find_last_of(platform::PathSeparator()) + 1);  // npos + 1: nothing is left
  path += kHelpFileName;
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteW(window_, L"open", path.c_str(), nullptr, nullptr, SW_SHOW));
  if (result <= 32) {
    const std::wstring text = L"The user guide could not be opened:\n" + path;
    ::MessageBoxW(window_, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
  }
}

void Commands::ShowAbout() {
  const std::wstring text = L"Amicord - Personal Relationship Manager\nVersion " AMICORD_VERSION_TEXT_W
                            L"\n\nYour data is kept in:\n" +
                            session_.DataFolder();
  ::MessageBoxW(window_, text.c_str(), kAboutText, MB_OK | MB_ICONINFORMATION);
}
