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
    PumpFor(20);
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
  CloseAndClear(window, folder);
}

namespace {

// Several people at once: Ctrl+A in the "All" list of `contacts`, a contact
// recorded for all of them (the journal entries, the links, the one save),
// and `deleted` of them selected and deleted after the one question. Each is
// one message to the window, so the time it takes is also the longest the
// window is busy; the deletion's counts from the question's answer.
HHOOK answerHook = nullptr;
// When the question went: the window answers while it is open, so its busy
// time starts there.
Clock::time_point answered;

LRESULT CALLBACK AnswerYes(int code, WPARAM wParam, LPARAM lParam) {
  HWND box = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && GetDlgItem(box, 0xFFFF)) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
  if (code == HCBT_DESTROYWND && GetDlgItem(box, 0xFFFF)) answered = Clock::now();
  return CallNextHookEx(answerHook, code, wParam, lParam);
}

void HoldKey(int key, bool held) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[key] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

void HoldControl(bool held) { HoldKey(VK_CONTROL, held); }

// A click on the row's name, with Shift held or not, as the user makes it.
void ClickRow(GroupEntryListView& list, int row, bool shift) {
  list.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  list.SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  HoldKey(VK_SHIFT, shift);
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | (shift ? MK_SHIFT : 0), at);
  list.SendMessage(WM_LBUTTONUP, shift ? MK_SHIFT : 0, at);
  HoldKey(VK_SHIFT, false);
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

  // Kept across a reload or a sort: the store's selection given back row by row.
  std::vector<std::int32_t> ids;
  for (int row = 0; row < deleted && row < list.RowCount(); ++row) ids.push_back(list.RowContact(row)->id);
  start = Clock::now();
  list.SelectContacts(ids);
  const double reselectMs = MillisecondsSince(start);
  // As the user selects them: a click on the first, Shift+click on the last.
  ClickRow(list, 0, false);
  start = Clock::now();
  ClickRow(list, deleted - 1, true);
  const double rangeMs = MillisecondsSince(start);
  const int rangeSelected = list.SelectedCount();
  answerHook = SetWindowsHookExW(WH_CBT, &AnswerYes, nullptr, GetCurrentThreadId());
  const int savesBeforeDelete = session.SaveCount();
  start = Clock::now();
  SendMessageW(all.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CONTACT_DELETE, 0), 0);
  const double deleteMs = MillisecondsSince(start);
  const double afterAnswerMs = std::chrono::duration<double, std::milli>(Clock::now() - answered).count();
  UnhookWindowsHookEx(answerHook);
  Pump();
  const int deleteSaves = session.SaveCount() - savesBeforeDelete;

  std::printf("%d contacts, several at once\n", contacts);
  std::printf("  Ctrl+A: %d rows selected in %.1f ms\n", selected, selectMs);
  std::printf(
      "  contacted, all of them: %.0f ms (%d save), then the rows in sight painted with their links %.1f ms; "
      "windows of the thread afterwards: %d\n",
      tickMs, tickSaves, paintMs, windowsAfterTick);
  std::printf("  %zu rows selected by contact (a reload's or a sort's way) in %.1f ms\n", ids.size(), reselectMs);
  std::printf(
      "  %d rows selected by a click and a Shift+click in %.1f ms, deleted in %.0f ms with the question, %.0f ms after "
      "it (%d save); %d rows left\n",
      rangeSelected, rangeMs, deleteMs, afterAnswerMs, deleteSaves, list.RowCount());
  const double longest = std::max({selectMs, tickMs, rangeMs, afterAnswerMs});
  std::printf("  longest the window was busy at a time: %.0f ms (goal 250 ms); each under 1 s: %s\n", longest,
              std::max({selectMs, tickMs, rangeMs, deleteMs}) < 1000 ? "yes" : "no");
  std::fflush(stdout);
  CloseAndClear(window, folder);
}

}  // namespace scale
