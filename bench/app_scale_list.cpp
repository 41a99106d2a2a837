// Start-up, windows and GUI objects, painting and scrolling a list, a tick
// until shown and until saved, and sorting, with photos for a third of the
// contacts.
#include "base/windows_api.h"
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gdiplus.h>

#include "app/dlg_corvane.h"
#include "bench/app_scale_common.h"
#include "model/platform.h"

namespace scale {

namespace {

// The time the main window spends on the notices of ticks: the journal entry,
// the "(Undo)" links with their rows painted again, and the save.
double noticeMs = 0;

LRESULT CALLBACK TimeNotices(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message != WM_CONTACT_UPDATED) return DefSubclassProc(window, message, wParam, lParam);
  const auto start = Clock::now();
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  noticeMs = MillisecondsSince(start);
  return result;
}

}  // namespace

// Photos: a colourful gradient with noise, so that the encoders work as hard
// as on a real photo.
std::vector<std::wstring> WritePhotos(const std::filesystem::path& folder, int count) {
  CLSID jpeg{}, png{};
  CLSIDFromString(L"{557CF401-1A04-11D3-9A73-0000F81EF32E}", &jpeg);
  CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
  std::vector<std::wstring> paths;
  std::filesystem::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    Gdiplus::Bitmap photo(3000, 2000, PixelFormat24bppRGB);
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, 3000, 2000);
    if (photo.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok) continue;
    unsigned state = 12345u + static_cast<unsigned>(i);
    for (int y = 0; y < 2000; ++y) {
      auto* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
      for (int x = 0; x < 3000; ++x) {
        state = state * 1103515245u + 12345u;
        const int noise = static_cast<int>((state >> 16) & 31);
        row[x * 3] = static_cast<BYTE>((x / 12 + noise + i * 40) & 0xFF);
        row[x * 3 + 1] = static_cast<BYTE>((y / 8 + noise) & 0xFF);
        row[x * 3 + 2] = static_cast<BYTE>(((x + y) / 20 + noise) & 0xFF);
      }
    }
    photo.UnlockBits(&data);
    const bool asJpeg = i % 2 == 0;
    const std::filesystem::path path = folder / (L"photo" + std::to_wstring(i) + (asJpeg ? L".jpg" : L".png"));
    if (photo.Save(path.c_str(), asJpeg ? &jpeg : &png, nullptr) == Gdiplus::Ok) paths.push_back(path.wstring());
  }
  return paths;
}

