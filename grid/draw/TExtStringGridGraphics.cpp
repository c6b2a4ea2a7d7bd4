// The graphic painter of the string grid: pictures, icons, image lists,
// check boxes, radio groups, node boxes, progress bars, buttons, rotated
// text and comment markers, and the sort glyph.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLPicture.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/draw/CellPaint_p.h"
#include "grid/draw/TGridGlyphs.h"
#include "grid/cells/TFilePicture.h"
#include "grid/draw/CellDrawing.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Themes.h"

#include <algorithm>
#include <cmath>

namespace {

// The resource of a check box or radio button in the bitmap styles.
QString CheckGlyphName(bool radio, bool on, bool enabled, TControlStyle style)
{
    int n = on ? 1 : 2;
    if (!enabled) n += 2;
    if (style == csBrevon) n += 4;
    return QStringLiteral("%1%2").arg(radio ? QStringLiteral("ESGRAD0") : QStringLiteral("ESGCHK0")).arg(n);
}

// An integer cell text; anything else counts 0 while painting.
int PaintInteger(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

} // namespace

void TExtStringGrid::DrawCellGraphic(TCanvas& canvas, const TCellPaintOptions& o, TRect rect)
{
    const int rcol = o.col, row = o.row;
    const TGridDrawState state = o.state;
    TCellGraphic* g = o.graphic;
    const TCellHAlign gh = o.graphicHAlign;
    const TCellVAlign gv = o.graphicVAlign;
    const int w = o.graphicWidth, h = o.graphicHeight;
    const TAlignment hAlign = o.hAlign;
    const int L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
    int e = o.textExtent;
    if (e > 0) e += 2;
    int x1 = L + 1;
    switch (gh) {
    case haLeft: x1 = L + 1; break;
    case haRight: x1 = R - 1 - w; break;
    case haCenter: x1 = R - L > w ? L + (R - L - w) / 2 : L + 1; break;
    case haBeforeText:
        if (hAlign == taLeftJustify)
            x1 = L + 1;
        else {
            x1 = R - e - w;
            if (x1 < L) x1 = L + 1;
        }
        break;
    case haAfterText: x1 = hAlign == taRightJustify ? R - 1 - w : L + e; break;
    case haFull: x1 = L; break;
    }
    int x2 = gh == haFull ? R : x1 + w;
    int y1 = T + 1;
    switch (gv) {
    case vaTop:
    case vaAboveText: y1 = T + 1; break;
    case vaBottom: y1 = B - 1 - h; break;
    case vaCenter: y1 = B - T > h ? T + (B - T - h) / 2 : T + 1; break;
    case vaUnderText: y1 = B - h; break;
    case vaFull: y1 = T; break;
    }
    int y2 = gv == vaFull ? B : y1 + h;
    if (gv == vaBottom) y2 = B - 1;
    if (gv == vaUnderText) y2 = B;

    const TImageList* images = d->gridImages.get();
    const int dc = DisplColIndex(rcol);
    bool enabled = true;
    switch (g->CellType) {
    case ctBitmap:
        if (g->Graphic && !g->Graphic->Empty()) {
            if (g->CellTransparent) {
                const TColor saved = canvas.Brush().Color();
                const bool sel =
                    (state.Contains(TGridDrawStateItem::gdSelected) ||
                     (IsRowSelected(row) && Options().Contains(TGridOption::goRowSelect) && dc >= FixedCols())) &&
                    !state.Contains(TGridDrawStateItem::gdFocused);
                canvas.Brush().SetColor(sel ? d->selectionColor : saved);
                canvas.FillRect(TRect(x1, y1, x2, y2));
                canvas.Brush().SetColor(saved);
                // The colour of the picture's top-left pixel lets the cell
                // show through.
                if (const auto* bitmap = dynamic_cast<const TBitmap*>(g->Graphic)) {
                    const QImage& image = bitmap->Image();
                    canvas.DrawImageTransparent(TRect(x1, y1, x2, y2), image,
                                                TRect(0, 0, image.width(), image.height()),
                                                FromQRgb(image.pixel(0, 0)));
                } else {
                    g->Graphic->Draw(canvas, TRect(x1, y1, x2, y2));
                }
            } else {
                canvas.Draw(x1, y1, *g->Graphic);
            }
        }
        break;
    case ctIcon:
        if (g->Icon) canvas.Draw(x1, y1, *g->Icon);
        break;
    case ctImageList:
        if (images && images->HasImage(g->CellIndex)) images->Draw(canvas, x1, y1, g->CellIndex, true);
        break;
    case ctImages:
        if (images) {
            for (int index : g->Images) {
                if (images->HasImage(index)) images->Draw(canvas, x1, y1, index, true);
                if (g->CellBoolean)
                    x1 += images->Width();
                else
                    y1 += images->Height();
            }
        }
        break;
    case ctDataImage:
        if (images) {
            // Only 0 <= index < count draws.
            const int index = PaintInteger(GetCellText(rcol, row)) + g->CellIndex;
            if (images->HasImage(index)) images->Draw(canvas, x1, y1, index, true);
        }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        const bool data = g->CellType != ctCheckBox;
        if (hAlign == taLeftJustify)
            x1 = L + 1;
        else if (hAlign == taRightJustify)
            x1 = data ? R - w - 1 : R - e - w - 1;
        else if (!data && e > 0)
            x1 = (L - w) + std::max(R - e - L, 0) / 2;
        else
            x1 = L + std::max(R - L - w, 0) / 2;
        if (x1 < L) x1 = L + 1;
        x2 = x1 + w;
        CanEditCell(rcol, row, enabled);
        bool checked = g->CellBoolean;
        if (data) {
            QString t;
            GetCheckTrue(rcol, row, t);
            checked = GetCellText(rcol, row) == t;
        }
        DrawCheckBox(canvas, TRect(x1, y1, x2, y2), checked, enabled, d->controlLook.ControlStyle());
        break;
    }
    case ctRadio: {
        CanEditCell(rcol, row, enabled);
        const QStringList* options = GetRadioOptions(rcol, row);
        const QStringList& items = options ? *options : g->Options;
        DrawRadioGroup(canvas, rect, int(items.size()), g->CellIndex, items, !enabled, g->CellBoolean,
                       GetCellText(rcol, row), state);
        break;
    }
    case ctNode: {
        TRect r = rect;
        r.Left -= GetCellIndent(row);
        const TCellNode& n = d->cellNode;
        const bool contracted = g->CellBoolean;
        if (n.NodeType() == cn3D) {
            canvas.Brush().SetColor(n.Color);
            canvas.FillRect(r);
            TRect e3 = r;
            canvas.DrawEdge(e3, Win::BDR_RAISEDINNER, Win::BF_RECT);
        }
        if (n.NodeType() == cnLeaf) {
            DrawResourceBitmap(canvas, canvas.Brush().Color(), r,
                               contracted ? QStringLiteral("ESGLEAFCLOSE") : QStringLiteral("ESGLEAFOPEN"));
            break;
        }
        if (n.NodeType() == cnGlyph && !n.ExpandGlyph.Empty() && !n.ContractGlyph.Empty()) {
            const TBitmap& gl = contracted ? n.ContractGlyph : n.ExpandGlyph;
            TGridGlyphs::DrawTransparent(canvas, r.Left + std::max(0, (r.Width() - gl.Width()) / 2),
                                         r.Top + std::max(0, (r.Height() - gl.Height()) / 2), gl);
            break;
        }
        canvas.Brush().SetColor(n.Color);
        const int bl = r.Left + 4;
        const int bt = r.Top + std::max(r.Height() - 8, 0) / 2;
        const int br = bl + 8, bb = bt + 8;
        if (n.NodeType() == cnFlat) {
            canvas.Pen().SetColor(n.NodeColor);
            canvas.Rectangle(bl - 1, bt - 1, br + 1, bb + 1);
            canvas.MoveTo(bl + 1, bt + 3);
            canvas.LineTo(bl + 6, bt + 3);
            if (contracted) {
                canvas.MoveTo(bl + 3, bt + 1);
                canvas.LineTo(bl + 3, bt + 6);
            }
        } else {
            TRect box(bl, bt, br, bb);
            canvas.DrawEdge(box, contracted ? Win::EDGE_RAISED : Win::EDGE_SUNKEN, Win::BF_RECT | Win::BF_MIDDLE);
        }
        break;
    }
    case ctRotated: {
        const QString text = GetCellText(rcol, row);
        TRect origin = rect;
        GetRotatedTextOrigin(canvas, origin, g->CellAngle, o.vAlign, hAlign, text);
        const TRect r = rect.Inflated(-2, -2);
        const TFont saved = canvas.Font();
        canvas.Font().SetOrientation(g->CellAngle * 10);
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        canvas.TextRect(r, origin.Left, origin.Top, text);
        canvas.Font() = saved;
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        break;
    }
    case ctPicture:
        if (g->Graphic && !g->Graphic->Empty()) {
            if (g->CellAngle != 0)
                canvas.StretchDraw(TRect(x1, y1, x2, y2), *g->Graphic);
            else
                canvas.Draw(x1, y1, *g->Graphic);
        }
        break;
    case ctFilePicture:
        // Read from its file now, stretched into its place; a file picture
        // that came through the cell stream holds the picture itself.
        if (const auto* file = dynamic_cast<const TFilePicture*>(g->Graphic)) {
            file->DrawPicture(canvas, TRect(x1, y1, x2, y2));
        } else if (const auto* kept = dynamic_cast<const THTMLPicture*>(g->Graphic); kept && !kept->Empty()) {
            const QImage& image = kept->Image();
            canvas.DrawImage(TRect(x1, y1, x2, y2), image, TRect(0, 0, image.width(), image.height()));
        }
        break;
    case ctProgress: {
        const TColor savedBrush = canvas.Brush().Color();
        const TColor bar = g->BarColor == clNone ? clNavy : g->BarColor;
        const TColor back = g->BackColor == clNone ? clWhite : g->BackColor;
        TRect r = rect.Inflated(-2, -2);
        // The bar stays inside the cell; the caption tells the value itself.
        const int number = PaintInteger(GetCellText(rcol, row));
        const int value = std::clamp(number, 0, 100);
        const int end = r.Left + int(std::lround(value * double(r.Width()) / 100.0));
        const QString caption = QString::number(number) + QLatin1Char('%');
        const TSize ext = canvas.TextExtent(caption);
        const int tx = r.Left + (r.Width() - ext.cx) / 2;
        const int ty = r.Top + (r.Height() - ext.cy) / 2;
        canvas.Brush().SetColor(bar);
        canvas.Pen().SetColor(bar);
        canvas.Font().SetColor(g->CellBoolean ? TColor(g->CellIndex) : TColor(ColorToRGB(bar) ^ 0xFFFFFF));
        canvas.TextRect(TRect(r.Left, r.Top, end, r.Bottom), tx, ty, caption);
        canvas.Brush().SetColor(back);
        canvas.Pen().SetColor(back);
        canvas.Font().SetColor(g->CellBoolean ? TColor(g->CellAngle) : TColor(ColorToRGB(back) ^ 0xFFFFFF));
        canvas.TextRect(TRect(end, r.Top, r.Right, r.Bottom), tx, ty, caption);
        canvas.Brush().SetColor(clBlack);
        canvas.FrameRect(r.Inflated(1, 1));
        canvas.Brush().SetColor(savedBrush);
        canvas.FrameRect(r.Inflated(2, 2));
        break;
    }
    case ctProgressPie: {
        const TBrush savedBrush = canvas.Brush();
        const TPen savedPen = canvas.Pen();
        DrawCircularGauge(canvas, TRect(x1, y1, x1 + 20, y1 + 20), g->BarColor == clNone ? clNavy : g->BarColor,
                          std::clamp(g->CellAngle, 0, 100));
        canvas.Brush() = savedBrush;
        canvas.Pen() = savedPen;
        break;
    }
    case ctComment:
        if (d->draw.commentColor != clNone) {
            canvas.Pen().SetColor(d->draw.commentColor);
            canvas.Brush().SetColor(d->draw.commentColor);
            canvas.Polygon({TPoint(R - 7, T + 1), TPoint(R - 2, T + 1), TPoint(R - 2, T + 6)});
            canvas.Brush().SetColor(Color());
        }
        break;
    case ctButton:
    case ctBitButton: {
        g->CellValue = double(((y1 - T) << 16) | ((x1 - L) & 0xFFFF));
        const TColor saved = canvas.Brush().Color();
        canvas.Brush().SetColor(clBtnFace);
        TRect r(x1, y1, x2, y2);
        if (d->draw.themesInUse && IsThemeActive()) {
            canvas.DrawThemePart(this, QStringLiteral("button"), Win::BP_PUSHBUTTON,
                                 g->CellBoolean ? Win::PBS_PRESSED : Win::PBS_NORMAL, r, nullptr);
        } else {
            unsigned st = Win::DFCS_BUTTONPUSH;
            if (d->controlLook.FlatButton()) st |= Win::DFCS_FLAT;
            if (g->CellBoolean) st |= Win::DFCS_PUSHED;
            canvas.DrawFrameControl(r, Win::DFC_BUTTON, st);
        }
        r.Inflate(g->CellBoolean ? -3 : -2, g->CellBoolean ? -3 : -2);
        if (g->CellType == ctBitButton && g->Graphic && !g->Graphic->Empty()) {
            const int top = r.Top + (r.Height() - g->Graphic->Height()) / 2;
            // The glyph stands on the button's face: its top-left colour
            // takes the face colour.
            if (const auto* glyph = dynamic_cast<const TBitmap*>(g->Graphic))
                DrawBitmapTransparent(canvas, *glyph, clBtnFace, TRect(r.Left, top, r.Right, r.Bottom));
            else
                canvas.Draw(r.Left, top, *g->Graphic);
            r.Left += g->Graphic->Width() + 2;
        }
        canvas.SetBkMode(Win::TRANSPARENT);
        canvas.DrawText(g->CellText, r, Win::DT_CENTER | Win::DT_VCENTER | Win::DT_END_ELLIPSIS | Win::DT_SINGLELINE);
        canvas.Brush().SetColor(saved);
        break;
    }
    default: break;
    }
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
    const TControlStyle style = d->controlLook.ControlStyle();
    const bool classic = style == csClassic || style == csFlat;
    const int s = classic ? d->controlLook.RadioSize() : 16;
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
        switch (style) {
        case csClassic:
        case csFlat: {
            unsigned st = Win::DFCS_BUTTONRADIO;
            if (style == csFlat) st |= Win::DFCS_FLAT;
            if (disabled) st |= Win::DFCS_INACTIVE;
            if (on) st |= Win::DFCS_CHECKED;
            TRect box(x, y, x + s + (style == csFlat ? 2 : 0), y + s + (style == csFlat ? 2 : 0));
            canvas.DrawFrameControl(box, Win::DFC_BUTTON, st);
            break;
        }
        case csWinXP:
        case csBrevon:
            TGridGlyphs::DrawTransparent(canvas, x, y, TGridGlyphs::Glyph(CheckGlyphName(true, on, !disabled, style)));
            break;
        case csGlyph:
            TGridGlyphs::DrawTransparent(canvas, x, y,
                                         on ? d->controlLook.RadioOnGlyph() : d->controlLook.RadioOffGlyph());
            break;
        case csDUV: {
            const TPen saved = canvas.Pen();
            canvas.Brush().SetColor(clBtnFace);
            canvas.Pen().SetColor(clBtnFace);
            canvas.Polygon({TPoint(x + 2, y + 8), TPoint(x + 8, y + 2), TPoint(x + 14, y + 8), TPoint(x + 8, y + 14)});
            canvas.Pen().SetColor(on ? clGray : clWhite);
            canvas.MoveTo(x + 8, y + 14);
            canvas.LineTo(x + 2, y + 8);
            canvas.LineTo(x + 8, y + 2);
            canvas.Pen().SetColor(on ? clWhite : clGray);
            canvas.LineTo(x + 14, y + 8);
            canvas.LineTo(x + 8, y + 14);
            if (on) {
                canvas.Brush().SetColor(d->controlLook.Color());
                canvas.Pen().SetColor(d->controlLook.Color());
                canvas.Polygon(
                    {TPoint(x + 6, y + 8), TPoint(x + 8, y + 6), TPoint(x + 10, y + 8), TPoint(x + 8, y + 10)});
            }
            canvas.Pen() = saved;
            break;
        }
        case csTheme:
            if (d->draw.themesInUse)
                canvas.DrawThemePart(this, QStringLiteral("button"), 2, on ? (disabled ? 8 : 5) : (disabled ? 4 : 1),
                                     Bounds(x, y, 16, 16), nullptr);
            break;
        }
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
