#!/usr/bin/python3
"""Sonadesk skin generator.

Draws every skin image of the program from code and writes them to
res/art/ (PNG with alpha, 24-bit BMP), plus res/Sonadesk.ico and
res/hand.cur.  Run through scripts/make-art.sh.

To restyle the program, change the PALETTE and SHAPES tables just below
and rebuild: every picture takes its colours and main measures from them.
Output is deterministic (fixed noise seeds, no clocks).
"""
import os
import struct
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import artlib  # noqa: E402
from artlib import (Layer, sample, rgb, mix, cov, sdf_rrect, sdf_circle, rrect, circle, ring, drawn,
                    poly, text_mask, text_width, vgrad, ramp, blur, noise, to_image, px, unit_line, ugrad,
                    ublur, ushift, set_scale, save_png, save_bmp)

# =====================================================================
# PALETTE: every colour used by the skin
# =====================================================================
PALETTE = {
    # dark graphite bands (top band, bottom band, movie player frame)
    "band_top":        "#464a52",
    "band_mid":        "#363940",
    "band_bottom":     "#2a2c31",
    "band_highlight":  "#666b74",
    "band_edge":       "#121316",
    "band_well":       "#222429",
    "band_text":       "#8e939c",
    # light, calm desk surface
    "desk":            "#e3e3df",
    "desk_edge":       "#1a1b1e",
    # icon glyphs on the bands
    "glyph":           "#d3d7dd",
    "glyph_hover":     "#ffffff",
    "glyph_shadow":    "#0b0c0e",
    # accent (selected tab, hover, links, badges)
    "accent":          "#46a6dc",
    "accent_light":    "#a9dbf6",
    "accent_pale":     "#d7eefb",
    "accent_dark":     "#1f6ea6",
    "danger":          "#e25b52",
    "danger_dark":     "#a8332c",
    "ok":              "#56b879",
    # light keys (desk tabs, text buttons, combo)
    "key_top":         "#fbfbfc",
    "key_bottom":      "#cdd1d7",
    "key_border":      "#1c1e22",
    "key_glyph":       "#3a3e45",
    "light_border":    "#9ba1aa",
    "field":           "#ffffff",
    # picture frame: walnut moulding with a gilt slip
    "wood_dark":       "#4a2c18",
    "wood_light":      "#9a6a41",
    "gilt_dark":       "#8a6a34",
    "gilt_light":      "#e2c98c",
    # music card
    "paper_top":       "#f8f6f0",
    "paper_bottom":    "#e8e3d6",
    "tray_top":        "#41454d",
    "tray_bottom":     "#23262b",
    "disc_silver":     "#d5dae0",
    # shadows
    "shadow":          "#000000",
}

# =====================================================================
# SHAPES: main measures (pixels)
# =====================================================================
SHAPES = {
    "tab_inset": 2,          # gap around a tab key inside its 34x34 cell
    "tab_radius": 6,
    "strip_well": (13, 6, 325, 46, 8),       # recess behind the desk tabs on the top band
    "caption_buttons_x": (730, 750, 770),
    "caption_buttons_y": 14,
    "web_link": (96, 16, 185, 30),            # in bottom-band coordinates
    "web_link_text": "Varnel Sonadesk",
    "tagline": "Pictures, music, movies and notes",
    "cmd_plate_radius": 8,
    "frame_outer": (9, 6, 791, 590, 3),        # picture frame outer edge at 800x600
    "frame_width": 42,                         # moulding width at 800x600
    "frame_shadow": (2, 4, 4.0, 0.75),         # dx, dy, blur sigma, opacity
    "movie_radius": 9,
    "card_radius": 6,
    "disc_centre": (231, 72),                  # in the 312x155 music card
    "disc_diameter": 124,
    "product": "Varnel Sonadesk",
    "version": "Version 1.2.7",
    "credit": "Desk art and code by the Sonadesk team",
}

P = PALETTE
S = SHAPES
SANS, SANS_B, SERIF_B = "DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif-Bold.ttf"

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
ART = os.path.join(ROOT, "res", "art")
RES = os.path.join(ROOT, "res")


# The display scales every skin image is drawn for, in percent.  100 % is res/art itself (the ids
# the program has always had); each other scale gets a folder res/art/<percent> with the same
# file names.  A scale between two of these uses the next larger image, reduced.
SCALES = (100, 125, 150, 175, 200, 250, 300)


def art_dir(percent):
    return ART if percent == 100 else os.path.join(ART, str(percent))


def out_png(L, rid, name):
    save_png(L, os.path.join(art_dir(artlib.PERCENT), "png%d_%s.png" % (rid, name)))


def out_bmp(L, rid, name):
    save_bmp(L, os.path.join(art_dir(artlib.PERCENT), "bmp%d_%s.bmp" % (rid, name)))


def smooth(t):
    t = np.clip(t, 0, 1)
    return t * t * (3 - 2 * t)


