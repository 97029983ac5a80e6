"""Pictures: imported through the real Open dialog, dragged, removed from their menu, deleted,
dropped from outside, and kept across a restart."""
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

from bench import WIN, SonadeskTestCase, click, drag, key, probe, run, screenshot, type_text, wait_for, wine_path

IMPORT_PICTURE = (499, 469)  # "Import Picture Files" button centre, client coordinates
DELETE_ITEM = (627, 469)     # "Delete"
DROP_FILES = os.path.join(WIN, "drop_files.exe")
ITEM_STYLE = 0x80 | 0x80000   # WS_EX_TOOLWINDOW | WS_EX_LAYERED


def make_picture(path, w, h, colour="red"):
    """JPEG, PNG or BMP by the file's extension, drawn by ImageMagick."""
    subprocess.run(["convert", "-size", "%dx%d" % (w, h), "xc:" + colour, path], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


def make_wmf(path, w, h):
    """A placeable metafile with one filled rectangle of w by h units at 96 units an inch."""
    def record(function, *params):
        return struct.pack("<IH", 3 + len(params), function) + struct.pack("<%dh" % len(params), *params)
    body = (record(0x02FC, 0, 0x2080, 0xC8, 0)            # CreateBrushIndirect: solid, colour 0xC88020
            + record(0x012D, 0)                           # SelectObject 0
            + record(0x041B, h, w, 0, 0)                  # Rectangle bottom, right, top, left
            + record(0x01F0, 0)                           # DeleteObject 0
            + struct.pack("<IH", 3, 0))                   # end of file
    words = 9 + len(body) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x300, words, 1, 7, 0)
    place = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, w, h, 96, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", place[:20]):
        checksum ^= word
    with open(path, "wb") as f:
        f.write(place[:20] + struct.pack("<H", checksum) + header + body)
    return path


