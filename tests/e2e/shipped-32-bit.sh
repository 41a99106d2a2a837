#!/usr/bin/env bash
# The 32-bit Amicord.exe we ship, started on data files in the form the
# program our users come from writes: a contact ticked, the program closed
# through WM_CLOSE, and the files checked to hold the tick in that form, byte
# for byte. This machine cannot execute 32-bit code, so it runs under Debian's
# 32-bit Wine in the 32-bit root scripts/win32-root prepares (user-mode QEMU).
# Prints how long each stage took; a stage that cannot work says why and fails.
source "$(dirname "$0")/lib.sh"
e2e_name=shipped-32-bit
E2E_INSTALL="$E2E_ROOT/build/win32/Amicord"
# Everything under emulation takes its time: Wine's first start in a prefix
# about 20 s, the program's start about as long.
E2E_START_TIMEOUT=${E2E_START_TIMEOUT:-240}
E2E_TIMEOUT=${E2E_TIMEOUT:-60}
prefix=""
i386_root=""
inside=""  # the work folder as the root sees it

stage_begun=$SECONDS
stage() {
  echo "[$e2e_name] stage: $1: $((SECONDS - stage_begun)) s"
  stage_begun=$SECONDS
}

in_root() { "$E2E_ROOT/scripts/win32-root" run "$@"; }
wine_in_root() {
  in_root env WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$@"
}

cleanup() {
  local status=$?
  if [ -n "$prefix" ]; then wine_in_root wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$e2e_program" ]; then kill "$e2e_program" 2>/dev/null || true; fi
  if [ -n "$e2e_xvfb" ]; then kill "$e2e_xvfb" 2>/dev/null || true; wait "$e2e_xvfb" 2>/dev/null || true; fi
  if [ -n "$e2e_work" ] && [ -d "$e2e_work" ]; then
    if [ "$e2e_failures" -gt 0 ]; then
      rm -rf "$E2E_OUT/$e2e_name-settings"
      cp -r "$e2e_app/settings" "$E2E_OUT/$e2e_name-settings" 2>/dev/null &&
        echo "[$e2e_name] data files kept in $E2E_OUT/$e2e_name-settings"
    fi
    rm -rf "$e2e_work"
  fi
  exit "$status"
}

mkdir -p "$E2E_OUT"
[ -x "$E2E_INSTALL/Amicord.exe" ] || { echo "FAIL $e2e_name: build the win32 preset first ($E2E_INSTALL/Amicord.exe)"; exit 1; }
[ -x "$E2E_DATA_TOOL" ] || { echo "FAIL $e2e_name: build amicord-data (host) first"; exit 1; }
i386_root=$("$E2E_ROOT/scripts/win32-root") || { echo "FAIL $e2e_name: the 32-bit root is not ready (see above)"; exit 1; }
stage "32-bit root checked"