# =====================================================================
# Glyphs: drawn in a unit box, mapped to a square of `size` at (cx, cy)
# =====================================================================
def glyph(w, h, cx, cy, size, name):
    x0, y0 = cx - size / 2, cy - size / 2

    def fn(d, s):
        def p(x, y):
            return ((x0 + x * size) * s, (y0 + y * size) * s)

        def box(a, b, c, e, r=0.0, fill=255):
            d.rounded_rectangle([p(a, b), p(c, e)], radius=r * size * s, fill=fill)

        def ell(x, y, rx, ry, fill=255):
            d.ellipse([p(x - rx, y - ry), p(x + rx, y + ry)], fill=fill)

        def line(pts, wd, fill=255):
            d.line([p(*q) for q in pts], width=max(1, int(wd * size * s)), fill=fill, joint="curve")

        def pol(pts, fill=255):
            d.polygon([p(*q) for q in pts], fill=fill)

        if name == "film":
            box(.06, .2, .94, .8, .07)
            for i in range(6):
                x = .13 + i * .141
                box(x, .25, x + .07, .33, .015, 0)
                box(x, .67, x + .07, .75, .015, 0)
            box(.14, .39, .47, .61, .03, 0)
            box(.53, .39, .86, .61, .03, 0)
        elif name == "note":
            pol([(.36, .22), (.86, .12), (.86, .25), (.36, .35)])
            box(.36, .22, .43, .76)
            box(.79, .12, .86, .66)
            ell(.27, .76, .15, .11)
            ell(.70, .66, .15, .11)
        elif name == "picture":
            box(.08, .16, .92, .84, .08)
            box(.15, .23, .85, .77, .03, 0)
            pol([(.17, .75), (.40, .44), (.56, .62), (.66, .51), (.84, .75)])
            ell(.68, .36, .075, .075)
        elif name == "text":
            box(.17, .14, .83, .27, .02)
            pol([(.17, .14), (.26, .14), (.22, .38), (.17, .38)])
            pol([(.74, .14), (.83, .14), (.83, .38), (.78, .38)])
            box(.43, .14, .57, .84)
            box(.32, .76, .68, .86, .02)
        elif name == "trash":
            box(.18, .19, .82, .28, .03)
            box(.39, .10, .61, .22, .05)
            box(.45, .14, .55, .22, .0, 0)
            pol([(.24, .32), (.76, .32), (.71, .9), (.29, .9)])
            for x in (.37, .48, .59):
                box(x, .41, x + .05, .81, .02, 0)
        elif name == "desk":
            box(.24, .10, .84, .70, .12)
            box(.33, .19, .75, .61, .06, 0)
            box(.02, .22, .68, .90, .14, 0)
            box(.06, .26, .64, .86, .11)
            box(.155, .355, .545, .765, .05, 0)
        elif name == "plus":
            box(.40, .18, .60, .82, .04)
            box(.18, .40, .82, .60, .04)
        elif name == "minus":
            box(.18, .40, .82, .60, .04)
        elif name == "power":
            d.arc([p(.2, .22), p(.8, .82)], start=-55, end=235, fill=255, width=int(.1 * size * s))
            box(.45, .10, .55, .52, .05)
        elif name == "play":
            pol([(.30, .18), (.30, .82), (.84, .5)])
        elif name == "pause":
            box(.24, .18, .43, .82, .04)
            box(.57, .18, .76, .82, .04)
        elif name == "stop":
            box(.24, .24, .76, .76, .07)
        elif name in ("speaker", "muted"):
            pol([(.10, .36), (.30, .36), (.55, .14), (.55, .86), (.30, .64), (.10, .64)])
            if name == "speaker":
                d.arc([p(.42, .30), p(.78, .70)], start=-50, end=50, fill=255, width=int(.08 * size * s))
                d.arc([p(.38, .14), p(.94, .86)], start=-50, end=50, fill=255, width=int(.08 * size * s))
            else:
                line([(.64, .34), (.92, .66)], .1)
                line([(.64, .66), (.92, .34)], .1)
        elif name == "fullscreen":
            for (a, b, sx, sy) in ((.12, .12, 1, 1), (.88, .12, -1, 1), (.12, .88, 1, -1), (.88, .88, -1, -1)):
                pol([(a, b), (a + sx * .34, b), (a + sx * .34, b + sy * .1), (a + sx * .1, b + sy * .1),
                     (a + sx * .1, b + sy * .34), (a, b + sy * .34)])
        elif name == "close":
            line([(.25, .25), (.75, .75)], .13)
            line([(.25, .75), (.75, .25)], .13)
        elif name == "minimise":
            box(.22, .58, .78, .72, .03)
        elif name == "maximise":
            box(.22, .24, .78, .76, .04)
            box(.32, .40, .68, .66, .0, 0)
        elif name == "left":
            pol([(.62, .22), (.30, .5), (.62, .78), (.70, .70), (.46, .5), (.70, .30)])
        elif name == "right":
            pol([(.38, .22), (.70, .5), (.38, .78), (.30, .70), (.54, .5), (.30, .30)])
        elif name == "down":
            pol([(.22, .36), (.5, .66), (.78, .36), (.70, .28), (.5, .50), (.30, .28)])
        elif name == "up":
            pol([(.22, .64), (.5, .34), (.78, .64), (.70, .72), (.5, .50), (.30, .72)])
        elif name == "clock":
            d.ellipse([p(.1, .1), p(.9, .9)], outline=255, width=int(.12 * size * s))
            line([(.5, .5), (.5, .24)], .1)
            line([(.5, .5), (.7, .6)], .1)
        else:
            raise ValueError(name)

    return drawn(w, h, fn)


# =====================================================================
# Top band (1182) and caption buttons
# =====================================================================
def top_band():
    L = Layer(800, 50)
    L.paint(np.ones((L.h, L.w)), vgrad(L, [(0, P["band_top"]), (.55, P["band_mid"]), (1, P["band_bottom"])]))
    x, y = L.grid()
    L.paint((y < 1).astype(np.float32), P["band_highlight"], .9)
    L.paint(((y > 1) & (y < 2)).astype(np.float32), P["band_highlight"], .25)
    L.paint(((y > 48) & (y < 49)).astype(np.float32), P["band_edge"], .6)
    L.paint((y > 49).astype(np.float32), P["band_edge"])
    # the recess behind the desk tabs
    x0, y0, x1, y1, r = S["strip_well"]
    recess(L, sdf_rrect(x, y, x0, y0, x1, y1, r), P["band_well"])
    # small app mark beside the version caption (the program draws the caption at 400,15)
    mark(L, 368, 11, 24, flat=True)
    return L


def recess(L, sdf, colour, depth=1.0):
    """A sunken area: dark fill, inner shadow along the top, light rim along the bottom."""
    gy = ugrad(sdf, 0)
    inside = cov(sdf)
    L.paint(inside, colour)
    inner = inside * np.exp(-np.maximum(-sdf, 0) / 1.6)
    L.paint(inner * np.clip(-gy, 0, 1), "#000000", .55 * depth)
    L.paint(inner * np.clip(gy, 0, 1), "#ffffff", .05 * depth)
    rim = unit_line(sdf - 0.7)
    L.paint(rim * np.clip(gy, 0, 1), "#ffffff", .16 * depth)
    L.paint(rim * np.clip(-gy, 0, 1), "#000000", .25 * depth)


def mark(L, x, y, size, flat=False):
    """The Sonadesk mark: an accent rounded square with two cards and a note."""
    X, Y = L.grid()
    s = size / 24.0
    body = cov(sdf_rrect(X, Y, x, y, x + size, y + size, 5 * s))
    if not flat:
        L.paint(ublur(ushift(body, 0, max(1, int(s))), 1.2 * s), "#000000", .45)
    L.paint(body, vgrad(L, [(0, P["accent_light"]), (.45, P["accent"]), (1, P["accent_dark"])], y, y + size))
    # back card
    back = poly(L.uw, L.uh, [(x + 5 * s, y + 8 * s), (x + 14 * s, y + 5 * s), (x + 17 * s, y + 15 * s),
                           (x + 8 * s, y + 18 * s)])
    L.paint(back, "#ffffff", .55)
    # front card
    front = cov(sdf_rrect(X, Y, x + 9 * s, y + 8 * s, x + 20 * s, y + 20 * s, 1.5 * s))
    L.paint(front, "#ffffff", .97)
    n = glyph(L.uw, L.uh, x + 14.5 * s, y + 14 * s, 9 * s, "note")
    L.paint(n * front, P["accent_dark"])
    # top gloss
    gl = body * (Y < y + size * .45)
    L.paint(gl * cov(sdf_rrect(X, Y, x + 1, y + 1, x + size - 1, y + size * .9, 4 * s)), "#ffffff", .10)


