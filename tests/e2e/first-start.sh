#!/usr/bin/env bash
# First start without data: the window, a group and a contact added from the
# keyboard, a contact recorded with its tick box, exit through the tray menu,
# and the data files hold exactly that.
source "$(dirname "$0")/lib.sh"
e2e_begin first-start

e2e_start_program
main=$(e2e_wait_window "$E2E_TITLE" "$E2E_START_TIMEOUT") || e2e_abort "the main window did not appear"
e2e_pass "the main window appears"
sleep 1  # first paint

e2e_geometry "$main" || e2e_abort "no geometry of the main window"
main_x=$WX main_y=$WY
work_h=$((E2E_SCREEN_H - 20))  # the taskbar takes the bottom strip
e2e_check "the window is 400 x 600 (it is ${WW} x ${WH})" test "$WW" -eq 400 -a "$WH" -eq 600
# Centred at the template's size, then sized 400 x 600 keeping its corner: the
# corner lies on the work area, no further right or down than a centred
# 400 x 600 window's, and the left and top margins are not larger than the
# right and bottom ones.
e2e_check "the window is centred at its template's size (corner $WX,$WY)" \
  test "$WX" -gt 0 -a "$WY" -gt 0 -a "$WX" -le $(((E2E_SCREEN_W - 400) / 2)) -a "$WY" -le $(((work_h - 600) / 2)) \
  -a $((E2E_SCREEN_W - WX - WW)) -ge "$WX" -a $((work_h - WY - WH)) -ge "$WY"
shot=$(e2e_screenshot)
read -r list_left list_top list_right list_bottom <<<"$(e2e_py list-box "$shot" "$WX" "$WY" "$WW" "$WH")"
rm -f "$shot"
[ -n "${list_bottom:-}" ] || e2e_abort "the contact list was not found on the screen"
e2e_log "list inside: $list_left,$list_top - $list_right,$list_bottom"

# One "All" tab: nothing right of it in the tab row. The tab row is above the
# list's panel; the first tab starts at the tab control's left.
tabs_y=$((WY + 70))  # below the find field
shot=$(e2e_screenshot)
all_right=$(e2e_py tab-right "$shot" "$WX" "$tabs_y")
e2e_check "one tab, \"All\"" test -n "$all_right" -a "${all_right:-0}" -lt $((WX + 90))
e2e_check "an empty list in the \"All\" tab" test "$(e2e_py rows "$shot" "$list_left" "$list_top" "$list_right" "$list_bottom")" -eq 0
rm -f "$shot"

# The letter keys: lower case opens nothing, capital G opens "Add Group".
e2e_activate "$main"
e2e_key g c o
sleep 1
e2e_check "lower-case letters open no dialog" \
  test -z "$(e2e_find_window "Add Group")$(e2e_find_window "Add Contact")$(e2e_find_window "Options")"
e2e_key shift+g
dialog=$(e2e_wait_window "Add Group") || e2e_abort "Shift+G did not open \"Add Group\""
e2e_pass "Shift+G opens \"Add Group\""
e2e_type "Neighbours"
e2e_key Return
e2e_wait_gone "Add Group" || e2e_abort "Enter did not close \"Add Group\""

group_saved() { e2e_dump 2>/dev/null | jq -e '.groups.items | length == 1' >/dev/null; }
e2e_check "the group is saved at once" e2e_wait_for "$E2E_TIMEOUT" group_saved

# The new tab follows "All"; a click on it selects it.
shot=$(e2e_screenshot)
tab_x=$(e2e_py tab-right "$shot" "$WX" "$tabs_y")
rm -f "$shot"
[ "${tab_x:-0}" -gt $((all_right + 20)) ] || e2e_abort "no tab for the new group"
e2e_pass "the group's tab is added"
e2e_click $((tab_x - 20)) "$tabs_y"

