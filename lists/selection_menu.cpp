#include "lists/selection_menu.h"

#include <string>

#include "lists/selection_texts.h"

namespace lists {
namespace {

// The popup is the menu's own from here on; it is destroyed with it.
void AppendPopup(HMENU menu, UniqueMenu& popup, const wchar_t* text) {
  if (popup && ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), text)) popup.release();
}

}  // namespace

MoveTargets BuildMoveMenu(const Groups& groups, std::int32_t commonGroupId) {
  MoveTargets targets;
  targets.menu.reset(::CreatePopupMenu());
  if (!targets.menu) return targets;
  for (const Groups::Item& group : groups) {
    if (!group) continue;
    const int command = kFirstMoveCommand + static_cast<int>(targets.groupIds.size());
    if (command > kLastMoveCommand) break;
    targets.groupIds.push_back(group->id);
    // An ampersand in a group's name is shown, not taken for a mnemonic.
    std::wstring text;
    for (wchar_t character : group->name) {
      text += character;
      if (character == L'&') text += L'&';
    }
    const UINT flags = group->id == commonGroupId ? MF_STRING | MF_CHECKED | MF_GRAYED : MF_STRING;
    ::AppendMenuW(targets.menu.get(), flags, static_cast<UINT_PTR>(command), text.c_str());
  }
  if (targets.groupIds.empty()) ::AppendMenuW(targets.menu.get(), MF_STRING | MF_GRAYED, 0, L"(No Groups)");
  return targets;
}

UniqueMenu BuildSelectionMenu(std::size_t count, const SelectionMenuIds& ids, UniqueMenu snooze, UniqueMenu move) {
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return menu;
  HMENU raw = menu.get();
  ::AppendMenuW(raw, MF_STRING, static_cast<UINT_PTR>(ids.contacted), ForPeople(L"&Contacted", count).c_str());
  ::AppendMenuW(raw, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(raw, MF_STRING, static_cast<UINT_PTR>(ids.open), L"&Open");
  ::AppendMenuW(raw, MF_STRING, static_cast<UINT_PTR>(ids.log), ForPeople(L"&Log Contact...", count).c_str());
  ::AppendMenuW(raw, MF_STRING, static_cast<UINT_PTR>(ids.history), L"&History...");
  AppendPopup(raw, snooze, L"Remind Me &Later");
  AppendPopup(raw, move, L"&Move to Group");
  ::AppendMenuW(raw, MF_STRING, static_cast<UINT_PTR>(ids.exportSelected), L"E&xport Selected...");
  ::AppendMenuW(raw, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(raw, MF_STRING, static_cast<UINT_PTR>(ids.remove), ForPeople(L"&Delete", count).c_str());
  return menu;
}

}  // namespace lists
