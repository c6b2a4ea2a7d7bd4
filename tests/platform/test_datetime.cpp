#include "platform/core/DateTime.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/PrintQString.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

class DateTimeTest : public ::testing::Test {
protected:
    ScopedRegionalSettings us{TFormatSettings()};
};

TFormatSettings DayFirst()
{
    TFormatSettings s;
    s.DateSeparator = u'.';
    s.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    s.LongTimeFormat = QStringLiteral("hh:nn:ss");
    s.ShortTimeFormat = QStringLiteral("hh:nn");
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    return s;
}

struct Ymd {
    int y, m, d;
};

Ymd Decoded(TDateTime t)
{
    Ymd r{};
    DecodeDate(t, r.y, r.m, r.d);
    return r;
}

// 31 January 2003, 13:05:09.007, a Friday.
const TDateTime kSample = 37652.0 + (13 * 3600000.0 + 5 * 60000 + 9 * 1000 + 7) / 86400000.0;

} // namespace

TEST_F(DateTimeTest, EncodeDateCountsDaysFrom30December1899)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(2003, 1, 31), 37652);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
    EXPECT_EQ(EncodeDate(2004, 2, 29), EncodeDate(2004, 3, 1) - 1);
}

TEST_F(DateTimeTest, EncodeRefusesImpossibleDatesAndTimes)
{
    for (auto [y, m, d] : {Ymd{2003, 2, 29}, Ymd{0, 1, 1}, Ymd{10000, 1, 1}, Ymd{2000, 13, 1}, Ymd{2000, 0, 1},
                           Ymd{2000, 4, 31}, Ymd{1900, 2, 29}}) {
        try {
            EncodeDate(y, m, d);
            ADD_FAILURE() << y << "-" << m << "-" << d;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to date encode");
        }
    }
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
    try {
        EncodeTime(-1, 0, 0, 0);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
}

TEST_F(DateTimeTest, DecodeSplitsDateAndTime)
{
    const Ymd d = Decoded(kSample);
    EXPECT_EQ(d.y, 2003);
    EXPECT_EQ(d.m, 1);
    EXPECT_EQ(d.d, 31);
    int h, n, s, ms;
    DecodeTime(kSample, h, n, s, ms);
    EXPECT_EQ(h, 13);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(s, 9);
    EXPECT_EQ(ms, 7);
    // Before 1899-12-30 the fraction still counts forward from midnight.
    const Ymd before = Decoded(-1.25);
    EXPECT_EQ(before.y, 1899);
    EXPECT_EQ(before.m, 12);
    EXPECT_EQ(before.d, 29);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(n, 0);
    // The round trip over the whole range of years.
    for (auto [y, m, dd] : {Ymd{1, 1, 1}, Ymd{1600, 2, 29}, Ymd{1899, 12, 29}, Ymd{1970, 1, 1}, Ymd{9999, 12, 31}}) {
        const Ymd back = Decoded(EncodeDate(y, m, dd));
        EXPECT_EQ(back.y, y);
        EXPECT_EQ(back.m, m);
        EXPECT_EQ(back.d, dd);
    }
}

TEST_F(DateTimeTest, CalendarFacts)
{
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2023, 2), 28);
    EXPECT_EQ(DaysInAMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(EncodeDate(2023, 12, 5)), 31);
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7); // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);   // Monday
    EXPECT_EQ(DayOfWeek(kSample), 6);                  // Friday
}

TEST_F(DateTimeTest, IncMonthCutsTheDayToTheMonth)
{
    EXPECT_EQ(IncMonth(EncodeDate(2003, 1, 31)), EncodeDate(2003, 2, 28));
    EXPECT_EQ(IncMonth(EncodeDate(2004, 3, 31), -1), EncodeDate(2004, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2003, 12, 15)), EncodeDate(2004, 1, 15));
    EXPECT_EQ(IncMonth(EncodeDate(2003, 1, 15), -13), EncodeDate(2001, 12, 15));
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(2003, 1, 31) + 0.5), EncodeDate(2003, 2, 28) + 0.5);
}

