#pragma once
// The steps of the painting pipeline that stand beside the painters: those
// of PrepareCellCanvas (a cell's properties, bands and selection colours)
// and DrawCellContent (row indicator, frames, tree lines, focus rectangle)
// in TExtStringGridDraw.cpp, and the text painter's shared steps (colours,
// the text read, the room left for it) in TExtStringGridText.cpp. They read
// and complete the cell's paint options; none keeps anything between cells.
// Each is defined (and inlined) in the one file that runs it.

#include "grid/TExtStringGrid.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/draw/CellPaint_p.h"

struct TExtStringGrid::PaintSteps {
    // ----- PrepareCellCanvas (col is the display column, rc the real one)
    // The band colour of a scrolling data cell whose brush is not set.
    static inline void Bands(TExtStringGrid& grid, int col, int row, bool printing, TBrush& brush);
    // The selection colours by the grid's selection or the disjunct rows
    // and columns marked selected.
    static inline void SelectionLook(TExtStringGrid& grid, int col, int rc, int row, TGridDrawState& state,
                                     TBrush& brush, TFont& font);

    // ----- DrawCellContent
    // The row indicator of the current row in the first column; answers
    // the width the text moves right by (0: none drawn).
    static inline int RowIndicator(TExtStringGrid& grid, TCanvas& canvas, int rc, int row, const TRect& rect);
    static inline void FixedRightFrame(TExtStringGrid& grid, TCanvas& canvas, int rc, const TRect& r);
    static inline void TreeLines(TExtStringGrid& grid, TCanvas& canvas, int rc, int row, const TRect& rect);
    static inline void FocusRect(TExtStringGrid& grid, TCanvas& canvas, int rc, int row, const TRect& rect);

    // ----- The text painter
    // The selection colours of a selected cell, or the cell's own again.
    static inline void TextColours(TExtStringGrid& grid, TCanvas& canvas, TCellPaintOptions& o);
    // The text as shown, its kind and whether the header has a filter.
    static inline void ReadText(TExtStringGrid& grid, TCellPaintOptions& o);
    // A cell of an unmarked row (column) under disjunct selection takes the
    // grid's colours and its colour hook again.
    static inline void UnmarkedColours(TExtStringGrid& grid, TCanvas& canvas, TCellPaintOptions& o);
    // The rectangle the text goes into: inside the margins, beside the
    // graphic.
    static inline TRect TextRoom(TExtStringGrid& grid, TCellPaintOptions& o);
};
