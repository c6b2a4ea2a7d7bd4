// The floating footer's calculations, template and panel, and the HTML hint
// window.
#include "grid/TExtStringGrid.h"
#include "grid/TFooterPanel.h"
#include "grid/THTMLHintWindow.h"
#include "grid/cells/TCellProperties.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/RecordingCanvas.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

class FooterTest : public ::testing::Test {
protected:
    ScopedRegionalSettings settings{TFormatSettings{}};
    TExtStringGrid g{nullptr, QStringLiteral("Grid")};
    void SetUp() override
    {
        g.SetColCount(4);
        g.SetRowCount(5); // header, three data rows, footer
        g.SetFloatingFooterVisible(true);
    }
    void Calc(int col, unsigned char kind) { g.GetCellProperties(col, g.RowCount() - 1)->FooterCalc = kind; }
};

TEST_F(FooterTest, CalculationsOverTheDataRows)
{
    EXPECT_EQ(g.FixedFooters(), 1);
    for (int r = 1; r <= 3; ++r) g.SetCells(1, r, QStringList({"1", "2", ""})[r - 1]);
    g.SetCells(2, 1, QStringLiteral("4"));
    g.SetCells(2, 2, QStringLiteral("n/a")); // not a number: 0
    g.SetCells(2, 3, QStringLiteral("-2"));
    Calc(1, 2);
    Calc(2, 1);
    Calc(3, 3);
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("1.00"));
    EXPECT_EQ(g.Cells(2, 4), QStringLiteral("2.00"));
    EXPECT_EQ(g.Cells(3, 4), QStringLiteral("3.00"));
    Calc(2, 4);
    g.CalcFooter(2);
    EXPECT_EQ(g.Cells(2, 4), QStringLiteral("-2.00"));
    Calc(2, 5);
    g.CalcFooter(2);
    EXPECT_EQ(g.Cells(2, 4), QStringLiteral("4.00"));
    Calc(2, 0);
    g.CalcFooter(2);
    EXPECT_EQ(g.Cells(2, 4), QString());
    // Only the low seven bits choose.
    Calc(2, 0x80 | 4);
    g.CalcFooter(2);
    EXPECT_EQ(g.Cells(2, 4), QStringLiteral("-2.00"));
}

TEST_F(FooterTest, NoDataRowsGiveNoDivisionByZero)
{
    g.SetRowCount(2); // header and footer
    Calc(1, 1);
    Calc(2, 2);
    Calc(3, 3);
    g.SetCells(2, 1, QStringLiteral("old"));
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("0.00"));
    EXPECT_EQ(g.Cells(2, 1), QString());
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("0.00"));
    EXPECT_EQ(g.ColumnAvg(1, 1, 0), 0);
}

TEST_F(FooterTest, TemplatePlaceholders)
{
    g.SetCells(2, 2, QStringLiteral("15"));
    g.SetRow(2);
    EXPECT_EQ(g.FormatFooterTemplate(QStringLiteral("Sum <#2> and <#ab> end")), QStringLiteral("Sum 15 and  end"));
    EXPECT_EQ(g.FormatFooterTemplate(QStringLiteral("<#99>|<#-1>|<#2")), QStringLiteral("||<#2"));
}

TEST_F(FooterTest, PanelFollowsVisibilityAndPaintsTheLastRow)
{
    TFooterPanel* panel = g.FooterPanel();
    EXPECT_EQ(panel->height(), g.FloatingFooter().FooterHeight - 1);
    g.SetCells(1, 4, QStringLiteral("Total"));
    TRecordingCanvas canvas;
    panel->PaintTo(canvas);
    EXPECT_TRUE(canvas.Runs().contains(QStringLiteral("Total")));

    g.FloatingFooter().SetCustomTemplate(QStringLiteral("Row <#1>"));
    g.SetCells(1, 1, QStringLiteral("abc"));
    g.SetRow(1);
    g.SetFloatingFooterStyle(fsCustomPreview);
    canvas.Clear();
    panel->PaintTo(canvas);
    EXPECT_EQ(canvas.Runs().join(QString()).remove(u' '), QStringLiteral("Rowabc"));

    g.SetFloatingFooterVisible(false);
    EXPECT_EQ(panel->height(), 0);
    EXPECT_EQ(g.FixedFooters(), 0);
}

TEST(HTMLHintWindow, MeasuresLinesAndStaysOnTheScreen)
{
    THTMLHintWindow hint;
    const TRect one = hint.CalcHintRect(1000, QStringLiteral("<B>one</B>"));
    const TRect two = hint.CalcHintRect(1000, QStringLiteral("<B>one</B><BR>two"));
    EXPECT_GT(one.Width(), 0);
    EXPECT_EQ(two.Height(), 2 * one.Height());
    hint.ActivateHint(TRect(10, 10, 20, 20), QStringLiteral("<B>one</B><BR>two"));
    EXPECT_EQ(hint.height(), two.Height() + 4);
    EXPECT_EQ(hint.width(), two.Width() + 16);
    EXPECT_TRUE(hint.isVisible());

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    hint.ActivateHint(TRect(screen.right() - 5, 10, screen.right(), 20), QStringLiteral("a rather long hint text"));
    EXPECT_EQ(hint.geometry().right() + 1, screen.right() + 1 - 2);
    TRecordingCanvas canvas;
    hint.PaintTo(canvas);
    EXPECT_TRUE(canvas.Runs().join(QString()).contains(QStringLiteral("rather")));
}

} // namespace

TEST_F(FooterTest, TheDefaultRowHeightSetsTheFootersHeight)
{
    TFooterPanel* panel = g.FooterPanel();
    g.SetDefaultRowHeight(30);
    EXPECT_EQ(g.FloatingFooter().FooterHeight, 30);
    EXPECT_EQ(panel->height(), 29);
    // Hidden, the footer keeps the height for when it shows again.
    g.SetFloatingFooterVisible(false);
    g.SetDefaultRowHeight(25);
    EXPECT_EQ(panel->height(), 0);
    g.SetFloatingFooterVisible(true);
    EXPECT_EQ(panel->height(), 24);
}
