#include "protocol/xml/XMLEncoding_p.h"

#include "platform/core/AnsiCodePage.h"
#include "platform/core/Format.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const char* const kNames[14] = {
    "not supported", "ISO-8859-1", "ISO-8859-2", "ISO-8859-3",  "ISO-8859-4", "ISO-8859-5", "ISO-8859-6",
    "ISO-8859-7",    "ISO-8859-8", "ISO-8859-9", "ISO-8859-10", "US-ASCII",   "UTF-8",      "UTF-16",
};

// The list of unconvertible characters. One list per thread: the program
// has one user-interface thread; a parse in another thread keeps its own.
thread_local std::vector<uint32_t> t_unconverted;

inline char16_t upperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

uint8_t reverseLookup(char16_t c, TEncoding e)
{
    const xmltables::TReverseTable& t = xmltables::kReverse[e];
    const xmltables::TByteOfChar* end = t.pairs + t.count;
    const xmltables::TByteOfChar* it =
        std::lower_bound(t.pairs, end, c, [](const xmltables::TByteOfChar& p, char16_t v) { return p.character < v; });
    if (it != end && it->character == c) return it->byte;
    return 0;
}

inline qsizetype utf8Length(char16_t c) { return c < 0x80 ? 1 : (c < 0x800 ? 2 : 3); }

} // namespace

namespace xmlenc_detail {
char16_t UnmappedByte(uint8_t byte)
{
    ListUnconverted(AnsiCharOf(byte));
    return u'_';
}
} // namespace xmlenc_detail

QString EncodingName(TEncoding encoding)
{
    const unsigned i = encoding <= UTF_16 ? unsigned(encoding) : 0u;
    return QString::fromLatin1(kNames[i]);
}

TEncoding EncodingFromName(QStringView name)
{
    for (int e = i8859_1; e <= UTF_16; ++e) {
        const char* n = kNames[e];
        const qsizetype len = qsizetype(std::char_traits<char>::length(n));
        if (name.size() != len) continue;
        bool same = true;
        for (qsizetype i = 0; i < len && same; ++i) same = upperAscii(name[i].unicode()) == char16_t(n[i]);
        if (same) return TEncoding(e);
    }
    return n_sup;
}

const char16_t* CodePageTable(TEncoding encoding)
{
    return IsSingleByteEncoding(encoding) ? xmltables::kCodePages[encoding] : nullptr;
}

char16_t ByteToChar(uint8_t byte, TEncoding encoding) { return XmlByteToChar(byte, encoding); }

uint8_t CharToByte(char16_t character, TEncoding encoding)
{
    if (character < 0x7F) return uint8_t(character);
    const uint8_t b = IsSingleByteEncoding(encoding) ? reverseLookup(character, encoding) : 0;
    if (b) return b;
    ListUnconverted(character);
    return u'_';
}

void EncodeUTF8(char32_t c, QByteArray& out)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | ((c >> 18) & 0x07)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

QByteArray EncodeUTF8(char32_t character)
{
    QByteArray out;
    EncodeUTF8(character, out);
    return out;
}

char32_t DecodeUTF8(const uint8_t* b, int count)
{
    const uint8_t b1 = count > 0 ? b[0] : 0;
    if (b1 < 0x80) return b1;
    const uint8_t b2 = count > 1 ? b[1] : 0;
    if ((b1 & 0xE0) == 0xC0) return char16_t(((b1 & 0x1F) << 6) + (b2 & 0x3F));
    const uint8_t b3 = count > 2 ? b[2] : 0;
    if ((b1 & 0xF0) == 0xE0) return char16_t(((b1 & 0x0F) << 12) + ((b2 & 0x3F) << 6) + (b3 & 0x3F));
    if ((b1 & 0xF8) == 0xF0 && count > 3) {
        if (const char32_t c = Utf8FourByteChar(b1, b2, b3, b[3])) return c;
    }
    return b1;
}

QByteArray WideToBytes(QStringView text, TEncoding encoding, bool bigEndian)
{
    QByteArray out;
    AppendWideToBytes(out, text, encoding, bigEndian);
    return out;
}

namespace {

// Room for n more bytes at the end of out, growing geometrically; returns
// where they go. out.size() includes them afterwards.
uint8_t* GrowBy(QByteArray& out, qsizetype n)
{
    const qsizetype old = out.size();
    if (out.capacity() < old + n) out.reserve(std::max(old + n, 2 * out.capacity()));
    out.resize(old + n);
    return reinterpret_cast<uint8_t*>(out.data()) + old;
}

} // namespace

