// The graphic painter of the string grid: the graphic's place in the cell,
// handed to the painter of its kind (GraphicPainters.cpp); the check boxes,
// radio groups, rotated text origin and sort glyph those painters and the
// text painter draw with.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/draw/CellPaint_p.h"
#include "grid/draw/GraphicPainters_p.h"
#include "grid/draw/TGridGlyphs.h"
#include "grid/draw/CellDrawing.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Themes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The resource of a check box or radio button in the bitmap styles.
QString CheckGlyphName(bool radio, bool on, bool enabled, TControlStyle style)
{
    int n = on ? 1 : 2;
    if (!enabled) n += 2;
    if (style == csBrevon) n += 4;
    return QStringLiteral("%1%2").arg(radio ? QStringLiteral("ESGRAD0") : QStringLiteral("ESGCHK0")).arg(n);
}

// One button of a radio group at (x, y), s its size.
struct TRadioButton {
    int x = 0;
    int y = 0;
    int s = 16;
    bool on = false;
    bool disabled = false;
};

// The diamond of the csDUV style, with its inner mark when on.
void DrawDUVRadio(TCanvas& canvas, const TRadioButton& b, TColor mark)
{
    const int x = b.x, y = b.y;
    const TPen saved = canvas.Pen();
    canvas.Brush().SetColor(clBtnFace);
    canvas.Pen().SetColor(clBtnFace);
    canvas.Polygon({TPoint(x + 2, y + 8), TPoint(x + 8, y + 2), TPoint(x + 14, y + 8), TPoint(x + 8, y + 14)});
    canvas.Pen().SetColor(b.on ? clGray : clWhite);
    canvas.MoveTo(x + 8, y + 14);
    canvas.LineTo(x + 2, y + 8);
    canvas.LineTo(x + 8, y + 2);
    canvas.Pen().SetColor(b.on ? clWhite : clGray);
    canvas.LineTo(x + 14, y + 8);
    canvas.LineTo(x + 8, y + 14);
    if (b.on) {
        canvas.Brush().SetColor(mark);
        canvas.Pen().SetColor(mark);
        canvas.Polygon({TPoint(x + 6, y + 8), TPoint(x + 8, y + 6), TPoint(x + 10, y + 8), TPoint(x + 8, y + 10)});
    }
    canvas.Pen() = saved;
}

// A radio button in the control look's style; the theme style draws only
// with a themed window.
void DrawRadioButton(TCanvas& canvas, const TControlLook& look, const TRadioButton& b, QWidget* themedWindow)
{
    const TControlStyle style = look.ControlStyle();
    const int x = b.x, y = b.y, s = b.s;
    switch (style) {
    case csClassic:
    case csFlat: {
        unsigned st = Win::DFCS_BUTTONRADIO;
        if (style == csFlat) st |= Win::DFCS_FLAT;
        if (b.disabled) st |= Win::DFCS_INACTIVE;
        if (b.on) st |= Win::DFCS_CHECKED;
        TRect box(x, y, x + s + (style == csFlat ? 2 : 0), y + s + (style == csFlat ? 2 : 0));
        canvas.DrawFrameControl(box, Win::DFC_BUTTON, st);
        break;
    }
    case csWinXP:
    case csBrevon:
        TGridGlyphs::DrawTransparent(canvas, x, y, TGridGlyphs::Glyph(CheckGlyphName(true, b.on, !b.disabled, style)));
        break;
    case csGlyph: TGridGlyphs::DrawTransparent(canvas, x, y, b.on ? look.RadioOnGlyph() : look.RadioOffGlyph()); break;
    case csDUV: DrawDUVRadio(canvas, b, look.Color()); break;
    case csTheme:
        if (themedWindow)
            canvas.DrawThemePart(themedWindow, QStringLiteral("button"), 2,
                                 b.on ? (b.disabled ? 8 : 5) : (b.disabled ? 4 : 1), Bounds(x, y, 16, 16), nullptr);
        break;
    }
}

