"""Small numpy drawing kit used by make_art.py.

Everything is drawn into float RGBA layers with *premultiplied* alpha
(values 0..1).  Shapes are anti-aliased either from signed distance
fields (rounded rectangles, circles, rings) or by 4x supersampling
through PIL (polygons, glyphs, text).  `to_image` converts back to
straight alpha for PNG/BMP output and bleeds colour into fully
transparent pixels so that scaled drawing never shows dark fringes.
"""
import numpy as np
from PIL import Image, ImageDraw, ImageFont

SS = 4  # supersampling factor for PIL-drawn masks

# Every measure the drawing code passes is in units: pixels at 100 %.  An image drawn for another
# display scale has px(size) pixels a side and the same shapes, so it is sharp at that scale rather
# than a stretched copy.  At 100 % every path below reduces to the plain pixel arithmetic, so the
# images that scale has always had come out byte for byte the same.
PERCENT = 100
SCALE = 1.0


def set_scale(percent):
    global PERCENT, SCALE
    PERCENT, SCALE = percent, percent / 100.0


def px(units):
    """Pixels of a length in units at the current scale, rounded like Windows' MulDiv."""
    if PERCENT == 100:
        return int(units)
    if float(units).is_integer():
        return (int(units) * PERCENT + 50) // 100
    return int(np.floor(units * SCALE + 0.5))

FONT_DIRS = ["/usr/share/fonts/truetype/dejavu/", "/usr/share/fonts/truetype/liberation2/",
             "/usr/share/fonts/truetype/liberation/"]


def font(name, size):
    for d in FONT_DIRS:
        try:
            return ImageFont.truetype(d + name, int(round(size)))
        except OSError:
            pass
    raise SystemExit("font not found: " + name)


# ----------------------------------------------------------------- colours
def rgb(c):
    """'#rrggbb' or (r,g,b) 0..255 -> float array 0..1."""
    if isinstance(c, np.ndarray):
        return c.astype(np.float32)
    if isinstance(c, str):
        c = c.lstrip("#")
        c = tuple(int(c[i:i + 2], 16) for i in (0, 2, 4))
    return np.array(c[:3], dtype=np.float32) / 255.0


def mix(a, b, t):
    return rgb(a) * (1 - t) + rgb(b) * t


# ----------------------------------------------------------------- layers
class Layer:
    """A premultiplied RGBA float canvas."""

    def __init__(self, w, h, fill=None):
        self.uw, self.uh = w, h          # size in units
        self.w, self.h = px(w), px(h)    # size in pixels
        self.a = np.zeros((self.h, self.w, 4), np.float32)
        if fill is not None:
            self.a[..., :3] = rgb(fill)
            self.a[..., 3] = 1.0

    # coordinates of pixel centres
    def grid(self):
        y, x = np.mgrid[0:self.h, 0:self.w].astype(np.float32)
        if PERCENT == 100:
            return x + 0.5, y + 0.5
        return (x + 0.5) / np.float32(SCALE), (y + 0.5) / np.float32(SCALE)

    def paint(self, mask, colour, opacity=1.0):
        """Composite `colour` (rgb, or HxWx3 array) through coverage `mask` (HxW)."""
        m = np.clip(mask, 0, 1).astype(np.float32) * opacity
        col = colour if isinstance(colour, np.ndarray) and colour.ndim == 3 else rgb(colour) if not isinstance(colour, np.ndarray) else colour
        src = np.empty_like(self.a)
        src[..., :3] = col * m[..., None]
        src[..., 3] = m
        self.over(src)

    def over(self, src):
        src = src.a if isinstance(src, Layer) else src
        self.a = src + self.a * (1 - src[..., 3:4])

    def erase(self, mask):
        """Cut coverage out (destination-out)."""
        self.a *= (1 - np.clip(mask, 0, 1))[..., None]

    def copy(self):
        n = Layer(self.uw, self.uh)
        n.a = self.a.copy()
        return n

    def alpha(self):
        return self.a[..., 3]


