#pragma once
// The find field above the tabs: what is typed there filters the lists to
// the contacts whose name or notes hold it, the selected tab's list at once
// and each other list when its tab is selected. Esc clears it; Enter opens
// the first row's contact.
#include "base/windows_api.h"

#include <chrono>
#include <cstddef>
#include <string>

#include <boost/shared_ptr.hpp>

#include "app/change_feed.h"
#include "framework/scheduler.h"
#include "model/contacts.h"

class DataSession;
class GroupTabs;

class FindBar {
 public:
  static constexpr wchar_t kCueText[] = L"Find (Ctrl+F)";

  // session and tabs are not owned and outlive the bar.
  FindBar(DataSession& session, GroupTabs& tabs);
  ~FindBar();
  FindBar(const FindBar&) = delete;
  FindBar& operator=(const FindBar&) = delete;

  // The main window's field (not owned). The contacts' texts for finding are
  // made from then on, and again for data read anew or imported.
  void Attach(HWND field);
  HWND Field() const { return field_; }

  // The field's text changed (EN_CHANGE).
  void OnTextChanged();
  // Puts the keyboard focus in the field, its text selected.
  void Focus();
  // Empties the field, which shows every row again.
  void Clear();
  // Opens the contact of the selected list's first row; false when it has none.
  bool OpenFirst();

  // Makes the contacts' texts for finding (Contact::Texts) a batch at a time
  // in the UI thread's idle moments after the start, so that the first
  // keystroke finds them made.
  void PrepareTexts(boost::shared_ptr<const Contacts> contacts);

 private:
  // A batch ends after this many contacts or this long, whichever comes
  // first: the window answers between batches, and long notes cost more.
  static constexpr std::size_t kBatch = 100;
  static constexpr std::chrono::microseconds kBatchTime{4000};

  void PrepareBatch();

  DataSession& session_;
  GroupTabs& tabs_;
  HWND field_ = nullptr;  // not owned
  boost::shared_ptr<const Contacts> preparing_;
  std::size_t nextToPrepare_ = 0;
  framework::Scheduler* scheduler_ = nullptr;  // not owned: the one asked, for every batch
  framework::ScheduledTask task_;
  ChangeFeed::Subscription changes_;
};
