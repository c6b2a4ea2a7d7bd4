// Colour names, hex colours, entities, placeholders, CONTROL tags and
// stripping of the HTML mini-language.

#include "controls/HTMLText.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

TEST(HTMLColors, PlainNamesAreBlueGreenRedOrdered)
{
    // A value in red + green * 256 + blue * 65536: red is the low byte.
    EXPECT_EQ(TextToColor(u"clred"), 0x0000FFu);
    EXPECT_EQ(TextToColor(u"clblue"), 0xFF0000u);
    EXPECT_EQ(TextToColor(u"clnavy"), 0x800000u);
    EXPECT_EQ(TextToColor(u"clmaroon"), 0x000080u);
    EXPECT_EQ(TextToColor(u"clolive"), 0x008080u);
    EXPECT_EQ(TextToColor(u"clteal"), 0x808000u);
    EXPECT_EQ(TextToColor(u"claqua"), 0xFFFF00u);
    EXPECT_EQ(TextToColor(u"clyellow"), 0x00FFFFu);
    EXPECT_EQ(TextToColor(u"cllime"), 0x00FF00u);
    EXPECT_EQ(TextToColor(u"clgreen"), 0x008000u);
    EXPECT_EQ(TextToColor(u"clwhite"), 0xFFFFFFu);
    EXPECT_EQ(TextToColor(u"clblack"), 0u);
}

TEST(HTMLColors, SystemNamesAreIndexedSystemColours)
{
    EXPECT_EQ(TextToColor(u"clbackground"), 0xFF000001u);
    EXPECT_EQ(TextToColor(u"clwindow"), 0xFF000005u);
    EXPECT_EQ(TextToColor(u"clwindowtext"), 0xFF000008u);
    EXPECT_EQ(TextToColor(u"clhighlight"), 0xFF00000Du);
    EXPECT_EQ(TextToColor(u"clhighlighttext"), 0xFF00000Eu);
    EXPECT_EQ(TextToColor(u"clbtnface"), clBtnFace);
    EXPECT_EQ(TextToColor(u"clbtnshadow"), clBtnShadow);
    EXPECT_EQ(TextToColor(u"cl3ddkshadow"), 0xFF000015u);
    EXPECT_EQ(TextToColor(u"cl3dlight"), 0xFF000016u);
    EXPECT_EQ(TextToColor(u"clinfotext"), 0xFF000017u);
    EXPECT_EQ(TextToColor(u"clinfobk"), 0xFF000018u);
}

TEST(HTMLColors, NamesAreExactAndUnknownIsBlack)
{
    EXPECT_EQ(TextToColor(u"clRed"), 0u);
    EXPECT_EQ(TextToColor(u"red"), 0u);
    EXPECT_EQ(TextToColor(u""), 0u);
    EXPECT_EQ(TextToColor(u"clredx"), 0u);
}

TEST(HTMLColors, HexIsRedGreenBlueInTextAndBgrInValue)
{
    EXPECT_EQ(HexToColor(u"#FF0000"), 0x0000FFu);
    EXPECT_EQ(HexToColor(u"#00FF00"), 0x00FF00u);
    EXPECT_EQ(HexToColor(u"#0000FF"), 0xFF0000u);
    EXPECT_EQ(HexToColor(u"#123456"), 0x563412u);
    EXPECT_EQ(HexToColor(u"#12"), 0x12u);
    EXPECT_EQ(HexToColor(u"#"), 0u);
    EXPECT_EQ(HexToColor(u""), 0u);
}

TEST(HTMLColors, NonHexDigitCountsZeroAndDoesNotSpill)
{
    EXPECT_EQ(HexVal(u"ZZ"), 0);
    EXPECT_EQ(HexVal(u"G1"), 1);
    EXPECT_EQ(HexVal(u"1G"), 16);
    EXPECT_EQ(HexVal(u"F"), 0);
    EXPECT_EQ(HexVal(u"ff"), 255);
    // "ZZ" in red used to reach far into the green byte.
    EXPECT_EQ(HexToColor(u"#ZZ0000"), 0u);
    EXPECT_EQ(HexToColor(u"#GG8000"), 0x008000u);
    EXPECT_EQ(HexToColor(u"#-+!!??"), 0u);
}

// One replacement per entity per round, rounds until none applies: the
// behaviour that the one-scan rounds must reproduce.
QString ReferenceEntities(QString text)
{
    static const std::pair<const char16_t*, const char16_t*> table[] = {
        {u"&amp;", u"&&"},        {u"&quot;", u"\""},      {u"&sect;", u"\u00A7"},
        {u"&permil;", u"\u2030"}, {u"&reg;", u"\u00AE"},   {u"&copy;", u"\u00A9"},
        {u"&para;", u"\u00B6"},   {u"&trade;", u"\u2122"}, {u"&euro;", u"\u20AC"},
    };
    bool any = true;
    while (any) {
        any = false;
        for (const auto& e : table)
            if (ReplaceEntity(QStringView(e.first), QStringView(e.second), text)) any = true;
    }
    return text;
}

