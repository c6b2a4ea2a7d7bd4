// The room a cell's graphic takes, as automatic sizing and callers measure
// it: by kind, with the text rule for pictures beside text, radio groups
// measured in the cell's font, and the full alignments taking the cell.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PainterCanvas.h"

#include <QImage>
#include <algorithm>
#include <cmath>

namespace {

// How the scaled form differs: the cell's size, the scale of pictures.
struct TScaling {
    double scale = 1;
    int cellWidth = 0;
    int cellHeight = 0;
};

TPoint GraphicSize(TExtStringGrid& grid, const TExtStringGridPrivate& d, TCanvas& canvas, int col, int row,
                   const TScaling* scaling)
{
    const TCellGraphic* g = grid.GetCellGraphic(col, row);
    if (!g) return TPoint(0, 0);
    // Under the text rule a graphic's width counts only beside the text or
    // in an empty cell.
    const auto textRule = [&](int width) {
        if (g->CellHAlign == haBeforeText || g->CellHAlign == haAfterText) return width;
        QString text;
        grid.GetCellDisplayText(col, row, text);
        return text.isEmpty() ? width : 0;
    };
    const TImageList* images = d.gridImages.get();
    const TRect cell = grid.GetCellRect(grid.DisplColIndex(col), row);
    TPoint size(0, 0);
    switch (g->CellType) {
    case ctBitmap:
    case ctIcon: {
        const TGraphic* pic = g->CellType == ctBitmap ? g->Graphic : g->Icon;
        if (!pic) break;
        const int w = std::max(0, pic->Width());
        size = TPoint(scaling ? w : textRule(w), std::max(0, pic->Height()));
        break;
    }
    case ctImageList:
    case ctDataImage:
        if (!images) break;
        size = TPoint(scaling && g->CellType == ctDataImage ? images->Width() : textRule(images->Width()),
                      images->Height());
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox: size = TPoint(d.controlLook.CheckSize(), d.controlLook.CheckSize()); break;
    case ctRadio: {
        const QStringList* options = grid.GetRadioOptions(col, row);
        if (!options) break;
        const int lineHeight = canvas.TextHeight(QStringLiteral("gh"));
        if (g->CellBoolean) {
            // Side by side: each option its text and its button.
            for (const QString& option : *options) size.X += canvas.TextWidth(option) + 12;
            size.Y = lineHeight;
        } else {
            int widest = 0;
            for (const QString& option : *options) widest = std::max(widest, canvas.TextWidth(option));
            size = TPoint(12 + widest, lineHeight * int(options->size()));
        }
        break;
    }
    case ctImages:
        if (!images) break;
        if (g->CellBoolean)
            size = TPoint(int(g->Images.size()) * images->Width(), images->Height());
        else
            size = TPoint(images->Width(), int(g->Images.size()) * images->Height());
        break;
    case ctPicture:
    case ctFilePicture:
        if (scaling) {
            const TPoint p = TExtStringGrid::GetPictureSize(*g, scaling->cellWidth, scaling->cellHeight);
            size = TPoint(int(std::lround(p.X * scaling->scale)), int(std::lround(p.Y * scaling->scale)));
        } else {
            size = TExtStringGrid::GetPictureSize(*g, cell.Width(), cell.Height());
        }
        break;
    case ctButton:
    case ctBitButton: size = TPoint(g->CellIndex & 0xFFFF, (g->CellIndex >> 16) & 0xFFFF); break;
    case ctProgressPie: size = TPoint(20, 20); break;
    default: break;
    }
    if (g->CellHAlign == haFull) size.X = scaling ? scaling->cellWidth : cell.Width();
    if (g->CellVAlign == vaFull) size.Y = scaling ? scaling->cellHeight : cell.Height();
    return size;
}

} // namespace

TPoint TExtStringGrid::GetCellGraphicSize(int col, int row)
{
    if (!GetCellGraphic(col, row)) return TPoint(0, 0);
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    SetMeasureFont(*this, *d, canvas, col, row);
    return GraphicSize(*this, *d, canvas, col, row, nullptr);
}

TPoint TExtStringGrid::GetCellGraphicSizeScaled(int col, int row, double scale, int cellWidth, int cellHeight,
                                                TCanvas& canvas)
{
    const TScaling scaling{scale, cellWidth, cellHeight};
    return GraphicSize(*this, *d, canvas, col, row, &scaling);
}
