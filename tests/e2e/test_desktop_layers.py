"""Items among other programs' windows: the layer (ordinary, always on top, on the desktop), the
opacity, click-through and the ways back from it, the notification-area icon and its menu, the
Ctrl+Alt+D hot key (also when another program holds it), and all of it kept with the desk through
an exit, a restart and undo.

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


def foreground():
    """Wine's foreground window (0 when the probe missed it)."""
    items, _ = probe("foreground")
    return items[0]["foreground"] if items else 0


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

    def menus(self):
        return [w for w in zorder() if w["class"] == "#32768"]

    def item_menu(self, at, *keys):
        """Opens the item's menu with a right click at `at` and presses the keys in it."""
        click(at[0], at[1], button=3)
        self.assertTrue(wait_for(self.menus, timeout=5), "the item's menu did not open")
        for k in keys:
            xdo("key", k)
            time.sleep(0.15)
        self.assertTrue(wait_for(lambda: not self.menus(), timeout=5), "the item's menu did not close")
        time.sleep(0.3)

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

    def press(self, at):
        """A click on an item as a hand makes it, the button held a moment: a press that is over
        before the program has seen it can leave the window manager waiting to move the item,
        and the next click anywhere is lost to it."""
        move(*at)
        xdo("mousedown", 1)
        time.sleep(0.15)
        xdo("mouseup", 1)
        time.sleep(0.5)

    def clicked(self):
        """The clicks the other program got, as (x, y) screen points."""
        with open(self.clicks) as f:
            return [tuple(int(v) for v in line.split()) for line in f if line.strip()]

    def pixels(self, points):
        move(5, 1015)
        time.sleep(0.3)
        shot = screenshot()
        return [shot.getpixel(p) for p in points]

    def assert_pixels_near(self, got, expected, what):
        for g, e in zip(got, expected):
            self.assertTrue(near(g, e, 8), "%s: %s, expected about %s" % (what, got, expected))

    def focus_main(self):
        """Clicks an empty place of the main window's desk: the keys go to the program again."""
        click(600, 700)
        self.assertTrue(wait_for(lambda: foreground() == self.app.main()["hwnd"], timeout=5),
                        "the main window did not take the foreground")

    def tray_icon_point(self):
        """Where the program's icon lies in Wine's standalone tray window, as X shows it (the
        window comes back when the icon is added again)."""
        def window():
            for wid in bench.run(["xdotool", "search", "--onlyvisible", "--name", "Wine System Tray"]).stdout.split():
                g = dict(kv.split("=", 1) for kv in bench.run(["xdotool", "getwindowgeometry", "--shell", wid]).stdout.split())
                if int(g["WIDTH"]) >= 20:
                    return int(g["X"]), int(g["Y"])
            return None
        at = wait_for(window, timeout=10)
        self.assertIsNotNone(at, "no notification area: Wine's standalone tray window did not show")
        # Its icons lie in a row from its top-left corner, 20 pixels each.
        return at[0] + 10, at[1] + 10

    def click_tray_icon(self, button=1):
        """Clicks the icon. The window manager gives Wine's tray window the focus at every press
        on it, and the program takes the foreground to open its menu or show its window: the
        empty part of the tray window is clicked first, until the tray has the focus, so that the
        press on the icon no longer moves the focus and cannot take it back from the program."""
        x, y = self.tray_icon_point()

        def tray_has_focus():
            trays = [w["hwnd"] for w in zorder() if w["class"] == "__winex11_standalone_tray"]
            return trays and foreground() in trays
        click(x + 100, y)
        self.assertTrue(wait_for(tray_has_focus, timeout=5), "the tray window did not take the focus")
        click(x, y, button=button)

    def tray_menu(self, entry, desks=3):
        """Right-clicks the icon and clicks an entry of its menu: "items" (Show or Hide Items),
        a desk number 1-9, "stop" (Stop Click-Through) or "exit". Entries are 20 pixels high,
        separators 5 (the keyboard stays with Wine's tray window, so the entries are clicked).
        Returns the menu's window as it was open."""
        self.click_tray_icon(button=3)
        menu = wait_for(self.menus, timeout=5)
        self.assertTrue(menu, "the notification-area menu did not open")
        x, y = menu[0]["rect"][0], menu[0]["rect"][1]
        shown = min(desks, 9)
        dy = {"items": 11, "stop": 11 + 25 + 20 * shown + 5, "exit": 11 + 25 + 20 * shown + 5 + 25}.get(entry)
        if dy is None:
            dy = 11 + 25 + 20 * (entry - 1)
        click(x + 40, y + dy)
        self.assertTrue(wait_for(lambda: not self.menus(), timeout=5), "the notification-area menu stayed open")
        return menu[0]

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
        def ctrl_wheel(button, steps, level):
            move(180, 180)
            xdo("keydown", "ctrl")
            for _ in range(steps):
                xdo("click", button)
                time.sleep(0.3)
            xdo("keyup", "ctrl")
            time.sleep(0.6)
            move(5, 1015)
            time.sleep(0.4)
            for g, e in zip([screenshot().getpixel(p) for p in points], expect(level)):
                self.assertTrue(near(g, e, 8), (g, e))
        ctrl_wheel("4", 2, 60)
        ctrl_wheel("5", 1, 40)
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

    # --- click-through -------------------------------------------------------------------------

    def test_click_through_reaches_the_window_below_and_the_ways_back(self):
        item = self.start_with_picture()
        other = self.start_other()
        # On top as well, as an overlay is: it stays above the other program whatever that does.
        self.set_on_top()
        self.assertTrue(wait_for(lambda: self.exstyle(item) & WS_EX_TOPMOST, timeout=5))
        self.assertTrue(wait_for(lambda: above(item, other), timeout=5))
        self.press(INSIDE)
        self.assertEqual(self.clicked(), [], "the item should take the click")
        self.set_click_through()
        self.assertTrue(wait_for(lambda: self.exstyle(item) & WS_EX_TRANSPARENT, timeout=5))
        # The item still covers the other program on the screen, yet a click there reaches it.
        probe("post", other, WM_APP, 0, 0)
        time.sleep(0.5)
        self.assertTrue(above(item, other))
        self.assertFalse(near(self.pixels([INSIDE])[0], MAGENTA, 40))
        click(*INSIDE)
        self.assertTrue(wait_for(lambda: self.clicked() == [INSIDE], timeout=5), self.clicked())
        # The way back by the keyboard: the item is still the current one and keeps its keys.
        # Delete removes it, and Ctrl+Z brings it back on top and click-through.
        self.focus_main()
        key("Delete")
        self.assertTrue(wait_for(lambda: self.item() is None, timeout=5), "Delete did not remove the item")
        key("ctrl+z")
        back = self.wait_item()
        self.assertIsNotNone(back, "Ctrl+Z did not bring the item back")
        item = back["hwnd"]
        self.assertTrue(wait_for(lambda: self.exstyle(item) & WS_EX_TOPMOST, timeout=5))
        self.assertTrue(self.exstyle(item) & WS_EX_TRANSPARENT)
        click(*INSIDE)
        self.assertTrue(wait_for(lambda: len(self.clicked()) == 2, timeout=5), self.clicked())
        # The way back by the mouse: "Stop Click-Through" in the notification-area menu.
        self.tray_menu("stop")
        self.assertTrue(wait_for(lambda: not self.exstyle(item) & WS_EX_TRANSPARENT, timeout=5))
        self.press(INSIDE)
        self.assertEqual(len(self.clicked()), 2, "the item should take the click again")
        # Kept so: on top, clickable.
        self.focus_main()
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit())
        tag = tag_of(self.stored()[0][0][0][1])
        self.assertEqual((tag["layer"], tag["opacity"], tag["flags"]), (1, 100, 0))

    # --- kept with the desk --------------------------------------------------------------------

    def test_layer_opacity_and_click_through_come_back_after_a_restart_and_after_undo(self):
        a_points = [(180, 180), (260, 220), (104, 104)]  # inside A; the last on its frame's edge
        b_rect = (560, 10, 880, 250)                       # clear of the main window
        b_at = (720, 130)
        b_points = [(640, 90), (800, 200)]
        self.write_desks([[(fx.PICTURE, picture_with_tag(key_=0x01020304)),
                           (fx.PICTURE, picture_with_tag(rect=b_rect))], [], []])
        wall = self.pixels(a_points + b_points)
        self.app.start()
        a = self.wait_item()
        self.assertIsNotNone(a)
        self.assertIsNotNone(self.wait_item(b_rect))
        # A: on top, 80 %, click-through. B: on the desktop, 60 %.
        self.set_on_top()
        self.set_opacity(1)
        self.set_click_through()
        self.assertTrue(wait_for(lambda: self.exstyle(a["hwnd"]) & WS_EX_TRANSPARENT, timeout=5))
        self.set_on_desktop(at=b_at)
        self.set_opacity(2, at=b_at)
        before = self.pixels(a_points + b_points)
        shows = [not near(x, w, 30) for x, w in zip(before, wall)]
        self.assertTrue(any(shows[:len(a_points)]) and any(shows[len(a_points):]), "the items do not show")
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit())
        desks, _ = self.stored()
        a_tag = {"key": 0x01020304, "layer": 1, "opacity": 80, "flags": 1, "version": 1}
        b_tag = {"key": 0, "layer": 2, "opacity": 60, "flags": 0, "version": 1}
        # The key written by another part of the program stays exactly as it was.
        self.assertEqual([tag_of(rec) for _, rec in desks[0]], [a_tag, b_tag])

        def restored(what):
            a, b = self.wait_item(), self.wait_item(b_rect)
            shown = [(w["rect"], w["visible"]) for w in self.app.windows() if w["class"].startswith("Sonadesk:")]
            self.assertIsNotNone(a, "%s: A is not shown; the items: %s" % (what, shown))
            self.assertIsNotNone(b, "%s: B is not shown; the items: %s" % (what, shown))
            self.assertTrue(wait_for(lambda: self.exstyle(a["hwnd"]) & WS_EX_TOPMOST, timeout=5), what)
            self.assertTrue(self.exstyle(a["hwnd"]) & WS_EX_TRANSPARENT, what)
            self.assertTrue(wait_for(lambda: self.item(b_rect)["owner"] == 0, timeout=5), what)
            self.assertTrue(wait_for(lambda: above(self.app.main()["hwnd"], b["hwnd"]), timeout=5), what)
            time.sleep(0.8)
            self.assert_pixels_near(self.pixels(a_points + b_points), before, what)

        self.app.start()
        restored("after a restart")
        # B removed with its menu's Remove (the first right click on it since the start) and
        # brought back with Ctrl+Z: on the desktop at 60 % again.
        self.item_menu(b_at, "Up", "Return")
        self.assertTrue(wait_for(lambda: self.item(b_rect) is None, timeout=5), "Remove did not remove B")
        self.focus_main()
        key("ctrl+z")
        restored("after undo")
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit())
        self.assertEqual([tag_of(rec) for _, rec in self.stored()[0][0]], [a_tag, b_tag])

    # --- the notification area and the hot key -------------------------------------------------

    def test_ctrl_alt_d_hides_and_shows_the_desks_items(self):
        self.start_with_picture()
        click(600, 700)
        key("ctrl+alt+d")
        self.assertIsNotNone(self.wait_item(visible=False), "Ctrl+Alt+D did not hide the items")
        key("ctrl+alt+d")
        self.assertIsNotNone(self.wait_item(), "Ctrl+Alt+D did not show the items")

    def test_tray_menu_hides_shows_switches_desks_brings_the_window_back_and_exits(self):
        # Ten desks: the menu lists the first nine. Desk 9 holds a second picture.
        rect9 = (500, 10, 820, 250)
        desks = [[(fx.PICTURE, picture_with_tag())]] + [[] for _ in range(7)] + \
                [[(fx.PICTURE, picture_with_tag(rect=rect9))], []]
        self.write_desks(desks)
        with open(self.app.data_file("Media"), "rb") as f:
            first_bytes = f.read()
        self.app.start()
        self.assertIsNotNone(self.wait_item())
        self.tray_menu("items", desks=10)  # Hide Items
        self.assertIsNotNone(self.wait_item(visible=False), "Hide Items did not hide the items")
        self.tray_menu("items", desks=10)  # Show Items
        self.assertIsNotNone(self.wait_item(), "Show Items did not show the items")
        self.tray_menu(9, desks=10)
        self.assertIsNotNone(self.wait_item(rect9), "Desk 9 was not shown")
        self.assertTrue(wait_for(lambda: self.item() is None, timeout=5))
        # A left click on the icon brings back the minimised main window.
        main = self.app.main()["hwnd"]
        probe("post", main, WM_SYSCOMMAND, SC_MINIMIZE, 0)
        self.assertTrue(wait_for(lambda: self.app.main()["iconic"], timeout=5))
        self.click_tray_icon()
        self.assertTrue(wait_for(lambda: not self.app.main()["iconic"], timeout=5), "the icon did not bring the window back")
        self.assertTrue(wait_for(lambda: foreground() == main, timeout=5))
        # Explorer announcing a new task bar: the icon is added again, and its menu still works.
        probe("broadcast", "TaskbarCreated")
        # Exit saves as the exit command does, both files: once the desk switch has been saved on
        # its own, the files are put back as they were at the start, so only Exit can write it.
        self.assertTrue(wait_for(lambda: self.stored()[1] == 8, timeout=10))
        for name in ("Media", "Media_bak"):
            with open(self.app.data_file(name), "wb") as f:
                f.write(first_bytes)
        self.tray_menu("exit", desks=10)
        self.assertTrue(self.app.wait_exit(), "Exit did not end the program")
        for name in ("Media", "Media_bak"):
            desks_now, current = self.stored(name)
            self.assertEqual(current, 8, name)
            self.assertEqual([[tag_of(rec) for _, rec in d] for d in desks_now],
                             [[tag_of(rec) for _, rec in d] for d in desks], name)

    def test_a_hot_key_held_elsewhere_is_told_once_and_the_program_goes_on(self):
        hold = os.path.join(self.app.folder, "hold.txt")
        with open(hold, "w") as out:
            holder = subprocess.Popen(["wine", bench.PROBE, "hold-hotkey", "60"], stdout=out, stderr=subprocess.DEVNULL)
        self.others.append(holder)

        def held():
            with open(hold) as f:
                return "held" in f.read()
        self.assertTrue(wait_for(held, timeout=20), "the probe could not take Ctrl+Alt+D")

        def boxes():
            main = self.app.main()
            return [w for w in self.app.visible_windows("#32770") if main and w["owner"] == main["hwnd"]]

        self.write_desks([[(fx.PICTURE, picture_with_tag())], [], []])
        self.app.start()
        box = wait_for(boxes, timeout=10)
        self.assertTrue(box, "no message about the taken key")
        texts = [probe("text", c["hwnd"])[0][0]["text"] for c in self.app.children(box[0]["hwnd"])
                 if c["class"].lower() == "static"]
        self.assertTrue(any("Ctrl+Alt+D" in t for t in texts), texts)
        ok = [c for c in self.app.children(box[0]["hwnd"]) if c["class"].lower() == "button"]
        self.assertTrue(ok)
        r = ok[0]["rect"]
        click((r[0] + r[2]) // 2, (r[1] + r[3]) // 2)
        self.assertTrue(wait_for(lambda: not boxes(), timeout=5))
        # The program goes on: its items are there, and the icon hides and shows them instead.
        self.assertIsNotNone(self.wait_item())
        self.tray_menu("items")
        self.assertIsNotNone(self.wait_item(visible=False))
        self.tray_menu("items")
        self.assertIsNotNone(self.wait_item())
        self.focus_main()
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit())
        # Told once: the next start says nothing.
        self.app.start()
        self.assertIsNotNone(self.wait_item())
        time.sleep(2)
        self.assertFalse(boxes(), "the taken key was told again")


if __name__ == "__main__":
    unittest.main()
