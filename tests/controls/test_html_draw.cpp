// Layout, hit-testing and results of the HTML renderer, checked through the
// recording canvas: every character is 8 pixels wide at 8 points (Size
// pixels in general) and every line 16 high (2 * Size), so each number below
// follows from the layout rules alone.

#include "controls/HTMLDraw.h"
#include "controls/HTMLText.h"
#include "tests/support/RecordingCanvas.h"
#include "platform/graphics/Themes.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

struct Drawn {
    QString text;
    TRect rect;
    TFont font;
    unsigned flags = 0;
    TColor brush = clNone;
};

// The DrawText calls that draw (not those that measure).
QVector<Drawn> Draws(const TRecordingCanvas& c)
{
    QVector<Drawn> out;
    for (const TCanvasCall& call : c.Calls())
        if (call.Op == QLatin1String("DrawText") && !(call.Flags & Win::DT_CALCRECT))
            out.push_back({call.Text, call.Rect, call.Font, call.Flags, call.Brush.Color()});
    return out;
}

struct Fixture {
    TRecordingCanvas canvas;
    THTMLDrawOptions o;
    THTMLDrawResults r;
    bool hit = false;
    Fixture() { canvas.Font().SetColor(clBlack); }
    bool Draw(const QString& text, TRect rect = TRect(0, 0, 200, 100))
    {
        canvas.Clear();
        hit = HTMLDraw(canvas, text, rect, o, r);
        return hit;
    }
};

TEST(HTMLLayout, EmptyTextDrawsNothingAndMeasuresOneLine)
{
    Fixture f;
    f.o.FocusLink = 0;
    EXPECT_FALSE(f.Draw(QString()));
    EXPECT_TRUE(Draws(f.canvas).isEmpty());
    EXPECT_EQ(f.r.XSize, 0);
    EXPECT_EQ(f.r.YSize, 16);
    EXPECT_EQ(f.r.HyperLinks, 0);
    EXPECT_EQ(f.r.MouseLink, -1);
    EXPECT_TRUE(f.r.FocusAnchor.isEmpty());
    EXPECT_EQ(f.r.ControlRect, TRect());
}

TEST(HTMLLayout, TextStartsOnePixelInAndSitsOnTheLineBottom)
{
    Fixture f;
    f.Draw(QStringLiteral("Hello"), TRect(10, 20, 200, 100));
    const auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 1);
    EXPECT_EQ(d[0].text, QStringLiteral("Hello"));
    EXPECT_EQ(d[0].rect, TRect(11, 20, 200, 36));
    EXPECT_EQ(d[0].flags, 0x268u);
    EXPECT_EQ(f.r.XSize, 40);
    EXPECT_EQ(f.r.YSize, 16);
    EXPECT_EQ(f.r.StripVal, QStringLiteral("Hello"));
    // The canvas is handed back as it came.
    EXPECT_EQ(f.canvas.Brush().Color(), clWhite);
    EXPECT_EQ(f.canvas.Font().Color(), clBlack);
}

TEST(HTMLLayout, WithoutWordWrapTheLineEndsInAnEllipsis)
{
    Fixture f;
    f.o.WordWrap = false;
    f.Draw(QStringLiteral("a long text that does not fit"), TRect(0, 0, 41, 100));
    const auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 1);
    EXPECT_EQ(d[0].flags, 0x268u | Win::DT_END_ELLIPSIS);
    EXPECT_EQ(d[0].rect, TRect(1, 0, 41, 16));
    EXPECT_EQ(f.r.YSize, 16);
}

TEST(HTMLLayout, WordWrapBreaksAtSpacesAndDropsTheTrailingSpaceWidth)
{
    Fixture f;
    // Working width 60: "aaa " (32) fits, "bbb " would make 64.
    f.Draw(QStringLiteral("aaa bbb ccc"), TRect(0, 0, 61, 100));
    const auto d = Draws(f.canvas);
    // The words of a line in one state are drawn as one run.
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0].text, QStringLiteral("aaa "));
    EXPECT_EQ(d[0].rect, TRect(1, 0, 61, 16));
    EXPECT_EQ(d[1].text, QStringLiteral("bbb ccc"));
    EXPECT_EQ(d[1].rect, TRect(1, 16, 61, 32));
    // Each word was measured on its own.
    int measured = 0;
    for (const auto& c : f.canvas.CallsOf(QStringLiteral("DrawText"))) measured += (c.Flags & Win::DT_CALCRECT) ? 1 : 0;
    EXPECT_EQ(measured, 4);
    EXPECT_EQ(f.r.XSize, 56);
    EXPECT_EQ(f.r.YSize, 32);
    EXPECT_EQ(f.r.StripVal, QStringLiteral("aaa bbb ccc"));
}

