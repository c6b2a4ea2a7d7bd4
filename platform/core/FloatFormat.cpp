#include "platform/core/FloatFormat.h"

#include "platform/core/Format.h"
#include "platform/core/RegionalSettings.h"

#include <QStringList>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr int kMaxDigits = 18;

// |value| = 0.digits x 10^exponent. digits holds no trailing zeros; no digits
// is zero.
struct Decimal {
    std::string digits;
    int exponent = 0;
    bool IsZero() const { return digits.empty(); }
    char At(int index) const { return index >= 0 && index < int(digits.size()) ? digits[size_t(index)] : '0'; }
};

// |value| to 18 significant digits, then rounded half away from zero to at
// most precision significant digits and, with decimals >= 0, to that many
// decimals. value must be finite.
Decimal ToDecimal(double value, int precision, int decimals)
{
    Decimal d;
    value = std::fabs(value);
    if (value == 0) return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, kMaxDigits - 1);
    std::string digits;
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    int exponent = 1;
    if (p < res.ptr) {
        int e = 0;
        std::from_chars(p + 1 + (p[1] == '+'), res.ptr, e);
        exponent = e + 1;
    }
    int keep = qBound(1, precision, kMaxDigits);
    if (decimals >= 0) keep = qMin(keep, exponent + decimals);
    if (keep < 0) return d;
    if (keep < int(digits.size())) {
        const bool up = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[size_t(i)] == '9') digits[size_t(i--)] = '0';
            if (i >= 0) {
                ++digits[size_t(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++exponent;
            }
        }
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    d.digits = std::move(digits);
    d.exponent = exponent;
    return d;
}

QString Special(double value)
{
    if (std::isnan(value)) return QStringLiteral("NAN");
    return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
}

QString ExponentText(int e, int minDigits, bool plus)
{
    QString s = QString::number(std::abs(e)).rightJustified(qBound(0, minDigits, 4), u'0');
    if (e < 0) return u'-' + s;
    return plus ? u'+' + s : s;
}

QString GeneralForm(double value, int precision, int expDigits, QChar dec)
{
    if (!std::isfinite(value)) return Special(value);
    precision = qBound(1, precision, kMaxDigits);
    const Decimal d = ToDecimal(value, precision, -1);
    if (d.IsZero()) return QStringLiteral("0");
    QString out;
    if (value < 0) out += u'-';
    const int n = int(d.digits.size());
    if (d.exponent > precision || d.exponent < -3) {
        out += QChar(d.digits[0]);
        if (n > 1) {
            out += dec;
            out += QLatin1StringView(d.digits.data() + 1, n - 1);
        }
        out += u'E';
        out += ExponentText(d.exponent - 1, expDigits, false);
    } else if (d.exponent <= 0) {
        out += u'0';
        out += dec;
        out += QString(-d.exponent, u'0');
        out += QLatin1StringView(d.digits.data(), n);
    } else {
        for (int i = 0; i < d.exponent; ++i) out += QChar(d.At(i));
        if (n > d.exponent) {
            out += dec;
            out += QLatin1StringView(d.digits.data() + d.exponent, n - d.exponent);
        }
    }
    return out;
}

// Integer digits of a rounded value ("" below 1).
QString IntegerDigits(const Decimal& d)
{
    QString s;
    for (int i = 0; i < d.exponent; ++i) s += QChar(d.At(i));
    return s;
}

QString FractionDigits(const Decimal& d, int count)
{
    QString s;
    for (int k = 0; k < count; ++k) s += QChar(d.At(d.exponent + k));
    return s;
}

QString Grouped(const QString& digits, QChar sep)
{
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        out += digits[i];
        const int place = n - 1 - i;
        if (place > 0 && place % 3 == 0) out += sep;
    }
    return out;
}

// A section of a FormatFloat mask.
struct Section {
    QString text;
    int placeholders = 0;    // digit placeholders of the mantissa
    int intPlaceholders = 0; // of them, before the decimal point
    int firstZero = -1;      // placeholder index of the first and last "0"
    int lastZero = -1;
    bool thousands = false;
    bool scientific = false;
};

qsizetype SkipQuoted(const QString& s, qsizetype i)
{
    const qsizetype end = s.indexOf(s[i], i + 1);
    return end < 0 ? s.size() : end + 1;
}

bool IsExponentAt(const QString& s, qsizetype i)
{
    return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-');
}

