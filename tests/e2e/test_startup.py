"""Start-up, the single-instance rule and the main window, as a user meets them."""
import os
import time
import unittest

from bench import (INSTANCE_NAME, Sonadesk, SonadeskTestCase, click, drag, key, probe, screenshot, wait_for,
                   wine_path)

WS_CAPTION = 0x00C00000
WS_THICKFRAME = 0x00040000
WS_EX_APPWINDOW = 0x00040000


class MainWindowTest(SonadeskTestCase):
    def test_window_is_800_by_500_centred_borderless_and_marked(self):
        self.app.start()
        main = self.app.main()
        left, top, right, bottom = main["rect"]
        self.assertEqual((right - left, bottom - top), (800, 500))
        self.assertEqual(main["client"], [800, 500])
        self.assertFalse(main["style"] & WS_CAPTION)
        self.assertFalse(main["style"] & WS_THICKFRAME)
        self.assertEqual(main["prop"], 1)
        self.assertEqual(main["title"], "Varnel Sonadesk")
        # Centred on the 1280x1024 screen, give or take a task bar.
        self.assertLessEqual(abs((left + right) // 2 - 640), 2)
        self.assertLessEqual(abs((top + bottom) // 2 - 512), 40)

    def test_enter_and_escape_do_nothing_and_alt_f4_exits_through_the_exit_command(self):
        self.app.start()
        main = self.app.main()
        self.app.click_client(400, 250)
        key("Return", "Escape")
        time.sleep(0.5)
        self.assertTrue(self.app.running())
        self.assertEqual(self.app.main()["hwnd"], main["hwnd"])
        key("alt+F4")
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")
        # The exit command saves both store files, byte-identical.
        media = open(self.app.data_file("Media"), "rb").read()
        self.assertEqual(media, open(self.app.data_file("Media_bak"), "rb").read())
        self.assertEqual(len(media), 12)

    def test_drag_in_the_top_band_moves_the_window(self):
        self.app.start()
        before = self.app.main()["rect"]
        drag(before[0] + 600, before[1] + 25, before[0] + 500, before[1] + 95)
        after = wait_for(lambda: (lambda r: r if r != before else None)(self.app.main()["rect"]), timeout=5)
        self.assertIsNotNone(after, "the window did not move")
        self.assertEqual((after[0] - before[0], after[1] - before[1]), (-100, 70))

    def test_a_click_on_the_desk_area_does_not_move_the_window(self):
        self.app.start()
        before = self.app.main()["rect"]
        drag(before[0] + 400, before[1] + 200, before[0] + 300, before[1] + 300)
        time.sleep(0.5)
        self.assertEqual(self.app.main()["rect"], before)


class SingleInstanceTest(SonadeskTestCase):
    def test_second_start_brings_the_first_window_back_and_ends(self):
        self.app.start()
        main = self.app.main()
        # Minimise it with the caption's minimise button.
        self.app.click_client(738, 22)
        self.assertTrue(wait_for(lambda: self.app.main()["iconic"], timeout=5), "not minimised")
        second = Sonadesk(self.app.folder)
        second.start(wait=False)
        self.assertTrue(second.wait_exit(20), "the second instance did not end")
        restored = wait_for(lambda: not self.app.main()["iconic"] and self.app.main(), timeout=5)
        self.assertTrue(restored, "the running window was not restored")
        mains = [w for w in self.app.windows() if w["prop"] == 1]
        self.assertEqual(len(mains), 1)
        self.assertEqual(mains[0]["hwnd"], main["hwnd"])

    def test_pif_hand_over_writes_the_profile_only_for_upper_case(self):
        self.app.start()
        # Each start's command line: what the profile holds afterwards.
        cases = [("C:\\docs\\show.PIF", "C:\\docs\\show.PIF"),
                 ("C:\\docs\\other.pif", "C:\\docs\\show.PIF"),
                 ("C:\\docs\\third.Pif", "C:\\docs\\show.PIF"),
                 ("D:\\music\\list.PIF", "D:\\music\\list.PIF")]
        for arg, expected in cases:
            with self.subTest(arg=arg):
                second = Sonadesk(self.app.folder)
                second.start(args=[arg], wait=False)
                self.assertTrue(second.wait_exit(20))
                items, _ = probe("profile", "CommandPath", "path")
                self.assertEqual(items[0]["value"] if items else "", expected)


class DataFolderTest(SonadeskTestCase):
    def test_language_pack_rewritten_and_demo_files_restored_only_when_missing(self):
        self.app.start()
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20))
        pack = self.app.data_file("EnglishLang_src")
        jpg = self.app.data_file("demo01.jpg")
        mp3 = self.app.data_file("demo01.mp3")
        original_pack = open(pack, "rb").read()
        original_jpg = open(jpg, "rb").read()
        self.assertTrue(original_jpg.startswith(b"\xff\xd8"))
        open(pack, "wb").write(b"changed")
        os.remove(jpg)
        open(mp3, "wb").write(b"the user's own song")
        self.app.start()
        self.assertEqual(open(pack, "rb").read(), original_pack)
        self.assertEqual(open(jpg, "rb").read(), original_jpg)
        self.assertEqual(open(mp3, "rb").read(), b"the user's own song")

    def test_a_data_folder_that_cannot_be_written_does_not_hang_start_up(self):
        # Tests run as root, which ignores permission bits: a file where the folder should be
        # makes every write in it fail for real.
        open(self.app.data, "wb").write(b"not a folder")
        started = time.time()
        self.app.start(timeout=40)
        self.assertLess(time.time() - started, 25)
        self.assertEqual(self.app.main()["rect"][2] - self.app.main()["rect"][0], 800)


if __name__ == "__main__":
    unittest.main()