TEST(HTMLLayout, RunsBreakAtTagsTabsShadowsAndErrorMarks)
{
    Fixture f;
    f.Draw(QStringLiteral("ab cd <B>ef gh</B> ij\tk l"));
    QStringList texts;
    for (const auto& d : Draws(f.canvas)) texts << d.text;
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("ab cd "), QStringLiteral("ef gh"), QStringLiteral(" "),
                           QStringLiteral("ij\tk "), QStringLiteral("l")}));
    f.Draw(QStringLiteral("<SH>a b</SH> <E>c d</E>"));
    texts.clear();
    for (const auto& d : Draws(f.canvas)) texts << d.text;
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("a "), QStringLiteral("a "), QStringLiteral("b"), QStringLiteral("b"),
                           QStringLiteral(" "), QStringLiteral("c "), QStringLiteral("d")}));
}

TEST(HTMLLayout, LongWordsAndWordsSplitByTagsStayWhole)
{
    Fixture f;
    f.Draw(QStringLiteral("abcdefghijkl"), TRect(0, 0, 41, 100));
    EXPECT_EQ(Draws(f.canvas).size(), 1);
    EXPECT_EQ(f.r.XSize, 96);
    EXPECT_EQ(f.r.YSize, 16);

    f.Draw(QStringLiteral("ab<B>cd</B>"), TRect(0, 0, 21, 100));
    const auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[1].rect.Top, 0);
    EXPECT_EQ(d[1].rect.Left, 17);
    EXPECT_TRUE(d[1].font.Style().Contains(TFontStyle::fsBold));
    EXPECT_EQ(f.r.YSize, 16);
}

TEST(HTMLLayout, ParagraphAlignmentAndIndent)
{
    Fixture f;
    f.Draw(QStringLiteral("<P ALIGN=\"RIGHT\">abc</P>"), TRect(0, 0, 101, 100));
    EXPECT_EQ(Draws(f.canvas).at(0).rect.Left, 101 - 24);
    f.Draw(QStringLiteral("<P align=\"center\">abc</P>"), TRect(0, 0, 101, 100));
    EXPECT_EQ(Draws(f.canvas).at(0).rect.Left, 1 + (100 - 24) / 2);
    f.Draw(QStringLiteral("<P INDENT=\"10\">abc</P>"), TRect(0, 0, 101, 100));
    EXPECT_EQ(Draws(f.canvas).at(0).rect.Left, 11);
    // A line too wide for right alignment starts at the left edge.
    f.Draw(QStringLiteral("<P ALIGN=\"RIGHT\">abcdefghijklmnop</P>"), TRect(0, 0, 101, 100));
    EXPECT_EQ(Draws(f.canvas).at(0).rect.Left, 1);
    // IND moves the text to a column.
    f.Draw(QStringLiteral("ab<IND x=\"40\">cd"), TRect(0, 0, 101, 100));
    EXPECT_EQ(Draws(f.canvas).at(1).rect.Left, 41);
    EXPECT_EQ(f.r.XSize, 56);
}

TEST(HTMLLayout, ListIndentsAndBullets)
{
    Fixture f;
    f.Draw(QStringLiteral("<UL><LI>a</UL>"));
    auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0].text, QString(QChar(0x2022)));
    EXPECT_EQ(d[0].font.Name(), QStringLiteral("Symbol"));
    EXPECT_EQ(d[0].rect.Left, 1);
    EXPECT_EQ(d[1].text, QStringLiteral("a"));
    EXPECT_EQ(d[1].rect.Left, 13);
    EXPECT_NE(d[1].font.Name(), QStringLiteral("Symbol"));
    EXPECT_EQ(f.r.XSize, 20);

    f.Draw(QStringLiteral("<UL><UL><LI>b</UL></UL>"));
    d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0].text, QStringLiteral("o"));
    EXPECT_EQ(d[0].rect.Left, 13);
    EXPECT_EQ(d[1].rect.Left, 25);
    EXPECT_EQ(f.r.XSize, 32);

    // A second item on the same line starts a new line; its advance is not
    // left on the line it ends.
    f.Draw(QStringLiteral("<UL><LI>a<LI>b</UL>"));
    d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 4);
    EXPECT_EQ(d[2].rect, TRect(1, 16, 200, 32));
    EXPECT_EQ(d[3].rect.Left, 13);
    EXPECT_EQ(f.r.XSize, 20);
    EXPECT_EQ(f.r.YSize, 32);

    // An item outside any list is laid out as one of the first level.
    f.Draw(QStringLiteral("<LI>c"));
    d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0].rect.Left, 1);
    EXPECT_EQ(d[1].rect.Left, 13);
}

TEST(HTMLLayout, SubscriptAndSuperscriptExtras)
{
    Fixture f;
    f.Draw(QStringLiteral("a<SUB>b</SUB>c"));
    auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 3);
    EXPECT_EQ(f.r.YSize, 20); // 16 + a quarter below
    EXPECT_EQ(d[0].rect.Bottom, 16);
    EXPECT_EQ(d[1].rect.Bottom, 20);
    EXPECT_EQ(d[2].rect.Bottom, 16);

    f.Draw(QStringLiteral("a<sup>b</sup>c"));
    d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 3);
    EXPECT_EQ(f.r.YSize, 20); // a quarter above
    EXPECT_EQ(d[0].rect.Bottom, 20);
    EXPECT_EQ(d[1].rect.Bottom, 16);

    // With attributes it is no subscript tag.
    f.Draw(QStringLiteral("a<SUB X=\"1\">b"));
    EXPECT_EQ(f.r.YSize, 16);
}

