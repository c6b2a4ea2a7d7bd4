"""Pictures of the sample service, written byte by byte with struct.

- bmp24(): a 24-bit bottom-up Windows bitmap (the login logo);
- bilevel_tiff() and map_sheet(): an uncompressed 1-bit TIFF (assessor map
  sheets of the tax-map server);
- Metafile and street_map(): a placeable Windows metafile (the street map of
  the report data);
- fixture_jpeg(): the JPEG files kept under fixtures/ (house photos and the
  hazard map), made once by fixtures/make_fixtures.py;
- flat_jpeg(): a grey baseline JPEG of any size whose 8 x 8 blocks are each
  one shade (the oversized hazard map);
- far_street_map(): a street map that also draws far outside its box.
"""

import functools
import os
import struct

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")

# ---------------------------------------------------------------------------
# BMP


def bmp24(width, height, pixel):
    """pixel(x, y) -> (r, g, b), with y = 0 the top row."""
    row_size = (width * 3 + 3) & ~3
    pad = b"\0" * (row_size - width * 3)
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + pad)
    data = b"".join(rows)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return file_header + info + data


def rle_bomb_bmp(width, height):
    """An 8-bit run-length bitmap declaring width x height that holds only its
    palette and an end-of-bitmap code."""
    palette = b"\0\0\0\0" * 256
    data = b"\0\1"
    offset = 14 + 40 + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835, 256, 0)
    return file_header + info + palette + data


@functools.lru_cache(maxsize=None)
def logo_bmp():
    """A 180 x 60 title-company logo: a house on a blue band with two bars."""
    w, h = 180, 60

    def pixel(x, y):
        t = x / (w - 1)
        bg = (int(20 + 10 * t), int(40 + 80 * t), int(110 + 40 * t))
        # roof: triangle with its apex at (30, 8), base from x 8 to 52 at y 28
        if 8 <= y <= 28 and abs(x - 30) <= (y - 8) * 22 / 20:
            return (200, 60, 40)
        if 16 <= x <= 44 and 28 < y <= 50:
            if 26 <= x <= 33 and y >= 38:
                return (40, 30, 20)  # door
            if (19 <= x <= 24 or 36 <= x <= 41) and 32 <= y <= 37:
                return (250, 230, 120)  # windows
            return (245, 245, 240)
        if 62 <= x <= 170 and 18 <= y <= 27:
            return (255, 255, 255)
        if 62 <= x <= 138 and 34 <= y <= 40:
            return (200, 220, 235)
        return bg

    return bmp24(w, h, pixel)


# ---------------------------------------------------------------------------
# Bilevel TIFF

TIFF_SHORT, TIFF_LONG, TIFF_RATIONAL = 3, 4, 5


def bilevel_tiff(width, height, bits, dpi):
    """bits: rows of ceil(width / 8) bytes, most significant bit first, a set
    bit black (PhotometricInterpretation 0, WhiteIsZero)."""
    row_bytes = (width + 7) // 8
    if len(bits) != row_bytes * height:
        raise ValueError("bitmap size does not match")
    data_offset = 8
    res_offset = data_offset + len(bits)
    pad = b"\0" * (res_offset % 2)
    res_offset += len(pad)
    rationals = struct.pack("<IIII", dpi, 1, dpi, 1)
    ifd_offset = res_offset + len(rationals)
    entries = [
        (256, TIFF_LONG, width),          # ImageWidth
        (257, TIFF_LONG, height),         # ImageLength
        (258, TIFF_SHORT, 1),             # BitsPerSample
        (259, TIFF_SHORT, 1),             # Compression: none
        (262, TIFF_SHORT, 0),             # PhotometricInterpretation: WhiteIsZero
        (273, TIFF_LONG, data_offset),    # StripOffsets
        (277, TIFF_SHORT, 1),             # SamplesPerPixel
        (278, TIFF_LONG, height),         # RowsPerStrip
        (279, TIFF_LONG, len(bits)),      # StripByteCounts
        (282, TIFF_RATIONAL, res_offset),      # XResolution
        (283, TIFF_RATIONAL, res_offset + 8),  # YResolution
        (296, TIFF_SHORT, 2),             # ResolutionUnit: inch
    ]
    ifd = struct.pack("<H", len(entries))
    for tag, typ, value in entries:
        if typ == TIFF_SHORT:
            ifd += struct.pack("<HHIHH", tag, typ, 1, value, 0)
        else:
            ifd += struct.pack("<HHII", tag, typ, 1, value)
    ifd += struct.pack("<I", 0)
    return struct.pack("<2sHI", b"II", 42, ifd_offset) + bytes(bits) + pad + rationals + ifd


