// Character classes, names and name tokens, escaping and the value of a
// character reference.

#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XMLEncoding.h"

#include <gtest/gtest.h>

TEST(XmlChars, Classes)
{
    EXPECT_TRUE(IsXMLChar(u'\t'));
    EXPECT_TRUE(IsXMLChar(u'\n'));
    EXPECT_TRUE(IsXMLChar(u'\r'));
    EXPECT_FALSE(IsXMLChar(char16_t(0x0B)));
    EXPECT_FALSE(IsXMLChar(char16_t(0)));
    EXPECT_TRUE(IsXMLChar(char16_t(0xD7FF)));
    EXPECT_FALSE(IsXMLChar(char16_t(0xD800)));
    EXPECT_FALSE(IsXMLChar(char16_t(0xDFFF)));
    EXPECT_TRUE(IsXMLChar(char16_t(0xE000)));
    EXPECT_TRUE(IsXMLChar(char16_t(0xFFFD)));
    EXPECT_FALSE(IsXMLChar(char16_t(0xFFFE)));

    EXPECT_TRUE(IsLetter(u'A'));
    EXPECT_TRUE(IsLetter(char16_t(0x00E9)));
    EXPECT_FALSE(IsLetter(char16_t(0x00D7))); // multiplication sign
    EXPECT_FALSE(IsLetter(char16_t(0x0132))); // ligature IJ: not a base character
    EXPECT_TRUE(IsLetter(char16_t(0x0386)));
    EXPECT_FALSE(IsLetter(char16_t(0x0387)));
    EXPECT_TRUE(IsLetter(char16_t(0x4E00))); // ideographic
    EXPECT_TRUE(IsLetter(char16_t(0x9FA5)));
    EXPECT_FALSE(IsLetter(char16_t(0x9FA6)));
    EXPECT_TRUE(IsLetter(char16_t(0x3007)));
    EXPECT_TRUE(IsLetter(char16_t(0xAC00)));
    EXPECT_TRUE(IsLetter(char16_t(0xD7A3)));
    EXPECT_FALSE(IsLetter(char16_t(0x1200))); // Ethiopic came later than the tables
    EXPECT_TRUE(IsDigit(u'7'));
    EXPECT_TRUE(IsDigit(char16_t(0x0660)));
    EXPECT_TRUE(IsDigit(char16_t(0x0F29)));
    EXPECT_FALSE(IsDigit(char16_t(0x0BE6))); // Tamil zero is not in the table
    EXPECT_FALSE(IsDigit(u'a'));

    EXPECT_TRUE(IsWhiteSpace(u' '));
    EXPECT_TRUE(IsWhiteSpace(u'\r'));
    EXPECT_FALSE(IsWhiteSpace(char16_t(0xA0)));
    EXPECT_TRUE(IsNameStart(u'_'));
    EXPECT_TRUE(IsNameStart(u':'));
    EXPECT_FALSE(IsNameStart(u'-'));
    EXPECT_TRUE(IsNameChar(u'-'));
    EXPECT_TRUE(IsNameChar(u'.'));
    EXPECT_TRUE(IsNameChar(u'5'));
    EXPECT_FALSE(IsNameChar(char16_t(0x0301))); // combining marks are not name characters
    EXPECT_FALSE(IsNameChar(char16_t(0x00B7))); // nor extenders
    for (char16_t c : {u'-', u'?', u']', u'/', u'>'}) EXPECT_TRUE(IsCloseStart(c));
    EXPECT_FALSE(IsCloseStart(u'<'));
    EXPECT_TRUE(IsCharDataStart(u'a'));
    EXPECT_FALSE(IsCharDataStart(u'<'));
    EXPECT_FALSE(IsCharDataStart(char16_t(1)));
}

TEST(XmlChars, NamesAndTokens)
{
    EXPECT_TRUE(IsValidName(u"vxp"));
    EXPECT_TRUE(IsValidName(u"prop.search"));
    EXPECT_TRUE(IsValidName(u"_x:y-1"));
    EXPECT_FALSE(IsValidName(u""));
    for (const char16_t* s : {u"1abc", u".a", u"-a"}) {
        EXPECT_FALSE(IsValidName(s));
        EXPECT_TRUE(IsValidNmtoken(s));
    }
    EXPECT_FALSE(IsValidName(u"a\u0301"));
    EXPECT_FALSE(IsValidNmtoken(u""));
    EXPECT_FALSE(IsValidNmtoken(u"a b"));

    QStringList pieces;
    EXPECT_TRUE(IsValidNames(u"ab   cd", &pieces));
    EXPECT_EQ(pieces, (QStringList{QStringLiteral("ab"), QStringLiteral("cd")}));
    pieces.clear();
    EXPECT_FALSE(IsValidNames(u" 1a b 2c ", &pieces));
    EXPECT_EQ(pieces, (QStringList{QStringLiteral("1a"), QStringLiteral("b"), QStringLiteral("2c")}));
    EXPECT_TRUE(IsValidNmtokens(u"1a 2b"));
    EXPECT_FALSE(IsValidNames(u"   "));
    EXPECT_FALSE(IsValidNmtokens(u""));

    EXPECT_FALSE(IsValidPITarget(u"xml"));
    EXPECT_FALSE(IsValidPITarget(u"XML"));
    EXPECT_FALSE(IsValidPITarget(u"Xml"));
    EXPECT_TRUE(IsValidPITarget(u"xml-stylesheet"));
    EXPECT_FALSE(IsValidPITarget(u" "));
    EXPECT_FALSE(IsValidPITarget(u"1pi"));
}

