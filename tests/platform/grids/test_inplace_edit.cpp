// The in-place editor base: shown over the current cell, storing back only
// a changed text, Escape keeping the cell as it was.
#include "platform/grids/InplaceEdit.h"
#include "platform/grids/StringGrid.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class Grid : public TStringGrid {
public:
    Grid() : TStringGrid(nullptr, QStringLiteral("EditGrid"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(400, 300);
        SetOptions(Options() + TGridOption::goEditing);
        OnSetEditText = [this](QObject*, int, int, const QString&) { ++stores; };
    }
    int stores = 0;
};

TEST(InplaceEdit, ShowsOverTheCurrentCellAndStoresOnlyAChange)
{
    Grid g;
    g.show();
    g.SetCells(2, 2, QStringLiteral("old"));
    g.FocusCell(2, 2);
    g.ShowEditor();
    ASSERT_TRUE(g.EditorMode());
    TInplaceEdit* e = g.InplaceEditor();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Text(), QStringLiteral("old"));
    EXPECT_EQ(e->geometry().topLeft(), g.CellRect(2, 2).ToQRect().topLeft());
    g.HideEditor(); // unchanged: nothing stored
    EXPECT_EQ(g.stores, 0);
    g.ShowEditor();
    e->SetText(QStringLiteral("new"));
    g.HideEditor();
    EXPECT_EQ(g.stores, 1);
    EXPECT_EQ(g.Cells(2, 2), QStringLiteral("new"));
}

TEST(InplaceEdit, EscapeKeepsTheCell)
{
    Grid g;
    g.show();
    g.SetCells(1, 1, QStringLiteral("keep"));
    g.FocusCell(1, 1);
    g.ShowEditor();
    TInplaceEdit* e = g.InplaceEditor();
    e->SetText(QStringLiteral("typed"));
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("keep"));
    EXPECT_EQ(g.stores, 0);
}

TEST(InplaceEdit, NoEditorInFixedCellsOrRowSelectMode)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    g.ShowEditor();
    EXPECT_FALSE(g.EditorMode());
    g.SetOptions(g.Options() - TGridOption::goRowSelect - TGridOption::goEditing);
    g.ShowEditor();
    EXPECT_FALSE(g.EditorMode());
}

} // namespace
