#!/usr/bin/env python3
"""Generates protocol/xml/XMLTables.cpp: the character tables of the
single-byte encodings (ISO-8859-1 to -10 and US-ASCII) with their reverse
tables, and the character classes of XML 1.0 (Letter and Digit) as range
tables.

The code pages come from Python's own codecs, restricted to the characters
XML allows, with the older editions the program uses for parts 7 and 8. The
result is checked against fixed spot values before anything is written.

    python3 tools/xmltables/gen_xml_tables.py            # writes the file
    python3 tools/xmltables/gen_xml_tables.py --check    # compares only
"""

import os
import re
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
OUT = os.path.join(ROOT, "protocol", "xml", "XMLTables.cpp")

# Bytes that are never mapped in parts 1 to 10: C0 controls except tab,
# line feed and carriage return, DEL and the C1 controls.
NEVER = set(range(0x00, 0x09)) | {0x0B, 0x0C} | set(range(0x0E, 0x20)) | {0x7F} | set(range(0x80, 0xA0))

# Parts 7 and 8 in the editions the program follows.
OVERRIDES = {
    7: {0xA1: 0x02BD, 0xA2: 0x02BC, 0xA4: 0, 0xA5: 0, 0xAA: 0},
    8: {0xAF: 0x203E, 0xFD: 0, 0xFE: 0},
}

# (encoding value, byte, character; 0 = unmapped)
SPOT_VALUES = [
    (2, 0xAB, 0x0164),
    (1, 0x85, 0), (1, 0x09, 0x09), (1, 0x0A, 0x0A), (1, 0x0D, 0x0D), (1, 0xE9, 0x00E9),
    (1, 0x00, 0), (1, 0x7F, 0), (1, 0x41, 0x41),
    (7, 0xA1, 0x02BD), (7, 0xA2, 0x02BC), (7, 0xA4, 0), (7, 0xA5, 0), (7, 0xAA, 0),
    (8, 0xAF, 0x203E), (8, 0xFD, 0), (8, 0xFE, 0),
    (11, 0x00, 0), (11, 0x01, 0x01), (11, 0x7F, 0x7F), (11, 0x80, 0), (11, 0xFF, 0),
]

