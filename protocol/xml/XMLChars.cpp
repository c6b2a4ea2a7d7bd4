#include "protocol/xml/XMLChars.h"

#include "protocol/xml/XMLTables_p.h"
#include "protocol/xml/XMLWideStrings.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace xmlchars_detail {
namespace {

// The letter and digit ranges are generated data (XMLTables.cpp); the flags
// table is built from them once, when the program starts.
std::array<uint8_t, 65536> buildFlags()
{
    std::array<uint8_t, 65536> f{};
    auto mark = [&f](unsigned lo, unsigned hi, uint8_t flag) {
        for (unsigned c = lo; c <= hi; ++c) f[c] |= flag;
    };
    mark(0x09, 0x0A, fXMLChar);
    mark(0x0D, 0x0D, fXMLChar);
    mark(0x20, 0xD7FF, fXMLChar);
    mark(0xE000, 0xFFFD, fXMLChar);
    mark(0x20, 0x20, fWhite);
    mark(0x09, 0x0A, fWhite);
    mark(0x0D, 0x0D, fWhite);
    for (int i = 0; i < xmltables::kLetterRangesCount; ++i)
        mark(xmltables::kLetterRanges[i].first, xmltables::kLetterRanges[i].last, fLetter | fNameStart | fNameChar);
    for (int i = 0; i < xmltables::kDigitRangesCount; ++i)
        mark(xmltables::kDigitRanges[i].first, xmltables::kDigitRanges[i].last, fDigit | fNameChar);
    for (char16_t c : {u'_', u':'}) f[c] |= fNameStart | fNameChar;
    for (char16_t c : {u'.', u'-'}) f[c] |= fNameChar;
    for (char16_t c : {u'-', u'?', u']', u'/', u'>'}) f[c] |= fClose;
    return f;
}

} // namespace

extern const std::array<uint8_t, 65536> kCharFlags = buildFlags();
} // namespace xmlchars_detail

namespace {

bool validPieces(QStringView s, QStringList* list, bool (*check)(QStringView))
{
    const QString t = WideTrim(s);
    if (t.isEmpty()) return false;
    bool ok = true;
    qsizetype start = 0;
    const qsizetype n = t.size();
    while (start <= n) {
        qsizetype end = t.indexOf(u' ', start);
        if (end < 0) end = n;
        if (end > start) {
            const QStringView piece = QStringView(t).mid(start, end - start);
            if (!check(piece)) ok = false;
            if (list) list->append(piece.toString());
        }
        start = end + 1;
    }
    return ok;
}

inline bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
inline bool isHexDigit(char16_t c) { return isAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

const char16_t kLt[] = u"&lt;";
const char16_t kGt[] = u"&gt;";
const char16_t kAmp[] = u"&amp;";
const char16_t kQuot[] = u"&quot;";
const char16_t kApos[] = u"&apos;";

inline bool inSet(char16_t c, TEscapeSet set)
{
    if (!IsEscapeCandidate(c)) return false;
    switch (c) {
    case u'&': return true;
    case u'<': return set != esEntityValue;
    case u'"': return set != esText;
    default: return false;
    }
}

} // namespace

bool IsValidName(QStringView s)
{
    if (s.isEmpty() || !IsNameStart(s[0])) return false;
    for (qsizetype i = 1; i < s.size(); ++i)
        if (!IsNameChar(s[i])) return false;
    return true;
}

bool IsValidNmtoken(QStringView s)
{
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (!IsNameChar(c)) return false;
    return true;
}

bool IsValidNames(QStringView s, QStringList* list) { return validPieces(s, list, IsValidName); }

bool IsValidNmtokens(QStringView s, QStringList* list) { return validPieces(s, list, IsValidNmtoken); }

bool IsValidPITarget(QStringView s)
{
    const QString t = WideTrim(s);
    if (t.isEmpty()) return false;
    if (WideCompareText(t, u"XML") == 0) return false;
    return IsValidName(s);
}

QString IndentText(int n) { return n > 0 ? QString(n, u' ') : QString(); }

QStringView EntityOf(char16_t c)
{
    switch (c) {
    case u'<': return QStringView(kLt, 4);
    case u'>': return QStringView(kGt, 4);
    case u'&': return QStringView(kAmp, 5);
    case u'"': return QStringView(kQuot, 6);
    case u'\'': return QStringView(kApos, 6);
    default: return QStringView();
    }
}

bool IsReferenceAt(QStringView s, qsizetype i)
{
    const qsizetype n = s.size();
    if (i < 0 || i >= n || s[i] != u'&') return false;
    qsizetype j = i + 1;
    if (j < n && s[j] == u'#') {
        ++j;
        bool hex = false;
        if (j < n && s[j] == u'x') {
            hex = true;
            ++j;
        }
        const qsizetype digits = j;
        while (j < n && (hex ? isHexDigit(s[j].unicode()) : isAsciiDigit(s[j].unicode()))) ++j;
        return j > digits && j < n && s[j] == u';';
    }
    if (j >= n || !IsNameStart(s[j])) return false;
    ++j;
    while (j < n && IsNameChar(s[j])) ++j;
    return j < n && s[j] == u';';
}

QString EscapeChar(QStringView s, char16_t c)
{
    const QStringView entity = EntityOf(c);
    if (entity.isEmpty()) return s.toString();
    QString out;
    out.reserve(s.size() + 16);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t ch = s[i].unicode();
        if (ch == c && !(c == u'&' && IsReferenceAt(s, i)))
            out += entity;
        else
            out += QChar(ch);
    }
    return out;
}