# 5 x 7 glyphs, one string of 35 bits per character, rows from the top.
_GLYPHS = {
    "A": "01110100011000111111100011000110001", "B": "11110100011000111110100011000111110",
    "C": "01110100011000010000100001000101110", "D": "11110100011000110001100011000111110",
    "E": "11111100001000011110100001000011111", "F": "11111100001000011110100001000010000",
    "G": "01110100011000010111100011000101111", "H": "10001100011000111111100011000110001",
    "I": "01110001000010000100001000010001110", "J": "00111000100001000010000101001001100",
    "K": "10001100101010011000101001001010001", "L": "10000100001000010000100001000011111",
    "M": "10001110111010110101100011000110001", "N": "10001100011100110101100111000110001",
    "O": "01110100011000110001100011000101110", "P": "11110100011000111110100001000010000",
    "Q": "01110100011000110001101011001001101", "R": "11110100011000111110101001001010001",
    "S": "01111100001000001110000010000111110", "T": "11111001000010000100001000010000100",
    "U": "10001100011000110001100011000101110", "V": "10001100011000110001100010101000100",
    "W": "10001100011000110101101011010101010", "X": "10001100010101000100010101000110001",
    "Y": "10001100010101000100001000010000100", "Z": "11111000010001000100010001000011111",
    "0": "01110100011001110101110011000101110", "1": "00100011000010000100001000010001110",
    "2": "01110100010000100010001000100011111", "3": "11111000100010000010000011000101110",
    "4": "00010001100101010010111110001000010", "5": "11111100001111000001000011000101110",
    "6": "00110010001000011110100011000101110", "7": "11111000010001000100010000100001000",
    "8": "01110100011000101110100011000101110", "9": "01110100011000101111000010001001100",
    "-": "00000000000000011111000000000000000", ".": "00000000000000000000000000110001100",
    "/": "00001000100001000100010000100010000", ":": "00000011000110000000011000110000000",
    " ": "0" * 35,
}
_UNKNOWN_GLYPH = "11111100011000110001100011000111111"


