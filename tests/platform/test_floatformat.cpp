#include "platform/core/FloatFormat.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

// United States settings, whatever the machine's locale.
class FloatFormatTest : public ::testing::Test {
protected:
    ScopedRegionalSettings us{TFormatSettings()};
};

TFormatSettings CommaDecimal()
{
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    return s;
}

} // namespace

TEST_F(FloatFormatTest, DigitPlaceholdersAndDecimalPoint)
{
    EXPECT_EQ(FormatFloat("#.00", 0.25), ".25");
    EXPECT_EQ(FormatFloat("#.00", 0), ".00");
    EXPECT_EQ(FormatFloat("#.00", 0.5), ".50");
    EXPECT_EQ(FormatFloat("#.00", 12.345), "12.35");
    EXPECT_EQ(FormatFloat("0.00", 0.25), "0.25");
    EXPECT_EQ(FormatFloat("#0.0", 2), "2.0");
    EXPECT_EQ(FormatFloat("#.##", 1), "1");
    EXPECT_EQ(FormatFloat("#.#", 3), "3");
    EXPECT_EQ(FormatFloat("0.0#", 1.5), "1.5");
    EXPECT_EQ(FormatFloat("0.0#", 1.256), "1.26");
    EXPECT_EQ(FormatFloat("0.0#", 1.2), "1.2");
    EXPECT_EQ(FormatFloat("00000", 42), "00042");
    EXPECT_EQ(FormatFloat("#", 0), "");
    EXPECT_EQ(FormatFloat("#", 7), "7");
    // Integer digits beyond the placeholders all appear.
    EXPECT_EQ(FormatFloat("0", 1234), "1234");
    EXPECT_EQ(FormatFloat("#.0", 98765.4), "98765.4");
    EXPECT_EQ(FormatFloat(".00", 1.5), "1.50");
}

TEST_F(FloatFormatTest, ThousandSeparators)
{
    EXPECT_EQ(FormatFloat("#,##0", 1234), "1,234");
    EXPECT_EQ(FormatFloat("#,##0", 1234567), "1,234,567");
    EXPECT_EQ(FormatFloat("#,##0", 999), "999");
    EXPECT_EQ(FormatFloat("#,##0", 0), "0");
    EXPECT_EQ(FormatFloat("#,###", 0), "");
    EXPECT_EQ(FormatFloat("#,###", 1000), "1,000");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1,234.50");
    EXPECT_EQ(FormatFloat("#,##0", 999999999999.0), "999,999,999,999");
    EXPECT_EQ(FormatFloat("$#,##0", 1234567), "$1,234,567");
    EXPECT_EQ(FormatFloat("0,000", 5), "0,005");
    EXPECT_EQ(FormatFloat("#,##0.00", -1234567.891), "-1,234,567.89");
}

TEST_F(FloatFormatTest, RoundsHalfAwayFromZero)
{
    EXPECT_EQ(FormatFloat("##0.0", 2.25), "2.3");
    // 2.35 is stored as 2.35000000000000008882: up.
    EXPECT_EQ(FormatFloat("##0.0", 2.35), "2.4");
    EXPECT_EQ(FormatFloat("##0.0", 0.05), "0.1");
    EXPECT_EQ(FormatFloat("##0.0", 0.04), "0.0");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("0", 3.5), "4");
    EXPECT_EQ(FormatFloat("0", -2.5), "-3");
    EXPECT_EQ(FormatFloat("0.00", 0.005), "0.01");
    // 1.005 is stored just below the half.
    EXPECT_EQ(FormatFloat("0.00", 1.005), "1.00");
    // A carry through every digit.
    EXPECT_EQ(FormatFloat("0.0", 9.96), "10.0");
    EXPECT_EQ(FormatFloat("#,##0", 999999.5), "1,000,000");
}

