#!/usr/bin/env python3
"""Check every file named by res/Sonadesk.rc: present, right format, right size; and that each
skin image is also drawn at every larger display scale (res/art/<percent>/, same file name), at
its 100 % size scaled the way the program scales a length.

    python3 scripts/check-art.py [repo-root]

Uses only the standard library (PIL, when present, adds pixel checks of the
picture frame).  Exits 1 and lists the problems when anything is wrong.
"""
import os
import re
import struct
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
RES = os.path.join(ROOT, "res")

# expected (width, height) per resource name
PNG_SIZES = {
    "IDP_MOVIE_TOP": (1024, 28), "IDP_MOVIE_LEFT": (29, 600), "IDP_MOVIE_TOP_LEFT": (32, 33),
    "IDP_MOVIE_RIGHT": (29, 600), "IDP_MOVIE_BOTTOM_RIGHT": (116, 84), "IDP_MOVIE_TOP_RIGHT": (32, 33),
    "IDP_MOVIE_BOTTOM": (900, 86), "IDP_MOVIE_BOTTOM_LEFT": (184, 85), "IDP_MUSIC_CARD": (312, 155),
    "IDP_MUSIC_DISC": (122, 123), "IDP_MUSIC_HIGHLIGHT": (133, 130), "IDP_PICTURE_FRAME": (800, 600),
    "IDP_TAB": (34, 34), "IDP_TAB_SELECTED": (34, 34), "IDP_ARROW_LEFT": (34, 34), "IDP_ARROW_RIGHT": (34, 34),
    "IDP_CMD_MOVIE": (64, 50), "IDP_CMD_MUSIC": (64, 50), "IDP_CMD_PICTURE": (64, 50),
    "IDP_CMD_ADD_TEXT": (64, 50), "IDP_CMD_DELETE": (64, 50),
    "IDP_CMD_MOVIE_HOVER": (64, 50), "IDP_CMD_MUSIC_HOVER": (64, 50), "IDP_CMD_PICTURE_HOVER": (64, 50),
    "IDP_CMD_ADD_TEXT_HOVER": (64, 50), "IDP_CMD_DELETE_HOVER": (64, 50),
    "IDP_CMD_CREATE_DESK": (62, 44), "IDP_CMD_CREATE_DESK_HOVER": (62, 44),
    "IDP_CMD_REMOVE_DESK": (62, 44), "IDP_CMD_REMOVE_DESK_HOVER": (62, 44),
    "IDP_CMD_EXIT": (44, 44), "IDP_CMD_EXIT_HOVER": (44, 44),
    "IDP_MOVIE_PAUSE": (35, 35), "IDP_MOVIE_PLAY": (35, 35), "IDP_MOVIE_PAUSE_HOVER": (35, 35),
    "IDP_MOVIE_PLAY_HOVER": (35, 35),
    "IDP_MOVIE_FULLSCREEN": (21, 21), "IDP_MOVIE_MUTE": (21, 21), "IDP_MOVIE_FULLSCREEN_HOVER": (21, 21),
    "IDP_MOVIE_MUTED": (21, 21), "IDP_MOVIE_MUTED_HOVER": (21, 21), "IDP_MOVIE_MUTE_HOVER": (21, 21),
    "IDP_MOVIE_STOP": (21, 20), "IDP_MOVIE_STOP_HOVER": (21, 20),
    "IDP_MUSIC_STOP_HOVER": (18, 19), "IDP_MUSIC_PLAY_HOVER": (18, 19), "IDP_MUSIC_PAUSE_HOVER": (18, 19),
    "IDP_MUSIC_STOP": (18, 19), "IDP_MUSIC_PLAY": (18, 19), "IDP_MUSIC_PAUSE": (18, 19),
}
BMP_SIZES = {
    "IDB_SCROLL_THUMB_BOTTOM": (17, 10), "IDB_SCROLL_THUMB_TOP": (17, 10), "IDB_SCROLL_THUMB_MIDDLE": (17, None),
    "IDB_SCROLL_TRACK": (17, 1), "IDB_SCROLL_DOWN": (17, 16), "IDB_SCROLL_UP": (17, 16),
    "IDB_TEXT_BUTTON_PRESSED": (68, 25), "IDB_TEXT_BUTTON_HOVER": (68, 25), "IDB_TEXT_BUTTON": (68, 25),
    "IDB_ABOUT_CLOSE": (11, 11), "IDB_ABOUT_CLOSE_PRESSED": (11, 11), "IDB_ABOUT_CLOSE_HOVER": (11, 11),
    "IDB_SLIDER_TRACK": (None, 13), "IDB_SLIDER_THUMB": (16, 12),
    "IDB_CLOSE_PRESSED": (16, 16), "IDB_CLOSE_HOVER": (16, 16), "IDB_CLOSE": (16, 16),
    "IDB_SPARE": (16, 16), "IDB_SPARE_HOVER": (16, 16), "IDB_SPARE_PRESSED": (16, 16),
    "IDB_MINIMIZE": (16, 16), "IDB_MINIMIZE_HOVER": (16, 16), "IDB_MINIMIZE_PRESSED": (16, 16),
    "IDB_ABOUT_PICTURE": (355, 120), "IDB_BOTTOM_BAND": (800, 64), "IDB_DESK_TILE": (None, None),
    "IDB_TOP_BAND": (800, 50),
}
BMP_MIN = {"IDB_COMMAND_STRIP": (800, 60), "IDB_COMBO_SKIN": (160, 20)}
COMBO_HEIGHT = 20
# The display scales the art is drawn for besides 100 %, in percent.
ART_SCALES = (125, 150, 175, 200, 250, 300)

