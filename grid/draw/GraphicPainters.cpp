// The cell graphics' painters and their table. A painter reads what it needs
// of the grid and the cell into the record of its kind (a progress bar's
// value and colours, a button's face and caption) and draws from it, as a Qt
// delegate fills a style option before the style draws.
#include "grid/draw/GraphicPainters_p.h"

#include "controls/HTMLPicture.h"
#include "grid/cells/TFilePicture.h"
#include "grid/draw/CellDrawing.h"
#include "grid/draw/TGridGlyphs.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Themes.h"

#include <algorithm>
#include <cmath>

namespace {

// An integer cell text; anything else counts 0 while painting.
int PaintInteger(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

// A progress bar: the rectangle inside the cell's margin, the cell's
// number (the bar takes it within 0 .. 100, the caption as it is) and the
// colours of the bar, the background and the caption over each.
struct TProgressBarOptions {
    TRect rect;
    int number = 0;
    TColor bar = clNavy;
    TColor back = clWhite;
    TColor barText = clWhite;
    TColor backText = clBlack;
};

void DrawProgressBar(TCanvas& canvas, const TProgressBarOptions& o)
{
    const TColor savedBrush = canvas.Brush().Color();
    const TRect& r = o.rect;
    // The bar stays inside the cell; the caption tells the value itself.
    const int value = std::clamp(o.number, 0, 100);
    const int end = r.Left + int(std::lround(value * double(r.Width()) / 100.0));
    const QString caption = QString::number(o.number) + QLatin1Char('%');
    const TSize ext = canvas.TextExtent(caption);
    const int tx = r.Left + (r.Width() - ext.cx) / 2;
    const int ty = r.Top + (r.Height() - ext.cy) / 2;
    canvas.Brush().SetColor(o.bar);
    canvas.Pen().SetColor(o.bar);
    canvas.Font().SetColor(o.barText);
    canvas.TextRect(TRect(r.Left, r.Top, end, r.Bottom), tx, ty, caption);
    canvas.Brush().SetColor(o.back);
    canvas.Pen().SetColor(o.back);
    canvas.Font().SetColor(o.backText);
    canvas.TextRect(TRect(end, r.Top, r.Right, r.Bottom), tx, ty, caption);
    canvas.Brush().SetColor(clBlack);
    canvas.FrameRect(r.Inflated(1, 1));
    canvas.Brush().SetColor(savedBrush);
    canvas.FrameRect(r.Inflated(2, 2));
}

// A push button in a cell: its face, state, glyph and caption.
struct TCellButtonOptions {
    TRect rect;
    bool pressed = false;
    bool flat = false;               // ControlLook.FlatButton
    bool themed = false;             // drawn by the visual style
    const TGraphic* glyph = nullptr; // a bit button's glyph, left of the caption
    const QString* caption = nullptr;
};

void DrawCellButton(TCanvas& canvas, QWidget* window, const TCellButtonOptions& o)
{
    const TColor saved = canvas.Brush().Color();
    canvas.Brush().SetColor(clBtnFace);
    TRect r = o.rect;
    if (o.themed) {
        canvas.DrawThemePart(window, QStringLiteral("button"), Win::BP_PUSHBUTTON,
                             o.pressed ? Win::PBS_PRESSED : Win::PBS_NORMAL, r, nullptr);
    } else {
        unsigned st = Win::DFCS_BUTTONPUSH;
        if (o.flat) st |= Win::DFCS_FLAT;
        if (o.pressed) st |= Win::DFCS_PUSHED;
        canvas.DrawFrameControl(r, Win::DFC_BUTTON, st);
    }
    r.Inflate(o.pressed ? -3 : -2, o.pressed ? -3 : -2);
    if (o.glyph && !o.glyph->Empty()) {
        const int top = r.Top + (r.Height() - o.glyph->Height()) / 2;
        // The glyph stands on the button's face: its top-left colour takes
        // the face colour.
        if (const auto* glyph = dynamic_cast<const TBitmap*>(o.glyph))
            DrawBitmapTransparent(canvas, *glyph, clBtnFace, TRect(r.Left, top, r.Right, r.Bottom));
        else
            canvas.Draw(r.Left, top, *o.glyph);
        r.Left += o.glyph->Width() + 2;
    }
    canvas.SetBkMode(Win::TRANSPARENT);
    canvas.DrawText(*o.caption, r, Win::DT_CENTER | Win::DT_VCENTER | Win::DT_END_ELLIPSIS | Win::DT_SINGLELINE);
    canvas.Brush().SetColor(saved);
}

// The small box of a node (cnFlat, cn3D and the glyph styles without both
// glyphs): a minus, with the vertical of a plus while contracted.
void DrawNodeBox(TCanvas& canvas, const TCellNode& n, const TRect& r, bool contracted)
{
    canvas.Brush().SetColor(n.Color);
    const int bl = r.Left + 4;
    const int bt = r.Top + std::max(r.Height() - 8, 0) / 2;
    const int br = bl + 8, bb = bt + 8;
    if (n.NodeType() != cnFlat) {
        TRect box(bl, bt, br, bb);
        canvas.DrawEdge(box, contracted ? Win::EDGE_RAISED : Win::EDGE_SUNKEN, Win::BF_RECT | Win::BF_MIDDLE);
        return;
    }
    canvas.Pen().SetColor(n.NodeColor);
    canvas.Rectangle(bl - 1, bt - 1, br + 1, bb + 1);
    canvas.MoveTo(bl + 1, bt + 3);
    canvas.LineTo(bl + 6, bt + 3);
    if (contracted) {
        canvas.MoveTo(bl + 3, bt + 1);
        canvas.LineTo(bl + 3, bt + 6);
    }
}

// A node of the tree in its area (the cell moved left by the row's indent).
void DrawNode(TCanvas& canvas, const TCellNode& n, const TRect& r, bool contracted)
{
    if (n.NodeType() == cn3D) {
        canvas.Brush().SetColor(n.Color);
        canvas.FillRect(r);
        TRect e3 = r;
        canvas.DrawEdge(e3, Win::BDR_RAISEDINNER, Win::BF_RECT);
    }
    if (n.NodeType() == cnLeaf) {
        DrawResourceBitmap(canvas, canvas.Brush().Color(), r,
                           contracted ? QStringLiteral("ESGLEAFCLOSE") : QStringLiteral("ESGLEAFOPEN"));
        return;
    }
    if (n.NodeType() == cnGlyph && !n.ExpandGlyph.Empty() && !n.ContractGlyph.Empty()) {
        const TBitmap& gl = contracted ? n.ContractGlyph : n.ExpandGlyph;
        TGridGlyphs::DrawTransparent(canvas, r.Left + std::max(0, (r.Width() - gl.Width()) / 2),
                                     r.Top + std::max(0, (r.Height() - gl.Height()) / 2), gl);
        return;
    }
    DrawNodeBox(canvas, n, r, contracted);
}

// A check box's left edge: check boxes follow the cell text's alignment
// rather than the graphic's. A plain check box with text keeps the text's
// extent e free.
int CheckBoxLeft(TAlignment hAlign, bool data, const TRect& cell, int w, int e)
{
    const int L = cell.Left, R = cell.Right;
    int x1;
    if (hAlign == taLeftJustify)
        x1 = L + 1;
    else if (hAlign == taRightJustify)
        x1 = data ? R - w - 1 : R - e - w - 1;
    else if (!data && e > 0)
        x1 = (L - w) + std::max(R - e - L, 0) / 2;
    else
        x1 = L + std::max(R - L - w, 0) / 2;
    return x1 < L ? L + 1 : x1;
}

TColor OrDefault(TColor c, TColor fallback) { return c == clNone ? fallback : c; }

} // namespace

// ----- Measures

TSize TExtStringGrid::GraphicPainter::PictureSize(TExtStringGrid&, int, int, const TCellGraphic& g)
{
    return g.Graphic ? TSize(std::max(0, g.Graphic->Width()), std::max(0, g.Graphic->Height())) : TSize();
}

TSize TExtStringGrid::GraphicPainter::IconSize(TExtStringGrid&, int, int, const TCellGraphic& g)
{
    return g.Icon ? TSize(std::max(0, g.Icon->Width()), std::max(0, g.Icon->Height())) : TSize();
}

// ctImageList and ctDataImage: one image of GridImages.
TSize TExtStringGrid::GraphicPainter::ImageListSize(TExtStringGrid& grid, int, int, const TCellGraphic&)
{
    const TImageList* images = grid.d->gridImages.get();
    return images ? TSize(images->Width(), images->Height()) : TSize();
}

// ctImages: the images side by side (horizontal flag) or one above another.
TSize TExtStringGrid::GraphicPainter::ImagesSize(TExtStringGrid& grid, int, int, const TCellGraphic& g)
{
    const TImageList* images = grid.d->gridImages.get();
    if (!images) return {};
    const int n = int(g.Images.size());
    return g.CellBoolean ? TSize(n * images->Width(), images->Height()) : TSize(images->Width(), n * images->Height());
}

TSize TExtStringGrid::GraphicPainter::CheckBoxSize(TExtStringGrid& grid, int, int, const TCellGraphic&)
{
    const int check = std::max(0, grid.d->controlLook.CheckSize());
    return {check, check};
}

// ctPicture, ctFilePicture: fitted into the cell, the margin in CellIndex
// kept free; CellAngle 1 stretches, 2 keeps the aspect.
TSize TExtStringGrid::GraphicPainter::FittedPictureSize(TExtStringGrid& grid, int col, int row, const TCellGraphic& g)
{
    if (!g.Graphic) return {};
    const TRect cell = grid.GetCellRect(grid.DisplColIndex(col), row);
    const int m = std::max(0, g.CellIndex);
    const int cw = std::max(0, cell.Width() - m);
    const int ch = std::max(0, cell.Height() - m);
    const int pw = std::max(0, g.Graphic->Width());
    const int ph = std::max(0, g.Graphic->Height());
    if (g.CellAngle == 1) return {cw, ch};
    if (g.CellAngle == 2 && pw > 0 && ph > 0) {
        const double f = std::min(double(cw) / pw, double(ch) / ph);
        return {int(std::lround(pw * f)), int(std::lround(ph * f))};
    }
    return {pw, ph};
}

// Width in the low 16 bits, height in the high 16 bits.
TSize TExtStringGrid::GraphicPainter::ButtonSize(TExtStringGrid&, int, int, const TCellGraphic& g)
{
    return {g.CellIndex & 0xFFFF, (g.CellIndex >> 16) & 0xFFFF};
}

TSize TExtStringGrid::GraphicPainter::PieSize(TExtStringGrid&, int, int, const TCellGraphic&) { return {20, 20}; }

// ----- Painters

void TExtStringGrid::GraphicPainter::PaintBitmap(const Paint& p)
{
    const TCellGraphic& g = p.g;
    if (!g.Graphic || g.Graphic->Empty()) return;
    TCanvas& canvas = p.canvas;
    if (!g.CellTransparent) {
        canvas.Draw(p.place.Left, p.place.Top, *g.Graphic);
        return;
    }
    TExtStringGrid& grid = p.grid;
    const TGridDrawState state = p.o.state;
    const TColor saved = canvas.Brush().Color();
    const bool sel = (state.Contains(TGridDrawStateItem::gdSelected) ||
                      (grid.IsRowSelected(p.o.row) && grid.Options().Contains(TGridOption::goRowSelect) &&
                       grid.DisplColIndex(p.o.col) >= grid.FixedCols())) &&
        !state.Contains(TGridDrawStateItem::gdFocused);
    canvas.Brush().SetColor(sel ? grid.d->selectionColor : saved);
    canvas.FillRect(p.place);
    canvas.Brush().SetColor(saved);
    // The colour of the picture's top-left pixel lets the cell show through.
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(g.Graphic)) {
        const QImage& image = bitmap->Image();
        canvas.DrawImageTransparent(p.place, image, TRect(0, 0, image.width(), image.height()),
                                    FromQRgb(image.pixel(0, 0)));
    } else {
        g.Graphic->Draw(canvas, p.place);
    }
}