TEST_F(FloatFormatTest, NegativeAndZeroSections)
{
    EXPECT_EQ(FormatFloat("0.00", -1.5), "-1.50");
    EXPECT_EQ(FormatFloat("$#,##0", -1234), "-$1,234");
    EXPECT_EQ(FormatFloat("#,##0;(#,##0)", -1234), "(1,234)");
    EXPECT_EQ(FormatFloat("#,##0;(#,##0)", 1234), "1,234");
    EXPECT_EQ(FormatFloat("#,##0;(#,##0);\"zero\"", 0), "zero");
    EXPECT_EQ(FormatFloat("#,##0;;\"zero\"", -5), "-5");
    // A value that rounds to zero takes the zero section and no sign.
    EXPECT_EQ(FormatFloat("0.00;;Zero", 0.001), "Zero");
    EXPECT_EQ(FormatFloat("0.00", -0.001), "0.00");
    EXPECT_EQ(FormatFloat("0.00;(0.00)", -0.001), "0.00");
    EXPECT_EQ(FormatFloat("0;-0;", 0), "0");
}

TEST_F(FloatFormatTest, LiteralText)
{
    EXPECT_EQ(FormatFloat("0.0\"%\"", 12.34), "12.3%");
    EXPECT_EQ(FormatFloat("0.0%", 12.34), "12.3%");
    EXPECT_EQ(FormatFloat("'#'0", 5), "#5");
    EXPECT_EQ(FormatFloat("\"a;b\"0", 5), "a;b5");
    EXPECT_EQ(FormatFloat("0 \"sq ft\"", 1200), "1200 sq ft");
    EXPECT_EQ(FormatFloat("\"none\"", 5), "none");
}

TEST_F(FloatFormatTest, ScientificMasks)
{
    EXPECT_EQ(FormatFloat("0.00E+00", 12345), "1.23E+04");
    EXPECT_EQ(FormatFloat("0.00E-00", 12345), "1.23E04");
    EXPECT_EQ(FormatFloat("0.00E+00", 0.00012345), "1.23E-04");
    EXPECT_EQ(FormatFloat("0.00e+0", 12345), "1.23e+4");
    EXPECT_EQ(FormatFloat("0.00E+00", 0), "0.00E+00");
    EXPECT_EQ(FormatFloat("0.00E+00", -12345), "-1.23E+04");
}

TEST_F(FloatFormatTest, SpecialValuesAndEmptyFormat)
{
    EXPECT_EQ(FormatFloat("", 1.5), "1.5");
    EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity()), "-INF");
    // Beyond what a mask holds: the general form.
    EXPECT_EQ(FormatFloat("0", 1e20), "1E20");
}

TEST_F(FloatFormatTest, GeneralFormOfFloatToStr)
{
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(1.5e-5), "1.5E-5");
    EXPECT_EQ(FloatToStr(123456789012345678.0), "1.23456789012346E17");
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(-1.5), "-1.5");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(2.5), "2.5");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(999999999999999.0), "999999999999999");
    EXPECT_EQ(FloatToStr(0.0001), "0.0001");
    EXPECT_EQ(FloatToStr(0.00001), "1E-5");
    EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(FloatToStr(12345.678), "12345.678");
    EXPECT_EQ(FloatToStr(-1e-300), "-1E-300");
    EXPECT_EQ(FloatToStr(1.7976931348623157e308), "1.79769313486232E308");
    // Rounding to 15 digits can move the value into the exponent form.
    EXPECT_EQ(FloatToStr(999999999999999.9), "1E15");
}

