#include "protocol/TextSearch.h"

#include "protocol/ProtocolTables_p.h"

#include <QChar>

namespace {

using protocol_tables::kAnsiUpper;
using protocol_tables::kLatin1Upper;

// Upper case of one UTF-16 unit: the code page's rule below U+0100, the
// Unicode rule above (the florin sign of the code page has no upper case
// there and stays).
inline char16_t UpperUnit(char16_t c)
{
    if (c < 0x100) return kLatin1Upper[c];
    if (c == 0x0192 || QChar::isSurrogate(c)) return c;
    return static_cast<char16_t>(QChar::toUpper(static_cast<char32_t>(c)));
}

inline unsigned ByteKey(char c) { return static_cast<unsigned char>(c); }
inline unsigned UpperByteKey(char c) { return kAnsiUpper[static_cast<unsigned char>(c)]; }
// The shift table has 256 entries: a UTF-16 unit is keyed by its low byte.
// Units sharing a key keep the smallest shift, which is always safe.
inline unsigned UnitKey(char16_t c) { return c & 0xFFu; }

template <typename Ch, typename Key>
void BuildTable(const Ch* pattern, qsizetype length, TBMTable& table, Key key)
{
    if (length < 1) throw EBMError(QStringLiteral("Buffer length is 0"));
    table.fill(static_cast<std::uint32_t>(length));
    for (qsizetype i = 0; i + 1 < length; ++i) table[key(pattern[i])] = static_cast<std::uint32_t>(length - 1 - i);
}

template <typename Ch, typename Key, typename Equal>
qsizetype Search(const Ch* pattern, qsizetype patternLength, const Ch* text, qsizetype textLength,
                 const TBMTable& table, Key key, Equal windowEquals)
{
    if (patternLength < 1 || !pattern || !text) return -1;
    qsizetype start = 0;
    while (start + patternLength - 1 < textLength) {
        if (windowEquals(text + start)) return start;
        start += table[key(text[start + patternLength - 1])];
    }
    return -1;
}

} // namespace

void MakeBMTable(const char* pattern, qsizetype length, TBMTable& table)
{
    BuildTable(pattern, length, table, ByteKey);
}

void MakeBMTableNoCase(const char* pattern, qsizetype length, TBMTable& table)
{
    BuildTable(pattern, length, table, UpperByteKey);
}

qsizetype BMPos(const char* pattern, const char* text, qsizetype patternLength, const TBMTable& table,
                qsizetype textLength)
{
    return Search(pattern, patternLength, text, textLength, table, ByteKey, [&](const char* window) {
        return std::memcmp(window, pattern, static_cast<std::size_t>(patternLength)) == 0;
    });
}

qsizetype BMPosNoCase(const char* pattern, const char* text, qsizetype patternLength, const TBMTable& table,
                      qsizetype textLength)
{
    return Search(pattern, patternLength, text, textLength, table, UpperByteKey, [&](const char* window) {
        for (qsizetype i = 0; i < patternLength; ++i)
            if (UpperByteKey(window[i]) != UpperByteKey(pattern[i])) return false;
        return true;
    });
}

QString FastReplace(const QString& source, const QString& find, const QString& replace, bool caseSensitive)
{
    const qsizetype n = source.size();
    const qsizetype m = find.size();
    if (n == 0 || m == 0 || m > n) return source;

    const char16_t* text = reinterpret_cast<const char16_t*>(source.utf16());
    const char16_t* pattern = reinterpret_cast<const char16_t*>(find.utf16());
    std::vector<char16_t> folded;
    TBMTable table;
    if (caseSensitive) {
        BuildTable(pattern, m, table, UnitKey);
    } else {
        folded.resize(static_cast<std::size_t>(m));
        for (qsizetype i = 0; i < m; ++i) folded[static_cast<std::size_t>(i)] = UpperUnit(pattern[i]);
        BuildTable(folded.data(), m, table, UnitKey);
    }

    qint64 reserve = n;
    if (replace.size() > m)
        reserve = std::min<qint64>(static_cast<qint64>(n) * replace.size() / m, static_cast<qint64>(n) * 10);
    QString result;
    result.reserve(static_cast<qsizetype>(reserve));

    qsizetype pos = 0;
    while (n - pos >= m) {
        qsizetype hit;
        if (caseSensitive) {
            hit = Search(pattern, m, text + pos, n - pos, table, UnitKey, [&](const char16_t* window) {
                return std::memcmp(window, pattern, static_cast<std::size_t>(m) * sizeof(char16_t)) == 0;
            });
        } else {
            hit = Search(
                folded.data(), m, text + pos, n - pos, table, [](char16_t c) { return UnitKey(UpperUnit(c)); },
                [&](const char16_t* window) {
                    for (qsizetype i = 0; i < m; ++i)
                        if (UpperUnit(window[i]) != folded[static_cast<std::size_t>(i)]) return false;
                    return true;
                });
        }
        if (hit < 0) break;
        result.append(QStringView(source).mid(pos, hit));
        result.append(replace);
        pos += hit + m;
    }
    result.append(QStringView(source).mid(pos));
    return result;
}
