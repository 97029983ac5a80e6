#!/usr/bin/python3
"""Demo picture: an 800x600 evening landscape (sky, sun, clouds, mountains,
hills, a lake and trees), written as a JFIF JPEG of about 40 KB.

    /usr/bin/python3 res/src/demo_picture.py res/demo/demo01.jpg
"""
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from artlib import rgb, ramp, blur, noise

W, H = 800, 600
SEED = 289
TARGET_BYTES = 40000

SKY = [(0, "#2f5f9e"), (.35, "#6f9fd0"), (.62, "#f2c9a0"), (.72, "#ffd9a3")]
SUN = (560, 300, 26)            # x, y, radius
HORIZON = 360                   # lake level
MOUNTAINS = [                   # (base line, amplitude, roughness, colour)
    (250, 70, 1.0, "#8b9cbd"),
    (292, 55, 1.3, "#6f7fa3"),
]
HILLS = [
    (335, 34, .8, "#5d7f5a"),
    (372, 40, .7, "#466b45"),
]
LAKE = [(0, "#e6c39a"), (1, "#55779f")]
FOREGROUND = [(0, "#3f6b35"), (1, "#223f1f")]


def ridge(rng, base, amp, rough):
    x = np.arange(W, dtype=np.float32)
    y = np.full(W, float(base))
    for k in range(1, 6):
        f = (1.2 * k ** 1.5) * rough / W * 2 * np.pi
        y -= amp / (k ** 1.6) * np.sin(x * f + rng.uniform(0, 6.28))
    return y


def layer_mask(yline):
    Y = np.arange(H, dtype=np.float32)[:, None] + .5
    return np.clip(Y - yline[None, :] + .5, 0, 1)


def paint(img, mask, col):
    col = col if isinstance(col, np.ndarray) and col.ndim == 3 else rgb(col)
    img[:] = img * (1 - mask[..., None]) + col * mask[..., None]


def main():
    dest = sys.argv[1] if len(sys.argv) > 1 else "demo01.jpg"
    rng = np.random.default_rng(SEED)
    Y, X = np.mgrid[0:H, 0:W].astype(np.float32)
    img = ramp(np.clip(Y / HORIZON * .72, 0, .72), SKY)
    # sun glow
    sx, sy, sr = SUN
    d = np.hypot(X - sx, Y - sy)
    img += rgb("#ffdca0") * (np.exp(-d / 140) * .45)[..., None]
    img += rgb("#fff1c8") * (np.exp(-d / 40) * .5)[..., None]
    paint(img, np.clip(sr - d + .5, 0, 1), "#fff6dc")
    # clouds: stretched soft noise, lit from the sun side
    n = noise(W // 40, H // 10, SEED + 3, 1.3)
    n = np.array(Image.fromarray(((n + 1) * 127.5).astype(np.uint8)).resize((W, H), Image.BICUBIC), np.float32) / 127.5 - 1
    cl = np.clip((n - .15) * 1.8, 0, 1) * np.clip((HORIZON - 80 - Y) / 120, 0, 1)
    paint(img, cl * .55, (rgb("#fff3e6") * .6 + img * .4))
    # mountains with haze
    for i, (base, amp, rough, col) in enumerate(MOUNTAINS):
        m = layer_mask(ridge(rng, base, amp, rough))
        shade = ramp(np.clip((Y - base + amp) / 140, 0, 1), [(0, col), (1, "#c9b9b0")])
        shade += rgb("#ffffff") * (.03 * noise(W, H, SEED + i, 3.0, wrap=False))[..., None]
        paint(img, m, shade)
    # hills
    for i, (base, amp, rough, col) in enumerate(HILLS):
        m = layer_mask(ridge(rng, base, amp, rough))
        tex = .06 * noise(W, H, SEED + 10 + i, 1.5, wrap=False)
        shade = ramp(np.clip((Y - base + amp) / 120, 0, 1), [(0, col), (1, "#2f4a2c")])
        shade *= (1 + tex)[..., None]
        paint(img, m, shade)
    # lake: sky reflection with ripples
    lake_top = HORIZON + 18
    lk = np.clip(Y - lake_top + .5, 0, 1) * np.clip(H - 120 - Y + 8 * np.sin(X / 90), 0, 1)
    refl = ramp(np.clip((Y - lake_top) / 110, 0, 1), LAKE)
    rip = np.sin(Y * 1.3 + 3 * np.sin(X / 37)) * np.exp(-(Y - lake_top) / 60)
    refl += rgb("#ffe9c0") * (np.exp(-np.abs(X - sx) / 25) * np.clip(1 - (Y - lake_top) / 100, 0, 1)
                              * (.45 + .25 * rip))[..., None]
    paint(img, lk, refl)
    # foreground meadow
    fg = ridge(rng, H - 95, 22, .6)
    m = layer_mask(fg)
    paint(img, m, ramp(np.clip((Y - H + 130) / 130, 0, 1), FOREGROUND) *
          (1 + .08 * noise(W, H, SEED + 20, 1.0, wrap=False))[..., None])
    # trees: slim conifers on the left
    trees = np.zeros((H, W), np.float32)
    for tx, base, th in ((70, fg[70] + 4, 150), (108, fg[108] + 4, 118), (140, fg[140] + 4, 92),
                         (690, fg[690] + 4, 84), (722, fg[722] + 4, 108)):
        top = base - th
        wdt = (Y - top) / th * th * .2
        tri = np.clip(wdt - np.abs(X - tx) + .5, 0, 1) * (Y > top) * (Y < base - 8)
        ser = .85 + .15 * np.sin((Y - top) * .45)
        trees = np.maximum(trees, np.clip(tri * ser * 1.4, 0, 1))
        trees = np.maximum(trees, np.clip(1.6 - np.abs(X - tx), 0, 1) * (Y > base - 12) * (Y < base + 2))
    paint(img, trees, "#1b2e1a")
    # gentle vignette
    v = 1 - .22 * (np.hypot((X - W / 2) / W, (Y - H / 2) / H) * 1.4) ** 2
    img *= v[..., None]
    out = Image.fromarray((np.clip(img, 0, 1) * 255 + .5).astype(np.uint8), "RGB")
    # pick the JPEG quality that lands nearest the target size
    best = None
    for q in range(60, 96):
        out.save(dest, "JPEG", quality=q, optimize=True, progressive=False)
        size = os.path.getsize(dest)
        if best is None or abs(size - TARGET_BYTES) < abs(best[1] - TARGET_BYTES):
            best = (q, size)
    out.save(dest, "JPEG", quality=best[0], optimize=True)
    print(dest, "quality", best[0], os.path.getsize(dest), "bytes")


if __name__ == "__main__":
    main()
