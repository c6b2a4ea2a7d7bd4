#include "platform/core/DateTime.h"

#include "platform/core/Format.h"
#include "platform/core/RegionalSettings.h"

#include <QDateTime>
#include <cmath>

namespace {

// Days since 1 January 1970 of a date of the proleptic Gregorian calendar.
qint64 DaysFromCivil(qint64 y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(qint64 z, int& year, int& month, int& day)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2));
}

const qint64 kEpoch = DaysFromCivil(1899, 12, 30);
// 1 January 0001 and 31 December 9999 as TDateTime days.
const qint64 kMinDay = DaysFromCivil(1, 1, 1) - kEpoch;
const qint64 kMaxDay = DaysFromCivil(9999, 12, 31) - kEpoch;

// Splits a value into whole days (towards zero) and milliseconds of the day,
// rounded to the millisecond. False for a value outside years 1..9999.
bool Split(TDateTime value, qint64& days, qint64& msOfDay)
{
    if (!std::isfinite(value) || value < double(kMinDay - 1) || value > double(kMaxDay + 1)) return false;
    const qint64 total = std::llround(value * double(MSecsPerDay));
    days = total / MSecsPerDay;
    msOfDay = (total < 0 ? -total : total) % MSecsPerDay;
    return days >= kMinDay && days <= kMaxDay;
}

struct Parts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0, dayOfWeek = 0;
    bool hasTime = false;
};

Parts Decode(TDateTime value)
{
    Parts p;
    qint64 days = 0, ms = 0;
    if (!Split(value, days, ms)) return p;
    CivilFromDays(days + kEpoch, p.year, p.month, p.day);
    p.hour = int(ms / 3600000);
    p.minute = int(ms / 60000 % 60);
    p.second = int(ms / 1000 % 60);
    p.msec = int(ms % 1000);
    p.hasTime = ms != 0;
    p.dayOfWeek = int(((days % 7 + 7) % 7 + 6) % 7 + 1);
    return p;
}

char16_t Upper(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') ? char16_t(u - 32) : u;
}

int Run(const QString& s, qsizetype i)
{
    const char16_t c = Upper(s[i]);
    qsizetype j = i;
    while (j < s.size() && Upper(s[j]) == c) ++j;
    return int(j - i);
}

QString Pad(int value, int width) { return QString::number(value).rightJustified(width, u'0'); }

