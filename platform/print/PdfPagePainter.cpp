#include "platform/print/PdfPagePainter_p.h"

#include "platform/print/PdfDocument_p.h"
#include "platform/print/PdfFont_p.h"
#include "platform/print/PdfFonts_p.h"
#include "platform/print/PdfPictures_p.h"

#include <QtMath>
#include <cmath>

namespace {

constexpr double PointsPerInch = 72;
// A pen or hatch pixel: 1/96 inch.
constexpr double PointsPerPixel = 72.0 / 96.0;
// The control points of a quarter ellipse, as a fraction of its radius.
constexpr double Kappa = 0.5522847498;
constexpr double PixelsPerInch = 96;

void WriteColour(PdfOutput& out, TColor c)
{
    const quint32 v = quint32(c);
    out.Num((v & 0xFF) / 255.0, 3).SNum(((v >> 8) & 0xFF) / 255.0, 3).SNum(((v >> 16) & 0xFF) / 255.0, 3);
}

} // namespace

PdfPagePainter::PdfPagePainter(PdfDocument& document, PdfFonts& fonts, PdfPictures& pictures)
    : m_document(document), m_fonts(fonts), m_pictures(pictures), m_layout(fonts)
{
    m_out.Reserve(64 * 1024);
    SetFont(TPageFont{});
    SetPen(TPagePen{});
    SetBrush(TPageBrush{}, nullptr);
}

double PdfPagePainter::X(double inches) const { return inches * PointsPerInch; }

double PdfPagePainter::Y(double inches) const { return m_height - inches * PointsPerInch; }

void PdfPagePainter::Point(QPointF p) { m_out.Num(X(p.x())).SNum(Y(p.y())); }

void PdfPagePainter::Rect(const QRectF& r)
{
    m_out.Num(X(r.left())).SNum(Y(r.bottom())).SNum(r.width() * PointsPerInch).SNum(r.height() * PointsPerInch);
}

void PdfPagePainter::Colour(TColor c) { WriteColour(m_out, c); }

void PdfPagePainter::BeginPage(int, QSizeF inches)
{
    m_width = inches.width() * PointsPerInch;
    m_height = inches.height() * PointsPerInch;
    m_out.Clear();
    m_hatchBytes = 0;
    m_state = State{};
    m_clipped = false;
    m_leaning = 0;
    m_wholeTexts.clear();
}

void PdfPagePainter::EndPage()
{
    if (m_clipped) m_out << "Q\n";
    m_clipped = false;
    if (m_leaning >= 0 || m_wholeTexts.empty()) {
        m_document.AddPage(QSizeF(m_width, m_height), m_out.View());
        return;
    }
    // Readers take the page for right to left: its texts with right-to-
    // left runs tell their characters in the form such a page turns back.
    m_turned.Clear();
    qsizetype at = 0;
    for (const WholeText& w : m_wholeTexts) {
        m_turned << m_out.View().sliced(at, w.From - at);
        m_turned.TextString(PdfTextLayout::ReaderText(w.Text, true));
        at = w.To;
    }
    m_turned << m_out.View().sliced(at);
    m_document.AddPage(QSizeF(m_width, m_height), m_turned.View());
}

void PdfPagePainter::SetFont(const TPageFont& font)
{
    if (font.Family != m_font.Family || font.Size != m_font.Size || font.Bold != m_font.Bold ||
        font.Italic != m_font.Italic)
        m_textFont = nullptr;
    m_font = font;
}

const PdfFonts::TextFont& PdfPagePainter::TextFont()
{
    if (!m_textFont) m_textFont = &m_fonts.Font(m_font);
    return *m_textFont;
}

void PdfPagePainter::SetPen(const TPagePen& pen)
{
    m_pen = pen;
    m_penNone = int(pen.Style) == 5 || int(pen.Mode) == 2; // clear, no-op
}

void PdfPagePainter::SetBrush(const TPageBrush& brush, const QImage* pattern)
{
    const int style = int(brush.Style);
    if (pattern && style != 1)
        m_brush = Fill{PictureFill, clBlack, 0, brush.Pattern};
    else if (style == 1)
        m_brush = Fill{NoFill};
    else if (style >= 2 && style <= 7)
        m_brush = Fill{HatchFill, brush.Color, style};
    else
        m_brush = Fill{ColourFill, brush.Color};
}