void Measure(int contacts, int groups, const std::vector<std::wstring>& photos) {
  const std::filesystem::path folder = std::filesystem::path(platform::ExecutablePath()).parent_path() / L"settings";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  {
    Engine engine;
    for (int g = 1; g <= groups; ++g) engine.groups->Add(L"Group " + std::to_wstring(g), L"", Days, 7);
    const Time now = platform::Now();
    for (int c = 0; c < contacts; ++c) {
      const std::wstring picture = c % 3 == 0 && !photos.empty() ? photos[static_cast<size_t>(c / 3) % photos.size()]
                                                                 : L"";
      engine.contacts->Add(L"Contact " + std::to_wstring((c * 7919) % contacts), picture, Days, 1 + c % 30,
                           now - (c % 45) * 86400, L"", 1 + c % groups);
    }
    // The journal of long use: 100 entries a contact, 50 from 10,000 contacts
    // on, a quarter of them with a text; the save adds each contact's last time.
    const int entries = contacts >= 10000 ? 50 : 100;
    for (const auto& contact : *engine.contacts)
      for (int k = 1; k < entries; ++k)
        engine.journal->Record(contact->id, contact->lastContacted - k * 7 * 86400, k % 4 == 0 ? L"Lunch" : L"");
    engine.Save();
  }

  // The same start in an empty folder, for the part the data costs.
  double emptyStartMs = 0;
  {
    const std::filesystem::path kept = folder.parent_path() / L"settings-kept";
    std::filesystem::remove_all(kept);
    std::filesystem::rename(folder, kept);
    std::filesystem::create_directories(folder);
    const auto empty = Clock::now();
    auto bare = std::make_unique<DlgCorvane>();
    bare->Create(nullptr);
    ShowWindow(bare->m_hWnd, SW_SHOWNA);
    RedrawWindow(bare->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    emptyStartMs = MillisecondsSince(empty);
    DestroyWindow(bare->m_hWnd);
    bare.reset();
    Pump();
    std::filesystem::remove_all(folder);
    std::filesystem::rename(kept, folder);
  }
  const auto load = Clock::now();
  {
    Engine engine;
    engine.Load();
  }
  const double loadMs = MillisecondsSince(load);

  // Every size starts with no picture decoded, as the program does: each
  // window has its own pictures.
  const int windowsBefore = ThreadWindows();
  const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const auto startUp = Clock::now();
  auto window = std::make_unique<DlgCorvane>();
  window->Create(nullptr);
  ShowWindow(window->m_hWnd, SW_SHOWNA);
  RedrawWindow(window->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double startMs = MillisecondsSince(startUp);
  // Photos of the rows in sight come from worker threads, and their rows are
  // painted again as they arrive.
  while (window->TabsForTesting().Thumbnails().pending() > 0 && MillisecondsSince(startUp) < 60000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    Pump();
  }
  Pump();
  const double picturesMs = MillisecondsSince(startUp);
  const int windows = ThreadWindows() - windowsBefore;
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) - userBefore;
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) - gdiBefore;

  GroupEntryListView& list = window->TabsForTesting().AllPanel()->List();
  constexpr int kPaints = 20;
  const auto paint = Clock::now();
  for (int i = 0; i < kPaints; ++i) RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const double paintMs = MillisecondsSince(paint) / kPaints;
  RECT client{};
  GetClientRect(list, &client);

  // Scrolling through the whole list a page at a time, as the Page Down key
  // or a click on the scroll bar does: every row painted once.
  const auto scroll = Clock::now();
  const int rows = list.GetItemCount();
  int pages = 0;
  for (int top = -1; top != static_cast<int>(list.SendMessage(LVM_GETTOPINDEX)); ++pages) {
    top = static_cast<int>(list.SendMessage(LVM_GETTOPINDEX));
    list.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(list);
  }
  const double scrollMs = MillisecondsSince(scroll);
  // And a row at a time, as the mouse wheel and the arrow keys do.
  constexpr int kLines = 50;
  list.SendMessage(WM_VSCROLL, SB_TOP, 0);
  UpdateWindow(list);
  const auto lines = Clock::now();
  for (int i = 0; i < kLines; ++i) {
    list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    UpdateWindow(list);
  }
  const double lineMs = MillisecondsSince(lines) / kLines;
  const int windowsAfterScroll = ThreadWindows() - windowsBefore;

  // A tick: the tick box's click marks a row, its repaint reaches the screen,
  // and the save follows from the message loop. Five rows in sight, one after
  // the other; Wine's timings wander, so the median.
  list.SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
  UpdateWindow(list);
  DataSession& session = window->SessionForTesting();
  const int savesBefore = session.SaveCount();
  std::vector<double> ticks;
  std::vector<double> shown;
  std::vector<double> saved;
  std::vector<double> notices;
  SetWindowSubclass(window->m_hWnd, &TimeNotices, 1, 0);
  std::vector<double> busy;
  for (int row = 0; row < 5 && row < list.RowCount(); ++row) {
    BusyProbe probe(window->m_hWnd);
    PumpFor(20);  // the probe is waiting on the window before the click; the window answers it meanwhile
    const auto tick = Clock::now();
    SendMessageW(list.TickBox(list.RowContact(row)->id), BM_CLICK, 0, 0);
    ticks.push_back(MillisecondsSince(tick));
    RedrawWindow(window->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    shown.push_back(MillisecondsSince(tick));
    WaitForSave(session, tick);
    saved.push_back(MillisecondsSince(tick));
    notices.push_back(noticeMs);
    PumpFor(30);
    busy.push_back(probe.Stop());
  }
  RemoveWindowSubclass(window->m_hWnd, &TimeNotices, 1);
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  };
  auto print = [](const std::vector<double>& v) {
    for (size_t i = 0; i < v.size(); ++i) std::printf(i ? " %.1f" : "%.1f", v[i]);
  };
  const double noticeMedianMs = median(notices);
  const int saves = session.SaveCount() - savesBefore;
  const double tickMs = median(ticks);
  // The save alone, each time with one contact changed (the files that did not
  // change are left as they are).
  constexpr int kSaves = 5;
  Contact& changed = *list.RowContact(0);
  const auto saving = Clock::now();
  for (int i = 0; i < kSaves; ++i) {
    changed.lastContacted += 1;
    window->SessionForTesting().GetEngine().Save();
  }
  const double saveMs = MillisecondsSince(saving) / kSaves;
  // Where a tick's time goes besides the save: the "(Undo)" link shown in
  // both lists that show the contact, and taken away again by the next tick.
  std::vector<double> links;
  for (int row = 5; row < 10 && row < list.RowCount(); ++row) {
    const Contact& shown = *list.RowContact(row);
    const auto linking = Clock::now();
    window->TabsForTesting().ShowUndo(shown);
    window->TabsForTesting().HideUndo(shown);
    links.push_back(MillisecondsSince(linking));
  }
  std::sort(links.begin(), links.end());
  const double linkMs = links.empty() ? 0 : links[links.size() / 2];
  // The parts of a tick's notice, each alone: the save as the notice makes it,
  // the links shown in both lists with their rows painted, the rows' repaint alone.
  std::vector<double> saveParts, showParts, paintParts;
  for (int row = 10; row < 15 && row < list.RowCount(); ++row) {
    Contact& shown = *list.RowContact(row);
    shown.lastContacted += 1;
    auto start = Clock::now();
    window->SessionForTesting().SaveAll();
    saveParts.push_back(MillisecondsSince(start));
    start = Clock::now();
    window->TabsForTesting().ShowUndo(shown);
    showParts.push_back(MillisecondsSince(start));
    start = Clock::now();
    list.RedrawItems(row, row);
    UpdateWindow(list);
    paintParts.push_back(MillisecondsSince(start));
    window->TabsForTesting().HideUndo(shown);
  }
  const double savePartMs = median(saveParts), showPartMs = median(showParts), paintPartMs = median(paintParts);

  HWND all = window->TabsForTesting().AllPanel()->m_hWnd;
  double sortMs[4] = {};
  const int orders[4] = {ID_SORT_NAME, ID_SORT_CONTACT_IN, ID_SORT_PRIORITY, ID_SORT_NONE};
  for (int i = 0; i < 4; ++i) {
    const auto sort = Clock::now();
    SendMessageW(all, WM_COMMAND, MAKEWPARAM(orders[i], 0), 0);
    sortMs[i] = MillisecondsSince(sort);
  }
  // By name once more: the keys of names are made once, here by the first
  // sort for those the idle moments after the start had not reached yet.
  const auto again = Clock::now();
  SendMessageW(all, WM_COMMAND, MAKEWPARAM(ID_SORT_NAME, 0), 0);
  const double nameAgainMs = MillisecondsSince(again);

  std::printf("%d contacts in %d groups, %zu journal entries\n", contacts, groups,
              window->SessionForTesting().GetEngine().journal->EntryCount());
  std::printf("  start-up to the first painted list: %.0f ms (of which reading the files alone: %.0f ms)\n", startMs,
              loadMs);
  std::printf("  start-up minus the same in an empty folder (%.0f ms): %.0f ms\n", emptyStartMs,
              startMs - emptyStartMs);
  std::printf("  photos in sight painted: %.0f ms after the start\n", picturesMs);
  std::printf("  windows created: %d (GetGuiResources: %lu USER, %lu GDI)\n", windows, static_cast<unsigned long>(user),
              static_cast<unsigned long>(gdi));
  std::printf("  painting a screen of rows (%ld px high, %ld rows): %.1f ms\n", client.bottom,
              client.bottom / list.RowMetrics().rowHeight + 1, paintMs);
  std::printf(
      "  scrolling through every row: %d pages in %.0f ms (%.1f ms a page), a row at a time %.1f ms a row; "
      "windows afterwards: %d\n",
      pages, scrollMs, scrollMs / std::max(1, pages), lineMs, windowsAfterScroll);
  std::printf("  a tick shown (the click until its repaint is done): median %.1f ms of %zu ticks (", median(shown),
              shown.size());
  print(shown);
  std::printf(")\n  a tick saved (the click until its save is done): median %.1f ms (", median(saved));
  print(saved);
  std::printf("; %d saves); a save after one change: %.1f ms; an \"(Undo)\" link shown and hidden: median %.1f ms\n",
              saves, saveMs, linkMs);
  std::printf("  the window's thread busy around a tick, longest stretch: median %.1f ms (", median(busy));
  print(busy);
  std::printf(")\n");
  std::printf(
      "  a tick's parts (medians): the click before the notice %.1f ms; the notice %.1f ms, of which the links shown "
      "with their rows %.1f ms (one row painted again alone: %.1f ms); the save after it %.1f ms\n",
      tickMs - noticeMedianMs, noticeMedianMs, showPartMs, paintPartMs, savePartMs);
  std::printf("  sorting %d rows: name %.1f ms (again %.1f ms), contact in %.1f ms, priority %.1f ms, none %.1f ms\n",
              rows, sortMs[0], nameAgainMs, sortMs[1], sortMs[2], sortMs[3]);

  const auto tearDown = Clock::now();
  DestroyWindow(window->m_hWnd);
  window.reset();
  Pump();
  std::printf("  tear-down: %.0f ms, windows left: %d\n", MillisecondsSince(tearDown), ThreadWindows() - windowsBefore);
  std::printf("  peak working set so far: %.0f MB\n", PeakWorkingSetMb());
  std::fflush(stdout);
  std::filesystem::remove_all(folder);
}

}  // namespace scale