class Bilevel:
    """A 1-bit canvas (1 = black) with the few drawing operations a map sheet needs."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.row_bytes = (width + 7) // 8
        self.bits = bytearray(self.row_bytes * height)

    def hline(self, x0, x1, y):
        if not 0 <= y < self.height:
            return
        x0, x1 = max(0, min(x0, x1)), min(self.width - 1, max(x0, x1))
        base = y * self.row_bytes
        x = x0
        while x <= x1:
            if x % 8 == 0 and x + 7 <= x1:
                n = (x1 - x + 1) // 8
                self.bits[base + x // 8: base + x // 8 + n] = b"\xff" * n
                x += 8 * n
            else:
                self.bits[base + x // 8] |= 0x80 >> (x % 8)
                x += 1

    def fill(self, x0, y0, x1, y1):
        for y in range(max(0, y0), min(self.height, y1 + 1)):
            self.hline(x0, x1, y)

    def frame(self, x0, y0, x1, y1, thickness=1):
        for t in range(thickness):
            self.hline(x0 + t, x1 - t, y0 + t)
            self.hline(x0 + t, x1 - t, y1 - t)
            self.fill(x0 + t, y0 + t, x0 + t, y1 - t)
            self.fill(x1 - t, y0 + t, x1 - t, y1 - t)

    def hatch(self, x0, y0, x1, y1, step=6):
        for y in range(y0, y1 + 1):
            for x in range(x0 + (y % step), x1 + 1, step):
                self.hline(x, x, y)

    def text(self, x, y, s, scale):
        for ch in s.upper():
            glyph = _GLYPHS.get(ch, _UNKNOWN_GLYPH)
            for i, bit in enumerate(glyph):
                if bit == "1":
                    gx, gy = x + (i % 5) * scale, y + (i // 5) * scale
                    self.fill(gx, gy, gx + scale - 1, gy + scale - 1)
            x += 6 * scale


@functools.lru_cache(maxsize=64)
def map_sheet(county, parcel, number, total):
    """One assessor map sheet, 8.5 x 11 inches at 96 dpi."""
    w, h = 816, 1056
    c = Bilevel(w, h)
    c.frame(20, 20, w - 21, h - 21, 4)
    c.frame(34, 34, w - 35, h - 35, 1)
    # Roads: two east-west, one north-south, drawn by their edges.
    for ry in (305, 695):
        c.hline(40, w - 41, ry)
        c.hline(40, w - 41, ry + 24)
    rx = 420 - 30 * (number % 2)
    c.fill(rx, 40, rx, 900)
    c.fill(rx + 24, 40, rx + 24, 900)
    # Lots between the roads, numbered, the subject lot hatched.
    lot = 0
    for top, bottom in ((70, 290), (340, 680), (730, 890)):
        for left in range(50, w - 60, 90):
            right = left + 80
            if left <= rx + 24 and right >= rx:
                continue
            lot += 1
            c.frame(left, top, right, bottom, 1)
            if lot == 3 + number:
                c.hatch(left + 2, top + 2, right - 2, bottom - 2)
            c.text(left + 8, top + 8, str(lot), 2)
    c.text(rx - 40, 50, "N", 3)
    c.fill(rx - 31, 75, rx - 30, 110)
    # Title block.
    c.frame(40, 920, w - 41, h - 41, 2)
    c.text(56, 934, "ASSESSOR MAP " + county[:20], 4)
    c.text(56, 978, "PARCEL " + parcel[:24], 3)
    c.text(w - 300, 978, "SHEET %d OF %d" % (number, total), 3)
    return bilevel_tiff(w, h, c.bits, 96)


# ---------------------------------------------------------------------------
# Windows metafile

WMF_KEY = 0x9AC6CDD7


class Metafile:
    """Records of a Windows metafile, written with a placeable header."""

    def __init__(self):
        self.records = []
        self.objects = 0

    def _record(self, function, *params):
        self.records.append((function, [p & 0xFFFF for p in params]))

    def set_window_org(self, x, y):
        self._record(0x020B, y, x)

    def set_window_ext(self, width, height):
        self._record(0x020C, height, width)

    def create_brush(self, rgb):
        r, g, b = rgb
        self._record(0x02FC, 0, (g << 8) | r, b, 0)  # BS_SOLID, COLORREF, hatch
        index = self.objects
        self.objects += 1
        return index

    def select_object(self, index):
        self._record(0x012D, index)

    def rectangle(self, left, top, right, bottom):
        self._record(0x041B, bottom, right, top, left)

    def text_out(self, x, y, text):
        raw = text.encode("cp1252", "replace")
        padded = raw + b"\0" * (len(raw) % 2)
        words = struct.unpack("<%dH" % (len(padded) // 2), padded)
        self._record(0x0521, len(raw), *words, y, x)

    def to_bytes(self, bbox, units_per_inch=1440):
        body = b""
        max_record = 3
        for function, params in self.records:
            size = 3 + len(params)
            max_record = max(max_record, size)
            body += struct.pack("<IH", size, function) + struct.pack("<%dH" % len(params), *params)
        body += struct.pack("<IH", 3, 0)  # EOF
        meta = struct.pack("<HHHIHIH", 1, 9, 0x0300, 9 + len(body) // 2, self.objects, max_record, 0)
        left, top, right, bottom = bbox
        first = struct.pack("<IHhhhhHI", WMF_KEY, 0, left, top, right, bottom, units_per_inch, 0)
        checksum = 0
        for word in struct.unpack("<10H", first):
            checksum ^= word
        return first + struct.pack("<H", checksum) + meta + body


STATUS_COLOURS = {
    "T": (220, 30, 30), "8": (30, 70, 200), "0": (20, 150, 60),
    "7": (235, 140, 20), "3": (140, 60, 160),
}


def street_map(items, streets, far=False):
    """items: [(label, status, lat, lon)], the subject first; streets:
    [(name, horizontal)] drawn as bands across the map. far adds, in a
    window of 20 x 20 units, a band across the map from 32000 units left of
    it to 32000 right (thousands of inches on the page), a label and a block
    that far away."""
    width, height = 10152, 6768  # 7.05 x 4.7 inches at 1440 units per inch
    m = Metafile()
    m.set_window_org(0, 0)
    m.set_window_ext(width, height)
    ground = m.create_brush((236, 232, 216))
    block = m.create_brush((250, 248, 238))
    road = m.create_brush((196, 196, 196))
    m.select_object(ground)
    m.rectangle(0, 0, width, height)

    across = [s for s in streets if s[1]]
    down = [s for s in streets if not s[1]]
    ys = [int(height * (i + 1) / (len(across) + 1)) for i in range(len(across))]
    xs = [int(width * (i + 1) / (len(down) + 1)) for i in range(len(down))]
    m.select_object(block)
    edges_x = [0] + xs + [width]
    edges_y = [0] + ys + [height]
    for i in range(len(edges_x) - 1):
        for j in range(len(edges_y) - 1):
            m.rectangle(edges_x[i] + 160, edges_y[j] + 160, edges_x[i + 1] - 160, edges_y[j + 1] - 160)
    m.select_object(road)
    for y in ys:
        m.rectangle(0, y - 110, width, y + 110)
    for x in xs:
        m.rectangle(x - 110, 0, x + 110, height)
    for (name, _), y in zip(across, ys):
        m.text_out(300, y - 90, name)
    for (name, _), x in zip(down, xs):
        m.text_out(x + 140, 300, name)

    if items:
        lats = [it[2] for it in items]
        lons = [it[3] for it in items]
        lat0, lat1 = min(lats), max(lats)
        lon0, lon1 = min(lons), max(lons)
        span_lat = max(lat1 - lat0, 0.002)
        span_lon = max(lon1 - lon0, 0.002)
        brushes = {}
        for label, status, lat, lon in items:
            x = int(600 + (lon - lon0) / span_lon * (width - 1200))
            y = int(600 + (lat1 - lat) / span_lat * (height - 1200))
            colour = STATUS_COLOURS.get(status, (120, 120, 120))
            if colour not in brushes:
                brushes[colour] = m.create_brush(colour)
            m.select_object(brushes[colour])
            size = 110 if status == "T" else 80
            m.rectangle(x - size, y - size, x + size, y + size)
            m.text_out(x + size + 40, y - 100, label)
    if far:
        m.set_window_ext(20, 20)
        m.select_object(road)
        m.rectangle(-32000, 9, 32000, 10)
        m.text_out(-32000, 5, "FAR WEST RD")
        m.rectangle(25000, 25000, 32000, 32000)
    return m.to_bytes((0, 0, width, height))


# ---------------------------------------------------------------------------
# JPEG fixtures

_jpeg_cache = {}


def fixture_jpeg(name):
    if name not in _jpeg_cache:
        with open(os.path.join(FIXTURES, name), "rb") as f:
            _jpeg_cache[name] = f.read()
    return _jpeg_cache[name]


HOUSE_PHOTOS = ("house1.jpg", "house2.jpg", "house3.jpg", "house4.jpg")
HAZARD_MAP = "hazard.jpg"


# ---------------------------------------------------------------------------
# A flat grey JPEG of any size

# Huffman tables: DC categories 0..11 as 4-bit codes, and the end of a
# block as the one AC code "0".
_DC_BITS = [0, 0, 0, 12] + [0] * 12
_AC_BITS = [1] + [0] * 15


def _segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def flat_jpeg(width, height, shade):
    """A grey baseline JPEG; shade(bx, by) is the grey (0..255) of the 8 x 8
    block at column bx, row by. Each block is its DC value alone."""
    out = b"\xff\xd8"
    # DC quantised by 8: the coefficient is the block's grey minus 128.
    out += _segment(0xDB, bytes([0, 8] + [1] * 63))
    out += _segment(0xC0, struct.pack(">BHHB", 8, height, width, 1) + bytes([1, 0x11, 0]))
    out += _segment(0xC4, bytes([0x00] + _DC_BITS + list(range(12))))
    out += _segment(0xC4, bytes([0x10] + _AC_BITS + [0]))
    out += _segment(0xDA, bytes([1, 1, 0x00, 0, 63, 0]))
    bits, count, data, previous = 0, 0, bytearray(), 0

    def put(value, length):
        nonlocal bits, count
        bits = (bits << length) | value
        count += length
        while count >= 8:
            count -= 8
            byte = (bits >> count) & 0xFF
            data.append(byte)
            if byte == 0xFF:
                data.append(0)
        bits &= (1 << count) - 1

    for by in range((height + 7) // 8):
        for bx in range((width + 7) // 8):
            dc = max(0, min(255, shade(bx, by))) - 128
            diff, previous = dc - previous, dc
            category = abs(diff).bit_length()
            put(category, 4)
            if category:
                put(diff if diff > 0 else diff + (1 << category) - 1, category)
            put(0, 1)  # end of block
    if count:
        put((1 << (8 - count)) - 1, 8 - count)
    return out + bytes(data) + b"\xff\xd9"


def wide_hazard_map():
    """24000 x 400 pixels: wider than a report page picture may be."""
    return flat_jpeg(24000, 400, lambda bx, by: 230 if (bx // 40 + by // 10) % 2 else 150)