TEST(HTMLLayout, LineHeightsFollowTheLargestFont)
{
    Fixture f;
    f.Draw(QStringLiteral("a<FONT SIZE=\"3\">b</FONT>c<BR>d"));
    auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 4);
    EXPECT_EQ(d[1].font.Size(), 12);
    EXPECT_EQ(d[2].font.Size(), 8);
    EXPECT_EQ(d[0].rect.Bottom, 24);
    EXPECT_EQ(d[3].rect, TRect(1, 24, 200, 40));
    EXPECT_EQ(f.r.YSize, 40);
    EXPECT_EQ(f.r.StripVal, QStringLiteral("abc\rd"));

    f.Draw(QStringLiteral("<FONT SIZE=\"20\" FACE=\"Arial\" COLOR=\"clRed\">x</FONT>"));
    d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 1);
    EXPECT_EQ(d[0].font.Size(), 20);
    EXPECT_EQ(d[0].font.Name(), QStringLiteral("Arial"));
    EXPECT_EQ(d[0].font.Color(), clRed);
    EXPECT_EQ(f.r.YSize, 40);
    EXPECT_EQ(f.r.XSize, 20);
}

TEST(HTMLLayout, FontColoursAndBackgroundsKeepBgrOrder)
{
    Fixture f;
    f.Draw(QStringLiteral("<FONT COLOR=\"#FF0000\" BGCOLOR=\"clInfoBk\">a</FONT>b"));
    const auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0].font.Color(), 0x0000FFu);
    EXPECT_EQ(d[0].brush, clInfoBk);
    EXPECT_EQ(d[1].font.Color(), clBlack);
    EXPECT_EQ(d[1].brush, clNone);

    // Selected text keeps the canvas colours.
    f.o.Selected = true;
    f.Draw(QStringLiteral("<FONT COLOR=\"clred\" BGCOLOR=\"clyellow\">a</FONT>"));
    EXPECT_EQ(Draws(f.canvas).at(0).font.Color(), clBlack);
    EXPECT_EQ(Draws(f.canvas).at(0).brush, clNone);
}

TEST(HTMLLayout, TextBelowTheRectangleIsDroppedUnlessMeasuring)
{
    Fixture f;
    f.Draw(QStringLiteral("a<BR>b<BR>c<BR>d"), TRect(0, 0, 100, 40));
    EXPECT_EQ(Draws(f.canvas).size(), 2);
    EXPECT_EQ(f.r.YSize, 32);
    f.o.CheckHeight = true;
    f.Draw(QStringLiteral("a<BR>b<BR>c<BR>d"), TRect(0, 0, 100, 40));
    EXPECT_TRUE(Draws(f.canvas).isEmpty());
    EXPECT_EQ(f.r.YSize, 64);
    EXPECT_EQ(f.r.XSize, 8);
}

TEST(HTMLLayout, EntitiesAndAngleBrackets)
{
    Fixture f;
    f.Draw(QStringLiteral("&lt;B&gt;x"));
    auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 1);
    EXPECT_EQ(d[0].text, QStringLiteral("<B>x"));
    EXPECT_FALSE(d[0].font.Style().Contains(TFontStyle::fsBold));
    EXPECT_EQ(f.canvas.Runs(), QStringList{QStringLiteral("<B>x")});

    f.Draw(QStringLiteral("a&amp;b&nbsp;c&euro;"));
    d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 1);
    EXPECT_EQ(d[0].text, QString::fromUtf16(u"a&&b c\u20AC"));
    EXPECT_EQ(f.canvas.Runs(), QStringList{QString::fromUtf16(u"a&b c\u20AC")});
    EXPECT_EQ(f.r.XSize, 6 * 8);
}

