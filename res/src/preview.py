#!/usr/bin/python3
"""Assemble the generated art the way the program draws it, for a visual check.

    /usr/bin/python3 res/src/preview.py [out.png]

Writes a 1180x860 picture: the 800x500 main window (desk tile, bands, tabs,
command buttons, caption buttons), a picture item, a movie item, a music
item, the About picture and the small controls.  Not used by the build.
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
ART = os.path.join(ROOT, "res", "art")


def art(rid, kind="png"):
    for f in os.listdir(ART):
        if f.startswith("%s%d_" % (kind, rid)):
            im = Image.open(os.path.join(ART, f))
            return im.convert("RGBA")
    raise KeyError(rid)


def put(dst, im, x, y, w=None, h=None):
    if w is not None:
        im = im.resize((max(1, w), max(1, h)), Image.BILINEAR)
    dst.alpha_composite(im, (int(x), int(y)))


def main_window(ndesks=4, current=1):
    W, H = 800, 500
    win = Image.new("RGBA", (W, H), (0xDC, 0xDC, 0xDC, 255))
    tile = art(233, "bmp")
    for y in range(0, H, tile.height):
        for x in range(0, W, tile.width):
            win.paste(tile, (x, y))
    win.paste(art(230, "bmp"), (0, H - 64))
    win.paste(art(1182, "bmp"), (0, 0))
    d = ImageDraw.Draw(win)
    d.line([(0, 49), (0, H - 64)], fill=(0, 0, 0, 255))
    d.line([(799, 49), (799, H - 64)], fill=(0, 0, 0, 255))
    f = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 11)
    fb = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 12)
    tab, sel, la, ra = art(240), art(241), art(242), art(243)
    cells = []
    if ndesks > 9:
        cells = [("L", None)] + [("T", k) for k in range(3, 10)] + [("R", None)]
    else:
        cells = [("T", k) for k in range(ndesks)]
    for i, (kind, k) in enumerate(cells):
        x = 16 + i * 34
        im = {"L": la, "R": ra}.get(kind) or (sel if k == current else tab)
        put(win, im, x, 9, 34, 34)
        if kind == "T":
            lab = "%d" % (k + 1)
            tw = d.textlength(lab, font=f)
            d.text((x - 1 + (34 - tw) / 2, 9 + 10), lab, font=f, fill=(255, 255, 255))
            d.text((x + (34 - tw) / 2, 9 + 11), lab, font=f, fill=(0, 0, 0))
    d.text((400, 15), "Varnel Sonadesk V1.2.7", font=fb, fill=(0xAA, 0xAA, 0xAA))
    for x, rid in ((730, 245), (750, 242), (770, 241)):
        win.paste(art(rid, "bmp"), (x, 14))
    strip = art(154, "bmp")
    buttons = [(403, 444, 64, 50, 221, 246), (467, 444, 64, 50, 222, 247), (531, 444, 64, 50, 220, 244),
               (595, 444, 64, 50, 225, 250), (670, 450, 62, 44, 224, 249), (734, 450, 62, 44, 226, 251)]
    for i, (x, y, w, h, n, hv) in enumerate(buttons):
        bg = strip.crop((0, 9, w, 9 + h))
        win.paste(bg, (x, y))
        put(win, art(hv if i == 1 else n), x, y, w, h)
    return win


def picture_item(pic, w, h):
    out = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    frame = art(234)
    if pic.width < pic.height:
        frame = frame.transpose(Image.TRANSPOSE)
    put(out, pic.convert("RGBA"), w // 30, h // 30, w - w // 15, h - h // 15)
    put(out, frame, 0, 0, w, h)
    return out


def movie_item(W, H):
    out = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    put(out, art(211), 0, 0, 32, 33)
    put(out, art(207), 32, 0, W - 64, 28)
    put(out, art(214), W - 32, 0, 32, 33)
    put(out, art(208), 0, 33, 29, H - 118)
    put(out, art(212), W - 29, 33, 29, H - 117)
    put(out, art(216), 0, H - 85, 184, 85)
    put(out, art(215), 184, H - 86, W - 300, 86)
    put(out, art(213), W - 116, H - 84, 116, 84)
    black = Image.new("RGBA", (W - 56, H - 110), (0, 0, 0, 250))
    out.alpha_composite(black, (28, 28))
    put(out, art(258), 18, H - 55, 35, 35)
    put(out, art(267), 61, H - 50, 21, 21)
    put(out, art(256), 95, H - 49, 21, 21)
    put(out, art(261), 121, H - 49, 21, 21)
    track, thumb = art(187, "bmp"), art(189, "bmp")
    for (x0, x1, pos) in ((177, W - 112, .3), (W - 73, W - 27, 1.0)):
        sw = x1 - x0
        sl = Image.new("RGBA", (sw, 11), (255, 255, 255, 255))
        for x in range(0, sw, track.width):
            sl.paste(track.crop((0, 0, track.width, 11)), (x, 0))
        tx = int(pos * (sw - 16))
        sl.paste(thumb.crop((0, 0, 16, 11)), (tx, 0))
        out.alpha_composite(sl, (x0, H - 44))
    return out


def music_item(W, H, name="demo01.mp3"):
    out = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    put(out, art(219), 0, 0, W, H)
    s = 124 * W // 312
    put(out, art(278), 231 * W // 312 - s // 2, 72 * H // 155 - s // 2, s, s)
    put(out, art(279), 21 * W // 40, H // 20, 18 * W // 40, 18 * H // 20)
    d = ImageDraw.Draw(out)
    f = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 10)
    d.text((0.04 * W, 0.5 * H), name, font=f, fill=(0, 0, 0, 150))
    px, py = int(0.1 * H), int(0.22 * H)
    for i, rid in enumerate((269, 270, 268)):
        put(out, art(rid if i else 253), px + 22 * i, py, 18, 20)
    return out


def main():
    dest = sys.argv[1] if len(sys.argv) > 1 else "/tmp/sonadesk-preview.png"
    can = Image.new("RGBA", (1180, 860), (58, 90, 120, 255))
    can.alpha_composite(main_window(), (10, 10))
    demo = os.path.join(ROOT, "res", "demo", "demo01.jpg")
    pic = Image.open(demo).convert("RGB")
    can.alpha_composite(picture_item(pic, 360, 270), (60, 90))
    can.alpha_composite(movie_item(379, 350), (790, 10))
    can.alpha_composite(music_item(260, 130), (470, 120))
    can.alpha_composite(music_item(312, 155), (820, 380))
    can.alpha_composite(art(229, "bmp"), (10, 530))
    can.alpha_composite(picture_item(pic.transpose(Image.TRANSPOSE), 200, 266), (380, 530))
    x = 600
    for rid in (164, 165, 1181, 271, 163, 159, 160, 160, 158, 161, 162, 187, 189):
        im = art(rid, "bmp")
        can.alpha_composite(im, (x, 560))
        x += im.width + 6
    x = 600
    for rid in (257, 258, 265, 266, 255, 256, 261, 262, 263, 264, 259, 267, 252, 253, 254, 268, 269, 270,
                240, 241, 242, 243, 278, 279):
        im = art(rid)
        can.alpha_composite(im, (x, 600))
        x += im.width + 4
        if x > 1100:
            break
    x = 600
    for rid in (220, 244, 221, 246, 222, 247, 223, 248, 225, 250, 224, 249, 226, 251, 227, 245):
        im = art(rid)
        bg = art(154, "bmp").crop((0, 9, im.width, 9 + im.height))
        can.alpha_composite(bg, (x, 700))
        can.alpha_composite(im, (x, 700))
        x += im.width + 2
        if x > 1120:
            x = 600
    can.convert("RGB").save(dest)
    print(dest)


if __name__ == "__main__":
    main()