void TExtStringGrid::GraphicPainter::PaintIcon(const Paint& p)
{
    if (p.g.Icon) p.canvas.Draw(p.place.Left, p.place.Top, *p.g.Icon);
}

void TExtStringGrid::GraphicPainter::PaintImageList(const Paint& p)
{
    const TImageList* images = p.images;
    if (images && images->HasImage(p.g.CellIndex))
        images->Draw(p.canvas, p.place.Left, p.place.Top, p.g.CellIndex, true);
}

void TExtStringGrid::GraphicPainter::PaintImages(const Paint& p)
{
    const TImageList* images = p.images;
    if (!images) return;
    int x = p.place.Left, y = p.place.Top;
    for (int index : p.g.Images) {
        if (images->HasImage(index)) images->Draw(p.canvas, x, y, index, true);
        if (p.g.CellBoolean)
            x += images->Width();
        else
            y += images->Height();
    }
}

void TExtStringGrid::GraphicPainter::PaintDataImage(const Paint& p)
{
    const TImageList* images = p.images;
    if (!images) return;
    // Only 0 <= index < count draws.
    const int index = PaintInteger(p.grid.GetCellText(p.o.col, p.o.row)) + p.g.CellIndex;
    if (images->HasImage(index)) images->Draw(p.canvas, p.place.Left, p.place.Top, index, true);
}

