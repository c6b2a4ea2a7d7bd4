#include "platform/core/SysUtils.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

TEST(StrToInt, ReadsDecimalAndHexadecimalTexts)
{
    EXPECT_EQ(StrToInt("123"), 123);
    EXPECT_EQ(StrToInt("  42"), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x1A"), 26);
    EXPECT_EQ(StrToInt("0XfF"), 255);
    EXPECT_EQ(StrToInt("x10"), 16);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("$80000000"), -2147483647 - 1);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
}

TEST(StrToInt, RefusesWhatTheClassLibraryRefuses)
{
    for (const char* bad : {"", " ", "12 ", "1.5", "abc", "$", "0x", "-", "+", "2147483648", "-2147483649",
                            "$1FFFFFFFF", "1e3", "1,000", "12a", "- 5", "$G"}) {
        int v = 99;
        EXPECT_FALSE(TryStrToInt(QString::fromLatin1(bad), v)) << bad;
        EXPECT_EQ(v, 99) << bad;
        EXPECT_EQ(StrToIntDef(QString::fromLatin1(bad), -5), -5) << bad;
    }
    // Digits of other scripts are not digits here.
    int v = 0;
    EXPECT_FALSE(TryStrToInt(QStringLiteral("\u0661\u0662"), v));
    try {
        StrToInt("abc");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
}

TEST(StrToInt, SixtyFourBitForms)
{
    EXPECT_EQ(StrToInt64Def("9223372036854775807", 0), Q_INT64_C(9223372036854775807));
    EXPECT_EQ(StrToInt64Def("-9223372036854775808", 0), std::numeric_limits<qint64>::min());
    EXPECT_EQ(StrToInt64Def("9223372036854775808", 3), 3);
    EXPECT_EQ(StrToInt64Def("$FFFFFFFFFFFFFFFF", 0), -1);
    EXPECT_EQ(StrToInt64Def("4294967296", 0), Q_INT64_C(4294967296));
    EXPECT_EQ(StrToInt64("-12"), -12);
    EXPECT_THROW(StrToInt64("x"), EConvertError);
}

TEST(IntToText, DecimalAndHexadecimal)
{
    EXPECT_EQ(IntToStr(-5), "-5");
    EXPECT_EQ(IntToStr(Q_INT64_C(12345678901)), "12345678901");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(255, 1), "FF");
    EXPECT_EQ(IntToHex(0, 0), "0");
    EXPECT_EQ(IntToHex(0x1FFFFFFF, 8), "1FFFFFFF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(short(-1), 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(0xFFFFFFFFu, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(Q_INT64_C(-1), 2), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(Q_INT64_C(0x123456789A), 12), "00123456789A");
}

TEST(TextCase, AsciiAndFullForms)
{
    EXPECT_EQ(UpperCase(QStringLiteral("abc\u00e9z")), QStringLiteral("ABC\u00e9Z"));
    EXPECT_EQ(LowerCase(QStringLiteral("ABC\u00c9Z")), QStringLiteral("abc\u00c9z"));
    EXPECT_EQ(AnsiUpperCase(QStringLiteral("abc\u00e9")), QStringLiteral("ABC\u00c9"));
    EXPECT_EQ(AnsiLowerCase(QStringLiteral("ABC\u00c9")), QStringLiteral("abc\u00e9"));
}

TEST(TextTrim, RemovesControlCharactersAndBlanks)
{
    EXPECT_EQ(Trim(QStringLiteral("\t a b \r\n")), "a b");
    EXPECT_EQ(Trim(QStringLiteral("\x01x\x1f")), "x");
    EXPECT_EQ(Trim(QStringLiteral("   ")), "");
    EXPECT_EQ(Trim(QString()), "");
    // A no-break space is above the blank: kept.
    EXPECT_EQ(Trim(QStringLiteral("\u00a0x")), QStringLiteral("\u00a0x"));
    EXPECT_EQ(TrimLeft(QStringLiteral("  x  ")), "x  ");
    EXPECT_EQ(TrimRight(QStringLiteral("  x  ")), "  x");
}

TEST(TextCompare, CompareTextAndSameText)
{
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareText("abc", "ab"), 0);
    // Letters compare as upper case: "_" sorts after them.
    EXPECT_GT(CompareText("a_", "aA"), 0);
    EXPECT_TRUE(SameText("Hello", "hELLO"));
    EXPECT_FALSE(SameText("Hello", "Hell"));
    EXPECT_FALSE(SameText(QStringLiteral("\u00e9"), QStringLiteral("\u00c9")));
}

TEST(TextQuote, QuotedStrDoublesQuotes)
{
    EXPECT_EQ(QuotedStr("O'Neil"), "'O''Neil'");
    EXPECT_EQ(QuotedStr(""), "''");
    EXPECT_EQ(QuotedStr("''"), "''''''");
}

TEST(TextReplace, StringReplaceFlags)
{
    EXPECT_EQ(StringReplace("aaaa", "aa", "b", rfReplaceAll), "bb");
    EXPECT_EQ(StringReplace("aaaa", "aa", "b", 0), "baa");
    EXPECT_EQ(StringReplace("Hello hello", "HELLO", "x", rfReplaceAll | rfIgnoreCase), "x x");
    EXPECT_EQ(StringReplace("Hello hello", "HELLO", "x", rfIgnoreCase), "x hello");
    EXPECT_EQ(StringReplace("Hello hello", "HELLO", "x", rfReplaceAll), "Hello hello");
    EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
    // Replacements are not searched again.
    EXPECT_EQ(StringReplace("aa", "a", "aa", rfReplaceAll), "aaaa");
    EXPECT_EQ(StringReplace("$1,234", "$", "", rfReplaceAll), "1,234");
}