e2e_work=$(mktemp -d "$i386_root/tmp/amicord-e2e.XXXXXX")
inside=${e2e_work#"$i386_root"}
trap cleanup EXIT
trap 'exit 130' INT TERM
cp -r "$E2E_INSTALL" "$e2e_work/Amicord"
e2e_app="$e2e_work/Amicord"
# A prefix of the run's own, from the one prepared in the root: runs from two
# worktrees sharing the root get wineservers of their own.
cp -a "$i386_root/root/prefix" "$e2e_work/prefix" || e2e_abort "the root's prepared Wine prefix could not be copied"
prefix=$inside/prefix
rm -rf "${e2e_app:?}/settings"
mkdir -p "$e2e_app/settings"
now=$(date +%s)
cat >"$e2e_work/original.json" <<JSON
{"groups": {"lastId": 3, "items": [
   {"id": 1, "name": "Family", "imagePath": "", "unit": 0, "count": 0},
   {"id": 3, "name": "Клуб", "imagePath": "", "unit": 1, "count": 2}]},
 "contacts": {"lastId": 9, "items": [
   {"id": 2, "name": "Anna Berg", "imagePath": "", "unit": 1, "count": 2, "lastContacted": $((now - 3 * 86400)),
    "previousContacted": $((now - 20 * 86400)), "notes": "{\\\\rtf1 first line\\\\par second}", "groupId": 1},
   {"id": 7, "name": "Константин", "imagePath": "", "unit": 0, "count": 10, "lastContacted": $((now - 12 * 86400)),
    "previousContacted": 0, "notes": "", "groupId": 3},
   {"id": 9, "name": "Nobody Yet", "imagePath": "", "unit": 1, "count": 1, "lastContacted": 0,
    "previousContacted": 0, "notes": "", "groupId": 1}]},
 "options": {"autoStart": 0, "warnPercent": 75, "warnDays": 2, "showLastContacted": 1,
             "windowX": 150, "windowY": 60, "windowWidth": 420, "windowHeight": 640, "minimizeToTray": 1}}
JSON
e2e_py write-original "$e2e_app/settings" "$e2e_work/original.json" || e2e_abort "could not write the original files"
stage "program copied, original files written"

e2e_start_display
stage "X server"

(cd "$e2e_work" && exec "$E2E_ROOT/scripts/win32-root" run sh -c \
  "cd '$inside/Amicord' && exec env WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' \
   wine explorer /desktop='$E2E_DESKTOP' Amicord.exe" </dev/null >"$e2e_work/wine.log" 2>&1) &
e2e_program=$!
main=$(e2e_wait_window "$E2E_TITLE" "$E2E_START_TIMEOUT") ||
  { tail -n 20 "$e2e_work/wine.log"; e2e_abort "the 32-bit main window did not appear within $E2E_START_TIMEOUT s"; }
e2e_pass "the 32-bit program starts with the original files"
stage "program started (main window shown)"
sleep 1
e2e_check "no message box about the files" test -z "$(e2e_find_window Amicord)"
e2e_geometry "$main" || e2e_abort "no geometry of the main window"
e2e_check "the saved window place is used ($WX,$WY ${WW}x$WH)" test "$WX" -eq 150 -a "$WY" -eq 60 -a "$WW" -eq 420 -a "$WH" -eq 640

# Under emulation the first paint takes a while after the window shows.
list_left="" list_top="" list_right="" list_bottom=""
three_rows() {
  local shot
  shot="$E2E_OUT/.$e2e_name-rows.png"
  import -window root "$shot" 2>/dev/null || return 1
  read -r list_left list_top list_right list_bottom <<<"$(e2e_py list-box "$shot" "$WX" "$WY" "$WW" "$WH")"
  [ -n "${list_bottom:-}" ] && [ "$(e2e_py rows "$shot" "$list_left" "$list_top" "$list_right" "$list_bottom")" = 3 ]
}
e2e_check "every contact is a row of \"All\"" e2e_wait_for "$E2E_TIMEOUT" three_rows
rm -f "$E2E_OUT/.$e2e_name-rows.png"
[ -n "${list_bottom:-}" ] || e2e_abort "the contact list was not found on the screen"

# The first row is Anna's; its tick box sits 20 pixels in from the row's right
# and bottom edges and is 12 pixels wide.
before_tick=$(date +%s)
e2e_click $((list_right + 1 - 20 + 6)) $((list_top + 40 - 20 + 6))
was=$((now - 3 * 86400))
marked() { e2e_dump 2>/dev/null | jq -e --argjson was "$was" '.contacts.items[0].lastContacted > $was' >/dev/null; }
e2e_check "the tick records Anna's contact" e2e_wait_for "$E2E_TIMEOUT" marked
after_tick=$(date +%s)
stage "contact ticked and saved"
sleep 1
mv "$(e2e_screenshot)" "$E2E_OUT/$e2e_name-main-window.png" 2>/dev/null

# WM_CLOSE by the program's Windows process id, from inside its Wine desktop:
# under user-mode emulation there is no ptrace, and taskkill /im finds nothing.
pid=$(wine_in_root wine wmic process get name,processid 2>/dev/null | iconv -f UTF-16 -t UTF-8 | tr -d '\r' |
  awk 'tolower($1) == "amicord.exe" {print $2; exit}')
[ -n "$pid" ] || e2e_abort "wmic does not list Amicord.exe"
wine_in_root wine explorer /desktop="$E2E_DESKTOP" taskkill /pid "$pid" >/dev/null 2>&1
e2e_check "WM_CLOSE (taskkill /pid $pid) ends the program" e2e_wait_for "$E2E_TIMEOUT" e2e_program_gone
stage "program closed"

data=$(e2e_dump)
expected=$(jq '{groups: .groups, contacts: .contacts}' "$e2e_work/original.json")
e2e_check "the files hold the same records with Anna's tick" e2e_jq \
  --argjson want "$expected" --argjson from "$before_tick" --argjson to "$after_tick" --argjson was "$was" '
  .groups.status == "ok" and .contacts.status == "ok" and .options.status == "ok"
  and .contacts.items[0].lastContacted >= $from and .contacts.items[0].lastContacted <= $to
  and .contacts.items[0].previousContacted == $was
  and {groups: {lastId: .groups.lastId, items: .groups.items},
       contacts: {lastId: .contacts.lastId,
                  items: ([.contacts.items[0] | .lastContacted = $want.contacts.items[0].lastContacted
                           | .previousContacted = $want.contacts.items[0].previousContacted]
                          + .contacts.items[1:])}} == $want' <<<"$data"
# The original form, byte for byte: the same records written by the original
# grammar give the same bytes.
mkdir -p "$e2e_work/expected"
jq '{groups, contacts, options}' <<<"$data" >"$e2e_work/dumped.json"
e2e_py write-original "$e2e_work/expected" "$e2e_work/dumped.json"
for file in groups.dat contacts.dat options.dat; do
  e2e_check "$file is in the original form, byte for byte" cmp "$e2e_work/expected/$file" "$e2e_app/settings/$file"
done
# Never contacted (0) is no contact in the history, not one on 1 January 1970.
e2e_check "the journal holds no contact at time 0" e2e_jq '.journal.status == "ok"
  and ([.journal.contacts[].entries[].time] | length > 0 and all(. > 0))' <<<"$data"
e2e_check "no .damaged copies" test -z "$(ls "$e2e_app/settings" | grep damaged)"
stage "files checked"

e2e_end
