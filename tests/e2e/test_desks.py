"""Desks: creating, switching, scrolling and removing them, and the store written on exit."""
import os
import struct
import time
import unittest

from bench import Sonadesk, SonadeskTestCase, click, key, probe, screenshot, wait_for, xdo

CELL = 34
STRIP_LEFT, STRIP_TOP = 16, 9
CREATE_DESK = (701, 472)   # "Create New Desk" button centre, client coordinates
REMOVE_DESK = (765, 472)   # "Remove Current Desk"


def read_store(path):
    """(deskCount, currentDesk, [itemCount per desk]) of a store file with empty desks."""
    data = open(path, "rb").read()
    count, current = struct.unpack_from("<II", data, 0)
    items, off = [], 8
    for _ in range(count):
        items.append(struct.unpack_from("<I", data, off)[0])
        off += 4
    return count, current, items


def cell_centre(k):
    return STRIP_LEFT + k * CELL + CELL // 2, STRIP_TOP + CELL // 2


class DeskTest(SonadeskTestCase):
    def exit_and_read(self):
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")
        media = open(self.app.data_file("Media"), "rb").read()
        self.assertEqual(media, open(self.app.data_file("Media_bak"), "rb").read())
        return read_store(self.app.data_file("Media"))

    def cell_image(self, shot, k):
        """The inner part of strip cell k, where the arrow or the desk number shows."""
        ox, oy = self.app.client_origin()
        x, y = ox + STRIP_LEFT + k * CELL, oy + STRIP_TOP
        return shot.crop((x + 6, y + 6, x + CELL - 6, y + CELL - 6))

    @staticmethod
    def distance(a, b):
        """Mean absolute difference per pixel and channel."""
        n = a.size[0] * a.size[1] * 3
        return sum(abs(p - q) for pa, pb in zip(a.getdata(), b.getdata()) for p, q in zip(pa, pb)) / n

    @staticmethod
    def blueness(img):
        px = list(img.getdata())
        return (sum(p[2] for p in px) - sum(p[0] for p in px)) / len(px)

    def test_desks_created_and_switched_by_clicking_come_back_after_a_restart(self):
        self.app.start()
        for _ in range(3):
            self.app.click_client(*CREATE_DESK)
        self.app.click_client(*cell_centre(1))  # desk 2
        self.assertEqual(self.exit_and_read(), (4, 1, [0, 0, 0, 0]))
        self.app.start()
        self.assertEqual(self.exit_and_read(), (4, 1, [0, 0, 0, 0]))

    def test_ten_desks_scroll_with_arrows_held_down(self):
        self.app.start()
        for _ in range(9):
            self.app.click_client(*CREATE_DESK)
        time.sleep(0.5)
        shot = screenshot()
        cells = [self.cell_image(shot, k) for k in range(9)]
        # Left arrow, seven tabs (the last one selected: desk 10), right arrow: the two arrows
        # mirror each other, the numbered tabs do not look like them, only desk 10 is blue.
        from PIL import ImageOps
        self.assertLess(self.distance(ImageOps.mirror(cells[0]), cells[8]), 8)
        for k in range(1, 8):
            self.assertGreater(self.distance(cells[k], cells[0]), 10, "cell %d looks like an arrow" % k)
        self.assertGreater(self.blueness(cells[7]), 30, "desk 10 is not shown selected")
        for k in range(0, 7):
            self.assertLess(self.blueness(cells[k]), 15, "cell %d is shown selected" % k)
        # Tab cell 1 shows desk 4.
        self.app.click_client(*cell_centre(1))
        self.assertEqual(self.exit_and_read()[:2], (10, 3))

    def test_holding_the_left_arrow_scrolls_to_the_start_and_stops_on_release(self):
        self.app.start()
        for _ in range(9):
            self.app.click_client(*CREATE_DESK)
        ox, oy = self.app.client_origin()
        x, y = cell_centre(0)
        xdo("mousemove", ox + x, oy + y)
        xdo("mousedown", 1)
        time.sleep(1.2)  # three 200 ms steps are enough to reach the first desk
        xdo("mouseup", 1)
        time.sleep(0.3)
        before = self.app.main()["rect"]
        self.app.click_client(*cell_centre(1))  # the first tab cell now shows desk 1
        self.assertEqual(self.app.main()["rect"], before, "a strip click must not drag the window")
        self.assertEqual(self.exit_and_read()[:2], (10, 0))

    def test_removing_the_only_desk_leaves_one_empty_desk(self):
        self.app.start()
        self.app.click_client(*REMOVE_DESK)
        box = wait_for(lambda: [w for w in self.app.visible_windows() if w["class"] == "#32770" and
                                w["hwnd"] != self.app.main()["hwnd"]], timeout=5)
        self.assertTrue(box, "no confirmation box")
        key("Return")  # Yes is the default button
        time.sleep(0.5)
        self.assertEqual(self.exit_and_read(), (1, 0, [0]))

    def test_removing_a_desk_after_saying_no_keeps_it(self):
        self.app.start()
        self.app.click_client(*CREATE_DESK)
        self.app.click_client(*REMOVE_DESK)
        self.assertTrue(wait_for(lambda: len([w for w in self.app.visible_windows() if w["class"] == "#32770"]) > 1,
                                 timeout=5))
        key("n")
        time.sleep(0.5)
        self.assertEqual(self.exit_and_read()[:2], (2, 1))

    def test_a_save_that_fails_keeps_the_program_open_and_the_old_store_intact(self):
        self.app.start()
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20))
        old = open(self.app.data_file("Media"), "rb").read()
        # A folder where the temporary file must go makes the write fail for real (root
        # ignores permission bits).
        blocker = self.app.data_file("Media.tmp")
        os.mkdir(blocker)
        os.mkdir(os.path.join(blocker, "keep"))
        self.app.start()
        self.app.click_client(*CREATE_DESK)
        self.app.alt_f4()
        box = wait_for(lambda: [w for w in self.app.visible_windows() if w["class"] == "#32770" and
                                w["title"] == "Varnel Sonadesk"], timeout=8)
        self.assertTrue(box, "no message about the failed save")
        key("Return")
        time.sleep(0.5)
        self.assertTrue(self.app.running(), "the program closed although nothing was saved")
        self.assertEqual(open(self.app.data_file("Media"), "rb").read(), old)
        # Once the folder can be written again, exit saves everything.
        os.rmdir(os.path.join(blocker, "keep"))
        os.rmdir(blocker)
        self.assertEqual(self.exit_and_read()[:2], (2, 1))

    def test_closing_from_the_system_menu_saves_like_exit(self):
        self.app.start()
        self.app.click_client(*CREATE_DESK)
        probe("post", self.app.main()["hwnd"], 0x0112, 0xF060, 0)  # WM_SYSCOMMAND SC_CLOSE
        self.assertTrue(self.app.wait_exit(20), "the window did not close")
        self.assertEqual(read_store(self.app.data_file("Media"))[:2], (2, 1))
        self.assertEqual(open(self.app.data_file("Media"), "rb").read(),
                         open(self.app.data_file("Media_bak"), "rb").read())

    def test_the_desks_are_saved_when_windows_ends_the_session(self):
        self.app.start()
        self.app.click_client(*CREATE_DESK)
        self.app.click_client(*CREATE_DESK)
        items, _ = probe("send", self.app.main()["hwnd"], 0x0011, 0, 0)  # WM_QUERYENDSESSION
        self.assertEqual(items[0]["result"], 1)
        self.assertEqual(read_store(self.app.data_file("Media"))[:2], (3, 2))


if __name__ == "__main__":
    unittest.main()
