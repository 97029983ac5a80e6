"""Nothing the user made is lost or hidden when things go wrong: exit when the desks cannot be
saved, messages in sight, a picture cache that yields to the desks on a small disk and never shows
an old photo, places on an absent monitor, huge clipboard contents, damaged store files.

Full and read-only disks are real: tmpfs mounts over the install's Data folder (the tests run as
root). The clipboard is the real X CLIPBOARD selection, served by xclip."""
import glob
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

from bench import SonadeskTestCase, click, drag, key, probe, screenshot, wait_for, wine_path
import desk_fixture as fx
from test_desk_habits import Clipboard, make_picture

MAIN = fx.MAIN_RECT
CREATE_DESK = (701, 472)
CELL, STRIP_LEFT, STRIP_TOP = 34, 16, 9
ITEM_STYLE = 0x80 | 0x80000        # WS_EX_TOOLWINDOW | WS_EX_LAYERED: an item window
WS_EX_TOPMOST = 0x8
WM_COMMAND, IDOK, IDYES, IDNO = 0x0111, 1, 6, 7
GONE_PICTURE = "C:\\Pictures\\gone.jpg"


def cell_centre(k):
    return STRIP_LEFT + k * CELL + CELL // 2, STRIP_TOP + CELL // 2


def exact_picture(path, rect):
    """A picture record whose floats are what the program itself writes for this rectangle."""
    rec = bytearray(fx.picture_record(path, rect))
    l, t, r, b = rect
    rec[260:276] = struct.pack("<4f", l / fx.MAIN_W, t / fx.MAIN_H, r / fx.MAIN_W, b / fx.MAIN_H)
    return bytes(rec)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def reddish(p):
    return p[0] > 180 and p[1] < 80 and p[2] < 80


def bluish(p):
    return p[2] > 180 and p[0] < 80 and p[1] < 80


