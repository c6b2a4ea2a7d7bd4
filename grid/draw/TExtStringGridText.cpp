// The text painter of the string grid. DrawCellText runs the steps every
// cell shares (selection colours, the background and its bitmap, the filter
// glyph, the selection rectangle, the margins and the room of the graphic)
// and hands the narrowed rectangle to the painter of the text's kind: plain
// text (formulas included), HTML or rich text. Each painter reads and
// completes the cell's paint options.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLDraw.h"
#include "controls/HTMLText.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/draw/CellPaint_p.h"
#include "grid/draw/PaintSteps_p.h"
#include "grid/draw/RichTextRuns_p.h"
#include "grid/draw/TGridGlyphs.h"
#include "grid/text/CellLines.h"
#include "grid/text/CellLinks.h"
#include "grid/text/CellText.h"
#include "grid/draw/CellDrawing.h"
#include "grid/text/TextChars.h"
#include "platform/text/RtfReader.h"

#include <algorithm>

namespace {

constexpr unsigned kHAlignFormat[] = {Win::DT_LEFT, Win::DT_RIGHT, Win::DT_CENTER};
constexpr unsigned kVAlignFormat[] = {Win::DT_TOP, Win::DT_VCENTER, Win::DT_BOTTOM};

// The sort glyph's y in a box by the vertical alignment.
int SortGlyphY(const TRect& box, TVAlignment vAlign)
{
    switch (vAlign) {
    case vtaTop: return box.Top + 8;
    case vtaCenter: return box.Top + box.Height() / 2;
    case vtaBottom: return box.Bottom - 8;
    }
    return box.Top + 8;
}

// Line breaks as the grid keeps them: CR LF and a lone LF read as CR.
QString WithGridLineBreaks(const QString& text)
{
    if (!text.contains(QLatin1Char('\n'))) return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    out.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return out;
}

} // namespace

bool TExtStringGrid::SortGlyphInCell(int rcol, int row)
{
    const TSortSettings& ss = d->sortSettings;
    if (!ss.Show || row != ss.Row() || RowCount() <= 2 || FixedRows() <= 0) return false;
    if (rcol < FixedCols() && !ss.FixedCols) return false;
    const int position = d->sort.indexes.FindIndex(rcol);
    if (rcol != ss.Column && position < 0) return false;
    // Without IndexShow only the first sort column shows its glyph.
    return ss.IndexShow || position <= 0;
}

void TExtStringGrid::PaintSteps::TextColours(TExtStringGrid& grid, TCanvas& canvas, TCellPaintOptions& o)
{
    const TExtStringGridPrivate& d = *grid.d;
    const int rcol = o.col, row = o.row;
    o.linkColor = d.urlColor;
    const TGridOptions options = grid.Options();
    const bool focusedCell = o.state.Contains(TGridDrawStateItem::gdFocused);
    const bool rowMarked =
        grid.IsRowSelected(row) && options.Contains(TGridOption::goRowSelect) && rcol >= grid.FixedCols();
    o.selectionColours = (o.state.Contains(TGridDrawStateItem::gdSelected) || rowMarked) &&
        (!focusedCell || options.Contains(TGridOption::goDrawFocusSelected));
    if (o.selectionColours && d.showSelection) {
        if (d.selectionColor != clNone) canvas.Brush().SetColor(d.selectionColor);
        if (d.selectionTextColor != clNone) canvas.Font().SetColor(d.selectionTextColor);
        o.linkColor = d.selectionTextColor;
    } else if (o.selectionColours && (!grid.hasFocus() || grid.IsCheckBoxCell(rcol, row))) {
        canvas.Brush().SetColor(o.savedBrush);
        canvas.Font().SetColor(o.savedFont);
        o.linkColor = d.urlColor;
    }
}

void TExtStringGrid::PaintSteps::ReadText(TExtStringGrid& grid, TCellPaintOptions& o)
{
    const int rcol = o.col, row = o.row;
    grid.GetCellDisplayText(rcol, row, o.text);
    o.kind = GetTextKind(o.text, grid.d->enableHTML);
    if (o.kind == tkFormula) grid.GetCellRawValue(rcol, row, o.text);
    bool password = false;
    grid.IsPasswordCell(rcol, row, password);
    if (password) FillChars(o.text, grid.d->edit.passwordChar);
    o.filterGlyph = row == 0 && grid.HasColumnFilter(rcol);
}