class PictureTest(SonadeskTestCase):
    def setUp(self):
        super().setUp()
        self.pictures = tempfile.mkdtemp(prefix="sonadesk-pictures-")

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.pictures, ignore_errors=True)

    # --- helpers ------------------------------------------------------------------------------

    def items(self):
        """The picture item windows now showing, in window-list order."""
        main = self.app.main()
        if main is None:
            return []
        return [w for w in self.app.windows() if w["visible"] and w["owner"] == main["hwnd"]
                and (w["exstyle"] & ITEM_STYLE) == ITEM_STYLE]

    def rects(self):
        return sorted(tuple(w["rect"]) for w in self.items())

    def wait_items(self, n, timeout=15):
        got = wait_for(lambda: len(self.items()) == n, timeout=timeout)
        self.assertTrue(got, "expected %d items, found %d" % (n, len(self.items())))

    def open_dialog(self, opener=None):
        """Clicks Import Picture (or runs `opener`) and waits for the Open dialog."""
        main = self.app.main()["hwnd"]
        if opener:
            opener()
        else:
            self.app.click_client(*IMPORT_PICTURE)
        dialog = wait_for(lambda: [w for w in self.app.windows() if w["visible"] and w["class"] == "#32770"
                                   and w["hwnd"] != main], timeout=15)
        self.assertTrue(dialog, "the Open dialog did not appear")
        time.sleep(0.5)
        return dialog[0]

    def choose(self, names, opener=None):
        """Types the folder, then the file names (quoted when several), into the Open dialog."""
        dialog = self.open_dialog(opener)
        type_text(wine_path(self.pictures) + "\\")
        key("Return")
        time.sleep(0.6)
        if len(names) == 1:
            type_text(names[0])
        else:
            type_text(" ".join('"%s"' % n for n in names))
        key("Return")
        gone = wait_for(lambda: not [w for w in self.app.windows() if w["hwnd"] == dialog["hwnd"]
                                     and w["visible"]], timeout=15)
        self.assertTrue(gone, "the Open dialog did not close")
        time.sleep(0.5)

    def restart(self):
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")
        self.app.start()

    # --- tests --------------------------------------------------------------------------------

    def test_imported_picture_drags_and_keeps_its_place_across_a_restart(self):
        make_picture(os.path.join(self.pictures, "photo.jpg"), 400, 300)
        self.app.start()
        main = self.app.main()["rect"]
        self.choose(["photo.jpg"])
        self.wait_items(1)
        self.assertEqual(self.rects(), [(main[0], main[1] + 50, main[0] + 360, main[1] + 50 + 270)])
        l, t, r, b = self.rects()[0]
        drag((l + r) // 2, (t + b) // 2, (l + r) // 2 + 150, (t + b) // 2 + 120)
        moved = wait_for(lambda: self.rects()[0][0] != l and self.rects(), timeout=5)
        self.assertTrue(moved, "the picture did not move")
        after = self.rects()[0]
        self.assertEqual((after[2] - after[0], after[3] - after[1]), (360, 270))
        self.assertAlmostEqual(after[0], l + 150, delta=3)
        self.assertAlmostEqual(after[1], t + 120, delta=3)
        self.restart()
        self.wait_items(1)
        again = self.rects()[0]
        for a, b in zip(again, after):
            self.assertAlmostEqual(a, b, delta=1)

    def test_several_files_chosen_at_once_each_become_an_item_and_remove_takes_only_its_own(self):
        make_picture(os.path.join(self.pictures, "a.jpg"), 400, 200, "red")
        make_picture(os.path.join(self.pictures, "b.png"), 200, 400, "green")
        make_picture(os.path.join(self.pictures, "c.bmp"), 300, 300, "blue")
        self.app.start()
        main = self.app.main()["rect"]
        self.choose(["a.jpg", "b.png", "c.bmp"])
        self.wait_items(3)
        left, top = main[0], main[1] + 50
        self.assertEqual(self.rects(), sorted([(left, top, left + 360, top + 180), (left, top, left + 180, top + 360),
                                               (left, top, left + 360, top + 360)]))
        # The last one (c, square) is on top: move it away, then b is on top at the import place.
        drag(left + 300, top + 300, left + 700, top + 300)
        self.assertTrue(wait_for(lambda: (left + 400, top, left + 760, top + 360) in self.rects(), timeout=5),
                        "the square picture did not move: %s" % self.rects())
        # Right-click b (the tall one) where only it lies, choose "Remove" (the menu's last entry).
        click(left + 100, top + 300, button=3)
        time.sleep(0.6)
        key("Up")
        key("Return")
        self.assertTrue(wait_for(lambda: len(self.items()) == 2, timeout=10), "Remove did not remove an item")
        remaining = self.rects()
        self.assertEqual(remaining, sorted([(left, top, left + 360, top + 180), (left + 400, top, left + 760, top + 360)]))
        self.restart()
        self.wait_items(2)
        for a, b in zip(self.rects(), remaining):
            for p, q in zip(a, b):
                self.assertAlmostEqual(p, q, delta=1)

    def test_delete_right_after_an_import_removes_the_new_item(self):
        make_wmf(os.path.join(self.pictures, "drawing.wmf"), 192, 96)
        make_picture(os.path.join(self.pictures, "square.png"), 300, 300)
        self.app.start()
        main = self.app.main()["rect"]
        self.choose(["drawing.wmf"])
        self.wait_items(1)
        self.choose(["square.png"])
        self.wait_items(2)
        self.app.click_client(*DELETE_ITEM)
        self.wait_items(1)
        # The metafile (192 by 96, so 360 by 180) is the one left.
        self.assertEqual(self.rects(), [(main[0], main[1] + 50, main[0] + 360, main[1] + 50 + 180)])
        self.app.click_client(*DELETE_ITEM)
        self.wait_items(1)  # Delete again right after: the current item is gone, nothing else goes

    def test_opening_a_file_that_does_not_decode_keeps_the_picture_across_a_restart(self):
        make_picture(os.path.join(self.pictures, "photo.png"), 400, 300, "red")
        with open(os.path.join(self.pictures, "broken.jpg"), "wb") as f:
            f.write(b"only the name of a picture")
        self.app.start()
        self.choose(["photo.png"])
        self.wait_items(1)
        before = self.rects()
        l, t, r, b = before[0]
        self.choose(["broken.jpg"], opener=lambda: click((l + r) // 2, (t + b) // 2, double=True))
        self.assertEqual(self.rects(), before)
        self.restart()
        self.wait_items(1)
        self.assertEqual(self.rects(), before)
        # The picture itself came back, not only its frame.
        red = screenshot().getpixel(((l + r) // 2, (t + b) // 2))
        self.assertTrue(red[0] > 200 and red[1] < 60 and red[2] < 60, "the middle shows %s, not the picture" % (red,))
        with open(self.app.data_file("Media"), "rb") as f:
            store = f.read()
        self.assertIn(b"photo.png", store)
        self.assertNotIn(b"broken.jpg", store)

    def test_files_dropped_on_the_window_are_imported_by_kind(self):
        jpg = make_picture(os.path.join(self.pictures, "dropped.jpg"), 400, 200)
        bmp = make_picture(os.path.join(self.pictures, "dropped.bmp"), 200, 400)
        txt = os.path.join(self.pictures, "notes.txt")
        with open(txt, "w") as f:
            f.write("not a picture")
        self.app.start()
        main = self.app.main()
        out = run(["wine", DROP_FILES, str(main["hwnd"]), wine_path(jpg), wine_path(txt), wine_path(bmp)], timeout=30)
        self.assertEqual(out.returncode, 0)
        self.wait_items(2)
        left, top = main["rect"][0], main["rect"][1] + 50
        self.assertEqual(self.rects(), sorted([(left, top, left + 360, top + 180), (left, top, left + 180, top + 360)]))
        self.restart()
        self.wait_items(2)


if __name__ == "__main__":
    unittest.main()
