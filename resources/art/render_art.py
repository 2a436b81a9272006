#!/usr/bin/env python3
"""Draws setloom's "Lumenreach" artwork and writes the ICO/BMP files.

Every shape, gradient and ray of light is computed here from scratch.
ImageMagick's `convert` is used for one job only: turning the word
"Lumenreach" into a grey-scale coverage mask with a locally installed font.
The ICO and BMP containers are written byte by byte with `struct`, so the
output carries no timestamps and is identical on every run.

Usage: render_art.py RESOURCES_DIR
"""
import math
import os
import struct
import subprocess
import sys

# --------------------------------------------------------------------------
# small colour helpers (all colours are RGB tuples of floats in 0..1)


def hexc(s):
    s = s.lstrip("#")
    return tuple(int(s[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(c1, c2, t):
    t = clamp(t)
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def ramp(stops, t):
    """Piecewise-linear colour ramp; stops = [(pos, colour), ...] sorted."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0))
    return stops[-1][1]


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


NAVY_DEEP = hexc("#070c22")
NAVY = hexc("#0e1a44")
BLUE = hexc("#1c3278")
GOLD = hexc("#f4b53f")
GOLD_DEEP = hexc("#d98a1c")
CREAM = hexc("#fff4cf")
WHITE_HOT = hexc("#fffbea")
BRONZE_DARK = hexc("#3b250f")
BRONZE = hexc("#8a5a22")
BRONZE_LIGHT = hexc("#d29a45")
WARM_LIGHT = hexc("#ffcf6a")
RAY_GOLD = hexc("#f2a93b")

# --------------------------------------------------------------------------
# signed distance functions (pixel units; negative inside)


def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_rect(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hw, hh = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r
    return f


def sd_poly(pts):
    n = len(pts)

    def f(x, y):
        best = 1e9
        inside = False
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            d = math.hypot(wx - ex * t, wy - ey * t)
            if d < best:
                best = d
            if (ay > y) != (by > y) and x < ex * (y - ay) / ey + ax:
                inside = not inside
        return -best if inside else best
    return f


def sd_ring(cx, cy, r, thickness):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - thickness / 2.0


def sd_union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def coverage(sdf):
    """Anti-aliased coverage (one-pixel ramp) from a signed distance."""
    return lambda x, y: clamp(0.5 - sdf(x, y))


# --------------------------------------------------------------------------
# canvas with straight (non-premultiplied) RGBA floats


class Canvas:
    def __init__(self, w, h, rgba=(0.0, 0.0, 0.0, 0.0)):
        self.w, self.h = w, h
        self.px = [list(rgba) for _ in range(w * h)]

    def _box(self, bbox):
        if bbox is None:
            return 0, 0, self.w, self.h
        x0, y0, x1, y1 = bbox
        return (max(0, int(math.floor(x0))), max(0, int(math.floor(y0))),
                min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1))))

    def _over(self, p, col, a):
        da = p[3]
        oa = a + da * (1.0 - a)
        if oa <= 0.0:
            return
        k = da * (1.0 - a)
        p[0] = (col[0] * a + p[0] * k) / oa
        p[1] = (col[1] * a + p[1] * k) / oa
        p[2] = (col[2] * a + p[2] * k) / oa
        p[3] = oa

    def fill(self, cov, colour, bbox=None, opacity=1.0):
        """Paint colour (RGB or f(x, y) -> RGB) where cov(x, y) > 0."""
        x0, y0, x1, y1 = self._box(bbox)
        dynamic = callable(colour)
        for y in range(y0, y1):
            py = y + 0.5
            row = y * self.w
            for x in range(x0, x1):
                px = x + 0.5
                a = cov(px, py) * opacity
                if a <= 0.0:
                    continue
                self._over(self.px[row + x], colour(px, py) if dynamic else colour, a)

    def shape(self, sdf, colour, bbox=None, opacity=1.0):
        self.fill(coverage(sdf), colour, bbox, opacity)

    def light(self, fn, bbox=None):
        """Additive light: fn(x, y) -> RGB added to opaque-ish pixels."""
        x0, y0, x1, y1 = self._box(bbox)
        for y in range(y0, y1):
            row = y * self.w
            for x in range(x0, x1):
                p = self.px[row + x]
                if p[3] <= 0.0:
                    continue
                r, g, b = fn(x + 0.5, y + 0.5)
                p[0] = min(1.0, p[0] + r)
                p[1] = min(1.0, p[1] + g)
                p[2] = min(1.0, p[2] + b)

    def tint(self, fn, colour, bbox=None):
        """Blend opaque-ish pixels towards colour by fn(x, y) in 0..1."""
        x0, y0, x1, y1 = self._box(bbox)
        for y in range(y0, y1):
            row = y * self.w
            for x in range(x0, x1):
                p = self.px[row + x]
                if p[3] <= 0.0:
                    continue
                k = fn(x + 0.5, y + 0.5)
                p[0] += (colour[0] - p[0]) * k
                p[1] += (colour[1] - p[1]) * k
                p[2] += (colour[2] - p[2]) * k

    def mask(self, m, ox, oy, colour, opacity=1.0):
        """Paint a Mask at integer offset with colour (RGB or f(x, y))."""
        dynamic = callable(colour)
        for my in range(m.h):
            y = oy + my
            if y < 0 or y >= self.h:
                continue
            for mx in range(m.w):
                a = m.v[my * m.w + mx] * opacity
                x = ox + mx
                if a <= 0.0 or x < 0 or x >= self.w:
                    continue
                col = colour(x + 0.5, y + 0.5) if dynamic else colour
                self._over(self.px[y * self.w + x], col, a)

    def grid(self, rows, palette, ox=0, oy=0):
        """Paint hand-drawn pixel art; '.' leaves the pixel untouched."""
        for gy, line in enumerate(rows):
            for gx, ch in enumerate(line):
                if ch == ".":
                    continue
                x, y = ox + gx, oy + gy
                if 0 <= x < self.w and 0 <= y < self.h:
                    self.px[y * self.w + x] = list(palette[ch]) + [1.0]

    def rgba_bytes(self):
        """Rows top-down, 8-bit RGBA, colour zeroed where fully transparent."""
        out = bytearray()
        for p in self.px:
            a = int(round(clamp(p[3]) * 255))
            if a == 0:
                out += b"\0\0\0\0"
            else:
                out += bytes((int(round(clamp(p[0]) * 255)), int(round(clamp(p[1]) * 255)),
                              int(round(clamp(p[2]) * 255)), a))
        return bytes(out)


# --------------------------------------------------------------------------
# text masks rendered by ImageMagick


class Mask:
    def __init__(self, w, h, v):
        self.w, self.h, self.v = w, h, v

    def trimmed(self):
        xs = [i % self.w for i, a in enumerate(self.v) if a > 0]
        ys = [i // self.w for i, a in enumerate(self.v) if a > 0]
        x0, x1, y0, y1 = min(xs), max(xs) + 1, min(ys), max(ys) + 1
        v = [self.v[y * self.w + x] for y in range(y0, y1) for x in range(x0, x1)]
        return Mask(x1 - x0, y1 - y0, v)

    def padded(self, pad):
        w, h = self.w + 2 * pad, self.h + 2 * pad
        v = [0.0] * (w * h)
        for y in range(self.h):
            v[(y + pad) * w + pad:(y + pad) * w + pad + self.w] = self.v[y * self.w:(y + 1) * self.w]
        return Mask(w, h, v)

    def blurred(self, radius, passes=3):
        """Repeated box blur (close to a Gaussian); same size as input."""
        w, h, v = self.w, self.h, list(self.v)
        n = 2 * radius + 1
        for _ in range(passes):
            t = [0.0] * (w * h)
            for y in range(h):
                row = v[y * w:(y + 1) * w]
                for x in range(w):
                    s = 0.0
                    for k in range(x - radius, x + radius + 1):
                        if 0 <= k < w:
                            s += row[k]
                    t[y * w + x] = s / n
            v = [0.0] * (w * h)
            for x in range(w):
                for y in range(h):
                    s = 0.0
                    for k in range(y - radius, y + radius + 1):
                        if 0 <= k < h:
                            s += t[k * w + x]
                    v[y * w + x] = s / n
        return Mask(w, h, v)


FONT_CANDIDATES = {
    "bold": ["/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"],
    "condbold": ["/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
                 "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"],
}
FALLBACK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


def font_path(kind):
    for p in FONT_CANDIDATES[kind] + [FALLBACK_FONT]:
        if os.path.exists(p):
            return p
    sys.exit("render_art: no usable font found (install fonts-dejavu or fonts-wqy-microhei)")


def read_pgm(data):
    tokens, pos = [], 0
    while len(tokens) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        tokens.append(data[start:pos])
    pos += 1
    if tokens[0] != b"P5" or int(tokens[3]) != 255:
        raise ValueError("unexpected PGM output from convert")
    w, h = int(tokens[1]), int(tokens[2])
    raw = data[pos:pos + w * h]
    return Mask(w, h, [b / 255.0 for b in raw])


def text_mask(text, size, kind="bold", kerning=0):
    cmd = ["convert", "-background", "black", "-fill", "white",
           "-font", font_path(kind), "-pointsize", str(size),
           "-kerning", str(kerning), "label:" + text,
           "-colorspace", "Gray", "-depth", "8", "pgm:-"]
    out = subprocess.run(cmd, check=True, stdout=subprocess.PIPE).stdout
    return read_pgm(out).trimmed()


# --------------------------------------------------------------------------
# the Lumenreach motif: a lantern that throws rays of light


def rays(cx, cy, count, sharpness, reach, phase=0.0):
    """Intensity 0..1 of soft god-rays fanning out from (cx, cy)."""
    def f(x, y):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        beam = (0.5 + 0.5 * math.cos(count * (math.atan2(dy, dx) - phase))) ** sharpness
        return beam / (1.0 + (r / reach) ** 2)
    return f


def halo(cx, cy, reach):
    """Round Gaussian glow intensity around (cx, cy)."""
    return lambda x, y: math.exp(-((x - cx) ** 2 + (y - cy) ** 2) / (reach * reach))


def shine(cv, cx, cy, count, sharpness, reach, ray_strength, glow_strength, glow_reach,
          phase=0.0, bbox=None):
    """The Lumenreach light: warm rays tinting the scene plus a hot core."""
    r = rays(cx, cy, count, sharpness, reach, phase)
    g = halo(cx, cy, glow_reach)
    cv.tint(lambda x, y: clamp(ray_strength * r(x, y) + glow_strength * g(x, y)), RAY_GOLD, bbox)
    cv.light(lambda x, y: tuple(c * glow_strength * 0.6 * g(x, y) for c in WARM_LIGHT), bbox)


def draw_lantern(cv, cx, top, s, glow=True):
    """Lantern drawn in a 48-unit design space; (cx, top) is the ring top.

    The figure spans 20*s wide and 36*s tall.  s=1 fits a 48 px icon.
    """
    def X(u):
        return cx + (u - 24.0) * s

    def Y(v):
        return top + (v - 5.0) * s

    bb = (X(11), Y(2), X(37), Y(43))
    metal = lambda x, y: ramp([(0.0, BRONZE_LIGHT), (0.45, BRONZE), (1.0, BRONZE_DARK)],
                              (x - X(14)) / (20 * s))
    ring = sd_ring(X(24), Y(8.2), 2.9 * s, 1.7 * s)
    knob = sd_rect(X(22.2), Y(10.6), X(25.8), Y(12.6), 0.6 * s)
    roof = sd_poly([(X(19.5), Y(12.2)), (X(28.5), Y(12.2)), (X(34), Y(17.2)), (X(14), Y(17.2))])
    eave = sd_rect(X(13.4), Y(16.6), X(34.6), Y(18.6), 0.7 * s)
    gx0, gx1, gy0, gy1 = X(16.2), X(31.8), Y(18.4), Y(34.6)
    pane = sd_rect(gx0, gy0, gx1, gy1, 0.8 * s)
    posts = [sd_rect(X(u0), Y(17.6), X(u1), Y(35.4), 0.5 * s) for u0, u1 in ((14.6, 17.2), (30.8, 33.4))]
    sill = sd_rect(X(13.4), Y(34.4), X(34.6), Y(36.6), 0.7 * s)
    base = sd_poly([(X(15.5), Y(36.2)), (X(32.5), Y(36.2)), (X(30), Y(39.2)), (X(18), Y(39.2))])
    foot = sd_rect(X(17.0), Y(38.8), X(31.0), Y(40.8), 0.6 * s)

    # dark halo around the whole silhouette so it stands out against the rays
    body = sd_union(ring, knob, roof, eave, pane, sill, base, foot, *posts)
    edge = max(0.8, 0.9 * s)
    cv.shape(lambda x, y: body(x, y) - edge, BRONZE_DARK, bb, opacity=0.55)

    cv.shape(ring, BRONZE_LIGHT, bb)
    for piece in (knob, roof, eave):
        cv.shape(piece, metal, bb)
    # glass: hot core fading to amber towards the frame
    gcx, gcy = X(24), Y(27.5)

    def glass(x, y):
        d = math.hypot((x - gcx) / (8.0 * s), (y - gcy) / (9.5 * s))
        return ramp([(0.0, CREAM), (0.45, WARM_LIGHT), (0.8, GOLD), (1.2, GOLD_DEEP)], d)
    cv.shape(pane, glass, bb)
    # flame: a drop shape (circle + pointed top) with an orange fringe
    flame = sd_union(sd_circle(X(24), Y(29.2), 2.6 * s),
                     sd_poly([(X(24), Y(22.0)), (X(26.45), Y(28.4)), (X(21.55), Y(28.4))]))
    cv.shape(lambda x, y: flame(x, y) - 1.1 * s, hexc("#f58a1f"), bb, opacity=0.85)
    cv.shape(flame, lambda x, y: mix(WHITE_HOT, hexc("#ffe08a"), (y - Y(22)) / (10 * s)), bb)
    for piece in posts + [sill, base, foot]:
        cv.shape(piece, metal, bb)
    if glow:
        # a little light spilling back over the metal next to the glass
        g = halo(gcx, gcy, 10 * s)
        cv.light(lambda x, y: tuple(c * 0.18 * g(x, y) for c in WARM_LIGHT), bb)


# --------------------------------------------------------------------------
# application icon


def icon_tile(size, radius, inset):
    cv = Canvas(size, size)
    tile = sd_rect(inset, inset, size - inset, size - inset, radius)
    cv.shape(tile, lambda x, y: ramp([(0.0, BLUE), (0.55, NAVY), (1.0, NAVY_DEEP)], y / size))
    return cv, tile


def app_icon_large(size):
    s = size / 48.0
    cv, tile = icon_tile(size, 9.0 * s, 1.0)
    cx, cy = size / 2.0, 27.5 * s
    shine(cv, cx, cy, 8, 6, 30 * s, 0.7, 0.55, 15 * s, phase=math.pi / 8)
    # a thin bright rim keeps the tile readable on dark desktops
    rim = lambda x, y: abs(tile(x, y) + 0.6) - 0.6
    cv.shape(rim, hexc("#6f8fe0"), opacity=0.35)
    draw_lantern(cv, cx, 5.0 * s, s)
    return cv


APP16 = [
    # 0123456789012345
    "................",  # 0
    "................",  # 1
    ".......oo.......",  # 2
    "......o..o......",  # 3
    ".....mmmmmm.....",  # 4
    "....MMMMMMMM....",  # 5
    ".....mYYYYm.....",  # 6
    ".....mYWWYm.....",  # 7
    ".....mYWWYm.....",  # 8
    ".....mYWWYm.....",  # 9
    ".....mGYYGm.....",  # 10
    "....MMMMMMMM....",  # 11
    ".....dddddd.....",  # 12
    "................",  # 13
    "................",  # 14
    "................",  # 15
]
APP16_COLOURS = {
    "o": hexc("#e0a955"), "m": hexc("#a8702c"), "M": hexc("#cf9442"),
    "d": hexc("#7a4c1c"), "Y": hexc("#ffd465"), "W": hexc("#fffbe6"),
    "G": hexc("#f0a830"),
}


def app_icon_small():
    cv, tile = icon_tile(16, 3.2, 0.0)
    shine(cv, 8.0, 8.5, 4, 8, 9.0, 0.5, 0.5, 6.0, phase=math.pi / 4)
    cv.grid(APP16, APP16_COLOURS)
    return cv


# --------------------------------------------------------------------------
# tab icons (16x16 pixel art, stored as 8-bit palettised icons)

TAB_COLOURS = {
    "K": hexc("#1d2230"),  # outline
    "D": hexc("#3c4456"),  # dark body
    "G": hexc("#6a7488"),  # mid body
    "H": hexc("#a4aec2"),  # highlight
    "L": hexc("#d5dbe6"),  # light
    "b": hexc("#5b8fe8"),  # screen light blue
    "B": hexc("#2d5fc4"),  # screen blue
    "N": hexc("#1a3a86"),  # screen deep blue
    "w": hexc("#e8f1ff"),  # glare
    "y": hexc("#ffd056"),  # gold
    "o": hexc("#f0a030"),  # amber
    "c": hexc("#5cc8f0"),  # sound wave cyan
    "C": hexc("#2b93d6"),  # sound wave blue
    "r": hexc("#e8453c"),  # red button
    "g": hexc("#3fbf5a"),  # green button
    "u": hexc("#3d7ee8"),  # blue button
}

TAB_VIDEO = [
    # 0123456789012345
    "................",  # 0
    "KKKKKKKKKKKKKKKK",  # 1
    "KHHHHHHHHHHHHHHK",  # 2
    "KHKKKKKKKKKKKKGK",  # 3
    "KHKbbbbbbbbbbKGK",  # 4
    "KHKbwwbbbbyybKGK",  # 5
    "KHKbwbBBBByyBKGK",  # 6
    "KHKbBBBBBBBBBKGK",  # 7
    "KHKBBBBBNNBBBKGK",  # 8
    "KHKBBBNNNNNNBKGK",  # 9
    "KHKNNNNNNNNNNKGK",  # 10
    "KHKKKKKKKKKKKKGK",  # 11
    "KGGGGGGGGGGGGGDK",  # 12
    "KKKKKKKDDKKKKKKK",  # 13
    ".....KKDDKK.....",  # 14
    "...KKKKKKKKKK...",  # 15
]

TAB_SOUND = [
    # 0123456789012345
    "................",  # 0
    "......K.........",  # 1
    ".....KK....C....",  # 2
    "....KHK.....C...",  # 3
    "...KHGK......C..",  # 4
    "KKKHGGK..c...C..",  # 5
    "KHHGGGK...c...C.",  # 6
    "KHGGGGK...c...C.",  # 7
    "KHGGGGK...c...C.",  # 8
    "KHGGGGK...c...C.",  # 9
    "KKKDGGK..c...C..",  # 10
    "...KDGK......C..",  # 11
    "....KDK.....C...",  # 12
    ".....KK....C....",  # 13
    "......K.........",  # 14
    "................",  # 15
]

TAB_INPUT = [
    # 0123456789012345
    "................",  # 0
    "................",  # 1
    "................",  # 2
    "..KKKK....KKKK..",  # 3
    ".KHHHHKKKKHHHHK.",  # 4
    "KHGGLGGGGGGGrGGK",  # 5
    "KHGLLLGDDGGuGgGK",  # 6
    "KGGGLGGGGGGGyGGK",  # 7
    "KGGGGGGGGGGGGGGK",  # 8
    "KGGGGDKKKKKDGGGK",  # 9
    "KDGGDK....KDGGDK",  # 10
    ".KDDK......KDDK.",  # 11
    "..KK........KK..",  # 12
    "................",  # 13
    "................",  # 14
    "................",  # 15
]


def pixel_icon(rows):
    cv = Canvas(16, 16)
    cv.grid(rows, TAB_COLOURS)
    return cv


# --------------------------------------------------------------------------
# bitmaps: banner, splash, logo


def gold_text(top, bottom):
    return lambda x, y: ramp([(0.0, CREAM), (0.5, WARM_LIGHT), (1.0, GOLD_DEEP)],
                             (y - top) / float(bottom - top))


def draw_word(cv, m, ox, oy, glow_radius, glow_strength, shadow=True):
    """Gold word with a dark drop shadow and a warm halo."""
    pad = glow_radius * 3 + 2
    halo = m.padded(pad).blurred(glow_radius)
    if shadow:
        cv.mask(m.padded(pad).blurred(max(1, glow_radius // 2)), ox - pad + 1, oy - pad + 2,
                NAVY_DEEP, opacity=0.8)
    for hy in range(halo.h):
        y = oy - pad + hy
        if 0 <= y < cv.h:
            for hx in range(halo.w):
                x = ox - pad + hx
                a = halo.v[hy * halo.w + hx] * glow_strength
                if a > 0 and 0 <= x < cv.w:
                    p = cv.px[y * cv.w + x]
                    p[0] = min(1.0, p[0] + WARM_LIGHT[0] * a)
                    p[1] = min(1.0, p[1] + WARM_LIGHT[1] * a)
                    p[2] = min(1.0, p[2] + WARM_LIGHT[2] * a)
    cv.mask(m, ox, oy, gold_text(oy, oy + m.h))


def stars(cv, count, seed, region, max_alpha):
    """Deterministic sprinkle of faint stars (a tiny LCG, no random module)."""
    x0, y0, x1, y1 = region
    state = seed
    for _ in range(count):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        x = x0 + (state % 10000) / 10000.0 * (x1 - x0)
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        y = y0 + (state % 10000) / 10000.0 * (y1 - y0)
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        r = 0.45 + (state % 100) / 100.0 * 0.5
        a = max_alpha * (0.4 + 0.6 * ((state >> 8) % 100) / 100.0)
        cv.shape(sd_circle(x, y, r), hexc("#dfe7ff"), (x - 2, y - 2, x + 2, y + 2), opacity=a)


def fitted_word(text, max_w, start_size, kind="bold"):
    """Largest point size (stepping down by 1) whose trimmed word fits max_w."""
    size = start_size
    while True:
        m = text_mask(text, size, kind)
        if m.w <= max_w or size <= 6:
            return m
        size -= 1


def fill_all(cv, colour):
    cv.fill(lambda x, y: 1.0, colour)


def banner():
    w, h = 355, 92
    cv = Canvas(w, h, (0.0, 0.0, 0.0, 1.0))
    fill_all(cv, lambda x, y: ramp([(0.0, hexc("#16295e")), (0.4, NAVY), (1.0, NAVY_DEEP)],
                                   0.8 * x / w + 0.2 * y / h))
    stars(cv, 30, 7, (140, 3, 352, 86), 0.45)
    s = 1.75
    lx, top = 50.0, 12.0
    ly = top + 22.5 * s
    shine(cv, lx, ly, 12, 5, 130, 0.55, 0.6, 36, phase=0.1)
    # warm haze along the bottom edge, strongest under the lantern
    cv.light(lambda x, y: tuple(c * 0.30 * smoothstep(h - 26, h, y) * (1 - x / w) ** 1.5
                                for c in GOLD_DEEP))
    draw_lantern(cv, lx, top, s)
    left = 96
    word = fitted_word("Lumenreach", w - left - 14, 44)
    ox = left + (w - left - 14 - word.w) // 2
    oy = (h - word.h) // 2 - 3
    draw_word(cv, word, ox, oy, 4, 0.10)
    # thin gold rule under the word, fading out towards the right edge
    ry = oy + word.h + 8
    x0, x1 = ox, w - 10
    cv.fill(lambda x, y: (1.0 - (x - x0) / (x1 - x0)) ** 1.3 * (0.9 if int(y) == ry else 0.3),
            GOLD, (x0, ry, x1, ry + 2))
    return cv


def splash():
    w = h = 256
    cv = Canvas(w, h, (0.0, 0.0, 0.0, 1.0))
    fill_all(cv, lambda x, y: ramp([(0.0, NAVY_DEEP), (0.45, NAVY), (0.72, hexc("#1f3070")),
                                    (0.86, hexc("#3a2c4e")), (1.0, hexc("#120d1e"))], y / h))
    stars(cv, 60, 1234, (6, 4, 250, 120), 0.6)
    s = 2.9
    cx, top = 128.0, 30.0
    ly = top + 22.5 * s
    shine(cv, cx, ly, 14, 6, 150, 0.6, 0.7, 62, phase=math.pi / 14)
    # the light reaching the ground: a warm band with a bright centre
    cv.light(lambda x, y: tuple(c * 0.55 * math.exp(-((y - 176) / 12.0) ** 2)
                                * math.exp(-((x - cx) / 90.0) ** 2) for c in GOLD))
    draw_lantern(cv, cx, top, s)
    word = fitted_word("Lumenreach", 212, 40)
    ox = (w - word.w) // 2
    oy = 196
    draw_word(cv, word, ox, oy, 3, 0.12)
    # vignette so the corners fall off into deep blue
    def vignette(x, y):
        d = math.hypot((x - 128) / 128.0, (y - 128) / 128.0)
        return clamp((d - 0.9) * 0.9) * 0.85
    cv.fill(vignette, NAVY_DEEP)
    return cv


def logo():
    w, h = 112, 48
    cv = Canvas(w, h, (0.0, 0.0, 0.0, 1.0))
    fill_all(cv, lambda x, y: ramp([(0.0, hexc("#1a2e68")), (0.5, NAVY), (1.0, NAVY_DEEP)],
                                   0.7 * x / w + 0.3 * y / h))
    s = 0.9
    cx, top = 13.5, 7.5
    shine(cv, cx, top + 22.5 * s, 8, 5, 28, 0.6, 0.55, 13, phase=math.pi / 8)
    draw_lantern(cv, cx, top, s)
    left = 27
    word = fitted_word("Lumenreach", w - left - 3, 18, "condbold")
    ox = left + (w - left - 3 - word.w) // 2
    oy = (h - word.h) // 2
    cv.mask(word, ox + 1, oy + 1, NAVY_DEEP, opacity=0.9)
    cv.mask(word, ox, oy, gold_text(oy, oy + word.h))
    return cv


# --------------------------------------------------------------------------
# containers


def and_mask(rgba, w, h):
    """1-bpp AND mask, bottom-up, rows padded to 32 bits; 1 = transparent."""
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            if rgba[(y * w + x) * 4 + 3] < 128:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def dib_32(cv):
    w, h = cv.w, cv.h
    rgba = cv.rgba_bytes()
    xor = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b, a = rgba[(y * w + x) * 4:(y * w + x) * 4 + 4]
            xor += bytes((b, g, r, a))
    mask = and_mask(rgba, w, h)
    hdr = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return hdr + bytes(xor) + mask


def dib_8(cv):
    """8-bpp palettised DIB; palette index 0 is black, used under the mask."""
    w, h = cv.w, cv.h
    rgba = cv.rgba_bytes()
    colours = [(0, 0, 0)]
    index = []
    for i in range(w * h):
        r, g, b, a = rgba[i * 4:i * 4 + 4]
        if a not in (0, 255):
            raise ValueError("8-bit icons must be fully opaque or fully transparent")
        if a == 0:
            index.append(0)
            continue
        c = (r, g, b)
        if c not in colours:
            colours.append(c)
        index.append(colours.index(c))
    if len(colours) > 256:
        raise ValueError("too many colours for an 8-bit icon")
    palette = bytearray()
    for i in range(256):
        r, g, b = colours[i] if i < len(colours) else (0, 0, 0)
        palette += bytes((b, g, r, 0))
    stride = (w + 3) & ~3
    xor = bytearray()
    for y in reversed(range(h)):
        row = bytearray(stride)
        row[:w] = bytes(index[y * w:(y + 1) * w])
        xor += row
    mask = and_mask(rgba, w, h)
    hdr = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 8, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return hdr + bytes(palette) + bytes(xor) + mask


def write_ico(path, images):
    """images: list of (canvas, bits per pixel) in directory order."""
    blobs = [(cv, bpp, dib_32(cv) if bpp == 32 else dib_8(cv)) for cv, bpp in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for cv, bpp, blob in blobs:
        out += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    for _, _, blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


def write_bmp(path, cv):
    """24-bpp bottom-up BMP with a BITMAPINFOHEADER (alpha is discarded)."""
    w, h = cv.w, cv.h
    rgba = cv.rgba_bytes()
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            r, g, b = rgba[(y * w + x) * 4:(y * w + x) * 4 + 3]
            row[x * 3:x * 3 + 3] = bytes((b, g, r))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + pixels)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: render_art.py RESOURCES_DIR")
    out = sys.argv[1]
    write_ico(os.path.join(out, "setloom.ico"),
              [(app_icon_large(48), 32), (app_icon_small(), 32), (app_icon_large(32), 32)])
    write_ico(os.path.join(out, "tab_video.ico"), [(pixel_icon(TAB_VIDEO), 8)])
    write_ico(os.path.join(out, "tab_sound.ico"), [(pixel_icon(TAB_SOUND), 8)])
    write_ico(os.path.join(out, "tab_input.ico"), [(pixel_icon(TAB_INPUT), 8)])
    write_bmp(os.path.join(out, "logo.bmp"), logo())
    write_bmp(os.path.join(out, "banner.bmp"), banner())
    write_bmp(os.path.join(out, "splash.bmp"), splash())


if __name__ == "__main__":
    main()
