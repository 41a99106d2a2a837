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
[ ! -e "$dir/new folder/journal.dat" ] || fail "write without a journal member made a journal"
grep -q '"journal": {' "$dir/out.json" || fail "dump should show the journal member"
grep -q '"status": "missing"' "$dir/out.json" || fail "a missing journal should say so"

# The journal member: written with the set, shown by dump, refused when out of order.
journal='"journal":{"status":"ok","contacts":[{"id":2,"snoozedUntil":1800000000,"entries":[{"time":1700000000,"text":"Lunch"}]},{"id":77,"snoozedUntil":0,"entries":[]}]}}'
printf '%s' "${json%\}},$journal" | "$tool" write "$dir/journal" || fail "write should take a journal"
[ -e "$dir/journal/journal.dat" ] || fail "the journal was not written"
"$tool" dump "$dir/journal" >"$dir/journal.json" || fail "dump of a journal should succeed"
tr -d ' \n' <"$dir/journal.json" | grep -q '"entries":\[{"time":1700000000,"text":"Lunch"}\],"phones":\[\],"emails":\[\],"dates":\[\],"kept":\[\]' ||
  fail "journal entry lost, or a record without details not given empty lists"
tr -d ' \n' <"$dir/journal.json" | grep -q '"id":77' && fail "a journal of a contact that is not there was kept"
tr -d ' \n' <"$dir/journal.json" | grep -q '"reminders":{"enabled":true,"at":540,"lastRemindedDay":"","dateLeadDays":3,"datesNamed":\[\]}' ||
  fail "a journal without reminder settings should get the defaults"
set='"journal":{"status":"ok","contacts":[],"reminders":{"enabled":false,"at":0,"lastRemindedDay":"2026-12-01"}}}'
printf '%s' "${json%\}},$set" | "$tool" write "$dir/journal4" || fail "write should take reminder settings"
"$tool" dump "$dir/journal4" | tr -d ' \n' | grep -q '"reminders":{"enabled":false,"at":0,"lastRemindedDay":"2026-12-01","dateLeadDays":3,' ||
  fail "the reminder settings written should be the ones dumped"
late='"journal":{"status":"ok","contacts":[],"reminders":{"enabled":true,"at":1440,"lastRemindedDay":""}}}'
printf '%s' "${json%\}},$late" | "$tool" write "$dir/journal3" 2>"$dir/err"
[ $? -eq 1 ] && grep -q "journal.reminders.at: out of range" "$dir/err" || fail "a reminder time past midnight should be refused"
bad='"journal":{"status":"ok","contacts":[{"id":2,"snoozedUntil":0,"entries":[{"time":1,"text":""},{"time":3,"text":""}]}]}}'
printf '%s' "${json%\}},$bad" | "$tool" write "$dir/journal2" 2>"$dir/err"
[ $? -eq 1 ] && grep -q "newest first" "$dir/err" || fail "entries out of order should be refused"

# The original form ends with the closing line break, 0D 0A 00.
[ "$(tail -c 3 "$dir/new folder/groups.dat" | od -An -tx1 | tr -d ' ')" = "0d0a00" ] || fail "closing line break missing"
[ ! -e "$dir/new folder/saving.set" ] || fail "write left its set marker"
cp -r "$dir/new folder" "$dir/ends"
printf 'x\0' >>"$dir/ends/groups.dat"
size=$(stat -c %s "$dir/ends/options.dat")
head -c $((size - 3)) "$dir/new folder/options.dat" >"$dir/ends/options.dat"
"$tool" dump "$dir/ends" >/dev/null 2>"$dir/err"; [ $? -eq 1 ] || fail "trailing bytes and a missing end should exit 1"
grep -q "groups.dat has more after its last record" "$dir/err" || fail "trailing bytes not reported"
grep -q "options.dat ends without its closing line break" "$dir/err" || fail "missing end not reported"
: >"$dir/ends/options.dat"
"$tool" dump "$dir/ends" >"$dir/out3.json" 2>"$dir/err"
grep -q "options.dat" "$dir/err" && fail "an empty file should count as missing"
grep -q '"status": "missing"' "$dir/out3.json" || fail "an empty file should show as missing"

head -c 150 "$dir/new folder/contacts.dat" >"$dir/cut.dat" && mv "$dir/cut.dat" "$dir/new folder/contacts.dat"
"$tool" dump "$dir/new folder" >"$dir/out2.json" 2>"$dir/err"; [ $? -eq 1 ] || fail "damaged file should exit 1"
grep -q '"status": "damaged"' "$dir/out2.json" || fail "damaged status missing"
[ ! -e "$dir/new folder/contacts.dat.damaged" ] || fail "dump must not touch the folder"
echo "data tool: all checks passed"
