"""What desk users expect of the program's keyboard, selection, stacking, clipboard and undo, tried
with real keys (xdotool) and the real X clipboard (xclip; Wine bridges the CLIPBOARD selection)."""
import glob
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest
import urllib.parse

from bench import SonadeskTestCase, click, drag, key, probe, screenshot, wait_for, wine_path
import desk_fixture as fx

ITEM_STYLE = 0x80 | 0x80000        # WS_EX_TOOLWINDOW | WS_EX_LAYERED: an item window
FRAME_STYLE = 0x20 | 0x80000       # WS_EX_TRANSPARENT | WS_EX_LAYERED: the selection highlight
GLOW = 8                           # how far the highlight reaches beyond the item
REMOVE_DESK = (765, 472)           # "Remove Current Desk" button centre, client coordinates
CELL, STRIP_LEFT, STRIP_TOP = 34, 16, 9
WM_COMMAND, IDCANCEL, IDYES = 0x0111, 2, 6
WM_ADDTEXT_CLOSE = 0x4D6

# Pictures on the dark desktop above the main window (it sits at (240, 262)-(1040, 762)), 4:3 as
# their files are, and one below it.
LEFT = (40, 10, 360, 250)
OVERLAPPING = (200, 10, 520, 250)  # over LEFT's right half
RIGHT = (600, 10, 920, 250)
BELOW = (700, 780, 1020, 1020)


