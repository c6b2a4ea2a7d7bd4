// Automatic sizing: a column to its widest cell, a row to its tallest,
// measured the way the cells are drawn (font, graphic, HTML, rich text,
// rotated text and lines), and row heights in text lines.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLDraw.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/draw/CellDrawing.h"
#include "grid/text/CellLines.h"
#include "grid/text/CellLinks.h"
#include "grid/text/CellText.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/text/RtfReader.h"

#include <QImage>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

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

namespace {

const QRegularExpression& LineBreak()
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return lineBreak;
}

// Lines of lineHeight each; a line wider than wrapWidth (when above 0)
// takes as many lines as it fills.
void AddLine(TSize& size, int width, int lineHeight, int wrapWidth)
{
    if (wrapWidth > 0 && width > wrapWidth) {
        size.cx = std::max(size.cx, wrapWidth);
        size.cy += (width + wrapWidth - 1) / wrapWidth * lineHeight;
    } else {
        size.cx = std::max(size.cx, width);
        size.cy += lineHeight;
    }
}

// Rich text as it is drawn: each run in its own size and style of the
// cell's face, paragraphs and line breaks on lines of their own.
TSize MeasureRichText(TCanvas& canvas, const QString& text, int wrapWidth)
{
    TRtfDocument doc;
    try {
        doc = TRtfReader::Read(text.toLatin1());
    } catch (const Exception&) {
        return TSize{0, 0}; // rich text that does not read shows nothing
    }
    const TFont cellFont = canvas.Font();
    const int plainHeight = canvas.TextHeight(QStringLiteral("gh"));
    TSize size{0, 0};
    int width = 0;
    int height = 0;
    const auto endLine = [&] {
        AddLine(size, width, height > 0 ? height : plainHeight, wrapWidth);
        width = 0;
        height = 0;
    };
    for (const TRtfParagraph& p : doc.Paragraphs) {
        for (const TRtfRun& run : p.Runs) {
            TFont f = cellFont;
            f.SetSize(std::max(1, run.HalfPoints / 2));
            TFontStyles style;
            if (run.Bold) style = style + TFontStyle::fsBold;
            if (run.Italic) style = style + TFontStyle::fsItalic;
            if (run.Underline) style = style + TFontStyle::fsUnderline;
            f.SetStyle(style);
            canvas.Font() = f;
            const int runHeight = canvas.TextHeight(QStringLiteral("gh"));
            const QStringList pieces = run.Text.split(LineBreak());
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                if (i > 0) endLine();
                width += canvas.TextWidth(pieces[i]);
                height = std::max(height, runHeight);
            }
        }
        endLine();
    }
    canvas.Font() = cellFont;
    return size;
}

// The box a text of w x h turned by angle degrees takes, with the room the
// painter leaves round rotated text.
TSize RotatedSize(TSize size, int angle)
{
    const double a = angle * M_PI / 180.0;
    const int cw = std::abs(int(std::lround(std::cos(a) * size.cx)));
    const int sh = std::abs(int(std::lround(std::sin(a) * size.cy)));
    const int sw = std::abs(int(std::lround(std::sin(a) * size.cx)));
    const int ch = std::abs(int(std::lround(std::cos(a) * size.cy)));
    return TSize{cw + sh + 12, sw + ch + 12};
}

} // namespace

void SetMeasureFont(TExtStringGrid& grid, TExtStringGridPrivate& d, TCanvas& canvas, int rcol, int row)
{
    const int col = grid.DisplColIndex(rcol);
    const bool fixed = col < grid.FixedCols() || row < grid.FixedRows();
    TFont font = fixed ? d.fixedFont : grid.Font();
    TBrush brush;
    grid.GetCellColor(rcol, row, fixed ? TGridDrawState{TGridDrawStateItem::gdFixed} : TGridDrawState{}, brush, font);
    font.SetSize(font.Size() + d.draw.zoom);
    if (!(canvas.Font() == font)) canvas.Font() = font;
}