// ctCheckBox, ctDataCheckBox, ctVirtCheckBox: the data kinds are checked
// when the cell text is the check-true text.
void TExtStringGrid::GraphicPainter::PaintCheckBox(const Paint& p)
{
    TExtStringGrid& grid = p.grid;
    const int col = p.o.col, row = p.o.row;
    const bool data = p.g.CellType != ctCheckBox;
    const int x1 = CheckBoxLeft(p.o.hAlign, data, p.cell, p.o.graphicWidth, p.extent);
    bool enabled = true;
    grid.CanEditCell(col, row, enabled);
    bool checked = p.g.CellBoolean;
    if (data) {
        QString t;
        grid.GetCheckTrue(col, row, t);
        checked = grid.GetCellText(col, row) == t;
    }
    grid.DrawCheckBox(p.canvas, TRect(x1, p.place.Top, x1 + p.o.graphicWidth, p.place.Bottom), checked, enabled,
                      grid.d->controlLook.ControlStyle());
}

void TExtStringGrid::GraphicPainter::PaintRadioGroup(const Paint& p)
{
    TExtStringGrid& grid = p.grid;
    const int col = p.o.col, row = p.o.row;
    bool enabled = true;
    grid.CanEditCell(col, row, enabled);
    const QStringList* options = grid.GetRadioOptions(col, row);
    const QStringList& items = options ? *options : p.g.Options;
    grid.DrawRadioGroup(p.canvas, p.cell, int(items.size()), p.g.CellIndex, items, !enabled, p.g.CellBoolean,
                        grid.GetCellText(col, row), p.o.state);
}

