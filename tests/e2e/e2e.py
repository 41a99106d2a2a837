#!/usr/bin/python3
"""Helpers of the end-to-end scenarios that are easier in Python than in bash:
reading screenshots, writing data files in the original program's form, and
checking the JSON that amicord-data prints.

  e2e.py tray-icon SHOT                      x y of the tray icon's centre
  e2e.py changed A B X0 Y0 X1 Y1             exit 0 when the area differs
  e2e.py list-box SHOT WX WY WW WH           left top right bottom of the list's inside
  e2e.py tab-right SHOT WX Y                 x of the last tab's right edge on row Y
  e2e.py rows SHOT LEFT TOP RIGHT BOTTOM     number of 40-pixel rows that hold text
  e2e.py has-colour SHOT X0 Y0 X1 Y1 R G B   exit 0 when the area holds that colour
  e2e.py balloon SHOT                        x y inside the notification drawn above the tray
  e2e.py tray-ball SHOT red|orange|none      exit 0 when the tray icon's corner ball is that colour
  e2e.py write-original DIR RECORDS.json        groups.dat, contacts.dat, options.dat
  e2e.py cut FILE TEXT                       cut FILE in the middle of TEXT's first copy
"""
import json
import sys

from PIL import Image

ROW_HEIGHT = 40


def load(path):
    return Image.open(path).convert("RGB")


def tray_icon(path):
    """The notification area is the right end of the taskbar, the strip along
    the bottom of the Wine desktop. The icon is the rightmost run of columns
    that differ from the strip's own colour."""
    shot = load(path)
    width, height = shot.size
    pixels = shot.load()
    top = height - 20
    background = pixels[width - 1, height - 1]

    def busy(x):
        return sum(1 for y in range(top + 2, height - 1) if pixels[x, y] != background) >= 3

    x = width - 1
    while x > width // 2 and not busy(x):
        x -= 1
    if x <= width // 2:
        return None
    right = x
    while x > width // 2 and busy(x):
        x -= 1
    left = x + 1
    if right - left > 40:
        return None
    return (left + right) // 2, top + 10


def tab_right(path, wx, y):
    """The tab row is plain window colour right of the last tab: walk left
    from the tab control's right part until the last tab's border."""
    pixels = load(path).load()
    background = pixels[wx + 380, y]
    x = wx + 380
    while x > wx and pixels[x, y] == background:
        x -= 1
    return x if x > wx else None


def changed(a, b, x0, y0, x1, y1):
    first, second = load(a), load(b)
    box = (max(0, x0), max(0, y0), min(first.size[0], x1), min(first.size[1], y1))
    return first.crop(box).tobytes() != second.crop(box).tobytes()


def is_white(pixel):
    return pixel == (255, 255, 255)


