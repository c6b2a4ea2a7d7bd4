// The text painter of the string grid: selection colours, the background
// bitmap, the selection rectangle, the filter and sort glyphs, and the cell
// text drawn as plain text, HTML, rich text or wide text.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLDraw.h"
#include "controls/HTMLText.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/draw/TGridGlyphs.h"
#include "grid/util/CellText.h"
#include "grid/util/TextFunctions.h"
#include "platform/text/RtfReader.h"

#include <algorithm>

namespace {

constexpr unsigned kHAlignFormat[] = {Win::DT_LEFT, Win::DT_RIGHT, Win::DT_CENTER};
constexpr unsigned kVAlignFormat[] = {Win::DT_TOP, Win::DT_VCENTER, Win::DT_BOTTOM};

} // namespace

void TExtStringGrid::DrawCellText(TCanvas& canvas, int rcol, int row, TGridDrawState& state, TRect rect,
                                  TAlignment hAlign, TVAlignment vAlign, TCellGraphic* graphic, TCellHAlign gh,
                                  TCellVAlign gv, bool drawText, int gw, int gheight, TColor savedBrush,
                                  TColor savedFont)
{
    TColor link = d->urlColor;
    const bool focusedCell = state.Contains(TGridDrawStateItem::gdFocused);
    const bool rowMarked = IsRowSelected(row) && Options().Contains(TGridOption::goRowSelect) && rcol >= FixedCols();
    bool selColours = (state.Contains(TGridDrawStateItem::gdSelected) || rowMarked) &&
                      (!focusedCell || Options().Contains(TGridOption::goDrawFocusSelected));
    if (selColours && d->showSelection) {
        if (d->selectionColor != clNone) canvas.Brush().SetColor(d->selectionColor);
        if (d->selectionTextColor != clNone) canvas.Font().SetColor(d->selectionTextColor);
        link = d->selectionTextColor;
    } else if (selColours && (!hasFocus() || IsCheckBoxCell(rcol, row))) {
        canvas.Brush().SetColor(savedBrush);
        canvas.Font().SetColor(savedFont);
        link = d->urlColor;
    }

    QString text;
    GetCellDisplayText(rcol, row, text);
    const int kind = GetTextKind(text, d->enableHTML);
    if (kind == tkFormula) GetCellRawValue(rcol, row, text);
    const int errFrom = graphic ? graphic->CellErrFrom : 0;
    const int errLen = graphic ? graphic->CellErrLen : 0;
    bool password = false;
    IsPasswordCell(rcol, row, password);
    if (password) text = QString(text.size(), d->draw.passwordChar);

    const bool filterGlyph = row == 0 && HasColumnFilter(rcol);
    const bool fixedCell = rcol < FixedCols() || row < FixedRows();

    // The background: the brush over the cell, or the background bitmap.
    const TBackGround& bg = d->backGround;
    const bool bitmapHere = !bg.Bitmap.Empty() &&
                            (fixedCell ? bg.Cells != bcNormal : bg.Cells != bcFixed) &&
                            !(d->showSelection && selColours);
    canvas.FillRect(rect);
    if (bitmapHere) {
        const QImage& img = bg.Bitmap.Image();
        if (bg.Display == bdFixed) {
            const TRect place = Bounds(bg.Left, bg.Top, img.width(), img.height());
            const TRect part = place.Intersected(rect);
            if (!part.IsEmpty())
                canvas.DrawImage(part, img, part.Offsetted(-place.Left, -place.Top));
        } else if (img.width() > 0 && img.height() > 0) {
            // Tiles continue from cell to cell: the offset into the bitmap is
            // the cell's position from the first scrolling cell.
            const int originX = bg.Cells == bcNormal ? FixedColsWidth() : 0;
            const int originY = bg.Cells == bcNormal ? FixedRowsHeight() : 0;
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
    if (filterGlyph) {
        const TColor b = canvas.Brush().Color();
        canvas.Brush().SetColor(FixedColor());
        TGridGlyphs::DrawResource(canvas, TRect(rect.Right - 16, rect.Top, rect.Right, rect.Bottom),
                                  QStringLiteral("ESGFILT"));
        canvas.Brush().SetColor(b);
    }

    // The selection rectangle's edges through this cell.
    if (d->selectionRectangle) {
        const int dc = DisplColIndex(rcol);
        const TGridRect sel = Selection();
        if (sel.Contains(dc, row)) {
            const TPen saved = canvas.Pen();
            canvas.Pen().SetWidth(2);
            canvas.Pen().SetColor(d->draw.selectionRectColor);
            const int g = GridLineWidth();
            const TRect& r = rect;
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
    }

    d->draw.textExtent = 0;
    if (!drawText) return;

    TRect r = rect;
    r.Left += d->draw.marginX;
    r.Right -= d->draw.marginX;
    r.Top += d->draw.marginY;
    const int textH = canvas.TextHeight(QStringLiteral("hg"));
    int glyphOffset = 0;
    if (graphic) {
        if (gh == haBeforeText && (hAlign == taLeftJustify || hAlign == taRightJustify)) r.Left += gw;
        if (gh == haAfterText && (hAlign == taLeftJustify || hAlign == taRightJustify)) r.Right -= gw;
        if (gv == vaAboveText) r.Top += gheight;
        if (gv == vaUnderText) r.Bottom -= gheight;
        if (gh == haLeft || (gh == haBeforeText && hAlign == taLeftJustify)) glyphOffset = gw;
    }

    // Whether the sort glyph goes into this cell.
    const TSortSettings& ss = d->sortSettings;
    const bool sortHere = ss.Show && row == ss.Row() && RowCount() > 2 && rcol == ss.Column && FixedRows() > 0 &&
                          (rcol >= FixedCols() || ss.FixedCols);
    auto sortY = [&](const TRect& box) {
        switch (vAlign) {
        case vtaTop: return box.Top + 8;
        case vtaCenter: return box.Top + box.Height() / 2;
        case vtaBottom: return box.Bottom - 8;
        }
        return box.Top + 8;
    };

    switch (kind) {
    case tkHTML: {
        if (filterGlyph) r.Right -= 18;
        if (sortHere) r.Right -= 10;
        THTMLDrawOptions o;
        o.Images = d->gridImages;
        o.XPos = r.Left;
        o.YPos = r.Top;
        o.FocusLink = -1;
        o.HoverLink = 0;
        o.ShadowOffset = 1;
        o.Blink = d->draw.blinkPhase;
        o.WordWrap = !d->enhTextSize;
        o.Down = d->draw.htmlButtonDown;
        o.ResFactor = 0;
        o.URLColor = link;
        o.ShadowColor = clGray;
        o.PictureCache = d->draw.pictureCache.get();
        o.PictureContainer = d->pictureContainer;
        o.Window = this;
        THTMLDrawResults res;
        HTMLDraw(canvas, text, r, o, res);
        if (sortHere) DrawSortGlyph(canvas, rcol, sortY(r), r.Right + 2);
        d->draw.textExtent = res.XSize + 2;
        break;
    }
    case tkRichText:
    case tkWideText: {
        canvas.Pen().SetColor(canvas.Brush().Color());
        if (!(selColours && !focusedCell && d->selectionColor == clNone)) canvas.FillRect(r);
        unsigned format = kVAlignFormat[vAlign] | kHAlignFormat[hAlign];
        QString shown;
        if (kind == tkRichText) {
            try {
                shown = TRtfReader::Read(text.toLatin1()).PlainText();
            } catch (const Exception&) {
                shown.clear(); // rich text that does not read shows nothing
            }
            canvas.Font().SetColor(clBlack);
            format |= Win::DT_NOPREFIX | Win::DT_WORDBREAK;
        } else {
            shown = GetWideCellText(rcol, row);
            format |= (d->wordWrap || d->multilineCells) ? Win::DT_NOPREFIX : (Win::DT_END_ELLIPSIS | Win::DT_NOPREFIX | Win::DT_SINGLELINE);
        }
        canvas.SetBkMode(Win::TRANSPARENT);
        canvas.DrawText(shown, r, format);
        break;
    }
    default: {
        if (hAlign == taCenter && sortHere) r.Left += 10;
        const int sortRoom = (ss.Show && row == 0 && rcol == ss.Column) ? 14 : 0;
        QString shown = text;
        const bool url = d->urlShow && IsURL(GetCellText(rcol, row));
        if (url) {
            if (!d->urlFull) StripURLProtocol(shown);
            canvas.Font().SetStyle(canvas.Font().Style() + TFontStyle::fsUnderline);
            canvas.Font().SetColor(link);
        }
        // The format is made for this cell alone, never kept between grids.
        unsigned format = Win::DT_EDITCONTROL;
        const bool singleLine = !d->multilineCells || !shown.contains(QLatin1Char('\n'));
        if (singleLine && !d->wordWrap) {
            const qsizetype br = shown.indexOf(QLatin1Char('\r')) >= 0 ? shown.indexOf(QLatin1Char('\r'))
                                                                        : shown.indexOf(QLatin1Char('\n'));
            if (br >= 0) shown.truncate(br);
            format = Win::DT_SINGLELINE;
            if (d->enhTextSize) format |= Win::DT_END_ELLIPSIS;
        }
        d->draw.lastVFormat = kVAlignFormat[vAlign];
        format |= Win::DT_EXPANDTABS | Win::DT_NOPREFIX | (d->wordWrap ? Win::DT_WORDBREAK | Win::DT_EDITCONTROL : 0u) |
                  kHAlignFormat[hAlign] | kVAlignFormat[vAlign];
        canvas.SetBkMode(Win::TRANSPARENT);
        if (hAlign == taLeftJustify) r.Right -= sortRoom;
        else r.Left += sortRoom;
        if (filterGlyph) r.Right -= 16;
        if (graphic && !shown.isEmpty()) {
            TRect m = r;
            canvas.DrawText(shown, m, format | Win::DT_CALCRECT);
            d->draw.textExtent = m.Width() + 2;
        }
        canvas.DrawText(shown, r, format);
        if (errLen > 0) {
            // The marked range underlined in red on the text's baseline.
            const int from = std::clamp(errFrom, 0, int(shown.size()));
            const int len = std::clamp(errLen, 0, int(shown.size()) - from);
            const int x = r.Left + canvas.TextWidth(shown.left(from));
            const int w = canvas.TextWidth(shown.mid(from, len));
            const int y = std::min(r.Bottom - 1, r.Top + textH);
            const TPen saved = canvas.Pen();
            canvas.Pen().SetColor(clRed);
            canvas.MoveTo(x, y);
            canvas.LineTo(x + w, y);
            canvas.Pen() = saved;
        }
        d->draw.textHeight = textH;
        if (sortHere) {
            TRect box = rect;
            if (filterGlyph) box.Right -= 16;
            const int w = std::max(0, std::min(canvas.TextWidth(shown), box.Width() - 16));
            int x = box.Left + 8;
            if (hAlign == taLeftJustify) x = box.Left + w + 10 + glyphOffset;
            else if (hAlign == taRightJustify) x = box.Right - w - 10;
            DrawSortGlyph(canvas, rcol, sortY(box), x);
        }
        if (url) canvas.Font().SetStyle(canvas.Font().Style() - TFontStyle::fsUnderline);
        break;
    }
    }
}
