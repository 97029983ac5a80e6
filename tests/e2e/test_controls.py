"""The skinned push buttons as a user meets them in the main window: hover pictures, a click is a
release over the button, a press that leaves the button before the release does nothing."""
import time
import unittest

from bench import SonadeskTestCase, move, probe, screenshot, wait_for, xdo
from test_desks import CREATE_DESK, read_store


class CommandButtonTest(SonadeskTestCase):
    def button_picture(self, centre):
        ox, oy = self.app.client_origin()
        x, y = ox + centre[0], oy + centre[1]
        return list(screenshot().crop((x - 20, y - 15, x + 20, y + 15)).getdata())

    def screen_point(self, centre):
        ox, oy = self.app.client_origin()
        return ox + centre[0], oy + centre[1]

    def exit_and_read(self):
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")
        return read_store(self.app.data_file("Media"))

    def test_hovering_shows_the_hover_picture_until_the_pointer_leaves(self):
        self.app.start()
        normal = self.button_picture(CREATE_DESK)
        move(*self.screen_point(CREATE_DESK))
        time.sleep(0.3)
        hover = self.button_picture(CREATE_DESK)
        self.assertNotEqual(normal, hover, "the hover picture did not show")
        move(5, 1015)
        time.sleep(0.5)
        self.assertEqual(normal, self.button_picture(CREATE_DESK), "leaving did not bring back the normal picture")

    def test_the_pointer_resting_on_a_command_button_shows_its_tooltip(self):
        self.app.start()
        move(*self.screen_point(CREATE_DESK))
        time.sleep(0.2)
        move(self.screen_point(CREATE_DESK)[0] + 2, self.screen_point(CREATE_DESK)[1] + 1)

        def shown_tip():
            for w in self.app.visible_windows("tooltips_class32"):
                items, _ = probe("text", w["hwnd"])
                if items and items[0]["text"]:
                    return items[0]["text"]
            return None

        self.assertEqual(wait_for(shown_tip, timeout=6), "Create New Desk")

    def test_a_press_released_off_the_button_does_nothing_and_a_click_acts_once(self):
        self.app.start()
        x, y = self.screen_point(CREATE_DESK)
        move(x, y)
        xdo("mousedown", 1)
        time.sleep(0.2)
        move(x, y - 200)  # over the empty desk area
        xdo("mouseup", 1)
        time.sleep(0.3)
        self.app.click_client(*CREATE_DESK)
        self.assertEqual(self.exit_and_read()[0], 2)


if __name__ == "__main__":
    unittest.main()