TEST(HTMLLayout, LoneAndUnclosedTagsEndTheText)
{
    Fixture f;
    for (const char* t : {"<", "<B", "<B x"}) {
        f.Draw(QString::fromLatin1(t));
        EXPECT_TRUE(Draws(f.canvas).isEmpty()) << t;
        EXPECT_EQ(f.r.XSize, 0) << t;
    }
    f.Draw(QStringLiteral("ab<FONT x"));
    EXPECT_EQ(Draws(f.canvas).size(), 1);
    EXPECT_EQ(f.r.XSize, 16);
    f.Draw(QStringLiteral("a<UNKNOWN>b<EM>c"));
    EXPECT_EQ(f.canvas.Runs(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

TEST(HTMLLayout, StylesOnAndOff)
{
    Fixture f;
    f.Draw(QStringLiteral("<B><I><U><S>a</S></U></I></B>b"));
    const auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(
        d[0].font.Style(),
        (TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsUnderline, TFontStyle::fsStrikeOut}));
    EXPECT_TRUE(d[1].font.Style().Empty());
}

TEST(HTMLLayout, HiddenTextCountsOnlyInTheStripText)
{
    Fixture f;
    f.Draw(QStringLiteral("a<Z>hidden</Z><BR>b"));
    EXPECT_EQ(f.canvas.Runs(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(f.r.StripVal, QStringLiteral("ahidden\rb"));
    EXPECT_EQ(f.r.XSize, 8);
}

TEST(HTMLLayout, ShadowIsDrawnFirstInTheShadowColour)
{
    Fixture f;
    f.o.ShadowOffset = 2;
    f.o.ShadowColor = clSilver;
    f.Draw(QStringLiteral("<SH>a</SH>"));
    const auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0].font.Color(), clSilver);
    EXPECT_EQ(d[0].rect, TRect(3, 2, 202, 18));
    EXPECT_EQ(d[1].font.Color(), clBlack);
    EXPECT_EQ(d[1].rect, TRect(1, 0, 200, 16));
}

TEST(HTMLLayout, HorizontalRuleEndsTheLine)
{
    Fixture f;
    f.Draw(QStringLiteral("a<HR>b"));
    const auto lines = f.canvas.CallsOf(QStringLiteral("LineTo"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].From, TPoint(1, 17));
    EXPECT_EQ(lines[0].To, TPoint(200, 17));
    EXPECT_EQ(lines[0].Pen.Color(), clBlack);
    EXPECT_EQ(Draws(f.canvas).at(1).rect.Top, 16);
    EXPECT_EQ(f.canvas.Pen().Color(), clBlack);
}

TEST(HTMLLayout, ErrorMarkZigZag)
{
    Fixture f;
    f.Draw(QStringLiteral("a<E>bc</E>"), TRect(2, 0, 200, 100));
    const auto lines = f.canvas.CallsOf(QStringLiteral("LineTo"));
    // "bc" spans 11..27; the zig-zag starts at 10, a multiple of 2 but not 4.
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0].From, TPoint(10, 15));
    EXPECT_EQ(lines[0].To, TPoint(12, 17));
    EXPECT_EQ(lines[1].To, TPoint(14, 15));
    EXPECT_EQ(lines[7].To, TPoint(26, 15));
    for (const auto& l : lines) {
        EXPECT_EQ(l.Pen.Color(), clRed);
        EXPECT_EQ(l.Pen.Width(), 1);
    }
}

TEST(HTMLHits, AnchorUnderTheMouse)
{
    Fixture f;
    f.o.CheckHotSpot = true;
    f.o.XPos = 30;
    f.o.YPos = 8;
    EXPECT_TRUE(f.Draw(QStringLiteral("ab<A HREF=\"x.htm\">link</A> c")));
    EXPECT_TRUE(Draws(f.canvas).isEmpty());
    EXPECT_EQ(f.r.AnchorVal, QStringLiteral("x.htm"));
    EXPECT_EQ(f.r.MouseLink, 1);
    EXPECT_EQ(f.r.HoverRect, TRect(17, 0, 49, 16));
    EXPECT_EQ(f.r.HyperLinks, 1);

    f.o.XPos = 5;
    EXPECT_FALSE(f.Draw(QStringLiteral("ab<A HREF=\"x.htm\">link</A> c")));
    EXPECT_TRUE(f.r.AnchorVal.isEmpty());
    EXPECT_EQ(f.r.MouseLink, -1);

    // The result needs the mouse inside the text band of the line.
    f.o.XPos = 30;
    f.o.YPos = 0;
    EXPECT_FALSE(f.Draw(QStringLiteral("ab<A HREF=\"x.htm\">link</A> c")));
}

TEST(HTMLHits, AnchorOnACentredLine)
{
    Fixture f;
    f.o.CheckHotSpot = true;
    f.o.XPos = 45;
    f.o.YPos = 8;
    // 100 wide, 4 characters: the line starts at 1 + (100 - 32) / 2 = 35.
    EXPECT_TRUE(f.Draw(QStringLiteral("<P ALIGN=\"CENTER\"><A HREF=\"c\">link</A></P>"), TRect(0, 0, 101, 50)));
    EXPECT_EQ(f.r.AnchorVal, QStringLiteral("c"));
    EXPECT_EQ(f.r.MouseLink, 1);
    EXPECT_EQ(f.r.HoverRect, TRect(35, 0, 67, 16));
}

