"""Names and notes in any language: pictures named outside the code page (next to a look-alike),
paths past MAX_PATH, notes in Greek, Chinese and emoji, a huge paste, and a program folder the code
page cannot spell. Files come in as users bring them (the real X clipboard with text/uri-list, a drop) and
must be the very files shown, stored and shown again after a restart."""
import os
import shutil
import struct
import tempfile
import time
import urllib.parse
import zlib

from bench import Sonadesk, SonadeskTestCase, click, key, probe, run, screenshot, type_text, wait_for, wine_path, WIN
import desk_fixture as fx
from test_desk_habits import Clipboard, ITEM_STYLE, make_picture, read_bytes

IMPORT_PICTURE = (499, 469)  # "Import Picture Files" button centre, main window client
NOTE_GREEK = "Ελλάδα αβγ"
NOTE_MIXED = "Ελλάδα αβγ\r\n写真 😀"


def parse_store(data):
    """(desks, current, entries) of a store file with its extension trailer (if any): desks are
    lists of (type, record); entries map key -> (kind, field hash, UTF-8 text)."""
    count, current = struct.unpack_from("<II", data, 0)
    at, desks = 8, []
    for _ in range(count):
        (n,) = struct.unpack_from("<I", data, at)
        at += 4
        items = []
        for _ in range(n):
            (kind,) = struct.unpack_from("<I", data, at)
            items.append((kind, data[at + 4:at + 4 + fx.RECORD_SIZES[kind]]))
            at += 4 + fx.RECORD_SIZES[kind]
        desks.append(items)
    entries = {}
    trailer = data[at:]
    if trailer:
        assert trailer[:4] == b"SDXT", "bytes after the last desk are not the extension: %r" % trailer[:8]
        version, n = struct.unpack_from("<II", trailer, 4)
        assert version == 1
        pos = 12
        for _ in range(n):
            k, kind, h, length = struct.unpack_from("<IIII", trailer, pos)
            pos += 16
            entries[k] = (kind, h, trailer[pos:pos + length].decode("utf-8"))
            pos += length
        (crc,) = struct.unpack_from("<I", trailer, pos)
        assert crc == zlib.crc32(trailer[:pos]), "the extension's checksum is wrong"
        assert pos + 4 == len(trailer)
    return desks, current, entries


TAG_OFFSET = {fx.MOVIE: 260, fx.MUSIC: 260, fx.PICTURE: 276, fx.NOTE: 10016}


def full_text(kind, rec, entries):
    """What a record holds in full: its extension entry's text, else its field (code page 1252)."""
    tag = rec[TAG_OFFSET[kind]:TAG_OFFSET[kind] + 8]
    field = rec[:10000 if kind == fx.NOTE else 260].split(b"\0")[0]
    if tag[7] != 0:
        (key_,) = struct.unpack_from("<I", tag, 0)
        h = 2166136261
        for b in field:
            h = ((h ^ b) * 16777619) & 0xFFFFFFFF
        if key_ in entries and entries[key_][1] == h:
            return entries[key_][2]
    return field.decode("cp1252", "replace")


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def dominant(rgb):
    r, g, b = rgb[:3]
    if r > 180 and g > 180 and b < 90:
        return "yellow"
    if r > 180 and g < 90 and b > 180:
        return "magenta"
    if r > 180 and g < 90 and b < 90:
        return "red"
    if g > 180 and r < 90 and b < 90:
        return "green"
    if b > 180 and r < 90 and g < 90:
        return "blue"
    if r > 180 and g > 180 and b > 180:
        return "white"
    return str(rgb)


