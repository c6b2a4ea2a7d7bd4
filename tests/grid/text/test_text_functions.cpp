#include "grid/text/TextFunctions.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

TEST(TextFunctions, SearchesAnswerOneBasedPositions)
{
    int pos = 7;
    EXPECT_EQ(CharPosOut(u'x', "abc", pos), 0);
    EXPECT_EQ(pos, 7);
    EXPECT_EQ(CharPosOut(u'c', "abc", pos), 3);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(UpperPos("BC", "abc"), 2);
    EXPECT_EQ(UpperPos("bc", "abc"), 0);
    EXPECT_EQ(CountChar(u'a', "banana"), 3);
    QString filled = "abc";
    FillChars(filled, u'*');
    EXPECT_EQ(filled, "***");
    QString oem = QString(QChar(0x81)) + QStringLiteral("ber") + QChar(0xE1);
    OemToAnsiString(oem);
    EXPECT_EQ(oem, QString::fromUtf8("\xC3\xBC" "ber\xC3\x9F"));
}

TEST(TextFunctions, QuotesOfDelimitedFields)
{
    EXPECT_EQ(FindSingleChar(u'\'', "ab'c"), 3);
    EXPECT_EQ(FindSingleChar(u'\'', "a''b"), 0);
    EXPECT_EQ(FindSingleChar(u'\'', "ab''"), 4);
    EXPECT_EQ(FindSingleChar(u'\'', "a'''b"), 4);
    EXPECT_EQ(FindSingleChar(u'\'', ""), 0);
    EXPECT_EQ(CountSingleChars(u'"', "a\"b\"c"), 2);
    EXPECT_EQ(CountSingleChars(u'"', "a\"\"b"), 0);
    QString undoubled;
    UndoubleChar(u'"', "say \"\"hi\"\"\"", undoubled);
    EXPECT_EQ(undoubled, "say \"hi\"");
    UndoubleChar(u'"', "plain", undoubled);
    EXPECT_EQ(undoubled, "plain");
}

TEST(TextFunctions, LineBreaksOfMultiLineCells)
{
    QString s = "a\nb\r\nc";
    LFToCRLF(s);
    EXPECT_EQ(s, "a\r\nb\r\r\nc");
    QString expanded;
    ExpandNewlineEscapes("one\\ntwo\\", expanded);
    EXPECT_EQ(expanded, "one\rtwo\\");

    QString text = "first\r\nsecond\rthird";
    QString line;
    CutFirstLine(text, true, line);
    EXPECT_EQ(line, "first");
    EXPECT_EQ(text, "second\rthird");
    CutFirstLine(text, false, line);
    EXPECT_EQ(line, "second");
    EXPECT_EQ(text, "");
    text = "only";
    CutFirstLine(text, true, line);
    EXPECT_EQ(line, "only");
    EXPECT_EQ(text, "");

    EXPECT_EQ(CountLines("a\rb\rc", true), 3);
    EXPECT_EQ(CountLines("a\rb\rc", false), 1);
}

TEST(TextFunctions, ProperCaseOfNames)
{
    QString r;
    ProperCase("MCDONALD", r);
    EXPECT_EQ(r, "McDonald");
    ProperCase("JOHN SMITH III", r);
    EXPECT_EQ(r, "John Smith III");
    ProperCase("o'neil-smith", r);
    EXPECT_EQ(r, "O'Neil-Smith");
    ProperCase("ann mcbride", r);
    EXPECT_EQ(r, "Ann McBride");
    ProperCase("", r);
    EXPECT_EQ(r, "");
}

TEST(TextFunctions, LinksAndCellReferences)
{
    EXPECT_TRUE(IsURL("http://x"));
    EXPECT_TRUE(IsURL("mailto:a@b"));
    EXPECT_FALSE(IsURL("MAILTO:a@b"));
    QString url = "http://host/a://b";
    StripURLProtocol(url);
    EXPECT_EQ(url, "host/a://b");
    url = "mailto:a@b";
    StripURLProtocol(url);
    EXPECT_EQ(url, "a@b");

    TPoint cell(-1, -1);
    ASSERT_TRUE(ParseRCReference("r12c3", cell));
    EXPECT_EQ(cell, TPoint(3, 12));
    EXPECT_FALSE(ParseRCReference("R1C", cell));
    EXPECT_FALSE(ParseRCReference("X12C3", cell));
    EXPECT_FALSE(ParseRCReference("R12", cell));
    EXPECT_FALSE(ParseRCReference("R1Cx", cell));
    EXPECT_EQ(cell, TPoint(3, 12));
}
