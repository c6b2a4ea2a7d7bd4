// Automatic sizing: a column to its widest cell, a row to its tallest,
// measured the way the cells are drawn (font, graphic, HTML and lines), and
// row heights in text lines.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLDraw.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/text/CellLines.h"
#include "grid/text/CellText.h"
#include "grid/draw/CellDrawing.h"
#include "platform/graphics/PainterCanvas.h"

#include <QImage>
#include <QRegularExpression>
#include <algorithm>

int TExtStringGrid::MinColWidth() const { return d->size.minColWidth; }
void TExtStringGrid::SetMinColWidth(int value) { d->size.minColWidth = std::max(0, value); }
int TExtStringGrid::MaxColWidth() const { return d->size.maxColWidth; }
void TExtStringGrid::SetMaxColWidth(int value) { d->size.maxColWidth = std::max(0, value); }
int TExtStringGrid::MinRowHeight() const { return d->size.minRowHeight; }
void TExtStringGrid::SetMinRowHeight(int value) { d->size.minRowHeight = std::max(0, value); }
int TExtStringGrid::MaxRowHeight() const { return d->size.maxRowHeight; }
void TExtStringGrid::SetMaxRowHeight(int value) { d->size.maxRowHeight = std::max(0, value); }
bool TExtStringGrid::AutoSizeGrowOnly() const { return d->size.growOnly; }
void TExtStringGrid::SetAutoSizeGrowOnly(bool value) { d->size.growOnly = value; }

bool TExtStringGrid::AutoSize() const { return d->autoSize; }

void TExtStringGrid::SetAutoSize(bool value)
{
    d->autoSize = value;
    // Switching it on fits every scrolling column to its cells once.
    if (value) AutoSizeColumns(false, 10);
}

TSize TExtStringGrid::MeasureCell(int col, int row, int wordWrapWidth)
{
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    return MeasureCell(canvas, col, row, wordWrapWidth);
}

// Width and height of a display cell's content as drawn; wordWrapWidth > 0
// measures wrapped text in that width. The canvas is only measured with.
TSize TExtStringGrid::MeasureCell(TCanvas& canvas, int col, int row, int wordWrapWidth)
{
    const int rc = RealColIndex(col);
    const bool fixed = col < FixedCols() || row < FixedRows();
    TFont font = fixed ? d->fixedFont : Font();
    TBrush brush;
    GetCellColor(rc, row, fixed ? TGridDrawState{TGridDrawStateItem::gdFixed} : TGridDrawState{}, brush, font);
    font.SetSize(font.Size() + d->draw.zoom);
    if (!(canvas.Font() == font)) canvas.Font() = font;
    QString text;
    GetCellDisplayText(rc, row, text);
    TSize size{0, 0};
    if (!text.isEmpty()) {
        if (GetTextKind(text, d->enableHTML) == tkHTML) {
            THTMLDrawOptions o;
            o.CheckHeight = true;
            o.WordWrap = wordWrapWidth > 0;
            o.Images = d->gridImages;
            o.PictureCache = d->draw.pictureCache.get();
            o.PictureContainer = d->pictureContainer;
            THTMLDrawResults res;
            const int w = wordWrapWidth > 0 ? wordWrapWidth : 0x7FFF;
            HTMLDraw(canvas, text, TRect(0, 0, w, 0x7FFF), o, res);
            size = TSize{res.XSize, res.YSize};
        } else {
            const bool multi = d->multilineCells || wordWrapWidth > 0;
            static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
            const QStringList lines = multi ? text.split(lineBreak) : QStringList{text};
            const int lineHeight = canvas.TextHeight(QStringLiteral("gh"));
            int height = 0;
            for (const QString& line : lines) {
                const int w = canvas.TextWidth(line);
                if (wordWrapWidth > 0 && w > wordWrapWidth) {
                    const int n = (w + wordWrapWidth - 1) / wordWrapWidth;
                    size.cx = std::max(size.cx, wordWrapWidth);
                    height += n * lineHeight;
                } else {
                    size.cx = std::max(size.cx, w);
                    height += lineHeight;
                }
            }
            size.cy = height;
        }
    }
    TCellHAlign ha = haLeft;
    TCellVAlign va = vaTop;
    bool drawText = true;
    int gh = 0, gw = 0;
    if (GetCellGraphicInfo(rc, row, ha, va, drawText, gh, gw)) {
        if (va == vaFull)
            size.cx = size.cx - d->draw.marginX - 2 * (GridLineWidth() + 1);
        else
            size.cx += gw;
        size.cy = std::max(size.cy, gh);
    }
    return size;
}

void TExtStringGrid::AutoSizeCol(int col) { AutoSizeCol(col, d->size.growOnly); }

void TExtStringGrid::AutoSizeCol(int col, bool growOnly)
{
    if (col < 0 || col >= ColCount()) return;
    const int rc = RealColIndex(col);
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    int widest = 0;
    for (int r = 0; r < RowCount(); ++r) {
        if (IsXMergedCell(rc, r)) continue;
        widest = std::max(widest, MeasureCell(canvas, col, r, 0).cx);
    }
    int width = widest + d->draw.marginX + 2 * (GridLineWidth() + 1);
    if (growOnly && ColWidths(col) >= width) return;
    UpdateAutoColumnSize(rc, width);
    width = ChooseBound(width, d->size.minColWidth, d->size.maxColWidth);
    SetColWidths(col, std::max(0, width));
}

void TExtStringGrid::AutoSizeRow(int row) { AutoSizeRow(row, d->size.growOnly); }

void TExtStringGrid::AutoSizeRow(int row, bool growOnly)
{
    if (row < 0 || row >= RowCount()) return;
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    int tallest = 0;
    for (int c = 0; c < ColCount(); ++c) {
        const int rc = RealColIndex(c);
        if (IsYMergedCell(rc, row)) continue;
        if (IsMergedCell(rc, row) && !IsBaseCell(rc, row)) continue;
        const int wrap = d->wordWrap ? std::max(1, ColWidths(c) - d->draw.marginX) : 0;
        tallest = std::max(tallest, MeasureCell(canvas, c, row, wrap).cy);
    }
    int height = tallest + d->draw.marginY + 2 * GridLineWidth();
    if (growOnly && height <= RowHeights(row)) return;
    height = ChooseBound(height, d->size.minRowHeight, d->size.maxRowHeight);
    SetRowHeights(row, std::max(0, height));
}

void TExtStringGrid::AutoSizeColumns(bool doFixedCols, int extra)
{
    for (int c = doFixedCols ? 0 : FixedCols(); c < ColCount(); ++c) {
        AutoSizeCol(c, false);
        if (extra != 0)
            SetColWidths(c, std::max(0, ChooseBound(ColWidths(c) + extra, d->size.minColWidth, d->size.maxColWidth)));
    }
}

void TExtStringGrid::SetRowHeightInLines(int row, int lines, int extra)
{
    if (row < 0 || row >= RowCount()) return;
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    canvas.Font() = Font();
    const int h = canvas.TextHeight(QStringLiteral("gh"));
    const int lineHeight = h + h / 8;
    SetRowHeights(row,
                  std::max(0, ChooseBound(lines * lineHeight + extra, d->size.minRowHeight, d->size.maxRowHeight)));
}

int TExtStringGrid::MaxLinesInRow(int row)
{
    int most = 1;
    if (!d->multilineCells || row < 0 || row >= RowCount()) return most;
    for (int c = 0; c < ColCount(); ++c) most = std::max(most, CountLines(GetCellText(RealColIndex(c), row), true));
    return most;
}
