#!/usr/bin/env bash
# A dinner with three friends: the first row clicked, the third Shift+clicked,
# Ctrl+Enter, and all three are saved as contacted now, each with the entry in
# its journal; the fourth person is left as she was. On the way, the screen
# with the three rows selected, their menu, and the question Delete asks
# (answered No) are kept in build/e2e/.
source "$(dirname "$0")/lib.sh"
e2e_begin several-people

now=$(date +%s)
before=$((now - 10 * 86400))
"$E2E_DATA_TOOL" write "$e2e_app/settings" <<JSON || e2e_abort "could not write the data files"
{"groups": {"status": "ok", "lastId": 1, "items": [{"id": 1, "name": "Friends", "imagePath": "", "unit": 0, "count": 7}]},
 "contacts": {"status": "ok", "lastId": 4, "items": [
   {"id": 1, "name": "Anna Berg", "imagePath": "", "unit": 0, "count": 7, "lastContacted": $before,
    "previousContacted": 0, "notes": "", "groupId": 1},
   {"id": 2, "name": "Bert Costa", "imagePath": "", "unit": 0, "count": 14, "lastContacted": $before,
    "previousContacted": 0, "notes": "", "groupId": 1},
   {"id": 3, "name": "Carla Dahl", "imagePath": "", "unit": 0, "count": 30, "lastContacted": $before,
    "previousContacted": 0, "notes": "", "groupId": 1},
   {"id": 4, "name": "Dora Eck", "imagePath": "", "unit": 0, "count": 7, "lastContacted": $before,
    "previousContacted": 0, "notes": "", "groupId": 1}]},
 "options": {"status": "ok", "autoStart": false, "warnPercent": 75, "warnDays": 2, "showLastContacted": true,
             "windowX": 40, "windowY": 40, "windowWidth": 400, "windowHeight": 600, "minimizeToTray": true},
 "journal": {"status": "ok", "contacts": [], "reminders": {"enabled": false, "at": 540, "lastRemindedDay": ""}}}
JSON

e2e_start_program
main=$(e2e_wait_window "$E2E_TITLE" "$E2E_START_TIMEOUT") || e2e_abort "the main window did not appear"
e2e_pass "the program starts"
e2e_geometry "$main" || e2e_abort "no geometry of the main window"
sleep 1

# A row's name, clear of its tick box; rows are 40 pixels high.
row_x=$((WX + 150))
row_y() { echo $((WY + 136 + $1 * 40)); }
e2e_click "$row_x" "$(row_y 0)"
xdotool keydown shift
e2e_click "$row_x" "$(row_y 2)"
xdotool keyup shift
sleep 0.5
import -window root "$E2E_OUT/$e2e_name-selection.png" 2>/dev/null

e2e_click "$row_x" "$(row_y 1)" 3
sleep 1
import -window root "$E2E_OUT/$e2e_name-menu.png" 2>/dev/null
e2e_key Escape

e2e_key Delete
if question=$(e2e_wait_window 'Delete contacts\?' 10); then
  e2e_pass "Delete asks once for the three"
  sleep 0.5
  import -window root "$E2E_OUT/$e2e_name-question.png" 2>/dev/null
  e2e_key n
  e2e_wait_gone 'Delete contacts\?' 10 || e2e_fail "the question did not close"
else
  e2e_fail "Delete asked nothing"
fi
e2e_activate "$main"
e2e_click "$row_x" "$(row_y 0)"
xdotool keydown shift
e2e_click "$row_x" "$(row_y 2)"
xdotool keyup shift

e2e_key ctrl+Return
e2e_saved() {
  e2e_jq --argjson now "$now" '
    ([.contacts.items[] | select(.id <= 3) | .lastContacted >= $now] | all)
    and (.contacts.items[] | select(.id == 4) | .lastContacted) < $now
    and ([.journal.contacts[] | select(.id <= 3) | .entries[0].time >= $now] | length == 3 and all)' <<<"$(e2e_dump)"
}
e2e_check "all three are saved as contacted now, each with its journal entry" e2e_wait_for 15 e2e_saved
e2e_check "nobody was deleted" e2e_jq '.contacts.items | length == 4' <<<"$(e2e_dump)"

e2e_check "Exit in the tray menu ends the program" e2e_exit_through_tray
e2e_end