TEST(HTMLHits, FocusLinkIsFramedAndNamed)
{
    Fixture f;
    f.o.FocusLink = 1;
    f.Draw(QStringLiteral("<A HREF=\"a\">aa</A> <A HREF=\"b\">bb</A>"));
    const auto frames = f.canvas.CallsOf(QStringLiteral("DrawFocusRect"));
    ASSERT_EQ(frames.size(), 1);
    // "aa " is 24 wide, so the second anchor covers 25..41, widened by one.
    EXPECT_EQ(frames[0].Rect, TRect(24, 0, 42, 16));
    EXPECT_EQ(f.r.FocusAnchor, QStringLiteral("b"));
    EXPECT_EQ(f.r.HyperLinks, 2);

    f.o.FocusLink = -1;
    f.o.CheckHotSpot = true;
    f.o.XPos = 30;
    f.o.YPos = 5;
    EXPECT_TRUE(f.Draw(QStringLiteral("<A HREF=\"a\">aa</A> <A HREF=\"b\">bb</A>")));
    EXPECT_EQ(f.r.MouseLink, 2);
    EXPECT_EQ(f.r.AnchorVal, QStringLiteral("b"));
    EXPECT_TRUE(f.canvas.CallsOf(QStringLiteral("DrawFocusRect")).isEmpty());
}

TEST(HTMLHits, FocusLinkAcrossLinesIsFramedPerLine)
{
    Fixture f;
    f.o.FocusLink = 0;
    f.Draw(QStringLiteral("x <A HREF=\"a\">aaa bbb</A>"), TRect(0, 0, 49, 100));
    const auto frames = f.canvas.CallsOf(QStringLiteral("DrawFocusRect"));
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0].Rect, TRect(16, 0, 50, 16));
    EXPECT_EQ(frames[1].Rect, TRect(1, 16, 26, 32));
}

TEST(HTMLHits, AnchorColoursAndHoverStyle)
{
    Fixture f;
    f.o.URLColor = clGreen;
    f.Draw(QStringLiteral("<A HREF=\"a\">a</A>b"));
    auto d = Draws(f.canvas);
    EXPECT_EQ(d[0].font.Color(), clGreen);
    EXPECT_TRUE(d[0].font.Style().Contains(TFontStyle::fsUnderline));
    EXPECT_EQ(d[1].font.Color(), clBlack);
    EXPECT_FALSE(d[1].font.Style().Contains(TFontStyle::fsUnderline));

    f.o.HoverStyle = true;
    f.o.HoverLink = 2;
    f.o.HoverColor = clYellow;
    f.o.HoverFontColor = clRed;
    f.Draw(QStringLiteral("<A HREF=\"a\">a</A><A HREF=\"b\">b</A>c"));
    d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 3);
    EXPECT_FALSE(d[0].font.Style().Contains(TFontStyle::fsUnderline));
    EXPECT_EQ(d[0].font.Color(), clGreen);
    EXPECT_TRUE(d[1].font.Style().Contains(TFontStyle::fsUnderline));
    EXPECT_EQ(d[1].font.Color(), clRed);
    EXPECT_EQ(d[1].brush, clYellow);
    EXPECT_EQ(d[2].font.Color(), clBlack);
    EXPECT_EQ(d[2].brush, clNone);
}

TEST(HTMLHits, EmbeddedControls)
{
    SetThemesActive(false);
    Fixture f;
    f.o.CheckHotSpot = true;
    f.o.XPos = 20;
    f.o.YPos = 5;
    const QString text = QStringLiteral("ab<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"true\" WIDTH=\"15\">");
    EXPECT_TRUE(f.Draw(text));
    EXPECT_EQ(f.r.AnchorVal, QStringLiteral("ctrl"));
    EXPECT_EQ(f.r.ControlRect, TRect(17, 0, 33, 16));
    EXPECT_EQ(f.r.CID, QStringLiteral("c1"));
    EXPECT_EQ(f.r.CV, QStringLiteral("true"));
    EXPECT_EQ(f.r.CT, QStringLiteral("CHECK"));

    f.o.CheckHotSpot = false;
    f.o.XPos = f.o.YPos = -1;
    f.Draw(text);
    auto frames = f.canvas.CallsOf(QStringLiteral("DrawFrameControl"));
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].Rect, TRect(19, 1, 32, 16));
    EXPECT_EQ(frames[0].Flags, Win::DFC_BUTTON | (0x4400u << 16));
    EXPECT_EQ(f.r.XSize, 32);
    EXPECT_EQ(f.r.ControlRect, TRect());

    // An edit: frame and value; the line grows to "gh" + 6.
    f.Draw(QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\" WIDTH=\"50\">"));
    const auto rects = f.canvas.CallsOf(QStringLiteral("Rectangle"));
    ASSERT_EQ(rects.size(), 1);
    EXPECT_EQ(rects[0].Rect, TRect(1, 3, 51, 23));
    EXPECT_EQ(rects[0].Pen.Color(), clGray);
    EXPECT_EQ(rects[0].Brush.Color(), clNone);
    EXPECT_EQ(Draws(f.canvas).at(0).rect, TRect(3, 4, 51, 22));
    EXPECT_EQ(f.r.YSize, 22);

    // Without WIDTH the tag has no effect.
    f.Draw(QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e\">x"));
    EXPECT_EQ(f.r.XSize, 8);
    EXPECT_TRUE(f.canvas.CallsOf(QStringLiteral("Rectangle")).isEmpty());

    // A pressed button under the mouse.
    f.o.XPos = 20;
    f.o.YPos = 10;
    f.o.Down = true;
    f.Draw(QStringLiteral("<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Go\" WIDTH=\"40\">"));
    frames = f.canvas.CallsOf(QStringLiteral("DrawFrameControl"));
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].Rect, TRect(3, 4, 39, 24));
    EXPECT_EQ(frames[0].Flags >> 16, 0x210u);
    EXPECT_EQ(f.r.YSize, 24);
    SetThemesActive(true);
}

