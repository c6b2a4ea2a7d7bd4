#!/usr/bin/env python3
"""Writes the seed corpus of pdftextfuzz into corpus/: one file an input, a
byte of font options then the text in UTF-16 little-endian (lone
surrogates written as they are)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def units(text):
    """The UTF-16 code units of text; a str of code points, surrogates kept."""
    out = []
    for ch in text:
        c = ord(ch)
        if c > 0xFFFF:
            c -= 0x10000
            out += [0xD800 + (c >> 10), 0xDC00 + (c & 0x3FF)]
        else:
            out.append(c)
    return out


def write(name, options, text):
    data = bytes([options]) + b"".join(struct.pack("<H", u) for u in units(text))
    with open(os.path.join(HERE, "corpus", name), "wb") as f:
        f.write(data)


SCRIPTS = "\n".join([
    "Latin: The quick brown fox, Caf\u00e9 Z\u00fcrich, \u00c5ngstr\u00f6m, fi fl ffi",
    "Greek: \u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1 \u03ba\u03cc\u03c3\u03bc\u03b5",
    "Cyrillic: \u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440",
    "Arabic: \u0645\u062d\u0645\u062f \u0633\u0644\u0627\u0645 \u0661\u0662\u0663 \u0644\u0627",
    "\u05e9\u05b8\u05c1\u05dc\u05d5\u05b9\u05dd \u05e2\u05d5\u05dc\u05dd 12,500 \u20aa (abc)",
    "Devanagari: \u0926\u0947\u0935\u0928\u093e\u0917\u0930\u0940 \u0915\u094d\u0937\u093f \u0939\u093f\u0928\u094d\u0926\u0940",
    "Bengali: \u09ac\u09be\u0982\u09b2\u09be",
    "Tamil: \u0ba4\u0bae\u0bbf\u0bb4\u0bcd",
    "Thai: \u0e2a\u0e21\u0e0a\u0e32\u0e22 \u0e1c\u0e39\u0e49\u0e43\u0e2b\u0e0d\u0e48 \u0e19\u0e49\u0e33",
    "CJK: \u738b\u5c0f\u660e \u6771\u4eac\u90fd \u5c71\u7530\u592a\u90ce",
    "Hangul: \ud55c\uad6d\uc5b4 \u1112\u1161\u11ab",
    "Georgian: \u10e5\u10d0\u10e0\u10d7\u10e3\u10da\u10d8 Armenian: \u0540\u0561\u0575\u0565\u0580\u0565\u0576",
    "Ethiopic: \u12a0\u121b\u122d\u129b",
    "Beyond U+FFFF: \U0001d400\U0001d401 \U0001f600\U0001f44d\U0001f3fd \U00020000\U0002a6d6",
    "Private use: \ue000\ue001 \U000f0000",
])

write("scripts", 0x40, SCRIPTS)
write("scripts-bold-serif", 0x40 | 1 | 4, SCRIPTS)
write("scripts-italic-dejavu-turned", 0x80 | 3 | 8 | 16 | 32, SCRIPTS)
write("scripts-mono-small", 0x00 | 2, SCRIPTS)

write("scripts-without-face", 0x40,
      "\U00013000\U00013001 \U00012000 \U00017000 \U00010000\U00010001\n"
      "\u0f40\u0f72 \u1780\u17b6 \u1000\u102c \u0d15\u0d3e \u0c15\u0c3e \u1820\u1821 \ua840 \u2d30\n"
      "\u0378\u0379 \U000e0001 \U0010fffd \u08a0\u08e3")
write("lone-surrogates", 0x40, "\ud800 a\udc00b \udfff\ud800 end\ud83d")
write("lone-surrogates-rtl", 0x40, "\u05e9\ud800\u05dc \udc00\u0645\ud83d")
write("marks-without-base", 0x40,
      "\u0301\u0308 \u093f\u094d \u064e\u0651\u0650 \u05b8\u05c1 \u0e48\u0e49 \u20dd\u0332"
      + "\n" + "a" + "\u0301" * 60 + "\n" + "\u0651" * 40 + "\n" + "\u093f" * 30)
write("controls", 0x40,
      "\u202eabc\u202c \u202dabc \u2067\u05e9\u2069 \u2068x\u202b\u202a\u202c\u202c\u202c "
      "\u200d\u200c\u200b\ufeff\u00ad\ufffe\uffff\u0000\u0001\t\r\u2028\u2029\u0085 \ufffd")
write("empty-lines", 0x40, "\n" * 50 + "x" + "\n\n")

write("long-latin", 0x40, "a" * 10000)
write("long-latin-words", 0x40, "Lot 12 of Block B, " * 530)
write("long-arabic", 0x40, "\u0645\u062d\u0645\u062f \u0633\u0644\u0627\u0645 " * 1000)
write("long-arabic-numbers", 0x40, "\u0642\u0637\u0639\u0629 12 \u0631\u0642\u0645 3/4 abc " * 500)
write("long-arabic-nospace", 0x40, "\u0645\u062d\u0645\u062f" * 2500)
write("long-devanagari", 0x40, "\u0926\u0947\u0935\u0928\u093e\u0917\u0930\u0940 " * 1100)
write("long-mark", 0x40, "\u0301" * 10000)
write("long-marks-on-base", 0x40, "a" + "\u0301\u0323" * 5000 + "\n\u0645" + "\u064e\u0651" * 5000)
write("long-emoji", 0x40, "\U0001f600" * 5000)
write("long-bidi-mixed", 0x40, "abc \u05e9\u05dc\u05d5\u05dd 123 \u0645\u062d\u0645\u062f (x) " * 400)
write("long-surrogates", 0x40, "\ud800" * 5000 + "\udc00" * 5000)
