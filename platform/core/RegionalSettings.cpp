#include "platform/core/RegionalSettings.h"

namespace {

ScopedRegionalSettings* g_innermost = nullptr;

bool IsCLocale(const QLocale& locale) { return locale.language() == QLocale::C; }

bool IsAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

QChar FirstOr(const QString& s, QChar fallback) { return s.isEmpty() ? fallback : s.front(); }

int RunLength(const QString& s, qsizetype i)
{
    qsizetype j = i;
    while (j < s.size() && s[j] == s[i]) ++j;
    return int(j - i);
}

// Translates a Qt date or time format into the class library's notation.
// The first character between fields (not a letter, blank or quote) is the
// separator: it is returned in *separator and, when placeholder is set,
// written as that placeholder ("/" or ":") wherever it occurs.
QString Translate(const QString& qt, QChar* separator, QChar placeholder)
{
    QString out;
    QChar sep;
    qsizetype i = 0;
    const qsizetype n = qt.size();
    while (i < n) {
        const QChar c = qt[i];
        if (c == u'\'') {
            // Quoted text; '' is a quote character.
            QString literal;
            ++i;
            while (i < n) {
                if (qt[i] == u'\'') {
                    if (i + 1 < n && qt[i + 1] == u'\'') {
                        literal += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += qt[i++];
            }
            if (literal.isEmpty()) literal = QStringLiteral("'"); // '' stands for a quote
            const QChar quote = literal.contains(u'"') ? u'\'' : u'"';
            out += quote + literal + quote;
            continue;
        }
        if (IsAsciiLetter(c)) {
            const int run = RunLength(qt, i);
            switch (c.unicode()) {
            case u'd': out += QString(qMin(run, 4), u'd'); break;
            case u'M': out += QString(qMin(run, 4), u'm'); break;
            case u'y': out += run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy"); break;
            case u'h':
            case u'H': out += run == 1 ? QStringLiteral("h") : QStringLiteral("hh"); break;
            case u'm': out += run == 1 ? QStringLiteral("n") : QStringLiteral("nn"); break;
            case u's': out += run == 1 ? QStringLiteral("s") : QStringLiteral("ss"); break;
            case u'z': out += run < 3 ? QStringLiteral("z") : QStringLiteral("zzz"); break;
            case u'A':
            case u'a':
                out += QStringLiteral("AMPM");
                if (i + run < n && (qt[i + run] == u'P' || qt[i + run] == u'p')) ++i;
                break;
            case u't':
                // Time zone: not a part of the class library's formats.
                while (out.endsWith(u' ')) out.chop(1);
                break;
            default:
                for (int k = 0; k < run; ++k) out += QStringLiteral("\"") + c + u'"';
                break;
            }
            i += run;
            continue;
        }
        if (sep.isNull() && c != u' ' && c != u'"') sep = c;
        if (!placeholder.isNull() && c == sep)
            out += placeholder;
        else if (c == u'"')
            out += QStringLiteral("'\"'");
        else
            out += c;
        ++i;
    }
    if (separator) *separator = sep;
    return out.trimmed();
}

TFormatSettings FromSystem() { return RegionalSettings::FromLocale(QLocale::system()); }

} // namespace

QString TFormatSettings::ShortMonthName(int month) const { return Locale.monthName(month, QLocale::ShortFormat); }

QString TFormatSettings::LongMonthName(int month) const { return Locale.monthName(month, QLocale::LongFormat); }

// Qt counts days from Monday = 1 to Sunday = 7; the class library from
// Sunday = 1 to Saturday = 7.
QString TFormatSettings::ShortDayName(int dayOfWeek) const
{
    return Locale.dayName(dayOfWeek == 1 ? 7 : dayOfWeek - 1, QLocale::ShortFormat);
}

QString TFormatSettings::LongDayName(int dayOfWeek) const
{
    return Locale.dayName(dayOfWeek == 1 ? 7 : dayOfWeek - 1, QLocale::LongFormat);
}

TFormatSettings RegionalSettings::FromLocale(const QLocale& locale)
{
    TFormatSettings s;
    if (IsCLocale(locale)) return s;
    s.Locale = locale;
    s.DecimalSeparator = FirstOr(locale.decimalPoint(), u'.');
    s.ThousandSeparator = FirstOr(locale.groupSeparator(), u',');
    QChar sep;
    s.ShortDateFormat = Translate(locale.dateFormat(QLocale::ShortFormat), &sep, u'/');
    s.DateSeparator = sep.isNull() ? QChar(u'/') : sep;
    s.LongDateFormat = Translate(locale.dateFormat(QLocale::LongFormat), nullptr, QChar());
    QChar timeSep;
    s.LongTimeFormat = Translate(locale.timeFormat(QLocale::LongFormat), &timeSep, u':');
    s.TimeSeparator = timeSep.isNull() ? QChar(u':') : timeSep;
    s.ShortTimeFormat = Translate(locale.timeFormat(QLocale::ShortFormat), nullptr, s.TimeSeparator);
    s.ShortTimeFormat.replace(s.TimeSeparator, u':');
    if (!locale.amText().isEmpty()) s.TimeAMString = locale.amText();
    if (!locale.pmText().isEmpty()) s.TimePMString = locale.pmText();
    return s;
}

TFormatSettings RegionalSettings::Current() { return g_innermost ? g_innermost->Settings() : FromSystem(); }

QChar RegionalSettings::DecimalSeparator()
{
    if (g_innermost) return g_innermost->Settings().DecimalSeparator;
    const QLocale locale = QLocale::system();
    return IsCLocale(locale) ? QChar(u'.') : FirstOr(locale.decimalPoint(), u'.');
}

QChar RegionalSettings::ThousandSeparator()
{
    if (g_innermost) return g_innermost->Settings().ThousandSeparator;
    const QLocale locale = QLocale::system();
    return IsCLocale(locale) ? QChar(u',') : FirstOr(locale.groupSeparator(), u',');
}

QChar RegionalSettings::DateSeparator()
{
    return g_innermost ? g_innermost->Settings().DateSeparator : FromSystem().DateSeparator;
}

QChar RegionalSettings::TimeSeparator()
{
    return g_innermost ? g_innermost->Settings().TimeSeparator : FromSystem().TimeSeparator;
}

QString RegionalSettings::ShortDateFormat()
{
    return g_innermost ? g_innermost->Settings().ShortDateFormat : FromSystem().ShortDateFormat;
}

QString RegionalSettings::LongTimeFormat()
{
    return g_innermost ? g_innermost->Settings().LongTimeFormat : FromSystem().LongTimeFormat;
}

ScopedRegionalSettings::ScopedRegionalSettings(const TFormatSettings& settings)
    : m_settings(settings), m_previous(g_innermost)
{
    g_innermost = this;
}

ScopedRegionalSettings::~ScopedRegionalSettings() { g_innermost = m_previous; }