TEST(HTMLHits, ThemedControlsUseTheButtonClass)
{
    SetThemesActive(true);
    Fixture f;
    f.o.XPos = 10;
    f.o.YPos = 10;
    f.Draw(QStringLiteral("<CONTROL TYPE=\"RADIO\" ID=\"r\" VALUE=\"TRUE\" WIDTH=\"1\">"));
    const auto parts = f.canvas.CallsOf(QStringLiteral("ThemePart"));
    ASSERT_EQ(parts.size(), 1);
    EXPECT_EQ(parts[0].Text.toLower(), QStringLiteral("button"));
    EXPECT_EQ(parts[0].Part, 2);
    EXPECT_EQ(parts[0].State, 6); // checked and hot
    EXPECT_EQ(parts[0].Rect, TRect(3, 2, 15, 16));

    // The button caption's renderer knows no CONTROL tag.
    f.o.Controls = false;
    f.Draw(QStringLiteral("a<CONTROL TYPE=\"RADIO\" ID=\"r\" VALUE=\"TRUE\" WIDTH=\"1\">b"));
    EXPECT_TRUE(f.canvas.CallsOf(QStringLiteral("ThemePart")).isEmpty());
    EXPECT_EQ(f.r.XSize, 16);
    EXPECT_NE(f.r.AnchorVal, QStringLiteral("ctrl"));
}

TEST(HTMLHits, VisualStylesNeedVersionFiveOne)
{
    SetThemesActive(true);
    const QString text = QStringLiteral("<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"TRUE\" WIDTH=\"1\">");
    Fixture f;
    SetWin32Version(5, 0);
    EXPECT_FALSE(IsWinXPOrLater());
    f.Draw(text);
    EXPECT_TRUE(f.canvas.CallsOf(QStringLiteral("ThemePart")).isEmpty());
    EXPECT_EQ(f.canvas.CallsOf(QStringLiteral("DrawFrameControl")).size(), 1);
    SetWin32Version(6, 0);
    EXPECT_TRUE(IsWinXPOrLater());
    f.Draw(text);
    EXPECT_EQ(f.canvas.CallsOf(QStringLiteral("ThemePart")).size(), 1);
    SetWin32Version(5, 1);
    EXPECT_TRUE(IsWinXPOrLater());
}

TEST(HTMLBackgrounds, BodyAndParagraphColours)
{
    Fixture f;
    f.Draw(QStringLiteral("<BODY BGCOLOR=\"clSilver\">a<P BGCOLOR=\"clAqua\">b<BR>c</P>d"), TRect(0, 0, 100, 60));
    const auto rects = f.canvas.CallsOf(QStringLiteral("Rectangle"));
    ASSERT_EQ(rects.size(), 3);
    EXPECT_EQ(rects[0].Rect, TRect(0, 0, 100, 60));
    EXPECT_EQ(rects[0].Brush.Color(), clSilver);
    EXPECT_EQ(rects[1].Rect, TRect(0, 0, 100, 16));
    EXPECT_EQ(rects[1].Brush.Color(), clAqua);
    // Every further line of the paragraph has its band filled first.
    EXPECT_EQ(rects[2].Rect, TRect(0, 16, 100, 32));
    EXPECT_EQ(rects[2].Brush.Color(), clAqua);
    const auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 4);
    EXPECT_EQ(d[0].brush, clSilver);
    EXPECT_EQ(d[1].brush, clAqua);
    EXPECT_EQ(d[2].brush, clAqua);
    EXPECT_EQ(d[3].brush, clSilver);
    EXPECT_EQ(d[3].rect.Top, 32);
    EXPECT_EQ(f.canvas.Brush().Color(), clWhite);
}

TEST(HTMLMendedFaults, FontSizeBelowOneIgnoredAndHugeClamped)
{
    Fixture f;
    f.Draw(QStringLiteral("<FONT SIZE=\"0\">a</FONT><FONT SIZE=\"-7\">b</FONT><FONT SIZE=\"x\">c</FONT>"));
    for (const auto& d : Draws(f.canvas)) EXPECT_EQ(d.font.Size(), 8);
    f.o.CheckHeight = true;
    f.Draw(QStringLiteral("<FONT SIZE=\"99999999\">a</FONT>"));
    EXPECT_EQ(f.r.YSize, 2000);
    EXPECT_EQ(f.r.XSize, 1000);
}

