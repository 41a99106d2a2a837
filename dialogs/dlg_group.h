#pragma once
// The group dialog: a group's name and its optional defaults for new contacts
// (interval and picture). It only collects the values; the caller stores them.
#include "base/windows_api.h"

#include <cstdint>
#include <string>

#include "controls/image_holder.h"
#include "dialogs/dialog_support.h"
#include "dialogs/unit_list.h"
#include "framework/crackers.h"
#include "framework/dialog.h"
#include "model/contact.h"
#include "resource.h"

class DlgGroup : public CDialogImpl<DlgGroup> {
 public:
  enum { IDD = IDD_GROUP };

  // Add mode: no name, no interval, the default group picture.
  DlgGroup();
  // Edit mode: the group's values.
  DlgGroup(std::wstring name, std::wstring imagePath, IntervalUnit unit, std::int32_t count);

  // Replaces the system's open-file dialog behind Browse.
  void SetPictureChooser(dialogs::PictureChooser chooser) { chooser_ = std::move(chooser); }

  BEGIN_MSG_MAP(DlgGroup)
    MSG_WM_INITDIALOG(OnInitDialog)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnSave)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnCancel)
    COMMAND_HANDLER_EX(IDC_BROWSE, BN_CLICKED, OnBrowse)
    COMMAND_HANDLER_EX(IDC_INTERVAL_UNIT, CBN_SELENDOK, OnUnitChosen)
  END_MSG_MAP()

  // Which constructor made the dialog.
  const bool editMode;
  // Results, valid after IDOK: the arguments of Groups::Add.
  std::wstring name;
  std::wstring imagePath;
  IntervalUnit unit = Days;
  std::int32_t count = 0;  // 0: no default count

 private:
  BOOL OnInitDialog(HWND, LPARAM);
  void OnSave(UINT, int, HWND);
  void OnCancel(UINT, int, HWND);
  void OnBrowse(UINT, int, HWND);
  void OnUnitChosen(UINT, int, HWND) {}

  WTL_EX::ImageHolderCtrl picture_;
  dialogs::UnitTypeAhead typeAhead_;
  HWND unitList_ = nullptr;  // not owned: a child of the dialog
  dialogs::PictureChooser chooser_ = dialogs::SystemPictureChooser();
};
