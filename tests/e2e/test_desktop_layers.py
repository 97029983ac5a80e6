"""Items among other programs' windows: the layer (ordinary, always on top, on the desktop), the
opacity (kept through an exit and a restart) and the Ctrl+Alt+D hot key.

Another program's window is tools/win/other_window.cpp: a solid magenta window that logs the clicks
it gets. Wine's notification area is its standalone tray window (class __winex11_standalone_tray),
managed by the bench's openbox; the tests click its icon.

Stacking is read in two ways: Wine's own z-order (what Windows shows on the screen) through the
probe, and the screen itself where the bench's X server can show it (see the notes in each test).
"""
import os
import struct
import subprocess
import time
import unittest

import bench
import desk_fixture as fx
from bench import click, key, move, probe, screenshot, wait_for, xdo

OTHER_EXE = os.path.join(bench.WIN, "other_window.exe")
PICTURE_RECT = (100, 100, 420, 340)  # 320 x 240 on the dark desktop, left of and above the main window
INSIDE = (300, 250)                  # inside the picture and inside the other program's window
OTHER_RECT = (200, 150, 300, 200)    # left, top, width, height
MAGENTA = (255, 0, 255)
WS_EX_TOPMOST = 0x8
WS_EX_TRANSPARENT = 0x20
WM_SYSCOMMAND, SC_MINIMIZE = 0x112, 0xF020
WM_APP = 0x8000
TAG_AT = 276  # a picture record's tag: key (4 bytes), layer, opacity, flags, version


def picture_with_tag(rect=PICTURE_RECT, layer=0, opacity=100, flags=0, key_=0, version=1):
    rec = bytearray(fx.picture_record(fx.DEMO_PICTURE, rect))
    rec[TAG_AT:TAG_AT + 8] = struct.pack("<I4B", key_, layer, opacity, flags, version)
    return bytes(rec)


def tag_of(record):
    key_, layer, opacity, flags, version = struct.unpack_from("<I4B", record, TAG_AT)
    return {"key": key_, "layer": layer, "opacity": opacity, "flags": flags, "version": version}


def zorder():
    """Every visible top-level window, topmost first (Wine's own stacking)."""
    items, _ = probe("zorder")
    return items


def above(a, b):
    """True when window a lies above window b in Wine's stacking."""
    order = [w["hwnd"] for w in zorder()]
    return a in order and b in order and order.index(a) < order.index(b)


def near(c1, c2, tolerance):
    return all(abs(x - y) <= tolerance for x, y in zip(c1, c2))