TEST(HTMLMendedFaults, UnmatchedRotationEndIsIgnored)
{
    Fixture f;
    f.Draw(QStringLiteral("</R>a<R a=\"90\">b<R a=\"45\">c</R>d</R>e</R>f"));
    const auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 6);
    EXPECT_EQ(d[0].font.Orientation(), 0);
    EXPECT_EQ(d[1].font.Orientation(), 900);
    EXPECT_EQ(d[2].font.Orientation(), 450);
    EXPECT_EQ(d[3].font.Orientation(), 900);
    EXPECT_EQ(d[4].font.Orientation(), 0);
    EXPECT_EQ(d[5].font.Orientation(), 0);
    EXPECT_EQ(f.canvas.Font().Orientation(), 0);
}

TEST(HTMLMendedFaults, StripTextGetsEveryPieceOnce)
{
    Fixture f;
    f.o.CheckHotSpot = true; // two measuring passes per line
    f.Draw(QStringLiteral("one two<BR>three <B>four</B>"), TRect(0, 0, 50, 100));
    EXPECT_EQ(f.r.StripVal, QStringLiteral("one two\rthree four"));
    f.o.CheckHotSpot = false;
    f.Draw(QStringLiteral("one two<BR>three <B>four</B>"), TRect(0, 0, 50, 100));
    EXPECT_EQ(f.r.StripVal, QStringLiteral("one two\rthree four"));
}

TEST(HTMLMendedFaults, PlaceholderWithoutEndLosesOnlyItsBracket)
{
    Fixture f;
    f.Draw(QStringLiteral("a<#name"));
    EXPECT_EQ(f.canvas.Runs(), QStringList{QStringLiteral("a#name")});
    f.Draw(QStringLiteral("<#field>: x"));
    EXPECT_EQ(f.canvas.Runs().join(QString()), QStringLiteral("#field: x"));
}

TEST(HTMLMendedFaults, ControlClickReportsCtrl)
{
    // The result stays "ctrl" (callers that follow links must skip it).
    SetThemesActive(false);
    Fixture f;
    f.o.CheckHotSpot = true;
    f.o.XPos = 10;
    f.o.YPos = 10;
    EXPECT_TRUE(f.Draw(QStringLiteral("<CONTROL TYPE=\"BUTTON\" ID=\"go\" VALUE=\"Go\" WIDTH=\"40\">")));
    EXPECT_EQ(f.r.AnchorVal, QStringLiteral("ctrl"));
    EXPECT_EQ(f.r.CT, QStringLiteral("BUTTON"));
    SetThemesActive(true);
}

TEST(HTMLMendedFaults, AWordAfterATagWrapsByTheLinesVisibleText)
{
    Fixture f;
    // Working width 89: "Price: " (56) and "$100,000" (64) do not fit as one.
    f.Draw(QStringLiteral("Price: <B>$100,000</B>"), TRect(0, 0, 90, 100));
    auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0].text, QStringLiteral("Price: "));
    EXPECT_EQ(d[1].text, QStringLiteral("$100,000"));
    EXPECT_EQ(d[1].rect, TRect(1, 16, 90, 32));
    EXPECT_TRUE(d[1].font.Style().Contains(TFontStyle::fsBold));
    EXPECT_EQ(f.r.YSize, 32);

    // A word split by tags after a space still stays whole.
    f.Draw(QStringLiteral("xx ab<B>cd</B>"), TRect(0, 0, 49, 100));
    d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[1].rect.Top, 0);
    EXPECT_EQ(d[1].rect.Left, 41);
    EXPECT_EQ(f.r.YSize, 16);

    // Without word wrap the piece stays and the rest of the text is dropped.
    f.o.WordWrap = false;
    f.Draw(QStringLiteral("Price: <B>$100,000</B> more<BR>next"), TRect(0, 0, 90, 100));
    QStringList texts;
    for (const auto& x : Draws(f.canvas)) texts << x.text;
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Price: "), QStringLiteral("$100,000")}));
    EXPECT_EQ(f.r.YSize, 16);
}

TEST(HTMLMendedFaults, CheckAndRadioAreSixteenSquareWhateverTheirWidth)
{
    SetThemesActive(false);
    Fixture f;
    for (const char* type : {"CHECK", "RADIO"}) {
        f.Draw(QStringLiteral("<CONTROL TYPE=\"%1\" ID=\"c\" VALUE=\"true\" WIDTH=\"0\">x").arg(QLatin1String(type)));
        EXPECT_EQ(f.canvas.CallsOf(QStringLiteral("DrawFrameControl")).size(), 1) << type;
        EXPECT_EQ(f.r.XSize, 16 + 8) << type;
    }
    // Other controls of width 0, and a width that is no number, take no room.
    f.Draw(QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e\" WIDTH=\"0\">x"));
    EXPECT_EQ(f.r.XSize, 8);
    f.Draw(QStringLiteral("<CONTROL TYPE=\"CHECK\" ID=\"c\" WIDTH=\"wide\">x"));
    EXPECT_EQ(f.r.XSize, 8);
    SetThemesActive(true);
}