TEST(XmlChars, EscapingKeepsOnlyCompleteReferences)
{
    EXPECT_EQ(EscapeChar(u"a &amp; b", u'&'), QStringLiteral("a &amp; b"));
    EXPECT_EQ(EscapeChar(u"a & b", u'&'), QStringLiteral("a &amp; b"));
    EXPECT_EQ(EscapeChar(u"a & b;", u'&'), QStringLiteral("a &amp; b;"));
    EXPECT_EQ(EscapeChar(u"&#233;&#xE9;&#x;&#;&#12a;", u'&'), QStringLiteral("&#233;&#xE9;&amp;#x;&amp;#;&amp;#12a;"));
    EXPECT_EQ(EscapeChar(u"&name.x-1;", u'&'), QStringLiteral("&name.x-1;"));
    // "<" and the double quote are always escaped, ";" or not.
    EXPECT_EQ(EscapeChar(u"a < b;", u'<'), QStringLiteral("a &lt; b;"));
    EXPECT_EQ(EscapeChar(u"x\" evil=\"1;", u'"'), QStringLiteral("x&quot; evil=&quot;1;"));
    EXPECT_EQ(EscapeChar(u"it's", u'\''), QStringLiteral("it&apos;s"));
    EXPECT_EQ(EscapeChar(u"a>b", u'>'), QStringLiteral("a&gt;b"));
    EXPECT_EQ(EscapeChar(u"abc", u'x'), QStringLiteral("abc"));

    QString out;
    AppendEscaped(out, u"<a href=\"x\">&amp; & 'y'", esAttribute);
    EXPECT_EQ(out, QStringLiteral("&lt;a href=&quot;x&quot;>&amp; &amp; 'y'"));
    out.clear();
    AppendEscaped(out, u"<\"&", esText);
    EXPECT_EQ(out, QStringLiteral("&lt;\"&amp;"));
    out.clear();
    AppendEscaped(out, u"<\"&", esEntityValue);
    EXPECT_EQ(out, QStringLiteral("<&quot;&amp;"));
    EXPECT_EQ(EscapedLength(u"<\"&amp;&", esAttribute), QStringLiteral("&lt;&quot;&amp;&amp;").size());
    EXPECT_TRUE(NeedsEscape(u"a<b", esText));
    EXPECT_FALSE(NeedsEscape(u"a\"b", esText));
    EXPECT_EQ(IndentText(3), QStringLiteral("   "));
    EXPECT_EQ(IndentText(0), QString());
}

TEST(XmlChars, ReferenceEndAndHexValue)
{
    EXPECT_EQ(ReferenceEnd(u"&amp;x", 2), 5);
    EXPECT_EQ(ReferenceEnd(u"&amp;x", 1), 0); // starting on the "&" itself
    EXPECT_EQ(ReferenceEnd(u"&a &b;", 2), 0); // an "&" comes first
    EXPECT_EQ(ReferenceEnd(u"abc", 1), 0);
    EXPECT_EQ(ReferenceEnd(u"a;", 5), 0);
    EXPECT_EQ(HexValue(u"1F"), 31u);
    EXPECT_EQ(HexValue(u"e9"), 0xE9u);
    EXPECT_EQ(HexValue(u"G"), uint32_t(u'G' - 48));
}

TEST(XmlChars, CharacterReferences)
{
    ClearUnconvertedList();
    EXPECT_EQ(CharReferenceValue(u"#233", i8859_1), 0x00E9);
    EXPECT_EQ(CharReferenceValue(u"#xE9", i8859_1), 0x00E9);
    EXPECT_EQ(CharReferenceValue(u"#XE9", UTF_8), 0x00E9);
    EXPECT_EQ(CharReferenceValue(u"#x20AC", UTF_16), 0x20AC);
    EXPECT_TRUE(UnconvertedListIsEmpty());
    // Single-byte documents map the number as a byte of their set.
    EXPECT_EQ(CharReferenceValue(u"#x0164", i8859_1), 0x0064);
    EXPECT_EQ(CharReferenceValue(u"#xAB", i8859_2), 0x0164);
    EXPECT_EQ(CharReferenceValue(u"#233", US_ASCII), u'_');
    EXPECT_EQ(UnconvertedList(), QStringLiteral("(0x00E9)"));
    ClearUnconvertedList();
    // Not an XML character, or beyond 16 bits: "_" and listed.
    EXPECT_EQ(CharReferenceValue(u"#0", UTF_8), u'_');
    EXPECT_EQ(CharReferenceValue(u"#x1F600", UTF_8), u'_');
    EXPECT_EQ(CharReferenceValue(u"#xD800", UTF_8), u'_');
    EXPECT_EQ(CharReferenceValue(u"#12ab", UTF_8), u'_');
    EXPECT_EQ(CharReferenceValue(u"#99999999999999999999", UTF_8), u'_');
    EXPECT_EQ(CharReferenceValue(u"#x100000041", UTF_8), u'_'); // no wrap-around
    EXPECT_EQ(UnconvertedList(), QStringLiteral("(0x0000), (0x1F600), (0xD800), (0x110000)"));
    ClearUnconvertedList();
    EXPECT_EQ(CharReferenceValue(u"#x0000000041", UTF_8), u'A');
    // A byte of the set that is a control character is no character either.
    EXPECT_EQ(CharReferenceValue(u"#524", US_ASCII), u'_');
    EXPECT_EQ(CharReferenceValue(u"#x10B", i8859_1), u'_');
    EXPECT_EQ(UnconvertedList(), QStringLiteral("(0x020C), (0x000B)"));
    EXPECT_EQ(CharReferenceValue(u"#x109", i8859_1), u'\t');
    ClearUnconvertedList();
}
