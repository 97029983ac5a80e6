"""The user's layout is never lost: saving while minimised, desk visits, saves made soon after a
change (a killed process keeps it), a damaged "Media", the items' own stacking, the desk strip."""
import glob
import os
import struct
import time

from bench import SonadeskTestCase, click, drag, key, move, probe, screenshot, wait_for, xdo
from desk_fixture import MAIN_H, MAIN_W, PICTURE, parse_store as parse, picture_record, store_image as store

CELL = 34
STRIP_LEFT, STRIP_TOP = 16, 9
CREATE_DESK = (701, 472)
REMOVE_DESK = (765, 472)
MINIMISE = (738, 22)
WM_SYSCOMMAND, SC_CLOSE, WM_CANCELMODE = 0x0112, 0xF060, 0x001F

# Two pictures on the light desk inside the centred main window (240, 262)-(1040, 762), the
# second one overlapping the first.
FIRST = (360, 341, 600, 521)    # 240 x 180; 360/800 and 341/500 truncate to one pixel less
SECOND = (480, 420, 720, 600)


# A picture file that is not there: its item is a grey panel of the stored size, and its path is
# written back as it was (the demo picture's path would be replaced by the data folder's copy).
GONE_PICTURE = "C:\\Pictures\\gone.jpg"


def picture_floats(rec):
    return rec[260:276]


def exact_picture(rect):
    """A picture record whose floats are what the program writes for this rectangle, and floats
    a truncating restore gets wrong (0.45 * 800 is 359.99997 in single precision)."""
    rec = bytearray(picture_record(GONE_PICTURE, rect))
    l, t, r, b = rect
    rec[260:276] = struct.pack("<4f", l / MAIN_W, t / MAIN_H, r / MAIN_W, b / MAIN_H)
    return bytes(rec)


def cell_centre(k):
    return STRIP_LEFT + k * CELL + CELL // 2, STRIP_TOP + CELL // 2


