// Removing many contacts at once: a group of half of them, and several people
// selected together (with a contact recorded for all of them first).
#include "base/windows_api.h"
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "bench/app_scale_common.h"
#include "model/platform.h"

namespace scale {

// Deleting a group that holds half of the contacts, as the command does after
// "Yes": the group removed and saved, then whatever that left queued (given
// 90 s at most). Long-time data: 50 journal entries a contact.
void MeasureGroupDeletion(int contacts) {
  const std::filesystem::path folder = std::filesystem::path(platform::ExecutablePath()).parent_path() / L"settings";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  {
    Engine engine;
    engine.groups->Add(L"Half", L"", Days, 7);
    engine.groups->Add(L"Others", L"", Days, 7);
    const Time now = platform::Now();
    for (int c = 0; c < contacts; ++c)
      engine.contacts->Add(L"Contact " + std::to_wstring(c), L"", Days, 7, now - (c % 45) * 86400, L"", 1 + c % 2);
    for (const auto& contact : *engine.contacts)
      for (int k = 1; k < 50; ++k) engine.journal->Record(contact->id, contact->lastContacted - k * 7 * 86400);
    engine.Save();
  }
  auto window = std::make_unique<DlgCorvane>();
  window->Create(nullptr);
  ShowWindow(window->m_hWnd, SW_SHOWNA);
  UpdateWindow(window->m_hWnd);
  Pump();
  DataSession& session = window->SessionForTesting();
  const int savesBefore = session.SaveCount();
  double busyMs = 0;
  const auto start = Clock::now();
  double removedMs = 0;
  {
    BusyProbe probe(window->m_hWnd);
    Sleep(20);
    const auto removing = Clock::now();
    session.GetEngine().groups->Remove(1);
    session.SaveAll();
    removedMs = MillisecondsSince(removing);
    MSG message{};
    while (MillisecondsSince(start) < 90000 &&
           (session.HasPendingSave() || PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      Pump();
    }
    busyMs = probe.Stop();
  }
  const double doneMs = MillisecondsSince(start) - 20;
  std::printf(
      "  deleting a group of %d of %d contacts: removed and saved in %.0f ms, everything done in %.0f ms%s; "
      "%d saves; the window's thread busy at most %.0f ms at a stretch; %d rows left\n",
      (contacts + 1) / 2, contacts, removedMs, doneMs, MillisecondsSince(start) >= 90000 ? " (cut off at 90 s)" : "",
      session.SaveCount() - savesBefore, busyMs, window->TabsForTesting().AllPanel()->List().GetItemCount());
  std::fflush(stdout);
  DestroyWindow(window->m_hWnd);
  window.reset();
  Pump();
  std::filesystem::remove_all(folder);
}

namespace {

// Several people at once: Ctrl+A in the "All" list of `contacts`, a contact
// recorded for all of them (the journal entries, the links, the one save),
// and `deleted` of them selected and deleted after the one question. Each is
// one message to the window, so the time it takes is also the longest the
// window is busy.
HHOOK answerHook = nullptr;

LRESULT CALLBACK AnswerYes(int code, WPARAM wParam, LPARAM lParam) {
  HWND box = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && GetDlgItem(box, 0xFFFF)) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
  return CallNextHookEx(answerHook, code, wParam, lParam);
}

void HoldControl(bool held) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

}  // namespace

void MeasureSelection(int contacts, int deleted) {
  const std::filesystem::path folder = std::filesystem::path(platform::ExecutablePath()).parent_path() / L"settings";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  {
    Engine engine;
    for (int g = 1; g <= 20; ++g) engine.groups->Add(L"Group " + std::to_wstring(g), L"", Days, 7);
    const Time now = platform::Now();
    for (int c = 0; c < contacts; ++c)
      engine.contacts->Add(L"Contact " + std::to_wstring(c), L"", Days, 1 + c % 30, now - (c % 45) * 86400, L"",
                           1 + c % 20);
    engine.Save();
  }
  auto window = std::make_unique<DlgCorvane>();
  window->Create(nullptr);
  ShowWindow(window->m_hWnd, SW_SHOWNA);
  RedrawWindow(window->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  DlgGroupEntry& all = *window->TabsForTesting().AllPanel();
  GroupEntryListView& list = all.List();
  DataSession& session = window->SessionForTesting();

  SetFocus(list);
  HoldControl(true);
  auto start = Clock::now();
  list.SendMessage(WM_KEYDOWN, 'A', 1);
  const double selectMs = MillisecondsSince(start);
  HoldControl(false);
  const int selected = list.SelectedCount();

  const int savesBefore = session.SaveCount();
  start = Clock::now();
  SendMessageW(all.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CONTACT_CONTACTED, 0), 0);
  const double tickMs = MillisecondsSince(start);
  start = Clock::now();
  UpdateWindow(list);
  const double paintMs = MillisecondsSince(start);
  const int tickSaves = session.SaveCount() - savesBefore;
  const int windowsAfterTick = ThreadWindows();

  std::vector<std::int32_t> ids;
  for (int row = 0; row < deleted && row < list.RowCount(); ++row) ids.push_back(list.RowContact(row)->id);
  start = Clock::now();
  list.SelectContacts(ids);
  const double reselectMs = MillisecondsSince(start);
  answerHook = SetWindowsHookExW(WH_CBT, &AnswerYes, nullptr, GetCurrentThreadId());
  const int savesBeforeDelete = session.SaveCount();
  start = Clock::now();
  SendMessageW(all.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CONTACT_DELETE, 0), 0);
  const double deleteMs = MillisecondsSince(start);
  UnhookWindowsHookEx(answerHook);
  Pump();
  const int deleteSaves = session.SaveCount() - savesBeforeDelete;

  std::printf("%d contacts, several at once\n", contacts);
  std::printf("  Ctrl+A: %d rows selected in %.1f ms\n", selected, selectMs);
  std::printf(
      "  contacted, all of them: %.0f ms (%d save), then the rows in sight painted with their links %.1f ms; "
      "windows of the thread afterwards: %d\n",
      tickMs, tickSaves, paintMs, windowsAfterTick);
  std::printf(
      "  %zu rows selected by contact in %.1f ms, deleted after the question in %.0f ms (%d save); %d rows left\n",
      ids.size(), reselectMs, deleteMs, deleteSaves, list.RowCount());
  std::printf("  longest the window was busy at a time: %.0f ms (goal 250 ms); each under 1 s: %s\n",
              std::max({selectMs, tickMs, deleteMs}), std::max({selectMs, tickMs, deleteMs}) < 1000 ? "yes" : "no");
  std::fflush(stdout);
  DestroyWindow(window->m_hWnd);
  window.reset();
  Pump();
  std::filesystem::remove_all(folder);
}

}  // namespace scale
