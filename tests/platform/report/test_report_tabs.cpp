// Tab stops: justification, chaining, borders and shades.

#include "tests/platform/report/ReportFixture.h"

#include <climits>
#include <gtest/gtest.h>

TEST(ReportTabs, EachJustificationPlacesItsText)
{
    double wLeft = 0, wRight = 0, wCentre = 0;
    const QStringList lines = DumpReport([&](TBaseReport& r) {
        r.SetFont(QStringLiteral("Arial"), 10);
        r.GotoXY(0, 2);
        r.SetTab(1.0, TTabJustify::tjLeft, 2.0, 10, {}, 0);
        r.SetTab(tabAfterPrevious, TTabJustify::tjRight, 2.0, 10, {}, 0);
        r.SetTab(tabAfterPrevious, TTabJustify::tjCenter, 2.0, 10, {}, 0);
        r.SetTab(tabAfterPrevious, TTabJustify::tjBlock, 2.0, 10, {}, 0);
        wLeft = r.TextWidth(QStringLiteral("left"));
        wRight = r.TextWidth(QStringLiteral("right"));
        wCentre = r.TextWidth(QStringLiteral("centre"));
        r.PrintTab(QStringLiteral("left"));
        r.PrintTab(QStringLiteral("right"));
        r.PrintTab(QStringLiteral("centre"));
        r.PrintTab(QStringLiteral("one two three"));
        EXPECT_DOUBLE_EQ(r.XPos(), 9.0);
    });
    EXPECT_NEAR(FindText(lines, QStringLiteral("left")).X, 1.1, 1e-4);
    EXPECT_NEAR(FindText(lines, QStringLiteral("right")).X, 5.0 - 0.1 - wRight, 1e-4);
    EXPECT_NEAR(FindText(lines, QStringLiteral("centre")).X, 6.0 - wCentre / 2, 1e-4);
    // Block: the words spread from the left to the right of the cell.
    EXPECT_NEAR(FindText(lines, QStringLiteral("one")).X, 7.1, 1e-4);
    const DumpedText three = FindText(lines, QStringLiteral("three"));
    ASSERT_TRUE(three.Found);
    EXPECT_GT(three.X, 8.2);
    (void)wLeft;
}

TEST(ReportTabs, ChainedStopsAndTheRowStartOnEveryLine)
{
    const QStringList lines = DumpReport([&](TBaseReport& r) {
        r.SetTab(0.75, TTabJustify::tjLeft, 0.8, 0, {}, 0);
        r.SetTab(tabAfterPrevious, TTabJustify::tjLeft, 1.0, 0, {}, 0);
        r.SetTab(tabAfterPrevious, TTabJustify::tjLeft, 1.25, 0, {}, 0);
        r.SetTab(-32768, TTabJustify::tjLeft, 1.75, 0, {}, 0);
        r.GotoXY(0, 2);
        for (const char* t : {"a", "b", "c", "d"}) r.PrintTab(QString::fromLatin1(t));
        r.NewLine();
        r.PrintTab(QStringLiteral("e")); // back at the first stop
        r.ClearTabs();
        r.SetTab(-32768, TTabJustify::tjLeft, 1, 0, {}, 0); // no previous stop: the margin
        r.PrintTab(QStringLiteral("f"));
    });
    EXPECT_NEAR(FindText(lines, QStringLiteral("a")).X, 0.75, 1e-9);
    EXPECT_NEAR(FindText(lines, QStringLiteral("b")).X, 1.55, 1e-9);
    EXPECT_NEAR(FindText(lines, QStringLiteral("c")).X, 2.55, 1e-9);
    EXPECT_NEAR(FindText(lines, QStringLiteral("d")).X, 3.8, 1e-9);
    EXPECT_NEAR(FindText(lines, QStringLiteral("e")).X, 0.75, 1e-9);
    EXPECT_NEAR(FindText(lines, QStringLiteral("f")).X, 0.5, 1e-9);
}

