#include "grid/cells/TCellMerges.h"

#include "grid/cells/TCellProperties.h"
#include "grid/cells/TCellStore.h"

#include <algorithm>

TPoint TCellMerges::BaseCell(const TCellStore& store, int col, int row)
{
    const TCellProperties* p = store.CellPropertiesOf(col, row);
    if (!p || p->IsBaseCell || p->CellSpanX < 0 || p->CellSpanY < 0) return TPoint(col, row);
    const int bc = col - p->CellSpanX;
    const int br = row - p->CellSpanY;
    if (bc < 0 || br < 0) return TPoint(col, row);
    const TCellProperties* b = store.CellPropertiesOf(bc, br);
    if (!b || !b->IsBaseCell || b->CellSpanX < p->CellSpanX || b->CellSpanY < p->CellSpanY) return TPoint(col, row);
    return TPoint(bc, br);
}

TGridRect TCellMerges::Area(const TCellStore& store, int col, int row)
{
    const TPoint b = BaseCell(store, col, row);
    const TPoint s = Span(store, b.X, b.Y);
    return TGridRect(b.X, b.Y, b.X + s.X, b.Y + s.Y);
}

TPoint TCellMerges::Span(const TCellStore& store, int col, int row)
{
    const TPoint b = BaseCell(store, col, row);
    const TCellProperties* p = store.CellPropertiesOf(b.X, b.Y);
    if (!p || !p->IsBaseCell || p->CellSpanX < 0 || p->CellSpanY < 0) return TPoint(0, 0);
    return TPoint(p->CellSpanX, p->CellSpanY);
}

bool TCellMerges::IsMerged(const TCellStore& store, int col, int row)
{
    const TPoint s = Span(store, col, row);
    return s.X > 0 || s.Y > 0;
}

void TCellMerges::Merge(TCellStore& store, int col, int row, int spanX, int spanY)
{
    if (col < 0 || row < 0 || col >= store.StoreCols() || row >= store.StoreRows()) return;
    spanX = std::clamp(spanX, 1, store.StoreCols() - col);
    spanY = std::clamp(spanY, 1, store.StoreRows() - row);
    // Areas that reach into the new one are split first, so no cell keeps
    // an offset towards a base cell that no longer covers it.
    for (int c = col; c < col + spanX; ++c) {
        for (int r = row; r < row + spanY; ++r) {
            if (IsMerged(store, c, r)) Split(store, c, r);
        }
    }
    for (int c = col; c < col + spanX; ++c) {
        for (int r = row; r < row + spanY; ++r) {
            TCellProperties* p = store.EnsureCellProperties(c, r);
            p->IsBaseCell = c == col && r == row;
            if (p->IsBaseCell) {
                p->CellSpanX = spanX - 1;
                p->CellSpanY = spanY - 1;
            } else {
                p->CellSpanX = c - col;
                p->CellSpanY = r - row;
            }
        }
    }
    for (int c = col; c < col + spanX; ++c)
        for (int r = row; r < row + spanY; ++r) store.RepaintStoredCell(c, r);
}

void TCellMerges::Split(TCellStore& store, int col, int row)
{
    const TGridRect a = Area(store, col, row);
    for (int c = a.Left; c <= a.Right; ++c) {
        for (int r = a.Top; r <= a.Bottom; ++r) {
            if (TCellProperties* p = store.CellPropertiesOf(c, r)) {
                p->IsBaseCell = true;
                p->CellSpanX = -1;
                p->CellSpanY = -1;
            }
        }
    }
    // A lone cell with a stale offset is made plain as well.
    if (TCellProperties* p = store.CellPropertiesOf(col, row)) {
        p->IsBaseCell = true;
        p->CellSpanX = -1;
        p->CellSpanY = -1;
    }
    for (int c = a.Left; c <= a.Right; ++c)
        for (int r = a.Top; r <= a.Bottom; ++r) store.RepaintStoredCell(c, r);
}
