#pragma once
// A contact list inside a hidden host that reflects notifications the way the
// group panel does, with the collections and a notification receiver that
// reacts like the main window (rows follow additions and removals, ticks and
// undos show and hide the link).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "framework/scheduler.h"
#include "framework/window.h"
#include "lists/group_entry_list_view.h"
#include "lists/thumbnail_cache.h"
#include "model/messages.h"
#include "tests/common/message_recorder.h"

namespace test {

constexpr Time kDay = 86400;
// Thursday 2026-12-03 12:00:00 UTC: the clock every list test reads.
constexpr Time kNow = 1796299200;

class ListHost : public CWindowImpl<ListHost> {
 public:
  DECLARE_WND_CLASS(L"Amicord.Test.ListHost")
  std::vector<WPARAM> commands;  // WM_COMMANDs that reached the host

  BEGIN_MSG_MAP(ListHost)
    MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&) {
    commands.push_back(wParam);
    return 0;
  }
};

// The panel template's list: report view, several rows selectable, owner-drawn
// fixed rows, rows held by the program, no header.
constexpr DWORD kListStyle = 0x50815C01;
constexpr int kListWidth = 580;
constexpr int kListHeight = 380;

class ListFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const RECT frame{0, 0, kListWidth + 40, kListHeight + 40};
    ASSERT_TRUE(host.Create(nullptr, frame, L"host", WS_POPUP));
    HWND raw = CreateWindowExW(0, WC_LISTVIEWW, L"", kListStyle, 0, 0, kListWidth, kListHeight, host,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(1014)), GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(raw);
    ASSERT_TRUE(list.SubclassWindow(raw));
    list.InsertColumn(0, L"Contact", LVCFMT_LEFT, 600);
    list.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
    list.SetColumnSortType(0, LVCOLSORT_CUSTOM);
    list.SetCollections(groups, contacts);
    list.SetThumbnails(&thumbnails);
    list.SetClock([this] { return now; });
    contacts->notifyWindow = recorder.window();
    groups->notifyWindow = recorder.window();
    recorder.OnMessage([this](MessageId message, MessageParam wParam) {
      auto* contact = reinterpret_cast<Contact*>(wParam);
      if (message == WM_CONTACT_ADDED) list.InsertContactRow(*contact);
      if (message == WM_CONTACT_REMOVED) list.DeleteItem(list.FindRow(contact->id));
      if (message == WM_CONTACT_UPDATED) list.ShowUndo(*contact);
      if (message == WM_CONTACT_REVERTED) list.HideUndo(*contact);
    });
  }

  void TearDown() override {
    if (host.IsWindow()) host.DestroyWindow();
  }

  std::int32_t AddGroup(const std::wstring& name) {
    Groups::Item added;
    groups->AddAndGet(name, L"", Days, 0, added);
    return added ? added->id : -1;
  }

  // A contact whose interval is `interval` days, last contacted `daysAgo` days
  // (and a few hours) before the test clock.
  Contact& AddContact(const std::wstring& name, std::int32_t interval, std::int32_t daysAgo, std::int32_t groupId = -1,
                      const std::wstring& imagePath = L"") {
    contacts->Add(name, imagePath, Days, interval, now - daysAgo * kDay - 3600, L"", groupId);
    return *contacts->items.back();
  }

  std::vector<std::wstring> RowNames() const {
    std::vector<std::wstring> names;
    for (int row = 0; row < list.GetItemCount(); ++row) names.push_back(list.RowContact(row)->name);
    return names;
  }

  // Runs the interface thread's messages until done() or the deadline.
  template <class Done>
  static bool PumpUntil(Done done, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }

  Time now = kNow;
  // Deferred work (the un-tick a second after a tick) waits for Advance.
  framework::ManualScheduler scheduler;
  framework::ScopedUiScheduler useScheduler{scheduler};
  lists::ThumbnailCache thumbnails{32, 32};
  ListHost host;
  GroupEntryListView list;
  boost::shared_ptr<Groups> groups{new Groups};
  boost::shared_ptr<Contacts> contacts{new Contacts};
  MessageRecorder recorder;
};

}  // namespace test
