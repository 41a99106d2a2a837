#pragma once
// The parts of a contact list's row menu that act on the selection: the
// groups to move the selected people to, and the menu shown when more than
// one row is selected, whose items name how many people they act on.
#include "base/windows_api.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/handles.h"
#include "model/groups.h"

namespace lists {

// The commands of the groups in the "Move to Group" menu: the first group's
// id is kFirstMoveCommand, the next one's the next, in the groups' order.
inline constexpr int kFirstMoveCommand = 0x3000;
inline constexpr int kLastMoveCommand = 0x3FFF;

struct MoveTargets {
  UniqueMenu menu;
  std::vector<std::int32_t> groupIds;  // by command, from kFirstMoveCommand
};

// One item per group; the group every selected contact is in already is
// checked and greyed. A menu without groups has one greyed "(No Groups)".
MoveTargets BuildMoveMenu(const Groups& groups, std::int32_t commonGroupId);

struct SelectionMenuIds {
  int contacted, open, log, history, exportSelected, remove;
};

// The row menu for `count` selected people (more than one): "&Contacted
// (N People)", "&Open", "&Log Contact... (N People)", "&History...", then the
// given "Remind Me &Later" and "&Move to Group" submenus (owned by the menu
// once appended), "E&xport Selected..." and "&Delete (N People)".
UniqueMenu BuildSelectionMenu(std::size_t count, const SelectionMenuIds& ids, UniqueMenu snooze, UniqueMenu move);

}  // namespace lists