class NothingLostTest(SonadeskTestCase):
    def setUp(self):
        super().setUp()
        self.files = tempfile.mkdtemp(prefix="sonadesk-lost-")
        self.clipboard = Clipboard()
        self.mounted = False

    def tearDown(self):
        self.clipboard.stop()
        if self.mounted:
            self.app.close()
            subprocess.run(["umount", "-l", self.app.data], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        super().tearDown()
        shutil.rmtree(self.files, ignore_errors=True)

    # --- helpers ------------------------------------------------------------------------------

    def mount_data(self, megabytes):
        """A tmpfs of that size as the install's Data folder."""
        os.makedirs(self.app.data, exist_ok=True)
        r = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dm" % megabytes, "tmpfs", self.app.data],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if r.returncode != 0:
            self.skipTest("tmpfs cannot be mounted here (the tests need root)")
        self.mounted = True

    def set_read_only(self, read_only):
        subprocess.run(["mount", "-o", "remount," + ("ro" if read_only else "rw"), self.app.data], check=True)

    def write_store(self, data, backup=None):
        os.makedirs(self.app.data, exist_ok=True)
        write_bytes(self.app.data_file("Media"), data)
        write_bytes(self.app.data_file("Media_bak"), data if backup is None else backup)

    def stored(self, name="Media"):
        return fx.parse_store(read_bytes(self.app.data_file(name)))

    def items(self):
        main = self.app.main()
        if main is None:
            return []
        return [w for w in self.app.windows() if w["visible"] and w["owner"] == main["hwnd"]
                and (w["exstyle"] & ITEM_STYLE) == ITEM_STYLE and not w["exstyle"] & 0x20]

    def boxes(self):
        main = self.app.main()
        return [w for w in self.app.visible_windows() if w["class"] == "#32770" and main and w["hwnd"] != main["hwnd"]]

    def wait_box(self, timeout=20):
        boxes = wait_for(self.boxes, timeout=timeout)
        self.assertTrue(boxes, "no message box came")
        return boxes[0]

    def box_texts(self, box):
        return [c["title"] for c in self.app.children(box["hwnd"])]

    def press(self, box, button):
        probe("post", box["hwnd"], WM_COMMAND, button, 0)
        self.assertTrue(wait_for(lambda: box["hwnd"] not in [b["hwnd"] for b in self.boxes()], timeout=10),
                        "the message box stayed")

    def exit_app(self):
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")

    def select(self, rect):
        """Clicks an item until the highlight shows around it (under a window manager the first
        click may only activate)."""
        glow = 8
        want = [rect[0] - glow, rect[1] - glow, rect[2] + glow, rect[3] + glow]
        main = self.app.main()["hwnd"]
        frame = lambda: [w["rect"] for w in self.app.windows() if w["visible"] and w["owner"] == main and
                         (w["exstyle"] & 0x80020) == 0x80020]
        for _ in range(3):
            click((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)
            if wait_for(lambda: want in frame(), timeout=3):
                return
        self.fail("the highlight did not come around %s" % (rect,))

    def ping(self):
        """One WM_NULL to the main window: how long it took and how many windows it owned then."""
        out, rc = probe("ping", self.app.main()["hwnd"], 0, timeout=150)
        self.assertEqual(rc, 0, "the main window did not answer")
        return out[-1]

    # --- 4: exit -------------------------------------------------------------------------------

    def test_exit_is_always_possible_when_the_desks_cannot_be_saved(self):
        original = fx.store_image([[(fx.PICTURE, exact_picture(GONE_PICTURE, (360, 341, 600, 521)))]])
        self.mount_data(8)
        self.write_store(original)
        # The folder turns read-only while the program runs (a folder read-only from the start
        # sends the desks to the per-user folder instead).
        # Nothing changed: the files hold the desks already, so the program simply ends.
        self.app.start()
        self.set_read_only(True)
        self.exit_app()
        self.set_read_only(False)
        self.app.start()
        self.set_read_only(True)
        self.app.click_client(*CREATE_DESK)
        self.app.alt_f4()
        box = self.wait_box()
        self.assertEqual(box["owner"], self.app.main()["hwnd"])
        texts = self.box_texts(box)
        self.assertIn("Try Again", texts)
        self.assertIn("Exit Without Saving", texts)
        self.assertTrue(any("could not be saved" in t for t in texts), texts)
        # Trying again while the folder still cannot be written asks again.
        self.press(box, IDYES)
        box = self.wait_box()
        self.assertTrue(self.app.running())
        # Writable again: the next try saves and ends the program.
        self.set_read_only(False)
        self.press(box, IDYES)
        self.assertTrue(self.app.wait_exit(20), "Try Again did not end the program after a good save")
        desks, _ = self.stored()
        self.assertEqual(len(desks), 2)
        saved = read_bytes(self.app.data_file("Media"))
        self.assertEqual(read_bytes(self.app.data_file("Media_bak")), saved)
        # Exit Without Saving ends it and leaves the good files as they are.
        self.app.start()
        self.set_read_only(True)
        self.app.click_client(*CREATE_DESK)
        self.app.alt_f4()
        box = self.wait_box()
        self.press(box, IDNO)
        self.assertTrue(self.app.wait_exit(20), "Exit Without Saving did not end the program")
        self.assertEqual(read_bytes(self.app.data_file("Media")), saved)
        self.assertEqual(read_bytes(self.app.data_file("Media_bak")), saved)

    # --- 5: messages ---------------------------------------------------------------------------

    def box_in_sight(self, box):
        """The box owned by the main window, above its items, and on the screen: 40 points inside
        it, none of them the pictures' red."""
        box = [b for b in self.boxes() if b["hwnd"] == box["hwnd"]][0]
        main = self.app.main()
        self.assertEqual(box["owner"], main["hwnd"])
        self.assertTrue(box["exstyle"] & WS_EX_TOPMOST, "the box is not kept above the items")
        order = [w["hwnd"] for w in self.app.windows()]
        for item in self.items():
            self.assertLess(order.index(box["hwnd"]), order.index(item["hwnd"]), "an item lies above the box")
        l, t, r, b = box["rect"]
        shot = screenshot()
        points = [shot.getpixel((l + 10 + (r - l - 20) * i // 7, t + 30 + (b - t - 40) * j // 4))
                  for i in range(8) for j in range(5)]
        self.assertEqual(len([p for p in points if reddish(p)]), 0, "the pictures cover the box")

    def test_a_message_is_owned_by_the_main_window_and_above_the_items(self):
        # Red pictures over the middle of the main window, where a message box opens.
        red = make_picture(os.path.join(self.files, "red.png"), "red", 400, 300)
        places = [(400, 380, 720, 620), (560, 380, 880, 620), (480, 440, 800, 680)]
        good = fx.store_image([[(fx.PICTURE, fx.picture_record(wine_path(red), r)) for r in places], []])
        self.mount_data(8)
        self.write_store(good[:len(good) - 2], backup=good)  # "Media" cut short: the user is told
        self.app.start()
        box = self.wait_box()
        time.sleep(3)  # what the program does meanwhile (its desk's items) must not cover the box
        self.box_in_sight(box)
        self.press(box, IDOK)
        self.assertTrue(wait_for(lambda: len(self.items()) == 3, timeout=20), "the pictures did not come")
        # A save that fails while the pictures are up: its message is in sight too.
        self.set_read_only(True)
        self.app.click_client(*CREATE_DESK)
        box = self.wait_box()
        time.sleep(1.5)
        self.box_in_sight(box)
        self.assertTrue(any("could not be saved" in t for t in self.box_texts(box)))
        self.press(box, IDOK)
        self.set_read_only(False)
        self.exit_app()

    # --- 6: the picture cache ------------------------------------------------------------------

    def test_a_photo_replaced_under_the_same_name_size_and_time_shows_the_new_picture(self):
        photo = os.path.join(self.files, "photo.bmp")
        make_picture(photo, "red", 400, 300)
        before = os.stat(photo)
        place = (40, 10, 360, 250)
        self.write_store(fx.store_image([[(fx.PICTURE, fx.picture_record(wine_path(photo), place))]]))
        self.app.start()
        centre = ((place[0] + place[2]) // 2, (place[1] + place[3]) // 2)
        self.assertTrue(wait_for(lambda: reddish(screenshot().getpixel(centre)), timeout=20), "the photo did not show")
        self.assertTrue(wait_for(lambda: glob.glob(os.path.join(self.app.data, "Thumbs", "*.thumb")), timeout=20),
                        "no copy was kept in Data/Thumbs")
        self.exit_app()
        make_picture(photo, "blue", 400, 300)
        os.utime(photo, ns=(before.st_atime_ns, before.st_mtime_ns))
        after = os.stat(photo)
        self.assertEqual((after.st_size, after.st_mtime_ns), (before.st_size, before.st_mtime_ns))
        self.app.start()
        self.assertTrue(wait_for(lambda: bluish(screenshot().getpixel(centre)), timeout=20),
                        "the old photo is shown: %s" % (screenshot().getpixel(centre),))

    def thumbs_bytes(self):
        return sum(os.path.getsize(p) for p in glob.glob(os.path.join(self.app.data, "Thumbs", "*")))

    def test_on_a_small_disk_the_cache_stays_small_and_gives_way_to_a_save(self):
        self.mount_data(30)
        pictures = []
        for i in range(40):
            path = os.path.join(self.files, "p%02d.jpg" % i)
            make_picture(path, "rgb(%d,%d,200)" % (i * 6, 255 - i * 6), 1600, 1200)
            # Above and below the main window, clear of its buttons.
            x, y = 10 + (i % 20) * 48, 10 + (i // 20) * 770
            pictures.append((fx.PICTURE, fx.picture_record(wine_path(path), (x, y, x + 320, y + 240))))
        note = fx.note_record("a note", (40, 40), 12, "Microsoft Sans Serif", (0, 0, 0))
        store = fx.store_image([pictures, [(fx.NOTE, note)] * 150])  # a store of 1.5 MB
        self.assertGreater(len(store), 1500000)
        self.write_store(store)
        self.app.start()
        # Every picture read once: the cache is as full as this desk makes it.
        last, steady = -1, 0
        for _ in range(120):
            now = (self.thumbs_bytes(), len(glob.glob(os.path.join(self.app.data, "Thumbs", "*.thumb"))))
            steady = steady + 1 if now == last else 0
            if steady >= 8 and len(self.items()) == 40:
                break
            last = now
            time.sleep(0.5)
        total = os.statvfs(self.app.data).f_blocks * os.statvfs(self.app.data).f_frsize
        self.assertLessEqual(self.thumbs_bytes(), total // 4, "the cache took %d of %d bytes" % (self.thumbs_bytes(), total))
        self.assertGreater(self.thumbs_bytes(), 0, "nothing was cached at all")
        # The disk fills up with other files until the store no longer fits beside the cache.
        cached = self.thumbs_bytes()
        st = os.statvfs(self.app.data)
        filler = st.f_bavail * st.f_frsize - 1000000
        with open(self.app.data_file("filler"), "wb") as f:
            f.truncate(0)
            chunk = b"\0" * (1 << 20)
            while filler > 0:
                f.write(chunk[:min(filler, len(chunk))])
                filler -= len(chunk)
        self.app.click_client(*CREATE_DESK)
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(30), "the save failed: the cache did not give way (boxes %s)" %
                        [self.box_texts(b) for b in self.boxes()])
        desks, _ = self.stored()
        self.assertEqual([len(d) for d in desks], [40, 150, 0])
        self.assertLess(self.thumbs_bytes(), cached, "the store was saved but the cache was not trimmed")
        self.assertEqual(read_bytes(self.app.data_file("Media_bak")), read_bytes(self.app.data_file("Media")))

    # --- 7: places on an absent monitor --------------------------------------------------------

    def test_a_place_on_an_absent_monitor_is_kept_until_the_user_moves_the_item(self):
        away = (1400, 100, 1640, 280)  # right of the 1280-pixel screen: a second monitor, now gone
        rec = exact_picture(GONE_PICTURE, away)
        self.write_store(fx.store_image([[(fx.PICTURE, rec)], []]))
        self.app.start()
        items = wait_for(self.items, timeout=20)
        self.assertTrue(items, "the item was not shown")
        shown = items[0]["rect"]
        self.assertEqual((shown[2] - shown[0], shown[3] - shown[1]), (240, 180))
        self.assertLessEqual(shown[2], 1280, "the item is not on the screen")
        # Unrelated changes are saved; the item's stored place is not touched, bit for bit.
        self.app.click_client(*CREATE_DESK)
        self.app.click_client(*cell_centre(0))
        self.assertTrue(wait_for(self.items, timeout=20))
        time.sleep(3.5)
        desks, _ = self.stored()
        self.assertEqual(len(desks), 3)
        self.assertEqual(desks[0][0][1][260:276], rec[260:276])
        # The user moves it: from now on its place is where the user put it.
        shown = self.items()[0]["rect"]
        drag(shown[0] + 120, shown[1] + 90, shown[0] + 70, shown[1] + 120)
        moved = self.items()[0]["rect"]
        self.assertEqual(moved, [shown[0] - 50, shown[1] + 30, shown[2] - 50, shown[3] + 30])
        self.exit_app()
        desks, _ = self.stored()
        l, t, r, b = struct.unpack("<4f", desks[0][0][1][260:276])
        self.assertEqual([int(l * fx.MAIN_W + 0.5), int(t * fx.MAIN_H + 0.5), int(r * fx.MAIN_W + 0.5),
                          int(b * fx.MAIN_H + 0.5)], moved)

    # --- 8: big clipboard contents -------------------------------------------------------------

    def huge_png(self):
        path = os.path.join(self.files, "scan.png")
        from PIL import Image
        Image.new("RGB", (12000, 9000), (0, 160, 0)).save(path)
        return path

    def test_pasting_a_huge_picture_keeps_the_window_answering_and_stores_a_sane_png(self):
        png = self.huge_png()
        self.app.start()
        quiet = self.ping()
        self.clipboard.offer(read_bytes(png), "image/png")
        self.assertTrue(self.clipboard.owned, "xclip did not take the clipboard")
        key("ctrl+v")
        busy = self.ping()
        self.assertEqual(busy["owned_first"], quiet["owned_first"],
                         "the window answered only once the picture was placed")
        box = self.wait_box(timeout=120)
        texts = " ".join(self.box_texts(box))
        self.assertIn("12000", texts)
        self.assertIn("4096", texts)
        self.press(box, IDOK)
        left, top = MAIN[0], MAIN[1] + 50
        self.assertTrue(wait_for(lambda: [w["rect"] for w in self.items()] == [[left, top, left + 360, top + 270]],
                                 timeout=30), "the pasted picture is not on the desk: %s" % self.items())
        pasted = glob.glob(os.path.join(self.app.data, "Pasted", "*.png"))
        self.assertEqual(len(pasted), 1)
        from PIL import Image
        with Image.open(pasted[0]) as img:
            self.assertEqual((img.format, img.size), ("PNG", (4096, 3072)))
            self.assertEqual(img.convert("RGB").getpixel((2000, 1500)), (0, 160, 0))
        self.exit_app()
        desks, _ = self.stored()
        self.assertEqual([r[:260].split(b"\0")[0].decode() for _, r in desks[0]], [wine_path(pasted[0])])

    def test_copying_a_huge_picture_keeps_the_window_answering(self):
        png = self.huge_png()
        place = (40, 10, 360, 250)
        self.write_store(fx.store_image([[(fx.PICTURE, fx.picture_record(wine_path(png), place))]]))
        self.app.start()
        self.assertTrue(wait_for(self.items, timeout=20))
        self.select(place)
        key("ctrl+c")
        self.ping()
        targets = self.clipboard.read("TARGETS")
        self.assertIn("text/uri-list", targets, "the file is not on the clipboard")
        self.assertNotIn("image/bmp", targets, "the window answered only once the bitmap was made")
        self.assertTrue(wait_for(lambda: "image/bmp" in self.clipboard.read("TARGETS"), timeout=120),
                        "the picture never joined the clipboard")
        bmp = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "image/bmp"], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=60).stdout
        from PIL import Image
        import io
        with Image.open(io.BytesIO(bmp)) as img:
            self.assertEqual(img.size, (4096, 3072))
            self.assertEqual(img.convert("RGB").getpixel((2000, 1500)), (0, 160, 0))

    def test_pasting_a_long_file_list_keeps_the_window_answering(self):
        from PIL import Image
        paths = []
        for i in range(120):
            path = os.path.join(self.files, "f%03d.png" % i)
            Image.new("RGB", (40, 30), (i * 2, 100, 200)).save(path)
            paths.append(path)
        self.app.start()
        quiet = self.ping()
        self.clipboard.offer("".join("file://%s\r\n" % p for p in paths).encode(), "text/uri-list")
        self.assertTrue(self.clipboard.owned)
        key("ctrl+v")
        busy = self.ping()
        self.assertLess(busy["owned_first"] - quiet["owned_first"], 100,
                        "the window answered only once the files were placed")
        self.assertTrue(wait_for(lambda: len(self.items()) == 120, timeout=180),
                        "%d of 120 files were placed" % len(self.items()))
        self.exit_app()
        desks, _ = self.stored()
        self.assertEqual([r[:260].split(b"\0")[0].decode() for _, r in desks[0]], [wine_path(p) for p in paths])

    # --- 9: damaged store files ----------------------------------------------------------------

    def copies(self, name):
        return sorted(glob.glob(os.path.join(self.app.data, name + ".damaged*")))

    def test_every_damaged_store_file_is_kept_under_a_name_of_its_own(self):
        good = fx.store_image([[(fx.PICTURE, exact_picture(GONE_PICTURE, (360, 341, 600, 521)))], [], []])
        bad_media, bad_backup = good[:len(good) - 6], good[:len(good) - 5]
        os.makedirs(self.app.data, exist_ok=True)
        # Copies from earlier starts: only the newest five of each file stay.
        old = ["Media.damaged-2020010%d-000000" % d for d in range(1, 6)]
        for name in old:
            write_bytes(self.app.data_file(name), b"old " + name.encode())
        self.write_store(bad_media, backup=bad_backup)
        self.app.start()
        box = self.wait_box()
        self.press(box, IDOK)
        media, backup = self.copies("Media"), self.copies("Media_bak")
        self.assertEqual(len(backup), 1, backup)
        self.assertEqual(read_bytes(backup[0]), bad_backup)
        new = [p for p in media if os.path.basename(p) not in old]
        self.assertEqual(len(new), 1, media)
        self.assertEqual(read_bytes(new[0]), bad_media)
        self.assertEqual([os.path.basename(p) for p in media if p not in new], old[1:])
        # Saves write the desks, never a kept copy.
        self.app.click_client(*CREATE_DESK)
        time.sleep(3.5)
        self.exit_app()
        self.assertEqual(read_bytes(new[0]), bad_media)
        self.assertEqual(read_bytes(backup[0]), bad_backup)
        # A second damaged start keeps its own copy beside the first.
        first = read_bytes(new[0])
        write_bytes(self.app.data_file("Media"), b"\x07\x00\x00")
        time.sleep(1.1)  # another second: another name
        self.app.start()
        self.press(self.wait_box(), IDOK)
        media = self.copies("Media")
        self.assertEqual(len(media), 5, media)
        self.assertIn(new[0], media)
        self.assertEqual(read_bytes(new[0]), first)
        self.assertEqual([read_bytes(p) for p in media if p != new[0] and os.path.basename(p) not in old],
                         [b"\x07\x00\x00"])
        # On the bench the window manager may hand the focus to Wine's tray window as the box
        # closes: a click on the empty desk gives it back, as a user would.
        self.app.click_client(120, 250)
        self.exit_app()


if __name__ == "__main__":
    unittest.main()
