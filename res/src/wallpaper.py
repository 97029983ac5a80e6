#!/usr/bin/python3
"""Sonadesk's own desktop wallpaper: res/wallpaper.png, 1280 x 1024 (the test display's size).

A calm dusk: a sky that lightens from deep indigo to a teal haze at the horizon, a low pale sun
behind it, and three soft ranges of hills in front. The test bench puts it on the display's root
window and the README's pictures show the items over it, as on a Windows desktop. Mid-tones
throughout, so that both a translucent white card and a dark shadow visibly blend with it.
Deterministic: no noise, no clocks; an unchanged source gives a byte-identical file.
"""
import os
import sys

import numpy as np
from PIL import Image

W, H = 1280, 1024
HORIZON = 0.70  # of the height

SKY_TOP = (26, 40, 78)
SKY_MID = (52, 92, 140)
SKY_HAZE = (132, 158, 172)
SUN = (238, 214, 178)
SUN_AT = (0.87, 0.64)  # of width and height
HILLS = [
    # colour, base height (of H), wave amplitudes (of H) and frequencies (cycles per width), phases
    ((70, 96, 120), 0.68, [(0.030, 1.3, 0.4), (0.012, 3.1, 1.7)]),
    ((44, 70, 92), 0.76, [(0.040, 0.9, 2.2), (0.015, 2.6, 0.3)]),
    ((28, 46, 62), 0.86, [(0.035, 0.7, 4.1), (0.020, 2.1, 5.0)]),
]


def lerp(a, b, t):
    a, b = np.asarray(a, np.float64), np.asarray(b, np.float64)
    return a + (b - a) * t[..., None]


def smooth(t):
    t = np.clip(t, 0.0, 1.0)
    return t * t * (3 - 2 * t)


def make():
    y, x = np.mgrid[0:H, 0:W].astype(np.float64)
    u, v = (x + 0.5) / W, (y + 0.5) / H
    # Sky: indigo at the top, blue in the middle, haze at the horizon.
    t1 = smooth(v / (HORIZON * 0.6))
    t2 = smooth((v - HORIZON * 0.45) / (HORIZON * 0.55))
    img = lerp(lerp(SKY_TOP, SKY_MID, t1), SKY_HAZE, t2)
    # A low sun: a soft glow, wide and faint.
    d = np.hypot((u - SUN_AT[0]) * W / H, v - SUN_AT[1])
    glow = 0.55 * np.exp(-(d / 0.16) ** 2) + 0.25 * np.exp(-(d / 0.05) ** 2)
    img = img + (np.asarray(SUN, np.float64) - img) * glow[..., None]
    # Hills, back to front; each one's ridge is anti-aliased over one pixel and its face darkens
    # a little towards the bottom.
    for colour, base, waves in HILLS:
        ridge = np.full(W, base, np.float64)
        xs = (np.arange(W) + 0.5) / W
        for amp, freq, phase in waves:
            ridge -= amp * np.sin(2 * np.pi * freq * xs + phase)
        cover = np.clip((v - ridge[None, :]) * H + 0.5, 0.0, 1.0)
        face = lerp(colour, np.asarray(colour) * 0.8, smooth((v - base) / 0.3))
        img = img * (1 - cover[..., None]) + face * cover[..., None]
    return Image.fromarray(np.clip(np.rint(img), 0, 255).astype(np.uint8), "RGB")


def main(out):
    make().save(out, optimize=True)
    print("%s: %dx%d, %d KB" % (out, W, H, os.path.getsize(out) // 1024))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "wallpaper.png"))
