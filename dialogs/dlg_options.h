#pragma once
// The options dialog: shows, checks and returns the program's five settings
// and the reminder's three; the caller applies them.
#include "base/windows_api.h"

#include <cstdint>
#include <functional>

#include "framework/crackers.h"
#include "framework/dialog.h"
#include "resource.h"

class DlgOptions : public CDialogImpl<DlgOptions> {
 public:
  enum { IDD = IDD_OPTIONS };

  static constexpr std::int32_t kMaxWarnPercent = 99;
  static constexpr std::int32_t kMaxWarnDays = 200;

  BEGIN_MSG_MAP(DlgOptions)
    MSG_WM_INITDIALOG(OnInitDialog)
    COMMAND_HANDLER_EX(IDC_REMIND, BN_CLICKED, OnRemindClicked)
    COMMAND_HANDLER_EX(IDC_ADDRESS_BOOK_SYNC, BN_CLICKED, OnAddressBookSyncClicked)
    COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnAccept)
    COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnCancel)
  END_MSG_MAP()

  // Set by the caller from Options before running; read back after IDOK only.
  bool autoStart = false;
  std::int32_t warnPercent = 75;
  std::int32_t warnDays = 2;
  bool showLastContacted = false;
  bool minimizeToTray = false;
  bool remindersEnabled = true;
  std::int32_t remindAt = 540;    // minutes after local midnight
  std::int32_t dateLeadDays = 3;  // birthdays and dates are named this many days before, 0..30
  // Runs the address book sync's settings, owned by the dialog given; the
  // button is disabled while none is set.
  std::function<void(HWND owner)> openAddressBookSync;

 private:
  BOOL OnInitDialog(HWND, LPARAM);
  void OnRemindClicked(UINT, int, HWND);
  void OnAddressBookSyncClicked(UINT, int, HWND);
  void EnableReminderTime(bool enable);
  void OnAccept(UINT, int, HWND);
  void OnCancel(UINT, int, HWND);
};
