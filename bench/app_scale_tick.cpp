// A tick with long-time data: every contact with 2 KB of notes and 50 journal
// entries, as after years of use. What counts is how long the window's thread
// stops answering around the tick, the save included, and the part of it the
// save's snapshot takes.
#include "base/windows_api.h"
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "bench/app_scale_common.h"
#include "model/notes_text.h"
#include "model/platform.h"

namespace scale {

namespace {

void WriteLongTimeData(int contacts) {
  Engine engine;
  for (int g = 1; g <= 20; ++g) engine.groups->Add(L"Group " + std::to_wstring(g), L"", Days, 7);
  const wchar_t* words[] = {L"coffee", L"birthday", L"garden", L"meeting", L"children", L"holiday", L"concert"};
  const Time now = platform::Now();
  for (int c = 0; c < contacts; ++c) {
    std::wstring plain;
    for (int w = 0; plain.size() < 2000; ++w) plain += std::wstring(words[(c + w * 3) % 7]) + (w % 9 ? L" " : L".\n");
    engine.contacts->Add(L"Contact " + std::to_wstring((c * 7919) % contacts), L"", Days, 1 + c % 30,
                         now - (c % 45) * 86400, text::NotesRtf(plain), 1 + c % 20);
  }
  // The save adds each contact's last time as its 50th entry.
  for (const auto& contact : *engine.contacts)
    for (int k = 1; k < 50; ++k)
      engine.journal->Record(contact->id, contact->lastContacted - k * 7 * 86400, k % 4 == 0 ? L"Lunch" : L"");
  engine.Save();
}

}  // namespace

// From nothing to the window with its first screen of rows painted.
double StartUp(std::unique_ptr<DlgCorvane>& window) {
  const auto start = Clock::now();
  window = std::make_unique<DlgCorvane>();
  window->Create(nullptr);
  ShowWindow(window->m_hWnd, SW_SHOWNA);
  RedrawWindow(window->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return MillisecondsSince(start);
}

void MeasureLongTimeTick(int contacts) {
  std::filesystem::path folder = FreshSettingsFolder();
  std::unique_ptr<DlgCorvane> window;
  std::vector<double> emptyStarts, starts, reads;
  for (int i = 0; i < 3; ++i) {
    emptyStarts.push_back(StartUp(window));
    CloseAndClear(window, folder);
    folder = FreshSettingsFolder();
  }
  WriteLongTimeData(contacts);
  for (int i = 0; i < 3; ++i) {
    const auto read = Clock::now();
    Engine().Load();
    reads.push_back(MillisecondsSince(read));
  }
  for (int i = 0; i < 3; ++i) {
    if (window) {
      DestroyWindow(window->m_hWnd);
      window.reset();
      Pump();
    }
    starts.push_back(StartUp(window));
  }
  Pump();
  GroupEntryListView& list = window->TabsForTesting().AllPanel()->List();
  DataSession& session = window->SessionForTesting();
  Engine& engine = session.GetEngine();

  // The first snapshot after the load may copy everything; the ones after a
  // change only what changed.
  auto start = Clock::now();
  std::unique_ptr<Engine::Snapshot> snapshot = engine.TakeSnapshot();
  const double firstSnapshotMs = MillisecondsSince(start);
  start = Clock::now();
  const bool firstSaved = engine.Write(*snapshot).saved;
  const double firstWriteMs = MillisecondsSince(start);
  std::vector<double> snapshots, writes, catchUps;
  for (int row = 20; row < 25 && row < list.RowCount(); ++row) {
    Contact& changed = *list.RowContact(row);
    changed.lastContacted += 60;
    // The journal's catch-up with the contacts, which the snapshot begins with.
    start = Clock::now();
    engine.journal->DropMissing(*engine.contacts);
    engine.journal->CatchUp(*engine.contacts);
    catchUps.push_back(MillisecondsSince(start));
    start = Clock::now();
    snapshot = engine.TakeSnapshot();
    snapshots.push_back(MillisecondsSince(start));
    start = Clock::now();
    engine.Write(*snapshot);
    writes.push_back(MillisecondsSince(start));
  }
  snapshot.reset();

  std::vector<double> busy, saved, clicks, repaints;
  for (int row = 0; row < 5 && row < list.RowCount(); ++row) {
    BusyProbe probe(window->m_hWnd);
    PumpFor(20);  // the probe is waiting on the window before the click; the window answers it meanwhile
    const auto tick = Clock::now();
    SendMessageW(list.TickBox(list.RowContact(row)->id), BM_CLICK, 0, 0);
    clicks.push_back(MillisecondsSince(tick));
    const auto repaint = Clock::now();
    RedrawWindow(window->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    repaints.push_back(MillisecondsSince(repaint));
    WaitForSave(session, tick);
    saved.push_back(MillisecondsSince(tick));
    PumpFor(30);
    busy.push_back(probe.Stop());
  }
  double longest = 0;
  for (double b : busy) longest = b > longest ? b : longest;

  std::printf("%d long-time contacts (2 KB notes), %zu journal entries\n", contacts, engine.journal->EntryCount());
  std::printf("  start-up to the first painted list: median %.0f ms (", Median(starts));
  PrintAll(starts);
  std::printf("), in an empty folder %.0f ms, so the data's part %.0f ms; reading the files alone %.0f ms\n",
              Median(emptyStarts), Median(starts) - Median(emptyStarts), Median(reads));
  std::printf("  the window's thread busy around a tick, longest stretch: median %.1f ms, longest %.1f ms (",
              Median(busy), longest);
  PrintAll(busy);
  std::printf(")\n  a tick saved (the click until its save is done): median %.1f ms (", Median(saved));
  PrintAll(saved);
  std::printf(")\n  of which the click with its notice: median %.1f ms (", Median(clicks));
  PrintAll(clicks);
  std::printf("), the repaint after it: median %.1f ms (", Median(repaints));
  PrintAll(repaints);
  std::printf(
      ")\n  the save's snapshot on the window's thread: the first after the start %.1f ms, after one change "
      "median %.1f ms (",
      firstSnapshotMs, Median(snapshots));
  PrintAll(snapshots);
  std::printf("), the journal's catch-up alone, which it begins with: median %.1f ms", Median(catchUps));
  std::printf("\n  writing it (the writer's thread): the first %.0f ms%s, after one change median %.0f ms\n",
              firstWriteMs, firstSaved ? "" : " (failed)", Median(writes));
  std::printf("  peak working set so far: %.0f MB\n", PeakWorkingSetMb());
  std::fflush(stdout);
  CloseAndClear(window, folder);
}

}  // namespace scale
