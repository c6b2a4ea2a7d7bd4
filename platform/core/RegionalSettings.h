#pragma once
// The user's regional settings as the class library sees them: separators,
// date and time formats, names of months and days. They are read from the
// system locale at every use and never cached, so every conversion follows the
// locale in force; a test puts its own values in place with
// ScopedRegionalSettings.
//
// Formats use the class library's notation, not Qt's: d dd ddd dddd (day),
// m mm mmm mmmm (month), yy yyyy (year), h hh (hour), n nn (minute; "m" right
// after an hour is a minute too), s ss, z zzz, ampm / am/pm / a/p, "/" for
// the date separator and ":" for the time separator, text in quotes as is.
// The system locale's Qt formats are translated into it.
//
// The "C" (POSIX) locale stands for no choice at all; it is read as United
// States English with the class library's defaults for it (M/d/yyyy,
// h:nn:ss AMPM), since that is where the program's users live.

#include <QChar>
#include <QLocale>
#include <QString>

struct TFormatSettings {
    QChar DecimalSeparator = u'.';
    QChar ThousandSeparator = u',';
    QChar DateSeparator = u'/';
    QChar TimeSeparator = u':';
    QString ShortDateFormat = QStringLiteral("M/d/yyyy");
    QString LongDateFormat = QStringLiteral("dddd, mmmm d, yyyy");
    QString ShortTimeFormat = QStringLiteral("h:nn AMPM");
    QString LongTimeFormat = QStringLiteral("h:nn:ss AMPM");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    // Two-digit years read by StrToDate fall within this many years before
    // the current year and 100 - window after it (the class library's 50).
    int TwoDigitYearCenturyWindow = 50;
    // Source of the month and day names.
    QLocale Locale = QLocale(QLocale::English, QLocale::UnitedStates);

    // month 1..12; day of week 1 = Sunday .. 7 = Saturday, as DayOfWeek.
    QString ShortMonthName(int month) const;
    QString LongMonthName(int month) const;
    QString ShortDayName(int dayOfWeek) const;
    QString LongDayName(int dayOfWeek) const;
};

class RegionalSettings {
public:
    // All settings: the innermost override, else the system locale's.
    static TFormatSettings Current();
    // The settings a locale stands for (translated into the class library's
    // notation); the "C" locale gives the defaults above.
    static TFormatSettings FromLocale(const QLocale& locale);

    // Single values, cheaper than Current() for the number conversions.
    static QChar DecimalSeparator();
    static QChar ThousandSeparator();
    static QChar DateSeparator();
    static QChar TimeSeparator();
    static QString ShortDateFormat();
    static QString LongTimeFormat();
};

// Puts the given settings in place of the system's for its lifetime (tests).
// Overrides nest; the innermost one counts.
class ScopedRegionalSettings {
public:
    explicit ScopedRegionalSettings(const TFormatSettings& settings);
    ~ScopedRegionalSettings();
    ScopedRegionalSettings(const ScopedRegionalSettings&) = delete;
    ScopedRegionalSettings& operator=(const ScopedRegionalSettings&) = delete;

    TFormatSettings& Settings() { return m_settings; }

private:
    TFormatSettings m_settings;
    ScopedRegionalSettings* m_previous = nullptr;
};