TEST(HTMLEntities, WindowsCodePageCharactersAsUnicode)
{
    QString s = QStringLiteral("&sect;&permil;&reg;&copy;&para;&trade;&euro;&quot;");
    ReplaceEntities(s);
    EXPECT_EQ(s, QString::fromUtf16(u"\u00A7\u2030\u00AE\u00A9\u00B6\u2122\u20AC\""));
    QString t = QStringLiteral("A &AMP; B &Euro;");
    ReplaceEntities(t);
    EXPECT_EQ(t, QString::fromUtf16(u"A && B \u20AC"));
    QString untouched = QStringLiteral("&nbsp;&lt;&gt;&unknown;&");
    ReplaceEntities(untouched);
    EXPECT_EQ(untouched, QStringLiteral("&nbsp;&lt;&gt;&unknown;&"));
}

TEST(HTMLEntities, RoundsRepeatUntilNothingApplies)
{
    QString s = QStringLiteral("&amp;amp;");
    ReplaceEntities(s);
    EXPECT_EQ(s, ReferenceEntities(QStringLiteral("&amp;amp;")));
    EXPECT_EQ(s, QStringLiteral("&&&"));
    QString q = QStringLiteral("&amp;quot;");
    ReplaceEntities(q);
    EXPECT_EQ(q, QStringLiteral("&\""));
}

TEST(HTMLEntities, OneScanPerRoundGivesTheSameResultsAsOneReplacementPerRound)
{
    static const char16_t* parts[] = {u"&amp;", u"amp;", u"&", u"quot;",  u"&quot;",  u"&euro;", u"x",    u" ",
                                      u"&AmP;", u"&reg", u";", u"&copy;", u"&trade;", u"euro;",  u"AMP;", u"am"};
    QRandomGenerator rnd(42);
    for (int n = 0; n < 20000; ++n) {
        QString text;
        const int count = int(rnd.bounded(12));
        for (int i = 0; i < count; ++i) text += QString::fromUtf16(parts[rnd.bounded(int(std::size(parts)))]);
        QString fast = text;
        ReplaceEntities(fast);
        ASSERT_EQ(fast, ReferenceEntities(text)) << text.toStdString();
    }
}

TEST(HTMLEntities, ManyEntitiesAreReplacedInFewRounds)
{
    QString s;
    for (int i = 0; i < 20000; ++i) s += QStringLiteral("&amp;");
    ReplaceEntities(s);
    EXPECT_EQ(s.size(), 40000);
    EXPECT_EQ(s.count(u'&'), 40000);
    // A chain that the rounds would unfold one link per round.
    QString chain = QStringLiteral("&amp;");
    for (int i = 0; i < 50000; ++i) chain += QStringLiteral("amp;");
    ReplaceEntities(chain);
    EXPECT_EQ(chain, QString(50002, u'&'));
    QString mixed = QStringLiteral("&amp;amp;quot;x&AMP;euro;");
    ReplaceEntities(mixed);
    EXPECT_EQ(mixed, QString::fromUtf16(u"&&\"x&\u20AC"));
}

TEST(HTMLPlaceholder, HashTagUnwrapped)
{
    EXPECT_EQ(UnwrapHashTag(QStringLiteral("a<#name>b")), QStringLiteral("a#nameb"));
    EXPECT_EQ(UnwrapHashTag(QStringLiteral("<#a><#b>")), QStringLiteral("#a<#b>"));
    EXPECT_EQ(UnwrapHashTag(QStringLiteral("plain")), QStringLiteral("plain"));
    // No ">" after the "<#": only the "<" goes.
    EXPECT_EQ(UnwrapHashTag(QStringLiteral("x<#name")), QStringLiteral("x#name"));
    EXPECT_EQ(UnwrapHashTag(QStringLiteral("a>b<#c")), QStringLiteral("a>b#c"));
}

TEST(HTMLLineEnds, CarriageReturnsBecomeBreaks)
{
    EXPECT_EQ(LineBreaksToBR(QStringLiteral("a\r\nb\rc\nd"), true), QStringLiteral("a<BR>b<BR>cd"));
    EXPECT_EQ(LineBreaksToBR(QStringLiteral("a\r\nb"), false), QStringLiteral("ab"));
    EXPECT_EQ(DecodeAngleEntities(QStringLiteral("&lt;B&gt;")), QStringLiteral("<B>"));
    EXPECT_EQ(EncodeAngleBrackets(QStringLiteral("<B>")), QStringLiteral("&lt;B&gt;"));
}