void TExtStringGrid::GraphicPainter::PaintNode(const Paint& p)
{
    TRect r = p.cell;
    r.Left -= p.grid.GetCellIndent(p.o.row);
    DrawNode(p.canvas, p.grid.d->cellNode, r, p.g.CellBoolean);
}

void TExtStringGrid::GraphicPainter::PaintRotatedText(const Paint& p)
{
    TCanvas& canvas = p.canvas;
    const QString text = p.grid.GetCellText(p.o.col, p.o.row);
    TRect origin = p.cell;
    p.grid.GetRotatedTextOrigin(canvas, origin, p.g.CellAngle, p.o.vAlign, p.o.hAlign, text);
    const TRect r = p.cell.Inflated(-2, -2);
    const TFont saved = canvas.Font();
    canvas.Font().SetOrientation(p.g.CellAngle * 10);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.TextRect(r, origin.Left, origin.Top, text);
    canvas.Font() = saved;
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

// Drawn at its place, or stretched into it when CellAngle is not 0.
void TExtStringGrid::GraphicPainter::PaintPicture(const Paint& p)
{
    const TGraphic* pic = p.g.Graphic;
    if (!pic || pic->Empty()) return;
    if (p.g.CellAngle != 0)
        p.canvas.StretchDraw(p.place, *pic);
    else
        p.canvas.Draw(p.place.Left, p.place.Top, *pic);
}

// Read from its file now, stretched into its place; a file picture that
// came through the cell stream holds the picture itself.
void TExtStringGrid::GraphicPainter::PaintFilePicture(const Paint& p)
{
    if (const auto* file = dynamic_cast<const TFilePicture*>(p.g.Graphic)) {
        file->DrawPicture(p.canvas, p.place);
    } else if (const auto* kept = dynamic_cast<const THTMLPicture*>(p.g.Graphic); kept && !kept->Empty()) {
        const QImage& image = kept->Image();
        p.canvas.DrawImage(p.place, image, TRect(0, 0, image.width(), image.height()));
    }
}

// The caption's colours are the graphic's own (CellIndex over the bar,
// CellAngle over the background) when CellBoolean is set, else each
// colour inverted.
void TExtStringGrid::GraphicPainter::PaintProgress(const Paint& p)
{
    const TCellGraphic& g = p.g;
    TProgressBarOptions o;
    o.rect = p.cell.Inflated(-2, -2);
    o.number = PaintInteger(p.grid.GetCellText(p.o.col, p.o.row));
    o.bar = OrDefault(g.BarColor, clNavy);
    o.back = OrDefault(g.BackColor, clWhite);
    o.barText = g.CellBoolean ? TColor(g.CellIndex) : TColor(ColorToRGB(o.bar) ^ 0xFFFFFF);
    o.backText = g.CellBoolean ? TColor(g.CellAngle) : TColor(ColorToRGB(o.back) ^ 0xFFFFFF);
    DrawProgressBar(p.canvas, o);
}

void TExtStringGrid::GraphicPainter::PaintProgressPie(const Paint& p)
{
    TCanvas& canvas = p.canvas;
    const TBrush savedBrush = canvas.Brush();
    const TPen savedPen = canvas.Pen();
    const int x = p.place.Left, y = p.place.Top;
    DrawCircularGauge(canvas, TRect(x, y, x + 20, y + 20), OrDefault(p.g.BarColor, clNavy),
                      std::clamp(p.g.CellAngle, 0, 100));
    canvas.Brush() = savedBrush;
    canvas.Pen() = savedPen;
}

// A triangle in the top-right corner.
void TExtStringGrid::GraphicPainter::PaintComment(const Paint& p)
{
    const TColor c = p.grid.d->draw.commentColor;
    if (c == clNone) return;
    TCanvas& canvas = p.canvas;
    const int R = p.cell.Right, T = p.cell.Top;
    canvas.Pen().SetColor(c);
    canvas.Brush().SetColor(c);
    canvas.Polygon({TPoint(R - 7, T + 1), TPoint(R - 2, T + 1), TPoint(R - 2, T + 6)});
    canvas.Brush().SetColor(p.grid.Color());
}

// ctButton, ctBitButton. The button's place in the cell is kept in the
// graphic (x low 16 bits, y high 16 bits) for the clicks on it.
void TExtStringGrid::GraphicPainter::PaintButton(const Paint& p)
{
    TExtStringGrid& grid = p.grid;
    TCellGraphic& g = p.g;
    g.CellValue = double(((p.place.Top - p.cell.Top) << 16) | ((p.place.Left - p.cell.Left) & 0xFFFF));
    TCellButtonOptions o;
    o.rect = p.place;
    o.pressed = g.CellBoolean;
    o.flat = grid.d->controlLook.FlatButton();
    o.themed = grid.d->draw.themesInUse && IsThemeActive();
    o.glyph = g.CellType == ctBitButton ? g.Graphic : nullptr;
    o.caption = &g.CellText;
    DrawCellButton(p.canvas, &grid, o);
}

// ----- The table, in the order of TCellType; each entry names its kind, so
// that an entry out of place or missing (a kind added anywhere, at the end
// too) fails the build.

const TExtStringGrid::GraphicPainter& TExtStringGrid::GraphicPainter::Of(TCellType type)
{
    static constexpr GraphicPainter kNone{};
    struct Entry {
        TCellType type;
        GraphicPainter painter;
    };
    static constexpr Entry kPainters[] = {
        {ctBitmap, {true, &PictureSize, &PaintBitmap}},
        {ctIcon, {true, &IconSize, &PaintIcon}},
        {ctNone, {}},
        {ctImageList, {true, &ImageListSize, &PaintImageList}},
        {ctCheckBox, {true, &CheckBoxSize, &PaintCheckBox}},
        {ctDataCheckBox, {false, &CheckBoxSize, &PaintCheckBox}},
        {ctRotated, {false, nullptr, &PaintRotatedText}},
        {ctDataImage, {false, &ImageListSize, &PaintDataImage}},
        {ctNode, {true, nullptr, &PaintNode}},
        {ctRadio, {false, nullptr, &PaintRadioGroup}},
        {ctEmpty, {}},
        {ctImages, {true, &ImagesSize, &PaintImages}},
        {ctPicture, {true, &FittedPictureSize, &PaintPicture}},
        {ctFilePicture, {true, &FittedPictureSize, &PaintFilePicture}},
        {ctValue, {}},
        {ctProgress, {false, nullptr, &PaintProgress}},
        {ctComment, {true, nullptr, &PaintComment}},
        {ctButton, {true, &ButtonSize, &PaintButton}},
        {ctBitButton, {true, &ButtonSize, &PaintButton}},
        {ctVirtCheckBox, {false, &CheckBoxSize, &PaintCheckBox}},
        {ctProgressPie, {true, &PieSize, &PaintProgressPie}},
    };
    static_assert(std::size(kPainters) == ctCount, "one painter entry per cell type");
    static_assert(
        [] {
            for (std::size_t i = 0; i < std::size(kPainters); ++i)
                if (std::size_t(kPainters[i].type) != i) return false;
            return true;
        }(),
        "painter entries in the order of TCellType");
    const auto i = std::size_t(type);
    return i < std::size(kPainters) ? kPainters[i].painter : kNone;
}
