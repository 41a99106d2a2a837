#!/usr/bin/env bash
# Someone overdue and reminders at midnight (so the time of day never holds
# them back): after the start the tray icon carries the red ball and the
# notification is drawn; the day is kept in the journal; a tick on the overdue
# person leaves only the one due soon, and the ball turns orange; with the
# second tick nobody is due and the icon is the plain one; a second start the
# same day does not remind again. Wine's
# shell closes a clicked balloon without telling the program, so the click is
# tested in process (tests/win/app/reminders_test.cpp).
source "$(dirname "$0")/lib.sh"
e2e_begin reminder-notification

now=$(date +%s)
"$E2E_DATA_TOOL" write "$e2e_app/settings" <<JSON || e2e_abort "could not write the data files"
{"groups": {"status": "ok", "lastId": 1, "items": [{"id": 1, "name": "Friends", "imagePath": "", "unit": 0, "count": 7}]},
 "contacts": {"status": "ok", "lastId": 3, "items": [
   {"id": 1, "name": "Bert Costa", "imagePath": "", "unit": 0, "count": 30, "lastContacted": $((now - 86400)),
    "previousContacted": 0, "notes": "", "groupId": 1},
   {"id": 2, "name": "Cara Lind", "imagePath": "", "unit": 0, "count": 7, "lastContacted": $((now - 6 * 86400)),
    "previousContacted": 0, "notes": "", "groupId": 1},
   {"id": 3, "name": "Anna Berg", "imagePath": "", "unit": 0, "count": 7, "lastContacted": $((now - 10 * 86400)),
    "previousContacted": 0, "notes": "", "groupId": 1}]},
 "options": {"status": "ok", "autoStart": false, "warnPercent": 75, "warnDays": 2, "showLastContacted": true,
             "windowX": 40, "windowY": 40, "windowWidth": 400, "windowHeight": 600, "minimizeToTray": true},
 "journal": {"status": "ok", "contacts": [], "reminders": {"enabled": true, "at": 0, "lastRemindedDay": ""}}}
JSON
today=$(date +%F)

e2e_start_program
main=$(e2e_wait_window "$E2E_TITLE" "$E2E_START_TIMEOUT") || e2e_abort "the main window did not appear"
e2e_pass "the program starts"

# The shell draws the balloon a few seconds after the request, above the tray.
shot="$E2E_OUT/$e2e_name-shot.png"
e2e_balloon_shown() { import -window root "$shot" 2>/dev/null && e2e_py balloon "$shot" >/dev/null; }
e2e_check "a notification is drawn above the tray" e2e_wait_for 20 e2e_balloon_shown
cp "$shot" "$E2E_OUT/$e2e_name-notification.png"
e2e_ball() { e2e_py tray-ball "$shot" "$1" >/dev/null; }
e2e_check "the tray icon carries the red ball" e2e_ball red
e2e_reminded() { e2e_jq --arg day "$today" '.journal.reminders.lastRemindedDay == $day' <<<"$(e2e_dump)"; }
e2e_check "the day's reminder is kept in the journal ($today)" e2e_reminded

# Rows in the order the contacts were made: the overdue person is the third.
# Her tick leaves only the one due soon, and the second's tick nobody.
e2e_geometry "$main" || e2e_abort "no geometry of the main window"
e2e_click $((WX + 356)) $((WY + 148 + 2 * 40))
e2e_shot_ball() { import -window root "$shot" 2>/dev/null && e2e_ball "$1"; }
e2e_check "after the tick the tray icon carries the orange ball" e2e_wait_for 10 e2e_shot_ball orange
cp "$shot" "$E2E_OUT/$e2e_name-soon.png"
e2e_click $((WX + 356)) $((WY + 148 + 40))
e2e_check "after the second tick the tray icon is the plain one" e2e_wait_for 10 e2e_shot_ball none
cp "$shot" "$E2E_OUT/$e2e_name-nobody.png"
rm -f "$shot"

e2e_check "Exit in the tray menu ends the program" e2e_exit_through_tray
e2e_check "the journal still holds the day" e2e_reminded

# A second start the same day, with someone overdue again: no second notification.
"$E2E_DATA_TOOL" dump "$e2e_app/settings" |
  jq --argjson when $((now - 10 * 86400)) '.contacts.items[2].lastContacted = $when' |
  "$E2E_DATA_TOOL" write "$e2e_app/settings" || e2e_abort "could not write the data files again"
e2e_start_program
e2e_wait_window "$E2E_TITLE" "$E2E_START_TIMEOUT" >/dev/null || e2e_abort "the main window did not appear again"
e2e_check "the red ball is back" e2e_wait_for 10 e2e_shot_ball red
e2e_no_balloon() { ! e2e_wait_for 8 e2e_balloon_shown; }
e2e_check "a second start the same day shows no notification" e2e_no_balloon
rm -f "$shot"
e2e_check "Exit in the tray menu ends the second run" e2e_exit_through_tray
e2e_end
