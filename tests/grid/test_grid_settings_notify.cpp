// The settings objects that tell their grid: the control look repaints the
// grid on every change, the bands when turned on or off and while on, the
// floating footer's colour, preview column and template repaint its panel.
#include "grid/TExtStringGrid.h"
#include "grid/TFooterPanel.h"
#include "grid/cells/TCellGraphic.h"
#include "platform/graphics/Bitmap.h"
#include "tests/support/PrintQString.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestSupport.h"
#include "tests/grid/TestGrids.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Grid : public RepaintCounting<TExtStringGrid> {
public:
    Grid() : RepaintCounting(nullptr, QStringLiteral("Grid")) { ShapeGrid(*this, 400, 300, 5, 10); }
};

std::unique_ptr<TBitmap> Square(int size, QColor colour)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    auto b = std::make_unique<TBitmap>();
    b->SetImage(image);
    return b;
}

} // namespace

TEST(GridSettingsNotify, ControlLookChangesRepaintAndShow)
{
    Grid g;
    g.SetDefaultRowHeight(30);
    TCellGraphic* box = new TCellGraphic;
    box->CellType = ctCheckBox;
    g.SetCellAttachment(1, 1, box);
    g.FocusCell(3, 3);
    g.WholeRepaints();
    TControlLook& look = g.ControlLook();
    look.SetCheckSize(20);
    look.SetRadioSize(12);
    look.SetColor(clRed);
    look.SetFlatButton(true);
    look.SetControlStyle(csGlyph);
    EXPECT_EQ(g.WholeRepaints(), 5);
    look.SetControlStyle(csGlyph);
    EXPECT_EQ(g.WholeRepaints(), 0);
    look.SetUnCheckedGlyph(*Square(11, Qt::green));
    look.SetCheckedGlyph(*Square(13, Qt::blue));
    look.SetRadioOnGlyph(*Square(9, Qt::blue));
    look.SetRadioOffGlyph(*Square(9, Qt::blue));
    EXPECT_EQ(g.WholeRepaints(), 4);
    EXPECT_EQ(look.CheckSize(), 20);
    EXPECT_EQ(look.RadioSize(), 12);
    EXPECT_EQ(look.Color(), clRed);
    EXPECT_TRUE(look.FlatButton());

    // The unchecked glyph is a copy drawn for the box.
    TRecordingCanvas canvas;
    g.PaintTo(canvas, g.CalcCellRect(1, 1));
    const auto glyphs = canvas.CallsOf(QStringLiteral("DrawImageTransparent"));
    ASSERT_EQ(glyphs.size(), 1);
    EXPECT_EQ(glyphs[0].Rect.Width(), 11);
}

TEST(GridSettingsNotify, FooterSettingsRepaintThePanel)
{
    Grid g;
    g.SetCellText(2, 3, QStringLiteral("15"));
    g.FloatingFooter().SetFooterStyle(fsColumnPreview);
    EXPECT_EQ(g.FloatingFooter().FooterStyle(), fsColumnPreview);
    g.FloatingFooter().SetVisible(true);
    EXPECT_TRUE(g.FloatingFooter().Visible());
    EXPECT_EQ(g.FixedFooters(), 1);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    TFooterPanel* panel = g.FooterPanel();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return panel->isVisible(); }));
    QCoreApplication::processEvents();
    PaintCounter counter(panel);

    auto repaintsAfter = [&](const std::function<void()>& change) {
        counter.paints = 0;
        change();
        return testsupport::WaitUntil([&] { return counter.paints > 0; }, 2000);
    };
    EXPECT_TRUE(repaintsAfter([&] { g.FloatingFooter().SetColor(clYellow); }));
    EXPECT_TRUE(repaintsAfter([&] { g.FloatingFooter().SetColumn(2); }));
    EXPECT_TRUE(repaintsAfter([&] { g.FloatingFooter().SetCustomTemplate(QStringLiteral("at <#2>")); }));

    // What the panel shows follows: the colour, then column 2 of the
    // current row, then the template.
    g.FocusCell(1, 3);
    TRecordingCanvas canvas;
    panel->PaintTo(canvas);
    EXPECT_EQ(canvas.CallsOf(QStringLiteral("FillRect")).front().Brush.Color(), clYellow);
    EXPECT_TRUE(canvas.Runs().contains(QStringLiteral("15")));
    g.FloatingFooter().SetFooterStyle(fsCustomPreview);
    canvas.Clear();
    panel->PaintTo(canvas);
    const QString shown = canvas.Runs().join(QString());
    EXPECT_TRUE(shown.startsWith(QStringLiteral("at")) && shown.contains(QStringLiteral("15"))) << shown.toStdString();

    g.FloatingFooter().SetVisible(false);
    EXPECT_EQ(g.FixedFooters(), 0);
}

TEST(GridSettingsNotify, BandsRepaintWhenTurnedAndWhileOn)
{
    RepaintCounting<PaintTestGrid> g;
    g.FocusCell(4, 9); // out of the way: the current cell paints selected
    g.WholeRepaints();
    TBands& bands = g.Bands();
    // Off: colours and lengths wait, unseen.
    bands.SetPrimaryColor(clYellow);
    bands.SetSecondaryLength(2);
    bands.SetPrint(true);
    EXPECT_EQ(g.WholeRepaints(), 0);
    EXPECT_EQ(g.CellBrush(1, 1), g.Color());

    bands.SetActive(true);
    EXPECT_EQ(g.WholeRepaints(), 1);
    EXPECT_EQ(g.CellBrush(1, 1), clYellow);
    EXPECT_EQ(g.CellBrush(1, 2), bands.SecondaryColor());
    bands.SetPrimaryColor(clAqua);
    bands.SetPrimaryLength(2);
    bands.SetSecondaryColor(clLime);
    bands.SetSecondaryLength(1);
    EXPECT_EQ(g.WholeRepaints(), 4);
    bands.SetPrimaryLength(2);
    EXPECT_EQ(g.WholeRepaints(), 0);
    EXPECT_EQ(bands.Period(), 3);
    EXPECT_EQ(g.CellBrush(1, 2), clAqua);
    EXPECT_EQ(g.CellBrush(1, 3), clLime);

    // A record given whole keeps telling the grid.
    TBands off;
    g.SetBands(off);
    EXPECT_EQ(g.WholeRepaints(), 1);
    EXPECT_EQ(g.CellBrush(1, 1), g.Color());
    g.Bands().SetActive(true);
    EXPECT_EQ(g.WholeRepaints(), 1);
}
