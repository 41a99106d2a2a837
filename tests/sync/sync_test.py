"""amicord-data sync against Debian's radicale and xandikos on 127.0.0.1.
  sync_test.py TOOL SERVER    SERVER: radicale or xandikos
AMICORD_TOOL_RUNNER, when set, is a program that runs TOOL (the Windows build's, under Wine).
The 412 race and the broken connection go through a small proxy in front of it."""

import base64
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import servers  # noqa: E402

TOOL = sys.argv[1]
KIND = sys.argv[2]
# The Windows build's tool runs through a program that starts it (under Wine).
RUNNER = [os.environ["AMICORD_TOOL_RUNNER"]] if os.environ.get("AMICORD_TOOL_RUNNER") else []

PHONE_CARD = """BEGIN:VCARD
VERSION:3.0
UID:{uid}
FN:{name}
N:{family};{given};;;
TEL;TYPE=CELL:+49 170 1234567
EMAIL;TYPE=HOME:{given}@example.org
item1.URL:https://example.org/{given}
item1.X-ABLabel:blog
CATEGORIES:Friends
NOTE:{note}
END:VCARD
"""


PIXEL = "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg=="


def host_path(path):
    """A path the Windows tool wrote under Wine, as this computer sees it."""
    if len(path) > 2 and path[0] in "Zz" and path[1] == ":":
        return path[2:].replace("\\", "/")
    return path


def phone_card(uid, name, note="from the phone"):
    given, family = name.split(" ", 1)
    return PHONE_CARD.format(uid=uid, name=name, given=given, family=family, note=note)


def run(*args, stdin=b""):
    return subprocess.run([*RUNNER, TOOL, *args], input=stdin, capture_output=True, timeout=120)


def dump(folder):
    return json.loads(run("dump", folder).stdout)


def write(folder, document):
    result = run("write", folder, stdin=json.dumps(document).encode())
    assert result.returncode == 0, result.stderr


def contact(document, name):
    found = [c for c in document["contacts"]["items"] if c["name"] == name]
    return found[0] if found else None


def history(document, contact_id):
    found = [h for h in document["journal"]["contacts"] if h["id"] == contact_id]
    return found[0] if found else None


def add_contact(document, name, notes=""):
    contacts = document["contacts"]
    groups = document["groups"]
    if not groups["items"]:
        groups["lastId"] = 1
        groups["items"].append({"id": 1, "name": "Work", "imagePath": "", "unit": 1, "count": 2})
    contacts["lastId"] += 1
    contacts["items"].append({"id": contacts["lastId"], "name": name, "imagePath": "", "unit": 1, "count": 2,
                              "lastContacted": 1796000000, "previousContacted": 1795000000, "notes": notes,
                              "groupId": 1})


def utc(time):
    return datetime.datetime.fromtimestamp(time, datetime.timezone.utc).strftime("%Y%m%dT%H%M%SZ")


def log_line(time, text):
    # Servers that keep the value as one text escape its separator.
    return re.compile("X-AMICORD-LOG:" + utc(time) + r"\\?;" + re.escape(text) + "\r\n")


def tick(document, name, time, text):
    person = contact(document, name)
    person["previousContacted"] = person["lastContacted"]
    person["lastContacted"] = time
    record = history(document, person["id"])
    record["entries"].insert(0, {"time": time, "text": text})
    record["entries"].sort(key=lambda e: -e["time"])


def tool_path(path):
    """A file of this computer as the tool sees it (through Wine's Z: drive for the Windows tool)."""
    return "Z:" + path.replace("/", "\\") if RUNNER else path


def noise_png(path, width, height):
    """A PNG that does not compress: about width x height x 3 bytes."""
    import struct
    import zlib

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b"".join(b"\0" + os.urandom(width * 3) for _ in range(height))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                  chunk(b"IDAT", zlib.compress(rows, 1)) + chunk(b"IEND", b""))


def photo_of(card):
    """The picture's bytes in a card of either version, or None."""
    unfolded = card.replace("\r\n ", "").replace("\r\n\t", "")
    found = re.search(r"^PHOTO[^:]*:(?:data:[^,]*,)?(.*)$", unfolded, re.M)
    return base64.b64decode(found.group(1).strip()) if found else None