void TExtStringGrid::PaintSteps::UnmarkedColours(TExtStringGrid& grid, TCanvas& canvas, TCellPaintOptions& o)
{
    const int rcol = o.col, row = o.row;
    const TExtStringGridPrivate& d = *grid.d;
    const TMouseActions& ma = d.mouseActions;
    if (rcol >= grid.FixedCols() && row >= grid.FixedRows() && !d.draw.mouseSelecting &&
        ((ma.DisjunctRowSelect && !grid.IsRowSelected(row)) || (ma.DisjunctColSelect && !grid.IsColSelected(rcol)))) {
        o.linkColor = d.urlColor;
        canvas.Brush().SetColor(grid.Color());
        canvas.Font().SetColor(grid.Font().Color());
        grid.GetCellColor(rcol, row, o.state, canvas.Brush(), canvas.Font());
    }
}

TRect TExtStringGrid::PaintSteps::TextRoom(TExtStringGrid& grid, TCellPaintOptions& o)
{
    TRect r = o.rect;
    r.Left += grid.d->draw.marginX;
    r.Right -= grid.d->draw.marginX;
    r.Top += grid.d->draw.marginY;
    if (!o.graphic) return r;
    const TCellHAlign gh = o.graphicHAlign;
    const bool sideAligned = o.hAlign == taLeftJustify || o.hAlign == taRightJustify;
    if (gh == haBeforeText && sideAligned) r.Left += o.graphicWidth;
    if (gh == haAfterText && sideAligned) r.Right -= o.graphicWidth;
    if (o.graphicVAlign == vaAboveText) r.Top += o.graphicHeight;
    if (o.graphicVAlign == vaUnderText) r.Bottom -= o.graphicHeight;
    if (gh == haLeft || (gh == haBeforeText && o.hAlign == taLeftJustify)) o.sortGlyphOffset = o.graphicWidth;
    return r;
}

void TExtStringGrid::DrawCellText(TCanvas& canvas, TCellPaintOptions& o)
{
    PaintSteps::TextColours(*this, canvas, o);
    PaintSteps::ReadText(*this, o);
    // With disjunct selection only the marked rows (columns) look selected:
    // a cell of an unmarked one takes the grid's colours and its colour
    // hook again, whatever the selection rectangle holds.
    PaintSteps::UnmarkedColours(*this, canvas, o);

    PaintCellBackground(canvas, o);
    if (o.filterGlyph)
        DrawResourceBitmap(canvas, FixedColor(), TRect(o.rect.Right - 16, o.rect.Top, o.rect.Right, o.rect.Bottom),
                           QStringLiteral("ESGFILT"));
    PaintSelectionEdges(canvas, o);

    o.textExtent = 0;
    if (!o.drawText) return;

    const TRect r = PaintSteps::TextRoom(*this, o);
    o.sortGlyph = SortGlyphInCell(o.col, o.row);

    switch (o.kind) {
    case tkHTML: PaintHTMLText(canvas, o, r); break;
    case tkRichText: PaintRichText(canvas, o, r); break;
    default: PaintPlainText(canvas, o, r); break;
    }
}

void TExtStringGrid::PaintCellBackground(TCanvas& canvas, const TCellPaintOptions& o)
{
    const TRect& rect = o.rect;
    const TBackGround& bg = d->backGround;
    const bool fixedCell = o.col < FixedCols() || o.row < FixedRows();
    const bool bitmapHere = !bg.Bitmap.Empty() && (fixedCell ? bg.Cells() != bcNormal : bg.Cells() != bcFixed) &&
        !(d->showSelection && o.selectionColours);
    if (!o.backgroundPainted) canvas.FillRect(rect);
    if (!bitmapHere) return;
    const QImage& img = bg.Bitmap.Image();
    if (bg.Display() == bdFixed) {
        const TRect place = Bounds(bg.Left(), bg.Top(), img.width(), img.height());
        const TRect part = place.Intersected(rect);
        if (!part.IsEmpty()) canvas.DrawImage(part, img, part.Offsetted(-place.Left, -place.Top));
    } else if (img.width() > 0 && img.height() > 0) {
        // Tiles continue from cell to cell: the offset into the bitmap is
        // the cell's position from the first scrolling cell.
        const int originX = bg.Cells() == bcNormal ? FixedColsWidth() : 0;
        const int originY = bg.Cells() == bcNormal ? FixedRowsHeight() : 0;
        int ox = (rect.Left - originX) % img.width();
        int oy = (rect.Top - originY) % img.height();
        if (ox < 0) ox += img.width();
        if (oy < 0) oy += img.height();
        for (int y = rect.Top - oy; y < rect.Bottom; y += img.height())
            for (int x = rect.Left - ox; x < rect.Right; x += img.width()) {
                const TRect tile = Bounds(x, y, img.width(), img.height()).Intersected(rect);
                if (!tile.IsEmpty()) canvas.DrawImage(tile, img, tile.Offsetted(-x, -y));
            }
    }
    canvas.SetBkMode(Win::TRANSPARENT);
}