def list_box(path, wx, wy, ww, wh):
    """The contact list is the large white area of the window: from points
    well inside it, walk outwards to its edges. An empty list shows its way in
    at its centre, so a point lower down is tried too; the largest area wins."""
    shot = load(path)
    pixels = shot.load()
    found = [box_from(pixels, wx, wy, ww, wh, wx + ww // 2, wy + wh * share // 8) for share in (4, 6)]
    found = [box for box in found if box]
    if not found:
        return None
    return max(found, key=lambda box: (box[2] - box[0]) * (box[3] - box[1]))


def box_from(pixels, wx, wy, ww, wh, x, y):
    if not is_white(pixels[x, y]):
        return None
    left, right, top, bottom = x, x, y, y
    # Walk along the row just above the bottom, where no text is.
    probe_y = y
    while right + 1 < wx + ww and is_white(pixels[right + 1, probe_y]):
        right += 1
    while left - 1 > wx and is_white(pixels[left - 1, probe_y]):
        left -= 1
    # Near the right edge no row draws anything: the tick boxes stay 8 pixels
    # in, and the dotted line between rows leaves the last columns white.
    first_top, last_bottom = top, bottom
    for probe_x in (right - 3, right):
        down, up = y, y
        while down + 1 < wy + wh and is_white(pixels[probe_x, down + 1]):
            down += 1
        while up - 1 > wy and is_white(pixels[probe_x, up - 1]):
            up -= 1
        first_top, last_bottom = min(first_top, up), max(last_bottom, down)
    return left, first_top, right, last_bottom


def dark(pixel):
    return sum(pixel) < 3 * 160


def rows(path, left, top, right, bottom):
    """Rows are drawn from the top of the list, one every 40 pixels; a row is
    there when its name area holds dark text."""
    pixels = load(path).load()
    count = 0
    y = top
    while y + ROW_HEIGHT - 1 <= bottom:
        text = sum(1 for yy in range(y + 2, y + ROW_HEIGHT - 2) for xx in range(left + 40, right - 30)
                   if dark(pixels[xx, yy]))
        if text < 20:
            break
        count += 1
        y += ROW_HEIGHT
    return count


def has_colour(path, x0, y0, x1, y1, colour):
    shot = load(path)
    pixels = shot.load()
    return any(pixels[x, y] == colour for x in range(max(0, x0), min(shot.size[0], x1))
               for y in range(max(0, y0), min(shot.size[1], y1)))


def balloon(path):
    """The shell draws a notification as a white box with black text, its tail
    pointing at the icon, just above the right end of the taskbar: rows of
    that strip with a long white run, and black text between them. Answers
    a point inside the box, or None."""
    shot = load(path)
    width, height = shot.size
    pixels = shot.load()
    rows_found = []
    text = 0
    for y in range(height - 220, height - 22):
        run = 0
        best = (0, 0)
        for x in range(width - 420, width):
            run = run + 1 if is_white(pixels[x, y]) else 0
            if run > best[0]:
                best = (run, x)
            text += sum(pixels[x, y]) < 150
        if best[0] >= 100:
            rows_found.append((y, best[1] - best[0] // 2))
    if len(rows_found) < 20 or text < 50:
        return None
    y, x = rows_found[len(rows_found) // 2]
    return x, y


def tray_ball(path):
    """The colour of the ball in the lower-right corner of the tray icon:
    "red", "orange" or "none"."""
    found = tray_icon(path)
    if not found:
        return None
    cx, cy = found
    pixels = load(path).load()
    red = orange = 0
    for y in range(cy, cy + 8):
        for x in range(cx, cx + 8):
            r, g, b = pixels[x, y]
            if r > 180 and g < 90 and b < 90:
                red += 1
            elif r > 220 and g >= 100 and r - g >= 75 and b < 80:  # the coin's gold stays under 75
                orange += 1
    if red >= 6 and red > orange:
        return "red"
    if orange >= 6:
        return "orange"
    return "none"


# The files of the program our users come from: wide text archives of library
# version 3, which writes no item version after a collection's element count.
# Each wide character is one UTF-16LE unit, with a 0x0D byte before every 0x0A
# byte, as a text-mode wide stream stores it. The archive ends with a line break
# when it closes.

def archive_bytes(text):
    units = text.encode("utf-16-le")
    return units.replace(b"\n", b"\r\n")


def string_token(text):
    return "%d %s" % (len(text.encode("utf-16-le")) // 2, text)


def collection_text(last_id, records):
    text = "22 serialization::archive 3 0 1 %d 0 0 %d" % (last_id, len(records))
    for index, record in enumerate(records):
        # The first element carries the pointer's and the record's class
        # information; later ones only the class id. Object ids count up.
        text += " 0 1 3 1 1\n0 " if index == 0 else " 3\n%d " % index
        text += record
    return text


def group_record(group):
    return "%d %s %s %d %d" % (group["id"], string_token(group["name"]), string_token(group["imagePath"]),
                               group["unit"], group["count"])


def contact_record(contact):
    return "%d %s %s %d %d %d %d %s %d" % (
        contact["id"], string_token(contact["name"]), string_token(contact["imagePath"]), contact["unit"],
        contact["count"], contact["lastContacted"], contact["previousContacted"], string_token(contact["notes"]),
        contact["groupId"])


def options_text(options):
    fields = ["autoStart", "warnPercent", "warnDays", "showLastContacted", "windowX", "windowY", "windowWidth",
              "windowHeight", "minimizeToTray"]
    return "22 serialization::archive 3 0 2 " + " ".join(str(int(options[name])) for name in fields)


def write_original(folder, records_path):
    with open(records_path, encoding="utf-8") as records_file:
        records = json.load(records_file)
    files = {
        "groups.dat": collection_text(records["groups"]["lastId"], [group_record(g) for g in records["groups"]["items"]]),
        "contacts.dat": collection_text(records["contacts"]["lastId"],
                                        [contact_record(c) for c in records["contacts"]["items"]]),
        "options.dat": options_text(records["options"]),
    }
    for name, text in files.items():
        with open("%s/%s" % (folder, name), "wb") as out:
            out.write(archive_bytes(text + "\n"))


def cut(path, text):
    with open(path, "rb") as data_file:
        data = data_file.read()
    needle = text.encode("utf-16-le")
    at = data.find(needle)
    if at < 0:
        sys.exit("cut: %r is not in %s" % (text, path))
    # An even offset keeps whole UTF-16 units: the file ends inside the text.
    end = at + (len(needle) // 4) * 2
    with open(path, "wb") as out:
        out.write(data[:end])


def main(argv):
    command, args = argv[1], argv[2:]
    if command == "tray-icon":
        found = tray_icon(args[0])
        if not found:
            return 1
        print(*found)
    elif command == "changed":
        return 0 if changed(args[0], args[1], *map(int, args[2:6])) else 1
    elif command == "list-box":
        found = list_box(args[0], *map(int, args[1:5]))
        if not found:
            return 1
        print(*found)
    elif command == "tab-right":
        found = tab_right(args[0], *map(int, args[1:3]))
        if not found:
            return 1
        print(found)
    elif command == "rows":
        print(rows(args[0], *map(int, args[1:5])))
    elif command == "has-colour":
        return 0 if has_colour(args[0], *map(int, args[1:5]), tuple(map(int, args[5:8]))) else 1
    elif command == "balloon":
        found = balloon(args[0])
        if not found:
            return 1
        print(*found)
    elif command == "tray-ball":
        found = tray_ball(args[0])
        print(found)
        return 0 if found == args[1] else 1
    elif command == "write-original":
        write_original(args[0], args[1])
    elif command == "cut":
        cut(args[0], args[1])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
