"""Text notes as a user makes them: the editor from "Add Text to Desk", the size and colour chosen
with the mouse, the note on the desk, its stored record, its return on the next start and its
editor again on a double-click."""
import os
import struct
import time
import unittest

from bench import SonadeskTestCase, Sonadesk, click, key, move, probe, screenshot, type_text, wait_for
import desk_fixture

ADD_TEXT = (563, 469)  # centre of the "Add Text to Desk" command button, main window client
DELETE = (627, 469)    # centre of the "Delete" command button
WM_DESK_EXIT = 0x4DB
WS_EX_LAYERED = 0x80000
LB_GETITEMHEIGHT = 0x1A1
LB_GETTOPINDEX = 0x18E
TEXT_ITEM_TYPE = 4


def send(hwnd, msg, wp=0, lp=0):
    items, rc = probe("send", hwnd, msg, wp, lp)
    return items[0]["result"] if rc == 0 and items else None


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def text_records(path):
    """Every text note record of a desk store file, as dicts."""
    desks, _current = desk_fixture.parse_store(open(path, "rb").read())
    notes = []
    for kind, rec in (item for items in desks for item in items):
        if kind != TEXT_ITEM_TYPE:
            continue
        colour, reserved = struct.unpack_from("<II", rec, 10024)
        height = struct.unpack_from("<i", rec, 10032)[0]
        face = rec[10032 + 28:10032 + 60].split(b"\0")[0]
        notes.append({"text": rec[:10000].split(b"\0")[0], "colour": colour, "reserved": reserved,
                      "height": height, "face": face, "rect": struct.unpack_from("<4f", rec, 10000),
                      "tail": rec[10092:10104]})
    return notes


def write_store(folder, records):
    """One desk holding the given note records, as "Media" and "Media_bak" of the install."""
    data = struct.pack("<III", 1, 0, len(records))
    for rec in records:
        data += struct.pack("<I", TEXT_ITEM_TYPE) + rec
    os.makedirs(os.path.join(folder, "Data"), exist_ok=True)
    for name in ("Media", "Media_bak"):
        with open(os.path.join(folder, "Data", name), "wb") as f:
            f.write(data)


def fixture_note(text=desk_fixture.NOTE_TEXT, at=desk_fixture.NOTE_AT, size=None):
    """The fixture's note record; `size` (w, h) replaces the stored window size."""
    rec = desk_fixture.note_record(text, at, desk_fixture.NOTE_POINTS, desk_fixture.NOTE_FACE, desk_fixture.NOTE_RGB)
    if size:
        x, y = at
        rect = struct.pack("<4f", *desk_fixture.relative((x, y, x + size[0], y + size[1])))
        rec = rec[:10000] + rect + rec[10016:]
    return rec


