#!/usr/bin/python3
"""The sync at 1,000 cards against Debian's radicale and xandikos on 127.0.0.1:
one folder's first sync writes its 1,000 contacts, a second folder's first sync
reads them, then a sync where nothing changed and one after a tick.
  bench/sync_bench.py build/host/tools/amicord-data [COUNT]"""

import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "sync"))
import servers  # noqa: E402

TOOL = sys.argv[1]
COUNT = int(sys.argv[2]) if len(sys.argv) > 2 else 1000


def sync(folder, url):
    start = time.perf_counter()
    result = subprocess.run([TOOL, "sync", folder, "--url", url, "--user", servers.USER, "--password-stdin"],
                            input=(servers.PASSWORD + "\n").encode(), capture_output=True, timeout=1800)
    seconds = time.perf_counter() - start
    if result.returncode != 0:
        raise SystemExit(result.stdout.decode() + result.stderr.decode())
    report = json.loads(result.stdout)
    return seconds, report


def folder_with(count):
    folder = os.path.join(tempfile.mkdtemp(prefix="amicord-bench-"), "settings")
    contacts = [{"id": i + 1, "name": f"Person {i:04d}", "imagePath": "", "unit": 1, "count": 2,
                 "lastContacted": 1796000000 + i, "previousContacted": 0, "notes": f"Notes of person {i}",
                 "groupId": 1 + i % 5} for i in range(count)]
    groups = [{"id": g + 1, "name": f"Group {g}", "imagePath": "", "unit": 1, "count": 2} for g in range(5)]
    journal = [{"id": c["id"], "snoozedUntil": 0,
                "entries": [{"time": c["lastContacted"] - k * 86400, "text": f"entry {k}"} for k in range(5)]}
               for c in contacts]
    document = json.loads(subprocess.run([TOOL, "dump", folder], capture_output=True).stdout)
    document["groups"] = {"lastId": 5, "items": groups}
    document["contacts"] = {"lastId": count, "items": contacts}
    document["journal"]["contacts"] = journal
    subprocess.run([TOOL, "write", folder], input=json.dumps(document).encode(), check=True)
    return folder


def main():
    for kind in ("radicale", "xandikos"):
        server = servers.Server(kind)
        try:
            url = server.base + "/"
            first, second = folder_with(COUNT), os.path.join(tempfile.mkdtemp(prefix="amicord-bench-"), "settings")
            rows = [("first sync, writing", *sync(first, url)),
                    ("first sync, reading", *sync(second, url)),
                    ("no change", *sync(second, url))]
            document = json.loads(subprocess.run([TOOL, "dump", second], capture_output=True).stdout)
            person = document["contacts"]["items"][0]
            person["lastContacted"] += 3600
            record = [h for h in document["journal"]["contacts"] if h["id"] == person["id"]][0]
            record["entries"].insert(0, {"time": person["lastContacted"], "text": "tick"})
            subprocess.run([TOOL, "write", second], input=json.dumps(document).encode(), check=True)
            rows.append(("one tick", *sync(second, url)))
            rows.append(("the other folder after it", *sync(first, url)))
            for what, seconds, report in rows:
                print(f"{kind:9} {COUNT} cards  {what:28} {seconds:7.2f} s   pulled {report['pulled']:5} "
                      f"pushed {report['pushed']:5} deleted {report['deleted']}")
        finally:
            server.stop()


if __name__ == "__main__":
    main()
