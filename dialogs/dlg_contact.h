#pragma once
// The contact dialog: creates a contact or changes one. It only collects the
// values and hands them back; the one change it makes to the data itself is a
// group added through "Add New Group...".
#include "base/windows_api.h"

#include <chrono>
#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>

#include "controls/image_holder.h"
#include "dialogs/contact_details_editor.h"
#include "dialogs/dialog_support.h"
#include "dialogs/unit_list.h"
#include "framework/crackers.h"
#include "framework/dialog.h"
#include "framework/scheduler.h"
#include "model/contact_details.h"
#include "model/contacts.h"
#include "model/groups.h"
#include "model/platform.h"
#include "resource.h"

class DlgContact : public CDialogImpl<DlgContact> {
 public:
  enum { IDD = IDD_CONTACT };

  // Data of the group list's last entry, "Add New Group...": no group has it.
  static constexpr std::int32_t kNewGroupEntry = -1;
  // Colour of the date stamp added to the notes: a very dark blue.
  static constexpr COLORREF kStampColour = RGB(0x11, 0x11, 0x55);
  // How long after the notes take the focus the caret steps below the stamp.
  static constexpr std::chrono::milliseconds kCaretStepDelay{10};

  // Add mode: empty fields; set groupId before running to preselect a group.
  DlgContact();
  // Edit mode: the contact's values; they stay unless the user changes them,
  // also when another group is chosen.
  DlgContact(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count, Time lastContacted,
             std::wstring notes, std::int32_t groupId);

  // Replaces the system's open-file dialog behind Browse (here and in the
  // group dialog of "Add New Group...").
  void SetPictureChooser(dialogs::PictureChooser chooser) { chooser_ = std::move(chooser); }

  BEGIN_MSG_MAP(DlgContact)
    MSG_WM_INITDIALOG(OnInitDialog)
    MSG_WM_DESTROY(OnDestroy)
    MSG_WM_CHAR(OnChar)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnSave)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnCancel)
    COMMAND_HANDLER_EX(IDC_BROWSE, BN_CLICKED, OnBrowse)
    COMMAND_HANDLER_EX(IDC_INTERVAL_COUNT, EN_CHANGE, OnIntervalChanged)
    COMMAND_HANDLER_EX(IDC_GROUP, CBN_SELENDOK, OnGroupChosen)
    COMMAND_HANDLER_EX(IDC_GROUP, CBN_SELCHANGE, OnGroupStepped)
    COMMAND_HANDLER_EX(IDC_NOTES, EN_SETFOCUS, OnNotesFocus)
    COMMAND_RANGE_HANDLER_EX(IDC_DETAIL_FIRST, IDC_DETAIL_LAST, OnDetailCommand)
    NOTIFY_HANDLER_EX(IDC_DETAILS, LVN_ITEMCHANGED, OnDetailNotify)
    NOTIFY_HANDLER_EX(IDC_DETAILS, LVN_KEYDOWN, OnDetailNotify)
  END_MSG_MAP()

  const bool editMode;
  // Set by the caller before running: the group list's source and the target
  // of "Add New Group...". The contacts are held for the caller, not used.
  boost::shared_ptr<Groups> groups;
  boost::shared_ptr<Contacts> contacts;

  // Results, valid after IDOK: the arguments of Contacts::Add and Contact::Update.
  std::wstring name;
  std::wstring imagePath;
  IntervalUnit unit = Days;
  std::int32_t count = 0;
  Time lastContacted = 0;
  std::wstring notes;  // RTF
  std::int32_t groupId = -1;
  // In and out: the phones, e-mail addresses and dates, kept in the journal
  // rather than with the contact. What the dialog has no field for stays.
  ContactDetails details;

  // The editing part of the details, for tests.
  const dialogs::ContactDetailsEditor& DetailsEditor() const { return detailsEditor_; }

 private:
  BOOL OnInitDialog(HWND, LPARAM);
  void OnDestroy();
  void OnChar(UINT, UINT, UINT) {}
  void OnSave(UINT, int, HWND);
  void OnCancel(UINT, int, HWND);
  void OnBrowse(UINT, int, HWND);
  void OnIntervalChanged(UINT, int, HWND);
  void OnGroupChosen(UINT, int, HWND);
  void OnGroupStepped(UINT, int, HWND);
  void OnNotesFocus(UINT, int, HWND);
  void OnDetailCommand(UINT code, int id, HWND) { detailsEditor_.OnCommand(code, id); }
  LRESULT OnDetailNotify(NMHDR* header) {
    detailsEditor_.OnNotify(*header);
    return 0;
  }

  void FillGroupList();
  void ApplyGroupDefaults();
  void ShowPicture(const std::wstring& path);
  void AddNewGroup();
  void AddDateStamp();
  void AppendNotes(const wchar_t* text);
  void NotesCaretToEnd();
  void QueueCaretStep();
  void CancelCaretStep();

  WTL_EX::ImageHolderCtrl picture_;
  dialogs::UnitTypeAhead typeAhead_;
  dialogs::ContactDetailsEditor detailsEditor_;
  // Children of the dialog, not owned.
  HWND unitList_ = nullptr;
  HWND groupList_ = nullptr;
  HWND notesEdit_ = nullptr;
  HWND datePicker_ = nullptr;

  // The path of the picture the well shows (empty: none); the holder itself
  // keeps an older path when a file is missing.
  std::wstring picturePath_;
  dialogs::PictureChooser chooser_ = dialogs::SystemPictureChooser();

  bool intervalTyped_;
  bool settingDefaults_ = false;
  bool imageChosen_;
  bool stampInserted_ = false;
  framework::ScheduledTask caretStep_;
};
