// Index maps between display and real rows and columns. Until rows and
// columns can be hidden the numberings coincide; hiding fills the state
// these maps read (grid/hidden/HiddenState_p.h).
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"

int TExtStringGrid::RealColIndex(int displCol) const
{
    if (displCol < 0) return -1;
    if (displCol >= ColCount() && displCol < 512 && d->hidden.hiddenColumns > 0) return -1;
    return displCol;
}

int TExtStringGrid::DisplColIndex(int realCol) const { return realCol; }
int TExtStringGrid::RealRowIndex(int displRow) const { return displRow < 0 ? -1 : displRow; }
int TExtStringGrid::DisplRowIndex(int realRow) const { return realRow; }
int TExtStringGrid::NumHiddenColumns() const { return d->hidden.hiddenColumns; }
int TExtStringGrid::NumHiddenRows() const { return d->hidden.hiddenRows; }
bool TExtStringGrid::IsHiddenColumn(int) const { return false; }
int TExtStringGrid::NodeCount() const { return d->hidden.nodeCount; }
int TExtStringGrid::GetNodeLineKind(int) const { return 0; }

int TExtStringGrid::DisplayToRealCol(int displayCol) const
{
    const int r = RealColIndex(displayCol);
    return r < 0 ? displayCol : r;
}

int TExtStringGrid::RealToDisplayCol(int realCol) const { return DisplColIndex(realCol); }

int TExtStringGrid::StoreCols() const { return ColCount() + d->hidden.hiddenColumns; }

int TExtStringGrid::GetCellIndent(int) { return 0; }
bool TExtStringGrid::HasNodeColumn() { return false; }
