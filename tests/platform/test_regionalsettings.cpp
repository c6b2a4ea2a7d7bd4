#include "platform/core/DateTime.h"
#include "platform/core/FloatFormat.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

TEST(RegionalSettings, LocalesAreTranslatedIntoTheClassLibrarysNotation)
{
    const TFormatSettings us = RegionalSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.DecimalSeparator, u'.');
    EXPECT_EQ(us.ThousandSeparator, u',');
    EXPECT_EQ(us.DateSeparator, u'/');
    EXPECT_EQ(us.ShortDateFormat, "m/d/yy");
    EXPECT_EQ(us.LongTimeFormat, "h:nn:ss AMPM");
    EXPECT_EQ(us.TimeSeparator, u':');

    const TFormatSettings de = RegionalSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.DecimalSeparator, u',');
    EXPECT_EQ(de.ThousandSeparator, u'.');
    EXPECT_EQ(de.DateSeparator, u'.');
    EXPECT_EQ(de.ShortDateFormat, "dd/mm/yy");
    EXPECT_EQ(de.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(de.ShortTimeFormat, "hh:nn");

    const TFormatSettings gb = RegionalSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(gb.ShortDateFormat, "dd/mm/yyyy");

    const TFormatSettings nl = RegionalSettings::FromLocale(QLocale(QLocale::Dutch, QLocale::Netherlands));
    EXPECT_EQ(nl.DateSeparator, u'-');
    EXPECT_EQ(nl.ShortDateFormat, "dd/mm/yyyy");
}

TEST(RegionalSettings, TheCLocaleStandsForUnitedStatesDefaults)
{
    const TFormatSettings c = RegionalSettings::FromLocale(QLocale::c());
    const TFormatSettings defaults;
    EXPECT_EQ(c.ShortDateFormat, "M/d/yyyy");
    EXPECT_EQ(c.ShortDateFormat, defaults.ShortDateFormat);
    EXPECT_EQ(c.LongTimeFormat, "h:nn:ss AMPM");
    EXPECT_EQ(c.DecimalSeparator, u'.');
    EXPECT_EQ(c.DateSeparator, u'/');
}

TEST(RegionalSettings, TranslatedLocaleFormatsWorkEndToEnd)
{
    ScopedRegionalSettings de(RegionalSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany)));
    const TDateTime d = EncodeDate(2003, 1, 31) + EncodeTime(13, 5, 9, 0);
    EXPECT_EQ(DateToStr(d), "31.01.03");
    EXPECT_EQ(TimeToStr(d), "13:05:09");
    EXPECT_EQ(StrToDate("31.01.03"), EncodeDate(2003, 1, 31));
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
    EXPECT_EQ(FormatDateTime("dddd mmmm", d), "Freitag Januar");
}

TEST(RegionalSettings, SingleValuesFollowTheOverride)
{
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u' ';
    s.DateSeparator = u'-';
    s.TimeSeparator = u'.';
    s.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    s.LongTimeFormat = QStringLiteral("hh:nn");
    ScopedRegionalSettings o(s);
    EXPECT_EQ(RegionalSettings::DecimalSeparator(), u',');
    EXPECT_EQ(RegionalSettings::ThousandSeparator(), u' ');
    EXPECT_EQ(RegionalSettings::DateSeparator(), u'-');
    EXPECT_EQ(RegionalSettings::TimeSeparator(), u'.');
    EXPECT_EQ(RegionalSettings::ShortDateFormat(), "yyyy/mm/dd");
    EXPECT_EQ(RegionalSettings::LongTimeFormat(), "hh:nn");
    EXPECT_EQ(RegionalSettings::Current().DateSeparator, u'-');
    EXPECT_EQ(TimeToStr(EncodeTime(9, 7, 0, 0)), "09.07");
}

TEST(RegionalSettings, WithoutOverrideTheSystemLocaleIsRead)
{
    const TFormatSettings system = RegionalSettings::FromLocale(QLocale::system());
    EXPECT_EQ(RegionalSettings::DecimalSeparator(), system.DecimalSeparator);
    EXPECT_EQ(RegionalSettings::ShortDateFormat(), system.ShortDateFormat);
    {
        TFormatSettings s;
        s.DecimalSeparator = u'#';
        ScopedRegionalSettings o(s);
        EXPECT_EQ(RegionalSettings::DecimalSeparator(), u'#');
    }
    EXPECT_EQ(RegionalSettings::DecimalSeparator(), system.DecimalSeparator);
}