// The graphic's left and right in the cell (L, R) by its own alignment; e
// is the text's extent beside it.
std::pair<int, int> GraphicColumns(TCellHAlign gh, TAlignment textAlign, int L, int R, int w, int e)
{
    int x1 = L + 1;
    switch (gh) {
    case haLeft: x1 = L + 1; break;
    case haRight: x1 = R - 1 - w; break;
    case haCenter: x1 = R - L > w ? L + (R - L - w) / 2 : L + 1; break;
    case haBeforeText:
        if (textAlign == taLeftJustify)
            x1 = L + 1;
        else {
            x1 = R - e - w;
            if (x1 < L) x1 = L + 1;
        }
        break;
    case haAfterText: x1 = textAlign == taRightJustify ? R - 1 - w : L + e; break;
    case haFull: x1 = L; break;
    }
    return {x1, gh == haFull ? R : x1 + w};
}

// The graphic's top and bottom in the cell (T, B) by its own alignment.
std::pair<int, int> GraphicRows(TCellVAlign gv, int T, int B, int h)
{
    switch (gv) {
    case vaTop:
    case vaAboveText: return {T + 1, T + 1 + h};
    case vaBottom: return {B - 1 - h, B - 1};
    case vaCenter: {
        const int y1 = B - T > h ? T + (B - T - h) / 2 : T + 1;
        return {y1, y1 + h};
    }
    case vaUnderText: return {B - h, B};
    case vaFull: return {T, B};
    }
    return {T + 1, T + 1 + h};
}

} // namespace

// The graphic's place from its alignments, then the painter of its kind.
void TExtStringGrid::DrawCellGraphic(TCanvas& canvas, const TCellPaintOptions& o, TRect rect)
{
    const GraphicPainter& painter = GraphicPainter::Of(o.graphic->CellType);
    if (!painter.paint) return;
    int e = o.textExtent;
    if (e > 0) e += 2;
    const auto [x1, x2] = GraphicColumns(o.graphicHAlign, o.hAlign, rect.Left, rect.Right, o.graphicWidth, e);
    const auto [y1, y2] = GraphicRows(o.graphicVAlign, rect.Top, rect.Bottom, o.graphicHeight);
    const TImageList* images = d->gridImages.get();
    painter.paint({*this, canvas, o, *o.graphic, images, rect, TRect(x1, y1, x2, y2), e});
}

void TExtStringGrid::GetRotatedTextOrigin(TCanvas& canvas, TRect& rect, int angle, TVAlignment vAlign,
                                          TAlignment hAlign, const QString& text)
{
    // The turned text's box: the text (with one "w" of room) turned about
    // its top-left corner, which is where the text starts.
    const TSize size = canvas.TextExtent(text + QLatin1Char('w'));
    const int a = ((angle % 360) + 360) % 360;
    const double rad = a * M_PI / 180.0;
    const int cw = int(std::fabs(std::cos(rad) * size.cx));
    const int sh = int(std::fabs(std::sin(rad) * size.cy));
    const int sw = int(std::fabs(std::sin(rad) * size.cx));
    const int ch = int(std::fabs(std::cos(rad) * size.cy));
    const int boxWidth = cw + sh;
    const int boxHeight = sw + ch;
    // The start's place in the box by the quadrant the text points into.
    int dx = 0, dy = 0;
    if (a <= 90) {
        dy = sw;
    } else if (a <= 180) {
        dx = cw;
        dy = sw + ch;
    } else if (a <= 270) {
        dx = cw + sh;
        dy = ch;
    } else {
        dx = sh;
    }
    const int mx = d->draw.marginX, my = d->draw.marginY;
    int left = rect.Left + mx;
    if (hAlign == taRightJustify)
        left = rect.Right - mx - boxWidth;
    else if (hAlign == taCenter)
        left = rect.Left + (rect.Width() - boxWidth) / 2;
    int top = rect.Top + my;
    if (vAlign == vtaBottom)
        top = rect.Bottom - my - boxHeight;
    else if (vAlign == vtaCenter)
        top = rect.Top + (rect.Height() - boxHeight) / 2;
    rect.Left = left + dx;
    rect.Top = top + dy;
}

