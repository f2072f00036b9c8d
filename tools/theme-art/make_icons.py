#!/usr/bin/env python3
"""Draw the program's icons: res/icons/application.ico and res/icons/exit.ico.

    python3 tools/theme-art/make_icons.py [output-dir]

Each file holds 16x16 and 32x32 images in 16 colours (standard VGA palette)
and in 256 colours.  The output dir defaults to res/icons of the repository
that holds this script.  Standard library only; output is reproducible.
"""

import math
import os
import struct
import sys

sys.dont_write_bytecode = True  # keep the tools folder free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_theme import (Image, WHITE, BLACK, mix, paint, rbox, circle, polygon,
                        capsule, ring_shape, cut_out, union, intersect, grow,
                        rows, pixels)

# Windows' default 16-colour palette, in index order.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
       (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
       (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
       (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
V_NAVY, V_TEAL, V_SILVER, V_GRAY = VGA[4], VGA[6], VGA[7], VGA[8]
V_MAROON, V_RED, V_YELLOW, V_AQUA = VGA[1], VGA[9], VGA[11], VGA[14]


# ------------------------------------------------------------------- drawing
# rich=True: 256-colour art with gradients and soft edges.
# rich=False: flat VGA colours, hard edges, so nothing needs dithering.

def z_mark(img, x0, y0, s, bar, color, aa):
    """A 'Z' filling the s x s square at (x0, y0) with strokes `bar` thick."""
    x1, y1 = x0 + s, y0 + s
    run, rise = s, s - 2 * bar
    slant = bar * math.sqrt(run * run + rise * rise) / rise  # stroke = bar
    shape = union(rbox(x0, y0, x1, y0 + bar),
                  rbox(x0, y1 - bar, x1, y1),
                  polygon([(x1 - slant, y0 + bar - 0.01), (x1, y0 + bar - 0.01),
                           (x0 + slant, y1 - bar + 0.01), (x0, y1 - bar + 0.01)]))
    paint(img, shape, color, aa=aa)


def application(size, rich):
    """A little desktop: teal screen, taskbar strip, warm start block, a Z."""
    img = Image(size, size, alpha=True)
    big = size >= 32
    x0, y0, x1, y1 = (1, 3, size - 1, size - 3) if big else (0, 1, size, size - 1)
    r = 4 if big else 2
    bar_h = 6 if big else 4
    outline = (6, 34, 52) if rich else BLACK
    paint(img, rbox(x0, y0, x1, y1, r), outline, aa=rich)
    screen = rbox(x0 + 1, y0 + 1, x1 - 1, y1 - 1, r - 1)
    if rich:
        paint(img, screen, lambda x, y: mix((84, 184, 206), (18, 92, 126),
                                            x + 2 * y, 3 * size))
        paint(img, intersect(screen, rows(y0 + 1, y0 + 2)), (170, 230, 240))
    else:
        paint(img, screen, V_TEAL, aa=False)
        paint(img, intersect(screen, rows(y0 + 1, y0 + 2)), V_AQUA, aa=False)
    # taskbar strip along the bottom
    by = y1 - 1 - bar_h
    strip = intersect(screen, rows(by, y1 - 1))
    if rich:
        paint(img, strip, lambda x, y: mix((34, 110, 140), (10, 50, 76), y - by, bar_h))
        paint(img, intersect(strip, rows(by, by + 1)), (120, 196, 214))
    else:
        paint(img, strip, V_NAVY, aa=False)
    # start block at the left end of the strip
    sx = x0 + 2
    sw = 7 if big else 4
    block = rbox(sx, by + 1, sx + sw, y1 - 2, 1 if big else 0)
    if rich:
        paint(img, block, lambda x, y: mix((254, 184, 100), (214, 104, 40), y - by, bar_h))
    else:
        paint(img, block, V_YELLOW, aa=False)
    if big:
        # a pair of task buttons so the strip reads as a taskbar
        for tx in (sx + sw + 2, sx + sw + 10):
            paint(img, rbox(tx, by + 2, tx + 7, y1 - 3, 1),
                  (70, 150, 178) if rich else V_TEAL, aa=rich)
    # the Z mark in the middle of the screen; hand-placed pixels at 16 px
    # because a soft edge at that size only blurs it
    if big:
        zs, zb = 13, 3
        zx, zy = (x0 + x1 - zs) // 2, (y0 + 1 + by - zs) // 2
        if rich:
            z_mark(img, zx + 1, zy + 1, zs, zb, (8, 54, 80), True)
        z_mark(img, zx, zy, zs, zb, WHITE, rich)
    else:
        pixels(img, Z_SMALL, 4, 3, {'#': WHITE})
    return img


Z_SMALL = ["#######",
           "....##.",
           "...##..",
           "..##...",
           ".##....",
           "#######"]


def exit_icon(size, rich):
    """Power symbol on a red-orange disc."""
    img = Image(size, size, alpha=True)
    c = size / 2
    rad = c - 0.5 if size >= 32 else c
    disc = circle(c, c, rad)
    paint(img, disc, (110, 20, 12) if rich else V_MAROON, aa=rich)
    inner = grow(disc, -1)
    if rich:
        paint(img, inner, lambda x, y: mix((255, 136, 66), (184, 28, 18),
                                           x + y, 2 * size))
        # soft gloss near the top, lit from the top left
        paint(img, intersect(inner, circle(c - size * 0.1, c - size * 0.42, size * 0.3)),
              WHITE, alpha=40)
    else:
        paint(img, inner, V_RED, aa=False)
    if size >= 32:
        pr, pw = 7.6, 3.2
    else:
        pr, pw = 3.6, 1.7
    ring = cut_out(ring_shape(c, c + 0.5, pr, pw),
                   rbox(c - pw * 1.2, c - pr - pw, c + pw * 1.2, c))
    bar = capsule(c, c - pr - pw / 2 + 0.9, c, c - 0.6, pw / 2)
    symbol = union(ring, bar)
    crisp = rich and size >= 32  # soft edges blur the 16 px symbol
    if crisp:
        paint(img, lambda x, y: symbol(x - 1, y - 1), (120, 22, 12), alpha=150)
    paint(img, symbol, WHITE, aa=crisp)
    return img


# --------------------------------------------------------------------- icons

def palette_for(img, opaque):
    """Black first (it sits under transparent pixels), then the most used
    colours; anything left over maps to its nearest entry."""
    count = {}
    for c, o in zip(img.px, opaque):
        if o and c != BLACK:
            count[c] = count.get(c, 0) + 1
    ranked = sorted(count, key=lambda c: (-count[c], c))
    return [BLACK] + ranked[:255]


def nearest(pal, c):
    return min(range(len(pal)), key=lambda i: sum((pal[i][k] - c[k]) ** 2 for k in range(3)))


def dib(img, opaque, bpp, pal):
    """BITMAPINFOHEADER + palette + XOR bits + AND mask, all bottom-up."""
    w, h = img.w, img.h
    lookup = {}
    idx = []
    for i, c in enumerate(img.px):
        if not opaque[i]:
            idx.append(0)  # black under a set AND bit keeps the background
            continue
        if c not in lookup:
            if bpp == 4 and c not in VGA:
                raise ValueError('colour %r is not in the VGA palette' % (c,))
            lookup[c] = pal.index(c) if c in pal else nearest(pal, c)
        idx.append(lookup[c])
    xor_stride = ((w * bpp + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for y in range(h - 1, -1, -1):
        row = idx[y * w:(y + 1) * w]
        if bpp == 8:
            line = bytearray(row)
        else:
            line = bytearray((row[x] << 4) | (row[x + 1] if x + 1 < w else 0)
                             for x in range(0, w, 2))
        xor += line + bytes(xor_stride - len(line))
        bits = bytearray(and_stride)
        for x in range(w):
            if not opaque[y * w + x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    colours = 1 << bpp
    table = bytearray()
    for i in range(colours):
        r, g, b = pal[i] if i < len(pal) else BLACK
        table += bytes((b, g, r, 0))
    head = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, bpp, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return head + table + xor + mask


def write_ico(path, draw):
    """Four images: 16 and 32 px, each in 16 and in 256 colours."""
    entries = []
    flat = [(draw(s, False), s) for s in (16, 32)]
    rich = [(draw(s, True), s) for s in (16, 32)]
    for img, s in flat:
        opaque = [a >= 128 for a in img.a]
        entries.append((s, 16, 4, dib(img, opaque, 4, VGA)))
    for img, s in rich:
        opaque = [a >= 128 for a in img.a]
        entries.append((s, 0, 8, dib(img, opaque, 8, palette_for(img, opaque))))
    offset = 6 + 16 * len(entries)
    out = struct.pack('<HHH', 0, 1, len(entries))
    for s, count, bpp, data in entries:
        out += struct.pack('<BBBBHHII', s, s, count, 0, 1, bpp, len(data), offset)
        offset += len(data)
    out += b''.join(e[3] for e in entries)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(out)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = argv[1] if len(argv) > 1 else os.path.join(here, '..', '..', 'res', 'icons')
    out = os.path.normpath(out)
    for name, draw in (('application.ico', application), ('exit.ico', exit_icon)):
        write_ico(os.path.join(out, name), draw)
        print(os.path.join(out, name))


if __name__ == '__main__':
    main(sys.argv)