TEST_F(DateTimeTest, NowAndDateAgree)
{
    const TDateTime now = Now();
    const TDateTime today = Date();
    EXPECT_EQ(today, std::floor(today));
    EXPECT_GE(now, today);
    EXPECT_LT(now, today + 1.001);
    const QDate d = QDate::currentDate();
    EXPECT_EQ(Decoded(today).y, d.year());
}

TEST_F(DateTimeTest, FormatDateTimeSpecifiers)
{
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", kSample), "2003-01-31 13:05:09.007");
    EXPECT_EQ(FormatDateTime("d/m/yy", kSample), "31/1/03");
    EXPECT_EQ(FormatDateTime("mmm mmmm ddd dddd", kSample), "Jan January Fri Friday");
    EXPECT_EQ(FormatDateTime("h:mm am/pm", kSample), "1:05 pm");
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", kSample), "01:05 PM");
    EXPECT_EQ(FormatDateTime("h:nn a/p", kSample), "1:05 p");
    EXPECT_EQ(FormatDateTime("hh:nn ampm", kSample), "01:05 PM");
    EXPECT_EQ(FormatDateTime("h:nn AMPM", EncodeTime(0, 5, 0, 0)), "12:05 AM");
    EXPECT_EQ(FormatDateTime("h:nn AMPM", EncodeTime(12, 0, 0, 0)), "12:00 PM");
    // "m" right after an hour is the minute, elsewhere the month.
    EXPECT_EQ(FormatDateTime("h:m", kSample), "13:5");
    EXPECT_EQ(FormatDateTime("m", kSample), "1");
    EXPECT_EQ(FormatDateTime("\"Day\" d 'h' h", kSample), "Day 31 h 13");
    EXPECT_EQ(FormatDateTime("YYYY", kSample), "2003");
    EXPECT_EQ(FormatDateTime("z", kSample), "7");
}

TEST_F(DateTimeTest, RegionalFormsOfDatesAndTimes)
{
    EXPECT_EQ(DateToStr(kSample), "1/31/2003");
    EXPECT_EQ(TimeToStr(kSample), "1:05:09 PM");
    EXPECT_EQ(DateTimeToStr(kSample), "1/31/2003 1:05:09 PM");
    // No time at midnight.
    EXPECT_EQ(DateTimeToStr(EncodeDate(2003, 1, 31)), "1/31/2003");
    EXPECT_EQ(FormatDateTime("", kSample), "1/31/2003 1:05:09 PM");
    EXPECT_EQ(FormatDateTime("ddddd t", kSample), "1/31/2003 1:05 PM");

    ScopedRegionalSettings dayFirst(DayFirst());
    EXPECT_EQ(DateToStr(kSample), "31.01.2003");
    EXPECT_EQ(TimeToStr(kSample), "13:05:09");
    EXPECT_EQ(FormatDateTime("d/m/yy", kSample), "31.1.03");
}

TEST_F(DateTimeTest, AFormatThatNamesItselfEnds)
{
    TFormatSettings s;
    s.ShortDateFormat = QStringLiteral("ddddd");
    ScopedRegionalSettings looping(s);
    EXPECT_EQ(DateToStr(kSample), "");
}

TEST_F(DateTimeTest, StrToDateMonthFirst)
{
    EXPECT_EQ(StrToDate("1/31/2003"), EncodeDate(2003, 1, 31));
    EXPECT_EQ(StrToDate(" 1 / 31 / 2003 "), EncodeDate(2003, 1, 31));
    EXPECT_EQ(StrToDate("12/31/02"), EncodeDate(2002, 12, 31));
    EXPECT_EQ(StrToDate("1/31/0099"), EncodeDate(99, 1, 31));
    const int year = QDate::currentDate().year();
    EXPECT_EQ(StrToDate("2/3"), EncodeDate(year, 2, 3));
    for (const char* bad : {"2/30/2003", "13/1/2003", "1-31-2003", "1/31/2003x", "", "1/", "1//2003", "1/31/",
                            "1/31/12345", "a/b/c", "1/31/2003/1"}) {
        TDateTime d = -5;
        EXPECT_FALSE(TryStrToDate(QString::fromLatin1(bad), d)) << bad;
        EXPECT_EQ(d, -5) << bad;
    }
    try {
        StrToDate("2/30/2003");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'2/30/2003' is not a valid date");
    }
}

