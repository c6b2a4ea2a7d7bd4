// DrawText's layout rules, checked to the pixel on the recording canvas
// (every character 8 pixels wide, lines 16 high, ascent 13).

#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

struct Run {
    QString text;
    TPoint at;
};

QVector<Run> Runs(const TRecordingCanvas& c)
{
    QVector<Run> out;
    for (const auto& call : c.Calls())
        if (call.Op == QLatin1String("TextRun")) out.push_back({call.Text, call.From});
    return out;
}

} // namespace

TEST(DrawTextLayout, SingleLineAlignment)
{
    TRecordingCanvas c;
    const unsigned base = Win::DT_SINGLELINE | Win::DT_NOPREFIX;
    TRect r(10, 20, 110, 60); // 100 x 40
    c.DrawText(QStringLiteral("abcd"), r, base);
    c.DrawText(QStringLiteral("abcd"), r, base | Win::DT_CENTER | Win::DT_VCENTER);
    c.DrawText(QStringLiteral("abcd"), r, base | Win::DT_RIGHT | Win::DT_BOTTOM);
    const auto runs = Runs(c);
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].at, TPoint(10, 20));
    EXPECT_EQ(runs[1].at, TPoint(10 + (100 - 32) / 2, 20 + (40 - 16) / 2));
    EXPECT_EQ(runs[2].at, TPoint(110 - 32, 60 - 16));
    EXPECT_EQ(r, TRect(10, 20, 110, 60)); // unchanged without DT_CALCRECT
}

TEST(DrawTextLayout, ReturnValueIsHeightOrOffsetToBottom)
{
    TRecordingCanvas c;
    TRect r(0, 10, 100, 50);
    EXPECT_EQ(c.DrawText(QStringLiteral("x"), r, Win::DT_SINGLELINE), 16);
    EXPECT_EQ(c.DrawText(QStringLiteral("x"), r, Win::DT_SINGLELINE | Win::DT_BOTTOM), 40);
    EXPECT_EQ(c.DrawText(QStringLiteral("x"), r, Win::DT_SINGLELINE | Win::DT_VCENTER), 12 + 16);
    EXPECT_EQ(c.DrawText(QStringLiteral("a\nb"), r, 0), 32);
}

TEST(DrawTextLayout, CalcRectMeasuresWithoutDrawing)
{
    TRecordingCanvas c;
    TRect r(5, 5, 10, 10);
    EXPECT_EQ(c.DrawText(QStringLiteral("abc"), r, Win::DT_CALCRECT | Win::DT_SINGLELINE), 16);
    EXPECT_EQ(r, TRect(5, 5, 29, 21));
    EXPECT_TRUE(c.Runs().isEmpty());
    TRect m(0, 0, 100, 100);
    c.DrawText(QStringLiteral("a\r\nbb\rccc"), m, Win::DT_CALCRECT);
    EXPECT_EQ(m, TRect(0, 0, 24, 48));
    // Ellipsis does not shorten a measurement.
    TRect e(0, 0, 16, 16);
    c.DrawText(QStringLiteral("abcdef"), e, Win::DT_CALCRECT | Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS);
    EXPECT_EQ(e.Right, 48);
}

TEST(DrawTextLayout, ExternalLeadingOnlyWithItsFlag)
{
    TRecordingCanvas c;
    c.SetExternalLeading(3);
    TRect r(0, 0, 100, 100);
    c.DrawText(QStringLiteral("ab"), r, Win::DT_CALCRECT | Win::DT_SINGLELINE);
    EXPECT_EQ(r.Bottom, 16);
    r = TRect(0, 0, 100, 100);
    c.DrawText(QStringLiteral("ab"), r, Win::DT_CALCRECT | Win::DT_SINGLELINE | Win::DT_EXTERNALLEADING);
    EXPECT_EQ(r.Bottom, 19);
    c.Clear();
    TRect b(0, 0, 100, 50);
    c.DrawText(QStringLiteral("ab"), b, Win::DT_SINGLELINE | Win::DT_BOTTOM | Win::DT_EXTERNALLEADING);
    EXPECT_EQ(Runs(c)[0].at.Y, 50 - 19);
}