def caption_button(band, bx, py, kind, state):
    L = Layer(16, 16)
    L.a[:] = band.a[px(py):px(py) + L.h, px(bx):px(bx) + L.w]
    X, Y = L.grid()
    face = {"normal": ("#575b63", "#3a3d44"), "hover": None, "pressed": None}
    if kind == "close":
        hv, pr = ("#f2776e", P["danger_dark"]), (P["danger_dark"], "#d9544b")
    elif kind == "minimise":
        hv, pr = (P["accent_light"], P["accent_dark"]), (P["accent_dark"], P["accent"])
    else:  # spare: always disabled, all states look dim
        hv = pr = ("#4d5158", "#363940")
    face["hover"], face["pressed"] = hv, pr
    if kind == "spare":
        face["normal"] = ("#4a4e55", "#34373d")
    top, bot = face[state]
    # a rounded chip filling the whole button, so that only its corners show the
    # background (the close bitmaps are also used on the add-text dialog's grey)
    sd = sdf_rrect(X, Y, 0, 0, 16, 16, 3.5)
    L.paint(cov(sd), vgrad(L, [(0, top), (1, bot)], 0, 16))
    L.paint(unit_line(sd + 1.5) * (Y < 8), "#ffffff", .16)
    L.paint(unit_line(sd + .5), "#000000", .45)
    g = glyph(16, 16, 8, 8 + (0.5 if state == "pressed" else 0), 10, {"close": "close", "minimise": "minimise",
                                                                        "spare": "maximise"}[kind])
    if kind == "spare":
        L.paint(g, "#777c85")
    else:
        L.paint(ushift(g, 0, 1), "#000000", .35)
        L.paint(g, "#ffffff" if state != "normal" else P["glyph"])
    return L


# =====================================================================
# Bottom band (230), command strip (154) and command pictures
# =====================================================================
BOTTOM_BODY = [(0, "#3b3e45"), (1, P["band_bottom"])]


def bottom_band():
    L = Layer(800, 64)
    x, y = L.grid()
    # rows 8..63 are a gentle linear gradient so that button slices copied from the
    # command strip line up with the band (the 44-high desk buttons sit 6 rows lower)
    L.paint(np.ones((L.h, L.w)), vgrad(L, BOTTOM_BODY, 8, 64))
    L.paint((y < 8) * 1.0, vgrad(L, [(0, "#4a4e56"), (1, BOTTOM_BODY[0][1])], 0, 8))
    L.paint((y < 1) * 1.0, P["band_edge"])
    L.paint(((y > 1) & (y < 2)) * 1.0, P["band_highlight"], .9)
    L.paint(((y > 2) & (y < 3)) * 1.0, P["band_highlight"], .2)
    # separator groove between the item commands and the desk commands
    for xx, col, op in ((664, "#000000", .45), (665, "#ffffff", .08)):
        L.paint(((x > xx) & (x < xx + 1) & (y > 16) & (y < 56)) * smooth(np.minimum(y - 16, 56 - y) / 8), col, op)
    # mark, product name and tag line on the left
    mark(L, 60, 14, 28)
    x0, y0, x1, y1 = S["web_link"]
    size = 11
    while text_width(S["web_link_text"], SANS, size) > (x1 - x0 - 2) and size > 7:
        size -= 0.5
    t = text_mask(800, 64, x0 + 1, y1 - 3, S["web_link_text"], SANS, size, anchor="ls")
    # The product name where a web link could sit: the program has no site to open.
    L.paint(t, P["accent_light"])
    tg = text_mask(800, 64, x0 + 1, y1 + 13, S["tagline"], SANS, 9, anchor="ls")
    L.paint(tg, P["band_text"])
    return L


def command_strip(band):
    """The band texture behind the command pictures: strip row r shows band row r-1
    (the 64x50 buttons sit at band rows 8..57 and copy strip rows 9..58)."""
    col = band.a[:, px(500):px(500) + 1]
    L = Layer(800, 60)
    for r in range(L.h):
        L.a[r, :] = col[min(max(r - px(1), 0), band.h - 1), 0]
    return L


def command_picture(w, h, kind, hover):
    L = Layer(w, h)
    X, Y = L.grid()
    if hover:
        r = S["cmd_plate_radius"]
        plate = cov(sdf_rrect(X, Y, 3, 3, w - 3, h - 3, r))
        L.paint(plate * (.16 - .10 * np.clip(Y / h, 0, 1)), "#ffffff")
        L.paint(unit_line(sdf_rrect(X, Y, 3, 3, w - 3, h - 3, r) + .5), "#ffffff", .22)
    gsize = {64: 31, 62: 29, 44: 27}[w]
    cx, cy = w / 2, h / 2
    main = {"movie": "film", "music": "note", "picture": "picture", "text": "text", "delete": "trash",
            "create": "desk", "remove": "desk", "exit": "power"}[kind]
    ox = -3 if kind in ("create", "remove") else 0
    g = glyph(w, h, cx + ox, cy, gsize, main)
    gcol = P["glyph_hover"] if hover else P["glyph"]
    if hover and kind in ("delete", "exit"):
        gcol = "#ffb3ad"
    L.paint(ublur(ushift(g, 0, 1), .6), P["glyph_shadow"], .75)
    L.paint(g, vgrad(L, [(0, gcol), (1, mix(gcol, "#8d939c", .25 if not hover else .1))],
                     cy - gsize / 2, cy + gsize / 2))
    if kind in ("create", "remove"):
        bx, by, br = cx + ox + gsize * .28, cy + gsize * .22, gsize * .22
        badge = cov(sdf_circle(X, Y, bx, by, br))
        L.paint(cov(sdf_circle(X, Y, bx, by, br + 1.6)), "#000000", .6)
        col = (P["ok"], "#2f8a52") if kind == "create" else (P["danger"], P["danger_dark"])
        if hover:
            col = (mix(col[0], "#ffffff", .3), col[0])
        L.paint(badge, vgrad(L, [(0, col[0]), (1, col[1])], by - br, by + br))
        L.paint(glyph(w, h, bx, by, br * 1.6, "plus" if kind == "create" else "minus"), "#ffffff")
    return L


# =====================================================================
# Desk tile (233) and desk tabs (240-243)
# =====================================================================
def desk_tile():
    L = Layer(64, 64, P["desk"])
    n1 = noise(64, 64, 11, 0.8)
    n2 = noise(64, 64, 12, 6.0)
    v = rgb(P["desk"])[None, None, :] * (1 + .018 * n1[..., None] + .012 * n2[..., None])
    L.a[..., :3] = np.clip(v, 0, 1)
    return L


def tab(kind):
    L = Layer(34, 34)
    X, Y = L.grid()
    i, r = S["tab_inset"], S["tab_radius"]
    sd = sdf_rrect(X, Y, i, i, 34 - i, 34 - i, r)
    key = cov(sd)
    L.paint(ublur(ushift(key, 0, 1), 1.0), "#000000", .6)
    if kind == "selected":
        L.paint(ublur(key, 1.6), P["accent"], .8)
        face = [(0, P["accent_pale"]), (.5, P["accent_light"]), (1, "#7cc2ea")]
        border = P["accent_dark"]
    else:
        face = [(0, P["key_top"]), (.55, "#e6e8eb"), (1, P["key_bottom"])]
        border = P["key_border"]
    L.paint(key, vgrad(L, face, i, 34 - i))
    L.paint(unit_line(sd + .5), border, .85)
    L.paint(unit_line(sd + 1.5) * (Y < 17), "#ffffff", .7)
    if kind in ("left", "right"):
        g = glyph(34, 34, 17, 17, 18, kind)
        L.paint(ushift(g, 0, 1), "#ffffff", .8)
        L.paint(g, P["key_glyph"])
    return L


