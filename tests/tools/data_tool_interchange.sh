#!/usr/bin/env bash
# amicord-data import and export: everyone exported and imported into an empty
# settings folder gives back the same groups and contacts, in both formats; an
# import takes a backup first, leaves people already here out, and a file that
# cannot be read changes nothing.
set -u
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$tool" import "$dir/data" >/dev/null 2>&1; [ $? -eq 2 ] || fail "import without a file should be a usage error"
"$tool" export "$dir/data" a.vcf b.vcf >/dev/null 2>&1; [ $? -eq 2 ] || fail "export of two files should be a usage error"
"$tool" import "$dir/data" x.vcf --group >/dev/null 2>&1; [ $? -eq 2 ] || fail "--group without a name should be a usage error"

python3 - "$dir" <<'PY'
import json, struct, sys, zlib
d = sys.argv[1]
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0)) + \
      chunk(b"IDAT", zlib.compress(b"\x00\xff\x00\x00")) + chunk(b"IEND", b"")
open(d + "/face.png", "wb").write(png)
rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0 Met at the caf\\u233? in May\\par second line}"
data = {
  "groups": {"status": "ok", "lastId": 2, "items": [
    {"id": 1, "name": "Family", "imagePath": "", "unit": 1, "count": 2},
    {"id": 2, "name": "Работа", "imagePath": "", "unit": 2, "count": 1}]},
  "contacts": {"status": "ok", "lastId": 3, "items": [
    {"id": 1, "name": "Ann Lee", "imagePath": d + "/face.png", "unit": 0, "count": 3, "lastContacted": 1700000000,
     "previousContacted": 1699000000, "notes": rtf, "groupId": 1},
    {"id": 2, "name": "Борис", "imagePath": "", "unit": 2, "count": 6, "lastContacted": 1690000000,
     "previousContacted": 1690000000, "notes": "", "groupId": 2},
    {"id": 3, "name": "Cleo, \"the\" cat", "imagePath": "", "unit": 1, "count": 1, "lastContacted": 1710000000,
     "previousContacted": 1705000000, "notes": "", "groupId": 1}]},
  "options": {"status": "ok", "autoStart": False, "warnPercent": 75, "warnDays": 2, "showLastContacted": True,
              "windowX": -1, "windowY": -1, "windowWidth": -1, "windowHeight": -1, "minimizeToTray": False}}
json.dump(data, open(d + "/data.json", "w"))
PY
"$tool" write "$dir/from/settings" <"$dir/data.json" || fail "write of the starting data"

# Compares two dumps by what an export carries, and each picture's bytes.
same() {
  python3 - "$1" "$2" "$dir/face.png" <<'PY'
import json, sys
a, b = (json.load(open(p)) for p in sys.argv[1:3])
face = open(sys.argv[3], "rb").read()
def people(data):
    groups = {g["id"]: (g["name"], g["unit"], g["count"]) for g in data["groups"]["items"]}
    result = {}
    for c in data["contacts"]["items"]:
        picture = open(c["imagePath"], "rb").read() if c["imagePath"] else b""
        result[c["name"]] = (groups[c["groupId"]][0], c["unit"], c["count"], c["lastContacted"],
                             c["previousContacted"], picture)
    return sorted(g[0] for g in groups.values()), result
ga, pa = people(a)
gb, pb = people(b)
assert ga == gb, (ga, gb)
assert pa == pb, (pa, pb)
assert pa["Ann Lee"][5] == face
PY
}
"$tool" dump "$dir/from/settings" >"$dir/from.json" || fail "dump of the starting data"
for type in vcf csv; do
  "$tool" export "$dir/from/settings" "$dir/all.$type" || fail "export of everyone as $type"
  "$tool" import "$dir/to-$type/settings" "$dir/all.$type" >"$dir/summary.json" || fail "import of the $type export"
  python3 -c '
import json, sys
s = json.load(open(sys.argv[1]))
assert s["added"] == 3 and s["skipped"] == 0 and s["problems"] == [], s
assert sorted(s["groupsCreated"]) == sorted(["Family", "Работа"]), s' "$dir/summary.json" || fail "$type summary"
  "$tool" dump "$dir/to-$type/settings" >"$dir/to.json" || fail "dump after the $type import"
  same "$dir/from.json" "$dir/to.json" || fail "the $type round trip changed the groups or contacts"
  # The notes' text survives: the imported data exports the same Notes column.
  "$tool" export "$dir/to-$type/settings" "$dir/again.csv" || fail "export after the $type import"
  "$tool" export "$dir/from/settings" "$dir/first.csv" || fail "export of the starting data as CSV"
  python3 -c '
import csv, sys
notes = [{r["Name"]: r["Notes"] for r in csv.DictReader(open(p, encoding="utf-8-sig"))} for p in sys.argv[1:3]]
assert notes[0] == notes[1], notes
assert notes[0]["Ann Lee"] == "Met at the café in May\nsecond line", notes[0]' "$dir/first.csv" "$dir/again.csv" \
    || fail "the $type round trip changed the notes"
done

# Again into the same folder: everyone is already here, a backup comes first,
# and people of a file without groups go into the group named.
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Dana\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:no name\r\nEND:VCARD\r\n' \
  >"$dir/new.vcf"
"$tool" import "$dir/to-vcf/settings" "$dir/all.vcf" "$dir/new.vcf" --group Friends >"$dir/summary.json" \
  || fail "second import"
python3 -c '
import json, sys
s = json.load(open(sys.argv[1]))
assert s["added"] == 1 and s["skipped"] == 3 and s["groupsCreated"] == ["Friends"], s
assert [(p["file"], p["line"]) for p in s["problems"]] == [("new.vcf", 5)], s' "$dir/summary.json" \
  || fail "second import summary"
ls -d "$dir/to-vcf/settings/backups/before-import-"* >/dev/null 2>&1 || fail "no backup before the import"
"$tool" dump "$dir/to-vcf/settings/backups/"before-import-*/ >"$dir/backup.json" 2>/dev/null
same "$dir/from.json" "$dir/backup.json" || fail "the backup does not hold the data as it was before the import"

# A file that cannot be read at all changes nothing.
cp "$dir/to-csv/settings/contacts.dat" "$dir/before.dat"
printf 'Column A,Column B\r\n1,2\r\n' >"$dir/odd.csv"
"$tool" import "$dir/to-csv/settings" "$dir/new.vcf" "$dir/odd.csv" >"$dir/out" 2>"$dir/err"; [ $? -eq 1 ] \
  || fail "an unrecognised CSV should exit 1"
grep -q "odd.csv" "$dir/err" || fail "the unreadable file should be named"
cmp "$dir/before.dat" "$dir/to-csv/settings/contacts.dat" || fail "a refused import changed the data"
"$tool" import "$dir/to-csv/settings" "$dir/missing.vcf" >/dev/null 2>&1; [ $? -eq 1 ] || fail "a missing file should exit 1"

"$tool" export "$dir/from/settings" "$dir/family.vcf" --group family || fail "export of one group"
[ "$(grep -c '^BEGIN:VCARD' "$dir/family.vcf")" -eq 2 ] || fail "the group's export should hold its two contacts"
"$tool" export "$dir/from/settings" "$dir/x.vcf" --group Nobody 2>/dev/null; [ $? -eq 1 ] || fail "an unknown group should exit 1"
echo "data tool import and export: all checks passed"
