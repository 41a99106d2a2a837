#!/usr/bin/env python3
"""Checks the user guide, resources/help.html, against the program it describes.

The guide is opened from the disk, offline, by whatever browser the user has:
it must be well-formed and self-contained. Every label it marks as the
program's own (class "ui") must be a text the program shows, and the figures it
gives (warning ranges and defaults, the smallest window, the data files, the
auto-start key) must be the ones in the code.

    help_page_test.py SOURCE_DIR
"""
import html
import html.parser
import pathlib
import re
import sys
import unittest

SOURCE = pathlib.Path(sys.argv.pop(1) if len(sys.argv) > 1 else ".").resolve()
HELP = SOURCE / "resources" / "help.html"
VOID = {"meta", "br", "hr", "img", "input", "link", "col", "wbr", "source", "area", "base"}


def squeeze(text):
    return " ".join(text.split())


class Page(html.parser.HTMLParser):
    """Element nesting, ids, links, attributes and the texts marked as labels."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open = []
        self.errors = []
        self.ids = []
        self.links = []
        self.attributes = []
        self.tags = []
        self.labels = []
        self.label_depth = None
        self.label_text = []
        self.styles = []
        self.text = []

    def handle_starttag(self, tag, attrs):
        self.tags.append(tag)
        self.attributes.extend(attrs)
        values = dict(attrs)
        if "id" in values:
            self.ids.append(values["id"])
        if "href" in values:
            self.links.append(values["href"])
        if tag in VOID:
            return
        self.open.append((tag, self.getpos()))
        if tag == "span" and "ui" in values.get("class", "").split():
            if self.label_depth is not None:
                self.errors.append(f"label inside a label at line {self.getpos()[0]}")
            self.label_depth = len(self.open)
            self.label_text = []

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        if not self.open or self.open[-1][0] != tag:
            expected = self.open[-1] if self.open else ("nothing", (0, 0))
            self.errors.append(f"</{tag}> at line {self.getpos()[0]} closes <{expected[0]}> of line {expected[1][0]}")
            return
        if self.label_depth == len(self.open):
            self.labels.append(squeeze("".join(self.label_text)))
            self.label_depth = None
        self.open.pop()

    def handle_data(self, data):
        if self.open and self.open[-1][0] == "style":
            self.styles.append(data)
            return
        self.text.append(data)
        if self.label_depth is not None:
            self.label_text.append(data)


def read_page():
    page = Page()
    page.feed(HELP.read_text(encoding="utf-8"))
    page.close()
    return page


def shown_texts():
    """Every text the program can show: dialog templates and wide string literals,
    with the keyboard-accelerator ampersands taken out."""
    def plain(text):
        return squeeze(text.replace("&&", "\0").replace("&", "").replace("\0", "&"))

    texts = set()
    rc = (SOURCE / "resources" / "amicord.rc").read_text(encoding="utf-8")
    texts.update(plain(t) for t in re.findall(r'"((?:[^"\\]|\\.)*)"', rc))
    for folder in ("app", "lists", "dialogs", "controls"):
        for path in sorted((SOURCE / folder).glob("*.*")):
            if path.suffix in (".cpp", ".h"):
                code = path.read_text(encoding="utf-8")
                texts.update(plain(t) for t in re.findall(r'L"((?:[^"\\]|\\.)*)"', code))
    return texts


def code_number(relative, pattern):
    match = re.search(pattern, (SOURCE / relative).read_text(encoding="utf-8"))
    if not match:
        raise AssertionError(f"{relative} no longer has {pattern!r}")
    return match.group(1)


class HelpPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.page = read_page()
        cls.words = squeeze(html.unescape("".join(cls.page.text)))

    def assertSays(self, phrase):
        self.assertTrue(phrase in self.words, f"the guide does not say {phrase!r}")

    def test_well_formed_and_titled(self):
        self.assertEqual([], self.page.errors)
        self.assertEqual([], [tag for tag, _ in self.page.open], "elements left open")
        self.assertEqual(1, self.page.tags.count("title"))
        self.assertIn(("charset", "utf-8"), self.page.attributes)
        self.assertEqual(len(self.page.ids), len(set(self.page.ids)), "an id is used twice")

    def test_self_contained(self):
        for tag in ("script", "link", "img", "iframe", "object", "embed"):
            self.assertNotIn(tag, self.page.tags)
        self.assertEqual([], [a for a in self.page.attributes if a[0] in ("src", "srcset", "action")])
        style = "".join(self.page.styles)
        self.assertNotIn("url(", style)
        self.assertNotIn("@import", style)
        for link in self.page.links:
            self.assertTrue(link.startswith("#"), f"link out of the page: {link}")
            self.assertIn(link[1:], self.page.ids, f"link to a missing section: {link}")

    def test_labels_are_the_programs_texts(self):
        self.assertGreater(len(self.page.labels), 20, "labels are no longer marked")
        texts = shown_texts()
        unknown = sorted({label for label in self.page.labels if label not in texts})
        self.assertEqual([], unknown, "the guide names labels the program does not show")

    def test_figures_match_the_code(self):
        max_percent = code_number("dialogs/dlg_options.h", r"kMaxWarnPercent = (\d+)")
        max_days = code_number("dialogs/dlg_options.h", r"kMaxWarnDays = (\d+)")
        percent = code_number("model/options.h", r"warnPercent = (\d+)")
        days = code_number("model/options.h", r"warnDays = (\d+)")
        self.assertSays(f"a percentage, 1 to {max_percent} ({percent} at first)")
        self.assertSays(f"a number of days, 1 to {max_days} ({days} at first)")
        # The options dialog refuses 0 for both levels.
        self.assertRegex((SOURCE / "dialogs/dlg_options.cpp").read_text(encoding="utf-8"),
                         r"percent <= 0 \|\| percent > kMaxWarnPercent")
        width = code_number("app/window_placement.h", r"kMinWidth = (\d+)")
        height = code_number("app/window_placement.h", r"kMinHeight = (\d+)")
        self.assertSays(f"smaller than {width} by {height} pixels")

    def test_data_and_auto_start_places_match_the_code(self):
        engine = (SOURCE / "model/engine.cpp").read_text(encoding="utf-8")
        names = sorted(set(re.findall(r'L"(\w+\.dat)"', engine)))
        self.assertEqual(["contacts.dat", "groups.dat", "journal.dat", "options.dat"], names)
        for name in names:
            self.assertSays(name)
        self.assertIn('L"settings"', (SOURCE / "model/paths.cpp").read_text(encoding="utf-8"))
        self.assertSays("settings folder beside Amicord.exe")
        subkey = code_number("model/autostart_win.h", r'kRunSubkey = L"([^"]+)"').replace("\\\\", "\\")
        value = code_number("model/autostart_win.h", r'kRunValueName = L"([^"]+)"')
        keys = re.findall(r"HKEY_(?:LOCAL_MACHINE|CURRENT_USER)\\[\w\\]+", self.words)
        self.assertEqual(2, len(keys), keys)
        for key in keys:
            self.assertEqual(subkey.lower(), key.split("\\", 1)[1].lower())
        self.assertSays(f"a value named {value}")
        # The guide says the machine's key comes first and the user's is the fallback.
        platform = (SOURCE / "model/platform_win.cpp").read_text(encoding="utf-8")
        entry = platform[platform.index("void SetAutoStartEntry"):]
        self.assertLess(entry.index("HKEY_LOCAL_MACHINE"), entry.index("HKEY_CURRENT_USER"))
        self.assertLess(self.words.index("HKEY_LOCAL_MACHINE"), self.words.index("HKEY_CURRENT_USER"))
        damaged = code_number("model/archive.cpp", r'path \+ L"(\.damaged)"')
        self.assertSays(f"contacts.dat{damaged}")


if __name__ == "__main__":
    unittest.main(verbosity=1)