TEST(ReportTabs, BorderBitsDrawTheirLines)
{
    const auto borders = [](int bits) {
        const QStringList lines = DumpReport([&](TBaseReport& r) {
            r.SetLineHeight(0.25);
            r.GotoXY(0, 2);
            r.SetTab(1, TTabJustify::tjLeft, 2, 0, TTabLines::FromBits(bits), 0);
            r.PrintTab(QStringLiteral("x"));
        });
        return Only(lines, QStringLiteral("line"));
    };
    EXPECT_EQ(borders(0), QStringList());
    EXPECT_EQ(borders(1), QStringList({"line 1 1.75 1 2"}));
    EXPECT_EQ(borders(2), QStringList({"line 3 1.75 3 2"}));
    EXPECT_EQ(borders(4), QStringList({"line 1 1.75 3 1.75"}));
    EXPECT_EQ(borders(8), QStringList({"line 1 2 3 2"}));
    EXPECT_EQ(borders(13), QStringList({"line 1 1.75 1 2", "line 1 1.75 3 1.75", "line 1 2 3 2"}));
    EXPECT_EQ(borders(15).size(), 4);
    EXPECT_EQ(borders(16 + 2), QStringList({"line 3 1.75 3 2"})); // bits past the four ignored
}

TEST(ReportTabs, ShadesFillTheCellInGrey)
{
    int clampedHigh = -1, clampedLow = -1, clampedMax = -1, clampedMin = -1;
    const QStringList lines = DumpReport([&](TBaseReport& r) {
        r.SetLineHeight(0.25);
        r.GotoXY(0, 2);
        r.SetTab(1, TTabJustify::tjLeft, 1, 0, {}, 0);
        r.SetTab(tabAfterPrevious, TTabJustify::tjLeft, 1, 0, {}, 50); // its own shade
        r.SetTab(tabAfterPrevious, TTabJustify::tjLeft, 1, 0, {}, 0);
        r.SetTabShade(10);
        r.PrintTab(QStringLiteral("a"));
        r.SetTabShade(0);
        r.PrintTab(QStringLiteral("b"));
        r.PrintTab(QStringLiteral("c"));
        r.NewLine();
        r.SetTabShade(100);
        r.PrintTab(QStringLiteral("d"));
        // Out of range (as a settings file may hold): clamped, never
        // stopping the report.
        r.SetTabShade(250);
        clampedHigh = r.TabShade();
        r.SetTabShade(-7);
        clampedLow = r.TabShade();
        r.SetTabShade(INT_MAX);
        clampedMax = r.TabShade();
        r.SetTabShade(INT_MIN);
        clampedMin = r.TabShade();
        r.SetTab(tabAfterPrevious, TTabJustify::tjLeft, 1, 0, {}, INT_MAX);
        r.NewLine();
        r.PrintTab(QString());
        r.PrintTab(QString());
        r.PrintTab(QString());
        r.PrintTab(QString()); // the fourth stop, shade INT_MAX as 100
    });
    EXPECT_EQ(clampedHigh, 100);
    EXPECT_EQ(clampedLow, 0);
    EXPECT_EQ(clampedMax, 100);
    EXPECT_EQ(clampedMin, 0);
    EXPECT_EQ(Only(lines, QStringLiteral("fill")),
              QStringList({"fill 1 1.75 2 2 $E6E6E6", "fill 2 1.75 3 2 $808080", "fill 1 2 2 2.25 $000000",
                           "fill 2 2.25 3 2.5 $808080", "fill 4 2.25 5 2.5 $000000"}));
}

TEST(ReportTabs, PrintSplitsAtTabsAndTextPastTheLastStopFollowsOn)
{
    const QStringList lines = DumpReport([&](TBaseReport& r) {
        r.SetFont(QStringLiteral("Arial"), 10);
        r.SetTab(2, TTabJustify::tjLeft, 1, 0, {}, 0);
        r.SetTab(tabAfterPrevious, TTabJustify::tjRight, 1, 0, {}, 0);
        r.GotoXY(1, 2);
        r.Print(QStringLiteral("lead\tfirst\tsecond\tthird"));
    });
    EXPECT_NEAR(FindText(lines, QStringLiteral("lead")).X, 1, 1e-9);
    EXPECT_NEAR(FindText(lines, QStringLiteral("first")).X, 2, 1e-9);
    EXPECT_LT(FindText(lines, QStringLiteral("second")).X, 4);
    EXPECT_NEAR(FindText(lines, QStringLiteral("third")).X, 4, 1e-9);
}