errors = []


def err(msg):
    errors.append(msg)


def png_info(path):
    with open(path, "rb") as f:
        head = f.read(33)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    w, h, depth, ctype = struct.unpack(">IIBB", head[16:26])
    return w, h, depth, ctype


def bmp_info(path):
    with open(path, "rb") as f:
        head = f.read(54)
    if head[:2] != b"BM":
        return None
    size = struct.unpack("<I", head[14:18])[0]
    w, h, planes, bpp, comp = struct.unpack("<iiHHI", head[18:34])
    return w, abs(h), bpp, comp, size


def ico_entries(path):
    with open(path, "rb") as f:
        data = f.read()
    res, typ, n = struct.unpack("<HHH", data[:6])
    out = []
    for i in range(n):
        w, h, cc, r, a, b, size, off = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        out.append((w or 256, h or 256, a, b, size, off))
    return typ, out, data


def mp3_frame(path):
    with open(path, "rb") as f:
        data = f.read()
    i = 0
    if data[:3] == b"ID3":
        i = 10 + ((data[6] & 0x7F) << 21 | (data[7] & 0x7F) << 14 | (data[8] & 0x7F) << 7 | (data[9] & 0x7F))
    while i < len(data) - 4:
        if data[i] == 0xFF and (data[i + 1] & 0xE0) == 0xE0:
            b1, b2 = data[i + 1], data[i + 2]
            version = (b1 >> 3) & 3
            layer = (b1 >> 1) & 3
            rate = (b2 >> 2) & 3
            return version, layer, rate, len(data)
        i += 1
    return None


def scaled(units, percent):
    """A length at a display scale, rounded half up as MulDiv rounds it."""
    return (units * percent + 50) // 100