qsizetype FindEscapeCandidate(const char16_t* p, qsizetype i, qsizetype n)
{
#if defined(__SSE2__)
    const __m128i amp = _mm_set1_epi16(u'&');
    const __m128i lt = _mm_set1_epi16(u'<');
    const __m128i quot = _mm_set1_epi16(u'"');
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hit =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, amp), _mm_cmpeq_epi16(v, lt)), _mm_cmpeq_epi16(v, quot));
        const int mask = _mm_movemask_epi8(hit);
        if (mask) return i + (__builtin_ctz(unsigned(mask)) >> 1);
    }
#endif
    for (; i < n; ++i)
        if (IsEscapeCandidate(p[i])) return i;
    return n;
}

bool NeedsEscape(QStringView s, TEscapeSet set)
{
    for (QChar c : s)
        if (inSet(c.unicode(), set)) return true;
    return false;
}

qsizetype EscapedLength(QStringView s, TEscapeSet set)
{
    qsizetype len = s.size();
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (!inSet(c, set)) continue;
        if (c == u'&' && IsReferenceAt(s, i)) continue;
        len += EntityOf(c).size() - 1;
    }
    return len;
}

void AppendEscaped(QString& out, QStringView s, TEscapeSet set)
{
    const qsizetype n = s.size();
    qsizetype run = 0; // start of the characters not yet copied
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (!inSet(c, set)) continue;
        if (c == u'&' && IsReferenceAt(s, i)) continue;
        out += s.mid(run, i - run);
        out += EntityOf(c);
        run = i + 1;
    }
    out += s.mid(run);
}

int ReferenceEnd(QStringView s, int start)
{
    if (start < 1) start = 1;
    for (qsizetype i = start - 1; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c == u';') return int(i + 1);
        if (c == u'&') return 0;
    }
    return 0;
}

uint32_t HexValue(QStringView s)
{
    uint32_t v = 0;
    for (QChar ch : s) {
        const char16_t c = ch.unicode();
        uint32_t d;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else
            d = uint32_t(c) - 48u;
        v = v * 16u + d;
    }
    return v;
}

char16_t CharReferenceValue(QStringView name, TEncoding documentEncoding)
{
    QStringView rest = name;
    if (!rest.isEmpty() && rest[0] == u'#') rest = rest.mid(1);
    uint64_t value = 0;
    if (!rest.isEmpty() && (rest[0] == u'x' || rest[0] == u'X')) {
        // HexValue's digit rule, saturated past the range of characters so
        // that a long text cannot wrap around into a valid one.
        for (QChar ch : rest.mid(1)) {
            value = value * 16 + HexValue(QStringView(&ch, 1));
            if (value > 0x10FFFF) value = 0x110000;
        }
    } else {
        bool ok = !rest.isEmpty();
        for (QChar c : rest) {
            if (!isAsciiDigit(c.unicode())) {
                ok = false;
                break;
            }
            value = value * 10 + (c.unicode() - u'0');
            if (value > 0x10FFFF) value = 0x110000;
        }
        if (!ok) value = 0;
    }
    if (value > 0xFFFF || !IsXMLChar(char16_t(value))) {
        ListUnconverted(uint32_t(value > 0x10FFFF ? 0x110000 : value));
        return u'_';
    }
    if (IsSingleByteEncoding(documentEncoding)) {
        // The low byte read in the document's code page can be a control
        // character (&#524; is 0x0C): that is no character of a document.
        const char16_t mapped = ByteToChar(uint8_t(value & 0xFF), documentEncoding);
        if (!IsXMLChar(mapped)) {
            ListUnconverted(uint32_t(value));
            return u'_';
        }
        return mapped;
    }
    return char16_t(value);
}
