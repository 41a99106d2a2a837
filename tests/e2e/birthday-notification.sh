#!/usr/bin/env bash
# Nobody due, but Anna Berg's birthday is tomorrow: after the start the
# notification is drawn, the journal keeps her birthday as named (so that a
# restart does not name it again), and the tray icon stays plain, for dates
# never colour it. The notification's text is read in process
# (tests/win/app/reminders_test.cpp); here the shell draws it.
source "$(dirname "$0")/lib.sh"
e2e_begin birthday-notification

now=$(date +%s)
tomorrow=$(date -d tomorrow +%-m:%-d)
"$E2E_DATA_TOOL" write "$e2e_app/settings" <<JSON || e2e_abort "could not write the data files"
{"groups": {"status": "ok", "lastId": 1, "items": [{"id": 1, "name": "Friends", "imagePath": "", "unit": 0, "count": 30}]},
 "contacts": {"status": "ok", "lastId": 1, "items": [
   {"id": 1, "name": "Anna Berg", "imagePath": "", "unit": 0, "count": 30, "lastContacted": $((now - 86400)),
    "previousContacted": 0, "notes": "", "groupId": 1}]},
 "options": {"status": "ok", "autoStart": false, "warnPercent": 75, "warnDays": 2, "showLastContacted": true,
             "windowX": 40, "windowY": 40, "windowWidth": 560, "windowHeight": 500, "minimizeToTray": true},
 "journal": {"status": "ok", "contacts": [
   {"id": 1, "snoozedUntil": 0, "entries": [], "phones": [], "emails": [], "kept": [],
    "dates": [{"label": "birthday", "month": ${tomorrow%%:*}, "day": ${tomorrow##*:}, "year": 1979}]}],
   "reminders": {"enabled": true, "at": 0, "lastRemindedDay": "", "dateLeadDays": 3}}}
JSON
e2e_dates() { e2e_jq '[.journal.contacts[] | select(.id == 1) | .dates[] | select(.label == "birthday")] | length == 1' <<<"$(e2e_dump)"; }
e2e_check "the journal holds the birthday" e2e_dates

e2e_start_program
e2e_wait_window "$E2E_TITLE" "$E2E_START_TIMEOUT" >/dev/null || e2e_abort "the main window did not appear"
e2e_pass "the program starts"

shot="$E2E_OUT/$e2e_name-shot.png"
e2e_balloon_shown() { import -window root "$shot" 2>/dev/null && e2e_py balloon "$shot" >/dev/null; }
e2e_check "a notification is drawn above the tray" e2e_wait_for 20 e2e_balloon_shown
cp "$shot" "$E2E_OUT/$e2e_name-notification.png"
e2e_plain() { e2e_py tray-ball "$shot" none >/dev/null; }
e2e_check "the tray icon stays plain: dates colour nothing" e2e_plain
e2e_named() { e2e_jq '.journal.reminders | .datesNamed | length > 0' <<<"$(e2e_dump)"; }
e2e_check "the journal keeps the birthday as named" e2e_wait_for 10 e2e_named
rm -f "$shot"
e2e_check "Exit in the tray menu ends the program" e2e_exit_through_tray
e2e_end
