#include "grid/text/CellText.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

namespace {

TFormatSettings UsSettings()
{
    TFormatSettings s;
    s.DecimalSeparator = u'.';
    s.ThousandSeparator = u',';
    s.DateSeparator = u'/';
    s.ShortDateFormat = QStringLiteral("M/d/yyyy");
    return s;
}

} // namespace

TEST(CellText, TextKindsFollowTheirMarks)
{
    EXPECT_EQ(GetTextKind("", true), tkPlain);
    EXPECT_EQ(GetTextKind("=", true), tkFormula);
    EXPECT_EQ(GetTextKind("|\\x", true), tkPlain); // cells hold Unicode: never decoded
    EXPECT_EQ(GetTextKind("|", true), tkPlain);
    EXPECT_EQ(GetTextKind("{\\rtf1", false), tkRichText);
    EXPECT_EQ(GetTextKind("<b>x", true), tkPlain);
    EXPECT_EQ(GetTextKind("x</u>", true), tkHTML);
    EXPECT_EQ(GetTextKind("<B>x", true), tkHTML);
    EXPECT_EQ(GetTextKind("x</u>", false), tkPlain);
}

TEST(CellText, NumberTypesFollowTheSeparators)
{
    ScopedRegionalSettings us(UsSettings());
    EXPECT_EQ(GetNumberType(""), ntNone);
    EXPECT_EQ(GetNumberType("-12"), ntInteger);
    EXPECT_EQ(GetNumberType("-"), ntInteger);
    EXPECT_EQ(GetNumberType("1,234"), ntFloat);
    EXPECT_EQ(GetNumberType("1,2"), ntFloat);
    EXPECT_EQ(GetNumberType("1.5"), ntFloat);
    EXPECT_EQ(GetNumberType(",5"), ntNone);
    EXPECT_EQ(GetNumberType("1,,2"), ntNone);
    EXPECT_EQ(GetNumberType("1.5.2"), ntNone);
    EXPECT_EQ(GetNumberType("--1"), ntNone);
    EXPECT_EQ(GetNumberType("12a"), ntNone);

    TFormatSettings de = UsSettings();
    de.DecimalSeparator = u',';
    de.ThousandSeparator = u'.';
    ScopedRegionalSettings german(de);
    EXPECT_EQ(GetNumberType("1.234,5"), ntFloat);
    EXPECT_EQ(GetNumberType("1,5,2"), ntNone);
}

TEST(CellText, CleanNumberTextKeepsOnlyTheNumber)
{
    ScopedRegionalSettings us(UsSettings());
    EXPECT_EQ(CleanNumberText(""), "");
    EXPECT_EQ(CleanNumberText("abc"), "");
    EXPECT_EQ(CleanNumberText("  -5"), "-5");
    EXPECT_EQ(CleanNumberText("12 345"), "12");
    EXPECT_EQ(CleanNumberText("(1,234.50)"), "-1234.50");
    EXPECT_EQ(CleanNumberText("$1,000,000"), "1000000");

    TFormatSettings de = UsSettings();
    de.DecimalSeparator = u',';
    de.ThousandSeparator = u'.';
    ScopedRegionalSettings german(de);
    EXPECT_EQ(CleanNumberText("1.234,5 EUR"), "1234.5");
}

TEST(CellText, ShortDatesFollowTheFormatsOrder)
{
    ScopedRegionalSettings us(UsSettings());
    TDateTime d = 0;
    EXPECT_FALSE(ParseShortDate("2/30/2003", d));
    ASSERT_TRUE(ParseShortDate("12/31/2003", d));
    EXPECT_EQ(d, EncodeDate(2003, 12, 31));
    EXPECT_FALSE(ParseShortDate("12/31", d));
    EXPECT_FALSE(ParseShortDate("12/x/2003", d));
    EXPECT_FALSE(ParseShortDate("13/1/2003", d));
    // No century is added.
    ASSERT_TRUE(ParseShortDate("1/2/30", d));
    EXPECT_EQ(d, EncodeDate(30, 1, 2));

    TFormatSettings gb = UsSettings();
    gb.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    gb.DateSeparator = u'.';
    ScopedRegionalSettings british(gb);
    ASSERT_TRUE(ParseShortDate("31.12.2003", d));
    EXPECT_EQ(d, EncodeDate(2003, 12, 31));
}

TEST(CellText, SortDatesAnswerNotADateInsteadOfRaising)
{
    EXPECT_EQ(ParseDateMonthFirst("12/31/02"), EncodeDate(2002, 12, 31));
    EXPECT_EQ(ParseDateMonthFirst("12-31-99"), EncodeDate(1999, 12, 31));
    EXPECT_EQ(ParseDateDayFirst("31.12.25"), EncodeDate(2025, 12, 31));
    EXPECT_EQ(ParseDateMonthFirst("12312002"), 0);
    EXPECT_EQ(ParseDateMonthFirst("12/31"), 0);
    EXPECT_EQ(ParseDateMonthFirst("ab/cd/ef"), 0);
    // Impossible dates, which used to raise in the middle of a sort.
    EXPECT_EQ(ParseDateMonthFirst("2/30/03"), 0);
    EXPECT_EQ(ParseDateDayFirst("32/1/03"), 0);
    EXPECT_EQ(ParseDateMonthFirst("1/1/99999"), 0);
    // "/" is looked for first, whatever comes first in the text.
    EXPECT_EQ(ParseDateMonthFirst("1.5/6/07"), 0);
}

TEST(CellText, ShiftDateStepsOneUnitAndKeepsTheTime)
{
    const TDateTime jan31 = EncodeDate(2003, 1, 31) + 0.5;
    EXPECT_EQ(ShiftDate(0, 0, 3, jan31, 9), jan31 + 3);
    EXPECT_EQ(ShiftDate(2, 0, 0, jan31, 9), EncodeDate(2005, 1, 31) + 0.5);
    // The day is cut to the new month's length; months run over the year.
    EXPECT_EQ(ShiftDate(0, 1, 0, jan31, 9), EncodeDate(2003, 2, 28) + 0.5);
    EXPECT_EQ(ShiftDate(0, 13, 0, jan31, 9), EncodeDate(2004, 2, 29) + 0.5);
    EXPECT_EQ(ShiftDate(1, 0, 0, EncodeDate(2004, 2, 29), 0), EncodeDate(2005, 2, 28));
    // Two units at once, or none: the delta.
    EXPECT_EQ(ShiftDate(1, 1, 0, jan31, 2.5), jan31 + 2.5);
    EXPECT_EQ(ShiftDate(0, 0, 0, jan31, -1), jan31 - 1);
    // Beyond the calendar the date stays.
    EXPECT_EQ(ShiftDate(60000, 0, 0, jan31, 0), jan31);
}
