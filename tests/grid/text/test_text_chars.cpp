#include "grid/text/TextChars.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

TEST(TextChars, SearchesAnswerOneBasedPositions)
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
    EXPECT_EQ(oem,
              QString::fromUtf8("\xC3\xBC"
                                "ber\xC3\x9F"));
}

TEST(TextChars, ProperCaseOfNames)
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

TEST(TextChars, PositionsOfCharactersPatternsAndSets)
{
    EXPECT_EQ(CharPos(u'b', "abcb"), 2);
    EXPECT_EQ(CharPos(u'z', "abc"), 0);
    EXPECT_EQ(CharPos(u'a', ""), 0);
    int pos = -1;
    EXPECT_EQ(VarPos("://", "http://x", pos), 5);
    EXPECT_EQ(pos, 5);
    EXPECT_EQ(VarPos("ftp", "http://x", pos), 0);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(VarPos("", "abc", pos), 0);
    EXPECT_EQ(FirstCharOfSet(u"&|", "a|b&c"), QChar(u'|'));
    EXPECT_EQ(FirstCharOfSet(u"&|", "abc"), QChar());
    EXPECT_EQ(FirstCharOfSet(u"", "abc"), QChar());
}