TSize MeasureCellText(TExtStringGrid& grid, TExtStringGridPrivate& d, TCanvas& canvas, int col, int row, int wrapWidth)
{
    const int rc = grid.RealColIndex(col);
    if (rc < 0) return TSize{0, 0};
    SetMeasureFont(grid, d, canvas, rc, row);
    QString text;
    grid.GetCellDisplayText(rc, row, text);
    if (text.isEmpty()) return TSize{0, 0};
    const int kind = GetTextKind(text, d.enableHTML);
    if (kind == tkFormula) grid.GetCellRawValue(rc, row, text);
    int angle = 0;
    const bool rotated = grid.GetRotatedAngle(rc, row, angle);
    if (rotated) wrapWidth = 0;
    TSize size{0, 0};
    if (kind == tkHTML) {
        THTMLDrawOptions o;
        o.CheckHeight = true;
        o.WordWrap = wrapWidth > 0;
        o.Images = d.gridImages.get();
        o.PictureCache = d.draw.pictureCache.get();
        o.PictureContainer = d.pictureContainer;
        THTMLDrawResults res;
        const int w = wrapWidth > 0 ? wrapWidth : 0x7FFF;
        HTMLDraw(canvas, text, TRect(0, 0, w, 0x7FFF), o, res);
        size = TSize{res.XSize, res.YSize};
    } else if (kind == tkRichText) {
        size = MeasureRichText(canvas, text, wrapWidth);
    } else {
        const bool multi = d.multilineCells || wrapWidth > 0;
        const QStringList lines = multi ? text.split(LineBreak()) : QStringList{text};
        const int lineHeight = canvas.TextHeight(QStringLiteral("gh"));
        const bool stripURL = d.urlShow && !d.urlFull && kind == tkPlain;
        for (QString line : lines) {
            if (stripURL && IsURL(line)) StripURLProtocol(line);
            AddLine(size, canvas.TextWidth(line), lineHeight, wrapWidth);
        }
    }
    return rotated ? RotatedSize(size, angle) : size;
}

void TExtStringGrid::GetCellTextSize(int col, int row, TSize& size, bool wrapToColumn)
{
    size = TSize{0, 0};
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return;
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    const int h = d->draw.marginX;
    const int v = d->draw.marginY;
    const int wrap = wrapToColumn ? std::max(1, GetCellRect(col, row).Width() - 2 * (2 + h)) : 0;
    size = MeasureCellText(*this, *d, canvas, col, row, wrap);
    size.cx += 2 * h;
    size.cy += 2 * v;
}

void TExtStringGrid::AutoSizeCol(int col) { AutoSizeCol(col, d->size.growOnly); }

void TExtStringGrid::AutoSizeCol(int col, bool growOnly)
{
    if (col < 0 || col >= ColCount()) return;
    const int rc = RealColIndex(col);
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    const int lines = d->draw.marginX + 2 * (GridLineWidth() + 1);
    int widest = 0;
    for (int r = 0; r < RowCount(); ++r) {
        if (IsXMergedCell(rc, r)) continue;
        int width = MeasureCellText(*this, *d, canvas, col, r, 0).cx;
        const TCellGraphic* g = GetCellGraphic(rc, r);
        if (g && g->CellVAlign == vaFull)
            width -= lines;
        else if (g)
            width += GetCellGraphicSize(rc, r).X;
        widest = std::max(widest, width);
    }
    int width = widest + lines;
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
        int height = MeasureCellText(*this, *d, canvas, c, row, wrap).cy;
        if (GetCellGraphic(rc, row)) {
            // A graphic above or under the text adds to it; beside it, the
            // taller of the two counts.
            const int gh = GetCellGraphicSize(rc, row).Y;
            const TCellVAlign va = GetCellGraphic(rc, row)->CellVAlign;
            height = va == vaAboveText || va == vaUnderText ? height + gh : std::max(height, gh);
        }
        tallest = std::max(tallest, height);
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
