"""How the real program looks on screen: the main window's bands, desk and tabs, and each item kind
in its art (the picture in its walnut frame with its shadow, the music card with its disc, the
movie player's frame around its video, the note's card and text), read from screenshots.

The desk comes from desk_fixture.py: its items lie around the main window on the bench's desktop,
our own wallpaper under a compositing manager (scripts/wine-env.sh), as a user sees them on
Windows. The wallpaper is photographed before the program starts; every translucent pixel is then
checked against the blend its alpha gives over what lies behind it: the note's faint white card,
the frame's shadow (the wallpaper darkened, fading out at the window's edge with no dark rim) and
the opaque middle of a picture, which must be the picture and nothing of the wallpaper.
"""
import os
import time
import unittest

import numpy as np
from PIL import Image

import desk_fixture as fx
from bench import ROOT, Sonadesk, click, move, screenshot, wait_for, wine_path
from test_media import MEDIA, colourful, make_media

CELL, STRIP_LEFT, STRIP_TOP = 34, 16, 9
WALLPAPER = os.path.join(ROOT, "res", "wallpaper.png")
DEMO_PICTURE = os.path.join(ROOT, "res", "demo", "demo01.jpg")
# Every item window is shown at a constant alpha of 254 on top of its per-pixel alpha.
WINDOW_ALPHA = 254 / 255.0


def cell_centre(k):
    return STRIP_LEFT + k * CELL + CELL // 2, STRIP_TOP + CELL // 2


def pixels(img, box):
    """The pixels of box (left, top, right, bottom) as an N x 3 float array."""
    return np.asarray(img.crop(tuple(int(v) for v in box)), dtype=np.float64).reshape(-1, 3)


def stats(img, box):
    """Mean colour, overall brightness, spread (standard deviation of brightness) and the largest
    channel difference of the mean (how coloured it is)."""
    px = pixels(img, box)
    mean = px.mean(axis=0)
    grey = px.mean(axis=1)
    return {"mean": mean, "bright": float(grey.mean()), "spread": float(grey.std()),
            "chroma": float(mean.max() - mean.min()), "r": mean[0], "g": mean[1], "b": mean[2]}


def array(img, box=None):
    """The pixels of img (or of box in it) as an H x W x 3 float array."""
    if box is not None:
        img = img.crop(tuple(int(v) for v in box))
    return np.asarray(img.convert("RGB"), dtype=np.float64)


def over(colour, alpha, background):
    """What a pixel of `colour` at `alpha` (0-255, times the window's 254) shows over `background`."""
    a = alpha / 255.0 * WINDOW_ALPHA
    return np.asarray(colour, dtype=np.float64) * a + background * (1 - a)


def darkening(pixel, background):
    """How a pixel relates to the background behind it, as a shadow would: the factor k with
    pixel ~ k * background, and how far the pixel is from that (levels); a black shadow of some
    alpha only darkens what lies behind, it keeps its hue."""
    b = np.asarray(background, dtype=np.float64)
    p = np.asarray(pixel, dtype=np.float64)
    k = float(p @ b / max(b @ b, 1.0))
    return k, float(np.abs(p - k * b).max())


def shadow_run(shot, background, x, y, dx, dy, n=8):
    """The darkening factors from the window's outermost pixel (x, y) inwards in step (dx, dy),
    as long as the pixels are the background darkened (the shadow), up to n of them."""
    run = []
    for i in range(n):
        px, py = x + i * dx, y + i * dy
        k, off = darkening(shot.getpixel((px, py)), background.getpixel((px, py)))
        if off > 6 or k > 1.05:
            break
        run.append(round(k, 2))
    return run