def check_scales():
    art = os.path.join(RES, "art")
    base = sorted(f for f in os.listdir(art) if f.startswith(("png", "bmp")))
    for percent in ART_SCALES:
        folder = os.path.join(art, str(percent))
        if not os.path.isdir(folder):
            err("art at %d %%: folder res/art/%d missing (run scripts/make-art.sh)" % (percent, percent))
            continue
        have = set(f for f in os.listdir(folder) if f.startswith(("png", "bmp")))
        for extra in sorted(have - set(base)):
            err("art at %d %%: %s has no 100 %% image" % (percent, extra))
        for name in base:
            if name not in have:
                err("art at %d %%: %s missing" % (percent, name))
                continue
            one, big = os.path.join(art, name), os.path.join(folder, name)
            if name.startswith("png"):
                a, b = png_info(one), png_info(big)
                if not b or b[2:] != (8, 6):
                    err("art at %d %%: %s must be an 8-bit RGBA PNG" % (percent, name)); continue
            else:
                a, b = bmp_info(one), bmp_info(big)
                if not b or b[2:4] != (24, 0):
                    err("art at %d %%: %s must be an uncompressed 24-bit BMP" % (percent, name)); continue
            want = (scaled(a[0], percent), scaled(a[1], percent))
            if b[:2] != want:
                err("art at %d %%: %s is %dx%d, expected %dx%d" % (percent, name, b[0], b[1], want[0], want[1]))


