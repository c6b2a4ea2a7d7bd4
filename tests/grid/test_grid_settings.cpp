// Settings objects whose setters repaint the grid: the node boxes and the
// background picture.
#include "grid/TExtStringGrid.h"
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid")) { resize(300, 200); }
    void InvalidateRect(const TRect& r) override
    {
        // Only whole-grid repaints count here.
        if (r == TRect(0, 0, ClientWidth(), ClientHeight())) ++repaints;
        TExtStringGrid::InvalidateRect(r);
    }
    int Repaints()
    {
        const int n = repaints;
        repaints = 0;
        return n;
    }
    int repaints = 0;
};

} // namespace

TEST(GridSettingsRepaint, NodeTypeAndShowTreeRepaintWhenChanged)
{
    Grid g;
    g.Repaints();
    g.CellNode().SetNodeType(cn3D);
    EXPECT_EQ(g.CellNode().NodeType(), cn3D);
    EXPECT_EQ(g.Repaints(), 1);
    g.CellNode().SetNodeType(cn3D);
    EXPECT_EQ(g.Repaints(), 0);
    g.CellNode().SetShowTree(true);
    EXPECT_TRUE(g.CellNode().ShowTree());
    EXPECT_EQ(g.Repaints(), 1);
    g.CellNode().SetShowTree(true);
    EXPECT_EQ(g.Repaints(), 0);
}

TEST(GridSettingsRepaint, EveryBackgroundSetterRepaints)
{
    Grid g;
    g.Repaints();
    TBackGround& bg = g.BackGround();
    bg.SetLeft(10);
    EXPECT_EQ(g.Repaints(), 1);
    bg.SetTop(12);
    EXPECT_EQ(g.Repaints(), 1);
    bg.SetDisplay(bdFixed);
    EXPECT_EQ(g.Repaints(), 1);
    bg.SetCells(bcAll);
    EXPECT_EQ(g.Repaints(), 1);
    EXPECT_EQ(bg.Left(), 10);
    EXPECT_EQ(bg.Top(), 12);
    EXPECT_EQ(bg.Display(), bdFixed);
    EXPECT_EQ(bg.Cells(), bcAll);
    // A new picture shows at once.
    bg.Bitmap.SetSize(16, 16);
    EXPECT_GE(g.Repaints(), 1);
}
