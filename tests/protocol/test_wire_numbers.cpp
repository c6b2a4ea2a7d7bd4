#include "protocol/WireNumbers.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

QString S(const char16_t* text) { return QString::fromUtf16(text); }

} // namespace

TEST(StrToFloatDefault, AcceptsOnlyWholeNumbers)
{
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("2.5"), -1), 2.5);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("-118.2437"), 0), -118.2437);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("+3"), 0), 3);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral(".5"), 0), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("5."), 0), 5);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("1e5"), 0), 1e5);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("-1.5E-3"), 0), -1.5e-3);
    EXPECT_DOUBLE_EQ(StrToFloatDefault(QStringLiteral("1e-400"), 7), 0) << "underflow is zero";

    for (const char* bad :
         {"",    "2,5", " 2.5", "2.5 ", "inf", "-inf", "INF",   "nan",   "NaN", "Infinity", "0x1A",
          "$10", "1e",  "1e+",  ".",    "-",   "+",    "1.2.3", "1e400", "12a", "--1",      "1 000"}) {
        EXPECT_DOUBLE_EQ(StrToFloatDefault(QString::fromLatin1(bad), -7), -7) << "text: '" << bad << "'";
    }
    EXPECT_DOUBLE_EQ(StrToFloatDefault(S(u"\u0661\u0662"), -7), -7) << "only ASCII digits";
}

TEST(WireNumbers, GeneralFormUsesPointAndShortestDigits)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(WireFloatToStr(34.0522), QStringLiteral("34.0522"));
    EXPECT_EQ(WireFloatToStr(-118.2437), QStringLiteral("-118.2437"));
    EXPECT_EQ(WireFloatToStr(0), QStringLiteral("0"));
    EXPECT_EQ(WireFloatToStr(2), QStringLiteral("2"));
    EXPECT_EQ(WireFloatToStr(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(WireFloatToStr(0.1 + 0.2), QStringLiteral("0.3")) << "15 significant digits";
    EXPECT_EQ(WireFloatToStr(0.00001), QStringLiteral("0.00001"));
    EXPECT_EQ(WireFloatToStr(0.000001), QStringLiteral("1E-6"));
    EXPECT_EQ(WireFloatToStr(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(WireFloatToStr(1e15), QStringLiteral("1E15"));
    EXPECT_EQ(WireFloatToStr(-2.5e20), QStringLiteral("-2.5E20"));
    QLocale::setDefault(saved);
}

TEST(WireNumbers, OneDecimalRoundsHalfAwayFromZero)
{
    EXPECT_EQ(WireFormatOneDecimal(2), QStringLiteral("2.0"));
    EXPECT_EQ(WireFormatOneDecimal(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(WireFormatOneDecimal(0.25), QStringLiteral("0.3"));
    EXPECT_EQ(WireFormatOneDecimal(0.15), QStringLiteral("0.2"));
    EXPECT_EQ(WireFormatOneDecimal(2.45), QStringLiteral("2.5"));
    EXPECT_EQ(WireFormatOneDecimal(0.05), QStringLiteral("0.1"));
    EXPECT_EQ(WireFormatOneDecimal(0.04), QStringLiteral("0.0"));
    EXPECT_EQ(WireFormatOneDecimal(-0.04), QStringLiteral("0.0"));
    EXPECT_EQ(WireFormatOneDecimal(-0.25), QStringLiteral("-0.3"));
    EXPECT_EQ(WireFormatOneDecimal(9.95), QStringLiteral("10.0"));
    EXPECT_EQ(WireFormatOneDecimal(99.96), QStringLiteral("100.0"));
    EXPECT_EQ(WireFormatOneDecimal(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(WireFormatOneDecimal(0), QStringLiteral("0.0"));
    EXPECT_EQ(WireFormatOneDecimal(100), QStringLiteral("100.0"));
}
