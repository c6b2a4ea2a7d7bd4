#pragma once
// State of automatic sizing: the limits (0: none) and the grow-only default,
// and the measuring of cell texts it shares with the editor and the hints.

#include "platform/graphics/Geometry.h"

class TCanvas;
class TExtStringGrid;
struct TExtStringGridPrivate;

struct TGridSizeState {
    int minColWidth = 0;
    int maxColWidth = 0;
    int minRowHeight = 0;
    int maxRowHeight = 0;
    bool growOnly = false;
};

// The canvas font a cell (real column) is measured in: the fixed font for
// fixed cells, else the grid font, as the colour hook leaves it, zoomed.
void SetMeasureFont(TExtStringGrid& grid, TExtStringGridPrivate& d, TCanvas& canvas, int rcol, int row);
// The text of a display cell as drawn, without margins ((0, 0) when empty):
// plain lines, HTML, rich text as its formatted runs, rotated text by its
// angle. wrapWidth > 0 wraps text at that width.
TSize MeasureCellText(TExtStringGrid& grid, TExtStringGridPrivate& d, TCanvas& canvas, int col, int row, int wrapWidth);