TEST_F(FloatFormatTest, FloatToStrFFormats)
{
    EXPECT_EQ(FloatToStrF(1234.5678, ffFixed, 15, 2), "1234.57");
    EXPECT_EQ(FloatToStrF(1234.5678, ffNumber, 15, 2), "1,234.57");
    EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 0), "1,235");
    EXPECT_EQ(FloatToStrF(0.25, ffFixed, 15, 0), "0");
    EXPECT_EQ(FloatToStrF(-0.001, ffFixed, 15, 2), "0.00");
    EXPECT_EQ(FloatToStrF(-2.5, ffFixed, 15, 1), "-2.5");
    EXPECT_EQ(FloatToStrF(12345, ffExponent, 4, 2), "1.235E+04");
    EXPECT_EQ(FloatToStrF(0.012, ffExponent, 3, 0), "1.20E-2");
    EXPECT_EQ(FloatToStrF(0.5, ffGeneral, 15, 0), "0.5");
    EXPECT_EQ(FloatToStrF(1e20, ffGeneral, 15, 3), "1E020");
    EXPECT_EQ(FloatToStrF(123456, ffFixed, 3, 2), "1.23E5");
}

TEST_F(FloatFormatTest, StrToFloatReadsTheClassLibrarySyntax)
{
    EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat("  1.5  "), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-2.5e3"), -2500);
    EXPECT_DOUBLE_EQ(StrToFloat("+3"), 3);
    EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("5."), 5);
    EXPECT_DOUBLE_EQ(StrToFloat("1E-2"), 0.01);
    EXPECT_DOUBLE_EQ(StrToFloat("1e-400"), 0);
    for (const char* bad : {"", " ", "abc", "1,5", "1,000", "1.5.2", "1e", "e5", ".", "-", "1 000", "0x10", "1e400",
                            "1.5x", "--1", "INF", "NAN"}) {
        double v = 42;
        EXPECT_FALSE(TryStrToFloat(QString::fromLatin1(bad), v)) << bad;
        EXPECT_EQ(v, 42) << bad;
    }
    EXPECT_DOUBLE_EQ(StrToFloatDef("x", 7.5), 7.5);
    EXPECT_DOUBLE_EQ(StrToFloatDef("2.5", 7.5), 2.5);
    try {
        StrToFloat("abc");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
    }
}

TEST(FloatFormatRegional, CommaDecimalLocale)
{
    ScopedRegionalSettings comma(CommaDecimal());
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
    EXPECT_EQ(FormatFloat("#.00", 0.25), ",25");
    EXPECT_EQ(FloatToStr(1.5), "1,5");
    EXPECT_EQ(FloatToStr(1.5e-5), "1,5E-5");
    EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 1), "1.234,5");
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    double v = 0;
    EXPECT_FALSE(TryStrToFloat("1.5", v));
    EXPECT_FALSE(TryStrToFloat("1.234,5", v));
    // What is written is read back.
    EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(0.6)), 0.6);
}

TEST(FloatFormatRegional, OverridesNestAndRestore)
{
    ScopedRegionalSettings outer(CommaDecimal());
    {
        TFormatSettings s;
        s.DecimalSeparator = u'|';
        ScopedRegionalSettings inner(s);
        EXPECT_EQ(FloatToStr(2.5), "2|5");
    }
    EXPECT_EQ(FloatToStr(2.5), "2,5");
}

TEST(RoundAndTrunc, RoundHalvesToEven)
{
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(2.4999999), 2);
    EXPECT_EQ(Round(2.5000001), 3);
    EXPECT_EQ(Round(-2.6), -3);
    EXPECT_EQ(Round(1000000000000000.5), 1000000000000000);
    EXPECT_EQ(Round(4e18), 4000000000000000000);
}

TEST(RoundAndTrunc, TruncDropsTheFraction)
{
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(0.999), 0);
}

TEST(RoundAndTrunc, ValuesWithoutAnIntegerRaise)
{
    EXPECT_THROW(Round(std::nan("")), EInvalidOp);
    EXPECT_THROW(Round(std::numeric_limits<double>::infinity()), EInvalidOp);
    EXPECT_THROW(Round(1e19), EInvalidOp);
    EXPECT_THROW(Trunc(-1e19), EInvalidOp);
    EXPECT_THROW(Trunc(std::nan("")), EInvalidOp);
}
