"""The About window as a user meets it: F1 from the program, Esc, Enter, dragging the picture."""
import time
import unittest

from bench import SonadeskTestCase, drag, key, wait_for

WS_CAPTION = 0x00C00000
WS_EX_TOPMOST = 0x00000008
WS_EX_TOOLWINDOW = 0x00000080
COMPLEXREGION = 3


class AboutWindowTest(SonadeskTestCase):
    def about(self):
        """The About window of the running program, shown or hidden: the 355 by 120 dialog the
        main window owns."""
        main = self.app.main()
        for w in self.app.windows():
            r = w["rect"]
            if w["owner"] == main["hwnd"] and w["class"] == "#32770" and (r[2] - r[0], r[3] - r[1]) == (355, 120):
                return w
        return None

    def shown_about(self, timeout=5):
        return wait_for(lambda: (lambda w: w if w and w["visible"] else None)(self.about()), timeout=timeout)

    def hidden_about(self, timeout=5):
        return wait_for(lambda: (lambda w: w if w and not w["visible"] else None)(self.about()), timeout=timeout)

    def press_f1_on_main(self):
        # The main window has the keyboard since it showed.
        key("F1")

    def test_it_exists_hidden_from_the_start(self):
        self.app.start()
        about = self.about()
        self.assertIsNotNone(about, "no About window was created")
        self.assertFalse(about["visible"])

    def test_f1_shows_it_topmost_rounded_and_centred_on_the_main_window(self):
        self.app.start()
        self.press_f1_on_main()
        about = self.shown_about()
        self.assertIsNotNone(about, "F1 did not show the About window")
        self.assertEqual(about["client"], [355, 120])
        self.assertFalse(about["style"] & WS_CAPTION)
        self.assertTrue(about["exstyle"] & WS_EX_TOPMOST)
        self.assertTrue(about["exstyle"] & WS_EX_TOOLWINDOW)
        self.assertEqual(about["region"], COMPLEXREGION)
        main = self.app.main()["rect"]
        r = about["rect"]
        self.assertLessEqual(abs((r[0] + r[2]) // 2 - (main[0] + main[2]) // 2), 1)
        self.assertLessEqual(abs((r[1] + r[3]) // 2 - (main[1] + main[3]) // 2), 1)

    def test_escape_hides_it_and_f1_shows_it_again_where_it_was_left(self):
        self.app.start()
        self.press_f1_on_main()
        about = self.shown_about()
        self.assertIsNotNone(about)
        r = about["rect"]
        drag(r[0] + 100, r[1] + 70, r[0] + 40, r[1] + 110)
        moved = wait_for(lambda: (lambda w: w if w["rect"] != r else None)(self.about()), timeout=5)
        self.assertIsNotNone(moved, "the drag did not move the About window")
        key("Escape")
        hidden = self.hidden_about()
        self.assertIsNotNone(hidden, "Esc did not hide the About window")
        self.assertTrue(self.app.running())
        self.press_f1_on_main()
        again = self.shown_about()
        self.assertIsNotNone(again, "F1 did not show the About window a second time")
        self.assertEqual(again["hwnd"], about["hwnd"])
        self.assertEqual(again["rect"], moved["rect"])

    def test_enter_does_nothing(self):
        self.app.start()
        self.press_f1_on_main()
        about = self.shown_about()
        self.assertIsNotNone(about)
        key("Return")
        time.sleep(0.5)
        after = self.about()
        self.assertTrue(after["visible"])
        self.assertEqual(after["rect"], about["rect"])
        self.assertEqual(after["hwnd"], about["hwnd"])
        self.assertTrue(self.app.running())

    def test_a_drag_on_the_picture_moves_it(self):
        self.app.start()
        self.press_f1_on_main()
        about = self.shown_about()
        self.assertIsNotNone(about)
        r = about["rect"]
        drag(r[0] + 150, r[1] + 60, r[0] + 90, r[1] + 100)
        after = wait_for(lambda: (lambda w: w if w["rect"] != r else None)(self.about()), timeout=5)
        self.assertIsNotNone(after, "the About window did not move")
        self.assertEqual((after["rect"][0] - r[0], after["rect"][1] - r[1]), (-60, 40))
        self.assertTrue(after["visible"])

    def test_the_close_button_hides_it(self):
        self.app.start()
        self.press_f1_on_main()
        about = self.shown_about()
        self.assertIsNotNone(about)
        r = about["rect"]
        from bench import click
        click(r[0] + 355 - 18, r[1] + 12)
        self.assertIsNotNone(self.hidden_about(), "the close button did not hide the About window")
        self.assertTrue(self.app.running())


if __name__ == "__main__":
    unittest.main()