bool MatchesAt(const QString& s, qsizetype i, QLatin1StringView what)
{
    return s.size() - i >= what.size() && QStringView(s).mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

// Whether an am/pm specifier follows position i (outside quoted text).
bool AmPmFollows(const QString& f, qsizetype i)
{
    while (i < f.size()) {
        const QChar c = f[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = f.indexOf(c, i + 1);
            if (end < 0) return false;
            i = end + 1;
            continue;
        }
        if (MatchesAt(f, i, QLatin1StringView("am/pm")) || MatchesAt(f, i, QLatin1StringView("a/p")) ||
            MatchesAt(f, i, QLatin1StringView("ampm")))
            return true;
        ++i;
    }
    return false;
}

void AppendFormatted(QString& out, const QString& f, const Parts& p, const TFormatSettings& fs, int depth)
{
    if (depth > 2) return; // a format naming itself through c, ddddd or t
    char16_t lastToken = u' ';
    qsizetype i = 0;
    const qsizetype n = f.size();
    while (i < n) {
        const QChar c = f[i];
        const char16_t up = Upper(c);
        switch (up) {
        case u'\'':
        case u'"': {
            qsizetype end = f.indexOf(c, i + 1);
            if (end < 0) end = n;
            out += QStringView(f).mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        case u'Y': {
            const int run = Run(f, i);
            out += run <= 2 ? Pad(p.year % 100, 2) : Pad(p.year, 4);
            i += run;
            break;
        }
        case u'M': {
            const int run = Run(f, i);
            if (lastToken == u'H' && run <= 2) {
                out += run == 1 ? QString::number(p.minute) : Pad(p.minute, 2);
            } else if (run == 1) {
                out += QString::number(p.month);
            } else if (run == 2) {
                out += Pad(p.month, 2);
            } else if (p.month >= 1) {
                out += run == 3 ? fs.ShortMonthName(p.month) : fs.LongMonthName(p.month);
            }
            i += run;
            break;
        }
        case u'D': {
            const int run = Run(f, i);
            switch (run) {
            case 1: out += QString::number(p.day); break;
            case 2: out += Pad(p.day, 2); break;
            case 3:
                if (p.dayOfWeek) out += fs.ShortDayName(p.dayOfWeek);
                break;
            case 4:
                if (p.dayOfWeek) out += fs.LongDayName(p.dayOfWeek);
                break;
            case 5: AppendFormatted(out, fs.ShortDateFormat, p, fs, depth + 1); break;
            default: AppendFormatted(out, fs.LongDateFormat, p, fs, depth + 1); break;
            }
            i += run;
            break;
        }
        case u'H': {
            const int run = Run(f, i);
            int hour = p.hour;
            if (AmPmFollows(f, i + run)) {
                hour %= 12;
                if (hour == 0) hour = 12;
            }
            out += run == 1 ? QString::number(hour) : Pad(hour, 2);
            i += run;
            break;
        }
        case u'N': {
            const int run = Run(f, i);
            out += run == 1 ? QString::number(p.minute) : Pad(p.minute, 2);
            i += run;
            break;
        }
        case u'S': {
            const int run = Run(f, i);
            out += run == 1 ? QString::number(p.second) : Pad(p.second, 2);
            i += run;
            break;
        }
        case u'Z': {
            const int run = Run(f, i);
            out += run == 1 ? QString::number(p.msec) : Pad(p.msec, 3);
            i += run;
            break;
        }
        case u'T': {
            const int run = Run(f, i);
            AppendFormatted(out, run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, fs, depth + 1);
            i += run;
            break;
        }
        case u'C': {
            AppendFormatted(out, fs.ShortDateFormat, p, fs, depth + 1);
            if (p.hasTime) {
                out += u' ';
                AppendFormatted(out, fs.LongTimeFormat, p, fs, depth + 1);
            }
            ++i;
            break;
        }
        case u'A': {
            const bool pm = p.hour >= 12;
            if (MatchesAt(f, i, QLatin1StringView("am/pm"))) {
                out += f.mid(pm ? i + 3 : i, 2);
                i += 5;
            } else if (MatchesAt(f, i, QLatin1StringView("a/p"))) {
                out += f[pm ? i + 2 : i];
                i += 3;
            } else if (MatchesAt(f, i, QLatin1StringView("ampm"))) {
                out += pm ? fs.TimePMString : fs.TimeAMString;
                i += 4;
            } else {
                out += c;
                ++i;
                continue;
            }
            break;
        }
        case u'/':
            out += fs.DateSeparator;
            ++i;
            continue;
        case u':':
            out += fs.TimeSeparator;
            ++i;
            continue;
        default:
            out += c;
            ++i;
            continue;
        }
        lastToken = up;
    }
}

// Reads the pieces of a date or time text.
class Scanner {
public:
    explicit Scanner(const QString& s) : m_s(s) { }

    void Blanks()
    {
        while (m_pos < m_s.size() && m_s[m_pos] == u' ') ++m_pos;
    }
    // Up to four digits; digits receives how many were read.
    bool Number(int& value, int& digits)
    {
        Blanks();
        value = 0;
        digits = 0;
        while (m_pos < m_s.size() && digits < 4) {
            const char16_t u = m_s[m_pos].unicode();
            if (u < u'0' || u > u'9') break;
            value = value * 10 + (u - u'0');
            ++digits;
            ++m_pos;
        }
        return digits > 0;
    }
    bool Number(int& value)
    {
        int digits = 0;
        return Number(value, digits);
    }
    bool Char(QChar c)
    {
        Blanks();
        if (m_pos < m_s.size() && m_s[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool Word(const QString& w)
    {
        Blanks();
        if (w.isEmpty() || m_s.size() - m_pos < w.size()) return false;
        if (QStringView(m_s).mid(m_pos, w.size()).compare(w, Qt::CaseInsensitive) != 0) return false;
        m_pos += w.size();
        return true;
    }
    bool AtEnd()
    {
        Blanks();
        return m_pos == m_s.size();
    }

private:
    const QString& m_s;
    qsizetype m_pos = 0;
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder OrderOf(const QString& format)
{
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = format.indexOf(c, i + 1);
            if (end < 0) break;
            i = end;
            continue;
        }
        switch (Upper(c)) {
        case u'Y': return DateOrder::YMD;
        case u'M': return DateOrder::MDY;
        case u'D': return DateOrder::DMY;
        default: break;
        }
    }
    return DateOrder::MDY;
}

// -1 none, 0 AM, 1 PM.
int ScanAmPm(Scanner& sc, const TFormatSettings& fs)
{
    if (sc.Word(fs.TimeAMString)) return 0;
    if (sc.Word(fs.TimePMString)) return 1;
    if (sc.Word(QStringLiteral("AM"))) return 0;
    if (sc.Word(QStringLiteral("PM"))) return 1;
    return -1;
}

} // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

int DaysInMonth(TDateTime date)
{
    int y, m, d;
    DecodeDate(date, y, m, d);
    return DaysInAMonth(y, m);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
    date = double(DaysFromCivil(year, month, day) - kEpoch);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date)) throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return date;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    const Parts p = Decode(date);
    year = p.year;
    month = p.month;
    day = p.day;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time)
{
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 || msec < 0 || msec >= 1000)
        return false;
    time = double(((qint64(hour) * 60 + minute) * 60 + second) * 1000 + msec) / double(MSecsPerDay);
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime time = 0;
    if (!TryEncodeTime(hour, minute, second, msec, time))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return time;
}

