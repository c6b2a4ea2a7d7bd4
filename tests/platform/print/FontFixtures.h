#pragma once
// Font files made in the tests: a font file from its tables, a name table,
// a character map, and a small OpenType face with CFF outlines (a bar
// pattern a letter, so each letter reads apart on a rendered page).

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QtEndian>
#include <utility>
#include <vector>

namespace fonttest {

inline void Put16(QByteArray& t, qsizetype at, quint16 v) { qToBigEndian<quint16>(v, t.data() + at); }
inline void Put32(QByteArray& t, qsizetype at, quint32 v) { qToBigEndian<quint32>(v, t.data() + at); }
inline void Add16(QByteArray& t, quint16 v) { t.append(char(v >> 8)).append(char(v & 0xFF)); }
inline void Add32(QByteArray& t, quint32 v)
{
    Add16(t, quint16(v >> 16));
    Add16(t, quint16(v & 0xFFFF));
}
inline quint16 Get16(const QByteArray& t, qsizetype at) { return qFromBigEndian<quint16>(t.constData() + at); }
inline quint32 Get32(const QByteArray& t, qsizetype at) { return qFromBigEndian<quint32>(t.constData() + at); }

// A font file of the tables by tag, sorted, each on a four-byte boundary.
inline QByteArray Sfnt(const QMap<QByteArray, QByteArray>& tables, quint32 version = 0x00010000)
{
    QByteArray file;
    Add32(file, version);
    const quint16 count = quint16(tables.size());
    quint16 power = 1, log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    Add16(file, count);
    Add16(file, quint16(power * 16));
    Add16(file, log);
    Add16(file, quint16(count * 16 - power * 16));
    QByteArray body;
    const qsizetype start = 12 + qsizetype(count) * 16;
    quint32 whole = 0;
    qsizetype headAt = -1;
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        QByteArray padded = it.value();
        if (it.key() == "head" && padded.size() >= 12) {
            Put32(padded, 8, 0);
            headAt = start + body.size();
        }
        while (padded.size() % 4) padded.append('\0');
        quint32 sum = 0;
        for (qsizetype i = 0; i < padded.size(); i += 4) sum += Get32(padded, i);
        file += it.key();
        Add32(file, sum);
        Add32(file, quint32(start + body.size()));
        Add32(file, quint32(it.value().size()));
        body += padded;
        whole += sum;
    }
    // The head table's checksum adjustment, as every font file holds it:
    // files that differ tell it.
    file += body;
    for (qsizetype i = 0; i < start; i += 4) whole += Get32(file, i);
    if (headAt >= 0) Put32(file, headAt + 8, 0xB1B0AFBAu - whole);
    return file;
}

// A name table of the family, style and PostScript name (Windows, UTF-16BE).
inline QByteArray NameTable(const QString& family, const QString& postScriptName,
                            const QString& style = QStringLiteral("Regular"))
{
    const std::pair<int, QString> names[] = {
        {1, family}, {2, style}, {4, family + QLatin1Char(' ') + style}, {6, postScriptName}};
    QByteArray table, strings;
    Add16(table, 0);
    Add16(table, 4);
    Add16(table, 6 + 4 * 12);
    for (const auto& [id, text] : names) {
        Add16(table, 3);
        Add16(table, 1);
        Add16(table, 0x409);
        Add16(table, quint16(id));
        Add16(table, quint16(text.size() * 2));
        Add16(table, quint16(strings.size()));
        for (const QChar c : text) Add16(strings, c.unicode());
    }
    return table + strings;
}

// A Windows Unicode character map (format 4) of single characters.
inline QByteArray CharacterMap(const std::vector<std::pair<char16_t, quint16>>& glyphs)
{
    const int segments = int(glyphs.size()) + 1;
    QByteArray map(12 + 16 + segments * 8, '\0');
    Put16(map, 2, 1);
    Put16(map, 4, 3);
    Put16(map, 6, 1);
    Put32(map, 8, 12);
    const qsizetype at = 12;
    Put16(map, at, 4);
    Put16(map, at + 2, quint16(map.size() - at));
    Put16(map, at + 6, quint16(segments * 2));
    const qsizetype ends = at + 14, starts = ends + segments * 2 + 2, deltas = starts + segments * 2;
    for (int i = 0; i < segments; ++i) {
        const char16_t c = i < int(glyphs.size()) ? glyphs[size_t(i)].first : 0xFFFF;
        const quint16 g = i < int(glyphs.size()) ? glyphs[size_t(i)].second : 1;
        Put16(map, ends + i * 2, c);
        Put16(map, starts + i * 2, c);
        Put16(map, deltas + i * 2, quint16(g - c));
    }
    return map;
}

