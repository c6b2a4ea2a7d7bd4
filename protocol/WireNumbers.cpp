#include "protocol/WireNumbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

namespace {

// Decimal digits of |value| rounded to `precision` significant digits, and the
// power of ten of the first one: |value| = d0.d1d2... x 10^exponent.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal ToDecimal(double value, int precision)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, precision - 1);
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
        if (text[i] != u'0')
            seenNonZero = true;
        else if (!seenNonZero)
            ++leadingZeros;
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