def shadow_faults(shot, background, rect, step=30, at_least=0.0):
    """Checks the frame's shadow on each side of rect along lines from the window's edge inwards:
    it must start as the background itself (no rim), darken steadily inwards and, on the sides
    the light leaves (right, bottom), go at least `at_least` darker than the background.
    Returns the faults found, with the runs of darkening factors."""
    l, t, r, b = rect
    sides = {
        "right": [(r - 1, y, -1, 0) for y in range(t + 40, b - 40, step)],
        "bottom": [(x, b - 1, 0, -1) for x in range(l + 40, r - 40, step)],
        "left": [(l, y, 1, 0) for y in range(t + 40, b - 40, step)],
        "top": [(x, t, 0, 1) for x in range(l + 40, r - 40, step)],
    }
    faults = []
    for side, lines in sides.items():
        for line in lines:
            run = shadow_run(shot, background, *line)
            if not run or run[0] < 0.88:
                faults.append("%s at %s: a rim, not the background: %s" % (side, line[:2], run))
            elif any(b2 > a2 + 0.06 for a2, b2 in zip(run, run[1:])):
                faults.append("%s at %s: does not darken steadily: %s" % (side, line[:2], run))
            elif side in ("right", "bottom") and (len(run) < 2 or min(run) > 1 - at_least):
                faults.append("%s at %s: no shadow: %s" % (side, line[:2], run))
    return faults


def offset(rect, box):
    """A box given relative to rect's corner; negative values count from its right or bottom."""
    l, t, r, b = rect
    return tuple((l if v >= 0 else r) + v if i % 2 == 0 else (t if v >= 0 else b) + v
                 for i, v in enumerate(box))


