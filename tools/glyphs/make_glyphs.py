#!/usr/bin/env python3
"""Draws the program's bitmap resources (check boxes, radio buttons, node
boxes, the filter glyph, the spin arrows, the tool-bar images of the main
window and of the preview, and the Login step's background) and writes them as BMP files
with 16- or 256-colour palettes into platform/graphics/res/bitmap, plus the Qt
resource file that lists them. Run once after changing a picture:

    python3 tools/glyphs/make_glyphs.py

Every picture but the background keeps fuchsia (255, 0, 255) in its corners:
the controls draw them with the corner colour left out. The tool-bar images
are strips of 16 x 16 images, left to right in the order their users list.
"""

import os
import struct

ROOT = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))
OUT = os.path.join(ROOT, "platform", "graphics", "res", "bitmap")

# The 16 colours of the standard palette.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
KEY = (255, 0, 255)
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = VGA[:8]
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = VGA[8:]


class Picture:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[KEY] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x1, y1, x2, y2, c):
        """Fills x1..x2-1, y1..y2-1."""
        for y in range(y1, y2):
            for x in range(x1, x2):
                self.set(x, y, c)

    def frame(self, x1, y1, x2, y2, c):
        for x in range(x1, x2):
            self.set(x, y1, c)
            self.set(x, y2 - 1, c)
        for y in range(y1, y2):
            self.set(x1, y, c)
            self.set(x2 - 1, y, c)

    def mask(self, rows, x0, y0, colours):
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch in colours:
                    self.set(x0 + x, y0 + y, colours[ch])


