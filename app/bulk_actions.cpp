#include "app/bulk_actions.h"

#include <optional>
#include <string>

#include "app/data_session.h"
#include "app/file_choosers.h"
#include "app/group_tabs.h"
#include "app/message_caption.h"
#include "dialogs/dlg_log_contact.h"
#include "dialogs/dlg_snooze_date.h"
#include "interchange/import_files.h"
#include "lists/selection_texts.h"
#include "model/contact_batches.h"

BulkActions::BulkActions(DataSession& session, GroupTabs& tabs) : session_(session), tabs_(tabs) {}

// In the background: at thousands of people, writing the files while the
// window waited was most of the time a bulk action took. A failure is told
// when the writer reports, as for a tick.
void BulkActions::SaveOnce() {
  if (window_) {
    MSG pending{};
    while (::PeekMessageW(&pending, window_, WM_SAVE_AFTER_REMOVAL, WM_SAVE_AFTER_REMOVAL, PM_REMOVE)) {
    }
  }
  session_.SaveInBackground();
}

void BulkActions::JournalChanged() {
  session_.Tell(Change{Change::Kind::JournalChanged});
  if (window_) ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// The lists do not draw while the rows change: each person's tick would
// otherwise paint its rows, and give a link window to rows out of sight.
bool BulkActions::Tick(const std::vector<std::int32_t>& ids, Time now) {
  tabs_.SetListsRedraw(false);
  const std::size_t ticked = MarkContacted(*session_.GetEngine().contacts, ids, now, [this](const Contact& contact) {
    Change ticked{Change::Kind::ContactTicked};
    ticked.contact = &contact;
    session_.Tell(ticked);
  });
  tabs_.SetListsRedraw(true);
  if (ticked == 0) return false;
  SaveOnce();
  return true;
}

bool BulkActions::Log(const std::vector<std::int32_t>& ids, HWND dialogParent) {
  if (ids.empty()) return false;
  DlgLogContact dialog;
  dialog.now = platform::Now();
  dialog.forWhom = lists::PeopleCount(ids.size());
  if (dialog.DoModal(dialogParent) != IDOK) return false;
  Engine& engine = session_.GetEngine();
  // Those gone while the dialog was open are skipped.
  if (LogContacts(*engine.journal, *engine.contacts, ids, dialog.when, dialog.text) == 0) return false;
  SaveOnce();
  JournalChanged();
  return true;
}

bool BulkActions::Snooze(const std::vector<std::int32_t>& ids, SnoozeChoice choice, HWND dialogParent) {
  if (ids.empty()) return false;
  const Time now = platform::Now();
  std::optional<Time> until = SnoozeEnd(choice, now);
  if (!until) {
    DlgSnoozeDate dialog;
    dialog.now = now;
    if (dialog.DoModal(dialogParent) != IDOK) return false;
    until = dialog.until;
  }
  Engine& engine = session_.GetEngine();
  if (SnoozeContacts(*engine.journal, *engine.contacts, ids, *until) == 0) return false;
  SaveOnce();
  JournalChanged();
  return true;
}

bool BulkActions::Move(const std::vector<std::int32_t>& ids, std::int32_t groupId) {
  Groups::Item group;
  if (!session_.GetEngine().groups->Find(groupId, group)) return false;
  tabs_.SetListsRedraw(false);
  const std::size_t moved = MoveToGroup(*session_.GetEngine().contacts, ids, groupId);
  tabs_.SetListsRedraw(true);
  if (moved == 0) return false;
  SaveOnce();
  return true;
}

bool BulkActions::Export(const std::vector<std::int32_t>& ids, HWND dialogParent) {
  const Engine& engine = session_.GetEngine();
  Contacts chosen;
  for (std::int32_t id : ids) {
    Contacts::Item contact;
    if (engine.contacts->Find(id, contact) && contact) chosen.items.push_back(contact);
  }
  if (chosen.items.empty()) return false;
  const std::optional<ExportTarget> target = CurrentFileChoosers().chooseExportFile(dialogParent, std::wstring());
  if (!target) return false;
  interchange::ExportOptions options;
  options.now = platform::Now();
  options.warnPercent = engine.options->warnPercent;
  options.warnDays = engine.options->warnDays;
  std::wstring reason;
  if (interchange::WriteExportFile(target->path, interchange::ExportTypeFor(target->path), chosen, *engine.groups,
                                   options, reason))
    return true;
  const std::wstring text = L"Amicord could not write the file.\n\n" + target->path + L"\n" + reason;
  ::MessageBoxW(dialogParent, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
  return false;
}

bool BulkActions::Delete(const std::vector<std::int32_t>& ids) {
  if (session_.RemoveContacts(ids) == 0) return false;
  SaveOnce();
  return true;
}