class Sync(unittest.TestCase):
    def setUp(self):
        self.server = servers.Server(KIND)
        self.url = self.server.base + "/"
        self.proxy = None
        self.folders = []

    def tearDown(self):
        if self.proxy:
            self.proxy.stop()
        self.server.stop()

    def folder(self):
        folder = os.path.join(tempfile.mkdtemp(prefix="amicord-sync-"), "settings")
        self.folders.append(folder)
        return folder

    def sync(self, folder, url=None, expect=0):
        result = run("sync", folder, "--url", url or self.url, "--user", servers.USER, "--password-stdin",
                     stdin=(servers.PASSWORD + "\n").encode())
        self.assertEqual(result.returncode, expect, result.stdout.decode() + result.stderr.decode())
        return json.loads(result.stdout)

    def card_of(self, folder, name):
        document = dump(folder)
        link = history(document, contact(document, name)["id"])["card"]
        return link["href"].split("/")[-1]

    def test_first_sync_both_ways_keeps_the_phones_lines_and_matches_by_name(self):
        self.assertEqual(self.server.put_card("p1.vcf", phone_card("p1", "Anna Berg")), 201)
        self.assertEqual(self.server.put_card("p2.vcf", phone_card("p2", "Bert Costa")), 201)
        folder = self.folder()
        document = dump(folder)
        add_contact(document, "Carla Diaz", "met at work")
        add_contact(document, "bert costa")  # the same person as the phone's card: linked, not doubled
        write(folder, document)
        report = self.sync(folder)
        # Linked by name: the phone's spelling and group are kept, and said.
        self.assertEqual((report["deleted"], report["conflicts"], report["problems"]),
                         (0, ["bert costa (name, group)"], []))
        after = dump(folder)
        names = sorted(c["name"] for c in after["contacts"]["items"])
        self.assertEqual(names, ["Anna Berg", "Bert Costa", "Carla Diaz"])
        self.assertIn("Friends", [g["name"] for g in after["groups"]["items"]])
        self.assertEqual(len(self.server.card_names()), 3)
        self.assertEqual(after["journal"]["sync"]["user"], servers.USER)
        self.assertTrue(after["journal"]["sync"]["syncToken"], "both servers offer sync-collection")
        backups = os.listdir(os.path.join(folder, "backups"))
        self.assertEqual(len(backups), 1, "the files as they were before the sync are the day's backup")
        self.assertEqual(len(dump(os.path.join(folder, "backups", backups[0]))["contacts"]["items"]), 2)
        # The phone's number and address are Anna's details; its other lines went back unchanged, ours came along.
        anna = history(after, contact(after, "Anna Berg")["id"])
        self.assertEqual((anna["phones"], anna["emails"]), ([{"label": "mobile", "number": "+49 170 1234567"}],
                                                            [{"label": "home", "address": "Anna@example.org"}]))
        text, _ = self.server.get_card("p1.vcf")
        for line in ("TEL;TYPE=cell,pref:+49 170 1234567", "item1.URL:https://example.org/Anna",
                     "item1.X-ABLabel:blog", "X-AMICORD-INTERVAL:",
                     "X-AMICORD-LAST-CONTACTED:", "UID:p1"):
            self.assertIn(line.lower(), text.lower())  # some servers change the names' letter case
        carla, _ = self.server.get_card(self.card_of(folder, "Carla Diaz"))
        self.assertIn("NOTE:met at work", carla)
        self.assertIn("X-AMICORD-INTERVAL:2 weeks", carla)
        # Nothing changed on either side: nothing moves.
        again = self.sync(folder)
        self.assertEqual((again["pulled"], again["pushed"], again["deleted"]), (0, 0, 0))
        # A folder changed by write keeps its links: no card is made twice.
        write(folder, dump(folder))
        again = self.sync(folder)
        self.assertEqual((again["pulled"], again["conflicts"]), (0, []))
        self.assertEqual(len(self.server.card_names()), 3)

    def test_details_travel_both_ways_and_a_phone_changed_on_both_sides_is_named(self):
        self.assertEqual(self.server.put_card("p1.vcf", phone_card("p1", "Anna Berg").replace(
            "NOTE:", "BDAY;X-APPLE-OMIT-YEAR=1604:1604-05-12\nitem2.X-ABDATE:--0301\nitem2.X-ABLabel:name day\n"
            "NOTE:").replace("END:VCARD", "PHOTO;ENCODING=b;TYPE=PNG:" + PIXEL + "\nEND:VCARD")), 201)
        folder = self.folder()
        self.sync(folder)
        document = dump(folder)
        with open(host_path(contact(document, "Anna Berg")["imagePath"]), "rb") as picture:
            self.assertEqual(picture.read(), base64.b64decode(PIXEL))
        anna = history(document, contact(document, "Anna Berg")["id"])
        self.assertEqual(anna["dates"], [{"label": "birthday", "month": 5, "day": 12, "year": 0},
                                         {"label": "name day", "month": 3, "day": 1, "year": 0}])
        # A phone edited here appears on the card.
        anna["phones"][0]["number"] = "+49 170 7654321"
        write(folder, document)
        self.assertEqual(self.sync(folder)["pushed"], 1)
        text, etag = self.server.get_card("p1.vcf")
        self.assertIn("7654321", text.replace("-", " "))  # as text in 3.0, as a tel: address in 4.0
        self.assertNotIn("1234567", text.replace("-", " "))
        self.assertIn("name day", text)
        self.assertIn(PIXEL, text.replace("\r\n ", ""), "the phone's picture goes back as it came")
        # A TEL added on the server appears in Details.
        self.assertIn(self.server.put_card("p1.vcf", text.replace("END:VCARD", "TEL;TYPE=WORK:+49 30 555000\r\n"
                                                                  "END:VCARD"), etag), (200, 201, 204))
        self.assertEqual(self.sync(folder)["pulled"], 1)
        phones = history(dump(folder), contact(document, "Anna Berg")["id"])["phones"]
        self.assertEqual(phones, [{"label": "mobile", "number": "+49 170 7654321"},
                                  {"label": "work", "number": "+49 30 555000"}])
        # The phones changed on both sides: the server's kept, and said.
        document = dump(folder)
        history(document, contact(document, "Anna Berg")["id"])["phones"].pop()
        write(folder, document)
        text, etag = self.server.get_card("p1.vcf")
        self.server.put_card("p1.vcf", text.replace("+49 30 555000", "+49 30 555999"), etag)
        report = self.sync(folder)
        self.assertEqual(report["conflicts"], ["Anna Berg (phone)"])
        phones = history(dump(folder), contact(document, "Anna Berg")["id"])["phones"]
        self.assertEqual(phones[1]["number"], "+49 30 555999")

    def test_first_sync_links_by_address_and_digits_and_matches_only_prints(self):
        cards = {"m1": ("Anna Berg", "TEL:0170 111 2222\nEMAIL:anna.berg@example.org"),
                 "m2": ("Bert Costa", "TEL:+49 (171) 333-4444"),
                 "m3": ("Dora Engel", "EMAIL:dora@example.org")}
        for uid, (name, lines) in cards.items():
            card = "BEGIN:VCARD\nVERSION:3.0\nUID:{}\nFN:{}\n{}\nEND:VCARD\n".format(uid, name, lines)
            self.assertEqual(self.server.put_card(uid + ".vcf", card), 201)
        folder = self.folder()
        document = dump(folder)
        add_contact(document, "Anna B.")
        add_contact(document, "Bertie")
        add_contact(document, "Carla Diaz")
        write(folder, document)
        document = dump(folder)
        by_name = {c["name"]: c["id"] for c in document["contacts"]["items"]}
        reach = {by_name["Anna B."]: {"emails": [{"label": "work", "address": "ANNA.BERG@example.org"}]},
                 by_name["Bertie"]: {"phones": [{"label": "mobile", "number": "+4917133 34444"}]}}
        records = [r for r in document["journal"]["contacts"] if r["id"] not in reach]
        for contact_id, details in reach.items():
            records.append({**(history(document, contact_id) or {"snoozedUntil": 0, "entries": []}),
                            "id": contact_id, **details})
        document["journal"]["contacts"] = records
        write(folder, document)
        before = dump(folder)
        result = run("sync", folder, "--url", self.url, "--user", servers.USER, "--password-stdin", "--matches",
                     stdin=(servers.PASSWORD + "\n").encode())
        self.assertEqual(result.returncode, 0, result.stderr)
        matches = sorted((m["name"], m["card"], m["by"], m["href"].split("/")[-1])
                         for m in json.loads(result.stdout)["matches"])
        self.assertEqual(matches, [("Anna B.", "Anna Berg", "e-mail", "m1.vcf"),
                                   ("Bertie", "Bert Costa", "phone", "m2.vcf")])
        self.assertEqual(dump(folder), before, "only printed: nothing changed here")
        self.assertEqual(len(self.server.card_names()), 3)
        # The sync links them: Dora is new, Carla goes up, nobody is doubled.
        report = self.sync(folder)
        self.assertEqual(report["problems"], [])
        after = dump(folder)
        self.assertEqual(sorted(c["name"] for c in after["contacts"]["items"]),
                         ["Anna Berg", "Bert Costa", "Carla Diaz", "Dora Engel"])
        self.assertEqual(self.card_of(folder, "Anna Berg"), "m1.vcf")
        self.assertEqual(self.card_of(folder, "Bert Costa"), "m2.vcf")
        self.assertEqual(len(self.server.card_names()), 4)

    def test_a_picture_given_here_goes_to_the_server_and_a_large_one_smaller(self):
        folder = self.folder()
        pictures = tempfile.mkdtemp(prefix="amicord-pictures-")
        self.addCleanup(shutil.rmtree, pictures, True)
        small = os.path.join(pictures, "small.png")
        with open(small, "wb") as out:
            out.write(base64.b64decode(PIXEL))
        large = os.path.join(pictures, "large.png")
        noise_png(large, 900, 700)
        self.assertGreater(os.path.getsize(large), 1 << 20)
        document = dump(folder)
        add_contact(document, "Pia Lund")
        contact(document, "Pia Lund")["imagePath"] = tool_path(small)
        write(folder, document)
        self.sync(folder)
        name = self.card_of(folder, "Pia Lund")
        self.assertEqual(photo_of(self.server.get_card(name)[0]), base64.b64decode(PIXEL))
        # Another picture chosen here replaces the card's, and only that card is written.
        document = dump(folder)
        contact(document, "Pia Lund")["imagePath"] = tool_path(large)
        write(folder, document)
        self.assertEqual(self.sync(folder)["pushed"], 1)
        sent = photo_of(self.server.get_card(name)[0])
        if RUNNER:
            # Windows scales it down to a JPEG within 1 MB.
            self.assertTrue(sent.startswith(b"\xff\xd8\xff"), sent[:8])
            self.assertLessEqual(len(sent), 1 << 20)
        else:
            # The host build has no image codecs: the picture goes as it is.
            with open(large, "rb") as picture:
                self.assertEqual(sent, picture.read())
        self.assertEqual(self.sync(folder)["pushed"], 0, "a picture sent once is not sent again")
        # A picture taken away here leaves the card without one.
        document = dump(folder)
        contact(document, "Pia Lund")["imagePath"] = ""
        write(folder, document)
        self.assertEqual(self.sync(folder)["pushed"], 1)
        self.assertIsNone(photo_of(self.server.get_card(name)[0]))

    def test_a_change_on_each_side_and_a_conflict_on_one_field(self):
        self.server.put_card("p1.vcf", phone_card("p1", "Anna Berg", "old note"))
        folder = self.folder()
        document = dump(folder)
        add_contact(document, "Carla Diaz", "here")
        write(folder, document)
        self.sync(folder)
        # The phone changes Anna's note; here Carla's name and Anna's interval change.
        text, etag = self.server.get_card("p1.vcf")
        self.assertIn(self.server.put_card("p1.vcf", text.replace("NOTE:old note", "NOTE:phone note"), etag),
                      (200, 201, 204))
        document = dump(folder)
        contact(document, "Carla Diaz")["name"] = "Carla Diaz-Ruiz"
        contact(document, "Anna Berg")["count"] = 9
        write(folder, document)
        report = self.sync(folder)
        self.assertEqual(report["conflicts"], [])
        after = dump(folder)
        self.assertIn("phone note", contact(after, "Anna Berg")["notes"])
        self.assertEqual(contact(after, "Anna Berg")["count"], 9)
        anna, etag = self.server.get_card("p1.vcf")
        self.assertIn("X-AMICORD-INTERVAL:9 weeks", anna)
        self.assertIn("FN:Carla Diaz-Ruiz", self.server.get_card(self.card_of(folder, "Carla Diaz-Ruiz"))[0])
        # Both sides change Anna's note: the server's stays, the clash is named.
        self.server.put_card("p1.vcf", anna.replace("NOTE:phone note", "NOTE:phone again"), etag)
        document = dump(folder)
        contact(document, "Anna Berg")["notes"] = "changed here"
        write(folder, document)
        report = self.sync(folder)
        self.assertEqual(report["conflicts"], ["Anna Berg (notes)"])
        self.assertIn("phone again", contact(dump(folder), "Anna Berg")["notes"])
        self.assertIn("NOTE:phone again", self.server.get_card("p1.vcf")[0])

    def test_two_folders_tick_the_same_contact_and_both_ticks_survive(self):
        self.server.put_card("p1.vcf", phone_card("p1", "Anna Berg"))
        first, second = self.folder(), self.folder()
        self.sync(first)
        self.sync(second)
        for folder, time, text in ((first, 1797000000, "call"), (second, 1797003600, "lunch")):
            document = dump(folder)
            tick(document, "Anna Berg", time, text)
            write(folder, document)
        self.sync(first)
        self.sync(second)
        self.sync(first)
        for folder in (first, second):
            document = dump(folder)
            anna = contact(document, "Anna Berg")
            self.assertEqual(anna["lastContacted"], 1797003600)
            entries = [(e["time"], e["text"]) for e in history(document, anna["id"])["entries"]]
            self.assertEqual(entries[:2], [(1797003600, "lunch"), (1797000000, "call")])
        card = self.server.get_card("p1.vcf")[0]
        self.assertRegex(card, log_line(1797003600, "lunch"))
        self.assertRegex(card, log_line(1797000000, "call"))
        # An entry deleted in one folder stays deleted in both.
        document = dump(first)
        record = history(document, contact(document, "Anna Berg")["id"])
        record["entries"] = [e for e in record["entries"] if e["text"] != "call"]
        write(first, document)
        self.sync(first)
        self.sync(second)
        document = dump(second)
        texts = [e["text"] for e in history(document, contact(document, "Anna Berg")["id"])["entries"]]
        self.assertNotIn("call", texts)
        self.assertIn("lunch", texts)

    def test_a_card_deleted_on_each_side(self):
        self.server.put_card("p1.vcf", phone_card("p1", "Anna Berg"))
        folder = self.folder()
        document = dump(folder)
        add_contact(document, "Carla Diaz")
        write(folder, document)
        self.sync(folder)
        carla = self.card_of(folder, "Carla Diaz")
        # Deleted on the phone: gone here.
        self.assertIn(self.server.delete_card("p1.vcf"), (200, 204))
        report = self.sync(folder)
        self.assertEqual(report["deleted"], 1)
        self.assertIsNone(contact(dump(folder), "Anna Berg"))
        # Deleted here: gone on the server.
        document = dump(folder)
        document["contacts"]["items"] = [c for c in document["contacts"]["items"] if c["name"] != "Carla Diaz"]
        write(folder, document)
        self.assertEqual(len(dump(folder)["journal"]["sync"]["removedHere"]), 1)
        report = self.sync(folder)
        self.assertEqual(report["deleted"], 1)
        self.assertNotIn(carla, self.server.card_names())
        self.assertEqual(dump(folder)["journal"]["sync"]["removedHere"], [])

    def test_a_card_changed_between_read_and_write_is_merged_and_written_again(self):
        self.server.put_card("p1.vcf", phone_card("p1", "Anna Berg", "first"))
        folder = self.folder()
        self.sync(folder)
        document = dump(folder)
        tick(document, "Anna Berg", 1797000000, "coffee")
        write(folder, document)
        raced = []

        def hook(method, path, body):
            if method == "PUT" and not raced:
                raced.append(path)
                text, etag = self.server.get_card("p1.vcf")
                self.server.put_card("p1.vcf", text.replace("NOTE:first", "NOTE:raced"), etag)

        self.proxy = servers.Proxy(self.server.port, hook)
        report = self.sync(folder, f"http://127.0.0.1:{self.proxy.port}/")
        self.assertEqual(raced and report["pushed"], 1)
        card = self.server.get_card("p1.vcf")[0]
        self.assertIn("NOTE:raced", card)
        self.assertRegex(card, log_line(1797000000, "coffee"))
        self.assertIn("raced", contact(dump(folder), "Anna Berg")["notes"])

    def test_a_connection_broken_off_half_way_changes_nothing_here(self):
        for i in range(5):
            self.server.put_card(f"p{i}.vcf", phone_card(f"p{i}", f"Anna Berg{i}"))
        folder = self.folder()
        document = dump(folder)
        add_contact(document, "Carla Diaz")
        write(folder, document)
        before = {name: open(os.path.join(folder, name), "rb").read() for name in os.listdir(folder)}
        self.proxy = servers.Proxy(self.server.port, lambda m, p, b: "drop" if b"multiget" in b else None)
        report = self.sync(folder, f"http://127.0.0.1:{self.proxy.port}/", expect=1)
        self.assertTrue(report["problems"])
        after = {name: open(os.path.join(folder, name), "rb").read() for name in os.listdir(folder)}
        self.assertEqual(before, after)
        self.assertEqual(len(self.server.card_names()), 5)
        # The next sync, whole, does it all.
        report = self.sync(folder)
        self.assertEqual((report["pulled"], report["pushed"]), (5, 6))

    def test_only_the_groups_chosen_sync_and_the_others_stay_untouched_on_both_sides(self):
        self.server.put_card("p1.vcf", phone_card("p1", "Anna Berg"))
        self.server.put_card("p2.vcf", phone_card("p2", "Ben Ode").replace("CATEGORIES:Friends", "CATEGORIES:Work"))
        folder = self.folder()
        document = dump(folder)
        add_contact(document, "Carla Diaz")
        add_contact(document, "Dora Eck")
        document["groups"]["items"].append({"id": 2, "name": "Friends", "imagePath": "", "unit": 1, "count": 2})
        document["groups"]["lastId"] = 2
        contact(document, "Dora Eck")["groupId"] = 2
        write(folder, document)

        def choose(groups):
            document = dump(folder)
            sync = document["journal"].get("sync") or {"server": self.url, "user": servers.USER, "book": "",
                                                       "syncToken": "", "lastSync": 0, "removedHere": []}
            sync["groups"] = groups
            # As the settings do when the choice changes: the next sync lists every card.
            sync["syncToken"] = ""
            document["journal"]["sync"] = sync
            write(folder, document)
            self.assertEqual(dump(folder)["journal"]["sync"]["groups"], groups)

        choose([2])
        ben = self.server.get_card("p2.vcf")
        report = self.sync(folder)
        # Anna comes in and goes back with our lines, Dora goes out; Ben's card and Carla stay apart.
        self.assertEqual((report["pulled"], report["pushed"]), (1, 2))
        self.assertEqual(self.server.get_card("p2.vcf"), ben)
        after = dump(folder)
        self.assertIsNone(contact(after, "Ben Ode"), "a card of a group not chosen stays on the server only")
        self.assertEqual(len(self.server.card_names()), 3)

        choose("all")
        report = self.sync(folder)
        self.assertEqual(report["pulled"], 1, "Ben comes in once Work syncs")
        carla = self.card_of(folder, "Carla Diaz")
        # Deleted on each side while Work is not chosen: neither deletion travels.
        choose([2])
        document = dump(folder)
        document["contacts"]["items"] = [c for c in document["contacts"]["items"] if c["name"] != "Carla Diaz"]
        write(folder, document)
        self.assertIn(self.server.delete_card("p2.vcf"), (200, 204))
        self.assertEqual(self.sync(folder)["deleted"], 0)
        self.assertIn(carla, self.server.card_names())
        after = dump(folder)
        self.assertIsNotNone(contact(after, "Ben Ode"))
        self.assertEqual(after["journal"]["sync"]["removedHere"], [])

    def test_wrong_password_and_plain_http_elsewhere_fail_the_sync(self):
        folder = self.folder()
        result = run("sync", folder, "--url", self.url, "--user", servers.USER, "--password-stdin", stdin=b"wrong\n")
        if KIND == "radicale":
            self.assertEqual(result.returncode, 1)
            self.assertIn("answered 401", result.stdout.decode(), "told as a wrong password, not as no network")
        result = run("sync", folder, "--url", "http://192.0.2.1/", "--user", "x", "--password-stdin", stdin=b"x\n")
        self.assertEqual(result.returncode, 1)
        self.assertIn("only https://", result.stdout.decode())
        self.assertEqual(run("sync", folder, "--user", "x").returncode, 2)


if __name__ == "__main__":
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(Sync)
    sys.exit(0 if unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful() else 1)