TEST(HTMLMendedFaults, AStrayAnchorEndEndsUnderlineAndColour)
{
    Fixture f;
    f.Draw(QStringLiteral("<U><FONT COLOR=\"clred\">ab</A>cd"));
    const auto d = Draws(f.canvas);
    ASSERT_EQ(d.size(), 2);
    EXPECT_TRUE(d[0].font.Style().Contains(TFontStyle::fsUnderline));
    EXPECT_EQ(d[0].font.Color(), clRed);
    EXPECT_FALSE(d[1].font.Style().Contains(TFontStyle::fsUnderline));
    EXPECT_EQ(d[1].font.Color(), clBlack);
    EXPECT_EQ(f.r.HyperLinks, 0);
    EXPECT_EQ(f.r.MouseLink, -1);
}

TEST(HTMLClassicArguments, SameResultsAsTheOptions)
{
    TRecordingCanvas canvas;
    QString anchor, strip, focus, cid, cv, ct;
    int xs = -5, ys = -5, links = -5, mouse = -5;
    TRect hover(1, 1, 1, 1), control(1, 1, 1, 1);
    const bool hit =
        HTMLDrawEx(&canvas, QStringLiteral("<A HREF=\"u\">link</A><BR>x"), TRect(0, 0, 100, 100), nullptr, 10, 5, 0, -1,
                   1, true, false, false, false, true, false, true, false, 1.0, clBlue, clNone, clNone, clGray, anchor,
                   strip, focus, xs, ys, links, mouse, hover, control, cid, cv, ct, nullptr, nullptr, nullptr);
    EXPECT_TRUE(hit);
    EXPECT_EQ(anchor, QStringLiteral("u"));
    EXPECT_EQ(strip, QStringLiteral("link\rx"));
    EXPECT_EQ(xs, 32);
    EXPECT_EQ(ys, 32);
    EXPECT_EQ(links, 1);
    EXPECT_EQ(mouse, 1);
    EXPECT_EQ(hover, TRect(1, 0, 33, 16));
    EXPECT_EQ(control, TRect());
}

} // namespace

namespace {

TEST(HTMLRobustness, RandomTextsNeverRaiseAndStayInRange)
{
    static const char* const parts[] = {"<",
                                        ">",
                                        "</",
                                        "<B>",
                                        "</B>",
                                        "<A HREF=\"x\">",
                                        "</A>",
                                        "<FONT SIZE=\"",
                                        "\">",
                                        "<FONT COLOR=\"#ZZ\">",
                                        "</FONT>",
                                        "<UL>",
                                        "</UL>",
                                        "<LI>",
                                        "<SUB>",
                                        "</SUP>",
                                        "<R a=\"90\">",
                                        "</R>",
                                        "<Z>",
                                        "</Z>",
                                        "<BR>",
                                        "<HR>",
                                        "<P ALIGN=\"RIGHT\" INDENT=\"-50\">",
                                        "</P>",
                                        "<IMG SRC=\"IDX:3\" WIDTH=\"99999\" HEIGHT=\"-1\">",
                                        "<CONTROL TYPE=\"EDIT\" WIDTH=\"",
                                        "<CONTROL TYPE=\"CHECK\" ID=\"a\" VALUE=\"TRUE\" WIDTH=\"16\">",
                                        "<IND x=\"",
                                        "<BODY BGCOLOR=\"clred\">",
                                        "<SH>",
                                        "<E>",
                                        "</E>",
                                        "<#",
                                        "&amp;",
                                        "&lt;",
                                        "&nbsp;",
                                        "&",
                                        "word ",
                                        "  ",
                                        "\t",
                                        "\r\n",
                                        "x",
                                        "\"",
                                        "=",
                                        "1000000000",
                                        "-5",
                                        "<BLINK>",
                                        "</BLINK>",
                                        "<HI>",
                                        "</HI>"};
    QRandomGenerator rnd(5);
    TRecordingCanvas canvas;
    for (int n = 0; n < 1500; ++n) {
        QString text;
        const int count = int(rnd.bounded(20));
        for (int i = 0; i < count; ++i) text += QString::fromLatin1(parts[rnd.bounded(int(std::size(parts)))]);
        THTMLDrawOptions o;
        o.WordWrap = rnd.bounded(2) == 0;
        o.CheckHotSpot = rnd.bounded(2) == 0;
        o.CheckHeight = rnd.bounded(4) == 0;
        o.XPos = int(rnd.bounded(120));
        o.YPos = int(rnd.bounded(60));
        o.FocusLink = int(rnd.bounded(3)) - 1;
        o.Controls = rnd.bounded(2) == 0;
        THTMLDrawResults r;
        canvas.Clear();
        HTMLDraw(canvas, text, TRect(0, 0, int(rnd.bounded(150)), int(rnd.bounded(80))), o, r);
        ASSERT_GE(r.YSize, 0) << text.toStdString();
        ASSERT_GE(r.XSize, 0) << text.toStdString();
        ASSERT_LE(r.XSize, 10 * 32767) << text.toStdString();
        ASSERT_EQ(canvas.Font().Orientation(), 0);
        ASSERT_EQ(canvas.Font().Size(), 8);
    }
}

} // namespace