void TExtStringGrid::PaintSelectionEdges(TCanvas& canvas, const TCellPaintOptions& o)
{
    if (!d->selectionRectangle) return;
    const int dc = DisplColIndex(o.col);
    const int row = o.row;
    const TGridRect sel = Selection();
    if (!sel.Contains(dc, row)) return;
    const TPen saved = canvas.Pen();
    canvas.Pen().SetWidth(2);
    canvas.Pen().SetColor(d->draw.selectionRectColor);
    const int g = GridLineWidth();
    const TRect& r = o.rect;
    if (dc == sel.Left) {
        canvas.MoveTo(r.Left + 1 - g, r.Bottom - 1);
        canvas.LineTo(r.Left + 1 - g, r.Top + 1 - g);
    }
    if (dc == sel.Right) {
        canvas.MoveTo(r.Right - 1, r.Bottom - 1);
        canvas.LineTo(r.Right - 1, r.Top + 1 - g);
    }
    if (row == sel.Top) {
        canvas.MoveTo(r.Left + 1 - g, r.Top + 1 - g);
        canvas.LineTo(r.Right - 1, r.Top + 1 - g);
    }
    if (row == sel.Bottom) {
        canvas.MoveTo(r.Left + 1 - g, r.Bottom - 1);
        canvas.LineTo(r.Right - 1, r.Bottom - 1);
    }
    if (d->selectionResizer && dc == sel.Right && row == sel.Bottom) {
        canvas.Brush().SetColor(d->draw.selectionRectColor);
        canvas.FillRect(TRect(r.Right - 4, r.Bottom - 4, r.Right, r.Bottom));
    }
    canvas.Pen() = saved;
}

void TExtStringGrid::PaintHTMLText(TCanvas& canvas, TCellPaintOptions& o, TRect r)
{
    if (o.filterGlyph) r.Right -= 18;
    if (o.sortGlyph) r.Right -= 10;
    THTMLDrawOptions h;
    h.Images = d->gridImages.get();
    h.XPos = r.Left;
    h.YPos = r.Top;
    h.FocusLink = -1;
    h.HoverLink = 0;
    h.ShadowOffset = 1;
    h.Blink = d->draw.blinkPhase;
    h.WordWrap = !d->enhTextSize;
    h.Down = d->draw.htmlButtonDown;
    h.ResFactor = 0;
    h.URLColor = o.linkColor;
    h.ShadowColor = clGray;
    h.PictureCache = d->draw.pictureCache.get();
    h.PictureContainer = d->pictureContainer;
    h.Window = this;
    THTMLDrawResults res;
    HTMLDraw(canvas, o.text, r, h, res);
    if (o.sortGlyph) DrawSortGlyph(canvas, o.col, SortGlyphY(r, o.vAlign), r.Right + 2);
    o.textExtent = res.XSize + 2;
}

