"""Music and movies in the real program: the demo song imported through the Open dialog plays on
the sound server and turns its disc, Stop ends the stream; a movie loaded with the desk plays in
its frame, goes full screen and comes back with a click; its mute and volume hold across Stop and
Play, measured on what the sound server plays; a card's Open dialog keeps the card safe from
Delete; Pause on a stopped card does nothing."""
import array
import math
import os
import struct
import subprocess
import tempfile
import time
import unittest

import desk_fixture
from bench import BUILD, ROOT, SonadeskTestCase, click, key, screenshot, type_text, wait_for, wine_path

IMPORT_MUSIC = (435, 469)  # "Import Music Files" button centre, client coordinates
DELETE_ITEM = (627, 469)   # "Delete"
MAIN_W, MAIN_H = 800, 500  # the main window's outer size
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


def level(seconds=0.5):
    """RMS of what the null sink plays during `seconds`, as a fraction of full scale."""
    with tempfile.TemporaryFile() as out:
        rec = subprocess.Popen(["parec", "-d", "nullsink.monitor", "--raw", "--latency-msec=20",
                                "--format=s16le", "--rate=44100", "--channels=2"],
                               stdout=out, stderr=subprocess.DEVNULL)
        time.sleep(seconds)
        rec.terminate()
        rec.wait(timeout=10)
        out.seek(0)
        data = out.read()
    samples = array.array("h")
    samples.frombytes(data[:len(data) // 2 * 2])
    if not samples:
        return 0.0
    return math.sqrt(sum(v * v for v in samples) / len(samples)) / 32768.0


def screen_rect(rect):
    """A screen rectangle as the store keeps it, a quarter pixel in so truncation gives it back."""
    l, t, r, b = (v + 0.25 for v in rect)
    return (l / MAIN_W, t / MAIN_H, r / MAIN_W, b / MAIN_H)


def read_store(path):
    """The desks of a store file: a list of lists of (type, path)."""
    with open(path, "rb") as f:
        desks, _current = desk_fixture.parse_store(f.read())
    return [[(kind, rec[:260].split(b"\0")[0].decode("ascii", "replace")) for kind, rec in items] for items in desks]


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

    def assert_single_window(self, card):
        """A card that has not played is one window: its buttons and sliders are drawn in it."""
        self.assertEqual([w for w in self.app.windows() if w["owner"] == card["hwnd"]], [],
                         "the card has windows of its own before it plays")

    def movie_item(self):
        """The movie player built from the store: the smallest own window of at least 320 x 260."""
        movie = None
        for win in self.own_windows(self.app.main()["hwnd"]):
            r = win["rect"]
            if r[2] - r[0] >= 320 and r[3] - r[1] >= 260 and (movie is None or r[2] - r[0] < movie["rect"][2] - movie["rect"][0]):
                movie = win
        self.assertIsNotNone(movie, "the movie item was not built from the store")
        return movie

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
        self.assert_single_window(card)
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
        movie = self.movie_item()
        l, t, r, b = movie["rect"]
        self.assert_single_window(movie)
        self.assertLess(colourful(screenshot(), (l + 32, t + 32, r - 32, b - 90)), 0.05)

        click(l + 18 + 17, b - 55 + 17)  # Play
        # The player's window comes with the first play, over the movie's video area.
        hosts = wait_for(lambda: [w for w in self.own_windows(movie["hwnd"]) if w["rect"][3] - w["rect"][1] > 100],
                         timeout=10)
        self.assertEqual(len(hosts or []), 1, "the player host is not over the movie")
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
        again = [w for w in self.own_windows(self.app.main()["hwnd"]) if w["hwnd"] == movie["hwnd"]][0]
        self.assertEqual(again["rect"], movie["rect"])

        click(l + 61 + 10, b - 50 + 10)  # Stop
        self.assertTrue(wait_for(lambda: colourful(screenshot(), video) < 0.05, timeout=10),
                        "the video area did not go dark after Stop")

    # --- faults of the issue list ---------------------------------------------------------------

    MUSIC_RECT = (800, 110, 1060, 240)  # a 260 x 130 card above the centred main window

    def start_with_card(self):
        """The program with one music card holding loop.wav; returns its window."""
        write_store(self.app.data_file("Media"), [(1, wine_path(os.path.join(MEDIA, "loop.wav")),
                                                   screen_rect(self.MUSIC_RECT))])
        self.app.start()
        card = wait_for(lambda: self.item_of_size(260, 130), timeout=10)
        self.assertIsNotNone(card, "the music card was not built from the store")
        self.assert_single_window(card)
        return card

    def test_pause_on_a_stopped_card_leaves_it_stopped(self):
        card = self.start_with_card()
        l, t = card["rect"][0], card["rect"][1]
        disc = (l + 141, t + 9, l + 141 + 103, t + 9 + 103)
        # Pause, and Pause again (which would resume a paused card), on a card that never played.
        click(l + 35 + 9, t + 28 + 10)
        click(l + 35 + 9, t + 28 + 10)
        time.sleep(0.6)
        first = screenshot().crop(disc)
        time.sleep(1.2)
        self.assertEqual(list(first.getdata()), list(screenshot().crop(disc).getdata()),
                         "the disc turns after Pause on a stopped card")
        self.assertEqual(sink_inputs(), [])
        # Play still plays, and Pause then pauses it.
        click(l + 13 + 9, t + 28 + 10)
        self.assertTrue(wait_for(sink_inputs, timeout=10), "Play after Pause did not play")

    def test_delete_cannot_remove_a_card_under_its_open_dialog(self):
        card = self.start_with_card()
        main = self.app.main()
        l, t = card["rect"][0], card["rect"][1]
        # "Open", the first entry of the card's own menu (a double-click on the card starts a move,
        # which a window manager takes over, so its second click never reaches the card).
        before = {w["hwnd"] for w in self.app.visible_windows()}
        click(l + 60, t + 100, button=3)
        menu = wait_for(lambda: [w for w in self.app.visible_windows() if w["hwnd"] not in before
                                 and w["class"] == "#32768"], timeout=5)
        self.assertTrue(menu, "the card's menu did not open")
        click(menu[0]["rect"][0] + 20, menu[0]["rect"][1] + 10)
        dialog = wait_for(lambda: [w for w in self.app.windows() if w["visible"] and w["class"] == "#32770"
                                   and w["hwnd"] != main["hwnd"]], timeout=15)
        self.assertTrue(dialog, "the card's Open did not open its Open dialog")
        time.sleep(0.5)
        # The Delete button must be out from under the dialog, or the click would not reach it.
        dx, dy = main["rect"][0] + DELETE_ITEM[0], main["rect"][1] + DELETE_ITEM[1]
        dl, dt, dr, db = dialog[0]["rect"]
        self.assertFalse(dl <= dx < dr and dt <= dy < db, "the dialog covers the Delete button")
        click(dx, dy)
        click(dx, dy)  # the first click may only bring the main window forward
        self.assertFalse(wait_for(lambda: self.item_of_size(260, 130) is None, timeout=5),
                         "Delete removed the card under its dialog")
        # What keeps it: the dialog is the main window's and disables it.
        self.assertFalse(self.app.main()["enabled"], "the main window stays enabled under the dialog")
        key("Escape")
        gone = wait_for(lambda: not [w for w in self.app.windows() if w["hwnd"] == dialog[0]["hwnd"]
                                     and w["visible"]], timeout=15)
        self.assertTrue(gone, "the Open dialog did not close")
        self.assertTrue(self.app.running(), "the program ended")
        self.assertTrue(wait_for(lambda: (self.app.main() or {}).get("enabled"), timeout=5),
                        "the main window was not enabled again")
        self.assertIsNotNone(self.item_of_size(260, 130), "the card is gone")
        # The program goes on: the card plays, and the store it writes on exit holds it.
        click(l + 13 + 9, t + 28 + 10)
        self.assertTrue(wait_for(sink_inputs, timeout=10), "the card does not play any more")
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")
        for name in ("Media", "Media_bak"):
            self.assertEqual(read_store(self.app.data_file(name)),
                             [[(1, wine_path(os.path.join(MEDIA, "loop.wav")))]])

    def test_mute_and_volume_hold_across_stop_and_play(self):
        write_store(self.app.data_file("Media"), [(0, wine_path(os.path.join(MEDIA, "tone.wav")),
                                                   (0.05, 0.15, 0.55, 0.75))])
        self.app.start()
        movie = self.movie_item()
        l, t, r, b = movie["rect"]
        play, stop, mute = (l + 18 + 17, b - 55 + 17), (l + 61 + 10, b - 50 + 10), (l + 95 + 10, b - 49 + 10)
        volume_middle = (r - 50, b - 39)

        def sounding(pred, what):
            got = wait_for(lambda: pred(level()), timeout=8, interval=0.1)
            self.assertTrue(got, what)

        def stays(pred, what):
            for _ in range(3):
                v = level()
                self.assertTrue(pred(v), "%s (level %.4f)" % (what, v))

        def stop_and_play():
            click(*stop)
            self.assertTrue(wait_for(lambda: not sink_inputs(), timeout=10), "Stop did not end the stream")
            click(*play)
            self.assertTrue(wait_for(sink_inputs, timeout=10), "Play did not start a stream")
            time.sleep(0.3)

        click(*play)
        sounding(lambda v: v > 0.05, "the movie's sound did not reach the sound server")
        full = max(level() for _ in range(2))
        click(*mute)
        sounding(lambda v: v < 0.0005, "Mute did not silence it")
        stop_and_play()
        stays(lambda v: v < 0.0005, "muted, Stop then Play is not silent")
        # The slider moved while muted keeps silent and is the level unmuting gives.
        # Twice: under a window manager the first click may only activate the movie; a second
        # click at the same place sets the same level.
        click(*volume_middle)
        click(*volume_middle)
        stays(lambda v: v < 0.0005, "the volume slider made a muted movie audible")
        click(*mute)
        # The slider's middle is tens of decibels down: clearly audible, clearly not full.
        sounding(lambda v: 0.001 * full < v < 0.5 * full, "unmuting did not give the slider's level")
        # The file is 3 s long and the item rewinds it on its half-second tick, so a window can
        # fall into the gap at its end: the loudest of three windows is the level.
        reduced = max(level() for _ in range(3))
        stop_and_play()
        again = max(level() for _ in range(3))
        self.assertTrue(0.5 * reduced < again < 2 * reduced,
                        "Stop then Play lost the volume (%.4f before, %.4f after)" % (reduced, again))
        click(*stop)


if __name__ == "__main__":
    unittest.main()
