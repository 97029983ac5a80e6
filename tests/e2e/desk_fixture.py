"""A desk laid out for looking at: a framed picture, a music card, a movie player and a note, written
as a store file ("Data/Media" and "Data/Media_bak") before Sonadesk starts.

Used by test_look.py and scripts/make-screenshots.sh. Run as a program it writes the store into the
install folder given:  desk_fixture.py <install folder> <movie file>

Places are screen pixels on the 1280 x 1024 display; the main window (800 x 500) sits centred at
(240, 262). The store keeps them divided by the main window's outer width and height.
"""
import os
import struct
import sys

MAIN_RECT = (240, 262, 1040, 762)
MAIN_W, MAIN_H = 800, 500

DEMO_PICTURE = "E:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\demo01.jpg"
DEMO_MUSIC = "E:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\demo01.mp3"

MOVIE, MUSIC, PICTURE, NOTE = 0, 1, 3, 4

# Screen rectangles (left, top, right, bottom) of the first desk's items, all on the dark desktop
# around the main window: the picture and the note above it, the movie and the music card below.
PICTURE_RECT = (56, 14, 376, 254)       # 320 x 240, the demo picture is 4:3
NOTE_AT = (450, 64)                     # a note takes its size from its text
MUSIC_RECT = (800, 110, 1060, 240)      # 260 x 130, the size an imported card gets
MOVIE_RECT = (110, 764, 450, 1024)      # 340 x 260, the smallest player
# The second desk: the same picture lying on the light desk inside the main window.
DESK_PICTURE_RECT = (420, 360, 740, 600)

NOTE_TEXT = "Sonadesk\r\nnotes float here"
NOTE_POINTS = 20
NOTE_FACE = "Microsoft Sans Serif"
NOTE_RGB = (24, 46, 128)                # dark blue
# Three desks: the items around the window, a picture on the desk, an empty desk.
DESKS = 3


RECORD_SIZES = {MOVIE: 320, MUSIC: 320, PICTURE: 292, NOTE: 10104}


def store_image(desks, current=0):
    """The bytes of a store file: desks is a list of desks, each a list of (type, record)."""
    out = struct.pack("<II", len(desks), current)
    for items in desks:
        out += struct.pack("<I", len(items))
        for kind, rec in items:
            out += struct.pack("<I", kind) + rec
    return out


def parse_store(data):
    """(desks, current) of a whole store file; each desk a list of (type, record bytes)."""
    count, current = struct.unpack_from("<II", data, 0)
    at, desks = 8, []
    for _ in range(count):
        (n,) = struct.unpack_from("<I", data, at)
        at += 4
        items = []
        for _ in range(n):
            (kind,) = struct.unpack_from("<I", data, at)
            items.append((kind, data[at + 4:at + 4 + RECORD_SIZES[kind]]))
            at += 4 + RECORD_SIZES[kind]
        desks.append(items)
    assert at == len(data), "store has %d bytes, its records end at %d" % (len(data), at)
    return desks, current


def relative(rect):
    # A quarter pixel more, so that the program's truncation gives back the very pixel.
    l, t, r, b = (v + 0.25 for v in rect)
    return (l / MAIN_W, t / MAIN_H, r / MAIN_W, b / MAIN_H)


def media_record(path, rect):
    rec = path.encode("ascii") + b"\0"
    assert len(rec) <= 260
    rec += b"\0" * (292 - len(rec))
    rec += struct.pack("<4f", *relative(rect)) + b"\0" * 12
    assert len(rec) == 320
    return rec


def picture_record(path, rect):
    rec = path.encode("ascii") + b"\0"
    rec += b"\0" * (260 - len(rec))
    rec += struct.pack("<4f", *relative(rect)) + b"\0" * 16
    assert len(rec) == 292
    return rec


def colorref(rgb):
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


def note_record(text, at, points, face, rgb):
    rec = text.encode("ascii") + b"\0"
    rec += b"\0" * (10000 - len(rec))
    # The program sizes a note from its text again; the stored rectangle only places it.
    x, y = at
    rec += struct.pack("<4f", *relative((x, y, x + 200, y + 80)))
    rec += b"\0" * 8
    rec += struct.pack("<II", colorref(rgb), 0xC8C8C8)
    name = face.encode("ascii")
    font = struct.pack("<5i8B", points, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0) + name + b"\0" * (32 - len(name))
    assert len(font) == 60
    rec += font + b"\0" * 12
    assert len(rec) == 10104
    return rec


def items(movie_path):
    """The first desk's (type, record) pairs, bottom to top."""
    return [
        (MOVIE, media_record(movie_path, MOVIE_RECT)),
        (PICTURE, picture_record(DEMO_PICTURE, PICTURE_RECT)),
        (MUSIC, media_record(DEMO_MUSIC, MUSIC_RECT)),
        (NOTE, note_record(NOTE_TEXT, NOTE_AT, NOTE_POINTS, NOTE_FACE, NOTE_RGB)),
    ]


def desks(movie_path):
    return [items(movie_path), [(PICTURE, picture_record(DEMO_PICTURE, DESK_PICTURE_RECT))], []]


def store_bytes(movie_path, current=0):
    all_desks = desks(movie_path)
    assert len(all_desks) == DESKS
    data = struct.pack("<II", DESKS, current)
    for desk in all_desks:
        data += struct.pack("<I", len(desk))
        for kind, rec in desk:
            data += struct.pack("<I", kind) + rec
    return data


def write(data_folder, movie_path, current=0):
    """Writes Media and Media_bak into data_folder (the install's Data folder)."""
    os.makedirs(data_folder, exist_ok=True)
    data = store_bytes(movie_path, current)
    for name in ("Media", "Media_bak"):
        with open(os.path.join(data_folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: desk_fixture.py <install folder> <movie file>")
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    from bench import wine_path
    write(os.path.join(sys.argv[1], "Data"), wine_path(sys.argv[2]))