Section Analyse(const QString& text)
{
    Section s;
    s.text = text;
    bool point = false;
    int index = 0;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            i = SkipQuoted(text, i);
            continue;
        }
        if (IsExponentAt(text, i)) {
            s.scientific = true;
            break;
        }
        if (c == u'0') {
            if (s.firstZero < 0) s.firstZero = index;
            s.lastZero = index;
            ++index;
        } else if (c == u'#') {
            ++index;
        } else if (c == u'.') {
            if (!point) s.intPlaceholders = index;
            point = true;
        } else if (c == u',') {
            s.thousands = true;
        }
        ++i;
    }
    s.placeholders = index;
    if (!point) s.intPlaceholders = index;
    return s;
}

Decimal RoundFor(const Section& s, double value)
{
    if (s.scientific) return ToDecimal(value, qMax(1, s.placeholders), -1);
    return ToDecimal(value, kMaxDigits, s.placeholders - s.intPlaceholders);
}

QString Render(const Section& s, const Decimal& d, QChar dec, QChar thou)
{
    const int decimals = s.placeholders - s.intPlaceholders;
    const int minFrac = s.lastZero >= s.intPlaceholders ? s.lastZero - s.intPlaceholders + 1 : 0;
    QString intDigits;
    QString frac;
    int exponent = 0;
    if (s.scientific) {
        // The mantissa fills the integer placeholders exactly.
        for (int i = 0; i < s.intPlaceholders; ++i) intDigits += QChar(d.At(i));
        for (int i = 0; i < decimals; ++i) frac += QChar(d.At(s.intPlaceholders + i));
        exponent = d.IsZero() ? 0 : d.exponent - s.intPlaceholders;
    } else {
        intDigits = IntegerDigits(d);
        const int minInt = s.firstZero >= 0 && s.firstZero < s.intPlaceholders ? s.intPlaceholders - s.firstZero : 0;
        if (intDigits.size() < minInt) intDigits = QString(minInt - intDigits.size(), u'0') + intDigits;
        frac = FractionDigits(d, decimals);
    }
    while (frac.size() > minFrac && frac.endsWith(u'0')) frac.chop(1);

    const bool group = s.thousands && !s.scientific;
    const int length = int(intDigits.size());
    QString out;
    auto putDigit = [&](int index) {
        out += intDigits[index];
        const int place = length - 1 - index;
        if (group && place > 0 && place % 3 == 0) out += thou;
    };
    int ph = 0;
    const QString& t = s.text;
    for (qsizetype i = 0; i < t.size();) {
        const QChar c = t[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = t.indexOf(c, i + 1);
            if (end < 0) {
                out += QStringView(t).mid(i + 1);
                break;
            }
            out += QStringView(t).mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (s.scientific && IsExponentAt(t, i)) {
            out += c;
            const bool plus = t[i + 1] == u'+';
            i += 2;
            int zeros = 0;
            while (i < t.size() && t[i] == u'0') {
                ++zeros;
                ++i;
            }
            out += ExponentText(exponent, zeros, plus);
            // Everything after the exponent is text.
            for (; i < t.size(); ++i)
                if (t[i] != u'\'' && t[i] != u'"') out += t[i];
            break;
        }
        if (c == u'0' || c == u'#') {
            if (ph < s.intPlaceholders) {
                const int place = s.intPlaceholders - 1 - ph;
                if (ph == 0) {
                    for (int k = 0; k < length - place; ++k) putDigit(k);
                } else if (length > place) {
                    putDigit(length - 1 - place);
                }
            } else {
                if (ph == 0)
                    for (int k = 0; k < length; ++k) putDigit(k);
                const int j = ph - s.intPlaceholders;
                if (j < frac.size()) {
                    if (j == 0) out += dec;
                    out += frac[j];
                }
            }
            ++ph;
        } else if (c != u'.' && c != u',') {
            out += c;
        }
        ++i;
    }
    return out;
}

QStringList SplitSections(const QString& format)
{
    QStringList sections;
    QString current;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype next = SkipQuoted(format, i);
            current += QStringView(format).mid(i, next - i);
            i = next;
            continue;
        }
        if (c == u';' && sections.size() < 2) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
        ++i;
    }
    sections << current;
    return sections;
}

bool IsDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

double CheckedInteger(double value)
{
    if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0) throw EInvalidOp();
    return value;
}

} // namespace

QString FormatFloat(const QString& format, double value)
{
    if (format.isEmpty()) return FloatToStr(value);
    if (!std::isfinite(value)) return Special(value);
    if (ToDecimal(value, kMaxDigits, -1).exponent > kMaxDigits) return FloatToStr(value);
    const QChar dec = RegionalSettings::DecimalSeparator();
    const QChar thou = RegionalSettings::ThousandSeparator();

    const QStringList sections = SplitSections(format);
    auto sectionText = [&](int k) -> const QString& {
        return k < sections.size() && !sections[k].isEmpty() ? sections[k] : sections[0];
    };
    bool negative = value < 0;
    const bool ownNegative = negative && sections.size() > 1 && !sections[1].isEmpty();
    Section s = Analyse(sectionText(value == 0 ? 2 : negative ? 1 : 0));
    Decimal d = RoundFor(s, value);
    if (d.IsZero() && value != 0) {
        s = Analyse(sectionText(2));
        d = Decimal();
        negative = false;
    }
    QString out = Render(s, d, dec, thou);
    if (negative && !ownNegative) out.prepend(u'-');
    return out;
}

