#pragma once
// Merged areas over the cell properties of a store. Every lookup of a base
// cell is checked: a cell whose stored offset does not lead to a base cell
// whose area covers it counts as a plain cell, so stale offsets (after
// moves, or from an old merge) never send a caller to a wrong or negative
// cell. Merging first splits every area it overlaps, so areas never cross.

#include "platform/graphics/Geometry.h"
#include "platform/grids/GridTypes.h"

class TCellStore;

class TCellMerges {
public:
    // The base cell of the area holding (col, row); the cell itself when it
    // is plain, a base cell, or its offset leads nowhere valid.
    static TPoint BaseCell(const TCellStore& store, int col, int row);
    // The cells of the area holding (col, row), corners included.
    static TGridRect Area(const TCellStore& store, int col, int row);
    // Columns and rows beyond the base cell: (0, 0) for a plain cell.
    static TPoint Span(const TCellStore& store, int col, int row);
    // Whether the cell lies in an area of more than one cell.
    static bool IsMerged(const TCellStore& store, int col, int row);
    // Merges spanX columns by spanY rows from (col, row), clipped to the
    // store; overlapped areas are split first; every cell is repainted.
    static void Merge(TCellStore& store, int col, int row, int spanX, int spanY);
    // Splits the area holding (col, row) back into plain cells.
    static void Split(TCellStore& store, int col, int row);
};
