#include "grid/text/CellLines.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

TEST(CellLines, LineBreaksOfMultiLineCells)
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

TEST(CellLines, TildesAndQuotedMultilineText)
{
    QString text = "one~two~";
    TildeToCRLF(text);
    EXPECT_EQ(text, "one\r\ntwo\r\n");
    text = "plain";
    TildeToCRLF(text);
    EXPECT_EQ(text, "plain");

    text = "a\r\nb\rc\nd";
    QuoteMultiline(text);
    EXPECT_EQ(text, "\"a\nb\rc\nd\"");
    text = "";
    QuoteMultiline(text);
    EXPECT_EQ(text, "\"\"");
}
