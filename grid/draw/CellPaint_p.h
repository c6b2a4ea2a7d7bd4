#pragma once
// The options of one painted cell: filled by the pipeline before the text
// painter runs, completed by it, and read by the graphic painter. One record
// per cell, so no painter keeps anything between cells.

#include "grid/cells/CellTypes.h"
#include "grid/cells/TCellGraphic.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/grids/GridTypes.h"
#include "platform/widgets/CustomEdit.h"

#include <QString>

struct TCellPaintOptions {
    // The cell: real column, row, drawing state, rectangle.
    int col = 0;
    int row = 0;
    TGridDrawState state;
    TRect rect;
    TAlignment hAlign = taLeftJustify;
    TVAlignment vAlign = vtaTop;

    // The cell's graphic, its place and size, and whether text goes beside.
    TCellGraphic* graphic = nullptr;
    TCellHAlign graphicHAlign = haLeft;
    TCellVAlign graphicVAlign = vaTop;
    int graphicWidth = 0;
    int graphicHeight = 0;
    bool drawText = true;

    // The cell's background is already painted (the gradient of a fixed
    // cell): the text painter does not fill it again.
    bool backgroundPainted = false;

    // The brush and font colours before the text painter.
    TColor savedBrush = clNone;
    TColor savedFont = clNone;

    // Set by the text painter.
    QString text; // as shown (password characters applied)
    int kind = 0; // text kind of the cell text
    TColor linkColor = clNone;
    bool selectionColours = false;
    bool filterGlyph = false; // a filter button in this header cell
    bool sortGlyph = false;   // the sort glyph goes into this cell
    int sortGlyphOffset = 0;  // room left of the text taken by the graphic
    int textExtent = 0;       // text width + 2 for the graphic painter
};
