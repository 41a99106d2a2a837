#include "dialogs/dlg_contact.h"

#include <richedit.h>

#include <ctime>

#include "dialogs/dialog_support.h"
#include "dialogs/dlg_group.h"
#include "dialogs/notes_rtf.h"

static_assert(sizeof(CHARFORMAT2W) == 116, "the stamp's character format is the wide CHARFORMAT2");

namespace {

// Notes of any length: the control's own limit (32,767 characters) would cut
// longer notes when they are loaded and saved again.
constexpr LPARAM kNotesLimit = 0x7FFFFFFE;

LONG NotesLength(HWND notes) {
  GETTEXTLENGTHEX request{GTL_DEFAULT | GTL_NUMCHARS, 1200};
  const LRESULT length = SendMessageW(notes, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0);
  return length > 0 ? static_cast<LONG>(length) : 0;
}

void SetNotesSelection(HWND notes, LONG from, LONG to) {
  CHARRANGE range{from, to};
  SendMessageW(notes, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

}  // namespace

DlgContact::DlgContact() : editMode(false), intervalTyped_(false), imageChosen_(false) {}

DlgContact::DlgContact(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count,
                       Time lastContacted, std::wstring notes, std::int32_t groupId)
    : editMode(true),
      name(std::move(name)),
      imagePath(std::move(imagePath)),
      unit(unit),
      count(count),
      lastContacted(lastContacted),
      notes(std::move(notes)),
      groupId(groupId),
      intervalTyped_(true),
      imageChosen_(true) {}

BOOL DlgContact::OnInitDialog(HWND, LPARAM) {
  CenterWindow();
  picture_.Attach(::GetDlgItem(m_hWnd, IDC_IMAGE));
  unitList_ = ::GetDlgItem(m_hWnd, IDC_INTERVAL_UNIT);
  groupList_ = ::GetDlgItem(m_hWnd, IDC_GROUP);
  notesEdit_ = ::GetDlgItem(m_hWnd, IDC_NOTES);
  datePicker_ = ::GetDlgItem(m_hWnd, IDC_LAST_CONTACTED);

  dialogs::FillUnitList(unitList_);
  typeAhead_.Install(unitList_);
  ::SendMessageW(notesEdit_, EM_EXLIMITTEXT, 0, kNotesLimit);

  if (editMode) {
    ::SetDlgItemTextW(m_hWnd, IDC_NAME, name.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_INTERVAL_COUNT, std::to_wstring(count).c_str());
    ShowPicture(imagePath);
    SYSTEMTIME local{};
    if (dialogs::ToLocalSystemTime(lastContacted, local))
      ::SendMessageW(datePicker_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local));
    dialogs::SelectUnit(unitList_, unit);
    dialogs::StreamNotesIn(notesEdit_, notes);
    intervalTyped_ = true;
    imageChosen_ = true;
  }
  FillGroupList();
  detailsEditor_.Attach(m_hWnd, details);
  // The picture comes first in the Tab order, as it is seen at the left; typing starts in the name.
  ::SetFocus(::GetDlgItem(m_hWnd, IDC_NAME));
  return FALSE;
}

void DlgContact::OnDestroy() {
  CancelCaretStep();
  SetMsgHandled(false);
}

void DlgContact::FillGroupList() {
  LPARAM selected = 0;
  if (dialogs::SelectedData(groupList_, selected)) groupId = static_cast<std::int32_t>(selected);
  ::SendMessageW(groupList_, CB_RESETCONTENT, 0, 0);
  if (groups) {
    for (const Groups::Item& group : *groups) {
      if (!group) continue;
      const int index = dialogs::AppendEntry(groupList_, group->name, group->id);
      if (index >= 0 && group->id == groupId) {
        dialogs::SelectEntry(groupList_, index);
        ApplyGroupDefaults();
      }
    }
  }
  dialogs::AppendEntry(groupList_, L"Add New Group...", kNewGroupEntry);
}

void DlgContact::ApplyGroupDefaults() {
  LPARAM selected = 0;
  if (!dialogs::SelectedData(groupList_, selected)) return;
  groupId = static_cast<std::int32_t>(selected);
  Groups::Item group;
  if (!groups || !groups->Find(groupId, group) || !group) return;
  if (!intervalTyped_) {
    settingDefaults_ = true;
    dialogs::SelectUnit(unitList_, group->unit);
    if (group->count != 0) ::SetDlgItemTextW(m_hWnd, IDC_INTERVAL_COUNT, std::to_wstring(group->count).c_str());
    settingDefaults_ = false;
  }
  if (!imageChosen_) ShowPicture(group->imagePath);
}

void DlgContact::ShowPicture(const std::wstring& path) {
  picture_.SetImagePath(path);
  picturePath_ = dialogs::FileExists(path) ? path : std::wstring();
}

void DlgContact::OnGroupChosen(UINT, int, HWND) {
  LPARAM selected = 0;
  if (dialogs::SelectedData(groupList_, selected) && selected == kNewGroupEntry) AddNewGroup();
  ApplyGroupDefaults();
}

// Arrow keys on the closed list choose a group too; "Add New Group..." only
// opens its dialog when picked from the open list.
void DlgContact::OnGroupStepped(UINT, int, HWND) {
  if (!::SendMessageW(groupList_, CB_GETDROPPEDSTATE, 0, 0)) ApplyGroupDefaults();
}

void DlgContact::AddNewGroup() {
  if (!groups) return;
  DlgGroup dialog;
  dialog.SetPictureChooser(chooser_);
  if (dialog.DoModal(m_hWnd) != IDOK) return;
  Groups::Item added;
  if (!groups->AddAndGet(dialog.name, dialog.imagePath, dialog.unit, dialog.count, added) || !added) return;
  // Cleared first, or the refill would read the old entry back as the choice.
  dialogs::SelectEntry(groupList_, -1);
  groupId = added->id;
  FillGroupList();
}

void DlgContact::OnIntervalChanged(UINT, int, HWND) {
  if (!settingDefaults_) intervalTyped_ = true;
}

void DlgContact::OnBrowse(UINT, int, HWND) {
  HWND owner = ::GetActiveWindow();
  std::wstring chosen;
  if (!dialogs::BrowseForPicture(owner ? owner : m_hWnd, chooser_, chosen)) return;
  ShowPicture(chosen);
  imageChosen_ = true;
}

void DlgContact::OnNotesFocus(UINT, int, HWND) {
  if (stampInserted_) {
    NotesCaretToEnd();
  } else {
    AddDateStamp();
  }
}

void DlgContact::AddDateStamp() {
  if (::GetWindowTextLengthW(notesEdit_) > 0) AppendNotes(L"\r\n\r\n");
  std::wstring date = platform::LocalDateText(platform::Now());
  if (!date.empty()) date += L':';

  const LONG end = NotesLength(notesEdit_);
  SetNotesSelection(notesEdit_, end, end);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  format.dwEffects = 0;
  format.crTextColor = kStampColour;
  ::SendMessageW(notesEdit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  AppendNotes(date.c_str());
  AppendNotes(L"\r\n");
  SetNotesSelection(notesEdit_, -1, 0);
  QueueCaretStep();
  stampInserted_ = true;
}

void DlgContact::AppendNotes(const wchar_t* text) {
  const LONG end = NotesLength(notesEdit_);
  SetNotesSelection(notesEdit_, end, end);
  ::SendMessageW(notesEdit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

void DlgContact::NotesCaretToEnd() {
  const LONG end = NotesLength(notesEdit_);
  SetNotesSelection(notesEdit_, end, end);
  ::SendMessageW(notesEdit_, EM_SCROLLCARET, 0, 0);
  SetNotesSelection(notesEdit_, -1, 0);
}

// However the focus arrived (a click places the caret after this handler),
// the caret ends below the stamp a moment later.
void DlgContact::QueueCaretStep() {
  caretStep_ = framework::ScheduledTask::After(kCaretStepDelay, [this] { NotesCaretToEnd(); });
}

void DlgContact::CancelCaretStep() { caretStep_.Reset(); }

void DlgContact::OnSave(UINT, int, HWND) {
  const std::wstring typedName = CWindow(GetDlgItem(IDC_NAME)).GetWindowText();
  const std::int32_t typedCount = dialogs::ReadNumber(CWindow(GetDlgItem(IDC_INTERVAL_COUNT)).GetWindowText());
  if (typedName.empty()) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the contact name.");
    return;
  }
  // A negative interval (pasted into the digits-only field) would make the
  // contact overdue for ever.
  if (typedCount <= 0) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the time to contact every.");
    return;
  }
  LPARAM chosenGroup = 0;
  // "Add New Group..." still chosen names no group: the contact would belong nowhere.
  if (!dialogs::SelectedData(groupList_, chosenGroup) || chosenGroup == kNewGroupEntry) {
    dialogs::ShowInputError(m_hWnd, L"Please, select a group.");
    return;
  }
  groupId = static_cast<std::int32_t>(chosenGroup);
  LPARAM chosenUnit = 0;
  if (!dialogs::SelectedData(unitList_, chosenUnit)) {
    dialogs::ShowInputError(m_hWnd, L"Please, specify the unit (Days, Weeks, Months) to contact every.");
    return;
  }
  std::wstring savedNotes;
  if (!dialogs::StreamNotesOut(notesEdit_, savedNotes)) {
    dialogs::ShowInputError(m_hWnd, L"Please, shorten the notes: they could not be read from the window.");
    return;
  }
  // A phone, address or date typed and not yet added is meant to be kept.
  if (!detailsEditor_.TakePending()) return;
  SYSTEMTIME picked{};
  const bool dated = ::SendMessageW(datePicker_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked)) == GDT_VALID;

  name = typedName;
  count = typedCount;
  unit = static_cast<IntervalUnit>(chosenUnit);
  imagePath = picturePath_;
  // A picker that cannot give its date changes nothing rather than go back to 1970.
  if (dated) lastContacted = dialogs::FromLocalSystemTime(picked);
  notes = std::move(savedNotes);
  details = detailsEditor_.Details();
  EndDialog(IDOK);
}

void DlgContact::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }
