#!/usr/bin/env python3
"""Draw the bitmaps of the "Lagoon" and "Cove" themes and the default user picture.

    python3 tools/theme-art/make_theme.py [output-home-dir]

Lagoon goes to themes/default of the repository that holds this script
(<home>/theme/Lagoon/*.bmp and <home>/settings/user.bmp), Cove to themes/cove
(<home>/theme/Cove/*.bmp); a given output home takes both.  Standard library only, no randomness: every run
writes the same bytes.
"""

import math
import os
import struct
import sys

KEY = (255, 0, 255)  # the shell cuts away exactly this colour
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


# --------------------------------------------------------------- colour maths

def lerp(a, b, t, n):
    """Integer step t of n from a to b, rounded half up."""
    if n <= 0:
        return a
    return a + ((b - a) * t * 2 + n) // (2 * n)


def mix(c0, c1, t, n=255):
    return (lerp(c0[0], c1[0], t, n), lerp(c0[1], c1[1], t, n),
            lerp(c0[2], c1[2], t, n))


# ---------------------------------------------------------------------- image

class Image:
    """RGB raster; with alpha=True it also keeps straight alpha (for icons)."""

    def __init__(self, w, h, color=BLACK, alpha=False):
        self.w, self.h = w, h
        self.px = [color] * (w * h)
        self.a = [0] * (w * h) if alpha else None
        self.cut = set()  # pixels deliberately set to KEY

    def inside(self, x, y):
        return 0 <= x < self.w and 0 <= y < self.h

    def get(self, x, y):
        return self.px[y * self.w + x]

    def put(self, x, y, c):
        if self.inside(x, y):
            i = y * self.w + x
            self.px[i] = c
            if self.a is not None:
                self.a[i] = 255

    def blend(self, x, y, c, a):
        """Paint c over the pixel with coverage a (0..255)."""
        if a <= 0 or not self.inside(x, y):
            return
        if a >= 255:
            self.put(x, y, c)
            return
        i = y * self.w + x
        if self.a is None:
            self.px[i] = mix(self.px[i], c, a)
            return
        da = self.a[i] * (255 - a) // 255  # what still shows of the old pixel
        oa = a + da
        old = self.px[i]
        self.px[i] = tuple((c[k] * a + old[k] * da + oa // 2) // oa
                           for k in range(3))
        self.a[i] = oa

    def rect(self, x, y, w, h, c):
        for yy in range(max(y, 0), min(y + h, self.h)):
            for xx in range(max(x, 0), min(x + w, self.w)):
                self.put(xx, yy, c)

    def vgrad(self, x, y, w, h, top, bottom):
        for i in range(h):
            self.rect(x, y + i, w, 1, mix(top, bottom, i, h - 1))

    def copy(self):
        out = Image(self.w, self.h)
        out.px = list(self.px)
        out.a = list(self.a) if self.a is not None else None
        out.cut = set(self.cut)
        return out

    def crop(self, x, y, w, h):
        out = Image(w, h)
        for yy in range(h):
            for xx in range(w):
                out.px[yy * w + xx] = self.get(x + xx, y + yy)
        return out

    def column(self, x):
        return [self.get(x, y) for y in range(self.h)]


def write_bmp(path, img):
    """24-bit bottom-up BI_RGB file, as LoadImage(LR_LOADFROMFILE) wants."""
    for y in range(img.h):
        for x in range(img.w):
            is_key = img.get(x, y) == KEY
            if is_key != ((x, y) in img.cut):
                raise ValueError('%s: stray key colour at %d,%d' % (path, x, y))
    stride = (img.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(img.h - 1, -1, -1):
        row = bytearray()
        for x in range(img.w):
            r, g, b = img.get(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        data += row
    info = struct.pack('<IiiHHIIiiII', 40, img.w, img.h, 1, 24, 0,
                       len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0,
                       14 + len(info))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(head + info + data)


# ----------------------------------------------------------- shapes (as SDFs)
# Signed distance in pixels, negative inside; pixel centres sit at +0.5.
# Only +, *, sqrt are used so results are identical everywhere.

def rbox(x0, y0, x1, y1, r=0):
    """Rectangle between pixel edges; r is a radius or (tl, tr, br, bl)."""
    rs = r if isinstance(r, tuple) else (r, r, r, r)
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2, (y1 - y0) / 2

    def f(x, y):
        dx, dy = x - cx, y - cy
        if dy < 0:
            rr = rs[0] if dx < 0 else rs[1]
        else:
            rr = rs[3] if dx < 0 else rs[2]
        qx, qy = abs(dx) - hx + rr, abs(dy) - hy + rr
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.sqrt(ox * ox + oy * oy) + min(max(qx, qy), 0.0) - rr
    return f


def circle(cx, cy, r):
    return lambda x, y: math.sqrt((x - cx) ** 2 + (y - cy) ** 2) - r


def ring_shape(cx, cy, r, w):
    """Circle outline of radius r, stroke w."""
    return lambda x, y: abs(math.sqrt((x - cx) ** 2 + (y - cy) ** 2) - r) - w / 2


def capsule(ax, ay, bx, by, r):
    vx, vy = bx - ax, by - ay
    vv = vx * vx + vy * vy

    def f(x, y):
        t = min(max(((x - ax) * vx + (y - ay) * vy) / vv, 0.0), 1.0)
        dx, dy = x - ax - vx * t, y - ay - vy * t
        return math.sqrt(dx * dx + dy * dy) - r
    return f


def polygon(points):
    """Convex polygon, points clockwise on screen (y down)."""
    edges = []
    for i, (ax, ay) in enumerate(points):
        bx, by = points[(i + 1) % len(points)]
        nx, ny = by - ay, ax - bx  # outward normal for this winding
        ln = math.sqrt(nx * nx + ny * ny)
        edges.append((ax, ay, nx / ln, ny / ln))

    def f(x, y):
        return max((x - ax) * nx + (y - ay) * ny for ax, ay, nx, ny in edges)
    return f


def rotated(f, cx, cy, c, s):
    """Shape f turned about (cx, cy) by the angle with cosine c, sine s."""
    return lambda x, y: f(cx + (x - cx) * c + (y - cy) * s,
                          cy - (x - cx) * s + (y - cy) * c)


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def cut_out(f, g):
    return lambda x, y: max(f(x, y), -g(x, y))


def intersect(f, g):
    return lambda x, y: max(f(x, y), g(x, y))


def grow(f, d):
    return lambda x, y: f(x, y) - d


def shift(f, dx, dy):
    return lambda x, y: f(x - dx, y - dy)


def rows(y0, y1):
    """Band of whole pixel rows y0..y1-1."""
    return lambda x, y: max(y0 - y, y - y1)


def cover(d):
    """Coverage 0..255 of a pixel whose centre is at distance d."""
    return int(min(max(0.5 - d, 0.0), 1.0) * 255 + 0.5)


def paint(img, f, color, alpha=255, box=None, aa=True):
    """Fill shape f with a colour or a colour function of (x, y)."""
    x0, y0, x1, y1 = box or (0, 0, img.w, img.h)
    for y in range(max(y0, 0), min(y1, img.h)):
        for x in range(max(x0, 0), min(x1, img.w)):
            d = f(x + 0.5, y + 0.5)
            a = cover(d) if aa else (255 if d <= 0 else 0)
            if a:
                c = color(x, y) if callable(color) else color
                img.blend(x, y, c, a * alpha // 255)


def compose(dst, src, f, box=None):
    """Copy src onto dst through the soft mask of shape f."""
    x0, y0, x1, y1 = box or (0, 0, dst.w, dst.h)
    for y in range(max(y0, 0), min(y1, dst.h)):
        for x in range(max(x0, 0), min(x1, dst.w)):
            dst.blend(x, y, src.get(x, y), cover(f(x + 0.5, y + 0.5)))


def bevel_box(dst, x0, y0, x1, y1, r, border, top, bottom,
              light=None, dark=None):
    """Rounded box: 1px border, vertical gradient, 1px inner top/bottom lines.

    Edges are blended into whatever dst already holds, so corners melt into
    the surface the face is copied onto."""
    inner = Image(dst.w, dst.h)
    inner.vgrad(x0 + 1, y0 + 1, x1 - x0 - 2, y1 - y0 - 2, top, bottom)
    if light:
        inner.rect(x0 + 1, y0 + 1, x1 - x0 - 2, 1, light)
    if dark:
        inner.rect(x0 + 1, y1 - 2, x1 - x0 - 2, 1, dark)
    rs = r if isinstance(r, tuple) else (r, r, r, r)
    face = Image(dst.w, dst.h, border)
    box = (x0, y0, x1, y1)
    compose(face, inner, rbox(x0 + 1, y0 + 1, x1 - 1, y1 - 1,
                              tuple(max(v - 1, 0) for v in rs)), box)
    compose(dst, face, rbox(x0, y0, x1, y1, rs), box)


def hline_soft(img, x0, x1, y, color, fade=12, alpha=255):
    """Horizontal line that fades out over `fade` px at both ends."""
    for x in range(x0, x1):
        edge = min(x - x0 + 1, x1 - x, fade)
        img.blend(x, y, color, alpha * edge // fade)


def pixels(img, art, ox, oy, palette, alpha=255):
    """Draw a glyph given as strings; '.' is transparent."""
    for j, line in enumerate(art):
        for i, ch in enumerate(line):
            if ch != '.':
                img.blend(ox + i, oy + j, palette[ch], alpha)


# ------------------------------------------------------------------- palette
# Light comes from the top left everywhere: highlights on top, shade below.

OUTLINE = (6, 34, 52)          # outer edge of the menu
ACCENT = (244, 146, 58)        # warm accent used sparingly
ACCENT_DK = (196, 98, 38)

TB_HILITE = (104, 182, 204)    # taskbar top line
TB_TOP, TB_BOT = (40, 124, 154), (12, 58, 86)

HEAD_HILITE = (128, 204, 222)
HEAD_TOP, HEAD_BOT = (44, 138, 166), (12, 66, 98)
FRAME = (20, 90, 120)          # menu sides next to the columns
LEFT_BG = WHITE
RIGHT_L, RIGHT_R = (232, 243, 249), (214, 232, 243)
COL_DIV = (188, 210, 224)
BAND_HILITE = (86, 166, 192)
BAND_TOP, BAND_BOT = (30, 110, 140), (12, 58, 86)
SEP_DARK, SEP_LIGHT = (180, 204, 220), WHITE

# highlight bar behind WHITE text (pressed menu items)
HL_BORDER, HL_TOP, HL_BOT, HL_LIGHT = (
    (18, 66, 136), (66, 142, 212), (28, 90, 168), (132, 192, 240))

# glyph colours
GLYPH = {
    'k': (28, 44, 70),     # outline
    'w': WHITE,
    'l': (226, 232, 240),
    'g': (186, 196, 210),
    'G': (120, 134, 154),
    'c': (156, 218, 248),
    'b': (52, 140, 214),
    'B': (24, 86, 168),
    'y': (252, 204, 96),
    'Y': (226, 160, 54),
    'h': (255, 236, 176),
    'd': (52, 60, 78),
    'D': (92, 104, 124),
    'p': (234, 196, 96),
    'P': (178, 132, 44),
    'o': ACCENT,
    't': (46, 170, 160),
}


# ----------------------------------------------------------- shell geometry
# Each theme mirrors its theme file: where the shell copies each face from and where it
# puts it. Change them together.

class Geometry:
    def __init__(self, **values):
        self.__dict__.update(values)


TASKBAR = dict(
    TB_H=30,
    TB_BTN_Y=3, TB_BTN_H=24,
    START_CX=100, CLOCK_CX=80,
    NOTIFY_Y=7, NOTIFY_S=16,        # the shell's NotifyIconY and NotifyIconSize
)

# Lagoon.theme, for an 800 x 480 screen: the shell's default layout.
LAGOON = Geometry(
    NAME='Lagoon', HOME='default', **TASKBAR,
    MENU_W=400, MENU_H=390,
    HEAD_H=64,                      # header rows 0..63, accent line 64..65
    BODY_Y0=66, BODY_Y1=348,        # the two columns
    BAND_Y0=348,                    # bottom band 348..389
    LEFT_X0=4, LEFT_X1=199,
    RIGHT_X0=201, RIGHT_X1=396,
    MENU_R=8,                       # top corner radius
    MAIN_X=8, MAIN_Y0=73, MAIN_DY=40, MAIN_W=186, MAIN_H=36,
    ALLP_X=8, ALLP_Y=320, ALLP_W=186, ALLP_H=24,
    SIDE_X=207, SIDE_W=186, SIDE_H=24,
    SIDE_Y=(73, 101, 129, 157, 193, 221, 257, 293),
    SEPARATOR_Y=(187, 251, 287),
    EXIT_X=276, EXIT_Y=354, EXIT_W=122, EXIT_H=30,
    PIC_X=8, PIC_Y=8, PIC_S=48,
)

# Cove.theme, for a 480 x 320 screen: the menu of 320 x 288 stands above the bar whole,
# All Programs moves into the bottom band beside the exit button.
COVE = Geometry(
    NAME='Cove', HOME='cove', **TASKBAR,
    MENU_W=320, MENU_H=288,
    HEAD_H=40,
    BODY_Y0=42, BODY_Y1=256,
    BAND_Y0=256,
    LEFT_X0=4, LEFT_X1=159,
    RIGHT_X0=161, RIGHT_X1=316,
    MENU_R=8,
    MAIN_X=6, MAIN_Y0=46, MAIN_DY=34, MAIN_W=151, MAIN_H=34,
    ALLP_X=6, ALLP_Y=261, ALLP_W=140, ALLP_H=22,
    SIDE_X=163, SIDE_W=151, SIDE_H=22,
    SIDE_Y=(46, 70, 94, 118, 148, 172, 202, 232),
    SEPARATOR_Y=(143, 197, 227),
    EXIT_X=196, EXIT_Y=260, EXIT_W=122, EXIT_H=24,
    PIC_X=6, PIC_Y=4, PIC_S=32,
)

G = LAGOON  # the theme being drawn


def taskbar_col(y):
    return TB_HILITE if y == 0 else mix(TB_TOP, TB_BOT, y - 1, G.TB_H - 2)


def header_col(y):
    return HEAD_HILITE if y == 1 else mix(HEAD_TOP, HEAD_BOT, y - 2, G.HEAD_H - 3)


def band_col(y):
    if y == G.BAND_Y0:
        return BAND_HILITE
    if y >= G.MENU_H - 1:
        return OUTLINE
    return mix(BAND_TOP, BAND_BOT, y - G.BAND_Y0 - 1, G.MENU_H - G.BAND_Y0 - 3)


def right_col(x):
    return mix(RIGHT_L, RIGHT_R, x - G.RIGHT_X0, G.RIGHT_X1 - G.RIGHT_X0 - 1)


# ------------------------------------------------------------------- glyphs

FONT = {  # bold lower case for the start button; rows end on the baseline
    's': [".####.",
          "##..##",
          "###...",
          ".####.",
          "...###",
          "##..##",
          ".####."],
    't': [".##..",
          ".##..",
          "#####",
          ".##..",
          ".##..",
          ".##..",
          ".##..",
          ".##..",
          "..###"],
    'a': [".####.",
          "....##",
          ".#####",
          "##..##",
          "##..##",
          "##.###",
          ".###.#"],
    'r': ["##.##",
          "####.",
          "###..",
          "##...",
          "##...",
          "##...",
          "##..."],
}

Z_MARK = ["########",
          "########",
          ".....##.",
          "....##..",
          "...##...",
          "..##....",
          "########",
          "########"]


def text(img, word, x, baseline, color, shadow=None):
    for ch in word:
        art = FONT[ch]
        top = baseline - len(art) + 1
        if shadow:
            pixels(img, [l.replace('#', 's') for l in art], x + 1, top + 1,
                   {'s': shadow[0]}, shadow[1])
        pixels(img, [l.replace('#', 'w') for l in art], x, top, {'w': color})
        x += len(art[0]) + 1
    return x


def text_width(word):
    return sum(len(FONT[ch][0]) + 1 for ch in word) - 1


GLYPH_MONITOR = [
    ".kkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwlk",
    "kwBBBBBBBBBBBBgk",
    "kwBccbbbbbbbbBgk",
    "kwBcbbbbbbbbbBgk",
    "kwBbbbbbbbbbbBgk",
    "kwBbbbbbbbbbbBgk",
    "kwBbbbbbbbbbBBgk",
    "kwBbbbbbbbbBBBgk",
    "kwBBBBBBBBBBBBgk",
    "klggggggggggggGk",
    ".kkkkkkkkkkkkkk.",
    "......kggk......",
    "...kkkkkkkkkk...",
    "...kwllllllgGk..",
    "...kkkkkkkkkkk..",
]

GLYPH_CHIP = [
    "................",
    "................",
    "..p.p.p.p.p.p...",
    "..P.P.P.P.P.P...",
    ".kkkkkkkkkkkkk..",
    ".kDDDDDDDDDDDk..",
    ".kDggddddddddk..",
    ".kDggddddddddk..",
    ".kDddddddddddk..",
    ".kDdddddddddGk..",
    ".kDddddddddGGk..",
    ".kkkkkkkkkkkkk..",
    "..p.p.p.p.p.p...",
    "..P.P.P.P.P.P...",
    "................",
    "................",
]

GLYPH_SDCARD = [
    "................",
    "..kkkkkkkk......",
    "..kbbbbbbbk.....",
    "..kbpbpbpbbk....",
    "..kbpbpbpbpbk...",
    "..kbPbPbPbPbk...",
    "..kbbbbbbbbbk...",
    "..kbwwwwwwwbk...",
    "..kbwGGGGGwbk...",
    "..kbwwwwwwwbk...",
    "..kbwGGGwwwbk...",
    "..kbwwwwwwwbk...",
    "..kbbbbbbbbbk...",
    "..kBBBBBBBBBk...",
    "..kkkkkkkkkkk...",
    "................",
]

GLYPH_FOLDER = [
    "................",
    ".kkkkk..........",
    "kYYYYYk.........",
    "kYYYYYYkkkkkkkk.",
    "kYYkkkkkkkkkkYk.",
    "kYkwwwwwwwwwkYk.",
    "kYkwGGGGGGwwkYk.",
    "kYkwwwwwwwwwkYk.",
    "kkkkkkkkkkkkkkkk",
    "khhhhhhhhhhhhhyk",
    "khyyyyyyyyyyyyyk",
    "khyyyyyyyyyyyyyk",
    "khyyyyyyyyyyyyyk",
    "kyyyyyyyyyyyyyYk",
    ".kkkkkkkkkkkkkk.",
    "................",
]

GLYPH_KEYBOARD = [
    "................",
    "................",
    "................",
    ".kkkkkkkkkkkkk..",
    "kGGGGGGGGGGGGGk.",
    "kGwwDwwDwwDwwGk.",
    "kGDDDDDDDDDDDGk.",
    "kGDwwDwwDwwDDGk.",
    "kGDDDDDDDDDDDGk.",
    "kGwwDwwwwwDwwGk.",
    "kGDDDDDDDDDDDGk.",
    "kDDDDDDDDDDDDDk.",
    ".kkkkkkkkkkkkk..",
    "................",
    "................",
    "................",
]


GLYPH_RUN = [
    "................",
    ".kkkkkkkkkkkkkk.",
    "kbbbbbbbbbbbbbbk",
    "kBBBBBBBBBBwBwBk",
    "kkkkkkkkkkkkkkkk",
    "kddddddddddddddk",
    "kdwddddddddddddk",
    "kddwdddddddddddk",
    "kdddwddddddddddk",
    "kddwdddddddddddk",
    "kdwdddddoooodddk",
    "kddddddddddddddk",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
    "................",
]


def glyph_gear(img, ox, oy):
    cx, cy = ox + 8, oy + 8
    h = math.sqrt(3) / 2
    tooth = rbox(cx - 1.5, cy - 7.5, cx + 1.5, cy + 7.5, 0.6)
    body = union(circle(cx, cy, 5.2), tooth,
                 rotated(tooth, cx, cy, 0.5, h), rotated(tooth, cx, cy, 0.5, -h))
    gear = cut_out(body, circle(cx, cy, 2.1))
    box = (ox - 1, oy - 1, ox + 17, oy + 17)
    paint(img, grow(gear, 1.0), GLYPH['k'], box=box)
    paint(img, gear, lambda x, y: mix((214, 224, 234), (112, 128, 150),
                                      (x - ox) + (y - oy), 30), box=box)


def glyph_wrench(img, ox, oy):
    s = math.sqrt(0.5)
    hx, hy = ox + 11.0, oy + 5.0
    head = circle(hx, hy, 4.4)
    # open jaw pointing up-right, along the handle's axis
    slot = rotated(rbox(hx - 2.0, hy - 7, hx + 2.0, hy + 0.5), hx, hy, s, s)
    handle = capsule(ox + 3.2, oy + 12.8, hx - 1, hy + 1, 1.7)
    wrench = union(cut_out(head, slot), handle)
    box = (ox - 1, oy - 1, ox + 17, oy + 17)
    paint(img, grow(wrench, 1.0), GLYPH['k'], box=box)
    paint(img, wrench, lambda x, y: mix((222, 230, 238), (110, 126, 148),
                                        (x - ox) + (y - oy), 30), box=box)
    paint(img, circle(ox + 3.2, oy + 12.8, 0.8), GLYPH['k'], alpha=200, box=box)


def draw_side_glyph(img, i, ox, oy):
    art = [GLYPH_MONITOR, GLYPH_CHIP, GLYPH_SDCARD, GLYPH_FOLDER,
           None, None, GLYPH_KEYBOARD, GLYPH_RUN][i]
    if art:
        pixels(img, art, ox, oy, GLYPH)
    elif i == 4:
        glyph_gear(img, ox, oy)
    else:
        glyph_wrench(img, ox, oy)


def power_symbol(img, cx, cy, r, w, color, alpha=255):
    ring = cut_out(ring_shape(cx, cy, r, w),
                   rbox(cx - w * 1.25, cy - r - w, cx + w * 1.25, cy))
    bar = capsule(cx, cy - r - w / 2 + 0.6, cx, cy - 1.2, w / 2)
    box = (int(cx - r - w - 2), int(cy - r - w - 2), int(cx + r + w + 3), int(cy + r + w + 3))
    paint(img, union(ring, bar), color, alpha=alpha, box=box)


def arrow_disc(img, cx, cy):
    box = (int(cx) - 10, int(cy) - 10, int(cx) + 11, int(cy) + 11)
    disc = circle(cx, cy, 7.5)
    paint(img, shift(disc, 0.8, 0.8), (0, 30, 60), alpha=60, box=box)
    paint(img, disc, lambda x, y: mix((252, 176, 92), ACCENT_DK,
                                      int(y - cy + 8), 16), box=box)
    paint(img, polygon([(cx - 2.2, cy - 4), (cx + 4, cy), (cx - 2.2, cy + 4)]),
          WHITE, box=box)


# ------------------------------------------------------------------- taskbar

def taskbar():
    img = Image(8, G.TB_H)
    for y in range(G.TB_H):
        img.rect(0, y, 8, 1, taskbar_col(y))
    return img


def taskbar_bg(w, y0=0, h=None):
    h = G.TB_H if h is None else h
    img = Image(w, h)
    for y in range(h):
        img.rect(0, y, w, 1, taskbar_col(y0 + y))
    return img


def start_button(pressed):
    img = taskbar_bg(G.START_CX)
    r = (0, 11, 11, 0)
    # soft cast shadow to the right; the face starts off-screen to the left
    paint(img, rbox(-1, 1, 98, 31, r), (0, 20, 36), alpha=110)
    if pressed:
        bevel_box(img, -1, 0, 96, G.TB_H, r, (128, 52, 14),
                  (196, 90, 34), (232, 138, 64), light=(150, 62, 20))
    else:
        bevel_box(img, -1, 0, 96, G.TB_H, r, (150, 64, 20),
                  (250, 170, 84), (210, 100, 38),
                  light=(255, 214, 150), dark=(186, 84, 30))
    d = 1 if pressed else 0
    word = 'start'
    tile = 16
    x = (96 - (tile + 6 + text_width(word))) // 2 + d
    ty = (G.TB_H - tile) // 2 + d
    tile_shape = rbox(x, ty, x + tile, ty + tile, 4)
    paint(img, shift(tile_shape, 1, 1), (120, 46, 10), alpha=110)
    paint(img, tile_shape, lambda px, py: mix((30, 124, 150), (12, 70, 100),
                                              py - ty, tile - 1))
    paint(img, intersect(tile_shape, rows(ty + 1, ty + 2)), (108, 190, 210),
          alpha=200)
    pixels(img, [l.replace('#', 'w') for l in Z_MARK], x + 4, ty + 4, {'w': WHITE})
    text(img, word, x + tile + 6, ty + 12, WHITE, shadow=((110, 44, 8), 170))
    return img


def clock():
    img = taskbar_bg(G.CLOCK_CX)
    # an inset tray: shadow line on top, a lit line just below it
    bevel_box(img, 3, 3, G.CLOCK_CX - 3, 27, 4, (6, 36, 56),
              (10, 52, 76), (18, 76, 104), light=(4, 30, 46))
    hline_soft(img, 5, G.CLOCK_CX - 5, 27, (88, 164, 188), fade=4, alpha=150)
    return img


def task_button(pressed):
    img = taskbar_bg(40, G.TB_BTN_Y, G.TB_BTN_H)
    if pressed:
        bevel_box(img, 0, 0, 40, G.TB_BTN_H, 3, (4, 28, 44),
                  (8, 44, 66), (18, 74, 102), light=(4, 26, 40), dark=ACCENT)
    else:
        bevel_box(img, 0, 0, 40, G.TB_BTN_H, 3, (8, 44, 66),
                  (64, 152, 182), (26, 94, 126),
                  light=(136, 206, 226), dark=(20, 76, 104))
    return img


def split_button(img, left_w):
    """Left cap, one stretchable middle column, 4px right cap."""
    mid = img.column(20)
    for x in range(4, 36):
        assert img.column(x) == mid, 'button middle is not uniform'
    return (img.crop(0, 0, left_w, img.h), img.crop(20, 0, 1, img.h),
            img.crop(img.w - 4, 0, 4, img.h))


def battery(level):
    """The battery's face in the notification area: the gauge at step level (0 empty to 4
    full), or None for the charging face; on the bar's rows where the icon stands."""
    s = G.NOTIFY_S
    img = taskbar_bg(s, G.NOTIFY_Y, s)
    body, inside = rbox(1, 4, 13, 12, 2), rbox(2, 5, 12, 11, 1)
    shape = union(body, rbox(13, 6, 15, 10, (0, 1, 1, 0)))
    paint(img, shift(shape, 1, 1), (0, 20, 36), alpha=110)
    paint(img, inside, (4, 30, 46), alpha=150)
    paint(img, cut_out(shape, inside), ACCENT if level == 0 else WHITE)
    if level:
        paint(img, rbox(3, 6, 3 + 2 * level, 10, 1), ACCENT if level == 1 else GLYPH['c'])
    if level is None:
        bolt = union(polygon([(8.8, 3), (8, 8.6), (4.8, 8.6)]),
                     polygon([(11.2, 7.4), (7.2, 13), (8, 7.4)]))
        paint(img, intersect(grow(bolt, 0.8), shape), (4, 30, 46), alpha=170)
        paint(img, bolt, GLYPH['y'])
    return img


# ---------------------------------------------------------------- start menu

def start_back():
    img = Image(G.MENU_W, G.MENU_H, OUTLINE)
    for y in range(1, G.HEAD_H):
        img.rect(1, y, G.MENU_W - 2, 1, header_col(y))
    # faint ripples: the lagoon motif, kept low so white text stays clear
    for i, rad in enumerate((46, 66, 88, 112)):
        paint(img, ring_shape(G.MENU_W - 20, G.HEAD_H + 22, rad, 1.4), WHITE,
              alpha=26 - 4 * i, box=(G.MENU_W - 180, 1, G.MENU_W - 1, G.HEAD_H))
    img.rect(1, G.HEAD_H, G.MENU_W - 2, 1, ACCENT)
    img.rect(1, G.HEAD_H + 1, G.MENU_W - 2, 1, ACCENT_DK)

    img.rect(1, G.BODY_Y0, G.LEFT_X0 - 1, G.BODY_Y1 - G.BODY_Y0, FRAME)
    img.rect(G.RIGHT_X1, G.BODY_Y0, G.MENU_W - 1 - G.RIGHT_X1, G.BODY_Y1 - G.BODY_Y0, FRAME)
    img.rect(G.LEFT_X0, G.BODY_Y0, G.LEFT_X1 - G.LEFT_X0, G.BODY_Y1 - G.BODY_Y0, LEFT_BG)
    img.rect(G.LEFT_X1, G.BODY_Y0, 1, G.BODY_Y1 - G.BODY_Y0, COL_DIV)
    img.rect(G.LEFT_X1 + 1, G.BODY_Y0, 1, G.BODY_Y1 - G.BODY_Y0, (244, 249, 252))
    for x in range(G.RIGHT_X0, G.RIGHT_X1):
        img.rect(x, G.BODY_Y0, 1, G.BODY_Y1 - G.BODY_Y0, right_col(x))
    # the header casts a short shadow onto the columns
    for i, a in enumerate((40, 16)):
        for x in range(G.LEFT_X0, G.RIGHT_X1):
            img.blend(x, G.BODY_Y0 + i, (0, 40, 70), a)

    for y in G.SEPARATOR_Y:
        hline_soft(img, G.SIDE_X + 4, G.SIDE_X + G.SIDE_W - 4, y, SEP_DARK)
        hline_soft(img, G.SIDE_X + 4, G.SIDE_X + G.SIDE_W - 4, y + 1, SEP_LIGHT)
    if G.ALLP_Y < G.BODY_Y1:  # All Programs in the left column, below the shortcuts
        sep_y = (G.MAIN_Y0 + 5 * G.MAIN_DY + G.MAIN_H + G.ALLP_Y) // 2
        hline_soft(img, G.MAIN_X + 6, G.MAIN_X + G.MAIN_W - 6, sep_y, SEP_DARK)
        hline_soft(img, G.MAIN_X + 6, G.MAIN_X + G.MAIN_W - 6, sep_y + 1, (244, 248, 251))

    for y in range(G.BAND_Y0, G.MENU_H):
        img.rect(1, y, G.MENU_W - 2, 1, band_col(y))

    # a lit plate behind the user picture
    plate = rbox(G.PIC_X - 3, G.PIC_Y - 3, G.PIC_X + G.PIC_S + 3, G.PIC_Y + G.PIC_S + 3, 6)
    box = (0, 0, G.PIC_X + G.PIC_S + 14, G.PIC_Y + G.PIC_S + 14)
    paint(img, shift(plate, 1, 1), (0, 24, 44), alpha=90, box=box)
    paint(img, plate, WHITE, alpha=60, box=box)
    paint(img, lambda x, y: abs(plate(x, y) + 0.5) - 0.5, WHITE, alpha=130, box=box)

    # round the top corners: soften into the outline, then cut outside
    body = img.copy()
    img.rect(0, 0, G.MENU_W, G.MENU_H, OUTLINE)
    r = G.MENU_R - 1
    compose(img, body, rbox(1, 1, G.MENU_W - 1, G.MENU_H - 1, (r, r, 0, 0)))
    outer = rbox(0, 0, G.MENU_W, G.MENU_H, (G.MENU_R, G.MENU_R, 0, 0))
    for y in range(G.MENU_R):
        for x in list(range(G.MENU_R)) + list(range(G.MENU_W - G.MENU_R, G.MENU_W)):
            if outer(x + 0.5, y + 0.5) > 0:
                img.put(x, y, KEY)
                img.cut.add((x, y))
    return img


def side_face(back, i, pressed):
    img = back.crop(G.SIDE_X, G.SIDE_Y[i], G.SIDE_W, G.SIDE_H)
    if pressed:
        bevel_box(img, 0, 0, G.SIDE_W, G.SIDE_H, 3, HL_BORDER, HL_TOP, HL_BOT,
                  light=HL_LIGHT)
    draw_side_glyph(img, i, 7, (G.SIDE_H - 16) // 2)
    return img


def main_face(back, pressed):
    img = back.crop(G.MAIN_X, G.MAIN_Y0, G.MAIN_W, G.MAIN_H)
    if pressed:
        bevel_box(img, 0, 0, G.MAIN_W, G.MAIN_H, 4, HL_BORDER, HL_TOP, HL_BOT,
                  light=HL_LIGHT)
    return img


def all_programs(back, pressed):
    img = back.crop(G.ALLP_X, G.ALLP_Y, G.ALLP_W, G.ALLP_H)
    if pressed:
        bevel_box(img, 0, 0, G.ALLP_W, G.ALLP_H, 3, HL_BORDER, HL_TOP, HL_BOT,
                  light=HL_LIGHT)
    arrow_disc(img, G.ALLP_W - 20.5, G.ALLP_H / 2)
    return img


def exit_button(back, pressed):
    img = back.crop(G.EXIT_X, G.EXIT_Y, G.EXIT_W, G.EXIT_H)
    w, h = G.EXIT_W - 2, G.EXIT_H
    if pressed:
        bevel_box(img, 0, 0, w, h, 5, (60, 14, 10),
                  (122, 32, 24), (166, 56, 40), light=(80, 18, 12))
    else:
        paint(img, shift(rbox(0, 0, w, h, 5), 1, 1), (0, 20, 36), alpha=110)
        bevel_box(img, 0, 0, w, h, 5, (70, 18, 14),
                  (212, 84, 60), (148, 42, 30),
                  light=(246, 150, 122), dark=(126, 34, 24))
    d = 1 if pressed else 0
    # etched divider between glyph and caption
    for y in range(5, h - 5):
        img.blend(25 + d, y + d, (90, 20, 14), 150)
        img.blend(26 + d, y + d, (240, 140, 116), 110)
    cy = h / 2
    power_symbol(img, 14 + d, cy + 0.5 + d, 6.0, 2.2, (90, 20, 14), alpha=150)
    power_symbol(img, 13.5 + d, cy + d, 6.0, 2.2, WHITE)
    return img


def user_picture(back):
    """Head and shoulders on a warm tile; corners take the plate's colour."""
    s = G.PIC_S
    img = back.crop(G.PIC_X, G.PIC_Y, s, s)
    tile = rbox(0, 0, s, s, 8)
    paint(img, tile, lambda x, y: mix((252, 184, 104), (222, 100, 56), x + y, 2 * s - 2))
    paint(img, intersect(tile, rows(1, 2)), (255, 222, 170), alpha=170)
    body = union(circle(24, 19, 9.5),
                 intersect(rbox(7, 32, 41, 60, 13), tile))
    paint(img, shift(body, 1.5, 1.5), (150, 56, 24), alpha=90)
    paint(img, body, lambda x, y: mix((255, 252, 246), (244, 224, 206), y, s - 1))
    # neck gap so head and shoulders read as separate shapes
    paint(img, intersect(cut_out(circle(24, 30.5, 7.5), circle(24, 19, 11.2)),
                         rbox(7, 29, 41, 33)),
          lambda x, y: mix((252, 184, 104), (222, 100, 56), x + y, 2 * s - 2))
    return img


# ----------------------------------------------------------------------- main

def build_theme(geometry):
    """Return {relative path: Image} for the bitmaps of one theme."""
    global G
    G = geometry
    out = {}
    theme = 'theme/%s/' % G.NAME
    out[theme + 'TASKBAR.bmp'] = taskbar()
    out[theme + 'STARTBUTTONU.bmp'] = start_button(False)
    out[theme + 'STARTBUTTOND.bmp'] = start_button(True)
    out[theme + 'TASKBARCLK.bmp'] = clock()
    for tag, pressed in (('U', False), ('D', True)):
        parts = split_button(task_button(pressed), 18)
        for n, part in enumerate(parts):
            out[theme + 'TBTN%s%d.bmp' % (tag, n)] = part
    for level in range(5):
        out[theme + 'BATTERY%d.bmp' % level] = battery(level)
    out[theme + 'BATTERYCHARGE.bmp'] = battery(None)
    back = start_back()
    out[theme + 'STARTBACK.bmp'] = back
    for i in range(8):
        out[theme + 'SIDE%dU.bmp' % i] = side_face(back, i, False)
        out[theme + 'SIDE%dD.bmp' % i] = side_face(back, i, True)
    out[theme + 'EXITBTNU.bmp'] = exit_button(back, False)
    out[theme + 'EXITBTND.bmp'] = exit_button(back, True)
    out[theme + 'ALLPROGRAMSU.bmp'] = all_programs(back, False)
    out[theme + 'ALLPROGRAMSD.bmp'] = all_programs(back, True)
    out[theme + 'MAINU.bmp'] = main_face(back, False)
    out[theme + 'MAIND.bmp'] = main_face(back, True)
    if G is LAGOON:  # the user picture of settings.cfg, made for Lagoon's plate
        out['settings/user.bmp'] = user_picture(back)
    return out


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    for geometry in (LAGOON, COVE):
        home = argv[1] if len(argv) > 1 else os.path.join(here, '..', '..', 'themes', geometry.HOME)
        home = os.path.normpath(home)
        for rel, img in sorted(build_theme(geometry).items()):
            write_bmp(os.path.join(home, rel), img)
            print('%-28s %3d x %3d' % (rel, img.w, img.h))


if __name__ == '__main__':
    main(sys.argv)