QString FloatToStr(double value) { return GeneralForm(value, 15, 0, RegionalSettings::DecimalSeparator()); }

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    const QChar dec = RegionalSettings::DecimalSeparator();
    if (!std::isfinite(value)) return Special(value);
    precision = qBound(1, precision, kMaxDigits);
    switch (format) {
    case ffGeneral: return GeneralForm(value, precision, digits, dec);
    case ffExponent: {
        const Decimal d = ToDecimal(value, precision, -1);
        QString out;
        if (value < 0 && !d.IsZero()) out += u'-';
        out += QChar(d.At(0));
        if (precision > 1) {
            out += dec;
            for (int i = 1; i < precision; ++i) out += QChar(d.At(i));
        }
        out += u'E';
        out += ExponentText(d.IsZero() ? 0 : d.exponent - 1, digits, true);
        return out;
    }
    case ffFixed:
    case ffNumber: {
        digits = qBound(0, digits, kMaxDigits);
        const Decimal d = ToDecimal(value, precision, digits);
        if (d.exponent > precision) return GeneralForm(value, precision, 0, dec);
        QString integer = IntegerDigits(d);
        if (integer.isEmpty()) integer = QStringLiteral("0");
        QString out;
        if (value < 0 && !d.IsZero()) out += u'-';
        out += format == ffNumber ? Grouped(integer, RegionalSettings::ThousandSeparator()) : integer;
        if (digits > 0) {
            out += dec;
            out += FractionDigits(d, digits);
        }
        return out;
    }
    }
    return QString();
}

bool TryStrToFloat(const QString& text, double& value)
{
    const QChar dec = RegionalSettings::DecimalSeparator();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ') ++i;
    std::string buf;
    buf.reserve(size_t(n) + 2);
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        if (negative) buf += '-';
        ++i;
    }
    int digits = 0;
    int integerDigits = 0;    // significant integer digits
    int leadingFracZeros = 0; // zeros after the point before the first digit
    bool point = false;
    bool seenNonZero = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (IsDigit(c)) {
            buf += char(c.unicode());
            ++digits;
            if (c != u'0') seenNonZero = true;
            if (!point && seenNonZero) ++integerDigits;
            if (point && !seenNonZero) ++leadingFracZeros;
        } else if (c == dec && !point) {
            point = true;
            buf += '.';
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    int exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        buf += 'e';
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            expNegative = text[i] == u'-';
            if (expNegative) buf += '-';
            ++i;
        }
        int expDigits = 0;
        for (; i < n && IsDigit(text[i]); ++i) {
            buf += char(text[i].unicode());
            exponent = qMin(exponent * 10 + (text[i].unicode() - u'0'), 100000);
            ++expDigits;
        }
        if (expDigits == 0) return false;
        if (expNegative) exponent = -exponent;
    }
    while (i < n && text[i] == u' ') ++i;
    if (i != n) return false;

    double result = 0;
    const auto [ptr, ec] = std::from_chars(buf.data(), buf.data() + buf.size(), result);
    if (ptr != buf.data() + buf.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        if (!seenNonZero) {
            result = 0;
        } else {
            // Out of range above or below: tell by the decimal magnitude.
            const int magnitude = integerDigits > 0 ? integerDigits + exponent : exponent - leadingFracZeros;
            if (magnitude > 0) return false;
            result = 0;
        }
        if (negative) result = -result;
    } else if (ec != std::errc()) {
        return false;
    }
    if (!std::isfinite(result)) return false;
    value = result;
    return true;
}

double StrToFloat(const QString& text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError(Format(QStringLiteral("'%s' is not a valid floating point value"), {text}));
    return value;
}

double StrToFloatDef(const QString& text, double defaultValue)
{
    double value = 0;
    return TryStrToFloat(text, value) ? value : defaultValue;
}

qint64 Round(double value)
{
    CheckedInteger(value);
    const double f = std::floor(value);
    const double diff = value - f;
    double r = f;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0)) r = f + 1;
    return qint64(CheckedInteger(r));
}

qint64 Trunc(double value) { return qint64(CheckedInteger(std::trunc(value))); }
