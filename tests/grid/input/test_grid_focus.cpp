// The focus coming to and leaving the string grid, cell hints while
// panning, and the controls placed in cells following the view.
#include "grid/TExtStringGrid.h"
#include "grid/THTMLHintWindow.h"
#include "grid/TFooterPanel.h"
#include "grid/cells/TCellProperties.h"
#include "grid/edit/TGridSpin.h"
#include "platform/grids/InplaceEdit.h"
#include "tests/support/TestSupport.h"
#include "tests/grid/LineEditLink.h"
#include "tests/grid/TestGrids.h"
#include "tests/grid/input/InputTestGrid.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <map>

namespace {

// A form with the grid under a line edit, shown and active, so that the
// focus really moves between them.
struct Form {
    QWidget window;
    QLineEdit* other;
    InputTestGrid* grid;
    Form(int cols, int rows)
    {
        auto* layout = new QVBoxLayout(&window);
        other = new QLineEdit(&window);
        other->setObjectName(QStringLiteral("Other"));
        grid = new InputTestGrid(&window, QStringLiteral("Focus"), cols, rows);
        layout->addWidget(other);
        layout->addWidget(grid);
        window.resize(520, 360);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }
};

// Edits cells of a grid with the editor types of a table.
void EditWith(TExtStringGrid& g, std::map<std::pair<int, int>, TEditorType>& editors)
{
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.OnGetEditorType = [&editors](QObject*, int col, int row, TEditorType& editor) {
        const auto it = editors.find({col, row});
        if (it != editors.end()) editor = it->second;
    };
}

} // namespace

TEST(GridFocus, AlwaysEditOpensTheEditorWhenTheGridGetsTheFocus)
{
    Form f(4, 6);
    InputTestGrid& g = *f.grid;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.SetCells(2, 3, QStringLiteral("text"));
    g.FocusCell(2, 3);
    g.setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(g.EditorMode()); // not without AlwaysEdit

    f.other->setFocus();
    g.Navigation().AlwaysEdit = true;
    g.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(g.EditorMode());
    ASSERT_NE(g.InplaceEditor(), nullptr);
    EXPECT_TRUE(g.InplaceEditor()->hasFocus());
    EXPECT_EQ(g.InplaceEditor()->Text(), QStringLiteral("text"));

    // The focus coming back from its own editor does not open it again.
    g.HideEditor();
    EXPECT_TRUE(g.hasFocus());
    EXPECT_FALSE(g.EditorMode());
    // Coming from another control it does, the editor made before or not.
    f.other->setFocus();
    g.setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(g.EditorMode());
    g.HideEditor();

    // Nor does it on a check box.
    f.other->setFocus();
    g.AddGraphic(1, 2, ctCheckBox);
    g.FocusCell(1, 2);
    g.setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(g.EditorMode());
}

TEST(GridFocus, AGridOfTheFixedRowAloneShowsNoSelection)
{
    Form f(4, 3);
    InputTestGrid& g = *f.grid;
    g.SetFixedRows(0);
    g.SetRowCount(1);
    g.SetFixedRowAlways(true);
    g.setFocus(Qt::TabFocusReason);
    for (int c = 0; c < g.ColCount(); ++c) EXPECT_FALSE(g.IsSelected(c, 0)) << c;
    EXPECT_GE(g.Selection().Left, g.ColCount());

    // A grid with more rows keeps its selection.
    f.other->setFocus();
    g.SetRowCount(3);
    g.FocusCell(2, 1);
    g.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(g.Selection(), TGridRect(2, 1, 2, 1));
}

TEST(GridFocus, LosingTheFocusReleasesAPressedEmbeddedButton)
{
    Form f(4, 6);
    InputTestGrid& g = *f.grid;
    g.SetColWidths(1, 200);
    g.SetRowHeights(1, 40); // the button's own height
    g.SetCells(1, 1, QStringLiteral("<CONTROL TYPE=\"BUTTON\" ID=\"b1\" VALUE=\"Go\" WIDTH=\"60\"> <B>x</B>"));
    int clicked = 0;
    g.OnControlClick = [&](QObject*, int, int, const QString& id, const QString&, const QString&) {
        clicked += id == QLatin1String("b1");
    };
    // Pressed (held down) on the button, it paints pressed.
    g.setFocus();
    ASSERT_TRUE(g.hasFocus());
    const TRect r = g.CellRect(1, 1);
    QPoint at;
    for (int dy = 3; dy < r.Height() && !clicked; dy += 4)
        for (int dx = 2; dx < 60 && !clicked; dx += 4) {
            at = QPoint(r.Left + dx, r.Top + dy);
            QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, at);
            if (!clicked) QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, at);
        }
    ASSERT_EQ(clicked, 1);
    QImage down(g.size(), QImage::Format_RGB32);
    g.render(&down);
    // The focus goes elsewhere while the button is held.
    f.other->setFocus();
    QImage up(g.size(), QImage::Format_RGB32);
    g.render(&up);
    const QRect cell = r.ToQRect().translated(g.ClientOrigin());
    EXPECT_NE(down.copy(cell), up.copy(cell));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, at);
    QImage released(g.size(), QImage::Format_RGB32);
    g.render(&released);
    EXPECT_EQ(up.copy(cell), released.copy(cell));
}