def size_of(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


class NotesTest(SonadeskTestCase):
    def editor(self, timeout=10):
        found = wait_for(lambda: [w for w in self.app.visible_windows() if w["title"] == "Add Text"], timeout=timeout)
        return found[0] if found else None

    def bar_controls(self, dialog):
        bars = self.app.children(dialog["hwnd"])
        bar = [c for c in bars if c["id"] == 0 and c["client"] == [360, 300]][0]
        return bar, {c["id"]: c for c in self.app.children(bar["hwnd"])}

    def note_windows(self):
        return [w for w in self.app.visible_windows() if w["exstyle"] & WS_EX_LAYERED and w["title"] == ""
                and w["region"] != 0]

    def choose_size_24(self, combo):
        click(*centre(combo["rect"]))
        drop = wait_for(lambda: [w for w in self.app.visible_windows()
                                 if w["rect"][0] == combo["rect"][0] and w["rect"][1] == combo["rect"][3]], timeout=5)
        self.assertTrue(drop, "the size list did not drop down")
        parts = {c["id"]: c for c in self.app.children(drop[0]["hwnd"])}
        listbox, bar = parts[1], parts[2]
        row = send(listbox["hwnd"], LB_GETITEMHEIGHT)
        rows = listbox["client"][1] // row
        for _ in range(15):
            top = send(listbox["hwnd"], LB_GETTOPINDEX)
            if 9 < top + rows:
                break
            # Line down on the scroll bar's lower arrow.
            click(centre(bar["rect"])[0], bar["rect"][3] - 8)
        top = send(listbox["hwnd"], LB_GETTOPINDEX)
        y = listbox["rect"][1] + (9 - top) * row + row // 2
        move(listbox["rect"][0] + 30, y)
        click(listbox["rect"][0] + 30, y)

    def choose_red(self, picker):
        before = {w["hwnd"] for w in self.app.visible_windows()}
        click(*centre(picker["rect"]))
        popup = wait_for(lambda: [w for w in self.app.visible_windows() if w["hwnd"] not in before
                                  and w["rect"][1] >= picker["rect"][3] - 1], timeout=5)
        self.assertTrue(popup, "the colour popup did not open")
        left, top, right, bottom = popup[0]["rect"]
        # Grid of 5 rows of 18 pixels inside a 2-pixel margin, with the default box above and
        # the custom box below, each box_h tall plus 3 margins.
        box_h = ((bottom - top) - 5 * 18 - 4 - 12) // 2
        grid_top = top + 4 + box_h
        x, y = left + 2 + 9, grid_top + 2 * 18 + 9  # "Red": row 2, column 0
        move(x, y)
        click(x, y)

    def test_add_a_note_store_it_and_find_it_again(self):
        self.app.start()
        main = self.app.main()
        mleft, mtop = main["rect"][0], main["rect"][1]
        self.app.click_client(*ADD_TEXT)
        dialog = self.editor()
        self.assertIsNotNone(dialog, "the note editor did not open")
        self.assertEqual(dialog["rect"][2] - dialog["rect"][0], 380)
        bar, controls = self.bar_controls(dialog)
        self.assertEqual(sorted(k for k in controls if k), [10050, 10053, 10055, 10056])

        type_text("Hello")
        key("Return")
        type_text("World")
        self.choose_size_24(controls[10055])
        self.choose_red(controls[10053])
        ok = (bar["rect"][0] + 124, bar["rect"][3] - 19)
        click(*ok)
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["title"] == "Add Text"],
                                 timeout=5), "the editor did not close on OK")

        notes = wait_for(self.note_windows, timeout=5)
        self.assertTrue(notes, "no note window appeared")
        note = notes[0]
        self.assertEqual(note["rect"][:2], [mleft + 10, mtop + 60])
        width, height = note["rect"][2] - note["rect"][0], note["rect"][3] - note["rect"][1]
        self.assertGreater(width, 40)
        self.assertGreater(height, 60)  # two lines at 24 points
        time.sleep(0.5)
        look = screenshot().crop(tuple(note["rect"]))

        key("alt+F4")
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")
        stored = text_records(self.app.data_file("Media"))
        self.assertEqual(len(stored), 1)
        rec = stored[0]
        self.assertEqual(rec["text"], b"Hello\r\nWorld")
        self.assertEqual(rec["height"], 24)
        self.assertEqual(rec["face"], b"Microsoft Sans Serif")
        self.assertEqual(rec["colour"], 0x000000FF)
        self.assertEqual(rec["reserved"], 0xC8C8C8)
        self.assertEqual(rec["tail"], bytes(12))

        # The next start brings the note back at its place with the same look.
        self.app.close()
        again = Sonadesk(self.app.folder).start()
        self.app = again
        back = wait_for(self.note_windows, timeout=10)
        self.assertTrue(back, "the note did not come back")
        # Stored positions are fractions of the main window, truncated on the way back: a pixel
        # of drift is the store's, the size is the note's own.
        got = back[0]["rect"]
        for a, b in zip(got, note["rect"]):
            self.assertLessEqual(abs(a - b), 1, (got, note["rect"]))
        self.assertEqual((got[2] - got[0], got[3] - got[1]), (width, height))
        time.sleep(0.5)
        look_again = screenshot().crop(tuple(got))
        diff = sum(1 for a, b in zip(look.getdata(), look_again.getdata())
                   if max(abs(x - y) for x, y in zip(a, b)) > 24)
        self.assertLess(diff, width * height // 50, "the restored note looks different")
        red = sum(1 for p in look_again.getdata() if p[0] > 150 and p[1] < 100 and p[2] < 100)
        self.assertGreater(red, 20, "the note's text is not red")

        # A double-click opens the editor on it; Cancel leaves it as it was.
        click(*centre(back[0]["rect"]), double=True)
        dialog = self.editor()
        self.assertIsNotNone(dialog, "a double-click did not open the editor")
        bar, _ = self.bar_controls(dialog)
        click(bar["rect"][0] + 244, bar["rect"][3] - 19)  # Cancel
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["title"] == "Add Text"],
                                 timeout=5), "the editor did not close on Cancel")
        self.assertEqual(self.note_windows()[0]["rect"], got)

    def test_cancel_adds_nothing_and_esc_does_not_close_the_editor(self):
        self.app.start()
        self.app.click_client(*ADD_TEXT)
        dialog = self.editor()
        self.assertIsNotNone(dialog)
        type_text("never")
        key("Escape")
        time.sleep(0.5)
        self.assertIsNotNone(self.editor(timeout=1), "Esc closed the editor")
        bar, _ = self.bar_controls(dialog)
        click(bar["rect"][0] + 244, bar["rect"][3] - 19)
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["title"] == "Add Text"],
                                 timeout=5))
        self.assertEqual(self.note_windows(), [])
        key("alt+F4")
        self.assertTrue(self.app.wait_exit(20))
        self.assertEqual(text_records(self.app.data_file("Media")), [])

    def test_a_note_keeps_its_stored_text_bytes_and_comes_back_measured_plus_20(self):
        # A text field that ends early but holds older bytes after its end, up to the last one.
        text = desk_fixture.NOTE_TEXT.encode("ascii") + b"\0"
        tail = bytes((0x41 + i % 26) for i in range(10000 - len(text) - 1)) + b"Z"
        rec = fixture_note()
        rec = text + tail + rec[10000:]
        write_store(self.app.folder, [rec])
        self.app.start()
        notes = wait_for(self.note_windows, timeout=10)
        self.assertTrue(notes, "the stored note did not come back")
        width, height = size_of(notes[0]["rect"])
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")
        with open(self.app.data_file("Media"), "rb") as f:
            saved = f.read()
        self.assertEqual(saved[16:16 + 10000], rec[:10000], "the note's text field changed")
        self.assertEqual(saved[16 + 10016:], rec[10016:], "the note's colours or font changed")

        # Stored exactly at its measured size, it still comes back 20 pixels larger each way.
        self.app.close()
        write_store(self.app.folder, [fixture_note(size=(width - 20, height - 20))])
        self.app = Sonadesk(self.app.folder).start()
        notes = wait_for(self.note_windows, timeout=10)
        self.assertTrue(notes, "the stored note did not come back")
        self.assertEqual(notes[0]["rect"][:2], list(desk_fixture.NOTE_AT))
        self.assertEqual(size_of(notes[0]["rect"]), (width, height))

    def test_a_note_cannot_be_removed_while_its_editor_is_open(self):
        write_store(self.app.folder, [fixture_note()])
        self.app.start()
        notes = wait_for(self.note_windows, timeout=10)
        self.assertTrue(notes, "the stored note did not come back")
        note = notes[0]
        click(*centre(note["rect"]), double=True)
        dialog = self.editor()
        self.assertIsNotNone(dialog, "a double-click did not open the editor")

        # The note's own menu: Remove is its last entry.
        before = {w["hwnd"] for w in self.app.visible_windows()}
        click(*centre(note["rect"]), button=3)
        menu = wait_for(lambda: [w for w in self.app.visible_windows() if w["hwnd"] not in before
                                 and w["class"] == "#32768"], timeout=3)
        if menu:
            left, top, right, bottom = menu[0]["rect"]
            click(left + 20, bottom - 10)
        # The main window's Delete (the note is its current item).
        self.app.click_client(*DELETE)
        time.sleep(0.5)
        self.assertTrue(self.app.running(), "Sonadesk ended while the editor was open")

        bar, controls = self.bar_controls(dialog)
        box = controls[10056]["rect"]
        click(box[0] + 30, box[1] + 30)
        key("ctrl+End")
        type_text("!")
        click(bar["rect"][0] + 124, bar["rect"][3] - 19)  # OK
        self.assertTrue(wait_for(lambda: not [w for w in self.app.visible_windows() if w["title"] == "Add Text"],
                                 timeout=5), "the editor did not close on OK")
        time.sleep(0.5)
        self.assertTrue(self.app.running(), "Sonadesk ended after OK")
        self.assertEqual(len(self.note_windows()), 1)

        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")
        stored = text_records(self.app.data_file("Media"))
        self.assertEqual(len(stored), 1)
        self.assertEqual(stored[0]["text"], desk_fixture.NOTE_TEXT.encode("ascii") + b"!")
        self.assertEqual(stored[0]["reserved"], 0xC8C8C8)

    def test_the_exit_message_of_another_program_ends_sonadesk_without_input(self):
        self.app.start()
        main = self.app.main()
        # Sent by another process (the probe); the pointer does not move afterwards.
        items, rc = probe("send", main["hwnd"], WM_DESK_EXIT, 0, 0)
        self.assertEqual(rc, 0)
        self.assertTrue(self.app.wait_exit(10), "Sonadesk ran on after the exit message")
        self.assertTrue(os.path.exists(self.app.data_file("Media")))
        self.assertTrue(os.path.exists(self.app.data_file("Media_bak")))


if __name__ == "__main__":
    unittest.main()