class LayoutSafetyTest(SonadeskTestCase):
    def write_store(self, data, backup=None):
        os.makedirs(self.app.data, exist_ok=True)
        with open(self.app.data_file("Media"), "wb") as f:
            f.write(data)
        with open(self.app.data_file("Media_bak"), "wb") as f:
            f.write(data if backup is None else backup)

    def read(self, name="Media"):
        return parse(open(self.app.data_file(name), "rb").read())

    def pictures(self):
        return sorted((w for w in self.app.visible_windows() if w["rect"][2] - w["rect"][0] == 240),
                      key=lambda w: w["rect"][0])

    def boxes(self):
        main = self.app.main()["hwnd"]
        return [w for w in self.app.visible_windows() if w["class"] == "#32770" and w["hwnd"] != main]

    def answer_box(self, button=1):
        """Presses a button (IDOK 1, IDYES 6) of the message box that is up and waits until it has
        gone (the box need not have the keyboard)."""
        boxes = wait_for(self.boxes, timeout=8)
        self.assertTrue(boxes, "no message box")
        probe("post", boxes[0]["hwnd"], 0x0111, button, 0)  # WM_COMMAND
        self.assertTrue(wait_for(lambda: not self.boxes(), timeout=8), "the message box stayed")

    def exit_app(self):
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")

    def cell_blueness(self, shot, k):
        ox, oy = self.app.client_origin()
        x, y = ox + STRIP_LEFT + k * CELL, oy + STRIP_TOP
        px = list(shot.crop((x + 6, y + 6, x + CELL - 6, y + CELL - 6)).getdata())
        return (sum(p[2] for p in px) - sum(p[0] for p in px)) / len(px)

    def selected_cells(self):
        shot = screenshot()
        return [k for k in range(9) if self.cell_blueness(shot, k) > 30]

    def test_a_save_while_minimised_and_many_desk_visits_keep_every_float(self):
        original = store([[(PICTURE, exact_picture(FIRST))], []])
        self.write_store(original)
        self.app.start()
        self.assertEqual([w["rect"] for w in self.pictures()], [list(FIRST)])
        # Visiting the desk again and again rebuilds its items each time: they must not creep.
        for _ in range(6):
            self.app.click_client(*cell_centre(1))
            self.app.click_client(*cell_centre(0))
        self.assertEqual([w["rect"] for w in self.pictures()], [list(FIRST)])
        # Minimised, then closed from the task bar: the save measures against the normal size.
        self.app.click_client(*MINIMISE)
        time.sleep(1.0)
        probe("post", self.app.main()["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0)
        self.assertTrue(self.app.wait_exit(20), "Close did not end the program")
        self.assertEqual(open(self.app.data_file("Media"), "rb").read(), original)
        self.assertEqual(open(self.app.data_file("Media_bak"), "rb").read(), original)
        self.app.start()
        self.assertEqual([w["rect"] for w in self.pictures()], [list(FIRST)])

    def test_a_change_is_on_disk_within_seconds_without_exiting(self):
        self.write_store(store([[(PICTURE, exact_picture(FIRST))]]))
        self.app.start()
        self.app.click_client(*CREATE_DESK)
        self.app.click_client(*cell_centre(0))
        drag(FIRST[0] + 120, FIRST[1] + 90, FIRST[0] + 170, FIRST[1] + 60)
        moved = [FIRST[0] + 50, FIRST[1] - 30, FIRST[2] + 50, FIRST[3] - 30]
        self.assertEqual([w["rect"] for w in self.pictures()], [moved])
        time.sleep(3.5)
        self.app.proc.kill()  # no exit: whatever is on disk now is all there is
        self.app.wait_exit(10)
        for name in ("Media", "Media_bak"):
            desks, current = self.read(name)
            self.assertEqual((len(desks), current), (2, 0), name)
            rec = desks[0][0][1]
            l, t, r, b = struct.unpack("<4f", picture_floats(rec))
            self.assertEqual([round(l * MAIN_W), round(t * MAIN_H), round(r * MAIN_W), round(b * MAIN_H)], moved, name)

    def test_a_damaged_media_is_kept_aside_and_the_user_told(self):
        good = store([[(PICTURE, exact_picture(FIRST))], [], []], current=1)
        damaged = good[:len(good) - 6]  # cut inside the last desk
        self.write_store(damaged, backup=good)
        self.app.start()
        self.answer_box()  # the user is told the desks came from the backup
        kept = glob.glob(self.app.data_file("Media.damaged-*"))
        self.assertEqual(len(kept), 1, kept)
        self.assertEqual(open(kept[0], "rb").read(), damaged)
        # Saves of the same run write the desks but never the kept copy.
        self.app.click_client(*CREATE_DESK)
        time.sleep(3.5)
        self.exit_app()
        self.assertEqual(open(kept[0], "rb").read(), damaged)
        desks, current = self.read()
        self.assertEqual((len(desks), current), (4, 3))
        self.assertEqual(desks[0], [(PICTURE, exact_picture(FIRST))])

    def test_clicking_the_main_window_keeps_the_items_own_stacking(self):
        self.write_store(store([[(PICTURE, exact_picture(FIRST)), (PICTURE, exact_picture(SECOND))]]))
        self.app.start()
        order = lambda: [w["rect"][0] for w in self.app.visible_windows() if w["rect"][0] in (FIRST[0], SECOND[0])
                         and w["rect"][2] - w["rect"][0] == 240]
        self.assertEqual(order(), [SECOND[0], FIRST[0]], "restored in record order, the last on top")
        click(FIRST[0] + 40, FIRST[1] + 30)  # the first picture comes to the front
        self.assertTrue(wait_for(lambda: order() == [FIRST[0], SECOND[0]], 5), order())
        self.app.click_client(780, 420)  # the main window itself
        time.sleep(1.0)
        self.assertEqual(order(), [FIRST[0], SECOND[0]], "the main window re-stacked the items")

    def test_the_current_tab_is_in_view_at_start_and_after_a_removal(self):
        self.write_store(store([[] for _ in range(20)], current=15))
        self.app.start()
        # Desk 16 of 20 stored as current: its tab shows selected in the last tab cell.
        self.assertTrue(wait_for(lambda: self.selected_cells() == [7], 10), self.selected_cells())
        # Scroll all the way left, then remove the current desk: the tab of the desk that is then
        # current must come back into view.
        ox, oy = self.app.client_origin()
        x, y = cell_centre(0)
        xdo("mousemove", ox + x, oy + y)
        xdo("mousedown", 1)
        time.sleep(3.2)
        xdo("mouseup", 1)
        time.sleep(0.3)
        self.assertEqual(self.selected_cells(), [])
        self.app.click_client(*REMOVE_DESK)
        self.answer_box(6)
        self.assertTrue(wait_for(lambda: len(self.selected_cells()) == 1, 20), self.selected_cells())

    def test_losing_the_capture_ends_an_arrow_hold(self):
        self.write_store(store([[] for _ in range(20)], current=19))
        self.app.start()
        ox, oy = self.app.client_origin()
        x, y = cell_centre(0)
        arrow = (ox + STRIP_LEFT, oy + STRIP_TOP, ox + STRIP_LEFT + CELL, oy + STRIP_TOP + CELL)
        released = screenshot().crop(arrow)
        xdo("mousemove", ox + x, oy + y)
        xdo("mousedown", 1)
        time.sleep(0.5)
        probe("send", self.app.main()["hwnd"], WM_CANCELMODE, 0, 0)  # what activating another window does
        move(5, 1015)
        xdo("mouseup", 1)  # off the window: the main window never sees this release
        time.sleep(0.5)
        before = screenshot()
        time.sleep(1.5)  # a runaway hold would go on scrolling, one desk every 200 ms
        self.assertEqual(list(before.getdata()), list(screenshot().getdata()), "the strip went on scrolling")
        self.assertEqual(list(before.crop(arrow).getdata()), list(released.getdata()), "the arrow stayed pressed")