// A number of a CFF charstring or dictionary.
inline void CffNumber(QByteArray& out, int v, bool dict)
{
    if (v >= -107 && v <= 107) {
        out.append(char(v + 139));
    } else if (v >= 108 && v <= 1131) {
        out.append(char((v - 108) / 256 + 247)).append(char((v - 108) % 256));
    } else if (v <= -108 && v >= -1131) {
        out.append(char((-v - 108) / 256 + 251)).append(char((-v - 108) % 256));
    } else if (dict) {
        out.append(char(29));
        Add32(out, quint32(v));
    } else {
        out.append(char(28));
        Add16(out, quint16(v));
    }
}

inline QByteArray CffIndex(const std::vector<QByteArray>& items)
{
    QByteArray out;
    Add16(out, quint16(items.size()));
    if (items.empty()) return out;
    out.append(char(4)); // offsets of four bytes
    quint32 offset = 1;
    Add32(out, offset);
    for (const QByteArray& item : items) Add32(out, offset += quint32(item.size()));
    for (const QByteArray& item : items) out += item;
    return out;
}

// The letters of the CFF face: glyph 1 is the space, glyph 1 + k the k-th
// letter, drawn as k + 1 bars 60 units wide, 700 high, 60 apart.
inline const QString& CffLetters()
{
    static const QString letters = QStringLiteral("ABCDEFGH");
    return letters;
}
inline int CffAdvance(int glyph) { return glyph <= 1 ? 300 : glyph * 120 + 60; }
// The CID of a glyph of the face keyed by CIDs.
inline int CffCid(int glyph) { return glyph == 0 ? 0 : 100 + glyph * 3; }