void PdfPagePainter::SetClip(const QRectF* r)
{
    if (m_clipped) {
        m_out << "Q\n";
        m_state = m_saved;
        m_clipped = false;
    }
    if (!r) return;
    m_saved = m_state;
    m_out << "q ";
    Rect(*r);
    m_out << " re W n\n";
    m_clipped = true;
}

bool PdfPagePainter::ApplyPen()
{
    if (m_penNone) return false;
    if (m_state.Stroke != m_pen.Color) {
        Colour(m_pen.Color);
        m_out << " RG\n";
        m_state.Stroke = m_pen.Color;
    }
    // Width 0 is the thinnest line the device draws.
    const double width = m_pen.Width * PointsPerPixel;
    if (width != m_state.LineWidth) {
        m_out.Num(width, 3) << " w\n";
        m_state.LineWidth = width;
    }
    // Dashes in units of the pen's width, as long as a pixel at least.
    int dash = int(m_pen.Style);
    if (dash < 1 || dash > 4) dash = 0;
    const double unit = dash ? qMax(width, PointsPerPixel) : 0;
    if (dash != m_state.Dash || unit != m_state.DashUnit) {
        static constexpr int patterns[5][7] = {{0}, {2, 4, 2}, {2, 1, 2}, {4, 4, 2, 1, 2}, {6, 4, 2, 1, 2, 1, 2}};
        m_out << '[';
        for (int i = 1; i <= patterns[dash][0]; ++i) {
            if (i > 1) m_out << ' ';
            m_out.Num(patterns[dash][i] * unit, 3);
        }
        m_out << "] 0 d\n";
        m_state.Dash = dash;
        m_state.DashUnit = unit;
    }
    return true;
}

bool PdfPagePainter::ApplyBrush() { return m_brush.Kind != NoFill && ApplyFill(m_brush); }

bool PdfPagePainter::ApplyFill(const Fill& fill)
{
    if (fill == m_state.FillSet) return true;
    switch (fill.Kind) {
    case ColourFill:
        Colour(fill.Colour);
        m_out << " rg\n";
        break;
    case HatchFill: return false; // drawn as lines (Hatch)
    case PictureFill: {
        const QByteArray pattern = m_pictures.Pattern(fill.Picture, m_height);
        if (pattern.isEmpty()) return false;
        m_out << "/Pattern cs ";
        m_out.Name(pattern) << " scn\n";
        break;
    }
    case NoFill: return false;
    }
    m_state.FillSet = fill;
    return true;
}

void PdfPagePainter::Shape(const QRectF& bounds, bool evenOdd, const std::function<void()>& path)
{
    const bool stroke = ApplyPen();
    if (m_brush.Kind == HatchFill) {
        Hatch(bounds, evenOdd, path);
        if (!stroke) return;
        path();
        m_out << " S\n";
        return;
    }
    const bool fill = ApplyBrush();
    if (!stroke && !fill) return;
    path();
    Paint(fill, stroke, evenOdd);
}

namespace {
// The lines of a hatch over the pixels x0..x1, y0..y1 (page pixels from the
// top-left corner, y down). The lines are one pixel (1/96 inch) wide, one
// every 8 pixels, on a grid from the page's corner, so neighbouring areas
// continue each other's lines.
void HatchLines(PdfOutput& out, int style, TColor colour, int x0, int y0, int x1, int y1)
{
    constexpr int Cell = 8;
    // The first multiple of the cell at or after v.
    const auto first = [](int v) { return v >= 0 ? (v + Cell - 1) / Cell * Cell : -(-v / Cell * Cell); };
    const bool horizontal = style == 2 || style == 6, vertical = style == 3 || style == 6;
    const bool rising = style == 4 || style == 7, falling = style == 5 || style == 7;
    if (horizontal || vertical) {
        WriteColour(out, colour);
        out << " rg\n";
        if (horizontal)
            for (int y = first(y0); y <= y1; y += Cell) {
                out.Int(x0) << ' ';
                out.Int(y) << ' ';
                out.Int(x1 - x0) << " 1 re\n";
            }
        if (vertical)
            for (int x = first(x0); x <= x1; x += Cell) {
                out.Int(x) << ' ';
                out.Int(y0) << " 1 ";
                out.Int(y1 - y0) << " re\n";
            }
        out << "f\n";
    }
    if (rising || falling) {
        WriteColour(out, colour);
        out << " RG 1 w 0 J [] 0 d\n";
        const auto line = [&out](int ax, int ay, int bx, int by) {
            out.Int(ax) << ' ';
            out.Int(ay) << " m ";
            out.Int(bx) << ' ';
            out.Int(by) << " l\n";
        };
        // Rising to the right: x + y on a multiple of the cell.
        if (rising)
            for (int c = first(x0 + y0); c <= x1 + y1; c += Cell) line(c - y1, y1, c - y0, y0);
        // Falling to the right: x - y on a multiple of the cell.
        if (falling)
            for (int c = first(x0 - y1); c <= x1 - y0; c += Cell) line(c + y0, y0, c + y1, y1);
        out << "S\n";
    }
}
} // namespace