# XML 1.0, Appendix B.
BASE_CHAR = """
[#x0041-#x005A] | [#x0061-#x007A] | [#x00C0-#x00D6] | [#x00D8-#x00F6] | [#x00F8-#x00FF]
| [#x0100-#x0131] | [#x0134-#x013E] | [#x0141-#x0148] | [#x014A-#x017E] | [#x0180-#x01C3]
| [#x01CD-#x01F0] | [#x01F4-#x01F5] | [#x01FA-#x0217] | [#x0250-#x02A8] | [#x02BB-#x02C1]
| #x0386 | [#x0388-#x038A] | #x038C | [#x038E-#x03A1] | [#x03A3-#x03CE] | [#x03D0-#x03D6]
| #x03DA | #x03DC | #x03DE | #x03E0 | [#x03E2-#x03F3] | [#x0401-#x040C] | [#x040E-#x044F]
| [#x0451-#x045C] | [#x045E-#x0481] | [#x0490-#x04C4] | [#x04C7-#x04C8] | [#x04CB-#x04CC]
| [#x04D0-#x04EB] | [#x04EE-#x04F5] | [#x04F8-#x04F9] | [#x0531-#x0556] | #x0559
| [#x0561-#x0586] | [#x05D0-#x05EA] | [#x05F0-#x05F2] | [#x0621-#x063A] | [#x0641-#x064A]
| [#x0671-#x06B7] | [#x06BA-#x06BE] | [#x06C0-#x06CE] | [#x06D0-#x06D3] | #x06D5
| [#x06E5-#x06E6] | [#x0905-#x0939] | #x093D | [#x0958-#x0961] | [#x0985-#x098C]
| [#x098F-#x0990] | [#x0993-#x09A8] | [#x09AA-#x09B0] | #x09B2 | [#x09B6-#x09B9]
| [#x09DC-#x09DD] | [#x09DF-#x09E1] | [#x09F0-#x09F1] | [#x0A05-#x0A0A] | [#x0A0F-#x0A10]
| [#x0A13-#x0A28] | [#x0A2A-#x0A30] | [#x0A32-#x0A33] | [#x0A35-#x0A36] | [#x0A38-#x0A39]
| [#x0A59-#x0A5C] | #x0A5E | [#x0A72-#x0A74] | [#x0A85-#x0A8B] | #x0A8D | [#x0A8F-#x0A91]
| [#x0A93-#x0AA8] | [#x0AAA-#x0AB0] | [#x0AB2-#x0AB3] | [#x0AB5-#x0AB9] | #x0ABD | #x0AE0
| [#x0B05-#x0B0C] | [#x0B0F-#x0B10] | [#x0B13-#x0B28] | [#x0B2A-#x0B30] | [#x0B32-#x0B33]
| [#x0B36-#x0B39] | #x0B3D | [#x0B5C-#x0B5D] | [#x0B5F-#x0B61] | [#x0B85-#x0B8A]
| [#x0B8E-#x0B90] | [#x0B92-#x0B95] | [#x0B99-#x0B9A] | #x0B9C | [#x0B9E-#x0B9F]
| [#x0BA3-#x0BA4] | [#x0BA8-#x0BAA] | [#x0BAE-#x0BB5] | [#x0BB7-#x0BB9] | [#x0C05-#x0C0C]
| [#x0C0E-#x0C10] | [#x0C12-#x0C28] | [#x0C2A-#x0C33] | [#x0C35-#x0C39] | [#x0C60-#x0C61]
| [#x0C85-#x0C8C] | [#x0C8E-#x0C90] | [#x0C92-#x0CA8] | [#x0CAA-#x0CB3] | [#x0CB5-#x0CB9]
| #x0CDE | [#x0CE0-#x0CE1] | [#x0D05-#x0D0C] | [#x0D0E-#x0D10] | [#x0D12-#x0D28]
| [#x0D2A-#x0D39] | [#x0D60-#x0D61] | [#x0E01-#x0E2E] | #x0E30 | [#x0E32-#x0E33]
| [#x0E40-#x0E45] | [#x0E81-#x0E82] | #x0E84 | [#x0E87-#x0E88] | #x0E8A | #x0E8D
| [#x0E94-#x0E97] | [#x0E99-#x0E9F] | [#x0EA1-#x0EA3] | #x0EA5 | #x0EA7 | [#x0EAA-#x0EAB]
| [#x0EAD-#x0EAE] | #x0EB0 | [#x0EB2-#x0EB3] | #x0EBD | [#x0EC0-#x0EC4] | [#x0F40-#x0F47]
| [#x0F49-#x0F69] | [#x10A0-#x10C5] | [#x10D0-#x10F6] | #x1100 | [#x1102-#x1103]
| [#x1105-#x1107] | #x1109 | [#x110B-#x110C] | [#x110E-#x1112] | #x113C | #x113E | #x1140
| #x114C | #x114E | #x1150 | [#x1154-#x1155] | #x1159 | [#x115F-#x1161] | #x1163 | #x1165
| #x1167 | #x1169 | [#x116D-#x116E] | [#x1172-#x1173] | #x1175 | #x119E | #x11A8 | #x11AB
| [#x11AE-#x11AF] | [#x11B7-#x11B8] | #x11BA | [#x11BC-#x11C2] | #x11EB | #x11F0 | #x11F9
| [#x1E00-#x1E9B] | [#x1EA0-#x1EF9] | [#x1F00-#x1F15] | [#x1F18-#x1F1D] | [#x1F20-#x1F45]
| [#x1F48-#x1F4D] | [#x1F50-#x1F57] | #x1F59 | #x1F5B | #x1F5D | [#x1F5F-#x1F7D]
| [#x1F80-#x1FB4] | [#x1FB6-#x1FBC] | #x1FBE | [#x1FC2-#x1FC4] | [#x1FC6-#x1FCC]
| [#x1FD0-#x1FD3] | [#x1FD6-#x1FDB] | [#x1FE0-#x1FEC] | [#x1FF2-#x1FF4] | [#x1FF6-#x1FFC]
| #x2126 | [#x212A-#x212B] | #x212E | [#x2180-#x2182] | [#x3041-#x3094] | [#x30A1-#x30FA]
| [#x3105-#x312C] | [#xAC00-#xD7A3]
"""