class NamesTest(SonadeskTestCase):
    def setUp(self):
        super().setUp()
        self.files = tempfile.mkdtemp(prefix="sonadesk-names-")
        self.clipboard = Clipboard()

    def tearDown(self):
        self.clipboard.stop()
        super().tearDown()
        shutil.rmtree(self.files, ignore_errors=True)

    def items(self):
        main = self.app.main()
        if main is None:
            return []
        return [w for w in self.app.windows() if w["visible"] and w["owner"] == main["hwnd"]
                and (w["exstyle"] & ITEM_STYLE) == ITEM_STYLE and not w["exstyle"] & 0x20]

    def new_item(self, before, timeout=15):
        known = {w["hwnd"] for w in before}
        got = wait_for(lambda: [w for w in self.items() if w["hwnd"] not in known], timeout=timeout)
        self.assertTrue(got, "no new item appeared")
        return got[0]

    def colour_in(self, rect):
        x, y = (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2
        return dominant(screenshot().getpixel((x, y)))

    def wait_colour(self, rect, want, timeout=15):
        got = wait_for(lambda: self.colour_in(rect) == want, timeout=timeout)
        self.assertTrue(got, "the item at %s shows %s, not %s" % (rect, self.colour_in(rect), want))

    def exit_app(self):
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")

    def stored(self):
        return parse_store(read_bytes(self.app.data_file("Media")))

    def long_path(self, name, length=284):
        """A file whose Windows path is exactly `length` characters, in folders of its own."""
        need = length - len(wine_path(self.files) + "\\") - len(name)
        folder = self.files
        while need > 1:
            part = min(60, need - 1)
            folder = os.path.join(folder, "d" * part)
            need -= part + 1
        os.makedirs(folder, exist_ok=True)
        return os.path.join(folder, "x" * need + name)

    # --- pictures ------------------------------------------------------------------------------

    def test_pasted_and_dropped_pictures_named_in_any_language_are_the_files_chosen(self):
        # "Zdjęcie" beside its look-alike "Zdjecie": a best-fit conversion turns the first name
        # into the second. Different colours and shapes tell which one is shown.
        cases = [
            ("Zdjęcie.jpg", "red", 400, 300),
            ("写真.jpg", "lime", 300, 400),
            ("Ελλάδα.jpg", "yellow", 400, 200),
        ]
        make_picture(os.path.join(self.files, "Zdjecie.jpg"), "blue", 300, 300)
        paths = [make_picture(os.path.join(self.files, n), c, w, h) for n, c, w, h in cases]
        long_file = self.long_path("long.jpg")
        make_picture(long_file, "magenta", 200, 400)
        self.assertEqual(len(wine_path(long_file)), 284)
        cases.append(("long", "magenta", 200, 400))
        paths.append(long_file)
        dropped_file = make_picture(os.path.join(self.files, "Ελλάδα δύο.jpg"), "blue", 400, 100)

        self.app.start()
        shown = []
        for path, (_, made, w, h) in zip(paths, cases):
            colour = "green" if made == "lime" else made
            before = self.items()
            self.clipboard.offer(("file://%s\r\n" % urllib.parse.quote(path)).encode(), "text/uri-list")
            self.assertTrue(self.clipboard.owned)
            key("ctrl+v")
            item = self.new_item(before)
            r = item["rect"]
            want = (360, 360 * h // w) if w > h else (360 * w // h, 360)
            self.assertEqual((r[2] - r[0], r[3] - r[1]), want, "%s placed at the size of another file" % path)
            self.wait_colour(r, colour)
            shown.append(tuple(r))
        # A drop, as Explorer hands names: wide.
        before = self.items()
        run(["wine", os.path.join(WIN, "drop_files.exe"), str(self.app.main()["hwnd"]), wine_path(dropped_file)],
            timeout=30)
        item = self.new_item(before)
        r = item["rect"]
        self.assertEqual((r[2] - r[0], r[3] - r[1]), (360, 90))
        self.wait_colour(r, "blue")
        self.exit_app()

        desks, _, entries = self.stored()
        stored = [full_text(kind, rec, entries) for kind, rec in desks[0]]
        self.assertEqual(stored, [wine_path(p) for p in paths + [dropped_file]])
        for kind, rec in desks[0]:
            field = rec[:260].split(b"\0")[0]
            # The field never names the look-alike, nor any other file.
            self.assertNotIn(b"Zdjecie", field)
            self.assertTrue(len(field) < 260)

        # A restart shows the same files: the top one (the drop) and, under it, each file's size.
        self.app.start()
        self.assertTrue(wait_for(lambda: len(self.items()) == 5, timeout=20), "the desk came back with %d items"
                        % len(self.items()))
        sizes = sorted((w["rect"][2] - w["rect"][0], w["rect"][3] - w["rect"][1]) for w in self.items())
        self.assertEqual(sizes, sorted([(360, 270), (270, 360), (360, 180), (180, 360), (360, 90)]))
        self.wait_colour(r, "blue")
        # The long path's picture lies under the drop; its lower half is its own.
        lx = shown[3][0] + 90
        self.assertTrue(wait_for(lambda: dominant(screenshot().getpixel((lx, shown[3][3] - 40))) == "magenta",
                                 timeout=15), "the long path's picture is not shown after the restart")

    def import_through_the_open_dialog(self, folder, pick):
        """Runs "Import Picture Files", opens `folder` and picks the list's first ("Home") or last
        ("End") file with the keyboard."""
        main = self.app.main()["hwnd"]
        self.app.click_client(*IMPORT_PICTURE)
        dialog = wait_for(lambda: [w for w in self.app.windows() if w["visible"] and w["class"] == "#32770"
                                   and w["hwnd"] != main], timeout=15)
        self.assertTrue(dialog, "the Open dialog did not appear")
        time.sleep(0.5)
        type_text(wine_path(folder) + "\\")
        key("Return")
        time.sleep(0.8)
        key("shift+Tab", "Down", pick, "Return")
        self.assertTrue(wait_for(lambda: not [w for w in self.app.windows() if w["hwnd"] == dialog[0]["hwnd"]
                                              and w["visible"]], timeout=15), "the Open dialog did not close")

    def test_the_open_dialog_places_a_name_and_its_look_alike_as_two_files(self):
        # Through the ANSI dialog "Zdjęcie.jpg" came back as "Zdjecie.jpg": both picks gave the same
        # (blue, square) picture. Each pick must give its own.
        folder = os.path.join(self.files, "pick")
        os.makedirs(folder)
        red = make_picture(os.path.join(folder, "Zdjęcie.jpg"), "red", 400, 300)
        blue = make_picture(os.path.join(folder, "Zdjecie.jpg"), "blue", 300, 300)
        self.app.start()
        placed = []
        for pick in ("Home", "End"):
            before = self.items()
            self.import_through_the_open_dialog(folder, pick)
            item = self.new_item(before)
            r = item["rect"]
            size = (r[2] - r[0], r[3] - r[1])
            self.assertIn(size, [(360, 270), (360, 360)])
            colour = "red" if size == (360, 270) else "blue"
            self.wait_colour(r, colour)
            placed.append(colour)
        self.assertEqual(sorted(placed), ["blue", "red"])
        self.exit_app()
        desks, _, entries = self.stored()
        stored = sorted(full_text(kind, rec, entries) for kind, rec in desks[0])
        self.assertEqual(stored, sorted([wine_path(red), wine_path(blue)]))

    # --- notes ---------------------------------------------------------------------------------

    def note_windows(self):
        return [w for w in self.items() if w["region"] != 0]

    def test_a_note_in_greek_chinese_and_emoji_survives_save_restart_edit_and_copy(self):
        self.app.start()
        self.clipboard.offer(NOTE_MIXED.replace("\r\n", "\n").encode("utf-8"))
        self.assertTrue(self.clipboard.owned)
        key("ctrl+v")
        self.assertTrue(wait_for(self.note_windows, timeout=10), "no note appeared")
        self.exit_app()
        desks, _, entries = self.stored()
        kind, rec = desks[0][0]
        self.assertEqual(kind, fx.NOTE)
        self.assertEqual(full_text(kind, rec, entries), NOTE_MIXED)
        # The field keeps the code page's honest rendering: no look-alikes ("aß" for "αβ").
        field = rec[:10000].split(b"\0")[0]
        self.assertNotIn(b"a\xdf", field)
        self.assertTrue(field.startswith(b"??????"), field[:20])

        self.app.start()
        note = wait_for(self.note_windows, timeout=15)
        self.assertTrue(note, "the note did not come back")
        rect = note[0]["rect"]
        # Copy: the full text reaches other programs.
        for _ in range(3):
            probe("post", note[0]["hwnd"], 0x201, 1, ((20 << 16) | 20))
            probe("post", note[0]["hwnd"], 0x202, 0, ((20 << 16) | 20))
            time.sleep(0.5)
            key("Escape")
            key("ctrl+c")
            if wait_for(lambda: "Ελλάδα" in self.clipboard_text(), timeout=3):
                break
        self.assertEqual(self.clipboard_text().replace("\r\n", "\n"), NOTE_MIXED.replace("\r\n", "\n"))

        # Edit: the editor shows the full text, and OK keeps it with what is typed, Greek too.
        click(*centre(rect), double=True)
        editor = wait_for(lambda: [w for w in self.app.visible_windows() if w["title"] == "Add Text"], timeout=10)
        self.assertTrue(editor, "the editor did not open")
        bars = self.app.children(editor[0]["hwnd"])
        bar = [c for c in bars if c["id"] == 0 and c["client"] == [360, 300]][0]
        box = [c for c in self.app.children(bar["hwnd"]) if c["id"] == 10056][0]["rect"]
        click(box[0] + 30, box[1] + 30)
        key("ctrl+End")
        type_text(" ok")
        click(bar["rect"][0] + 124, bar["rect"][3] - 19)  # OK
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["title"] == "Add Text"],
                                 timeout=10), "the editor stayed open")
        self.exit_app()
        desks, _, entries = self.stored()
        kind, rec = desks[0][0]
        self.assertEqual(full_text(kind, rec, entries), NOTE_MIXED + " ok")

    def clipboard_text(self):
        out = run(["xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"], timeout=10)
        return out.stdout if out and out.stdout else ""

    def test_a_huge_paste_says_what_was_cut_and_the_note_fits_the_screen(self):
        self.app.start()
        line = "Ελλάδα αβγ " * 9 + "\n"
        text = line * (1024 * 1024 // len(line.encode("utf-8")))
        self.clipboard.offer(text.encode("utf-8"))
        self.assertTrue(self.clipboard.owned)
        key("ctrl+v")
        main = self.app.main()["hwnd"]
        box = wait_for(lambda: [w for w in self.app.visible_windows() if w["class"] == "#32770"
                                and w["hwnd"] != main], timeout=20)
        self.assertTrue(box, "nothing told what was left out")
        texts = " ".join(probe("text", c["hwnd"])[0][0]["text"] for c in self.app.children(box[0]["hwnd"]))
        self.assertIn("9,999 characters", texts)
        self.assertIn("left out", texts)
        key("Return")
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["hwnd"] == box[0]["hwnd"]],
                                 timeout=10), "the message stayed")
        note = wait_for(self.note_windows, timeout=10)
        self.assertTrue(note)
        r = note[0]["rect"]
        # On the 1280 x 1024 screen, whole.
        self.assertTrue(r[0] >= 0 and r[1] >= 0 and r[2] <= 1280 and r[3] <= 1024, r)
        self.exit_app()
        desks, _, entries = self.stored()
        kept = full_text(*desks[0][0], entries)
        units = len(kept.encode("utf-16-le")) // 2
        self.assertTrue(9900 < units <= 9999, units)
        self.assertTrue(text.replace("\n", "\r\n").startswith(kept))
    # --- the program's own folder --------------------------------------------------------------

    def test_a_program_folder_the_code_page_cannot_spell(self):
        folder = os.path.join(self.files, "Пользователь")
        self.app.close()
        shutil.rmtree(self.app.folder, ignore_errors=True)
        self.app = Sonadesk(folder)
        picture = make_picture(os.path.join(self.files, "写真.jpg"), "lime", 400, 300)
        self.app.start()
        for name in ("EnglishLang_src", "demo01.jpg", "demo01.mp3"):
            self.assertTrue(os.path.exists(self.app.data_file(name)), name + " was not written")
        before = self.items()
        self.clipboard.offer(("file://%s\r\n" % urllib.parse.quote(picture)).encode(), "text/uri-list")
        self.assertTrue(self.clipboard.owned)
        key("ctrl+v")
        item = self.new_item(before)
        self.wait_colour(item["rect"], "green")
        main = self.app.main()["hwnd"]
        self.assertFalse([w for w in self.app.visible_windows() if w["class"] == "#32770" and w["hwnd"] != main],
                         "a message came up")
        self.exit_app()
        desks, _, entries = self.stored()
        self.assertEqual([full_text(k, r, entries) for k, r in desks[0]], [wine_path(picture)])
        self.assertEqual(read_bytes(self.app.data_file("Media")), read_bytes(self.app.data_file("Media_bak")))
        self.app.start()
        self.assertTrue(wait_for(lambda: len(self.items()) == 1, timeout=15))
        self.wait_colour(self.items()[0]["rect"], "green")