void PdfPagePainter::Hatch(const QRectF& bounds, bool evenOdd, const std::function<void()>& path)
{
    // Drawn whole across the shape and cut by it, the lines join without
    // seams at any resolution, where the cells of a tiled pattern each get
    // rounded to the device's pixels.
    const QRectF page(0, 0, m_width / PointsPerInch, m_height / PointsPerInch);
    const QRectF area = bounds.normalized().intersected(page);
    if (area.isEmpty()) return;
    m_out << "q ";
    path();
    m_out << (evenOdd ? " W* n\n" : " W n\n");
    // Pixels from the page's top-left corner, y down.
    m_out.Num(PointsPerPixel, 4) << " 0 0";
    m_out.SNum(-PointsPerPixel, 4).SNum(0).SNum(m_height) << " cm\n";
    if (m_hatchBytes < HatchBudget) {
        // In pixels, a pixel beyond the area so that no line ends inside it.
        const qsizetype before = m_out.Size();
        HatchLines(m_out, m_brush.Style, m_brush.Colour, int(std::floor(area.left() * PixelsPerInch)) - 1,
                   int(std::floor(area.top() * PixelsPerInch)) - 1, int(std::ceil(area.right() * PixelsPerInch)) + 1,
                   int(std::ceil(area.bottom() * PixelsPerInch)) + 1);
        m_hatchBytes += m_out.Size() - before;
    } else {
        // Past the page's budget every further hatch costs the same few
        // bytes: the whole page's lines, written once, cut by the shape.
        m_out.Name(HatchForm()) << " Do\n";
    }
    m_out << "Q\n";
}

QByteArray PdfPagePainter::HatchForm()
{
    const int w = int(std::ceil(m_width / PointsPerPixel)), h = int(std::ceil(m_height / PointsPerPixel));
    const QByteArray key = QByteArray::number(m_brush.Style) + ' ' + QByteArray::number(quint32(m_brush.Colour)) + ' ' +
        QByteArray::number(w) + ' ' + QByteArray::number(h);
    if (const auto it = m_hatchForms.constFind(key); it != m_hatchForms.constEnd()) return it.value();
    const int object = m_document.Reserve();
    PdfOutput entries, content;
    entries << "/Type /XObject /Subtype /Form /BBox [-1 -1";
    entries.SNum(w + 1).SNum(h + 1) << "]";
    HatchLines(content, m_brush.Style, m_brush.Colour, -1, -1, w + 1, h + 1);
    m_document.Stream(object, entries.View(), content.View());
    const QByteArray name = m_document.AddResource(PdfDocument::XObjectResource, object);
    m_hatchForms.insert(key, name);
    return name;
}

void PdfPagePainter::Paint(bool fill, bool stroke, bool evenOdd)
{
    if (fill && stroke)
        m_out << (evenOdd ? " B*\n" : " B\n");
    else if (fill)
        m_out << (evenOdd ? " f*\n" : " f\n");
    else if (stroke)
        m_out << " S\n";
    else
        m_out << " n\n";
}