IDEOGRAPHIC = "[#x4E00-#x9FA5] | #x3007 | [#x3021-#x3029]"

DIGIT = """
[#x0030-#x0039] | [#x0660-#x0669] | [#x06F0-#x06F9] | [#x0966-#x096F] | [#x09E6-#x09EF]
| [#x0A66-#x0A6F] | [#x0AE6-#x0AEF] | [#x0B66-#x0B6F] | [#x0BE7-#x0BEF] | [#x0C66-#x0C6F]
| [#x0CE6-#x0CEF] | [#x0D66-#x0D6F] | [#x0E50-#x0E59] | [#x0ED0-#x0ED9] | [#x0F20-#x0F29]
"""


def parse_ranges(text):
    ranges = []
    for item in text.split("|"):
        item = item.strip()
        m = re.fullmatch(r"\[#x([0-9A-F]+)-#x([0-9A-F]+)\]", item)
        if m:
            lo, hi = int(m.group(1), 16), int(m.group(2), 16)
        else:
            m = re.fullmatch(r"#x([0-9A-F]+)", item)
            if not m:
                raise SystemExit("bad range item: %r" % item)
            lo = hi = int(m.group(1), 16)
        if lo > hi:
            raise SystemExit("reversed range: %r" % item)
        ranges.append((lo, hi))
    ranges.sort()
    merged = []
    for lo, hi in ranges:
        if merged and lo <= merged[-1][1] + 1:
            if lo <= merged[-1][1]:
                raise SystemExit("overlapping ranges at %04X" % lo)
            merged[-1] = (merged[-1][0], hi)
        else:
            merged.append((lo, hi))
    return merged


def code_page(part):
    """The 256 characters of ISO 8859 part 1..10 (0 = unmapped)."""
    table = [0] * 256
    for b in range(256):
        if b in NEVER:
            continue
        try:
            ch = bytes([b]).decode("iso8859_%d" % part)
        except UnicodeDecodeError:
            continue
        table[b] = ord(ch)
    for b, c in OVERRIDES.get(part, {}).items():
        table[b] = c
    return table


def us_ascii():
    return [b if 0x01 <= b <= 0x7F else 0 for b in range(256)]


def build_tables():
    tables = {part: code_page(part) for part in range(1, 11)}
    tables[11] = us_ascii()
    return tables


def check(tables):
    for enc, b, c in SPOT_VALUES:
        got = tables[enc][b]
        if got != c:
            raise SystemExit("spot value failed: encoding %d byte %02X gives %04X, expected %04X"
                             % (enc, b, got, c))
    for part in range(1, 11):
        for b in NEVER:
            if tables[part][b]:
                raise SystemExit("part %d maps the control byte %02X" % (part, b))
        for b in range(0x20, 0x7F):
            if tables[part][b] != b:
                raise SystemExit("part %d does not map ASCII byte %02X to itself" % (part, b))
    for enc, t in tables.items():
        seen = {}
        for b in range(0x80, 0x100):
            if t[b] and t[b] in seen:
                raise SystemExit("encoding %d maps %04X twice" % (enc, t[b]))
            seen[t[b]] = b
    # Every character of parts 1 to 10 is an XML character (US-ASCII maps
    # every byte 0x01-0x7F to itself, controls included).
    for enc, t in tables.items():
        if enc == 11:
            continue
        for b, c in enumerate(t):
            if c and not (c in (9, 10, 13) or 0x20 <= c <= 0xD7FF or 0xE000 <= c <= 0xFFFD):
                raise SystemExit("encoding %d byte %02X maps to a non-XML character" % (enc, b))