void TExtStringGrid::DrawCheckBox(TCanvas& canvas, const TRect& r, bool checked, bool enabled, TControlStyle style)
{
    const int size = d->controlLook.CheckSize();
    switch (style) {
    case csClassic:
    case csFlat: {
        unsigned st = Win::DFCS_BUTTONCHECK;
        if (checked) st |= Win::DFCS_CHECKED;
        if (style == csFlat) st |= Win::DFCS_FLAT;
        if (!enabled) st |= Win::DFCS_INACTIVE;
        const int l = r.Left + (r.Width() - size) / 2;
        const int t = r.Top + (r.Height() - size) / 2;
        TRect box = Bounds(l, t, size, size);
        canvas.DrawFrameControl(box, Win::DFC_BUTTON, st);
        break;
    }
    case csWinXP:
    case csBrevon:
        TGridGlyphs::DrawTransparent(canvas, r.Left, r.Top,
                                     TGridGlyphs::Glyph(CheckGlyphName(false, checked, enabled, style)));
        break;
    case csDUV: {
        const TPen saved = canvas.Pen();
        canvas.Brush().SetColor(enabled ? clBtnFace : clBtnShadow);
        canvas.Pen().SetColor(clBtnFace);
        canvas.Rectangle(r);
        canvas.Pen().SetColor(clBtnHighlight);
        canvas.MoveTo(r.Left, r.Bottom);
        canvas.LineTo(r.Left, r.Top);
        canvas.LineTo(r.Right, r.Top);
        canvas.Pen().SetColor(clBtnShadow);
        canvas.LineTo(r.Right, r.Bottom);
        canvas.LineTo(r.Left, r.Bottom);
        if (checked) {
            canvas.Pen().SetWidth(1);
            canvas.Pen().SetColor(enabled ? d->controlLook.Color() : clGray);
            const int x1 = r.Left, y1 = r.Top, x2 = r.Right, y2 = r.Bottom;
            canvas.MoveTo(x1 + 2, y1 + size / 2 + 1);
            canvas.LineTo(x1 + 2, y2 - 1);
            canvas.MoveTo(x1 + 3, y1 + size / 2);
            canvas.LineTo(x1 + 3, y2 - 2);
            canvas.MoveTo(x1 + 2, y2 - 1);
            canvas.LineTo(x2 - 2, y1 + 3);
            canvas.MoveTo(x1 + 3, y2 - 1);
            canvas.LineTo(x2 - 1, y1 + 3);
        }
        canvas.Pen() = saved;
        break;
    }
    case csGlyph: {
        const TBitmap& glyph = checked ? d->controlLook.CheckedGlyph() : d->controlLook.UnCheckedGlyph();
        TGridGlyphs::DrawTransparent(canvas, r.Left, r.Top, glyph);
        break;
    }
    case csTheme:
        if (d->draw.themesInUse)
            canvas.DrawThemePart(this, QStringLiteral("button"), 3, checked ? (enabled ? 5 : 8) : (enabled ? 1 : 4),
                                 Bounds(r.Left, r.Top, size, size), nullptr);
        break;
    }
}

