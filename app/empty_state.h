#pragma once
// What the list shows while there is nobody at all: "Nobody here yet." with
// the two ways in, links to the import and to adding a contact, and a word
// on dropping files. A child of the tab control in the place of the panels,
// reached with Tab and read by screen readers like any dialog's controls; it
// goes with the first contact and comes back with the last one's removal.
#include "base/windows_api.h"

#include <utility>
#include <vector>

#include "app/change_feed.h"
#include "framework/crackers.h"
#include "framework/dialog.h"
#include "framework/dpi.h"
#include "framework/handles.h"
#include "resource.h"

class Commands;
class DataSession;
class GroupTabs;

class EmptyState : public CDialogImpl<EmptyState> {
 public:
  enum { IDD = IDD_EMPTY_STATE };

  // session, tabs and commands are not owned and outlive this.
  EmptyState(DataSession& session, GroupTabs& tabs, Commands& commands);
  ~EmptyState() override;
  EmptyState(const EmptyState&) = delete;
  EmptyState& operator=(const EmptyState&) = delete;

  BEGIN_MSG_MAP(EmptyState)
    MSG_WM_INITDIALOG(OnInitDialog)
    MSG_WM_SIZE(OnSize)
    MESSAGE_HANDLER(WM_CTLCOLORDLG, OnColour)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnColour)
    MSG_PLAIN(framework::kDpiChangedAfterParent, FollowDpi)
    NOTIFY_CODE_HANDLER_EX(NM_CLICK, OnLink)
    NOTIFY_CODE_HANDLER_EX(NM_RETURN, OnLink)
  END_MSG_MAP()

  // Made hidden over the tab control's page (tabs: the control, not owned);
  // shown at once when there is nobody.
  bool Make(HWND tabs);
  // Shown when the collection is empty (or will be, once `leaving` contacts
  // go), over the page that the panels fill; the panels come back without it.
  void Follow(int leaving = 0);
  // Fits the page of the tab control.
  void Layout();
  bool Shown() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }

 private:
  BOOL OnInitDialog(HWND focus, LPARAM initParam);
  void OnSize(UINT type, SIZE size);
  LRESULT OnColour(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnLink(NMHDR* header);
  void FollowDpi();
  void OnChange(const Change& change);

  DataSession& session_;
  GroupTabs& tabs_;
  Commands& commands_;
  HWND tabControl_ = nullptr;  // not owned
  UniqueFont titleFont_;
  UniqueBrush background_;
  RECT block_{};                               // the controls' bounding box as the template placed them
  std::vector<std::pair<HWND, RECT>> placed_;  // each control (not owned) where the template put it
  ChangeFeed::Subscription changes_;
};