void TExtStringGrid::PaintRichText(TCanvas& canvas, TCellPaintOptions& o, TRect r)
{
    canvas.Pen().SetColor(canvas.Brush().Color());
    const bool unfocusedSelection = o.selectionColours && !o.state.Contains(TGridDrawStateItem::gdFocused);
    if (!(unfocusedSelection && d->selectionColor == clNone)) canvas.FillRect(r);
    TRtfDocument document;
    try {
        document = TRtfReader::Read(o.text.toLatin1());
    } catch (const Exception&) {
        document = TRtfDocument(); // rich text that does not read shows nothing
    }
    // A selected cell shows its text in the selection's text colour, unless
    // the cell keeps its own colours.
    const TMouseActions& ma = d->mouseActions;
    const int dc = DisplColIndex(o.col);
    const bool focusedCurrent =
        dc == Col() && o.row == Row() && hasFocus() && !Options().Contains(TGridOption::goDrawFocusSelected);
    const bool selected = (Selection().Contains(dc, o.row) && !focusedCurrent && !ma.DisjunctRowSelect) ||
        (ma.DisjunctRowSelect && IsRowSelected(o.row)) || (ma.DisjunctColSelect && IsColSelected(o.col));
    TRichTextLook look;
    look.zoom = d->draw.zoom;
    if (selected && !d->selectionRTFKeep) look.overrideColor = d->selectionTextColor;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    DrawRichTextRuns(canvas, document, r, look);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Font().SetColor(clBlack);
}

void TExtStringGrid::PaintPlainText(TCanvas& canvas, TCellPaintOptions& o, TRect r)
{
    const TSortSettings& ss = d->sortSettings;
    const int rcol = o.col, row = o.row;
    if (o.hAlign == taCenter && o.sortGlyph) r.Left += 10;
    const int sortRoom = (ss.Show && row == 0 && rcol == ss.Column) ? 14 : 0;
    QString shown = WithGridLineBreaks(o.text);
    const bool url = d->urlShow && IsURL(GetCellText(rcol, row));
    if (url) {
        if (!d->urlFull) StripURLProtocol(shown);
        canvas.Font().SetStyle(canvas.Font().Style() + TFontStyle::fsUnderline);
        canvas.Font().SetColor(o.linkColor);
    }
    // The format is made for this cell alone, never kept between grids.
    unsigned format = Win::DT_EDITCONTROL;
    if (CountLines(shown, d->multilineCells) == 1 && !d->wordWrap) {
        QString first;
        CutFirstLine(shown, false, first);
        shown = first;
        format = Win::DT_SINGLELINE;
        if (d->enhTextSize) format |= Win::DT_END_ELLIPSIS;
    }
    d->draw.lastVFormat = kVAlignFormat[o.vAlign];
    format |= Win::DT_EXPANDTABS | Win::DT_NOPREFIX | (d->wordWrap ? Win::DT_WORDBREAK | Win::DT_EDITCONTROL : 0u) |
        kHAlignFormat[o.hAlign] | kVAlignFormat[o.vAlign];
    canvas.SetBkMode(Win::TRANSPARENT);
    if (o.hAlign == taLeftJustify)
        r.Right -= sortRoom;
    else
        r.Left += sortRoom;
    if (o.filterGlyph) r.Right -= 16;
    if (o.graphic && !shown.isEmpty()) {
        TRect m = r;
        canvas.DrawText(shown, m, format | Win::DT_CALCRECT);
        o.textExtent = m.Width() + 2;
    }
    canvas.DrawText(shown, r, format);
    const int textH = canvas.TextHeight(QStringLiteral("hg"));
    const int errFrom = o.graphic ? o.graphic->CellErrFrom : 0;
    const int errLen = o.graphic ? o.graphic->CellErrLen : 0;
    if (errLen > 0) {
        const TPen saved = canvas.Pen();
        DrawErrorUnderline(canvas, shown, r, textH, errFrom, errLen);
        canvas.Pen() = saved;
    }
    d->draw.textHeight = textH;
    if (o.sortGlyph) {
        TRect box = o.rect;
        if (o.filterGlyph) box.Right -= 16;
        const int w = MaxOf(0, MinOf(canvas.TextWidth(shown), box.Width() - 16));
        int x = box.Left + 8;
        if (o.hAlign == taLeftJustify)
            x = box.Left + w + 10 + o.sortGlyphOffset;
        else if (o.hAlign == taRightJustify)
            x = box.Right - w - 10;
        DrawSortGlyph(canvas, rcol, SortGlyphY(box, o.vAlign), x);
    }
    if (url) canvas.Font().SetStyle(canvas.Font().Style() - TFontStyle::fsUnderline);
}