def main():
    rc_path = os.path.join(RES, "Sonadesk.rc")
    ids = dict(re.findall(r"#define\s+(\w+)\s+(\d+)", open(os.path.join(RES, "resource.h")).read()))
    rc = open(rc_path, encoding="latin-1").read()
    entries = re.findall(r'^\s*(\w+)\s+(PNG|BITMAP|ICON|CURSOR|IDR_RES|IDR_ENG_LANG)\s+"([^"]+)"', rc, re.M)
    seen = {}
    for name, typ, fname in entries:
        if name not in ids:
            err("%s: id not defined in resource.h" % name)
        seen[name] = typ
        path = os.path.join(RES, fname.replace("\\", "/"))
        if typ == "IDR_ENG_LANG":
            continue  # produced by the build
        if not os.path.isfile(path):
            err("%s: missing file %s" % (name, fname))
            continue
        if typ == "PNG":
            info = png_info(path)
            if not info:
                err("%s: %s is not a PNG" % (name, fname)); continue
            w, h, depth, ctype = info
            if (depth, ctype) != (8, 6):
                err("%s: %s must be 8-bit RGBA (depth %d, colour type %d)" % (name, fname, depth, ctype))
            exp = PNG_SIZES.get(name)
            if exp is None:
                err("%s: no expected size known" % name)
            elif (w, h) != exp:
                err("%s: %s is %dx%d, expected %dx%d" % (name, fname, w, h, exp[0], exp[1]))
        elif typ == "BITMAP":
            info = bmp_info(path)
            if not info:
                err("%s: %s is not a BMP" % (name, fname)); continue
            w, h, bpp, comp, hsize = info
            if bpp != 24 or comp != 0:
                err("%s: %s must be an uncompressed 24-bit BMP (bpp %d)" % (name, fname, bpp))
            if name in BMP_MIN:
                mw, mh = BMP_MIN[name]
                if w < mw or h < mh:
                    err("%s: %s is %dx%d, needs at least %dx%d" % (name, fname, w, h, mw, mh))
                if name == "IDB_COMBO_SKIN" and h != COMBO_HEIGHT:
                    err("%s: height must be %d" % (name, COMBO_HEIGHT))
            elif name in BMP_SIZES:
                ew, eh = BMP_SIZES[name]
                if (ew is not None and w != ew) or (eh is not None and h != eh):
                    err("%s: %s is %dx%d, expected %sx%s" % (name, fname, w, h, ew or "any", eh or "any"))
            else:
                err("%s: no expected size known" % name)
        elif typ == "ICON":
            t, ents, _ = ico_entries(path)
            sizes = sorted((w, h) for w, h, *_ in ents)
            if t != 1 or not {(16, 16), (32, 32), (48, 48)} <= set(sizes):
                err("%s: icon needs 16, 32 and 48 px images (has %s)" % (name, sizes))
        elif typ == "CURSOR":
            t, ents, _ = ico_entries(path)
            if t != 2 or not ents or ents[0][:2] != (32, 32):
                err("%s: cursor must be one 32x32 image" % name)
            else:
                hx, hy = ents[0][2], ents[0][3]
                if not (0 <= hx < 32 and 0 <= hy < 32):
                    err("%s: hotspot outside the cursor" % name)
        elif typ == "IDR_RES":
            with open(path, "rb") as f:
                head = f.read(12)
            size = os.path.getsize(path)
            if fname.endswith(".jpg"):
                if head[:3] != b"\xff\xd8\xff" or head[6:10] != b"JFIF":
                    err("%s: %s is not a JPEG/JFIF file" % (name, fname))
                if not 15000 <= size <= 120000:
                    err("%s: %s is %d bytes (expected about 40 KB)" % (name, fname, size))
            elif fname.endswith(".mp3"):
                fr = mp3_frame(path)
                if not fr or fr[0] != 3 or fr[1] != 1 or fr[2] != 0:
                    err("%s: %s is not MPEG-1 layer III at 44.1 kHz" % (name, fname))
                if size > 720000:
                    err("%s: %s is %d bytes (keep it under ~700 KB)" % (name, fname, size))

    for name in list(PNG_SIZES) + list(BMP_SIZES) + list(BMP_MIN):
        if name not in seen:
            err("%s: not named in Sonadesk.rc" % name)
    for name in ("IDI_SONADESK", "IDC_HAND_LINK", "IDR_DEMO_JPG", "IDR_DEMO_MP3", "IDR_LANG_PACK"):
        if name not in seen:
            err("%s: not named in Sonadesk.rc" % name)
    for dlg in ("IDD_MAIN_DESK", "IDD_ABOUT", "IDD_ADD_TEXT"):
        if not re.search(r"^\s*%s\s+DIALOGEX" % dlg, rc, re.M):
            err("%s: dialog template missing" % dlg)

    check_scales()

    # pixel checks when PIL is available
    try:
        from PIL import Image
    except ImportError:
        Image = None
    if Image is not None:
        m = re.search(r'IDP_PICTURE_FRAME\s+PNG\s+"([^"]+)"', rc)
        if m:
            im = Image.open(os.path.join(RES, m.group(1))).convert("RGBA")
            W, H = im.size
            a = im.getchannel("A")
            box = (W // 30 + 60, H // 30 + 60, W - W // 30 - 60, H - H // 30 - 60)
            if a.crop(box).getextrema()[1] != 0:
                err("IDP_PICTURE_FRAME: the centre of the frame must be fully transparent")
            if a.getpixel((W // 2, H // 30 + 2)) != 255 or a.getpixel((W // 30 + 2, H // 2)) != 255:
                err("IDP_PICTURE_FRAME: the frame should cover the edge of the picture area")
        stretched = [(name, axis, "") for name, axis in
                     (("IDP_MOVIE_TOP", 0), ("IDP_MOVIE_BOTTOM", 0), ("IDP_MOVIE_LEFT", 1), ("IDP_MOVIE_RIGHT", 1))]
        for name, axis, scale in stretched + [(n, a, "%d/" % p) for p in ART_SCALES for n, a, _ in stretched]:
            m = re.search(r'%s\s+PNG\s+"([^"]+)"' % name, rc)
            if not m:
                continue
            path = os.path.join(RES, m.group(1).replace("\\", "/"))
            path = os.path.join(os.path.dirname(path), scale, os.path.basename(path))
            if not os.path.isfile(path):
                continue
            im = Image.open(path).convert("RGBA")
            W, H = im.size
            px = im.load()
            ref = [px[0, y] for y in range(H)] if axis == 0 else [px[x, 0] for x in range(W)]
            ok = all([px[x, y] for y in range(H)] == ref for x in range(0, W, 7)) if axis == 0 else \
                all([px[x, y] for x in range(W)] == ref for y in range(0, H, 7))
            if not ok:
                err("%s%s: must be uniform along its stretch direction" % (name, " at " + scale[:-1] + " %" if scale else ""))

    if errors:
        print("art check FAILED:")
        for e in errors:
            print("  " + e)
        sys.exit(1)
    print("art check ok: %d resources" % len(entries))


if __name__ == "__main__":
    main()