# =====================================================================
# Picture frame (234): walnut moulding, gilt slip, soft shadow
# =====================================================================
def picture_frame():
    W, H = 800, 600
    L = Layer(W, H)
    X, Y = L.grid()
    x0, y0, x1, y1, rad = S["frame_outer"]
    fw = S["frame_width"]
    outer = cov(sdf_rrect(X, Y, x0, y0, x1, y1, rad))
    inner_sdf = sdf_rrect(X, Y, x0 + fw, y0 + fw, x1 - fw, y1 - fw, 0.5)
    opening = cov(inner_sdf)
    frame = outer * (1 - opening)

    # which side of the mitred moulding a pixel belongs to, depth across it, position along it
    dists = np.stack([X - x0, x1 - X, Y - y0, y1 - Y])     # left, right, top, bottom
    side = np.argmin(dists, axis=0)
    depth = np.min(dists, axis=0)
    along = np.where(side < 2, Y, X) + side * 977.0
    nin = np.array([[1, 0], [-1, 0], [0, 1], [0, -1]], np.float32)[side]   # inward normals

    # moulding height profile across the depth (pixels at 800x600)
    prof_d = [0, 2, 6, 11, 15, 17, 21, 29, 31, 33, 35, 37, 40, 42]
    prof_h = [0, 5, 9, 10, 8, 6, 6.5, 4, 5.5, 4, 3, 3, 2, 0]
    dh = np.interp(depth + .5, prof_d, prof_h) - np.interp(depth - .5, prof_d, prof_h)   # slope inwards
    gx, gy = dh * nin[..., 0], dh * nin[..., 1]
    k = 2.2
    N = np.dstack([-gx * k, -gy * k, np.ones_like(gx)])
    N /= np.linalg.norm(N, axis=2, keepdims=True)
    Ld = np.array([-.45, -.62, .65]); Ld /= np.linalg.norm(Ld)
    lam = np.clip((N @ Ld) / Ld[2], .35, 1.6)
    Hv = Ld + np.array([0, 0, 1.0]); Hv /= np.linalg.norm(Hv)
    spec = np.clip(N @ Hv, 0, 1) ** 40

    # wood grain: streaks running along each side
    rng = np.random.default_rng(234)
    gs = rng.standard_normal((64, 4200)).astype(np.float32)
    streak = blur(gs, 1.2)
    # stretch along: resample the noise with a long scale
    ai = along * 0.035
    di = depth * 1.4 + 3 * np.sin(along * .011)
    lf = blur(gs, 3.0)
    g1 = sample(streak, di, ai) / (np.abs(streak).max() + 1e-6)
    g2 = sample(lf, di / 2, ai / 3) / (np.abs(lf).max() + 1e-6)
    grain = np.clip(.5 + .75 * g1 + .55 * g2, 0, 1)
    wood = ramp(grain, [(0, P["wood_dark"]), (.55, mix(P["wood_dark"], P["wood_light"], .55)), (1, P["wood_light"])])
    slip = (depth > 33.5) & (depth < 40.5)
    gilt = ramp(np.clip(.5 + .25 * g2, 0, 1), [(0, P["gilt_dark"]), (1, P["gilt_light"])])
    base = np.where(slip[..., None], gilt, wood)
    col = base * lam[..., None] + spec[..., None] * np.where(slip, .55, .22)[..., None]
    col = np.where((depth > 40.5)[..., None], col * .45, col)          # dark lip at the opening
    col = np.clip(col, 0, 1)
    # mitre joints: a faint dark line
    srt = np.sort(dists, axis=0)
    mitre = np.clip(1 - np.abs(srt[0] - srt[1]) / .9, 0, 1) * (depth < fw)
    col = col * (1 - .35 * mitre[..., None])

    # outer soft shadow, fading to nothing at the picture's border
    dx, dy, sg, op = S["frame_shadow"]
    edge = np.minimum(np.minimum(X, W - X), np.minimum(Y, H - Y))
    sh = ublur(ushift(outer, dx, dy), sg) * op * smooth(edge / 5.0)
    L.paint(sh * (1 - opening), P["shadow"])
    # the moulding casts a little shadow onto the picture (top and left mostly)
    cast = ublur(ushift(frame, 3, 4), 4.0) * opening * .45
    cast = np.where(inner_sdf < -28, 0, cast)
    L.paint(cast, P["shadow"])
    L.paint(frame, col)
    return L


# =====================================================================
# Movie player frame (207, 208, 211-216)
# =====================================================================
MW, MH = 400, 300  # size of the canonical player the pieces are cut from


def movie_canonical():
    W, H = MW, MH
    L = Layer(W, H)
    X, Y = L.grid()
    R = S["movie_radius"]
    sd = sdf_rrect(X, Y, 2, 1, W - 2, H - 5, R)
    body = cov(sd)
    # shadow under the player
    L.paint(ublur(ushift(body, 0, 2), 1.8) * (1 - body), P["shadow"], .55)
    # body colour: constant along the sides, gradients only on the top bar and bottom panel
    mid = rgb(P["band_mid"])
    top_t = smooth((Y - 1) / 24)[..., None]
    col = rgb(P["band_top"]) * (1 - top_t) + mid * top_t
    bot_t = smooth((H - Y - 6) / 76)[..., None]
    col = col * bot_t + rgb(P["band_bottom"]) * (1 - bot_t)
    L.paint(body, col)
    # outer bevel: light rim on top/left, dark on bottom/right
    gx, gy = ugrad(sd, 1), ugrad(sd, 0)
    lit = np.clip(-(gx * .5 + gy * .85), -1, 1)
    rim = unit_line(sd + 1.6)
    L.paint(rim * np.clip(lit, 0, 1), "#ffffff", .25)
    L.paint(rim * np.clip(-lit, 0, 1), "#000000", .3)
    L.paint(unit_line(sd + .5), P["band_edge"], .9)
    # inner lip around the video area (the program fills from 28,28 to W-28,H-82 in black)
    isd = sdf_rrect(X, Y, 25, 25, W - 25, H - 79, 3)
    L.paint(unit_line(isd - 0.5), "#000000", .55)
    L.paint(unit_line(isd - 1.5) * np.clip(ugrad(isd, 0), 0, 1), "#ffffff", .12)
    L.paint(cov(isd), "#050506")
    b = H
    # wells for the buttons
    recess(L, sdf_circle(X, Y, 35.5, b - 37.5, 19.5), P["band_well"])
    recess(L, sdf_circle(X, Y, 71.5, b - 40, 12.5), P["band_well"])
    recess(L, sdf_rrect(X, Y, 92.5, b - 51.5, 144.5, b - 25.5, 13), P["band_well"])
    # grooves around the two sliders (slider windows cover x 177..W-112 and W-73..W-27, y b-44..b-33)
    recess(L, sdf_rrect(X, Y, 173, b - 47, W - 108, b - 30, 5), P["band_well"])
    recess(L, sdf_rrect(X, Y, W - 77, b - 47, W - 23, b - 30, 5), P["band_well"])
    # labels: a clock for the position slider, a speaker for the volume
    L.paint(glyph(W, H, 160.5, b - 38.5, 13, "clock"), P["band_text"])
    L.paint(glyph(W, H, W - 91, b - 38.5, 14, "speaker"), P["band_text"])
    return L