TEST(DrawTextLayout, EndEllipsisCutsWhatDoesNotFit)
{
    TRecordingCanvas c;
    TRect r(0, 0, 48, 16);
    c.DrawText(QStringLiteral("abcdefghij"), r, Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS);
    TRect r2(0, 0, 47, 16);
    c.DrawText(QStringLiteral("abcdefghij"), r2, Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS);
    TRect r3(0, 0, 80, 16);
    c.DrawText(QStringLiteral("abcdefghij"), r3, Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS);
    TRect r4(0, 0, 10, 16);
    c.DrawText(QStringLiteral("abcdefghij"), r4, Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS);
    EXPECT_EQ(c.Runs(),
              (QStringList{QStringLiteral("abc..."), QStringLiteral("ab..."), QStringLiteral("abcdefghij"),
                           QStringLiteral("...")}));
    // The shortened text is still right-aligned by its new width.
    c.Clear();
    TRect r5(0, 0, 48, 16);
    c.DrawText(QStringLiteral("abcdefghij"), r5, Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS | Win::DT_RIGHT);
    EXPECT_EQ(Runs(c)[0].at.X, 0);
}

TEST(DrawTextLayout, AmpersandPrefixes)
{
    TRecordingCanvas c;
    TRect r(0, 0, 200, 20);
    c.DrawText(QStringLiteral("&File"), r, Win::DT_SINGLELINE);
    c.DrawText(QStringLiteral("a&&b"), r, Win::DT_SINGLELINE);
    c.DrawText(QStringLiteral("&File"), r, Win::DT_SINGLELINE | Win::DT_NOPREFIX);
    c.DrawText(QStringLiteral("ab&"), r, Win::DT_SINGLELINE);
    EXPECT_EQ(
        c.Runs(),
        (QStringList{QStringLiteral("File"), QStringLiteral("a&b"), QStringLiteral("&File"), QStringLiteral("ab")}));
    // One underline, under the y: one character wide, below the base line.
    c.Clear();
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.DrawText(QStringLiteral("x&yz"), r, Win::DT_SINGLELINE);
    const auto solids = c.CallsOf(QStringLiteral("Solid"));
    ASSERT_EQ(solids.size(), 1);
    EXPECT_EQ(solids[0].Rect, TRect(8, 14, 16, 15));
    c.Clear();
    c.DrawText(QStringLiteral("x&yz"), r, Win::DT_SINGLELINE | Win::DT_HIDEPREFIX);
    EXPECT_TRUE(c.CallsOf(QStringLiteral("Solid")).isEmpty());
    EXPECT_EQ(c.Runs(), QStringList{QStringLiteral("xyz")});
}

TEST(DrawTextLayout, TabsExpandToEightAverageCharacters)
{
    TRecordingCanvas c;
    TRect r(10, 0, 300, 20);
    c.DrawText(QStringLiteral("a\tb\tc"), r, Win::DT_SINGLELINE | Win::DT_EXPANDTABS);
    const auto runs = Runs(c);
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].at.X, 10);
    EXPECT_EQ(runs[1].at.X, 10 + 64);
    EXPECT_EQ(runs[2].at.X, 10 + 128);
    TRect m(0, 0, 300, 20);
    c.DrawText(QStringLiteral("abcdefghi\tb"), m, Win::DT_SINGLELINE | Win::DT_EXPANDTABS | Win::DT_CALCRECT);
    EXPECT_EQ(m.Right, 128 + 8);
    c.Clear();
    c.DrawText(QStringLiteral("a\tb"), r, Win::DT_SINGLELINE);
    EXPECT_EQ(c.Runs(), QStringList{QStringLiteral("a\tb")});
}