void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec)
{
    const Parts p = Decode(time);
    hour = p.hour;
    minute = p.minute;
    second = p.second;
    msec = p.msec;
}

int DayOfWeek(TDateTime date) { return Decode(date).dayOfWeek; }

TDateTime IncMonth(TDateTime date, int months)
{
    int y, m, d;
    DecodeDate(date, y, m, d);
    qint64 index = qint64(y) * 12 + (m - 1) + months;
    y = int(index / 12);
    m = int(index % 12) + 1;
    d = qMin(d, DaysInAMonth(y, m));
    const TDateTime day = EncodeDate(y, m, d);
    const double timeOfDay = std::fabs(date - std::trunc(date));
    return day >= 0 ? day + timeOfDay : day - timeOfDay;
}

TDateTime Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

TDateTime Date()
{
    const QDate d = QDate::currentDate();
    return EncodeDate(d.year(), d.month(), d.day());
}

QString FormatDateTime(const QString& format, TDateTime value)
{
    const TFormatSettings fs = RegionalSettings::Current();
    QString out;
    AppendFormatted(out, format.isEmpty() ? QStringLiteral("c") : format, Decode(value), fs, 0);
    return out;
}

QString DateToStr(TDateTime date) { return FormatDateTime(QStringLiteral("ddddd"), date); }

QString TimeToStr(TDateTime time) { return FormatDateTime(QStringLiteral("tt"), time); }

QString DateTimeToStr(TDateTime value) { return FormatDateTime(QStringLiteral("c"), value); }

bool TryStrToDate(const QString& text, TDateTime& date)
{
    const TFormatSettings fs = RegionalSettings::Current();
    Scanner sc(text);
    int n1 = 0, n2 = 0, n3 = 0, len1 = 0, len3 = 0, len2 = 0;
    if (!sc.Number(n1, len1)) return false;
    if (!sc.Char(fs.DateSeparator) || !sc.Number(n2, len2)) return false;
    int year, month, day, yearDigits;
    const DateOrder order = OrderOf(fs.ShortDateFormat);
    if (sc.Char(fs.DateSeparator)) {
        if (!sc.Number(n3, len3)) return false;
        switch (order) {
        case DateOrder::MDY:
            month = n1;
            day = n2;
            year = n3;
            yearDigits = len3;
            break;
        case DateOrder::DMY:
            day = n1;
            month = n2;
            year = n3;
            yearDigits = len3;
            break;
        case DateOrder::YMD:
        default:
            year = n1;
            month = n2;
            day = n3;
            yearDigits = len1;
            break;
        }
    } else {
        year = QDate::currentDate().year();
        yearDigits = 4;
        if (order == DateOrder::DMY) {
            day = n1;
            month = n2;
        } else {
            month = n1;
            day = n2;
        }
    }
    if (!sc.AtEnd()) return false;
    if (yearDigits <= 2) {
        const int first = QDate::currentDate().year() - fs.TwoDigitYearCenturyWindow;
        year += first / 100 * 100;
        if (fs.TwoDigitYearCenturyWindow > 0 && year < first) year += 100;
    }
    return TryEncodeDate(year, month, day, date);
}

TDateTime StrToDate(const QString& text)
{
    TDateTime date = 0;
    if (!TryStrToDate(text, date)) throw EConvertError(Format(QStringLiteral("'%s' is not a valid date"), {text}));
    return date;
}

bool TryStrToTime(const QString& text, TDateTime& time)
{
    const TFormatSettings fs = RegionalSettings::Current();
    Scanner sc(text);
    int ampm = ScanAmPm(sc, fs);
    int hour = 0, minute = 0, second = 0, msec = 0;
    if (!sc.Number(hour)) return false;
    bool separated = false;
    if (sc.Char(fs.TimeSeparator)) {
        separated = true;
        if (!sc.Number(minute)) return false;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(second)) return false;
            if (sc.Char(fs.DecimalSeparator) && !sc.Number(msec)) return false;
        }
    }
    if (ampm < 0) ampm = ScanAmPm(sc, fs);
    if (!separated && ampm < 0) return false;
    if (!sc.AtEnd()) return false;
    if (ampm >= 0) {
        if (hour > 12) return false;
        if (hour == 12) hour = 0;
        if (ampm == 1) hour += 12;
    }
    return TryEncodeTime(hour, minute, second, msec, time);
}

TDateTime StrToTime(const QString& text)
{
    TDateTime time = 0;
    if (!TryStrToTime(text, time)) throw EConvertError(Format(QStringLiteral("'%s' is not a valid time"), {text}));
    return time;
}
