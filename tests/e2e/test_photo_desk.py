"""A desk of large photos: switched to by a click on its tab, its pictures are read in the background
and must then look exactly as a picture item always has (the photo inside the walnut frame, left and
right halves where they belong, portrait photos in a turned frame), the same whether they were
decoded, shown again from memory or, after a restart, read from the copies in "Data\\Thumbs"."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import numpy as np

import desk_fixture as fx
from bench import SonadeskTestCase, move, screenshot, wait_for, wine_path

CELL, STRIP_LEFT, STRIP_TOP = 34, 16, 9

# Screen rectangles on the dark root around the main window (240, 262)-(1040, 762): four landscape
# photos above it, one portrait photo left of it.
LANDSCAPE = [(10 + i * 310, 20, 310 + i * 310, 220) for i in range(4)]   # 300 x 200, photos 3:2
PORTRAIT = (20, 300, 220, 600)                                            # 200 x 300, photo 2:3
HALVES = [((200, 30, 30), (30, 60, 200)), ((230, 200, 40), (40, 160, 60)), ((250, 250, 250), (90, 20, 120)),
          ((20, 180, 200), (200, 90, 20)), ((210, 40, 160), (40, 200, 190))]


def tab_centre(k):
    return STRIP_LEFT + k * CELL + CELL // 2, STRIP_TOP + CELL // 2


def make_photo(path, w, h, left, right):
    """A JPEG whose left half is one colour and right half another."""
    half = "%dx%d" % (w // 2, h)
    subprocess.run(["convert", "-size", half, "xc:rgb(%d,%d,%d)" % left, "-size", half,
                    "xc:rgb(%d,%d,%d)" % right, "+append", "-quality", "92", path], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


def mean(img, box):
    return np.asarray(img.crop(tuple(int(v) for v in box)), dtype=np.float64).reshape(-1, 3).mean(axis=0)


def walnut(c):
    r, g, b = c
    return r > g + 12 and g > b + 6 and 45 < r < 230


class PhotoDeskTest(SonadeskTestCase):
    def setUp(self):
        super().setUp()
        self.pictures = tempfile.mkdtemp(prefix="sonadesk-photos-")
        rects = LANDSCAPE + [PORTRAIT]
        self.items = []
        for i, rect in enumerate(rects):
            portrait = rect is PORTRAIT
            w, h = (2000, 3000) if portrait else (3000, 2000)
            path = make_photo(os.path.join(self.pictures, "photo%d.jpg" % i), w, h, *HALVES[i])
            self.items.append((rect, HALVES[i], portrait))
        records = [(fx.PICTURE, fx.picture_record(wine_path(os.path.join(self.pictures, "photo%d.jpg" % i)), r))
                   for i, r in enumerate(rects)]
        os.makedirs(self.app.data, exist_ok=True)
        data = fx.store_image([[], records], current=0)
        for name in ("Media", "Media_bak"):
            with open(self.app.data_file(name), "wb") as f:
                f.write(data)

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.pictures, ignore_errors=True)

    def wrong_items(self, shot):
        """What does not look right on the photo desk in `shot`, as a list of texts."""
        bad = []
        for rect, (left, right), portrait in self.items:
            l, t, r, b = rect
            w, h = r - l, b - t
            # The picture area starts at w/30, h/30; sample the middle of each half of it.
            ax, ay, aw, ah = l + w // 30, t + h // 30, w - w // 15, h - h // 15
            cy = ay + ah // 2
            for name, want, x in (("left half", left, ax + aw // 4), ("right half", right, ax + 3 * aw // 4)):
                got = mean(shot, (x - 6, cy - 6, x + 6, cy + 6))
                if np.abs(got - np.array(want)).max() > 12:
                    bad.append("%s of %s: %s, want %s" % (name, rect, np.round(got).astype(int).tolist(), want))
            # The frame's moulding along the long sides, turned with the photo.
            for name, box in (("left moulding", (l + 6, t + 40, l + 12, b - 40)),
                              ("top moulding", (l + 40, t + 5, r - 40, t + 10))):
                if not walnut(mean(shot, box)):
                    bad.append("%s of %s: %s" % (name, rect, np.round(mean(shot, box)).astype(int).tolist()))
        return bad

    def show_photo_desk(self, timeout=90):
        """Clicks the photo desk's tab and waits until every photo shows; returns the screenshot."""
        self.app.click_client(*tab_centre(1))
        move(5, 1015)
        shot = wait_for(lambda: (lambda s: s if not self.wrong_items(s) else None)(screenshot()),
                        timeout=timeout, interval=0.5)
        if shot is None:
            shot = screenshot()
            self.fail("the photo desk did not show its photos: %s" % self.wrong_items(shot))
        return shot

    def crops(self, shot):
        return [np.asarray(shot.crop(rect), dtype=np.int16) for rect, _, _ in self.items]

    def assert_same_look(self, a, b, what):
        for (rect, _, _), x, y in zip(self.items, self.crops(a), self.crops(b)):
            diff = np.abs(x - y)
            self.assertLessEqual(int(np.percentile(diff, 99.5)), 6, "%s: %s looks different" % (what, rect))

    def test_photos_look_the_same_decoded_from_memory_and_from_disk(self):
        self.app.start()
        first = self.show_photo_desk()
        thumbs = os.path.join(self.app.data, "Thumbs")
        copies = [n for n in os.listdir(thumbs) if n.endswith(".thumb")]
        self.assertEqual(len(copies), len(self.items), "one display copy per photo in Data\\Thumbs")

        # Away and back: from memory.
        self.app.click_client(*tab_centre(0))
        self.assertTrue(wait_for(lambda: self.wrong_items(screenshot()), timeout=10), "the photos did not go")
        again = self.show_photo_desk(timeout=30)
        self.assert_same_look(first, again, "shown again")

        # A restart: from the copies on disk.
        self.app.close()
        self.app.start()
        restarted = self.show_photo_desk(timeout=30)
        self.assert_same_look(first, restarted, "after a restart")


if __name__ == "__main__":
    unittest.main()