# ----------------------------------------------------------------- masks
def cov(sdf):
    """Coverage of a shape from its signed distance in units (negative inside)."""
    if PERCENT == 100:
        return np.clip(0.5 - sdf, 0.0, 1.0)
    return np.clip(0.5 - sdf * np.float32(SCALE), 0.0, 1.0)


def unit_line(d):
    """Coverage of a line one unit wide centred where d is 0, anti-aliased over one pixel."""
    if PERCENT == 100:
        return np.clip(1 - np.abs(d), 0, 1)
    return np.clip(0.5 + (0.5 - np.abs(d)) * np.float32(SCALE), 0, 1)


def ugrad(a, axis):
    """Change of `a` per unit along an axis of the pixel grid."""
    if PERCENT == 100:
        return np.gradient(a, axis=axis)
    return np.gradient(a, axis=axis) * np.float32(SCALE)


def sdf_rrect(x, y, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = np.abs(x - cx) - hx, np.abs(y - cy) - hy
    out = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0))
    return out + np.minimum(np.maximum(qx, qy), 0) - r


def sdf_circle(x, y, cx, cy, r):
    return np.hypot(x - cx, y - cy) - r


def rrect(L, x0, y0, x1, y1, r):
    x, y = L.grid()
    return cov(sdf_rrect(x, y, x0, y0, x1, y1, r))


def circle(L, cx, cy, r):
    x, y = L.grid()
    return cov(sdf_circle(x, y, cx, cy, r))


def ring(L, cx, cy, r0, r1):
    x, y = L.grid()
    d = np.hypot(x - cx, y - cy)
    if PERCENT == 100:
        return np.clip(0.5 - (r0 - d), 0, 1) * np.clip(0.5 - (d - r1), 0, 1)
    return cov(r0 - d) * cov(d - r1)


def drawn(w, h, fn):
    """Coverage mask of a w x h unit area from PIL drawing at SS x the pixel size.
    fn(draw, s) gets the pixels per unit of the drawing."""
    pw, ph = px(w), px(h)
    im = Image.new("L", (pw * SS, ph * SS), 0)
    fn(ImageDraw.Draw(im), SS if PERCENT == 100 else SS * SCALE)
    im = im.resize((pw, ph), Image.BOX)
    return np.asarray(im, np.float32) / 255.0


def poly(w, h, pts):
    return drawn(w, h, lambda d, s: d.polygon([(x * s, y * s) for x, y in pts], fill=255))


def text_mask(w, h, x, y, txt, fnt_name, size, anchor="la"):
    f = font(fnt_name, size * SS if PERCENT == 100 else size * SS * SCALE)
    return drawn(w, h, lambda d, s: d.text((x * s, y * s), txt, font=f, fill=255, anchor=anchor))


def text_width(txt, fnt_name, size):
    f = font(fnt_name, size * SS)
    l, t, r, b = f.getbbox(txt)
    return (r - l) / SS


# ----------------------------------------------------------------- gradients
def vgrad(L, stops, y0=0.0, y1=None):
    """Vertical gradient array HxWx3 from list of (t, colour), y in units."""
    y1 = L.uh if y1 is None else y1
    _, y = L.grid()
    t = np.clip((y - y0) / max(y1 - y0, 1e-6), 0, 1)
    return ramp(t, stops)


def ramp(t, stops):
    ts = np.array([s[0] for s in stops], np.float32)
    cs = np.stack([rgb(s[1]) for s in stops])
    out = np.empty(t.shape + (3,), np.float32)
    for k in range(3):
        out[..., k] = np.interp(t, ts, cs[:, k])
    return out


# ----------------------------------------------------------------- filters
def gauss1d(sigma):
    r = max(1, int(3 * sigma + 0.5))
    k = np.exp(-0.5 * (np.arange(-r, r + 1) / sigma) ** 2)
    return k / k.sum(), r


def blur(a, sigma, wrap=False):
    """Separable gaussian blur of a 2-D (or HxWxC) array."""
    if sigma <= 0:
        return a.copy()
    k, r = gauss1d(sigma)
    out = a.astype(np.float32)
    for axis in (0, 1):
        if wrap:
            acc = np.zeros_like(out)
            for i, kv in enumerate(k):
                acc += kv * np.roll(out, i - r, axis=axis)
        else:
            pad = [(0, 0)] * out.ndim
            pad[axis] = (r, r)
            p = np.pad(out, pad, mode="constant")
            acc = np.zeros_like(out)
            n = out.shape[axis]
            for i, kv in enumerate(k):
                sl = [slice(None)] * out.ndim
                sl[axis] = slice(i, i + n)
                acc += kv * p[tuple(sl)]
        out = acc
    return out


