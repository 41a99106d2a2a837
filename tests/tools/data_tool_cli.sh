#!/usr/bin/env bash
# amicord-data from the outside: exit codes, a write/dump round trip, and that a
# damaged file is reported and still shown.
set -u
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$tool" >/dev/null 2>&1; [ $? -eq 2 ] || fail "no arguments should be a usage error"
"$tool" list "$dir" >/dev/null 2>&1; [ $? -eq 2 ] || fail "unknown command should be a usage error"
"$tool" dump "$dir" extra >/dev/null 2>&1; [ $? -eq 2 ] || fail "extra argument should be a usage error"

echo '{"groups": [' | "$tool" write "$dir/a" 2>"$dir/err"; [ $? -eq 1 ] || fail "bad JSON should exit 1"
grep -q "bad JSON" "$dir/err" || fail "bad JSON should say so"

json='{"groups":{"status":"ok","lastId":1,"items":[{"id":1,"name":"Fam \"1\"","imagePath":"","unit":0,"count":0}]},
"contacts":{"status":"ok","lastId":2,"items":[{"id":2,"name":"Кира","imagePath":"p q","unit":7,"count":3,
"lastContacted":-9223372036854775808,"previousContacted":9223372036854775807,"notes":"a\nb\r\n\u001a","groupId":1}]},
"options":{"status":"ok","autoStart":false,"warnPercent":75,"warnDays":2,"showLastContacted":true,
"windowX":-5,"windowY":-1,"windowWidth":-1,"windowHeight":-1,"minimizeToTray":false}}'
printf '%s' "$json" | "$tool" write "$dir/new folder" || fail "write should succeed and create the folder"
"$tool" dump "$dir/new folder" >"$dir/out.json" || fail "dump should succeed"
grep -q '"name": "Кира"' "$dir/out.json" || fail "name lost"
grep -q '"notes": "a\\nb\\r\\n\\u001a"' "$dir/out.json" || fail "notes lost"
grep -q '"lastContacted": -9223372036854775808' "$dir/out.json" || fail "time lost"
"$tool" write "$dir/again" <"$dir/out.json" || fail "dump output should be accepted by write"
cmp "$dir/new folder/contacts.dat" "$dir/again/contacts.dat" || fail "write of a dump changed the bytes"

head -c 150 "$dir/new folder/contacts.dat" >"$dir/cut.dat" && mv "$dir/cut.dat" "$dir/new folder/contacts.dat"
"$tool" dump "$dir/new folder" >"$dir/out2.json" 2>"$dir/err"; [ $? -eq 1 ] || fail "damaged file should exit 1"
grep -q '"status": "damaged"' "$dir/out2.json" || fail "damaged status missing"
[ ! -e "$dir/new folder/contacts.dat.damaged" ] || fail "dump must not touch the folder"
echo "data tool: all checks passed"