def write_bmp(path, pic, bits):
    colours = VGA if bits == 4 else None
    if colours is None:
        seen = []
        for row in pic.px:
            for c in row:
                if c not in seen:
                    seen.append(c)
        colours = (VGA + [c for c in seen if c not in VGA])[:256]
        colours += [(0, 0, 0)] * (256 - len(colours))
    index = {c: i for i, c in enumerate(colours)}
    for row in pic.px:
        for c in row:
            if c not in index:
                raise ValueError("%s: colour %r not in palette" % (path, c))
    stride = ((pic.w * bits + 31) // 32) * 4
    data = bytearray()
    for y in range(pic.h - 1, -1, -1):  # bottom-up
        row = bytearray()
        if bits == 4:
            for x in range(0, pic.w, 2):
                hi = index[pic.px[y][x]]
                lo = index[pic.px[y][x + 1]] if x + 1 < pic.w else 0
                row.append((hi << 4) | lo)
        else:
            for x in range(pic.w):
                row.append(index[pic.px[y][x]])
        row += b"\0" * (stride - len(row))
        data += row
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, pic.w, pic.h, 1, bits, 0, len(data), 3780, 3780,
                       len(colours), 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


TICK7 = ["......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X...."]


def checkbox_xp(checked, enabled):
    """20 x 20, the box of 13 x 13 in the middle."""
    p = Picture(20, 20)
    border = NAVY if enabled else GRAY
    face = WHITE if enabled else SILVER
    p.rect(3, 3, 16, 16, face)
    p.frame(3, 3, 16, 16, border)
    if enabled:
        # a light bevel inside the frame
        for i in range(4, 15):
            p.set(i, 14, SILVER)
            p.set(14, i, SILVER)
    if checked:
        p.mask(TICK7, 6, 6, {"X": GREEN if enabled else GRAY})
    return p


def checkbox_flat(checked, enabled):
    """16 x 16, a flat box with a rounded feel."""
    p = Picture(16, 16)
    border = (64, 64, 64) if enabled else GRAY
    face = WHITE if enabled else (224, 224, 224)
    p.rect(2, 2, 14, 14, face)
    p.frame(2, 2, 14, 14, border)
    for (x, y) in ((2, 2), (13, 2), (2, 13), (13, 13)):
        p.set(x, y, (160, 160, 160) if enabled else SILVER)
    if checked:
        p.mask(TICK7, 4, 4, {"X": (0, 64, 160) if enabled else GRAY})
    return p


RADIO_OUTER = [
    "....XXXX....", "..XX....XX..", ".X........X.", ".X........X.", "X..........X", "X..........X",
    "X..........X", "X..........X", ".X........X.", ".X........X.", "..XX....XX..", "....XXXX....",
]
RADIO_FACE = [
    "............", "....XXXX....", "..XXXXXXXX..", ".XXXXXXXXXX.", ".XXXXXXXXXX.", ".XXXXXXXXXX.",
    ".XXXXXXXXXX.", ".XXXXXXXXXX.", ".XXXXXXXXXX.", "..XXXXXXXX..", "....XXXX....", "............",
]
RADIO_DOT = [
    "....XX....", "...XXXX...", "...XXXX...", "....XX....",
]


def radio(on, enabled, xp):
    """16 x 16, a 12 x 12 disc in the middle."""
    p = Picture(16, 16)
    if xp:
        ring, face, dot = (NAVY, WHITE, GREEN) if enabled else (GRAY, SILVER, GRAY)
    else:
        ring, face, dot = ((64, 64, 64), WHITE, (0, 64, 160)) if enabled else (GRAY, (224, 224, 224), GRAY)
    p.mask(RADIO_FACE, 2, 2, {"X": face})
    p.mask(RADIO_OUTER, 2, 2, {"X": ring})
    if on:
        p.mask(RADIO_DOT, 3, 6, {"X": dot})
    return p


def leaf(expanded):
    """16 x 16, a 9 x 9 node box with minus (expanded) or plus."""
    p = Picture(16, 16)
    p.rect(3, 3, 12, 12, WHITE)
    p.frame(3, 3, 12, 12, GRAY)
    p.rect(5, 7, 10, 8, BLACK)
    if not expanded:
        p.rect(7, 5, 8, 10, BLACK)
    return p


def filter_glyph():
    """16 x 16, a funnel."""
    p = Picture(16, 16)
    rows = [
        "..XXXXXXXXXXX...",
        "...XoooooooX....",
        "....XoooooX.....",
        ".....XoooX......",
        "......XoX.......",
        "......XoX.......",
        "......XoX.......",
        "......XoX.......",
        "......XXX.......",
    ]
    p.mask(rows, 0, 3, {"X": BLACK, "o": GRAY})
    return p


def arrow(w, h, up):
    """An arrow of rows shrinking by one pixel at each end."""
    p = Picture(w, h)
    rows = (w + 1) // 2
    top = (h - rows) // 2
    for i in range(rows):
        width = 2 * i + 1 if up else w - 2 * i
        if width <= 0:
            break
        x0 = (w - width) // 2
        p.rect(x0, top + i, x0 + width, top + i + 1, BLACK)
    return p



# Tool-bar images, 16 x 16 each, drawn from rows of characters.
TOOL_COLOURS = {
    "k": BLACK, "g": GRAY, "s": SILVER, "w": WHITE, "n": NAVY, "b": BLUE, "t": TEAL, "a": AQUA,
    "r": RED, "m": MAROON, "y": YELLOW, "o": OLIVE, "G": GREEN, "l": LIME,
    "h": (222, 184, 135), "d": (139, 90, 43), "p": (255, 224, 189), "c": (70, 130, 180),
}


def tool(rows):
    p = Picture(16, 16)
    p.mask(rows, 0, 0, TOOL_COLOURS)
    return p


LOGIN = tool([
    "................",
    "................",
    "...yyy..........",
    "..ykkky.........",
    ".yk...ky........",
    ".yk...kyyyyyyyy.",
    ".yk...kooooooooy",
    ".yk...ky..yy.yy.",
    "..ykkky...oo.oo.",
    "...yyy..........",
    "................",
    "..nnnnnnnnnnnn..",
    "..nwwwwwwwwwwn..",
    "..nnnnnnnnnnnn..",
    "................",
    "................",
])

LOGOUT = tool([
    "................",
    ".kkkkkkkk.......",
    ".kddddddk.......",
    ".kddddddk...r...",
    ".kddddddk...rr..",
    ".kddddddkrrrrrr.",
    ".kddddydkrrrrrrr",
    ".kddddydkrrrrrr.",
    ".kddddddk...rr..",
    ".kddddddk...r...",
    ".kddddddk.......",
    ".kddddddk.......",
    ".kddddddk.......",
    ".kkkkkkkk.......",
    "................",
    "................",
])

MYPAGE = tool([
    "..ggggggggggg...",
    "..gwwwwwwwwwgg..",
    "..gwwwwwwwwwgwg.",
    "..gwwkkkwwwwgggg",
    "..gwkpppkwwwwwwg",
    "..gwkpppkwwwwwwg",
    "..gwwkpkwwwwwwwg",
    "..gwkbbbkwwwwwwg",
    "..gkbbbbbkwwwwwg",
    "..gkbbbbbkwwwwwg",
    "..gwwwwwwwwwwwwg",
    "..gwggggggggggwg",
    "..gwwwwwwwwwwwwg",
    "..gwggggggggwwwg",
    "..gwwwwwwwwwwwwg",
    "..gggggggggggggg",
])

CUSTOMER = tool([
    "................",
    "..kkk.......kkk.",
    ".kpppk.....kpppk",
    ".kpppk.....kpppk",
    "..kpk.......kpk.",
    ".kGGGk.....kmmmk",
    "kGGGGGk...kmmmmm",
    "kGGGGGk...kmmmmm",
    "kGGGGGkkkkkmmmmm",
    "kGGGGGkpppkmmmmm",
    ".....kpppppk....",
    ".....kpppppk....",
    "......kpppk.....",
    ".....kcccccck...",
    "....kccccccccck.",
    "....kccccccccck.",
])

PROPINFO = tool([
    ".......kk.......",
    "......krrk......",
    ".....krrrrk.....",
    "....krrrrrrk....",
    "...krrrrrrrrk...",
    "..krrrrrrrrrrk..",
    ".krrrrrrrrrrrrk.",
    "kkkhhhhhhhhhhkkk",
    "..khhhhbbhhhhk..",
    "..khhhhhhhhhhk..",
    "..khhhbbbhhhhk..",
    "..khhhhbbhhhhk..",
    "..khhhhbbhhhhk..",
    "..khhhhbbhhhhk..",
    "..khhhbbbbhhhk..",
    "..kkkkkkkkkkkk..",
])

SEARCHPARAMS = tool([
    "................",
    "...k............",
    "..kkk...........",
    "..knk....k......",
    "..knk...kkk.....",
    "..knk...knk.....",
    "gggggggggggggggg",
    "..knk...knk.....",
    "..kkk...knk..k..",
    "...k....knk.kkk.",
    "gggggggggggggggg",
    "........kkk.knk.",
    ".........k..knk.",
    "............kkk.",
    "gggggggggggggggg",
    ".............k..",
])

VIEWCOMPS = tool([
    "kkkkkkkkkkkkkkkk",
    "knnnnnnnnnnnnnnk",
    "kkkkkkkkkkkkkkkk",
    "kwGwkwwwwwwwwwwk",
    "kGGGkwgggggggwwk",
    "kwGwkwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk",
    "kwwwkwwwwwwwwwwk",
    "kwwwkwgggggwwwwk",
    "kwwwkwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk",
    "kwGwkwwwwwwwwwwk",
    "kGGGkwggggggggwk",
    "kwGwkwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk",
    "................",
])

REPORT = tool([
    "..kkkkkkkkk.....",
    "..kwwwwwwwkk....",
    "..kwwwwwwwkwk...",
    "..kwrrrrwwkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwggggggggwk..",
    "..kwwwwwwwwwwk..",
    "..kwggggggggwk..",
    "..kwwwwwwwwwwk..",
    "..kwbbbwggggwk..",
    "..kwbbbwwwwwwk..",
    "..kwbbbwggggwk..",
    "..kwwwwwwwwwwk..",
    "..kwggggggggwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
])

EXIT = tool([
    "................",
    ".kkkkkkkkkk.....",
    ".kgggggggdk.....",
    ".kggggggddk.....",
    ".kgggggdddk.....",
    ".kggggddddk..r..",
    ".kggggddddk..rr.",
    ".kggggdddyrrrrrr",
    ".kggggddddrrrrrr",
    ".kggggddddk..rr.",
    ".kggggddddk..r..",
    ".kggggddddk.....",
    ".kgggggdddk.....",
    ".kggggggddk.....",
    ".kkkkkkkkkk.....",
    "................",
])

PRINT = tool([
    "................",
    "....kkkkkkkk....",
    "....kwwwwwwk....",
    "....kwggggwk....",
    "....kwwwwwwk....",
    ".kkkkkkkkkkkkkk.",
    "kssssssssssssssk",
    "ksssssssssssGGsk",
    "kssssssssssssssk",
    "kggggggggggggggk",
    "kgkkkkkkkkkkkkgk",
    "kkkwwwwwwwwwwkkk",
    "...kwggggggwk...",
    "...kwwwwwwwwk...",
    "...kkkkkkkkkk...",
    "................",
])

SAVEAS = tool([
    "kkkkkkkkkkkkkkk.",
    "knnkwwwwwwwwknnk",
    "knnkwwwwwwwwknnk",
    "knnkwggggggwknnk",
    "knnkwwwwwwwwknnk",
    "knnkwggggggwknnk",
    "knnkwwwwwwwwknnk",
    "knnnkkkkkkkknnnk",
    "knnnnnnnnnnnnnnk",
    "knnnkkkkkkkknnnk",
    "knnkssssskkskknk",
    "knnkssssskkssknk",
    "knnkssssskkssknk",
    "knnkssssssssssnk",
    ".kkkkkkkkkkkkkkk",
    "................",
])


LENS = [
    "....kkkkk.......",
    "...kwwwwwk......",
    "..kwwwwwwwk.....",
    ".kwwwwwwwwwk....",
    ".kwwwwwwwwwk....",
    ".kwwwwwwwwwk....",
    ".kwwwwwwwwwk....",
    ".kwwwwwwwwwk....",
    "..kwwwwwwwk.....",
    "...kwwwwwkkk....",
    "....kkkkk.kdk...",
    "..........kddk..",
    "...........kddk.",
    "............kddk",
    ".............kk.",
    "................",
]


def magnifier(mark):
    """A lens with a glint (searching), a plus or a minus (zooming)."""
    p = tool(LENS)
    if mark == "glint":
        for (x, y) in ((5, 2), (6, 2), (4, 3), (5, 3), (3, 4), (4, 4), (3, 5)):
            p.set(x, y, AQUA)
        return p
    p.rect(3, 5, 10, 7, NAVY)
    if mark == "plus":
        p.rect(5, 3, 7, 9, NAVY)
    return p


PROPSEARCH = magnifier("glint")


def page_arrow(direction, bar):
    """A triangle pointing left (-1) or right (1): with a bar at its point
    solid, without one outlined."""
    p = Picture(16, 16)
    for i in range(6):
        x = 5 + i if direction > 0 else 10 - i
        p.rect(x, 2 + i, x + 1, 14 - i, NAVY)
        if not bar and 0 < i < 5:
            p.rect(x, 3 + i, x + 1, 13 - i, BLUE)
    if bar:
        x = 12 if direction > 0 else 2
        p.rect(x, 2, x + 2, 14, NAVY)
    return p


BACK = tool([
    "................",
    "................",
    "....G...........",
    "...GG...........",
    "..GlGGGGGGGG....",
    ".GlllllllllGG...",
    "GllllllllllllG..",
    ".GlllllllllllGG.",
    "..GlGGGGGGGGllG.",
    "...GG......GllG.",
    "....G......GllG.",
    "...........GllG.",
    "...........GGGG.",
    "................",
    "................",
    "................",
])


def strip(pictures):
    p = Picture(16 * len(pictures), 16)
    for i, pic in enumerate(pictures):
        for y in range(16):
            for x in range(16):
                p.px[y][16 * i + x] = pic.px[y][x]
    return p


def login_background():
    """400 x 230, stretched over the Login step: a sky over a row of houses on
    a lawn, and a pale panel where the login fields are."""
    w, h = 400, 230
    p = Picture(w, h)
    horizon = 176
    top, low = (46, 92, 150), (214, 228, 244)
    for y in range(horizon):
        t = y / (horizon - 1)
        c = tuple(int(round(a + (b - a) * t)) for a, b in zip(top, low))
        p.rect(0, y, w, y + 1, c)
    for y in range(horizon, h):
        t = (y - horizon) / (h - horizon - 1)
        c = tuple(int(round(a + (b - a) * t)) for a, b in zip((98, 150, 72), (58, 104, 44)))
        p.rect(0, y, w, y + 1, c)
    # Houses: a wall and a roof each, standing on the horizon.
    wall, roof, window = (236, 226, 206), (150, 62, 48), (250, 230, 150)
    x = 4
    sizes = [30, 44, 36, 52, 28, 40, 48, 34, 42, 38]
    i = 0
    while x < w:
        s = sizes[i % len(sizes)]
        wh = s * 2 // 3
        p.rect(x, horizon - wh, x + s, horizon, wall)
        p.frame(x, horizon - wh, x + s, horizon, (120, 110, 96))
        for r in range(s // 2 + 2):
            p.rect(x - 2 + r, horizon - wh - r, x + s + 2 - r, horizon - wh - r + 1, roof)
        p.rect(x + s // 5, horizon - wh * 2 // 3, x + s // 5 + s // 5, horizon - wh // 3, window)
        p.rect(x + s * 3 // 5, horizon - wh // 2, x + s * 3 // 5 + s // 6, horizon, (110, 70, 40))
        x += s + 8 + (i * 7) % 11
        i += 1
    # The panel behind the login fields.
    p.rect(140, 66, 260, 148, (244, 246, 250))
    p.frame(140, 66, 260, 148, (40, 60, 140))
    return p


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = {
        "ESGCHK01": (checkbox_xp(True, True), 4),
        "ESGCHK02": (checkbox_xp(False, True), 4),
        "ESGCHK03": (checkbox_xp(True, False), 4),
        "ESGCHK04": (checkbox_xp(False, False), 4),
        "ESGCHK05": (checkbox_flat(True, True), 8),
        "ESGCHK06": (checkbox_flat(False, True), 8),
        "ESGCHK07": (checkbox_flat(True, False), 8),
        "ESGCHK08": (checkbox_flat(False, False), 8),
        "ESGRAD01": (radio(True, True, True), 4),
        "ESGRAD02": (radio(False, True, True), 4),
        "ESGRAD03": (radio(True, False, True), 4),
        "ESGRAD04": (radio(False, False, True), 4),
        "ESGRAD05": (radio(True, True, False), 8),
        "ESGRAD06": (radio(False, True, False), 8),
        "ESGRAD07": (radio(True, False, False), 8),
        "ESGRAD08": (radio(False, False, False), 8),
        "ESGLEAFOPEN": (leaf(True), 8),
        "ESGLEAFCLOSE": (leaf(False), 8),
        "ESGFILT": (filter_glyph(), 4),
        "EXTSPINUP": (arrow(9, 6, True), 4),
        "EXTSPINDOWN": (arrow(9, 6, False), 4),
        "ESGSPINUP": (arrow(9, 6, True), 4),
        "ESGSPINDOWN": (arrow(9, 6, False), 4),
    }
    # The main window's steps and Exit; the preview's tool bar.
    pictures["TOOLSTEPS"] = (strip([LOGIN, LOGOUT, MYPAGE, CUSTOMER, PROPSEARCH, PROPINFO, SEARCHPARAMS,
                                    VIEWCOMPS, REPORT, EXIT]), 8)
    pictures["TOOLPREVIEW"] = (strip([PRINT, SAVEAS, magnifier("plus"), magnifier("minus"), page_arrow(-1, True),
                                      page_arrow(1, False), page_arrow(-1, False), page_arrow(1, True), BACK]), 8)
    pictures["LOGINBACK"] = (login_background(), 8)
    # Down arrows are the up arrows turned over.
    for name in ("EXTSPINDOWN", "ESGSPINDOWN"):
        pic = pictures[name][0]
        up = arrow(9, 6, True)
        pic.px = list(reversed(up.px))
    for name, (pic, bits) in sorted(pictures.items()):
        write_bmp(os.path.join(OUT, name + ".bmp"), pic, bits)
    qrc = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '<qresource prefix="/res/bitmap">']
    for name in sorted(pictures):
        qrc.append('    <file alias="%s.bmp">res/bitmap/%s.bmp</file>' % (name, name))
    qrc += ['</qresource>', '</RCC>', '']
    with open(os.path.join(ROOT, "platform", "graphics", "Resources.qrc"), "w") as f:
        f.write("\n".join(qrc))


if __name__ == "__main__":
    main()