void PdfPagePainter::DrawText(QPointF origin, const QString& text)
{
    if (text.isEmpty()) return;
    const PdfFonts::TextFont& font = TextFont();
    const double advance = m_layout.Lay(font, text);
    const std::vector<PdfTextLayout::Glyph>& glyphs = m_layout.Glyphs();
    if (m_layout.Clusters().empty()) return;
    const double size = font.Size, unit = font.PointsPerUnit;
    ApplyFill(Fill{ColourFill, m_font.Color});
    const double x = X(origin.x()), y = Y(origin.y());
    double cosine = 1, sine = 0;
    m_out << "BT ";
    if (m_font.Angle) {
        const double angle = qDegreesToRadians(m_font.Angle / 10.0);
        cosine = std::cos(angle);
        sine = std::sin(angle);
        m_out.Num(cosine, 5).SNum(sine, 5).SNum(-sine, 5).SNum(cosine, 5);
    } else {
        m_out << "1 0 0 1";
    }
    m_out.SNum(x).SNum(y) << " Tm";

    // Where the line matrix stands and where the next glyph goes without
    // an adjustment, in points of text space, as written (rounded).
    double lineU = 0, lineV = 0, pen = 0;
    bool inArray = false, inHex = false;
    const auto closeArray = [&] {
        if (!inArray) return;
        if (inHex) m_out << '>';
        m_out << "] TJ";
        inArray = inHex = false;
    };
    // Text with right-to-left runs tells its characters as a whole.
    const bool whole = m_layout.RightToLeft();
    m_leaning += m_layout.Leaning();
    if (whole) {
        m_out << " /Span <</ActualText ";
        const qsizetype from = m_out.Size();
        m_out.TextString(PdfTextLayout::ReaderText(text, false));
        m_wholeTexts.push_back(WholeText{from, m_out.Size(), text});
        m_out << ">> BDC";
    }
    for (const PdfTextLayout::Cluster& cluster : m_layout.Clusters()) {
        const bool tells = cluster.TellsCharacters && !whole;
        if (tells) {
            closeArray();
            m_out << " /Span <</ActualText ";
            m_out.TextString(PdfTextLayout::Characters(cluster, text)) << ">> BDC";
        }
        for (int k = cluster.First; k < cluster.First + cluster.Count; ++k) {
            const PdfTextLayout::Glyph& g = glyphs[size_t(k)];
            if (!g.Face) continue;
            if (g.Face != m_state.Face || size != m_state.FontSize) {
                closeArray();
                m_out << ' ';
                m_out.Name(m_fonts.Resource(g.Face)).SNum(size, 3) << " Tf";
                m_state.Face = g.Face;
                m_state.FontSize = size;
            }
            const double u = g.X * unit, v = -g.Y * unit;
            if (std::fabs(v - lineV) >= 0.0005) {
                // Off the line (a mark placed above or below): a new line
                // start there.
                closeArray();
                const double du = std::round((u - lineU) * 1000) / 1000, dv = std::round((v - lineV) * 1000) / 1000;
                m_out.SNum(du, 3).SNum(dv, 3) << " Td";
                lineU += du;
                lineV += dv;
                pen = lineU;
            }
            if (!inArray) {
                m_out << " [";
                inArray = true;
            }
            // A positive adjustment moves the glyph left.
            const double adjust = std::round((pen - u) * 1000 / size * 10) / 10;
            if (adjust != 0) {
                if (inHex) m_out << '>';
                inHex = false;
                m_out.Num(adjust, 1);
                pen -= adjust * size / 1000;
            }
            if (!inHex) {
                m_out << '<';
                inHex = true;
            }
            if (g.Face->OutlineKind() == PdfFont::ColourPictures)
                m_out << QByteArray::number(g.Face->Code(g.Id) | 0x100, 16).mid(1); // one byte
            else
                m_out.Hex4(g.Code >= 0 ? quint16(g.Code) : g.Face->Code(g.Id));
            pen += g.Face->GlyphWidth(g.Id) * size / 1000;
        }
        if (tells) {
            closeArray();
            m_out << " EMC";
        }
    }
    closeArray();
    if (whole) m_out << " EMC";
    m_out << " ET\n";

    if (m_font.Underline || m_font.StrikeOut) {
        const double width = advance * unit, thickness = font.LineThickness;
        // Centred on Qt's positions, as the screen draws them.
        if (m_font.Underline) Decoration(x, y, cosine, sine, width, font.UnderlinePosition, thickness);
        if (m_font.StrikeOut) Decoration(x, y, cosine, sine, width, font.StrikeOutPosition, thickness);
    }
}