void AppendWideToBytes(QByteArray& out, QStringView text, TEncoding encoding, bool bigEndian)
{
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    if (n == 0) return;
    if (encoding == UTF_16) {
        uint8_t* d = GrowBy(out, n * 2);
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = s[i];
            d[2 * i] = uint8_t(bigEndian ? c >> 8 : c & 0xFF);
            d[2 * i + 1] = uint8_t(bigEndian ? c & 0xFF : c >> 8);
        }
        return;
    }
    if (encoding == UTF_8) {
        // A high half followed by a low half is one character of four bytes
        // (not twice three); a half met alone keeps its three bytes.
        qsizetype len = 0;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = s[i];
            if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(s[i + 1])) {
                len += 4;
                ++i;
            } else {
                len += utf8Length(c);
            }
        }
        uint8_t* d = GrowBy(out, len);
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = s[i];
            if (c < 0x80) {
                *d++ = uint8_t(c);
            } else if (c < 0x800) {
                *d++ = uint8_t(0xC0 | (c >> 6));
                *d++ = uint8_t(0x80 | (c & 0x3F));
            } else if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(s[i + 1])) {
                const char32_t u = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(s[++i]) - 0xDC00);
                *d++ = uint8_t(0xF0 | (u >> 18));
                *d++ = uint8_t(0x80 | ((u >> 12) & 0x3F));
                *d++ = uint8_t(0x80 | ((u >> 6) & 0x3F));
                *d++ = uint8_t(0x80 | (u & 0x3F));
            } else {
                *d++ = uint8_t(0xE0 | (c >> 12));
                *d++ = uint8_t(0x80 | ((c >> 6) & 0x3F));
                *d++ = uint8_t(0x80 | (c & 0x3F));
            }
        }
        return;
    }
    uint8_t* d = GrowBy(out, n);
    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight characters below 0x7F at a time are their own bytes.
    const __m128i limit = _mm_set1_epi16(0x7E);
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        // Unsigned v > 0x7E: saturating subtraction leaves something.
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(v, limit), _mm_setzero_si128())) != 0xFFFF) break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(v, v));
    }
#endif
    for (; i < n; ++i) {
        const char16_t c = s[i];
        d[i] = c < 0x7F ? uint8_t(c) : CharToByte(c, encoding);
    }
}

qsizetype DecodeBytes(TEncoding encoding, bool bigEndian, const uint8_t* src, qsizetype srcLen, char16_t* dst,
                      qsizetype* consumed, bool atEnd)
{
    qsizetype i = 0;
    qsizetype o = 0;
    if (encoding == UTF_16) {
        for (; i + 1 < srcLen; i += 2)
            dst[o++] = bigEndian ? MakeWord(src[i], src[i + 1]) : MakeWord(src[i + 1], src[i]);
        if (i < srcLen && atEnd) {
            dst[o++] = bigEndian ? MakeWord(src[i], 0) : MakeWord(0, src[i]);
            ++i;
        }
    } else if (encoding == UTF_8) {
        while (i < srcLen) {
            const uint8_t b = src[i];
            if (b < 0x80) {
                dst[o++] = b;
                ++i;
                continue;
            }
            const int len = UTF8SequenceLength(b);
            if (len == 4) {
                // Four bytes are a character above 0xFFFF, two halves; a
                // lead without its continuation bytes stands for itself.
                const qsizetype have = srcLen - i;
                bool continued = true;
                for (qsizetype k = 1; k < 4 && k < have; ++k) continued = continued && (src[i + k] & 0xC0) == 0x80;
                if (have < 4 && continued && !atEnd) break;
                const char32_t c = have >= 4 ? Utf8FourByteChar(b, src[i + 1], src[i + 2], src[i + 3]) : 0;
                if (c) {
                    dst[o++] = HighSurrogateOf(c);
                    dst[o++] = LowSurrogateOf(c);
                    i += 4;
                } else {
                    dst[o++] = b;
                    ++i;
                }
                continue;
            }
            if (i + len > srcLen) {
                if (!atEnd) break;
                dst[o++] = char16_t(DecodeUTF8(src + i, int(srcLen - i)));
                i = srcLen;
                break;
            }
            dst[o++] = char16_t(DecodeUTF8(src + i, len));
            i += len;
        }
    } else {
        const char16_t* table = xmltables::kCodePages[IsSingleByteEncoding(encoding) ? encoding : 0];
        for (; i < srcLen; ++i) {
            const uint8_t b = src[i];
            const char16_t c = table[b];
            dst[o++] = c ? c : (b == 0 ? char16_t(0) : xmlenc_detail::UnmappedByte(b));
        }
    }
    if (consumed) *consumed = i;
    return o;
}

QString BytesToWide(const QByteArray& bytes, TEncoding encoding, bool bigEndian)
{
    QString out(bytes.size(), Qt::Uninitialized);
    qsizetype used = 0;
    const qsizetype n = DecodeBytes(encoding, bigEndian, reinterpret_cast<const uint8_t*>(bytes.constData()),
                                    bytes.size(), reinterpret_cast<char16_t*>(out.data()), &used, true);
    out.truncate(n);
    return out;
}

bool IsListed(uint32_t character)
{
    return std::find(t_unconverted.begin(), t_unconverted.end(), character) != t_unconverted.end();
}

void ListUnconverted(uint32_t character)
{
    if (!IsListed(character)) t_unconverted.push_back(character);
}

void ClearUnconvertedList() { t_unconverted.clear(); }

bool UnconvertedListIsEmpty() { return t_unconverted.empty(); }

QString UnconvertedList()
{
    QString out;
    bool first = true;
    for (uint32_t c : t_unconverted) {
        out += Format(first ? QStringLiteral("(0x%0.4x)") : QStringLiteral(", (0x%0.4x)"), {QVariant(uint(c))});
        first = false;
    }
    return out;
}

QString UnconvertedMessage(TEncoding encoding)
{
    const QString crlf = QStringLiteral("\r\n");
    return Format(QStringLiteral("The file contains the following characters that are illegal in the %s "
                                 "encoding scheme: %s%s[%s]%s%sThey have been replaced with the default "
                                 "underscore placeholder char '_' (0x005F)!"),
                  {EncodingName(encoding), crlf, crlf, UnconvertedList(), crlf, crlf});
}

TUnconvertedListState SaveUnconvertedList() { return t_unconverted; }

void RestoreUnconvertedList(TUnconvertedListState state) { t_unconverted = std::move(state); }