def movie_pieces():
    C = movie_canonical()
    a = C.a
    W, H = C.w, C.h
    out = {}

    def lay(arr):
        L = Layer(0, 0)
        L.a = np.ascontiguousarray(arr)
        L.h, L.w = L.a.shape[:2]
        L.uh, L.uw = L.h, L.w
        return L
    q = px
    out[211] = lay(a[0:q(33), 0:q(32)])
    out[214] = lay(a[0:q(33), W - q(32):W])
    out[207] = lay(np.repeat(a[0:q(28), W // 2:W // 2 + 1], q(1024), axis=1))
    out[208] = lay(np.repeat(a[H // 2:H // 2 + 1, 0:q(29)], q(600), axis=0))
    out[212] = lay(np.repeat(a[H // 2:H // 2 + 1, W - q(29):W], q(600), axis=0))
    out[216] = lay(a[H - q(85):H, 0:q(184)])
    out[213] = lay(a[H - q(84):H, W - q(116):W])
    out[215] = lay(np.repeat(a[H - q(86):H, q(230):q(230) + 1], q(900), axis=1))
    return out, C


# =====================================================================
# Media buttons (glossy round)
# =====================================================================
def round_button(w, h, d, glyph_name, hover, light_bg=False, gscale=.5):
    L = Layer(w, h)
    X, Y = L.grid()
    cx, cy = w / 2, h / 2
    r = d / 2
    face = cov(sdf_circle(X, Y, cx, cy, r - .6))
    L.paint(cov(sdf_circle(X, Y, cx, cy + .7, r)), "#000000", .35 if light_bg else .6)
    if hover:
        stops = [(0, P["accent_light"]), (.5, P["accent"]), (1, P["accent_dark"])]
    else:
        stops = [(0, "#6a6f78"), (.5, "#3b3f46"), (1, "#202226")]
    L.paint(face, vgrad(L, stops, cy - r, cy + r))
    # bottom reflected light
    L.paint(face * cov(sdf_circle(X, Y, cx, cy + r * .55, r * .55)), "#ffffff", .10)
    # gloss cap
    gl = cov(sdf_rrect(X, Y, cx - r * .72, cy - r * .86, cx + r * .72, cy - r * .02, r * .42)) * face
    L.paint(gl * np.clip((cy - Y) / r + .15, 0, 1), "#ffffff", .55 if hover or light_bg else .38)
    L.paint(unit_line(sdf_circle(X, Y, cx, cy, r - .9)), "#000000", .35)
    g = glyph(w, h, cx + (d * .03 if glyph_name == "play" else 0), cy, d * gscale, glyph_name)
    L.paint(ublur(ushift(g, 0, 1), .5), "#000000", .45)
    L.paint(g, "#ffffff" if hover else "#eef1f4")
    return L


# =====================================================================
# Music card (219), disc (278), highlight (279)
# =====================================================================
def music_card():
    W, H = 312, 155
    L = Layer(W, H)
    X, Y = L.grid()
    R = S["card_radius"]
    case_sd = sdf_rrect(X, Y, 3, 2, W - 3, H - 4, R)
    case = cov(case_sd)
    L.paint(ublur(ushift(case, 0, 2), 1.6) * (1 - case), P["shadow"], .5)
    L.paint(case, vgrad(L, [(0, "#4a4e56"), (1, "#2a2d32")], 2, H - 4))
    L.paint(unit_line(case_sd + 1.5) * (Y < H / 2), "#ffffff", .18)
    L.paint(unit_line(case_sd + .5), P["band_edge"], .9)

    # booklet (left): light paper where the buttons and the file name go
    bk = sdf_rrect(X, Y, 8, 7, 152, H - 9, 2)
    bm = cov(bk)
    L.paint(ublur(ushift(bm, 1, 1), 1.2) * (1 - bm), "#000000", .4)
    paper = vgrad(L, [(0, P["paper_top"]), (1, P["paper_bottom"])], 7, H - 9)
    paper = paper * (1 + .012 * noise(W, H, 219, .7, wrap=False)[..., None])
    L.paint(bm, paper)
    # faint sound-wave arcs in the booklet's lower right corner
    for i, rr in enumerate((22, 32, 42, 52)):
        L.paint(ring(L, 160, H - 4, rr - .6, rr + .6) * bm, P["accent"], .10 - i * .015)
    # header: product label and a thin accent rule
    L.paint(text_mask(W, H, 15, 23, "SONADESK", SANS_B, 8, anchor="ls"), P["accent_dark"], .9)
    L.paint(text_mask(W, H, 15 + text_width("SONADESK ", SANS_B, 8) + 2, 23, "music", SANS, 8, anchor="ls"),
            "#7c8088", .9)
    L.paint(((X > 15) & (X < 143) & (Y > 64) & (Y < 65)) * bm, P["accent"], .45)
    L.paint(((X > 15) & (X < 143) & (Y > 65) & (Y < 66)) * bm, "#ffffff", .8)
    # shade towards the hinge, like a page bending into the case
    L.paint(bm * smooth((X - 138) / 14), "#000000", .16)

    # hinge
    for yy in (14, H - 27):
        L.paint(cov(sdf_rrect(X, Y, 152.5, yy, 160.5, yy + 14, 3)), vgrad(L, [(0, "#6a6f77"), (1, "#2f3237")], yy, yy + 14))
    # disc tray (right)
    tr = sdf_rrect(X, Y, 160, 7, W - 8, H - 9, 3)
    tm = cov(tr)
    L.paint(tm, vgrad(L, [(0, P["tray_top"]), (1, P["tray_bottom"])], 7, H - 9))
    L.paint(unit_line(tr + .5), "#000000", .5)
    cx, cy = S["disc_centre"]
    rd = S["disc_diameter"] / 2
    # radial ribs in the tray corners
    ang = np.arctan2(Y - cy, X - cx)
    rr = np.hypot(X - cx, Y - cy)
    ribs = (np.cos(ang * 48) > .86) * (rr > rd + 4) * tm
    L.paint(ribs, "#ffffff", .045)
    # recess for the disc and the hub
    recess(L, sdf_circle(X, Y, cx, cy, rd + 2), "#1b1d21", depth=.8)
    L.paint(ring(L, cx, cy, rd - 12, rd - 11), "#ffffff", .05)
    hub = cov(sdf_circle(X, Y, cx, cy, 13))
    L.paint(hub, vgrad(L, [(0, "#c9ced6"), (1, "#7d838c")], cy - 13, cy + 13))
    teeth = (np.cos(ang * 10) > 0.2) * ring(L, cx, cy, 5, 11)
    L.paint(teeth, "#4a4f57", .8)
    L.paint(cov(sdf_circle(X, Y, cx, cy, 5)), "#2a2d33")
    # overall sheen of the clear lid
    sheen = case * np.clip(1 - np.abs((X - Y * 1.2) - 150) / 60, 0, 1)
    L.paint(sheen, "#ffffff", .04)
    return L


def music_disc():
    W, H = 122, 123
    L = Layer(W, H)
    X, Y = L.grid()
    cx, cy, R = W / 2, H / 2, 60.5
    r = np.hypot(X - cx, Y - cy)
    th = np.arctan2(Y - cy, X - cx)
    disc = cov(r - R) * (np.clip(r - 7.6 + .5, 0, 1) if artlib.PERCENT == 100 else cov(7.6 - r))
    # data area: silver with angular rainbow interference
    hue = (th / (2 * np.pi) * 2 + r * .006) % 1.0
    rainbow = ramp(hue, [(0, "#ff9a9a"), (.17, "#ffe08a"), (.33, "#9af0a0"), (.5, "#8fd8ff"),
                         (.67, "#b59cff"), (.83, "#ff9ae0"), (1, "#ff9a9a")])
    silver = rgb(P["disc_silver"]) * (0.92 + .08 * np.cos(2 * th + 1.0))[..., None]
    band = smooth((r - 22) / 6) * smooth((59 - r) / 3)
    irid = .16 + .22 * np.clip(np.cos(2 * (th - .6)), 0, 1) ** 3
    data = silver * (1 - irid[..., None] * band[..., None]) + rainbow * (irid * band)[..., None]
    # fine track rings
    data *= (1 + .012 * np.sin(r * 1.3))[..., None]
    # bright wedges where the surface catches the light
    wedge = np.clip(np.cos(2 * (th + .75)), 0, 1) ** 6 * band
    data = data + (1 - data) * (wedge * .55)[..., None]
    col = data
    alpha = disc.copy()
    # printed accent arc makes the turning visible
    arc = smooth((r - 47) * 2) * smooth((54 - r) * 2) * smooth(np.cos(th - 2.2) * 6 - 4.6)
    col = col * (1 - arc[..., None] * .85) + rgb(P["accent"]) * (arc[..., None] * .85)
    dot = cov(sdf_circle(X, Y, cx + 38 * np.cos(2.2 + .55), cy + 38 * np.sin(2.2 + .55), 3))
    col = col * (1 - dot[..., None]) + rgb(P["accent_dark"]) * dot[..., None]
    # mirror band and clear centre
    mirror = smooth((r - 18.5) * 2) * smooth((22 - r) * 2)
    col = col * (1 - mirror[..., None]) + rgb("#eef1f4") * mirror[..., None]
    clear = r < 18.5
    col = np.where(clear[..., None], rgb("#dfe6ee"), col)
    alpha = np.where(clear, disc * np.where(np.abs(r - 17.5) < 1, .55, .28), alpha)
    # rim
    rim = smooth((r - 59) * 1.5)
    col = col * (1 - rim[..., None] * .4)
    L.a[..., :3] = np.clip(col, 0, 1) * alpha[..., None]
    L.a[..., 3] = alpha
    return L


def music_highlight():
    W, H = 133, 130
    L = Layer(W, H)
    X, Y = L.grid()
    # where the disc lies in this image (card 312x155 stretched to the highlight's rectangle)
    cx, cy, rx, ry = 63.7, 59.9, 58.7, 57.8
    e = np.hypot((X - cx) / rx, (Y - cy) / ry)
    inside = np.clip((1 - e) * 40, 0, 1)
    gloss = np.clip(1 - np.hypot((X - cx + 22) / 46, (Y - cy + 24) / 30), 0, 1)
    L.paint(inside * smooth(gloss * 1.6), "#ffffff", .38)
    streak = np.clip(1 - np.abs((X - cx) + (Y - cy) * 1.0 - 10) / 7, 0, 1) * smooth((1 - e) * 3)
    L.paint(inside * streak, "#ffffff", .10)
    L.paint(inside, "#ffffff", .04)
    glint = np.clip(1 - np.hypot(X - (cx - 30), Y - (cy - 33)) / 5, 0, 1)
    L.paint(glint * inside, "#ffffff", .5)
    return L


# =====================================================================
# Small bitmaps: scroll bar, slider, text buttons, combo skin
# =====================================================================
TRACK_BG = "#eceef1"


def scroll_track_row(L):
    X, Y = L.grid()
    L.paint(np.ones((L.h, L.w)), TRACK_BG)
    L.paint((X < 1) * 1.0, "#d5d8dd")
    L.paint(((X > 8) & (X < 9)) * 1.0, "#dde0e4")


def scroll_arrow(direction):
    L = Layer(17, 16)
    scroll_track_row(L)
    X, Y = L.grid()
    b = sdf_rrect(X, Y, 1.5, 1.5 if direction == "up" else .5, 15.5, 15.5 if direction == "up" else 14.5, 3)
    L.paint(cov(b), vgrad(L, [(0, P["key_top"]), (1, "#d9dde2")]))
    L.paint(unit_line(b + .5), P["light_border"])
    L.paint(glyph(17, 16, 8.5, 8, 11, direction), P["key_glyph"])
    return L


def scroll_thumb(part):
    h = {"top": 10, "bottom": 10, "middle": 4}[part]
    L = Layer(17, h)
    scroll_track_row(L)
    X, Y = L.grid()
    y0, y1 = {"top": (1, 40), "bottom": (-30, 9), "middle": (-30, 40)}[part]
    sd = sdf_rrect(X, Y, 3, y0, 14, y1, 4)
    face = ramp(np.clip((X - 3) / 11, 0, 1), [(0, "#b8bec6"), (.45, "#a3aab4"), (1, "#8c939d")])
    L.paint(cov(sd), face)
    L.paint(unit_line(sd + .5), "#6f7680", .9)
    if part == "middle":
        L.paint(((Y > 1) & (Y < 2) & (X > 6) & (X < 11)) * 1.0, "#ffffff", .5)
    return L


SLIDER_BG = P["band_well"]


def slider_track():
    L = Layer(8, 13, SLIDER_BG)
    X, Y = L.grid()
    rows = {3: ("#000000", .55), 4: ("#0b0c0e", 1), 5: ("#101114", 1), 6: ("#16181b", 1), 7: ("#ffffff", .10)}
    for r, (c, o) in rows.items():
        L.paint(((Y > r) & (Y < r + 1)) * 1.0, c, o)
    L.paint(((Y > 5) & (Y < 6)) * 1.0, P["accent"], .35)
    return L


def slider_thumb():
    L = Layer(16, 12, SLIDER_BG)
    X, Y = L.grid()
    # the track shows through around the knob
    t = slider_track()
    L.a[:, :t.w] = t.a[:L.h]
    L.a[:, t.w:] = t.a[:L.h, :L.w - t.w]
    sd = sdf_rrect(X, Y, 1.5, 0.5, 14.5, 10.5, 5)
    L.paint(cov(sd), vgrad(L, [(0, "#f4f6f8"), (.5, "#c9ced5"), (1, "#8d949e")], 0, 11))
    L.paint(unit_line(sd + .5), "#0c0d10", .8)
    L.paint(cov(sdf_circle(X, Y, 8, 5.5, 1.6)), P["accent"])
    return L


def text_button(state):
    L = Layer(68, 25, "#dcdcdc")
    X, Y = L.grid()
    sd = sdf_rrect(X, Y, .5, .5, 67.5, 24.5, 5)
    face = {"normal": [(0, P["key_top"]), (1, "#d9dce1")],
            "hover": [(0, "#f3faff"), (1, P["accent_light"])],
            "pressed": [(0, "#c9ced5"), (1, "#e6e8ec")]}[state]
    L.paint(cov(sd), vgrad(L, face, 0, 25))
    if state != "pressed":
        L.paint(unit_line(sd + 1.5) * (Y < 12), "#ffffff", .8)
    border = {"normal": P["light_border"], "hover": P["accent"], "pressed": "#7f868f"}[state]
    L.paint(unit_line(sd + .5), border)
    return L


def combo_skin():
    L = Layer(160, 20, P["field"])
    X, Y = L.grid()
    sd = sdf_rrect(X, Y, .5, .5, 159.5, 19.5, 3)
    L.a[:] = 0
    L.paint(np.ones((L.h, L.w)), "#dcdcdc")
    L.paint(cov(sd), vgrad(L, [(0, "#f1f2f4"), (.2, P["field"]), (1, P["field"])]))
    L.paint(unit_line(sd + .5), P["light_border"])
    # right part: the drop button
    bsd = sdf_rrect(X, Y, 140, .5, 159.5, 19.5, 3)
    L.paint(cov(bsd) * (X > 140.5), vgrad(L, [(0, P["key_top"]), (1, P["key_bottom"])]))
    L.paint(unit_line(sd + .5) * (X > 140), P["light_border"])
    L.paint(((X > 140) & (X < 141) & (Y > 1) & (Y < 19)) * 1.0, P["light_border"], .8)
    L.paint(glyph(160, 20, 150.5, 10.5, 12, "down"), P["key_glyph"])
    # columns 10..139 must be uniform (they are stretched)
    L.a[:, px(10):px(140)] = L.a[:, px(10):px(10) + 1]
    return L


# =====================================================================
# About picture (229) and its close button
# =====================================================================
def about_picture():
    W, H = 355, 120
    L = Layer(W, H)
    X, Y = L.grid()
    L.paint(np.ones((L.h, L.w)), vgrad(L, [(0, P["band_top"]), (.6, P["band_mid"]), (1, P["band_bottom"])]))
    # soft accent glow behind the mark
    L.paint(np.clip(1 - np.hypot(X - 58, Y - 60) / 70, 0, 1) ** 2, P["accent"], .35)
    L.paint(ring(L, 300, 150, 118, 119.2), "#ffffff", .05)
    L.paint(ring(L, 300, 150, 100, 101.2), "#ffffff", .04)
    mark(L, 26, 28, 64)
    L.paint(text_mask(W, H, 108, 50, S["product"], SANS_B, 22, anchor="ls"), "#ffffff")
    L.paint(text_mask(W, H, 109, 70, S["version"], SANS, 12, anchor="ls"), P["accent_light"])
    L.paint(((X > 109) & (X < 330) & (Y > 80) & (Y < 81)) * 1.0, "#ffffff", .12)
    L.paint(text_mask(W, H, 109, 97, S["credit"], SANS, 10, anchor="ls"), "#aeb3bb")
    # rounded-window edge hint (the window region is a 16x16 rounded rectangle)
    sd = sdf_rrect(X, Y, 0, 0, W, H, 8)
    L.paint(unit_line(sd + 1.5) * (Y < 60), "#ffffff", .12)
    return L


def about_close(pic, state):
    L = Layer(11, 11)
    L.a[:] = pic.a[px(7):px(7) + L.h, px(332):px(332) + L.w]
    X, Y = L.grid()
    c = cov(sdf_circle(X, Y, 5.5, 5.5, 5.2))
    top, bot = {"normal": ("#5b6068", "#3d4047"), "hover": ("#f2776e", P["danger_dark"]),
                "pressed": (P["danger_dark"], "#d9544b")}[state]
    L.paint(c, vgrad(L, [(0, top), (1, bot)], 0, 11))
    L.paint(glyph(11, 11, 5.5, 5.5, 8, "close"), "#ffffff" if state != "normal" else P["glyph"])
    return L


# =====================================================================
# Icon (128) and hand cursor (179)
# =====================================================================
def app_icon(size):
    L = Layer(size, size)
    m = max(1, size // 16)
    mark(L, m * .5, m * .5, size - m * 1.2)
    return L


def hand_cursor():
    """32x32 pointing hand, white with a dark outline; fingertip at (9, 1)."""
    pts = [(7.5, 3), (8.2, 1.2), (9.3, .8), (10.4, 1.2), (11, 3), (11, 11), (11.5, 10.2), (12.8, 9.8),
           (14, 10.4), (14.4, 11.5), (15, 10.8), (16.3, 10.6), (17.4, 11.3), (17.7, 12.4), (18.4, 11.9),
           (19.6, 11.9), (20.5, 12.8), (20.7, 14), (20.7, 19), (20, 22.5), (18.6, 25), (18.6, 28),
           (9.2, 28), (9.2, 25.5), (6.8, 22.5), (3.6, 17.8), (3.2, 16.4), (3.8, 15.4), (5, 15.2), (6.2, 15.8),
           (7.5, 17.4)]
    L = Layer(32, 32)
    out = drawn(32, 32, lambda d, s: d.polygon([(x * s, y * s) for x, y in pts], fill=255,
                                                 outline=255, width=int(1.4 * s)))
    fill = poly(32, 32, pts)
    L.paint(np.clip(out * 1.4, 0, 1), "#000000")
    inner = drawn(32, 32, lambda d, s: (d.polygon([(x * s, y * s) for x, y in pts], fill=255),
                                          d.line([(x * s, y * s) for x, y in pts + pts[:1]], fill=0,
                                                 width=int(2.2 * s))))
    L.paint(inner, "#ffffff")
    for x0 in (11, 14.4, 17.7):
        L.paint(drawn(32, 32, lambda d, s, x0=x0: d.line([(x0 * s, 13 * s), (x0 * s, 17 * s)], fill=255,
                                                          width=int(.9 * s))), "#000000", .8)
    return L, (9, 1)


def write_cur(path, L, hot):
    im = to_image(L)
    w, h = im.size
    px = im.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    andm = bytearray(stride * h)
    for yy, y in enumerate(range(h - 1, -1, -1)):
        for x in range(w):
            if px[x, y][3] < 128:
                andm[yy * stride + x // 8] |= 0x80 >> (x % 8)
    bih = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
    data = bih + bytes(xor) + bytes(andm)
    hdr = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, hot[0], hot[1], len(data), 22)
    with open(path, "wb") as f:
        f.write(hdr + data)


def write_ico(path, layers):
    """Multi-size .ico with 32-bit BMP entries (alpha + AND mask)."""
    entries, blobs = [], []
    for L in layers:
        im = to_image(L)
        w, h = im.size
        px = im.load()
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = px[x, y]
                xor += bytes((b, g, r, a))
        stride = ((w + 31) // 32) * 4
        andm = bytearray(stride * h)
        for yy, y in enumerate(range(h - 1, -1, -1)):
            for x in range(w):
                if px[x, y][3] < 128:
                    andm[yy * stride + x // 8] |= 0x80 >> (x % 8)
        bih = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
        blobs.append(bih + bytes(xor) + bytes(andm))
        entries.append((w, h))
    off = 6 + 16 * len(layers)
    out = struct.pack("<HHH", 0, 1, len(layers))
    for (w, h), b in zip(entries, blobs):
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(b), off)
        off += len(b)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


# =====================================================================
def main():
    wanted = [int(a) for a in sys.argv[1:]] or list(SCALES)
    for percent in wanted:
        if percent not in SCALES:
            raise SystemExit("no such scale: %d (drawn: %s)" % (percent, ", ".join(map(str, SCALES))))
        folder = art_dir(percent)
        os.makedirs(folder, exist_ok=True)
        for f in os.listdir(folder):
            if f.startswith(("png", "bmp")):
                os.remove(os.path.join(folder, f))
        set_scale(percent)
        skins()
        print("art at %d %% written to %s" % (percent, folder))
    set_scale(100)
    if 100 in wanted:
        write_ico(os.path.join(RES, "Sonadesk.ico"), [app_icon(s) for s in (16, 32, 48)])
        cur, hot = hand_cursor()
        write_cur(os.path.join(RES, "hand.cur"), cur, hot)


# Every skin image at the current scale.
def skins():
    top = top_band()
    out_bmp(top, 1182, "top_band")
    names = {"close": (770, {"normal": 241, "hover": 239, "pressed": 218}),
             "spare": (750, {"normal": 242, "hover": 243, "pressed": 244}),
             "minimise": (730, {"normal": 245, "hover": 246, "pressed": 247})}
    for kind, (bx, ids) in names.items():
        for state, rid in ids.items():
            out_bmp(caption_button(top, bx, S["caption_buttons_y"], kind, state), rid,
                    "%s%s" % ("minimize" if kind == "minimise" else kind, "" if state == "normal" else "_" + state))

    bottom = bottom_band()
    out_bmp(bottom, 230, "bottom_band")
    out_bmp(command_strip(bottom), 154, "command_strip")
    cmds = [(220, 244, "add_text", "text", 64, 50), (221, 246, "music", "music", 64, 50),
            (222, 247, "picture", "picture", 64, 50), (223, 248, "movie", "movie", 64, 50),
            (225, 250, "delete", "delete", 64, 50), (224, 249, "create_desk", "create", 62, 44),
            (226, 251, "remove_desk", "remove", 62, 44), (227, 245, "exit", "exit", 44, 44)]
    for n, hv, name, kind, w, h in cmds:
        out_png(command_picture(w, h, kind, False), n, "cmd_" + name)
        out_png(command_picture(w, h, kind, True), hv, "cmd_%s_hover" % name)

    out_bmp(desk_tile(), 233, "desk_tile")
    out_png(tab("normal"), 240, "tab")
    out_png(tab("selected"), 241, "tab_selected")
    out_png(tab("left"), 242, "arrow_left")
    out_png(tab("right"), 243, "arrow_right")

    out_png(picture_frame(), 234, "picture_frame")

    pieces, _ = movie_pieces()
    pnames = {207: "movie_top", 208: "movie_left", 211: "movie_top_left", 212: "movie_right",
              213: "movie_bottom_right", 214: "movie_top_right", 215: "movie_bottom", 216: "movie_bottom_left"}
    for rid, L in pieces.items():
        out_png(L, rid, pnames[rid])

    for hover in (False, True):
        sfx = "_hover" if hover else ""
        out_png(round_button(35, 35, 33, "pause", hover), 265 if hover else 257, "movie_pause" + sfx)
        out_png(round_button(35, 35, 33, "play", hover), 266 if hover else 258, "movie_play" + sfx)
        out_png(round_button(21, 21, 20, "fullscreen", hover, gscale=.6), 261 if hover else 255, "movie_fullscreen" + sfx)
        out_png(round_button(21, 21, 20, "speaker", hover, gscale=.6), 264 if hover else 256, "movie_mute" + sfx)
        out_png(round_button(21, 21, 20, "muted", hover, gscale=.6), 263 if hover else 262, "movie_muted" + sfx)
        out_png(round_button(21, 20, 19, "stop", hover, gscale=.5), 267 if hover else 259, "movie_stop" + sfx)
        out_png(round_button(18, 19, 17, "stop", hover, True, .5), 252 if hover else 268, "music_stop" + sfx)
        out_png(round_button(18, 19, 17, "play", hover, True, .52), 253 if hover else 269, "music_play" + sfx)
        out_png(round_button(18, 19, 17, "pause", hover, True, .5), 254 if hover else 270, "music_pause" + sfx)

    out_png(music_card(), 219, "music_card")
    out_png(music_disc(), 278, "music_disc")
    out_png(music_highlight(), 279, "music_highlight")

    out_bmp(scroll_thumb("bottom"), 158, "scroll_thumb_bottom")
    out_bmp(scroll_thumb("top"), 159, "scroll_thumb_top")
    out_bmp(scroll_thumb("middle"), 160, "scroll_thumb_middle")
    tr = Layer(17, 1)
    scroll_track_row(tr)
    out_bmp(tr, 161, "scroll_track")
    out_bmp(scroll_arrow("down"), 162, "scroll_down")
    out_bmp(scroll_arrow("up"), 163, "scroll_up")
    out_bmp(text_button("pressed"), 164, "text_button_pressed")
    out_bmp(text_button("hover"), 165, "text_button_hover")
    out_bmp(text_button("normal"), 1181, "text_button")
    out_bmp(slider_track(), 187, "slider_track")
    out_bmp(slider_thumb(), 189, "slider_thumb")
    out_bmp(combo_skin(), 271, "combo_skin")

    about = about_picture()
    out_bmp(about, 229, "about_picture")
    out_bmp(about_close(about, "normal"), 129, "about_close")
    out_bmp(about_close(about, "pressed"), 141, "about_close_pressed")
    out_bmp(about_close(about, "hover"), 142, "about_close_hover")


if __name__ == "__main__":
    main()
