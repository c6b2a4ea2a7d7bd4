#include "protocol/StringUtils.h"

#include "protocol/ProtocolTables_p.h"

#include <QChar>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

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
    for (qsizetype i = 0; i + 1 < length; ++i)
        table[key(pattern[i])] = static_cast<std::uint32_t>(length - 1 - i);
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

// Decimal digits of |value| rounded to `precision` significant digits, and the
// power of ten of the first one: |value| = d0.d1d2... x 10^exponent.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal ToDecimal(double value, int precision)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                           precision - 1);
    Decimal d;
    const char* p = buf;
    for (; p != r.ptr && *p != 'e'; ++p)
        if (*p != '.') d.digits.push_back(*p);
    if (p != r.ptr) d.exponent = std::atoi(std::string(p + 1, static_cast<const char*>(r.ptr)).c_str());
    return d;
}

// Integer and fraction digits of a decimal in fixed notation.
void ToFixed(const Decimal& d, std::string& intPart, std::string& fraction)
{
    if (d.exponent >= 0) {
        const auto intDigits = static_cast<std::size_t>(d.exponent) + 1;
        if (d.digits.size() <= intDigits) {
            intPart = d.digits + std::string(intDigits - d.digits.size(), '0');
            fraction.clear();
        } else {
            intPart = d.digits.substr(0, intDigits);
            fraction = d.digits.substr(intDigits);
        }
    } else {
        intPart.assign(1, '0');
        fraction.assign(static_cast<std::size_t>(-d.exponent - 1), '0');
        fraction += d.digits;
    }
}

// Adds one unit in the last place of a decimal digit string; returns the carry.
bool IncrementDigits(std::string& digits)
{
    for (auto i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

QString NonFinite(double value)
{
    if (std::isnan(value)) return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
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

qsizetype BMPos(const char* pattern, const char* text, qsizetype patternLength,
                const TBMTable& table, qsizetype textLength)
{
    return Search(pattern, patternLength, text, textLength, table, ByteKey, [&](const char* window) {
        return std::memcmp(window, pattern, static_cast<std::size_t>(patternLength)) == 0;
    });
}

qsizetype BMPosNoCase(const char* pattern, const char* text, qsizetype patternLength,
                      const TBMTable& table, qsizetype textLength)
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
            hit = Search(folded.data(), m, text + pos, n - pos, table,
                         [](char16_t c) { return UnitKey(UpperUnit(c)); },
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

QString XmlEscape(const QString& text)
{
    if (text.isEmpty()) return text;
    // One pass gives what the five replacements in their order give: "&" is
    // handled first there, so the entities added later are not escaped again.
    qsizetype specials = 0;
    for (QChar c : text)
        if (c == u'&' || c == u'"' || c == u'\'' || c == u'<' || c == u'>') ++specials;
    if (specials == 0) return text;
    QString out;
    out.reserve(text.size() + specials * 5);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\'': out += QLatin1String("&apos;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        default: out += c;
        }
    }
    return out;
}

QString BoolToYN(bool value)
{
    return value ? QStringLiteral("Y") : QStringLiteral("N");
}

bool YNToBool(const QString& text)
{
    return text == u"Y";
}

QString MoneyToInt(const QString& text)
{
    QString out;
    const QStringView in = QStringView(text).left(255);
    out.reserve(in.size());
    for (QChar c : in)
        if (c != u'$' && c != u',') out += c;
    return out;
}

QString ExpandListingAbbrev(const QString& text)
{
    if (text == u"F") return QStringLiteral("Full");
    if (text == u"P") return QStringLiteral("Partial");
    return text.left(255);
}

double StrToFloatDefault(const QString& text, double defaultValue)
{
    // Validate the whole text against the accepted form first; only then is
    // it handed to the conversion, which never sees the regional settings.
    const qsizetype n = text.size();
    if (n == 0 || n > 4096) return defaultValue;
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(n));
    qsizetype i = 0;
    bool negative = false;
    if (text[0] == u'+' || text[0] == u'-') {
        negative = text[0] == u'-';
        ++i;
    }
    auto isDigit = [&](qsizetype k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    qsizetype intDigits = 0, leadingZeros = 0, fracDigits = 0;
    bool seenNonZero = false;
    for (; isDigit(i); ++i, ++intDigits) {
        if (text[i] != u'0') seenNonZero = true;
        else if (!seenNonZero) ++leadingZeros;
        ascii.push_back(static_cast<char>(text[i].unicode()));
    }
    if (i < n && text[i] == u'.') {
        ascii.push_back('.');
        for (++i; isDigit(i); ++i, ++fracDigits) ascii.push_back(static_cast<char>(text[i].unicode()));
    }
    if (intDigits + fracDigits == 0) return defaultValue;
    long long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            expNegative = text[i] == u'-';
            ascii.push_back(static_cast<char>(text[i].unicode()));
            ++i;
        }
        if (!isDigit(i)) return defaultValue;
        for (; isDigit(i); ++i) {
            ascii.push_back(static_cast<char>(text[i].unicode()));
            if (exponent < 100000) exponent = exponent * 10 + (text[i].unicode() - u'0');
        }
        if (expNegative) exponent = -exponent;
    }
    if (i != n) return defaultValue;

    double value = 0;
    const auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small to represent is zero; too large is not a number of ours.
        if (static_cast<long long>(intDigits - leadingZeros) + exponent > 0) return defaultValue;
        return negative ? -0.0 : 0.0;
    }
    if (r.ec != std::errc() || r.ptr != ascii.data() + ascii.size() || !std::isfinite(value)) return defaultValue;
    return negative ? -value : value;
}

QString WireFloatToStr(double value)
{
    if (!std::isfinite(value)) return NonFinite(value);
    if (value == 0) return QStringLiteral("0");
    Decimal d = ToDecimal(value, 15);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    std::string out = value < 0 ? "-" : "";
    if (d.exponent < -5 || d.exponent >= 15) {
        out += d.digits[0];
        if (d.digits.size() > 1) out.append(1, '.').append(d.digits, 1, std::string::npos);
        out.append(1, 'E').append(std::to_string(d.exponent));
    } else {
        std::string intPart, fraction;
        ToFixed(d, intPart, fraction);
        out += intPart;
        if (!fraction.empty()) out.append(1, '.').append(fraction);
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

QString WireFormatOneDecimal(double value)
{
    if (!std::isfinite(value)) return NonFinite(value);
    std::string intPart = "0", fraction;
    if (value != 0) ToFixed(ToDecimal(value, 15), intPart, fraction);
    // Keep one decimal; the next digit decides, halves going away from zero.
    std::string kept = intPart + (fraction.empty() ? '0' : fraction[0]);
    if (fraction.size() > 1 && fraction[1] >= '5' && IncrementDigits(kept)) kept.insert(kept.begin(), '1');
    std::string integer = kept.substr(0, kept.size() - 1);
    const std::size_t firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? "0" : integer.substr(firstNonZero);
    const bool zero = integer == "0" && kept.back() == '0';
    std::string out = (value < 0 && !zero ? "-" : "") + integer + "." + kept.back();
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}