class DesktopLayerTest(bench.SonadeskTestCase):

    def setUp(self):
        super().setUp()
        self.others = []
        self.clicks = os.path.join(self.app.folder, "clicks.txt")

    def tearDown(self):
        for p in self.others:
            if p.poll() is None:
                p.kill()
                try:
                    p.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    pass
        # The other window's process under Wine outlives its launcher for a moment.
        wait_for(lambda: self.other_window() is None, timeout=10)
        super().tearDown()

    # --- helpers -------------------------------------------------------------------------------

    def write_desks(self, desks, current=0):
        os.makedirs(self.app.data, exist_ok=True)
        data = fx.store_image(desks, current)
        for name in ("Media", "Media_bak"):
            with open(self.app.data_file(name), "wb") as f:
                f.write(data)

    def stored(self, name="Media"):
        with open(self.app.data_file(name), "rb") as f:
            return fx.parse_store(f.read())

    def start_other(self):
        open(self.clicks, "w").close()
        l, t, w, h = OTHER_RECT
        args = ["wine", OTHER_EXE, str(l), str(t), str(w), str(h), "ff00ff", bench.wine_path(self.clicks)]
        self.others.append(subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        other = wait_for(self.other_window, timeout=20)
        self.assertIsNotNone(other, "the other program's window did not show")
        time.sleep(0.5)
        return other["hwnd"]

    def other_window(self):
        for w in zorder():
            if w["class"] == "SonadeskTestOtherWindow":
                return w
        return None

    def item(self, rect=PICTURE_RECT):
        """The item window at rect (visible or not)."""
        windows = self.app.windows() or self.app.windows()  # a probe can miss the list once
        for w in windows:
            if tuple(w["rect"]) == tuple(rect):
                return w
        return None

    def exstyle(self, hwnd):
        """The extended style of window hwnd of the program (0 when the probe misses it)."""
        for w in self.app.windows():
            if w["hwnd"] == hwnd:
                return w["exstyle"]
        return 0

    def wait_item(self, rect=PICTURE_RECT, visible=True):
        return wait_for(lambda: (lambda w: w if w and w["visible"] == (1 if visible else 0) else None)(self.item(rect)),
                        timeout=15)

    def item_menu(self, at, *keys):
        """Opens the item's menu with a right click at `at` and presses the keys in it."""
        click(at[0], at[1], button=3)
        time.sleep(0.5)
        for k in keys:
            xdo("key", k)
            time.sleep(0.15)
        time.sleep(0.5)

    # Entries of a picture's menu, counted with Down from the top: Open, Always on Top, On the
    # Desktop, Opacity, Click-Through (separators are skipped).
    def set_on_top(self, at=INSIDE):
        self.item_menu(at, "Down", "Down", "Return")

    def set_on_desktop(self, at=INSIDE):
        self.item_menu(at, "Down", "Down", "Down", "Return")

    def set_opacity(self, step, at=INSIDE):
        """step 0 is 100 %, 4 is 20 %."""
        self.item_menu(at, *(["Down"] * 4 + ["Right"] + ["Down"] * step + ["Return"]))

    def set_click_through(self, at=INSIDE):
        self.item_menu(at, "Down", "Down", "Down", "Down", "Down", "Return")

    def tray(self):
        for w in zorder():
            if w["class"] == "__winex11_standalone_tray":
                return w
        return None

    def tray_icon_point(self):
        tray = wait_for(self.tray, timeout=10)
        self.assertIsNotNone(tray, "no notification area: Wine's standalone tray window did not show")
        # Wine's tray lays its icons out from the client origin, each a small icon plus a 2-pixel
        # border on each side.
        return tray["origin"][0] + 10, tray["origin"][1] + 10

    def tray_menu(self, entry, desks=3):
        """Right-clicks the icon and clicks an entry of its menu: "items" (Show or Hide Items),
        a desk number 1-9, "stop" (Stop Click-Through) or "exit". Entries are 20 pixels high,
        separators 5 (the keyboard stays with Wine's tray window, so the entries are clicked)."""
        x, y = self.tray_icon_point()
        click(x, y, button=3)
        menu = wait_for(lambda: [w for w in zorder() if w["class"] == "#32768"], timeout=5)
        self.assertTrue(menu, "the notification-area menu did not open")
        x, y = menu[0]["rect"][0], menu[0]["rect"][1]
        if entry == "items":
            dy = 11
        elif entry == "stop":
            dy = 11 + 25 + 20 * desks + 5
        elif entry == "exit":
            dy = 11 + 25 + 20 * desks + 5 + 25
        else:
            dy = 11 + 25 + 20 * (entry - 1)
        click(x + 40, y + dy)
        time.sleep(0.6)

    def start_with_picture(self, **tag):
        self.write_desks([[(fx.PICTURE, picture_with_tag(**tag))], [], []])
        self.app.start()
        item = self.wait_item()
        self.assertIsNotNone(item, "the picture did not show")
        time.sleep(0.8)
        return item["hwnd"]

    # --- layers ----------------------------------------------------------------------------------

    def test_ordinary_item_stacks_like_any_window_against_another_program(self):
        item = self.start_with_picture()
        other = self.start_other()
        # The other program came last: it lies above the item, and the item above the main window.
        self.assertTrue(above(other, item))
        self.assertTrue(above(item, self.app.main()["hwnd"]))
        click(*INSIDE)  # a click brings the item to the front
        self.assertTrue(wait_for(lambda: above(item, other), timeout=5))
        probe("post", other, WM_APP, 0, 0)  # the other program raises itself
        self.assertTrue(wait_for(lambda: above(other, item), timeout=5))
        self.assertEqual(self.item()["exstyle"] & WS_EX_TOPMOST, 0)
        self.assertEqual(self.item()["owner"], self.app.main()["hwnd"])

    def test_always_on_top_stays_above_another_program(self):
        item = self.start_with_picture()
        self.set_on_top()
        self.assertTrue(wait_for(lambda: self.exstyle(item) & WS_EX_TOPMOST, timeout=5))
        other = self.start_other()
        probe("post", other, WM_APP, 0, 0)  # raises itself and takes the foreground
        time.sleep(1)
        self.assertTrue(above(item, other))
        click(600, 700)  # the main window activated raises its items: this one stays on top
        time.sleep(1)
        self.assertTrue(above(item, other))
        self.assertTrue(wait_for(lambda: self.exstyle(item) & WS_EX_TOPMOST, timeout=5))
        # On the screen the picture covers the other program where they overlap.
        self.assertFalse(near(screenshot().getpixel(INSIDE), MAGENTA, 40))

    def test_on_the_desktop_stays_below_every_window(self):
        item = self.start_with_picture()
        other = self.start_other()
        click(*INSIDE)
        self.assertTrue(wait_for(lambda: above(item, other), timeout=5))
        self.set_on_desktop()
        # Wine has no shell desktop window to hold it (no Progman, no WorkerW): the item is an
        # unowned window at the bottom of the stacking that refuses every raise.
        self.assertTrue(wait_for(lambda: self.item()["owner"] == 0, timeout=5))
        self.assertTrue(wait_for(lambda: above(other, item), timeout=5))
        self.assertTrue(wait_for(lambda: above(self.app.main()["hwnd"], item), timeout=5))
        click(INSIDE[0] - 150, INSIDE[1] - 100)  # clicked where only the item is: it stays below
        time.sleep(0.8)
        self.assertTrue(above(other, item))
        click(600, 700)  # the main window raises its items: not this one
        # (Wine keeps the window that has just been clicked and moved above the main window here;
        # the other program's window stays above it.)
        self.assertTrue(wait_for(lambda: above(other, item), timeout=5))
        # Show Desktop minimises windows: this one refuses.
        probe("post", item, WM_SYSCOMMAND, SC_MINIMIZE, 0)
        time.sleep(0.8)
        now = wait_for(lambda: [w for w in self.app.windows() if w["hwnd"] == item], timeout=5)
        self.assertTrue(now)
        self.assertEqual(now[0]["iconic"], 0)
        self.assertEqual(now[0]["visible"], 1)
        self.assertEqual(tuple(now[0]["rect"]), PICTURE_RECT)
        # Unchecked, it is owned by the main window again and comes above it.
        self.set_on_desktop(at=(INSIDE[0] - 150, INSIDE[1] - 100))
        self.assertTrue(wait_for(lambda: self.item()["owner"] == self.app.main()["hwnd"], timeout=5))
        self.assertTrue(wait_for(lambda: above(item, self.app.main()["hwnd"]), timeout=5))

    # --- opacity -------------------------------------------------------------------------------

    def test_opacity_multiplies_the_items_own_alpha(self):
        self.write_desks([[], [(fx.PICTURE, picture_with_tag())]])
        self.app.start()
        points = [(180, 180), (260, 220), (340, 300), (104, 104)]  # inside the picture; the last on its frame's edge
        wall = [screenshot().getpixel(p) for p in points]
        key("ctrl+2")  # desk 2 holds the picture
        self.assertIsNotNone(self.wait_item())
        time.sleep(1.2)
        full = [screenshot().getpixel(p) for p in points]
        self.assertTrue(any(not near(f, w, 30) for f, w in zip(full, wall)), "the picture does not show")

        def expect(level):
            return [tuple(w[c] + (f[c] - w[c]) * level / 100.0 for c in range(3)) for f, w in zip(full, wall)]

        seen = {}
        for step, level in enumerate((100, 80, 60, 40, 20)):
            self.set_opacity(step, at=(180, 180))
            time.sleep(0.8)
            move(5, 1015)
            time.sleep(0.4)
            got = [screenshot().getpixel(p) for p in points]
            seen[level] = got
            for g, e, p in zip(got, expect(level), points):
                self.assertTrue(near(g, e, 8), "at %d %%, pixel %s is %s, expected about %s" % (level, p, g, e))
        # Ctrl + wheel over the item: up two steps from 20 % is 60 %, down one is 40 %.
        move(180, 180)
        xdo("keydown", "ctrl")
        xdo("click", "4")
        time.sleep(0.3)
        xdo("click", "4")
        time.sleep(0.3)
        xdo("keyup", "ctrl")
        time.sleep(0.6)
        move(5, 1015)
        time.sleep(0.4)
        for g, e in zip([screenshot().getpixel(p) for p in points], expect(60)):
            self.assertTrue(near(g, e, 8), (g, e))
        move(180, 180)
        xdo("keydown", "ctrl")
        xdo("click", "5")
        xdo("keyup", "ctrl")
        time.sleep(0.6)
        move(5, 1015)
        time.sleep(0.4)
        for g, e in zip([screenshot().getpixel(p) for p in points], expect(40)):
            self.assertTrue(near(g, e, 8), (g, e))
        # Kept with the desk: 40 % in the tag after an exit, and on the screen after a restart.
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit())
        desks, _ = self.stored()
        self.assertEqual(tag_of(desks[1][0][1])["opacity"], 40)
        self.app.start()
        self.assertIsNotNone(self.wait_item())
        time.sleep(1.2)
        for g, e in zip([screenshot().getpixel(p) for p in points], expect(40)):
            self.assertTrue(near(g, e, 8), (g, e))

    # --- the notification area and the hot key -------------------------------------------------

    def test_ctrl_alt_d_hides_and_shows_the_desks_items(self):
        self.start_with_picture()
        click(600, 700)
        key("ctrl+alt+d")
        self.assertIsNotNone(self.wait_item(visible=False), "Ctrl+Alt+D did not hide the items")
        key("ctrl+alt+d")
        self.assertIsNotNone(self.wait_item(), "Ctrl+Alt+D did not show the items")

if __name__ == "__main__":
    unittest.main()