class LookTest(unittest.TestCase):
    """One program for the whole class: the checks only look, except where they say otherwise."""

    @classmethod
    def setUpClass(cls):
        make_media()
        cls.app = Sonadesk()
        fx.write(cls.app.data, wine_path(os.path.join(MEDIA, "clip.avi")))
        move(5, 1015)
        cls.background = screenshot()
        cls.app.start()
        cls.main = cls.app.main()
        cls.windows = {}
        wait_for(cls.refresh, timeout=20)
        time.sleep(1.0)

    @classmethod
    def tearDownClass(cls):
        cls.app.close()
        import shutil
        shutil.rmtree(cls.app.folder, ignore_errors=True)

    def item(self, name):
        w = self.windows[name]
        self.assertIsNotNone(w, "the %s item is not where the store puts it" % name)
        return w["rect"]

    def check_table(self, shot, rect, table):
        """Each row: (what, box relative to rect, predicate on its stats)."""
        bad = []
        for what, box, ok in table:
            s = stats(shot, offset(rect, box))
            if not ok(s):
                bad.append("%s: mean %s, spread %.1f" % (what, np.round(s["mean"]).astype(int).tolist(), s["spread"]))
        self.assertEqual(bad, [], "regions that do not look right")

    def test_the_desktop_is_our_wallpaper(self):
        """The bench's desktop, before the program started, pixel for pixel."""
        want = array(Image.open(WALLPAPER))
        got = array(self.background)
        self.assertEqual(got.shape, want.shape)
        self.assertEqual(float(np.abs(got - want).max()), 0.0, "the bench's desktop is not the wallpaper")

    # --- the main window ----------------------------------------------------------------------

    def test_main_window_bands_desk_and_tabs(self):
        shot = screenshot()
        rect = self.main["rect"]
        self.assertEqual(rect, list(fx.MAIN_RECT))
        graphite = lambda s: 25 < s["bright"] < 95 and s["chroma"] < 25 and s["b"] >= s["r"] - 2
        self.check_table(shot, rect, [
            ("top band between the title and the caption buttons", (580, 14, 700, 40), graphite),
            ("top band left of the title", (340, 6, 400, 14), graphite),
            ("bottom band under the tag line", (20, 470, 60, 495), graphite),
            ("desk tile", (60, 80, 740, 420), lambda s: s["bright"] > 200 and s["chroma"] < 15),
            ("desk tile, lower right", (600, 300, 790, 430), lambda s: s["bright"] > 200 and s["chroma"] < 15),
        ])
        # The tabs: desk 1 selected (bluish), desks 2 and 3 light keys, the rest of the strip well dark.
        ox, oy = rect[0], rect[1]
        tab = lambda k: (ox + STRIP_LEFT + k * CELL + 7, oy + STRIP_TOP + 7,
                         ox + STRIP_LEFT + (k + 1) * CELL - 7, oy + STRIP_TOP + CELL - 7)
        sel, other, well = stats(shot, tab(0)), stats(shot, tab(1)), stats(shot, tab(5))
        self.assertGreater(sel["b"] - sel["r"], 30, "the current desk's tab is not bluish")
        self.assertGreater(sel["bright"], 120)
        self.assertLess(abs(other["b"] - other["r"]), 15, "desk 2's tab looks selected")
        self.assertGreater(other["bright"], 170, "desk 2's tab is not a light key")
        self.assertLess(well["bright"], 70, "the strip well behind the tabs is not dark")
        # Not flat: the bands carry text and glyphs, the desk a faint texture.
        self.assertGreater(stats(shot, offset(rect, (300, 0, 560, 56)))["spread"], 15, "no title on the top band")
        self.assertGreater(stats(shot, offset(rect, (380, 444, 790, 500)))["spread"], 15, "no command buttons")

    # --- the picture --------------------------------------------------------------------------

    def test_picture_in_a_walnut_frame(self):
        rect = self.item("picture")
        shot = screenshot()
        w, h = rect[2] - rect[0], rect[3] - rect[1]
        # At 320 x 240 the moulding runs from about 4 to 20 pixels in from the edge, its gilt slip
        # the innermost 3 of them.
        walnut = lambda s: s["r"] > s["g"] + 12 and s["g"] > s["b"] + 6 and 45 < s["r"] < 230 and s["spread"] > 4
        self.check_table(shot, rect, [
            ("left moulding", (6, 40, 12, -40), walnut),
            ("right moulding", (-13, 40, -7, -40), walnut),
            ("top moulding", (40, 5, -40, 10), walnut),
            ("bottom moulding", (40, -12, -40, -7), walnut),
        ])
        inside = pixels(shot, offset(rect, (30, 30, -30, -30)))
        grey = inside.mean(axis=1)
        self.assertGreater(grey.std(), 25, "the picture inside the frame is flat")
        sky = ((inside[:, 2] > inside[:, 0] + 30) & (grey > 100)).mean()
        land = ((inside[:, 1] > inside[:, 0] + 10) & (inside[:, 1] > inside[:, 2])).mean()
        self.assertGreater(sky, 0.15, "no blue sky in the demo picture")
        self.assertGreater(land, 0.10, "no green land in the demo picture")
        self.assertEqual((w, h), (320, 240))

    def test_picture_middle_is_the_picture_and_nothing_of_the_wallpaper(self):
        """The picture is drawn into (W/30, H/30) sized W - W/15 by H - H/15; well inside the
        frame every pixel is the picture's own (at the window's alpha of 254)."""
        l, t, r, b = self.item("picture")
        w, h = r - l, b - t
        area = (w // 30, h // 30, w - w // 15, h - h // 15)
        picture = array(Image.open(DEMO_PICTURE).convert("RGB").resize(area[2:], Image.BILINEAR))
        inner = (30, 30, w - 30, h - 30)
        want = picture[inner[1] - area[1]:inner[3] - area[1], inner[0] - area[0]:inner[2] - area[0]]
        background = array(self.background, (l + inner[0], t + inner[1], l + inner[2], t + inner[3]))
        want = over(want, 255, background)
        got = array(screenshot(), (l + inner[0], t + inner[1], l + inner[2], t + inner[3]))
        diff = np.abs(got - want).mean(axis=2)
        self.assertLess(float(diff.mean()), 6.0, "the middle of the picture is not the picture")
        self.assertLess(float(np.percentile(diff, 90)), 14.0, "the middle of the picture is not the picture")

    def test_picture_shadow_fades_into_the_wallpaper(self):
        """Black at a falling alpha: the wallpaper darkened, hue kept, darker towards the frame
        and deeper on the right and at the bottom; the window's outermost pixels are the
        wallpaper itself (no dark rim, as a translucent pixel over black would give)."""
        faults = shadow_faults(screenshot(), self.background, self.item("picture"), at_least=0.25)
        self.assertEqual(faults, [], "the picture's shadow over the wallpaper")

    @classmethod
    def refresh(cls):
        """Finds desk 1's windows (a desk switch makes them anew); true when all four are there
        (the media cards draw their buttons and sliders in their own pictures)."""
        windows = cls.app.visible_windows()
        owned = [w for w in windows if w["owner"] == cls.main["hwnd"]]
        for name, rect in (("picture", fx.PICTURE_RECT), ("music", fx.MUSIC_RECT), ("movie", fx.MOVIE_RECT)):
            found = [w for w in owned if w["rect"] == list(rect)]
            cls.windows[name] = found[0] if found else None
        notes = [w for w in owned if w["rect"][:2] == list(fx.NOTE_AT)]
        cls.windows["note"] = notes[0] if notes else None
        return all(cls.windows.values()) and len(windows) >= 5

    # --- the music card -----------------------------------------------------------------------

    def test_music_card_case_booklet_and_disc(self):
        rect = self.item("music")
        shot = screenshot()
        l, t, r, b = rect
        w, h = r - l, b - t
        # The disc: 124 pixels of 312 wide centred at (231, 72) of the 312 x 155 card art.
        d = 124 * w // 312
        cx, cy = l + 231 * w // 312, t + 72 * h // 155
        disc = (cx - d // 2 + 4, cy - d // 2 + 4, cx + d // 2 - 4, cy + d // 2 - 4)
        paper = lambda s: s["bright"] > 200 and s["r"] >= s["b"] and s["chroma"] < 30
        self.check_table(shot, rect, [
            ("booklet paper under the title", (14, 90, 110, 118), paper),
            ("booklet paper above the buttons", (60, 20, 110, 26), paper),
            ("tray under the disc (bottom right corner)", (-16, -14, -8, -8), lambda s: 20 < s["bright"] < 100),
        ])
        ring = stats(shot, disc)
        self.assertGreater(ring["spread"], 20, "the disc area is flat")
        silver = pixels(shot, disc)
        self.assertGreater((silver.mean(axis=1) > 170).mean(), 0.35, "no silver disc")
        # The title: dark text on the paper.
        title = pixels(shot, (l + 8, t + 58, l + 110, t + 78)).mean(axis=1)
        self.assertGreater((title < 140).sum(), 30, "no file name on the card")

    def test_music_card_turns_its_disc_when_playing(self):
        rect = self.item("music")
        l, t, r, b = rect
        w, h = r - l, b - t
        d = 124 * w // 312
        cx, cy = l + 231 * w // 312, t + 72 * h // 155
        disc = (cx - d // 2, cy - d // 2, cx + d // 2, cy + d // 2)
        play = (int(l + 0.1 * h) + 9, int(t + 0.22 * h) + 10)
        stop = (play[0] + 44, play[1])
        click(*play)
        try:
            time.sleep(1.0)
            first = pixels(screenshot(), disc)
            time.sleep(0.6)
            second = pixels(screenshot(), disc)
            self.assertGreater(np.abs(first - second).mean(), 1.0, "the disc does not turn while playing")
        finally:
            click(*stop)
            move(5, 1015)
            time.sleep(0.5)

    # --- the movie ----------------------------------------------------------------------------

    def movie_hosts(self):
        movie = self.windows["movie"]
        return [w for w in self.app.visible_windows() if w["owner"] == movie["hwnd"]
                and w["rect"][3] - w["rect"][1] > 100]

    def movie_host(self):
        hosts = self.movie_hosts()
        self.assertEqual(len(hosts), 1, "the player host is not over the movie")
        return hosts[0]

    def test_movie_frame_and_a_frame_of_video_after_play(self):
        rect = self.item("movie")
        l, t, r, b = rect
        shot = screenshot()
        graphite = lambda s: 20 < s["bright"] < 120 and s["chroma"] < 25
        self.check_table(shot, rect, [
            ("top edge", (40, 4, -40, 16), graphite),
            ("left edge", (5, 60, 14, -120), graphite),
            ("right edge", (-14, 60, -5, -120), graphite),
            ("panel between the buttons and the slider", (150, -30, 172, -12), graphite),
            ("panel at the right", (-24, -20, -8, -10), graphite),
            ("dark area inside the frame", (32, 32, -32, -90), lambda s: s["bright"] < 25),
        ])
        # The panel carries its buttons (light glyphs on dark) and sliders: not flat.
        self.assertGreater(stats(shot, offset(rect, (14, -60, 160, -16)))["spread"], 20, "no buttons on the panel")
        # The player's window comes with the first play; until then its area is the card's own.
        self.assertLess(colourful(shot, (l + 23, t + 22, r - 23, b - 80)), 0.05, "video shows before Play")

        click(l + 18 + 17, b - 55 + 17)  # Play
        try:
            wait_for(lambda: self.movie_hosts(), timeout=10)
            seen = wait_for(lambda: colourful(screenshot(), self.movie_host()["rect"]) > 0.3, timeout=10)
            self.assertTrue(seen, "no video frame in the movie's frame")
            shot = screenshot()
            host = self.movie_host()["rect"]
            # The video stays inside the frame: the frame's edges keep their look around it.
            self.check_table(shot, rect, [
                ("top edge while playing", (40, 4, -40, 16), graphite),
                ("left edge while playing", (5, 60, 14, -120), graphite),
            ])
            self.assertTrue(l + 19 <= host[0] and host[2] <= r - 19 and t + 19 <= host[1] and host[3] <= b - 77,
                            "the video %s is outside its box in %s" % (host, rect))
        finally:
            click(l + 61 + 10, b - 50 + 10)  # Stop
            move(5, 1015)
            time.sleep(0.5)

    def test_movie_frame_pieces_meet_without_seams(self):
        """The frame is cut into corner, edge and panel pieces; where they meet no line of
        pixels may be nearer the wallpaper than the frame on both sides of it (a stretched piece
        whose first row or column fades to transparent lets the desktop show through)."""
        l, t, r, b = self.item("movie")
        # How far each pixel is from the wallpaper behind it.
        g = np.linalg.norm(array(screenshot(), (l, t, r, b)) - array(self.background, (l, t, r, b)), axis=2)
        w, h = r - l, b - t

        def seams(band, axis, start):
            profile = band.mean(axis=axis)
            return [i + start for i in range(2, len(profile) - 2)
                    if profile[i] < 0.6 * (profile[i - 2] + profile[i + 2]) / 2]

        found = {
            "top edge (columns)": seams(g[4:20, 12:w - 12], 0, 12),
            "left edge (rows)": seams(g[12:h - 95, 4:14], 1, 12),
            "right edge (rows)": seams(g[12:h - 95, w - 14:w - 4], 1, 12),
            "bottom panel (columns)": seams(g[h - 12:h - 5, 12:w - 12], 0, 12),
        }
        self.assertEqual({k: v for k, v in found.items() if v}, {}, "dark seams in the movie frame")

    # --- the note -----------------------------------------------------------------------------

    def test_note_card_and_its_dark_blue_text(self):
        rect = self.item("note")
        l, t, r, b = rect
        self.assertGreater(r - l, 120)
        self.assertGreater(b - t, 50, "two lines at 20 points")
        shot = screenshot()
        # The card: white at alpha 60 over the wallpaper, pixel for pixel within a few levels;
        # around it the wallpaper itself.
        box = (l + 2, t + 3, l + 8, b - 3)
        self.assertGreater(array(self.background, box).mean(), 30, "no lit wallpaper behind the note to blend with")
        card = over((255, 255, 255), 60, array(self.background, box))
        got = array(shot, box)
        self.assertLess(float(np.abs(got - card).max()), 4.0,
                        "the note's card is not white at alpha 60 over the wallpaper: mean %s, want %s"
                        % (np.round(got.reshape(-1, 3).mean(axis=0)).tolist(),
                           np.round(card.reshape(-1, 3).mean(axis=0)).tolist()))
        around = (l - 12, t, l - 4, b)
        self.assertLess(float(np.abs(array(shot, around) - array(self.background, around)).max()), 3.0)
        # The text: dark blue pixels (alpha 250), two lines of them; ink is where the pixel lies
        # nearer the text colour than the card would be.
        px = array(shot, (l, t, r, b))
        card = over((255, 255, 255), 60, array(self.background, (l, t, r, b)))
        text = over(fx.NOTE_RGB, 250, card)
        ink = np.linalg.norm(px - text, axis=2) < 0.5 * np.linalg.norm(card - text, axis=2)
        self.assertGreater(ink.sum(), 300, "no dark blue text on the note")
        rows = np.flatnonzero(ink.any(axis=1))
        gaps = np.diff(rows)
        self.assertTrue((gaps > 3).any(), "the text is not on two lines")
        self.assertGreaterEqual(rows.min(), 8, "the text does not start 10 pixels in")


class DeskPictureTest(unittest.TestCase):
    """Desk 2's picture lying on the light desk, in a program of its own: its shadow, and its
    place above the main window (items are windows owned by it), also after a click on it."""

    def setUp(self):
        make_media()
        self.app = Sonadesk()
        fx.write(self.app.data, wine_path(os.path.join(MEDIA, "clip.avi")), current=2)
        move(5, 1015)

    def tearDown(self):
        self.app.close()
        import shutil
        shutil.rmtree(self.app.folder, ignore_errors=True)

    def test_a_picture_on_the_desk_stays_above_the_main_window(self):
        self.app.start()
        self.app.click_client(*cell_centre(1))  # desk 2: the picture lying on the desk
        want = list(fx.DESK_PICTURE_RECT)
        self.assertTrue(wait_for(lambda: [w for w in self.app.visible_windows() if w["rect"] == want], timeout=10))
        time.sleep(0.8)
        l, t, r, b = want
        inside = (l + 40, t + 40, r - 40, b - 40)
        self.assertGreater(stats(screenshot(), inside)["spread"], 25, "the picture does not show")
        self.app.click_client(60, 420)  # the empty desk, left of the picture
        time.sleep(0.8)
        self.assertGreater(stats(screenshot(), inside)["spread"], 25,
                           "a click on the desk put the main window over its picture")

    def test_picture_shadow_over_the_light_desk(self):
        """Desk 2 holds the picture on the desk; its shadow darkens the desk just outside the
        wood, deeper and wider on the right and at the bottom than at the top and on the left,
        and fades into the desk at the window's edge."""
        self.app.start()
        want = list(fx.DESK_PICTURE_RECT)
        desk_before = screenshot()  # desk 1 is current: nothing lies on the desk yet
        self.app.click_client(*cell_centre(1))
        found = wait_for(lambda: [w for w in self.app.visible_windows() if w["rect"] == want], timeout=5)
        self.assertTrue(found, "desk 2's picture did not appear")
        time.sleep(0.8)
        shot = screenshot()
        l, t, r, b = want
        self.assertGreater(stats(shot, (r + 10, t + 20, r + 40, b - 20))["bright"], 200)
        self.assertEqual(shadow_faults(shot, desk_before, want, step=40, at_least=0.25), [],
                         "the picture's shadow over the desk")

        def depth(lines):
            """The mean of the deepest darkening along each line: 0 none, 1 black."""
            return float(np.mean([1 - min(shadow_run(shot, desk_before, *line)) for line in lines]))

        right = depth([(r - 1, y, -1, 0) for y in range(t + 40, b - 40, 40)])
        bottom = depth([(x, b - 1, 0, -1) for x in range(l + 40, r - 40, 40)])
        left = depth([(l, y, 1, 0) for y in range(t + 40, b - 40, 40)])
        top = depth([(x, t, 0, 1) for x in range(l + 40, r - 40, 40)])
        self.assertGreater(bottom, top, "the shadow is not cast downwards")
        self.assertGreater(right, left, "the shadow is not cast rightwards")
        # Inside the shadow, the wood: warm and lit.
        wood = stats(shot, (r - 13, t + 40, r - 7, b - 40))
        self.assertGreater(wood["r"], wood["b"] + 20)

    def test_items_of_the_desk_shown_at_start_lie_above_the_main_window(self):
        fx.write(self.app.data, wine_path(os.path.join(MEDIA, "clip.avi")), current=1)
        self.app.start()
        want = list(fx.DESK_PICTURE_RECT)
        self.assertTrue(wait_for(lambda: [w for w in self.app.visible_windows() if w["rect"] == want], timeout=10))
        time.sleep(1.0)
        l, t, r, b = want
        self.assertGreater(stats(screenshot(), (l + 40, t + 40, r - 40, b - 40))["spread"], 25,
                           "the main window covers the picture its desk was started with")


if __name__ == "__main__":
    unittest.main()
