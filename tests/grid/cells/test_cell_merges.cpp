// Merged areas over a cell store, without a window.
#include "grid/cells/TCellMerges.h"
#include "grid/cells/TCellProperties.h"
#include "grid/cells/TCellStore.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

class Store : public TCellStore {
public:
    TCellProperties* CellPropertiesOf(int col, int row) const override
    {
        auto it = m_cells.find({col, row});
        return it == m_cells.end() ? nullptr : it->second.get();
    }
    TCellProperties* EnsureCellProperties(int col, int row) override
    {
        auto& p = m_cells[{col, row}];
        if (!p) p = std::make_unique<TCellProperties>(this, col, row);
        return p.get();
    }
    int StoreCols() const override { return 10; }
    int StoreRows() const override { return 10; }
    void RepaintStoredCell(int, int) override { ++repaints; }
    int repaints = 0;

private:
    std::map<std::pair<int, int>, std::unique_ptr<TCellProperties>> m_cells;
};

TEST(CellMerges, SpanEncodingOfAnArea)
{
    Store s;
    TCellMerges::Merge(s, 2, 3, 3, 2);
    const TCellProperties* base = s.CellPropertiesOf(2, 3);
    ASSERT_TRUE(base);
    EXPECT_TRUE(base->IsBaseCell);
    EXPECT_EQ(base->CellSpanX, 2);
    EXPECT_EQ(base->CellSpanY, 1);
    const TCellProperties* part = s.CellPropertiesOf(4, 4);
    ASSERT_TRUE(part);
    EXPECT_FALSE(part->IsBaseCell);
    EXPECT_EQ(part->CellSpanX, 2);
    EXPECT_EQ(part->CellSpanY, 1);
    EXPECT_EQ(TCellMerges::BaseCell(s, 4, 4), TPoint(2, 3));
    EXPECT_EQ(TCellMerges::Area(s, 3, 4), TGridRect(2, 3, 4, 4));
    EXPECT_EQ(TCellMerges::Span(s, 3, 3), TPoint(2, 1));
    EXPECT_EQ(s.repaints, 6);
}

TEST(CellMerges, OneByOneIsNoMerge)
{
    Store s;
    TCellMerges::Merge(s, 1, 1, 1, 1);
    EXPECT_FALSE(TCellMerges::IsMerged(s, 1, 1));
    EXPECT_EQ(TCellMerges::Span(s, 1, 1), TPoint(0, 0));
}

TEST(CellMerges, SplitRestoresPlainCells)
{
    Store s;
    TCellMerges::Merge(s, 0, 0, 2, 2);
    TCellMerges::Split(s, 1, 1);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r) {
            const TCellProperties* p = s.CellPropertiesOf(c, r);
            EXPECT_TRUE(p->IsBaseCell);
            EXPECT_EQ(p->CellSpanX, -1);
            EXPECT_EQ(TCellMerges::BaseCell(s, c, r), TPoint(c, r));
        }
}

TEST(CellMerges, MergingOverPartOfAnAreaSplitsItFirst)
{
    Store s;
    TCellMerges::Merge(s, 0, 0, 3, 3);
    TCellMerges::Merge(s, 2, 2, 2, 2); // overlaps the corner cell (2, 2)
    // The old area is gone entirely: no cell points at (0, 0) any more.
    EXPECT_EQ(TCellMerges::BaseCell(s, 1, 1), TPoint(1, 1));
    EXPECT_EQ(TCellMerges::BaseCell(s, 2, 0), TPoint(2, 0));
    EXPECT_FALSE(TCellMerges::IsMerged(s, 0, 0));
    EXPECT_EQ(TCellMerges::Area(s, 3, 3), TGridRect(2, 2, 3, 3));
}

TEST(CellMerges, StaleOffsetsNeverLeadToWrongOrNegativeCells)
{
    Store s;
    // A cell that claims an offset past the origin.
    TCellProperties* p = s.EnsureCellProperties(1, 1);
    p->IsBaseCell = false;
    p->CellSpanX = 3;
    p->CellSpanY = 0;
    EXPECT_EQ(TCellMerges::BaseCell(s, 1, 1), TPoint(1, 1));
    // An offset to a cell that is no base cell, or whose area is smaller.
    TCellProperties* q = s.EnsureCellProperties(5, 5);
    q->IsBaseCell = false;
    q->CellSpanX = 1;
    q->CellSpanY = 1;
    EXPECT_EQ(TCellMerges::BaseCell(s, 5, 5), TPoint(5, 5));
    TCellMerges::Merge(s, 4, 4, 1, 2);
    EXPECT_EQ(TCellMerges::BaseCell(s, 5, 5), TPoint(5, 5)); // (4,4) spans no column to the right
    TCellMerges::Merge(s, 0, 8, 20, 20);                     // clipped to the store
    EXPECT_EQ(TCellMerges::Span(s, 0, 8), TPoint(9, 1));
}

} // namespace