def ublur(a, sigma):
    """Gaussian blur of a mask by sigma units."""
    return blur(a, sigma if PERCENT == 100 else sigma * SCALE)


def ushift(a, dx, dy):
    """Shift a mask by whole units, as whole pixels at the current scale."""
    return shift(a, px(dx), px(dy)) if PERCENT != 100 else shift(a, dx, dy)


def shift(a, dx, dy):
    """Shift a 2-D array by whole pixels, filling with zeros."""
    out = np.zeros_like(a)
    h, w = a.shape[:2]
    ys, yd = (slice(0, h - dy), slice(dy, h)) if dy >= 0 else (slice(-dy, h), slice(0, h + dy))
    xs, xd = (slice(0, w - dx), slice(dx, w)) if dx >= 0 else (slice(-dx, w), slice(0, w + dx))
    out[yd, xd] = a[ys, xs]
    return out


def sample(a, yy, xx):
    """Bilinear lookup of 2-D array `a` at float coordinates (clamped)."""
    h, w = a.shape
    yy = np.clip(yy, 0, h - 1.001)
    xx = np.clip(xx, 0, w - 1.001)
    y0, x0 = yy.astype(int), xx.astype(int)
    fy, fx = yy - y0, xx - x0
    return (a[y0, x0] * (1 - fy) * (1 - fx) + a[y0 + 1, x0] * fy * (1 - fx) +
            a[y0, x0 + 1] * (1 - fy) * fx + a[y0 + 1, x0 + 1] * fy * fx)


def noise(w, h, seed, sigma, wrap=True):
    """Smooth tileable noise in -1..1 over a w x h unit area, grain sigma in units."""
    g = np.random.default_rng(seed).standard_normal((px(h), px(w))).astype(np.float32)
    n = blur(g, sigma if PERCENT == 100 else sigma * SCALE, wrap=wrap)
    return n / (np.abs(n).max() + 1e-6)


def drop_shadow(L, mask, dx, dy, sigma, opacity, colour="#000000"):
    """Paint a soft shadow of `mask` into L (underneath what is painted later)."""
    s = ublur(ushift(mask, dx, dy), sigma) * opacity
    L.paint(s, colour)


# ----------------------------------------------------------------- output
def to_image(L, mode="RGBA", matte=None):
    """Premultiplied float layer -> PIL image.

    RGBA: straight alpha; fully transparent pixels take the colour of their
    surroundings (bleed) so bilinear scaling shows no fringes.
    RGB: composited over `matte` (default black)."""
    a = np.clip(L.a, 0, 1)
    al = a[..., 3]
    if mode == "RGB":
        m = rgb(matte or "#000000")
        out = a[..., :3] + m * (1 - al[..., None])
        return Image.fromarray((np.clip(out, 0, 1) * 255 + 0.5).astype(np.uint8), "RGB")
    col = np.zeros_like(a[..., :3])
    nz = al > 1e-4
    col[nz] = a[..., :3][nz] / al[nz][:, None]
    # bleed: average straight colour of nearby covered pixels
    if (~nz).any() and nz.any():
        pc, pa = a[..., :3].copy(), al.copy()
        for s in (1.5, 4, 12):
            bc, ba = blur(pc, s), blur(pa, s)
            fill = (~nz) & (ba > 1e-4)
            col[fill] = bc[fill] / ba[fill][:, None]
            if fill.sum() == (~nz).sum():
                break
    out = np.dstack([np.clip(col, 0, 1), al])
    im = Image.fromarray((out * 255 + 0.5).astype(np.uint8), "RGBA")
    return im


def save_png(L, path):
    to_image(L).save(path, optimize=True)


def save_bmp(L, path, matte=None):
    to_image(L, "RGB", matte).save(path)