def make_picture(path, colour, w=400, h=300):
    subprocess.run(["convert", "-size", "%dx%d" % (w, h), "xc:" + colour, path], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def cell_centre(k):
    return STRIP_LEFT + k * CELL + CELL // 2, STRIP_TOP + CELL // 2


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def record_path(rec):
    return rec[:260].split(b"\0")[0].decode("ascii")


class Clipboard:
    """The X CLIPBOARD selection, served by xclip in the foreground until stopped."""

    def __init__(self):
        self.server = None

    def offer(self, data, target=None):
        self.stop()
        args = ["xclip", "-quiet", "-selection", "clipboard"]
        if target:
            args += ["-t", target]
        self.server = subprocess.Popen(args + ["-i"], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        self.server.stdin.write(data)
        self.server.stdin.close()
        # Served once xclip owns the selection: its list of targets names the one offered.
        want = target or "UTF8_STRING"
        self.owned = wait_for(lambda: want in self.read("TARGETS"), timeout=5)

    @staticmethod
    def read(target=None):
        args = ["xclip", "-o", "-selection", "clipboard"]
        if target:
            args += ["-t", target]
        try:
            return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10).stdout.decode(
                "latin-1")
        except subprocess.TimeoutExpired:
            return ""

    def stop(self):
        if self.server and self.server.poll() is None:
            self.server.terminate()
            try:
                self.server.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.server.kill()
        self.server = None


class DeskHabitsTest(SonadeskTestCase):
    def setUp(self):
        super().setUp()
        self.files = tempfile.mkdtemp(prefix="sonadesk-habits-")
        self.clipboard = Clipboard()

    def tearDown(self):
        self.clipboard.stop()
        super().tearDown()
        shutil.rmtree(self.files, ignore_errors=True)

    # --- helpers ------------------------------------------------------------------------------

    def picture(self, name, colour):
        return make_picture(os.path.join(self.files, name), colour)

    def write_store(self, desks, current=0):
        """desks: lists of (file, rect) pictures, bottom to top."""
        data = fx.store_image([[(fx.PICTURE, fx.picture_record(wine_path(f), r)) for f, r in d] for d in desks], current)
        os.makedirs(self.app.data, exist_ok=True)
        for name in ("Media", "Media_bak"):
            write_bytes(self.app.data_file(name), data)
        return data

    def stored(self):
        return fx.parse_store(read_bytes(self.app.data_file("Media")))

    def owned(self, style):
        main = self.app.main()
        if main is None:
            return []
        return [w for w in self.app.windows() if w["visible"] and w["owner"] == main["hwnd"]
                and (w["exstyle"] & style) == style]

    def items(self):
        """Item windows shown, top first (the window list runs from the top of the stack down)."""
        return [w for w in self.owned(ITEM_STYLE) if not w["exstyle"] & 0x20]

    def rects(self):
        return sorted(tuple(w["rect"]) for w in self.items())

    def wait_rects(self, rects, timeout=15):
        want = sorted(tuple(r) for r in rects)
        self.assertTrue(wait_for(lambda: self.rects() == want, timeout=timeout),
                        "items %s, expected %s" % (self.rects(), want))

    def frame(self):
        frames = self.owned(FRAME_STYLE)
        return tuple(frames[0]["rect"]) if frames else None

    def wait_frame_around(self, rect, timeout=10):
        want = (rect[0] - GLOW, rect[1] - GLOW, rect[2] + GLOW, rect[3] + GLOW)
        self.assertTrue(wait_for(lambda: self.frame() == want, timeout=timeout),
                        "the highlight is at %s, not around %s" % (self.frame(), rect))

    def select(self, rect, at=None):
        """Clicks an item (where only it lies) until the highlight shows around it: under a window
        manager the first click may only activate."""
        x, y = at or centre(rect)
        want = (rect[0] - GLOW, rect[1] - GLOW, rect[2] + GLOW, rect[3] + GLOW)
        for _ in range(3):
            click(x, y)
            if wait_for(lambda: self.frame() == want, timeout=3):
                return
        self.fail("the highlight did not come around %s (it is at %s)" % (rect, self.frame()))

    def menu_choice(self, at, ups):
        """Opens an item's menu with a right click and picks the entry `ups` up from the bottom
        ("Remove" 1, "Send to Back" 2, "Bring to Front" 3)."""
        before = {w["hwnd"] for w in self.app.visible_windows()}
        click(*at, button=3)
        menu = wait_for(lambda: [w for w in self.app.visible_windows() if w["hwnd"] not in before
                                 and w["class"] == "#32768"], timeout=5)
        self.assertTrue(menu, "the item's menu did not open")
        time.sleep(0.3)
        key(*(["Up"] * ups + ["Return"]))
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["hwnd"] == menu[0]["hwnd"]],
                                 timeout=5), "the menu stayed open")

    def exit_app(self):
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")

    def restart(self):
        self.exit_app()
        self.app.start()

    def colour_at(self, x, y):
        return screenshot().getpixel((x, y))

    def selected_cell(self):
        """The strip cell drawn as the selected tab (the blue one), or None."""
        shot = screenshot()
        ox, oy = self.app.client_origin()
        best, best_k = 30, None
        for k in range(9):
            x, y = ox + STRIP_LEFT + k * CELL, oy + STRIP_TOP
            px = list(shot.crop((x + 6, y + 6, x + CELL - 6, y + CELL - 6)).getdata())
            blue = (sum(p[2] for p in px) - sum(p[0] for p in px)) / len(px)
            if blue > best:
                best, best_k = blue, k
        return best_k

    def wait_cell(self, k):
        self.assertTrue(wait_for(lambda: self.selected_cell() == k, timeout=5),
                        "tab cell %s is shown selected, not %d" % (self.selected_cell(), k))

    def dialogs(self):
        main = self.app.main()["hwnd"]
        return [w for w in self.app.visible_windows() if w["class"] == "#32770" and w["hwnd"] != main]

    # --- stacking -----------------------------------------------------------------------------

    def test_bring_to_front_and_send_to_back_last_through_a_restart(self):
        red, green = self.picture("red.png", "red"), self.picture("green.png", "lime")
        self.write_store([[(red, LEFT), (green, OVERLAPPING)]])
        self.app.start()
        self.wait_rects([LEFT, OVERLAPPING])
        both = (300, 130)  # where the two pictures overlap
        only_red = (100, 130)
        self.assertGreater(self.colour_at(*both)[1], 200, "green should start on top")

        self.menu_choice(only_red, 3)  # Bring to Front
        self.assertTrue(wait_for(lambda: self.colour_at(*both)[0] > 200, timeout=5), "red did not come to the front")
        self.restart()
        self.wait_rects([LEFT, OVERLAPPING])
        desks, _ = self.stored()
        self.assertEqual([record_path(r) for _, r in desks[0]], [wine_path(green), wine_path(red)])
        self.assertTrue(wait_for(lambda: self.colour_at(*both)[0] > 200, timeout=5), "red is not on top after a restart")
        self.assertEqual([tuple(w["rect"]) for w in self.items()], [LEFT, OVERLAPPING], "window stacking after a restart")

        self.menu_choice(only_red, 2)  # Send to Back
        self.assertTrue(wait_for(lambda: self.colour_at(*both)[1] > 200 and self.colour_at(*both)[0] < 100, timeout=5),
                        "red did not go to the back")
        self.restart()
        self.wait_rects([LEFT, OVERLAPPING])
        desks, _ = self.stored()
        self.assertEqual([record_path(r) for _, r in desks[0]], [wine_path(red), wine_path(green)])
        self.assertEqual([tuple(w["rect"]) for w in self.items()], [OVERLAPPING, LEFT])
        self.assertGreater(self.colour_at(*both)[1], 200)

    # --- selection ----------------------------------------------------------------------------

    def test_the_highlight_follows_the_current_item(self):
        a, b = self.picture("a.png", "red"), self.picture("b.png", "red")
        self.write_store([[(a, LEFT), (b, RIGHT)]])
        self.app.start()
        self.wait_rects([LEFT, RIGHT])
        self.assertIsNone(self.frame(), "a highlight with no current item")
        beside_left = (LEFT[0] - 1, 130)
        beside_right = (RIGHT[0] - 1, 130)
        before = screenshot()
        bg_left, bg_right = before.getpixel(beside_left), before.getpixel(beside_right)

        self.select(LEFT)
        shot = screenshot()
        lit = shot.getpixel(beside_left)
        self.assertGreater(lit[2] - bg_left[2], 60, "no accent beside the selected item: %s over %s" % (lit, bg_left))
        self.assertGreater(lit[2], lit[0] + 60, "the accent is not blue: %s" % (lit,))
        self.assertLess(max(abs(p - q) for p, q in zip(shot.getpixel(beside_right), bg_right)), 12)
        # The item itself is not covered: its middle is still the picture.
        self.assertGreater(shot.getpixel(centre(LEFT))[0], 200)

        self.select(RIGHT)
        self.assertTrue(wait_for(lambda: max(abs(p - q) for p, q in zip(self.colour_at(*beside_left), bg_left)) < 12,
                                 timeout=5), "the highlight stayed on the first item")
        self.assertGreater(self.colour_at(*beside_right)[2] - bg_right[2], 60)

        # It moves with the item it surrounds.
        x, y = centre(RIGHT)
        drag(x, y, x + 100, y + 20)
        moved = (RIGHT[0] + 100, RIGHT[1] + 20, RIGHT[2] + 100, RIGHT[3] + 20)
        self.wait_rects([LEFT, moved])
        self.wait_frame_around(moved)

        # Another desk shown: no highlight; back on this one nothing is current until a click.
        key("ctrl+n")
        self.assertTrue(wait_for(lambda: self.frame() is None, timeout=5), "the highlight stayed on a desk switch")
        self.wait_rects([])
        key("ctrl+1")
        self.wait_rects([LEFT, moved])
        time.sleep(0.5)
        self.assertIsNone(self.frame())
        self.select(moved)

        # Removed, nothing is current: no highlight.
        key("Delete")
        self.wait_rects([LEFT])
        self.assertTrue(wait_for(lambda: self.frame() is None, timeout=5), "the highlight outlived its item")

    # --- keys ---------------------------------------------------------------------------------

    def test_desk_keys_create_show_and_step_through_desks(self):
        self.app.start()
        key("ctrl+n", "ctrl+n")
        self.wait_cell(2)
        key("ctrl+1")
        self.wait_cell(0)
        key("ctrl+Next")
        self.wait_cell(1)
        key("ctrl+Prior", "ctrl+Prior")  # the second one is past the first desk: nothing
        self.wait_cell(0)
        key("ctrl+3")
        self.wait_cell(2)
        key("ctrl+9")  # there is no ninth desk
        time.sleep(0.5)
        self.wait_cell(2)
        for _ in range(9):
            key("ctrl+n")
        # Twelve desks: the strip scrolls, desk 12 in the last tab cell.
        self.wait_cell(7)
        key("ctrl+1")
        self.wait_cell(1)  # cell 0 is the left arrow; the strip went back to the start
        key("ctrl+9")
        self.wait_cell(7)  # desk 9 came into view in the last tab cell
        key("ctrl+Next")
        self.wait_cell(7)
        # The strip shows desks 4 to 10: the first tab cell is desk 4.
        self.app.click_client(*cell_centre(1))
        self.wait_cell(1)
        key("ctrl+Next")
        self.wait_cell(2)
        self.exit_app()
        desks, current = self.stored()
        self.assertEqual((len(desks), current), (12, 4))

    def test_delete_add_text_and_import_keys_and_none_of_them_inside_a_dialog(self):
        a = self.picture("a.png", "red")
        self.write_store([[(a, LEFT)]])
        self.app.start()
        self.wait_rects([LEFT])
        key("Delete")  # nothing is current yet
        time.sleep(0.5)
        self.wait_rects([LEFT])
        self.select(LEFT)
        key("Delete")
        self.wait_rects([])

        # Ctrl+T opens the note editor; the desk's keys are its text box's there.
        key("ctrl+t")
        editor = wait_for(lambda: [w for w in self.app.visible_windows() if w["title"] == "Add Text"], timeout=10)
        self.assertTrue(editor, "Ctrl+T did not open the note editor")
        time.sleep(0.5)
        key("ctrl+n", "ctrl+z", "Delete")
        probe("post", editor[0]["hwnd"], WM_ADDTEXT_CLOSE, 0, 1)  # its Cancel
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["title"] == "Add Text"],
                                 timeout=10))

        # Ctrl+O opens the picture import dialog; Ctrl+N there makes no desk either.
        key("ctrl+o")
        dialog = wait_for(self.dialogs, timeout=15)
        self.assertTrue(dialog, "Ctrl+O did not open the Open dialog")
        time.sleep(0.5)
        key("ctrl+n", "ctrl+z")
        probe("post", dialog[0]["hwnd"], WM_COMMAND, IDCANCEL, 0)
        self.assertTrue(wait_for(lambda: not self.dialogs(), timeout=10), "the Open dialog stayed")
        time.sleep(0.5)
        self.wait_rects([])  # Ctrl+Z in the dialogs brought nothing back
        self.exit_app()
        desks, _ = self.stored()
        self.assertEqual(desks, [[]])

    # --- clipboard ----------------------------------------------------------------------------

    def test_paste_a_picture_saves_it_under_pasted_and_imports_it(self):
        png = make_picture(os.path.join(self.files, "shot.png"), "lime", 300, 200)
        self.app.start()
        self.clipboard.offer(read_bytes(png), "image/png")
        self.assertTrue(self.clipboard.owned, "xclip did not take the clipboard")
        main = self.app.main()["rect"]
        key("ctrl+v")
        left, top = main[0], main[1] + 50
        self.wait_rects([(left, top, left + 360, top + 240)])
        pasted = glob.glob(os.path.join(self.app.data, "Pasted", "Pasted-*.png"))
        self.assertEqual(len(pasted), 1, "files in Data/Pasted: %s" % pasted)
        from PIL import Image
        with Image.open(pasted[0]) as img:
            self.assertEqual((img.format, img.size), ("PNG", (300, 200)))
            self.assertEqual(img.convert("RGB").getpixel((150, 100)), (0, 255, 0))
        # A picture offered as a bitmap (what most programs put on the clipboard) is written as
        # a PNG too, beside the first.
        bmp = make_picture(os.path.join(self.files, "shot.bmp"), "blue", 200, 400)
        self.clipboard.offer(read_bytes(bmp), "image/bmp")
        self.assertTrue(self.clipboard.owned)
        key("ctrl+v")
        self.wait_rects([(left, top, left + 360, top + 240), (left, top, left + 180, top + 360)])
        second = [p for p in glob.glob(os.path.join(self.app.data, "Pasted", "Pasted-*.png")) if p != pasted[0]]
        self.assertEqual(len(second), 1)
        with Image.open(second[0]) as img:
            self.assertEqual((img.format, img.size), ("PNG", (200, 400)))
            self.assertEqual(img.convert("RGB").getpixel((100, 200)), (0, 0, 255))
        self.exit_app()
        desks, _ = self.stored()
        self.assertEqual([record_path(r) for _, r in desks[0]], [wine_path(pasted[0]), wine_path(second[0])])

    def test_paste_files_imports_them_as_dropped_files(self):
        jpg = make_picture(os.path.join(self.files, "wide.jpg"), "red", 400, 200)
        bmp = make_picture(os.path.join(self.files, "tall.bmp"), "blue", 200, 400)
        txt = os.path.join(self.files, "notes.txt")
        write_bytes(txt, b"not a picture")
        self.app.start()
        uris = "".join("file://%s\r\n" % p for p in (jpg, txt, bmp))
        self.clipboard.offer(uris.encode(), "text/uri-list")
        self.assertTrue(self.clipboard.owned)
        main = self.app.main()["rect"]
        key("ctrl+v")
        left, top = main[0], main[1] + 50
        self.wait_rects([(left, top, left + 360, top + 180), (left, top, left + 180, top + 360)])
        self.assertFalse(os.path.exists(os.path.join(self.app.data, "Pasted")) and
                         os.listdir(os.path.join(self.app.data, "Pasted")), "pasted files were copied")
        self.exit_app()
        desks, _ = self.stored()
        self.assertEqual([record_path(r) for _, r in desks[0]], [wine_path(jpg), wine_path(bmp)])

    def test_paste_text_adds_a_note_without_the_editor(self):
        self.app.start()
        self.clipboard.offer(b"Pasted words\nsecond line")
        self.assertTrue(self.clipboard.owned)
        key("ctrl+v")
        notes = wait_for(lambda: [w for w in self.owned(ITEM_STYLE) if w["region"] != 0], timeout=10)
        self.assertTrue(notes, "no note appeared")
        self.assertFalse([w for w in self.app.visible_windows() if w["title"] == "Add Text"], "the editor opened")
        main = self.app.main()["rect"]
        self.assertEqual(notes[0]["rect"][:2], [main[0] + 10, main[1] + 60])
        self.exit_app()
        desks, _ = self.stored()
        self.assertEqual(len(desks[0]), 1)
        kind, rec = desks[0][0]
        self.assertEqual(kind, fx.NOTE)
        self.assertEqual(rec[:10000].split(b"\0")[0], b"Pasted words\r\nsecond line")
        colour, reserved = struct.unpack_from("<II", rec, 10024)
        points = struct.unpack_from("<i", rec, 10032)[0]
        face = rec[10032 + 28:10032 + 60].split(b"\0")[0]
        self.assertEqual((colour, reserved, points, face), (0, 0xC8C8C8, 12, b"Microsoft Sans Serif"))

    def test_copy_a_note_a_picture_and_music_for_other_programs(self):
        a = self.picture("copied.png", "red")
        note = fx.note_record("Copied note\r\nline two", (600, 40), 14, "Microsoft Sans Serif", (0, 0, 0))
        music = (1000, 300, 1260, 430)
        data = fx.store_image([[(fx.PICTURE, fx.picture_record(wine_path(a), LEFT)), (fx.NOTE, note),
                                (fx.MUSIC, fx.media_record(fx.DEMO_MUSIC, music))]])
        os.makedirs(self.app.data, exist_ok=True)
        for name in ("Media", "Media_bak"):
            write_bytes(self.app.data_file(name), data)
        self.app.start()
        notes = wait_for(lambda: [w for w in self.owned(ITEM_STYLE) if w["region"] != 0], timeout=10)
        self.assertTrue(notes)
        self.select(tuple(notes[0]["rect"]))
        key("ctrl+c")
        text = wait_for(lambda: self.clipboard.read(), timeout=10)
        self.assertEqual((text or "").replace("\r\n", "\n"), "Copied note\nline two")

        self.select(LEFT)
        key("ctrl+c")
        targets = wait_for(lambda: (lambda t: t if "text/uri-list" in t else None)(self.clipboard.read("TARGETS")),
                           timeout=10)
        self.assertTrue(targets, "the picture's file is not on the clipboard")
        self.assertIn("image/bmp", targets, "the picture itself is not on the clipboard")
        uris = urllib.parse.unquote(self.clipboard.read("text/uri-list"))
        self.assertEqual(uris.split(), ["file://" + a])
        bmp = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "image/bmp"], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=10).stdout
        from PIL import Image
        import io
        with Image.open(io.BytesIO(bmp)) as img:
            self.assertEqual(img.size, (400, 300))
            r, g, b = img.convert("RGB").getpixel((200, 150))
            self.assertTrue(r > 200 and g < 60 and b < 60, (r, g, b))

        # Music: its file (the demo song, kept in the data folder). The card is made current from
        # its menu: a left click on it starts a move that a window manager takes over, keyboard
        # and all, until the next click.
        before = {w["hwnd"] for w in self.app.visible_windows()}
        click(music[0] + 60, music[1] + 100, button=3)
        menu = wait_for(lambda: [w for w in self.app.visible_windows() if w["hwnd"] not in before
                                 and w["class"] == "#32768"], timeout=5)
        self.assertTrue(menu, "the card's menu did not open")
        self.wait_frame_around(music)
        key("Escape")
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["hwnd"] == menu[0]["hwnd"]],
                                 timeout=5), "the menu stayed open")
        key("ctrl+c")
        self.assertTrue(wait_for(lambda: "demo01.mp3" in urllib.parse.unquote(self.clipboard.read("text/uri-list")),
                                 timeout=10), "the song's file is not on the clipboard")
        uris = urllib.parse.unquote(self.clipboard.read("text/uri-list"))
        self.assertEqual(uris.split(), ["file://" + self.app.data_file("demo01.mp3")])
        self.assertNotIn("image/bmp", self.clipboard.read("TARGETS"))

    # --- undo ---------------------------------------------------------------------------------

    def test_undo_brings_back_a_removed_desk_a_removed_item_and_a_deleted_item(self):
        a, b, c, d = (self.picture(n + ".png", col) for n, col in
                      (("a", "red"), ("b", "lime"), ("c", "blue"), ("d", "yellow")))
        original = self.write_store([[(a, LEFT), (b, RIGHT), (c, BELOW)], [(d, LEFT)]])
        self.app.start()
        self.wait_rects([LEFT, RIGHT, BELOW])
        self.select(LEFT)
        key("Delete")
        self.wait_rects([RIGHT, BELOW])
        self.menu_choice(centre(RIGHT), 1)  # Remove
        self.wait_rects([BELOW])
        key("ctrl+2")
        self.wait_rects([LEFT])
        self.app.click_client(*REMOVE_DESK)
        box = wait_for(self.dialogs, timeout=8)
        self.assertTrue(box, "no confirmation box")
        probe("post", box[0]["hwnd"], WM_COMMAND, IDYES, 0)
        self.assertTrue(wait_for(lambda: not self.dialogs(), timeout=8))
        self.wait_rects([BELOW])

        key("ctrl+z")  # the desk, shown again, at its place in the strip
        self.wait_rects([LEFT])
        self.wait_cell(1)
        key("ctrl+z")  # the removed item, on its own desk, made current
        self.wait_rects([RIGHT, BELOW])
        self.wait_cell(0)
        self.wait_frame_around(RIGHT)
        key("ctrl+z")  # the deleted one, below the others as it was
        self.wait_rects([LEFT, RIGHT, BELOW])
        self.wait_frame_around(LEFT)
        self.assertEqual([tuple(w["rect"]) for w in self.items()][-1], LEFT, "the returned item is not at the bottom")
        key("ctrl+z")  # nothing more to undo
        time.sleep(0.5)
        self.wait_rects([LEFT, RIGHT, BELOW])
        self.exit_app()
        # Every record came back byte for byte, in its place.
        self.assertEqual(read_bytes(self.app.data_file("Media")), original)


if __name__ == "__main__":
    unittest.main()
