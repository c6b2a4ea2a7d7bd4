#include "grid/text/CellText.h"

#include "platform/core/RegionalSettings.h"
#include "platform/core/SysUtils.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The class library's integer reading of a field: a field too long for a
// 32-bit integer is none.
bool ReadInt(QStringView field, int& value) { return TryStrToInt(field.toString(), value); }

TDateTime WithTimeOf(TDateTime day, TDateTime source)
{
    const double time = std::fabs(source - std::trunc(source));
    return day >= 0 ? day + time : day - time;
}

// Day, month and year of the sort styles; 0 when any is missing or the date
// cannot be.
TDateTime ParseSortDate(const QString& text, bool monthFirst)
{
    QChar sep;
    for (QChar c : {QChar(u'/'), QChar(u'.'), QChar(u'-')}) {
        if (text.contains(c)) {
            sep = c;
            break;
        }
    }
    if (sep.isNull()) return 0;
    const qsizetype first = text.indexOf(sep);
    const qsizetype second = text.indexOf(sep, first + 1);
    if (second < 0) return 0;
    int a = 0;
    int b = 0;
    int year = 0;
    if (!ReadInt(QStringView(text).left(first), a) ||
        !ReadInt(QStringView(text).mid(first + 1, second - first - 1), b) ||
        !ReadInt(QStringView(text).mid(second + 1), year))
        return 0;
    if (year > 9999) return 0;
    year += year <= 25 ? 2000 : 1900;
    TDateTime date = 0;
    const bool ok = monthFirst ? TryEncodeDate(year, a, b, date) : TryEncodeDate(year, b, a, date);
    return ok ? date : 0;
}

} // namespace

int GetTextKind(const QString& text, bool htmlAllowed)
{
    // Read as if a blank followed the text, so "" and one character are safe.
    const auto at = [&](qsizetype i) { return i < text.size() ? text[i] : QChar(u' '); };
    if (at(0) == u'=') return tkFormula;
    if (at(0) == u'{' && at(1) == u'\\') return tkRichText;
    if (!htmlAllowed) return tkPlain;
    if (text.contains(u"</") || text.contains(u"<B") || text.contains(u"<I")) return tkHTML;
    return tkPlain;
}

int GetNumberType(const QString& text)
{
    if (text.isEmpty()) return ntNone;
    const QChar thousand = RegionalSettings::ThousandSeparator();
    const QChar decimal = RegionalSettings::DecimalSeparator();
    bool isInt = true;
    bool isFloat = true;
    qsizetype previousThousand = -1; // 1-based position, as counted below
    int decimals = 0;
    int minus = 0;
    for (qsizetype i = 1; i <= text.size(); ++i) {
        const QChar c = text[i - 1];
        const bool digitOrMinus = IsDigit(c) || c == u'-';
        if (!digitOrMinus) isInt = false;
        if (!digitOrMinus && c != thousand && c != decimal) isFloat = false;
        if (c == thousand) {
            if (i - previousThousand < 3) isFloat = false;
            previousThousand = i;
        }
        if (c == decimal) ++decimals;
        if (c == u'-') ++minus;
    }
    if (minus >= 2 || decimals >= 2) return ntNone;
    if (isInt) return ntInteger;
    return isFloat ? ntFloat : ntNone;
}

QString CleanNumberText(const QString& text)
{
    if (text.isEmpty()) return QString();
    const QChar thousand = RegionalSettings::ThousandSeparator();
    const QChar decimal = RegionalSettings::DecimalSeparator();
    bool negative = text.front() == u'(' && text.back() == u')';
    qsizetype start = 0;
    while (text.size() - start >= 2) {
        const QChar c = text[start];
        if (IsDigit(c) || c == thousand || c == decimal) break;
        if (c == u'-') negative = true;
        ++start;
    }
    QString result;
    result.reserve(text.size() - start + 1);
    if (negative) result += u'-';
    for (qsizetype i = start; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == thousand) continue;
        if (c == decimal) {
            result += u'.';
        } else if (c == u'-' || c == u'.' || IsDigit(c)) {
            result += c;
        } else {
            break;
        }
    }
    return result;
}

bool ParseShortDate(const QString& text, TDateTime& date)
{
    return ParseShortDate(text, date, RegionalSettings::ShortDateFormat(), RegionalSettings::DateSeparator());
}

bool ParseShortDate(const QString& text, TDateTime& date, const QString& shortDateFormat, QChar dateSeparator)
{
    // The order of day, month and year by their first place in the format.
    const QString format = shortDateFormat.toUpper();
    struct Field {
        qsizetype pos;
        char kind;
    };
    std::array<Field, 3> order{{{format.indexOf(u'D'), 'D'}, {format.indexOf(u'M'), 'M'}, {format.indexOf(u'Y'), 'Y'}}};
    std::stable_sort(order.begin(), order.end(), [](const Field& a, const Field& b) { return a.pos < b.pos; });

    const qsizetype first = text.indexOf(dateSeparator);
    if (first < 0) return false;
    const qsizetype second = text.indexOf(dateSeparator, first + 1);
    if (second < 0) return false;
    const std::array<QStringView, 3> parts{QStringView(text).left(first),
                                           QStringView(text).mid(first + 1, second - first - 1),
                                           QStringView(text).mid(second + 1)};
    int day = 0;
    int month = 0;
    int year = 0;
    for (int i = 0; i < 3; ++i) {
        int value = 0;
        if (!ReadInt(parts[i], value)) return false;
        (order[i].kind == 'D' ? day : order[i].kind == 'M' ? month : year) = value;
    }
    if (day > 31 || month > 12) return false;
    return TryEncodeDate(year, month, day, date);
}

TDateTime ParseDateMonthFirst(const QString& text) { return ParseSortDate(text, true); }

TDateTime ParseDateDayFirst(const QString& text) { return ParseSortDate(text, false); }

TDateTime ShiftDate(quint16 years, quint16 months, quint16 days, TDateTime date, double delta)
{
    const int set = (years != 0) + (months != 0) + (days != 0);
    if (set != 1) return date + delta;
    if (days != 0) return date + days;
    int y = 0;
    int m = 0;
    int d = 0;
    DecodeDate(date, y, m, d);
    if (years != 0) {
        y += years;
    } else {
        const int total = m - 1 + months;
        y += total / 12;
        m = total % 12 + 1;
    }
    if (y > 9999) return date;
    d = std::min(d, DaysInAMonth(y, m));
    TDateTime shifted = 0;
    if (!TryEncodeDate(y, m, d, shifted)) return date;
    return WithTimeOf(shifted, date);
}