TEST(HTMLControlTags, AttributesParsed)
{
    const TControlTag t = ParseControlTag(u" type=\"check\" id=\"Chk1\" width=\"15\" value=\"a&lt;b&gt;c\"");
    EXPECT_EQ(t.Type, QStringLiteral("CHECK"));
    EXPECT_EQ(t.ID, QStringLiteral("Chk1"));
    EXPECT_EQ(t.Width, QStringLiteral("15"));
    EXPECT_EQ(t.Value, QStringLiteral("a<b>c"));
    const TControlTag none = ParseControlTag(u" TYPE=\"EDIT\"");
    EXPECT_TRUE(none.ID.isEmpty());
    EXPECT_TRUE(none.Width.isEmpty());
    EXPECT_TRUE(none.Value.isEmpty());
}

TEST(HTMLControlTags, KeysInsideQuotedValuesAreIgnored)
{
    const TControlTag t = ParseControlTag(u" VALUE=\"ID=x TYPE=y\" ID=\"e1\" TYPE=\"EDIT\" WIDTH=\"50\"");
    EXPECT_EQ(t.ID, QStringLiteral("e1"));
    EXPECT_EQ(t.Type, QStringLiteral("EDIT"));
    EXPECT_EQ(t.Value, QStringLiteral("ID=x TYPE=y"));
}

TEST(HTMLControlTags, SetControlValueRewritesTheTag)
{
    QString html = QStringLiteral("x<control type=\"EDIT\" id=\"a\" width=\"40\" value=\"old\" extra=\"1\">"
                                  "<CONTROL TYPE=\"CHECK\" ID=\"b\" WIDTH=\"15\" VALUE=\"FALSE\">y");
    ASSERT_TRUE(SetControlValue(html, QStringLiteral("b"), QStringLiteral("TRUE")));
    EXPECT_EQ(html,
              QStringLiteral("x<control type=\"EDIT\" id=\"a\" width=\"40\" value=\"old\" extra=\"1\">"
                             "<CONTROL ID=\"b\" VALUE=\"TRUE\" WIDTH=\"15\" TYPE=\"CHECK\">y"));
    ASSERT_TRUE(SetControlValue(html, QStringLiteral("a"), QStringLiteral("<new>")));
    EXPECT_TRUE(
        html.startsWith(QStringLiteral("x<CONTROL ID=\"a\" VALUE=\"&lt;new&gt;\" WIDTH=\"40\" TYPE=\"EDIT\">")));
    const QString before = html;
    EXPECT_FALSE(SetControlValue(html, QStringLiteral("A"), QStringLiteral("z")));
    EXPECT_FALSE(SetControlValue(html, QStringLiteral("missing"), QStringLiteral("z")));
    EXPECT_EQ(html, before);
}

TEST(HTMLControlTags, QuotesInValuesRoundTrip)
{
    QString html = QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e\" WIDTH=\"60\" VALUE=\"\">");
    const QString value = QStringLiteral("say \"ID=\"x\" TYPE=\"BUTTON\" > <b>");
    ASSERT_TRUE(SetControlValue(html, QStringLiteral("e"), value));
    // The value cannot end the tag, and the entity pass of the renderer
    // leaves the encoded quote alone.
    QString rendered = html;
    ReplaceEntities(rendered);
    EXPECT_EQ(rendered, html);
    EXPECT_EQ(html.count(u'>'), 1);
    const qsizetype gt = html.indexOf(u'>');
    const TControlTag t = ParseControlTag(QStringView(html).mid(8, gt - 8));
    EXPECT_EQ(t.ID, QStringLiteral("e"));
    EXPECT_EQ(t.Type, QStringLiteral("EDIT"));
    EXPECT_EQ(t.Width, QStringLiteral("60"));
    EXPECT_EQ(t.Value, value);
    // A second rewrite still finds the tag by its ID.
    ASSERT_TRUE(SetControlValue(html, QStringLiteral("e"), QStringLiteral("plain")));
    EXPECT_EQ(html, QStringLiteral("<CONTROL ID=\"e\" VALUE=\"plain\" WIDTH=\"60\" TYPE=\"EDIT\">"));
}

TEST(HTMLStripping, TagsRemovedBreaksKept)
{
    EXPECT_EQ(HTMLStrip(QStringLiteral("a<BR>b")), QStringLiteral("a\r\nb"));
    EXPECT_EQ(HTMLStrip(QStringLiteral("a<br>b<hR>c")), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(HTMLStrip(QStringLiteral("<B>bold</B> <FONT COLOR=\"clred\">red</FONT>")), QStringLiteral("bold red"));
    EXPECT_EQ(HTMLStrip(QStringLiteral("a<b")), QStringLiteral("a<b"));
    EXPECT_EQ(HTMLStrip(QStringLiteral("x<I>y<z")), QStringLiteral("xy<z"));
    EXPECT_EQ(HTMLStrip(QStringLiteral("&amp;&lt;")), QStringLiteral("&amp;&lt;"));
    EXPECT_EQ(HTMLStrip(QString()), QString());
}

} // namespace
