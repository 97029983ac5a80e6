"""Music and movies in the real program: the demo song imported through the Open dialog plays on
the sound server and turns its disc, Stop ends the stream; a movie loaded with the desk plays in
its frame, goes full screen and comes back with a click."""
import os
import struct
import subprocess
import time
import unittest

from bench import BUILD, ROOT, SonadeskTestCase, click, key, screenshot, type_text, wait_for, wine_path

IMPORT_MUSIC = (435, 469)  # "Import Music Files" button centre, client coordinates
MEDIA = os.path.join(BUILD, "media")


def make_media():
    """The test clips, made once per build folder."""
    subprocess.run(["sh", os.path.join(ROOT, "tests", "media", "make-media.sh"), MEDIA], check=True,
                   stdout=subprocess.DEVNULL, timeout=120)


def sink_inputs():
    """Streams the sound server is playing now (one line each)."""
    out = subprocess.run(["pactl", "list", "short", "sink-inputs"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True, timeout=20).stdout
    return [line for line in out.splitlines() if line.strip()]


def write_store(path, entries):
    """A store of one desk with media items: (type, file path, relative rectangle)."""
    data = struct.pack("<II", 1, 0) + struct.pack("<I", len(entries))
    for kind, file_path, rect in entries:
        record = file_path.encode("ascii") + b"\0"
        record += b"\0" * (292 - len(record)) + struct.pack("<4f", *rect) + b"\0" * 12
        data += struct.pack("<I", kind) + record
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def colourful(img, box):
    """Share of the pixels of `box` that are clearly coloured (the test clip's bars), not the
    black, grey or dark frame around a video."""
    region = img.crop(box).resize((64, 48))
    pixels = list(region.getdata())
    hits = sum(1 for r, g, b in pixels if max(r, g, b) > 120 and max(r, g, b) - min(r, g, b) > 60)
    return hits / len(pixels)


class MediaTest(SonadeskTestCase):
    @classmethod
    def setUpClass(cls):
        make_media()

    def own_windows(self, owner):
        return [w for w in self.app.visible_windows() if w["owner"] == owner]

    def item_of_size(self, w, h):
        main = self.app.main()["hwnd"]
        for win in self.own_windows(main):
            r = win["rect"]
            if r[2] - r[0] == w and r[3] - r[1] == h:
                return win
        return None

    def import_demo_song(self):
        main = self.app.main()["hwnd"]
        self.app.click_client(*IMPORT_MUSIC)
        dialog = wait_for(lambda: [w for w in self.app.windows() if w["visible"] and w["class"] == "#32770"
                                   and w["hwnd"] != main], timeout=15)
        self.assertTrue(dialog, "the Open dialog did not appear")
        time.sleep(0.5)
        type_text(wine_path(self.app.data) + "\\")
        key("Return")
        time.sleep(0.6)
        type_text("demo01.mp3")
        key("Return")
        gone = wait_for(lambda: not [w for w in self.app.windows() if w["hwnd"] == dialog[0]["hwnd"]
                                     and w["visible"]], timeout=15)
        self.assertTrue(gone, "the Open dialog did not close")

    def test_imported_song_plays_turns_its_disc_and_stops(self):
        self.app.start()
        self.assertEqual(sink_inputs(), [])
        self.import_demo_song()
        card = wait_for(lambda: self.item_of_size(260, 130), timeout=10)
        self.assertIsNotNone(card, "the music import made no 260 x 130 card")
        l, t = card["rect"][0], card["rect"][1]
        # The card's buttons come last, after its hidden sliders (Wine without a window manager
        # waits up to 2 s on each window it hides).
        buttons = wait_for(lambda: len([w for w in self.own_windows(card["hwnd"])
                                        if w["rect"][2] - w["rect"][0] == 18]) == 3, timeout=15)
        self.assertTrue(buttons, "the card's buttons did not appear")
        click(l + 13 + 9, t + 28 + 10)  # Play
        self.assertTrue(wait_for(sink_inputs, timeout=10), "no stream reached the sound server")
        disc = (l + 141, t + 9, l + 141 + 103, t + 9 + 103)
        first = screenshot().crop(disc)
        time.sleep(0.6)
        second = screenshot().crop(disc)
        moved = sum(abs(p - q) for a, b in zip(first.getdata(), second.getdata()) for p, q in zip(a, b))
        self.assertGreater(moved, 103 * 103 * 3, "the disc did not turn")
        click(l + 57 + 9, t + 28 + 10)  # Stop
        self.assertTrue(wait_for(lambda: not sink_inputs(), timeout=10), "the stream did not end")
        third = screenshot().crop(disc)
        time.sleep(1.1)
        self.assertEqual(list(third.getdata()), list(screenshot().crop(disc).getdata()),
                         "the disc turns while stopped")

    def test_movie_plays_in_its_frame_goes_full_screen_and_comes_back_with_a_click(self):
        write_store(self.app.data_file("Media"), [(0, wine_path(os.path.join(MEDIA, "clip.avi")),
                                                   (0.05, 0.15, 0.55, 0.75))])
        self.app.start()
        main = self.app.main()
        movie = None
        for win in self.own_windows(main["hwnd"]):
            r = win["rect"]
            if r[2] - r[0] >= 320 and r[3] - r[1] >= 260 and (movie is None or r[2] - r[0] < movie["rect"][2] - movie["rect"][0]):
                movie = win
        self.assertIsNotNone(movie, "the movie item was not built from the store")
        l, t, r, b = movie["rect"]
        hosts = [w for w in self.own_windows(movie["hwnd"]) if w["rect"][3] - w["rect"][1] > 100]
        self.assertEqual(len(hosts), 1, "the player host is not over the movie")
        video = hosts[0]["rect"]
        self.assertLess(colourful(screenshot(), video), 0.05)

        click(l + 18 + 17, b - 55 + 17)  # Play
        self.assertTrue(wait_for(lambda: colourful(screenshot(), hosts[0]["rect"]) > 0.3, timeout=10),
                        "no video frame in the movie's frame")
        # The host follows the native 4:3 size: re-read where it went.
        video = [w for w in self.own_windows(movie["hwnd"]) if w["hwnd"] == hosts[0]["hwnd"]][0]["rect"]
        self.assertGreater(colourful(screenshot(), video), 0.3)

        click(l + 121 + 10, b - 49 + 10)  # Full Screen
        screen = (0, 0, 1280, 1024)
        self.assertTrue(wait_for(lambda: colourful(screenshot(), screen) > 0.5, timeout=10),
                        "the video did not fill the screen")
        click(640, 512)
        self.assertTrue(wait_for(lambda: colourful(screenshot(), screen) < 0.2, timeout=10),
                        "a click did not leave full screen")
        shot = screenshot()
        self.assertGreater(colourful(shot, video), 0.3, "the video did not come back into its frame")
        # The item stayed where it was: the click that left full screen did not drag it.
        again = [w for w in self.own_windows(main["hwnd"]) if w["hwnd"] == movie["hwnd"]][0]
        self.assertEqual(again["rect"], movie["rect"])

        click(l + 61 + 10, b - 50 + 10)  # Stop
        self.assertTrue(wait_for(lambda: colourful(screenshot(), video) < 0.05, timeout=10),
                        "the video area did not go dark after Stop")


if __name__ == "__main__":
    unittest.main()