void PdfPagePainter::Decoration(double x, double y, double cosine, double sine, double width, double position,
                                double thickness)
{
    // A filled band centred on the line's position above the base line.
    const double bottom = position - thickness / 2;
    if (sine == 0 && cosine == 1) {
        m_out.Num(x).SNum(y + bottom).SNum(width).SNum(thickness) << " re f\n";
        return;
    }
    m_out << "q ";
    m_out.Num(cosine, 5).SNum(sine, 5).SNum(-sine, 5).SNum(cosine, 5).SNum(x).SNum(y) << " cm 0";
    m_out.SNum(bottom).SNum(width).SNum(thickness) << " re f Q\n";
}

void PdfPagePainter::DrawLine(QPointF from, QPointF to)
{
    if (!ApplyPen()) return;
    Point(from);
    m_out << " m ";
    Point(to);
    m_out << " l S\n";
}

void PdfPagePainter::DrawRectangle(const QRectF& r)
{
    if (r.width() == 0 || r.height() == 0) {
        // An empty rectangle still strokes its outline: a line.
        DrawLine(r.topLeft(), r.bottomRight());
        return;
    }
    Shape(r, false, [&] {
        Rect(r);
        m_out << " re";
    });
}

void PdfPagePainter::DrawEllipse(const QRectF& r)
{
    Shape(r, false, [&] { EllipsePath(r); });
}

void PdfPagePainter::EllipsePath(const QRectF& r)
{
    const double cx = X(r.center().x()), cy = Y(r.center().y());
    const double rx = r.width() * PointsPerInch / 2, ry = r.height() * PointsPerInch / 2;
    const double kx = rx * Kappa, ky = ry * Kappa;
    const auto curve = [this](double x1, double y1, double x2, double y2, double x3, double y3) {
        m_out.SNum(x1).SNum(y1).SNum(x2).SNum(y2).SNum(x3).SNum(y3) << " c";
    };
    m_out.Num(cx + rx).SNum(cy) << " m";
    curve(cx + rx, cy + ky, cx + kx, cy + ry, cx, cy + ry);
    curve(cx - kx, cy + ry, cx - rx, cy + ky, cx - rx, cy);
    curve(cx - rx, cy - ky, cx - kx, cy - ry, cx, cy - ry);
    curve(cx + kx, cy - ry, cx + rx, cy - ky, cx + rx, cy);
    m_out << " h";
}

void PdfPagePainter::Path(const QPointF* points, int count)
{
    Point(points[0]);
    m_out << " m";
    for (int i = 1; i < count; ++i) {
        m_out << ' ';
        Point(points[i]);
        m_out << " l";
    }
}

void PdfPagePainter::DrawPolyline(const QPointF* points, int count)
{
    if (count < 2 || !ApplyPen()) return;
    Path(points, count);
    m_out << " S\n";
}

void PdfPagePainter::DrawPolygon(const QPointF* points, int count, bool winding)
{
    if (count < 2) return;
    double left = points[0].x(), right = left, top = points[0].y(), bottom = top;
    for (int i = 1; i < count; ++i) {
        left = qMin(left, points[i].x());
        right = qMax(right, points[i].x());
        top = qMin(top, points[i].y());
        bottom = qMax(bottom, points[i].y());
    }
    Shape(QRectF(QPointF(left, top), QPointF(right, bottom)), !winding, [&] {
        Path(points, count);
        m_out << " h";
    });
}

void PdfPagePainter::FillRect(const QRectF& r, TColor color)
{
    ApplyFill(Fill{ColourFill, color});
    Rect(r);
    m_out << " re f\n";
}

void PdfPagePainter::DrawImage(const QRectF& r, const QImage&, int imageIndex)
{
    if (imageIndex < 0) return;
    const QByteArray name = m_pictures.Picture(imageIndex);
    if (name.isEmpty()) return;
    m_out << "q ";
    m_out.Num(r.width() * PointsPerInch) << " 0 0";
    m_out.SNum(r.height() * PointsPerInch).SNum(X(r.left())).SNum(Y(r.bottom())) << " cm ";
    m_out.Name(name) << " Do Q\n";
}
