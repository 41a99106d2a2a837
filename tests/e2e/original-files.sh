#!/usr/bin/env bash
# Start with data files in the form the program our users come from writes:
# every group becomes a tab, every contact a row, the saved window place is
# used, and the exit writes the same records back.
source "$(dirname "$0")/lib.sh"
e2e_begin original-files

# Names beyond ASCII: U+041A holds the byte 0x1A, which a text-mode reader
# would take for the end of the file.
now=$(date +%s)
cat >"$e2e_work/original.json" <<JSON
{"groups": {"lastId": 4, "items": [
   {"id": 1, "name": "Family", "imagePath": "", "unit": 0, "count": 0},
   {"id": 4, "name": "Клуб друзей", "imagePath": "C:\\\\Pictures\\\\club.png", "unit": 1, "count": 2}]},
 "contacts": {"lastId": 9, "items": [
   {"id": 2, "name": "Anna Berg", "imagePath": "", "unit": 1, "count": 2, "lastContacted": $((now - 3 * 86400)),
    "previousContacted": $((now - 20 * 86400)), "notes": "{\\\\rtf1 first line\\\\par second}", "groupId": 1},
   {"id": 5, "name": "Константин", "imagePath": "", "unit": 0, "count": 10, "lastContacted": $((now - 12 * 86400)),
    "previousContacted": 0, "notes": "", "groupId": 4},
   {"id": 9, "name": "Zoë Müller", "imagePath": "", "unit": 2, "count": 1, "lastContacted": $((now - 29 * 86400)),
    "previousContacted": 0, "notes": "", "groupId": 1}]},
 "options": {"autoStart": 0, "warnPercent": 60, "warnDays": 3, "showLastContacted": 1,
             "windowX": 150, "windowY": 60, "windowWidth": 420, "windowHeight": 640, "minimizeToTray": 1}}
JSON
e2e_py write-original "$e2e_app/settings" "$e2e_work/original.json" || e2e_abort "could not write the original files"
cp "$e2e_app/settings/contacts.dat" "$e2e_app/settings/groups.dat" "$e2e_work/"

e2e_start_program
main=$(e2e_wait_window "$E2E_TITLE" "$E2E_START_TIMEOUT") || e2e_abort "the main window did not appear"
e2e_pass "the program starts with the original files"
sleep 1
e2e_check "no message box about the files" test -z "$(e2e_find_window Amicord)"
e2e_geometry "$main" || e2e_abort "no geometry of the main window"
e2e_check "the saved window place is used ($WX,$WY ${WW}x$WH)" test "$WX" -eq 150 -a "$WY" -eq 60 -a "$WW" -eq 420 -a "$WH" -eq 640

shot=$(e2e_screenshot)
read -r list_left list_top list_right list_bottom <<<"$(e2e_py list-box "$shot" "$WX" "$WY" "$WW" "$WH")"
[ -n "${list_bottom:-}" ] || e2e_abort "the contact list was not found on the screen"
e2e_check "every contact is a row of \"All\"" \
  test "$(e2e_py rows "$shot" "$list_left" "$list_top" "$list_right" "$list_bottom")" -eq 3
# Two group tabs after "All": three tab borders along the row.
tabs_y=$((WY + 70))  # below the find field
last_tab=$(e2e_py tab-right "$shot" "$WX" "$tabs_y")
e2e_check "every group is a tab" test "${last_tab:-0}" -gt $((WX + 150))
rm -f "$shot"
if [ -n "$last_tab" ]; then
  # The last tab is the second group's: one row.
  e2e_click $((last_tab - 15)) "$tabs_y"
  sleep 0.5
  shot=$(e2e_screenshot)
  e2e_check "the last group's tab lists its one contact" \
    test "$(e2e_py rows "$shot" "$list_left" "$list_top" "$list_right" "$list_bottom")" -eq 1
  rm -f "$shot"
fi

e2e_check "Exit in the tray menu ends the program" e2e_exit_through_tray

data=$(e2e_dump)
expected=$(jq '{groups: .groups, contacts: .contacts}' "$e2e_work/original.json")
e2e_check "the files hold the same records" e2e_jq --argjson want "$expected" '
  .groups.status == "ok" and .contacts.status == "ok"
  and {groups: {lastId: .groups.lastId, items: .groups.items},
       contacts: {lastId: .contacts.lastId, items: .contacts.items}} == $want' <<<"$data"
e2e_check "the options are kept, with the window's place" e2e_jq '.options | .status == "ok" and .autoStart == false
  and .warnPercent == 60 and .warnDays == 3 and .showLastContacted and .minimizeToTray
  and .windowX == 150 and .windowY == 60 and .windowWidth == 420 and .windowHeight == 640' <<<"$data"
# Written in our form, which is the same version-3 form, byte for byte.
e2e_check "groups.dat is written back byte for byte" cmp -s "$e2e_work/groups.dat" "$e2e_app/settings/groups.dat"
e2e_check "contacts.dat is written back byte for byte" cmp -s "$e2e_work/contacts.dat" "$e2e_app/settings/contacts.dat"
e2e_check "no .damaged copies" test -z "$(ls "$e2e_app/settings" | grep damaged)"

e2e_end
