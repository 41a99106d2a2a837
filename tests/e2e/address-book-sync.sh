#!/usr/bin/env bash
# The address book sync in the running program, against a radicale on
# 127.0.0.1: a card put on the server shows as a row, and a tick on that row
# reaches the server's card.
#
# The account is set up without its dialog, in the two places the program
# reads it from: the host amicord-data syncs the empty settings folder once
# (which writes the account into settings\journal.dat), and store-password, a
# test tool of the win64 build, puts the password into the Wine prefix's
# credential store as the settings dialog does.
source "$(dirname "$0")/lib.sh"
e2e_begin address-book-sync

store_password="$E2E_ROOT/build/win64/tests/store-password.exe"
[ -f "$store_password" ] || e2e_abort "build store-password (win64) first"

# The server runs as long as the scenario; its address comes back in a file.
dav_info="$e2e_work/dav"
/usr/bin/python3 - "$E2E_ROOT/tests/sync" "$dav_info" <<'PY' &
import os, signal, sys, time
sys.path.insert(0, sys.argv[1])
import servers
dav = servers.Server("radicale")
def stop(*_):
    dav.stop()
    sys.exit(0)
signal.signal(signal.SIGTERM, stop)
with open(sys.argv[2] + ".tmp", "w") as out:
    out.write(f"{dav.book} {servers.USER} {servers.PASSWORD}\n")
os.rename(sys.argv[2] + ".tmp", sys.argv[2])
while True:
    time.sleep(1)
PY
dav_server=$!
stop_dav() { kill "$dav_server" 2>/dev/null; wait "$dav_server" 2>/dev/null; }
trap 'stop_dav; e2e_cleanup' EXIT
e2e_wait_for 30 test -s "$dav_info" || e2e_abort "radicale did not start"
read -r book user password <"$dav_info"
e2e_log "address book $book"

curl_dav() { curl -s -u "$user:$password" "$@"; }

"$E2E_DATA_TOOL" sync "$e2e_app/settings" --url "$book" --user "$user" --password-stdin <<<"$password" >/dev/null ||
  e2e_abort "amicord-data could not set the account up"
(cd "$e2e_app" && wine "$store_password" "$book" "$user" <<<"$password") || e2e_abort "the password was not stored"
e2e_check "the journal holds the account" \
  e2e_jq --arg book "$book" '.journal.sync.book == $book' <<<"$(e2e_dump)"

card=$(printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:e2e-anna\r\nFN:Anna Server\r\nN:Server;Anna;;;\r\nCATEGORIES:Friends\r\nEND:VCARD\r\n')
status=$(curl_dav -o /dev/null -w '%{http_code}' -X PUT -H 'Content-Type: text/vcard; charset=utf-8' \
  --data-binary "$card" "${book}e2e-anna.vcf")
[ "$status" = 201 ] || e2e_abort "the card was not put on the server ($status)"

e2e_start_program
main=$(e2e_wait_window "$E2E_TITLE" "$E2E_START_TIMEOUT") || e2e_abort "the main window did not appear"
e2e_pass "the program starts"
pulled() { e2e_dump 2>/dev/null | jq -e '[.contacts.items[] | select(.name == "Anna Server")] | length == 1' >/dev/null; }
e2e_check "the server's card is saved as a contact" e2e_wait_for 60 pulled
e2e_geometry "$main" || e2e_abort "no geometry of the main window"
sleep 1

shot=$(e2e_screenshot)
read -r list_left list_top list_right list_bottom <<<"$(e2e_py list-box "$shot" "$WX" "$WY" "$WW" "$WH")"
e2e_check "the card shows as a row" test "$(e2e_py rows "$shot" "$list_left" "$list_top" "$list_right" "$list_bottom")" -eq 1
rm -f "$shot"

# The tick box sits 20 pixels in from the row's right and bottom edges.
was=$(e2e_dump | jq '.contacts.items[0].lastContacted')
while [ "$(date +%s)" -le "$was" ]; do sleep 0.2; done
e2e_click $((list_right + 1 - 20 + 6)) $((list_top + 40 - 20 + 6))
ticked() { e2e_dump 2>/dev/null | jq -e --argjson was "$was" '.contacts.items[0].lastContacted > $was' >/dev/null; }
e2e_check "the tick records the contact" e2e_wait_for "$E2E_TIMEOUT" ticked
when=$(e2e_dump | jq -r '.contacts.items[0].lastContacted')
stamp=$(date -u -d "@$when" +%Y%m%dT%H%M%S)
# Ten seconds after the change the program syncs it.
on_server() { curl_dav "${book}e2e-anna.vcf" | tr -d '\r' | grep -q "X-AMICORD-LAST-CONTACTED:${stamp}"; }
e2e_check "the tick reaches the server's card" e2e_wait_for 60 on_server

e2e_check "Exit in the tray menu ends the program" e2e_exit_through_tray
e2e_end