void TExtStringGrid::DrawRadioGroup(TCanvas& canvas, const TRect& r, int count, int itemIndex, const QStringList& items,
                                    bool disabled, bool horizontal, const QString& cellText, TGridDrawState state)
{
    canvas.SetBkMode(Win::TRANSPARENT);
    const TControlLook& look = d->controlLook;
    const TControlStyle style = look.ControlStyle();
    const bool classic = style == csClassic || style == csFlat;
    const int s = classic ? look.RadioSize() : 16;
    const int h = std::max(classic ? 0 : 16, canvas.TextHeight(QStringLiteral("gh")));
    if (state.Contains(TGridDrawStateItem::gdSelected)) canvas.Font().SetColor(d->selectionTextColor);
    int widths = 0;
    for (int i = 1; i <= count; ++i) {
        const QString caption = i - 1 < items.size() ? items[i - 1] : QString();
        const bool on = (i - 1 == itemIndex) || (itemIndex == -1 && caption == cellText);
        int x, y;
        if (horizontal) {
            x = r.Left + 2 + widths + (i - 1) * s;
            y = r.Top + (r.Height() - s) / 2;
            if (!caption.isEmpty()) {
                canvas.TextOut(x + s, y - 2, caption);
                widths += canvas.TextWidth(caption);
            }
        } else if (!items.isEmpty()) {
            x = r.Left + 2;
            y = r.Top + 2 + (i - 1) * h;
            canvas.TextOut(x + s + (classic ? 4 : 2), y - 2, caption);
        } else {
            x = r.Left + (r.Width() - s) / 2;
            y = r.Top + 2 + (i - 1) * h;
        }
        DrawRadioButton(canvas, look, TRadioButton{x, y, s, on, disabled}, d->draw.themesInUse ? this : nullptr);
    }
}

void TExtStringGrid::DrawSortGlyph(TCanvas& canvas, int col, int y, int x)
{
    const TSortSettings& ss = d->sortSettings;
    if (ss.IndexShow) {
        // The column's place in the sort index list, on a triangle pointing
        // its way: descending entries take IndexUpGlyph, ascending ones
        // IndexDownGlyph.
        const TSortIndexList& list = d->sort.indexes;
        const int p = list.FindIndex(col);
        if (p < 0) return;
        const bool descending = !TSortIndexList::IsAscending(list.Item(p));
        const TBrush savedBrush = canvas.Brush();
        const TFont savedFont = canvas.Font();
        const int savedMode = canvas.BkMode();
        canvas.Brush().SetColor(ss.IndexColor);
        canvas.SetBkMode(Win::TRANSPARENT);
        canvas.Font().SetColor(clBlack);
        canvas.Font().SetSize(6);
        const bool glyphs = !ss.IndexUpGlyph.Empty() && !ss.IndexDownGlyph.Empty();
        if (glyphs)
            TGridGlyphs::DrawTransparent(canvas, x - 7, y - 7, descending ? ss.IndexUpGlyph : ss.IndexDownGlyph);
        else if (descending)
            canvas.Polygon({TPoint(x - 7, y - 5), TPoint(x + 7, y - 5), TPoint(x, y + 8)});
        else
            canvas.Polygon({TPoint(x - 6, y + 8), TPoint(x + 6, y + 8), TPoint(x, y - 4)});
        canvas.TextOut(x - 2, descending ? y - 4 : y - 2, QString::number(p + 1));
        canvas.SetBkMode(savedMode);
        canvas.Font() = savedFont;
        canvas.Brush() = savedBrush;
        return;
    }
    const TPen saved = canvas.Pen();
    canvas.Pen().SetWidth(1);
    if (ss.Direction == sdDescending) {
        if (ss.UpGlyph.Empty() || ss.DownGlyph.Empty()) {
            canvas.Pen().SetColor(clWhite);
            canvas.MoveTo(x + 4, y - 4);
            canvas.LineTo(x, y + 4);
            canvas.Pen().SetColor(clGray);
            canvas.LineTo(x - 4, y - 4);
            canvas.LineTo(x + 4, y - 4);
        } else {
            TGridGlyphs::DrawTransparent(canvas, x - 4, y - 4, ss.DownGlyph);
        }
    } else {
        if (ss.UpGlyph.Empty() || ss.DownGlyph.Empty()) {
            canvas.Pen().SetColor(clWhite);
            canvas.MoveTo(x - 4, y + 4);
            canvas.LineTo(x + 4, y + 4);
            canvas.LineTo(x, y - 4);
            canvas.Pen().SetColor(clGray);
            canvas.LineTo(x - 4, y + 4);
        } else {
            TGridGlyphs::DrawTransparent(canvas, x - 4, y - 4, ss.UpGlyph);
        }
    }
    canvas.Pen() = saved;
    canvas.Pen().SetColor(clBlack);
}