TEST(DrawTextLayout, WordBreakAtSpaces)
{
    TRecordingCanvas c;
    TRect r(0, 0, 64, 100);
    c.DrawText(QStringLiteral("aaa bbb ccc"), r, Win::DT_WORDBREAK);
    auto runs = Runs(c);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].text, QStringLiteral("aaa bbb"));
    EXPECT_EQ(runs[1].text, QStringLiteral("ccc"));
    EXPECT_EQ(runs[1].at, TPoint(0, 16));
    // A word wider than the rectangle stays whole, unless DT_EDITCONTROL.
    c.Clear();
    TRect n(0, 0, 32, 100);
    c.DrawText(QStringLiteral("abcdefgh ij"), n, Win::DT_WORDBREAK);
    EXPECT_EQ(c.Runs(), (QStringList{QStringLiteral("abcdefgh"), QStringLiteral("ij")}));
    c.Clear();
    c.DrawText(QStringLiteral("abcdefgh ij"), n, Win::DT_WORDBREAK | Win::DT_EDITCONTROL);
    EXPECT_EQ(c.Runs(), (QStringList{QStringLiteral("abcd"), QStringLiteral("efgh"), QStringLiteral("ij")}));
    // Measuring: the widest line and every line's height.
    TRect m(0, 0, 64, 0);
    EXPECT_EQ(c.DrawText(QStringLiteral("aaa bbb ccc"), m, Win::DT_WORDBREAK | Win::DT_CALCRECT), 32);
    EXPECT_EQ(m, TRect(0, 0, 56, 32));
    // Centred lines are centred one by one.
    c.Clear();
    c.DrawText(QStringLiteral("aaa bbb ccc"), r, Win::DT_WORDBREAK | Win::DT_CENTER);
    runs = Runs(c);
    EXPECT_EQ(runs[0].at.X, (64 - 56) / 2);
    EXPECT_EQ(runs[1].at.X, (64 - 24) / 2);
}

TEST(DrawTextLayout, SingleLineIgnoresLineBreaks)
{
    TRecordingCanvas c;
    TRect r(0, 0, 200, 20);
    c.DrawText(QStringLiteral("ab\r\ncd"), r, Win::DT_SINGLELINE);
    EXPECT_EQ(c.Runs(), QStringList{QStringLiteral("abcd")});
    c.Clear();
    TRect tall(0, 0, 200, 100);
    c.DrawText(QStringLiteral("ab\r\ncd\n\nef"), tall, 0);
    const auto runs = Runs(c);
    ASSERT_EQ(runs.size(), 3); // the empty line draws nothing
    EXPECT_EQ(runs[2].at.Y, 48);
}

