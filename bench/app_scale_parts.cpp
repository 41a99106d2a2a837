// The parts of start-up (a panel made, rows added and removed) and finding in
// the notes.
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
#include "lists/row_filter.h"
#include "lists/row_store.h"
#include "model/notes_text.h"
#include "model/platform.h"

namespace scale {

// Where start-up goes: making a panel, and filling one list with rows.
void MeasureParts(int contacts) {
  auto engine = std::make_unique<Engine>(std::filesystem::temp_directory_path().wstring());
  const Time now = platform::Now();
  for (int c = 0; c < contacts; ++c)
    engine->contacts->Add(L"Contact " + std::to_wstring(c), L"", Days, 7, now, L"", -1);
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 420, 520, nullptr, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
  const auto making = Clock::now();
  DlgGroupEntry panel;
  panel.Create(host);
  panel.SetCollections(engine->groups, engine->contacts);
  const double makeMs = MillisecondsSince(making);
  const auto filling = Clock::now();
  for (const auto& contact : *engine->contacts) panel.AddContact(contact.get());
  const double fillMs = MillisecondsSince(filling);
  const auto emptying = Clock::now();
  panel.List().DeleteAllItems();
  const double emptyMs = MillisecondsSince(emptying);
  const auto quiet = Clock::now();
  panel.List().SendMessage(WM_SETREDRAW, FALSE);
  for (const auto& contact : *engine->contacts) panel.AddContact(contact.get());
  panel.List().SendMessage(WM_SETREDRAW, TRUE);
  const double quietMs = MillisecondsSince(quiet);
  const auto removing = Clock::now();
  const int removed = std::min(contacts, 100);
  for (int i = 0; i < removed; ++i) panel.RemoveContact(*panel.List().RowContact(0));
  const double removeMs = MillisecondsSince(removing);
  std::printf(
      "  parts: one panel made in %.1f ms; %d rows added to its list in %.1f ms, with redrawing off %.1f ms; "
      "all removed at once in %.1f ms; the first row removed %d times in %.1f ms\n",
      makeMs, contacts, fillMs, quietMs, emptyMs, removed, removeMs);
  DestroyWindow(host);
  Pump();
}

// Typing in the find field over one list whose contacts have 2 KB of notes:
// the first keystroke makes every contact's folded texts (the program makes
// them in idle moments after the start), later ones reuse them.
void MeasureFinding(int contacts) {
  auto engine = std::make_unique<Engine>(std::filesystem::temp_directory_path().wstring());
  const wchar_t* words[] = {L"coffee",     L"Caf\u00E9", L"birthday", L"Z\u00FCrich", L"garden",   L"meeting",
                            L"Ren\u00E9e", L"children",  L"holiday",  L"phone",       L"\u00C5sa", L"concert"};
  const Time now = platform::Now();
  for (int c = 0; c < contacts; ++c) {
    std::wstring plain;
    for (int w = 0; plain.size() < 2000; ++w) plain += std::wstring(words[(c + w * 7) % 12]) + (w % 9 ? L" " : L".\n");
    engine->contacts->Add(L"Contact " + std::to_wstring((c * 7919) % contacts), L"", Days, 7, now,
                          text::NotesRtf(plain), -1);
  }
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 420, 520, nullptr, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
  DlgGroupEntry panel;
  panel.Create(host);
  panel.SetCollections(engine->groups, engine->contacts);
  for (const auto& contact : *engine->contacts) panel.AddContact(contact.get());
  GroupEntryListView& list = panel.List();
  // The parts of making the texts, on copies: the notes' plain text, then folding it.
  std::vector<std::wstring> plains;
  const auto reading = Clock::now();
  for (const auto& contact : *engine->contacts) plains.push_back(text::NotesPlainText(contact->notes));
  const double plainMs = MillisecondsSince(reading);
  const auto folding = Clock::now();
  for (const std::wstring& plain : plains) platform::FoldForFinding(plain);
  const double foldMs = MillisecondsSince(folding);
  const auto first = Clock::now();
  list.SetFilter(lists::RowFilter(L"x"));
  const double firstMs = MillisecondsSince(first);
  // Typing on (each keystroke narrows), then texts that start anew.
  const wchar_t* typed[] = {L"r", L"re", L"ren", L"rene", L"renee", L"zu", L"zur", L"zuri", L"q", L"co", L"con"};
  std::vector<double> keys;
  int shown = 0;
  for (const wchar_t* query : typed) {
    const auto key = Clock::now();
    list.SetFilter(lists::RowFilter(query));
    UpdateWindow(list);
    keys.push_back(MillisecondsSince(key));
    shown = list.RowCount();
  }
  // The rows alone, without the control: texts found nowhere, tested anew.
  lists::RowStore store;
  for (const auto& contact : *engine->contacts) store.Append(*contact);
  std::vector<double> scans;
  for (const wchar_t* query : {L"qx", L"garden party", L"zz", L"ee r", L"phone b"}) {
    const auto scan = Clock::now();
    store.SetFilter(lists::RowFilter(query));
    scans.push_back(MillisecondsSince(scan));
    store.SetFilter(lists::RowFilter());
  }
  std::sort(keys.begin(), keys.end());
  std::sort(scans.begin(), scans.end());
  std::printf(
      "  finding in %d contacts with 2 KB notes: their texts made in %.0f ms (notes to plain text %.0f ms, "
      "folding %.0f ms, on copies); a keystroke: median %.1f ms, slowest %.1f ms (%d shown last); "
      "the rows alone searched for a text found nowhere: median %.1f ms\n",
      contacts, firstMs, plainMs, foldMs, keys[keys.size() / 2], keys.back(), shown, scans[scans.size() / 2]);
  DestroyWindow(host);
  Pump();
}

}  // namespace scale
