#!/usr/bin/env python3
"""Draw the sample application's icons: tools/sample-app/icons/app0..3.ico.

    python3 tools/sample-app/make_app_icons.py [output-dir]

Four coloured tiles, each with a white or dark glyph, so that task buttons
and screenshots tell the sample applications apart at a glance.  Each file
holds 16x16 and 32x32 images in 16 colours and in 256 colours, written by
the same code as the shell's own icons (tools/theme-art/make_icons.py).
Standard library only; output is reproducible.
"""

import os
import sys

sys.dont_write_bytecode = True  # keep the tools folder free of caches
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'theme-art'))
from make_theme import Image, WHITE, BLACK, mix, paint, rbox, circle, polygon, ring_shape
from make_icons import VGA, write_ico

# Per icon: flat tile and glyph (VGA colours), rich gradient top and bottom,
# rich glyph.  The middle of the rich gradient is the band colour that the
# program paints (kBandColours in sample_app.cpp): keep the two in step.
TILES = [
    # 0: note lines on amber
    dict(flat=VGA[11], flat_glyph=BLACK,
         top=(255, 214, 96), bottom=(226, 150, 24), glyph=(92, 58, 8)),
    # 1: lens ring on blue
    dict(flat=VGA[12], flat_glyph=WHITE,
         top=(96, 156, 244), bottom=(24, 64, 176), glyph=WHITE),
    # 2: play triangle on green
    dict(flat=VGA[2], flat_glyph=WHITE,
         top=(116, 214, 112), bottom=(24, 124, 44), glyph=WHITE),
    # 3: diamond on red
    dict(flat=VGA[9], flat_glyph=WHITE,
         top=(252, 116, 100), bottom=(180, 28, 28), glyph=WHITE),
]


def band_colour(t):
    """The colour halfway down the rich tile."""
    return mix(t['top'], t['bottom'], 1, 2)


def glyph(n, s):
    """Shape of glyph n on an s x s tile."""
    c = s / 2
    if n == 0:
        bar = 3 if s >= 32 else 2
        gap = 4 if s >= 32 else 2
        top = round(s * 0.28)
        inset = round(s * 0.25)
        short = round(s * 0.2)  # the last line of a note stops early
        shapes = [rbox(inset, top + i * (bar + gap), s - inset - (i == 2) * short,
                       top + i * (bar + gap) + bar) for i in range(3)]
        return lambda x, y: min(f(x, y) for f in shapes)
    if n == 1:
        return ring_shape(c, c, s * 0.24, 3.2 if s >= 32 else 1.8)
    if n == 2:
        return polygon([(s * 0.34, s * 0.24), (s * 0.76, s * 0.5), (s * 0.34, s * 0.76)])
    return polygon([(c, s * 0.2), (s * 0.8, c), (c, s * 0.8), (s * 0.2, c)])


def tile(n):
    t = TILES[n]

    def draw(size, rich):
        img = Image(size, size, alpha=True)
        r = 5 if size >= 32 else 2
        edge = rbox(0, 0, size, size, r)
        if rich:
            dark = mix(t['bottom'], BLACK, 1, 2)
            paint(img, edge, dark)
            paint(img, rbox(1, 1, size - 1, size - 1, r - 1),
                  lambda x, y: mix(t['top'], t['bottom'], y, size - 1))
            paint(img, glyph(n, size), t['glyph'], aa=size >= 32)
        else:
            paint(img, edge, BLACK, aa=False)
            paint(img, rbox(1, 1, size - 1, size - 1, r - 1), t['flat'], aa=False)
            paint(img, glyph(n, size), t['flat_glyph'], aa=False)
        return img
    return draw


def main(argv):
    out = argv[1] if len(argv) > 1 else os.path.join(HERE, 'icons')
    out = os.path.normpath(out)
    for n in range(len(TILES)):
        path = os.path.join(out, 'app%d.ico' % n)
        write_ico(path, tile(n))
        print('%s  band RGB%r' % (path, band_colour(TILES[n])))


if __name__ == '__main__':
    main(sys.argv)