TEST(DrawTextLayout, ClippedOnlyWhenTheTextLeavesTheRectangle)
{
    TRecordingCanvas c;
    TRect fits(0, 0, 100, 20);
    c.DrawText(QStringLiteral("abc"), fits, Win::DT_SINGLELINE);
    TRect small(0, 0, 16, 20);
    c.DrawText(QStringLiteral("abc"), small, Win::DT_SINGLELINE);
    c.DrawText(QStringLiteral("abc"), small, Win::DT_SINGLELINE | Win::DT_NOCLIP);
    const auto runs = c.CallsOf(QStringLiteral("TextRun"));
    ASSERT_EQ(runs.size(), 3);
    EXPECT_FALSE(runs[0].Clipped);
    EXPECT_TRUE(runs[1].Clipped);
    EXPECT_EQ(runs[1].Rect2, small);
    EXPECT_FALSE(runs[2].Clipped);
    // Lines below the rectangle are not drawn at all.
    c.Clear();
    TRect low(0, 0, 100, 20);
    c.DrawText(QStringLiteral("a\nb\nc"), low, 0);
    EXPECT_EQ(c.Runs(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    c.Clear();
    c.DrawText(QStringLiteral("a\nb\nc"), low, Win::DT_EDITCONTROL);
    EXPECT_EQ(c.Runs(), QStringList{QStringLiteral("a")});
}

TEST(DrawTextLayout, OpaqueBackgroundFollowsTheBrush)
{
    TRecordingCanvas c;
    TRect r(0, 0, 100, 40);
    c.Brush().SetColor(clYellow);
    c.DrawText(QStringLiteral("ab"), r, Win::DT_SINGLELINE | Win::DT_VCENTER);
    auto solids = c.CallsOf(QStringLiteral("Solid"));
    ASSERT_EQ(solids.size(), 1);
    EXPECT_EQ(solids[0].Rect, TRect(0, 12, 16, 28));
    EXPECT_EQ(solids[0].Color, clYellow);
    c.Clear();
    c.SetBkMode(Win::TRANSPARENT);
    c.DrawText(QStringLiteral("ab"), r, Win::DT_SINGLELINE);
    EXPECT_TRUE(c.CallsOf(QStringLiteral("Solid")).isEmpty());
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Brush().SetColor(clRed); // solid again: opaque again
    c.DrawText(QStringLiteral("ab"), r, Win::DT_SINGLELINE);
    EXPECT_EQ(c.CallsOf(QStringLiteral("Solid")).size(), 1);
}

TEST(DrawTextLayout, MetricsFollowTheFontSizeAndResolution)
{
    TRecordingCanvas c;
    EXPECT_EQ(c.TextWidth(QStringLiteral("abc")), 24);
    EXPECT_EQ(c.TextHeight(QStringLiteral("gh")), 16);
    const TTextMetric tm = c.TextMetrics();
    EXPECT_EQ(tm.tmAscent, 13);
    EXPECT_EQ(tm.tmDescent, 3);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
    c.Font().SetSize(12);
    EXPECT_EQ(c.TextWidth(QStringLiteral("abc")), 36);
    EXPECT_EQ(c.TextHeight(QStringLiteral("gh")), 24);
    TRecordingCanvas print(192);
    EXPECT_EQ(print.TextWidth(QStringLiteral("abc")), 48);
    int width = 0;
    EXPECT_EQ(c.TextFit(QStringLiteral("abcdef"), 40, &width), 3);
    EXPECT_EQ(width, 36);
    EXPECT_EQ(c.TextFit(QStringLiteral("abc"), 5), 0);
}

TEST(DrawTextLayout, RecordsCallsWithTheirState)
{
    TRecordingCanvas c;
    c.Pen().SetColor(clRed);
    c.MoveTo(1, 2);
    c.LineTo(5, 2);
    c.Brush().SetColor(clBlue);
    c.Rectangle(TRect(0, 0, 4, 4));
    TRect e(0, 0, 10, 10);
    c.DrawEdge(e, Win::EDGE_RAISED, Win::BF_RECT | Win::BF_ADJUST);
    EXPECT_EQ(e, TRect(2, 2, 8, 8));
    const auto lines = c.CallsOf(QStringLiteral("LineTo"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].From, TPoint(1, 2));
    EXPECT_EQ(lines[0].To, TPoint(5, 2));
    EXPECT_EQ(lines[0].Pen.Color(), clRed);
    const auto rects = c.CallsOf(QStringLiteral("Rectangle"));
    ASSERT_EQ(rects.size(), 1);
    EXPECT_EQ(rects[0].Brush.Color(), clBlue);
    const auto edges = c.CallsOf(QStringLiteral("DrawEdge"));
    ASSERT_EQ(edges.size(), 1);
    EXPECT_EQ(edges[0].Flags & 0xFFFF, unsigned(Win::EDGE_RAISED));
    c.DrawFocusRect(TRect(0, 0, 4, 4));
    EXPECT_EQ(c.CallsOf(QStringLiteral("XorPattern")).size(), 4);
}