// An OpenType face with CFF outlines, family as named; keyed by CIDs
// (CffCid) when cidKeyed.
inline QByteArray CffFont(const QString& family, bool cidKeyed = false)
{
    const int glyphs = 2 + int(CffLetters().size());
    std::vector<QByteArray> charStrings;
    for (int g = 0; g < glyphs; ++g) {
        QByteArray cs;
        CffNumber(cs, CffAdvance(g), false);
        if (g >= 2) {
            for (int bar = 0; bar < g; ++bar) {
                CffNumber(cs, bar == 0 ? 60 : 120, false);
                CffNumber(cs, bar == 0 ? 0 : -700, false);
                cs.append(char(21)); // rmoveto
                CffNumber(cs, 60, false);
                CffNumber(cs, 700, false);
                CffNumber(cs, -60, false);
                cs.append(char(6)); // hlineto
            }
        }
        cs.append(char(14)); // endchar
        charStrings.push_back(cs);
    }
    const QByteArray name = cidKeyed ? "TamselCid-Regular" : "TamselCff-Regular";
    const QByteArray priv = QByteArray("\x8B\x14\x8B\x15", 4); // default and nominal width 0
    const QByteArray strings = cidKeyed ? CffIndex({"Adobe", "Identity"}) : CffIndex({});
    const QByteArray globalSubrs = CffIndex({}), glyphIndex = CffIndex(charStrings);
    // Offsets as five-byte numbers, so the dictionaries' sizes are known.
    auto offset = [](QByteArray& d, int v) {
        d.append(char(29));
        Add32(d, quint32(v));
    };
    // The CIDs of the glyphs after the first (format 0), and every glyph in
    // font dictionary 0 (format 3).
    QByteArray charset(1, '\0'), fdSelect(1, '\3');
    for (int g = 1; g < glyphs; ++g) Add16(charset, quint16(CffCid(g)));
    Add16(fdSelect, 1);
    Add16(fdSelect, 0);
    fdSelect.append('\0');
    Add16(fdSelect, quint16(glyphs));
    auto fontDict = [&](int privateAt) {
        QByteArray d;
        offset(d, int(priv.size()));
        offset(d, privateAt);
        d.append(char(18));
        return d;
    };
    auto top = [&](int charStringsAt, int privateAt, int charsetAt, int fdSelectAt, int fdArrayAt) {
        QByteArray d;
        if (cidKeyed) {
            CffNumber(d, 391, true);
            CffNumber(d, 392, true);
            CffNumber(d, 0, true);
            d.append(char(12)).append(char(30)); // ROS
            offset(d, glyphs);
            d.append(char(12)).append(char(34)); // CIDCount
            offset(d, charsetAt);
            d.append(char(15));
            offset(d, fdSelectAt);
            d.append(char(12)).append(char(37));
            offset(d, fdArrayAt);
            d.append(char(12)).append(char(36));
        } else {
            offset(d, int(priv.size()));
            offset(d, privateAt);
            d.append(char(18));
        }
        offset(d, charStringsAt);
        d.append(char(17));
        return d;
    };
    const QByteArray header("\x01\x00\x04\x04", 4), names = CffIndex({name});
    const int topSize = int(CffIndex({top(0, 0, 0, 0, 0)}).size());
    int at = int(header.size() + names.size()) + topSize + int(strings.size() + globalSubrs.size());
    const int charsetAt = at;
    if (cidKeyed) at += int(charset.size() + fdSelect.size());
    const int fdSelectAt = charsetAt + int(charset.size());
    const int charStringsAt = at;
    at += int(glyphIndex.size());
    const int fdArrayAt = at;
    if (cidKeyed) at += int(CffIndex({fontDict(0)}).size());
    const int privateAt = at;
    QByteArray cff = header + names + CffIndex({top(charStringsAt, privateAt, charsetAt, fdSelectAt, fdArrayAt)}) +
        strings + globalSubrs;
    if (cidKeyed) cff += charset + fdSelect;
    cff += glyphIndex;
    if (cidKeyed) cff += CffIndex({fontDict(privateAt)});
    cff += priv;

    // The tables of a few fields: (offset, value, bytes).
    struct Field {
        int At;
        quint32 Value;
        int Bytes = 2;
    };
    const auto table = [](int size, std::initializer_list<Field> fields) {
        QByteArray t(size, '\0');
        for (const Field& f : fields) {
            if (f.Bytes == 4)
                Put32(t, f.At, f.Value);
            else
                Put16(t, f.At, quint16(f.Value));
        }
        return t;
    };
    const quint32 below = quint16(-200);
    const QByteArray head = table(
        54,
        {{0, 0x00010000, 4}, {12, 0x5F0F3CF5, 4}, {18, 1000}, {38, below}, {40, 1200}, {42, 800}, {46, 8}, {48, 2}});
    const QByteArray hhea =
        table(36, {{0, 0x00010000, 4}, {4, 800}, {6, below}, {10, 1200}, {18, 1}, {34, quint32(glyphs)}});
    QByteArray hmtx;
    for (int g = 0; g < glyphs; ++g) {
        Add16(hmtx, quint16(CffAdvance(g)));
        Add16(hmtx, g >= 2 ? 60 : 0);
    }
    QByteArray maxp;
    Add32(maxp, 0x00005000);
    Add16(maxp, quint16(glyphs));
    // Basic Latin and Latin 1, regular.
    QByteArray os2 = table(96,
                           {{0, 4},
                            {2, 500},
                            {4, 400},
                            {6, 5},
                            {26, 50},
                            {28, 250},
                            {42, 1, 4},
                            {62, 0x40},
                            {64, 0x20},
                            {66, 0x48},
                            {68, 800},
                            {70, below},
                            {74, 800},
                            {76, 200},
                            {78, 1, 4},
                            {88, 700}});
    os2.replace(58, 4, "TMSL");
    const QByteArray post = table(32, {{0, 0x00030000, 4}, {8, quint16(-100)}, {10, 50}});
    std::vector<std::pair<char16_t, quint16>> map{{u' ', 1}};
    for (qsizetype k = 0; k < CffLetters().size(); ++k) map.push_back({CffLetters()[k].unicode(), quint16(2 + k)});
    return Sfnt({{"CFF ", cff},
                 {"OS/2", os2},
                 {"cmap", CharacterMap(map)},
                 {"head", head},
                 {"hhea", hhea},
                 {"hmtx", hmtx},
                 {"maxp", maxp},
                 {"name", NameTable(family, QString::fromLatin1(name))},
                 {"post", post}},
                0x4F54544F); // 'OTTO'
}

} // namespace fonttest