TEST(GridFocus, CellHintsAreOffWhilePanning)
{
    Form f(4, 6);
    InputTestGrid& g = *f.grid;
    g.SetHintShowCells(true);
    g.SetCells(2, 2, QStringLiteral("hinted"));
    const QPoint cell = g.Center(2, 2);
    auto requestHint = [&] {
        QHelpEvent request(QEvent::ToolTip, cell + g.ClientOrigin(), g.mapToGlobal(cell));
        QApplication::sendEvent(&g, &request);
        return g.HintWindow() && g.HintWindow()->isVisible();
    };
    ASSERT_TRUE(requestHint());
    QTest::mousePress(&g, Qt::MiddleButton, Qt::NoModifier, g.Center(1, 3));
    ASSERT_TRUE(g.Panning());
    EXPECT_FALSE(g.HintWindow()->isVisible());
    EXPECT_FALSE(requestHint());
    QTest::keyClick(&g, Qt::Key_Escape); // any key ends the panning
    EXPECT_FALSE(g.Panning());
    EXPECT_TRUE(requestHint());
    EXPECT_EQ(g.HintWindow()->Hint(), QStringLiteral("hinted"));
}

TEST(GridScrolling, ControlsPlacedInCellsFollowTheView)
{
    InputTestGrid g(nullptr, QStringLiteral("Controls"), 4, 40);
    auto* control = new QWidget(&g);
    g.GetCellProperties(2, 3)->Control = control;
    auto* below = new QWidget(&g);
    g.GetCellProperties(1, 30)->Control = below;

    g.SetTopRow(2); // row 3 still on view
    EXPECT_EQ(control->geometry(), g.CellRect(2, 3).ToQRect().translated(g.ClientOrigin()));
    g.SetTopRow(10); // row 3 gone: the control shrinks to nothing
    EXPECT_EQ(control->width(), 0);
    EXPECT_EQ(control->height(), 0);
    g.SetTopRow(25); // row 30 comes on view
    EXPECT_EQ(below->geometry(), g.CellRect(1, 30).ToQRect().translated(g.ClientOrigin()));
    g.SetTopRow(1);
    EXPECT_EQ(below->width(), 0);
    EXPECT_EQ(control->geometry(), g.CellRect(2, 3).ToQRect().translated(g.ClientOrigin()));
}

TEST(GridFocus, TakingTheFocusClosesACustomEditorAtOnce)
{
    Form f(4, 6);
    InputTestGrid& g = *f.grid;
    std::map<std::pair<int, int>, TEditorType> editors{{{2, 3}, edCustom}};
    EditWith(g, editors);
    LineEditLink link;
    g.SetEditLink(&link);
    g.SetCells(2, 3, QStringLiteral("old"));
    g.FocusCell(2, 3);
    g.setFocus(Qt::TabFocusReason);
    g.ShowEditor();
    auto* edit = qobject_cast<QLineEdit*>(link.EditControl());
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->hasFocus());
    edit->setText(QStringLiteral("new"));

    // The link would end its edit later; the grid taking the focus ends it
    // there and then, storing the value.
    g.setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(g.EditInProgress());
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("new"));
    QCoreApplication::processEvents();
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("new"));
}

TEST(GridScrolling, ScrollingClosesAControlOpenOverACellAndRepaintsTheFooter)
{
    InputTestGrid g(nullptr, QStringLiteral("Scrolled"), 12, 40);
    std::map<std::pair<int, int>, TEditorType> editors{{{1, 2}, edSpinEdit}};
    EditWith(g, editors);
    g.SetCells(1, 2, QStringLiteral("5"));
    g.FocusCell(1, 2);
    g.ShowEditor();
    TGridSpin* spin = g.GridSpin();
    ASSERT_TRUE(spin->isVisible());
    spin->SetValue(7);

    g.SetTopRow(10);
    EXPECT_FALSE(g.EditInProgress());
    EXPECT_FALSE(spin->isVisible());
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("7"));

    // The floating footer shows the columns from the left one on: it is
    // painted again when the grid scrolls sideways.
    g.SetFloatingFooterVisible(true);
    TFooterPanel* panel = g.FooterPanel();
    ASSERT_TRUE(panel->isVisible());
    PaintCounter counter(panel);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return counter.paints > 0; }));
    counter.paints = 0;
    g.SetLeftCol(4);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return counter.paints > 0; }));
}

TEST(GridScrolling, WidthsFollowingTheGridCloseAControlOpenOverACell)
{
    InputTestGrid g(nullptr, QStringLiteral("Synched"), 4, 6);
    std::map<std::pair<int, int>, TEditorType> editors{{{1, 2}, edSpinEdit}};
    EditWith(g, editors);
    g.ColumnSize().SynchWithGrid = true;
    g.resize(400, 300);
    g.FocusCell(1, 2);
    g.ShowEditor();
    ASSERT_TRUE(g.GridSpin()->isVisible());
    g.resize(600, 300);
    EXPECT_FALSE(g.EditInProgress());
    EXPECT_FALSE(g.GridSpin()->isVisible());
}
