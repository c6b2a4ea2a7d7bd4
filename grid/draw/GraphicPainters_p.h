#pragma once
// The painters of the cell graphics, one per graphic kind, as Qt's item
// views hand a cell to the delegate of its kind. An entry says whether the
// cell text goes beside the graphic, measures the room the graphic takes
// (GetCellGraphicInfo) and draws it into its place (DrawCellGraphic). The
// table is static: a cell costs a lookup by kind, nothing is made per cell.
// A kind without a measure takes no room; one without a paint draws nothing.

#include "grid/TExtStringGrid.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/draw/CellPaint_p.h"

class TImageList;

struct TExtStringGrid::GraphicPainter {
    // One graphic being drawn: the cell's options, the cell rectangle as
    // the borders and the fixed look left it, and the graphic's place in it.
    struct Paint {
        TExtStringGrid& grid;
        TCanvas& canvas;
        const TCellPaintOptions& o;
        TCellGraphic& g;
        const TImageList* images; // GridImages, or nullptr
        TRect cell;
        TRect place;    // from the graphic's own alignments and size
        int extent = 0; // the text's extent + 2, 0 without text
    };

    // Whether the cell text is drawn beside the graphic.
    bool drawText = true;
    // The graphic's width and height in the cell (col is the real column).
    TSize (*measure)(TExtStringGrid& grid, int col, int row, const TCellGraphic& g) = nullptr;
    void (*paint)(const Paint& p) = nullptr;

    static const GraphicPainter& Of(TCellType type);

    // The measures.
    static TSize PictureSize(TExtStringGrid& grid, int col, int row, const TCellGraphic& g);
    static TSize IconSize(TExtStringGrid& grid, int col, int row, const TCellGraphic& g);
    static TSize ImageListSize(TExtStringGrid& grid, int col, int row, const TCellGraphic& g);
    static TSize ImagesSize(TExtStringGrid& grid, int col, int row, const TCellGraphic& g);
    static TSize CheckBoxSize(TExtStringGrid& grid, int col, int row, const TCellGraphic& g);
    static TSize FittedPictureSize(TExtStringGrid& grid, int col, int row, const TCellGraphic& g);
    static TSize ButtonSize(TExtStringGrid& grid, int col, int row, const TCellGraphic& g);
    static TSize PieSize(TExtStringGrid& grid, int col, int row, const TCellGraphic& g);

    // The painters.
    static void PaintBitmap(const Paint& p);
    static void PaintIcon(const Paint& p);
    static void PaintImageList(const Paint& p);
    static void PaintImages(const Paint& p);
    static void PaintDataImage(const Paint& p);
    static void PaintCheckBox(const Paint& p);
    static void PaintRadioGroup(const Paint& p);
    static void PaintNode(const Paint& p);
    static void PaintRotatedText(const Paint& p);
    static void PaintPicture(const Paint& p);
    static void PaintFilePicture(const Paint& p);
    static void PaintProgress(const Paint& p);
    static void PaintProgressPie(const Paint& p);
    static void PaintComment(const Paint& p);
    static void PaintButton(const Paint& p);
};
