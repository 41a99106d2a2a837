#!/usr/bin/env bash
# A contacts.dat cut short in the middle of a record: the program starts, says
# so once, keeps the file as it was, and from then on saves what it could read.
source "$(dirname "$0")/lib.sh"
e2e_begin damaged-contacts

now=$(date +%s)
cat >"$e2e_work/original.json" <<JSON
{"groups": {"lastId": 1, "items": [{"id": 1, "name": "Friends", "imagePath": "", "unit": 0, "count": 0}]},
 "contacts": {"lastId": 3, "items": [
   {"id": 1, "name": "Ann Lee", "imagePath": "", "unit": 0, "count": 7, "lastContacted": $((now - 86400)),
    "previousContacted": 0, "notes": "", "groupId": 1},
   {"id": 2, "name": "Bob Stone", "imagePath": "", "unit": 1, "count": 1, "lastContacted": $((now - 2 * 86400)),
    "previousContacted": 0, "notes": "", "groupId": 1},
   {"id": 3, "name": "Carla Whitfield", "imagePath": "", "unit": 0, "count": 3, "lastContacted": $now,
    "previousContacted": 0, "notes": "", "groupId": 1}]},
 "options": {"autoStart": 0, "warnPercent": 75, "warnDays": 2, "showLastContacted": 0,
             "windowX": -1, "windowY": -1, "windowWidth": -1, "windowHeight": -1, "minimizeToTray": 1}}
JSON
e2e_py write-original "$e2e_app/settings" "$e2e_work/original.json" || e2e_abort "could not write the files"
# The file ends inside the third contact's name.
e2e_py cut "$e2e_app/settings/contacts.dat" "Carla Whitfield" || e2e_abort "could not cut contacts.dat"
cp "$e2e_app/settings/contacts.dat" "$e2e_work/damaged.dat"

e2e_start_program
box=$(e2e_wait_window "Amicord" "$E2E_START_TIMEOUT") || e2e_abort "no message box about the damaged file"
e2e_pass "a message box tells about the damaged file"
main=$(e2e_find_window "$E2E_TITLE")
e2e_check "the main window is up behind it" test -n "$main"
e2e_check "the damaged file is kept as contacts.dat.damaged" cmp -s "$e2e_work/damaged.dat" "$e2e_app/settings/contacts.dat.damaged"
# Enter answers the box once it has the keyboard: a click on its caption first.
e2e_click_in "$box" 60 8
e2e_key Return
e2e_check "Enter closes the message box" e2e_wait_gone "Amicord"
sleep 1.5
e2e_check "the message box comes once" test -z "$(e2e_find_window Amicord)"

# An action that saves: a new group from the keyboard.
e2e_activate "$main"
e2e_key shift+g
e2e_wait_window "Add Group" >/dev/null || e2e_abort "Shift+G did not open \"Add Group\""
e2e_type "Later"
e2e_key Return
e2e_wait_gone "Add Group" || e2e_abort "Enter did not close \"Add Group\""
saved() { e2e_dump 2>/dev/null | e2e_jq '.groups.items | length == 2'; }
e2e_check "adding a group saves" e2e_wait_for "$E2E_TIMEOUT" saved

data=$(e2e_dump)
want=$(jq '.contacts.items[0:2]' "$e2e_work/original.json")
e2e_check "contacts.dat now holds the two contacts that could be read" e2e_jq --argjson want "$want" \
  '.contacts.status == "ok" and .contacts.items == $want' <<<"$data"
e2e_check "the kept copy is untouched by the save" cmp -s "$e2e_work/damaged.dat" "$e2e_app/settings/contacts.dat.damaged"

e2e_check "Exit in the tray menu ends the program" e2e_exit_through_tray
data=$(e2e_dump)
e2e_check "after the exit the files hold the readable contacts and both groups" e2e_jq --argjson want "$want" \
  '.contacts.status == "ok" and .contacts.items == $want and .groups.status == "ok"
   and ([.groups.items[].name] == ["Friends", "Later"])' <<<"$data"
e2e_check "one kept copy only" test "$(ls "$e2e_app/settings" | grep -c damaged)" -eq 1

e2e_end