e2e_key shift+c
dialog=$(e2e_wait_window "Add Contact") || e2e_abort "Shift+C did not open \"Add Contact\""
e2e_pass "Shift+C opens \"Add Contact\""
sleep 0.5
e2e_type "Maria Lopez"
# "Contact every": the count field right of its label (the dialog's own layout).
e2e_click_in "$dialog" 446 67
e2e_type "2"
before_add=$(date +%s)
e2e_key Return
e2e_wait_gone "Add Contact" || e2e_abort "Enter did not close \"Add Contact\""

contact_saved() { e2e_dump 2>/dev/null | jq -e '.contacts.items | length == 1' >/dev/null; }
e2e_check "the contact is saved at once" e2e_wait_for "$E2E_TIMEOUT" contact_saved
data=$(e2e_dump)
e2e_check "the contact went into the selected tab's group" \
  e2e_jq '.contacts.items[0].groupId == .groups.items[0].id and .contacts.items[0].name == "Maria Lopez"' <<<"$data"
first_last=$(jq '.contacts.items[0].lastContacted' <<<"$data")

shot=$(e2e_screenshot)
# Found again now that the group's list shows: the empty "All" list was its
# way in, drawn over the whole of its tab.
read -r list_left list_top list_right list_bottom <<<"$(e2e_py list-box "$shot" "$WX" "$WY" "$WW" "$WH")"
e2e_log "the group's list inside: $list_left,$list_top - $list_right,$list_bottom"
e2e_check "the group's list shows one row" test "$(e2e_py rows "$shot" "$list_left" "$list_top" "$list_right" "$list_bottom")" -eq 1
rm -f "$shot"

# The tick box sits 20 pixels in from the row's right and bottom edges and is
# 12 pixels wide. Recording is only seen as a later time, so let the clock move.
while [ "$(date +%s)" -le $((first_last > before_add ? first_last : before_add)) ]; do sleep 0.2; done
tick_x=$((list_right + 1 - 20 + 6))
tick_y=$((list_top + 40 - 20 + 6))
before_tick=$(date +%s)
e2e_click "$tick_x" "$tick_y"
marked() { e2e_dump 2>/dev/null | jq -e --argjson was "$first_last" '.contacts.items[0].lastContacted > $was' >/dev/null; }
e2e_check "the tick records the contact" e2e_wait_for "$E2E_TIMEOUT" marked
after_tick=$(date +%s)
data=$(e2e_dump)
e2e_check "lastContacted is the moment of the tick" \
  e2e_jq --argjson from "$before_tick" --argjson to "$after_tick" --argjson was "$first_last" \
  '.contacts.items[0] | .lastContacted >= $from and .lastContacted <= $to and .previousContacted == $was' <<<"$data"
sleep 0.5
shot=$(e2e_screenshot)
# "(Undo)" is a blue link on the row's status line.
e2e_check "\"(Undo)\" appears on the row" \
  e2e_py has-colour "$shot" "$list_left" $((list_top + 20)) "$list_right" $((list_top + 40)) 0 0 255
rm -f "$shot"

e2e_check "Exit in the tray menu ends the program" e2e_exit_through_tray

data=$(e2e_dump)
e2e_check "the files hold exactly that group and contact, as recorded" e2e_jq \
  --argjson when "$(jq '.contacts.items[0].lastContacted' <<<"$data")" --argjson from "$before_tick" '
  .groups.status == "ok" and .contacts.status == "ok" and .options.status == "ok"
  and .groups.lastId == 1 and (.groups.items | length) == 1 and .groups.items[0].name == "Neighbours"
  and .contacts.lastId == 1 and (.contacts.items | length) == 1
  and .contacts.items[0].name == "Maria Lopez" and .contacts.items[0].groupId == 1
  and $when >= $from' <<<"$data"
e2e_check "the window's place is kept for the next start" \
  e2e_jq --argjson x "$main_x" --argjson y "$main_y" \
  '.options | .windowX == $x and .windowY == $y and .windowWidth == 400 and .windowHeight == 600' <<<"$data"

e2e_end