def emit_array(name, values, per_line=8, fmt="0x%04X"):
    lines = ["const char16_t %s[%d] = {" % (name, len(values))]
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(fmt % v for v in values[i:i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


def emit_ranges(name, ranges):
    lines = ["const TCharRange %s[%d] = {" % (name, len(ranges))]
    for i in range(0, len(ranges), 4):
        lines.append("    " + ", ".join("{0x%04X, 0x%04X}" % r for r in ranges[i:i + 4]) + ",")
    lines.append("};")
    lines.append("const int %sCount = %d;" % (name, len(ranges)))
    return "\n".join(lines)


def generate():
    tables = build_tables()
    check(tables)
    base = parse_ranges(BASE_CHAR)
    ideo = parse_ranges(IDEOGRAPHIC)
    digit = parse_ranges(DIGIT)
    letter = parse_ranges(" | ".join("[#x%04X-#x%04X]" % r for r in base + ideo))

    out = []
    out.append("// Generated by tools/xmltables/gen_xml_tables.py; do not edit.")
    out.append("// Character tables of the single-byte encodings and the character")
    out.append("// classes Letter and Digit of XML 1.0 (Appendix B).")
    out.append("")
    out.append('#include "protocol/xml/XMLTables_p.h"')
    out.append("")
    out.append("namespace xmltables {")
    out.append("")
    names = {1: "kISO8859_1", 2: "kISO8859_2", 3: "kISO8859_3", 4: "kISO8859_4", 5: "kISO8859_5",
             6: "kISO8859_6", 7: "kISO8859_7", 8: "kISO8859_8", 9: "kISO8859_9", 10: "kISO8859_10",
             11: "kUSASCII"}
    for enc in range(1, 12):
        out.append(emit_array(names[enc], tables[enc]))
        out.append("")
    out.append("const char16_t* const kCodePages[12] = {")
    out.append("    kUSASCII, " + ", ".join(names[e] for e in range(1, 12)) + ",")
    out.append("};")
    out.append("")
    # Reverse tables: (character, byte) of the bytes 0x80-0xFF, sorted by
    # character; the lowest byte wins (no table maps a character twice).
    for enc in range(1, 12):
        pairs = sorted((tables[enc][b], b) for b in range(0x80, 0x100) if tables[enc][b])
        out.append("const TByteOfChar %sReverse[%d] = {" % (names[enc], max(1, len(pairs))))
        if not pairs:
            out.append("    {0, 0},")
        for i in range(0, len(pairs), 6):
            out.append("    " + ", ".join("{0x%04X, 0x%02X}" % p for p in pairs[i:i + 6]) + ",")
        out.append("};")
        out.append("")
    out.append("const TReverseTable kReverse[12] = {")
    out.append("    {nullptr, 0},")
    for enc in range(1, 12):
        n = sum(1 for b in range(0x80, 0x100) if tables[enc][b])
        out.append("    {%sReverse, %d}," % (names[enc], n))
    out.append("};")
    out.append("")
    out.append(emit_ranges("kLetterRanges", letter))
    out.append("")
    out.append(emit_ranges("kDigitRanges", digit))
    out.append("")
    out.append("} // namespace xmltables")
    out.append("")
    return "\n".join(out)


def main():
    text = generate()
    if "--check" in sys.argv[1:]:
        with open(OUT, encoding="utf-8") as f:
            if f.read() != text:
                print("%s is out of date" % OUT)
                return 1
        print("%s is up to date" % OUT)
        return 0
    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    print("wrote %s" % OUT)
    return 0


if __name__ == "__main__":
    sys.exit(main())
