#!/usr/bin/env python3
"""Draws the report's own pictures as 8-bit BMP files beside this script:
the seven natural-hazard legend symbols (113 x 29) and the hazard-data
provider's logo (259 x 143). Standard library only.

    python3 report/res/make_pictures.py
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Palette index -> (r, g, b)
PALETTE = [(255, 255, 255), (0, 0, 0), (0, 0, 255), (128, 0, 128), (255, 0, 0), (200, 0, 0),
           (255, 0, 255), (0, 128, 0), (0, 90, 0), (255, 200, 200), (220, 220, 255), (40, 60, 140),
           (230, 240, 230)]
WHITE, BLACK, BLUE, PURPLE, RED, DARKRED, MAGENTA, GREEN, DARKGREEN, PINK, PALEBLUE, NAVY, PALEGREEN = range(13)


def write_bmp(name, pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width + 3) & ~3
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE + [(0, 0, 0)] * (256 - len(PALETTE)))
    rows = b"".join(bytes(row) + b"\0" * (stride - width) for row in reversed(pixels))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 3780, 3780, 256, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + palette + rows)


def canvas(width, height, fill=WHITE):
    return [[fill] * width for _ in range(height)]


def frame(px, colour):
    h, w = len(px), len(px[0])
    for x in range(w):
        px[0][x] = px[h - 1][x] = colour
    for y in range(h):
        px[y][0] = px[y][w - 1] = colour


def symbol(kind):
    px = canvas(113, 29)
    for y in range(1, 28):
        for x in range(1, 112):
            if kind == "dam":            # blue diagonal hatch
                on = (x + y) % 6 < 2
                c = BLUE if on else PALEBLUE
            elif kind == "flood":        # purple horizontal waves
                on = (y + (x // 6) % 2) % 5 == 0
                c = PURPLE if on else WHITE
            elif kind == "fire":         # red back-diagonal hatch
                on = (x - y) % 7 < 2
                c = RED if on else WHITE
            elif kind == "highfire":     # dark red cross-hatch on pink
                on = (x + y) % 6 < 2 or (x - y) % 6 < 2
                c = DARKRED if on else PINK
            elif kind == "fault":        # magenta vertical bars
                on = x % 8 < 2
                c = MAGENTA if on else WHITE
            elif kind == "liquid":       # green dots
                on = x % 5 == 2 and y % 5 == 2
                c = GREEN if on else PALEGREEN
            else:                        # landslide: green steps
                on = (x // 4 + y // 4) % 4 == 0
                c = DARKGREEN if on else WHITE
            px[y][x] = c
    frame(px, BLACK)
    return px


def logo():
    px = canvas(259, 143)
    frame(px, NAVY)
    # A house over three bands, the bands shaded like the hazard legend.
    for y in range(20, 70):
        half = (y - 20)
        for x in range(129 - half, 130 + half):
            if 0 <= x < 259:
                px[y][x] = NAVY
    for y in range(70, 110):
        for x in range(89, 170):
            px[y][x] = BLUE if x < 116 else (RED if x < 143 else GREEN)
    for y in range(86, 110):
        for x in range(122, 137):
            px[y][x] = WHITE
    for y in range(118, 124):
        for x in range(30, 229):
            px[y][x] = NAVY
    return px


def main():
    for kind in ("dam", "flood", "fire", "highfire", "fault", "liquid", "landslide"):
        write_bmp(kind + ".bmp", symbol(kind))
    write_bmp("qrnlogo.bmp", logo())


if __name__ == "__main__":
    main()