TEST_F(DateTimeTest, StrToDateDayFirst)
{
    ScopedRegionalSettings dayFirst(DayFirst());
    EXPECT_EQ(StrToDate("31.01.2003"), EncodeDate(2003, 1, 31));
    EXPECT_EQ(StrToDate("1.2.2003"), EncodeDate(2003, 2, 1));
    EXPECT_EQ(StrToDate("02.1.05"), EncodeDate(2005, 1, 2));
    TDateTime d = 0;
    EXPECT_FALSE(TryStrToDate("1/31/2003", d));
    EXPECT_FALSE(TryStrToDate("31.13.2003", d));
    // What is written is read back.
    EXPECT_EQ(StrToDate(DateToStr(kSample)), std::floor(kSample));
}

TEST_F(DateTimeTest, StrToDateYearFirst)
{
    TFormatSettings s;
    s.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    s.DateSeparator = u'-';
    ScopedRegionalSettings yearFirst(s);
    EXPECT_EQ(StrToDate("2003-01-31"), EncodeDate(2003, 1, 31));
    EXPECT_EQ(DateToStr(EncodeDate(2003, 1, 31)), "2003-01-31");
    // Two numbers: month and day of this year.
    EXPECT_EQ(StrToDate("2-3"), EncodeDate(QDate::currentDate().year(), 2, 3));
}

TEST_F(DateTimeTest, TwoDigitYearsFallInTheCenturyWindow)
{
    // The 100 years from (this year - 50): valid for runs before 2050.
    EXPECT_EQ(Decoded(StrToDate("1/1/99")).y, 1999);
    EXPECT_EQ(Decoded(StrToDate("1/1/02")).y, 2002);
    EXPECT_EQ(Decoded(StrToDate("1/1/9")).y, 2009);
    const int year = QDate::currentDate().year();
    const int lastInWindow = year - 50 + 99;
    EXPECT_EQ(Decoded(StrToDate(QStringLiteral("1/1/%1").arg(lastInWindow % 100, 2, 10, QChar(u'0')))).y, lastInWindow);
    EXPECT_EQ(Decoded(StrToDate(QStringLiteral("1/1/%1").arg((year - 50) % 100, 2, 10, QChar(u'0')))).y, year - 50);
    // Without a window the years are those of the current century.
    TFormatSettings s;
    s.TwoDigitYearCenturyWindow = 0;
    ScopedRegionalSettings noWindow(s);
    EXPECT_EQ(Decoded(StrToDate("1/1/99")).y, year / 100 * 100 + 99);
}

TEST_F(DateTimeTest, StrToTimeForms)
{
    EXPECT_DOUBLE_EQ(StrToTime("13:05"), EncodeTime(13, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("13:05:09"), EncodeTime(13, 5, 9, 0));
    EXPECT_DOUBLE_EQ(StrToTime("1:05 PM"), EncodeTime(13, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("1:05pm"), EncodeTime(13, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("12:00 AM"), 0);
    EXPECT_DOUBLE_EQ(StrToTime("12:30 pm"), EncodeTime(12, 30, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("5 PM"), EncodeTime(17, 0, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("AM 1:05"), EncodeTime(1, 5, 0, 0));
    // The millisecond is read as a whole number.
    EXPECT_DOUBLE_EQ(StrToTime("13:05:09.5"), EncodeTime(13, 5, 9, 5));
    for (const char* bad : {"5", "13:05 PM", "25:00", "12:60", "", "1:", "1:05 XM", "1:05:"}) {
        TDateTime t = -1;
        EXPECT_FALSE(TryStrToTime(QString::fromLatin1(bad), t)) << bad;
        EXPECT_EQ(t, -1) << bad;
    }
    try {
        StrToTime("25:00");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'25:00' is not a valid time");
    }
}
