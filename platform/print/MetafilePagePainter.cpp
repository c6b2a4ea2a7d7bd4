#include "platform/print/MetafilePagePainter_p.h"

#include "platform/report/ReportFonts.h"

#include <QFontMetricsF>
#include <cmath>

void TMetafilePagePainter::SetPen(const QPen& pen)
{
    TPagePen p;
    p.Color = FromQColor(pen.color());
    switch (pen.style()) {
    case Qt::NoPen: p.Style = TPenStyle(5); break;
    case Qt::DashLine: p.Style = TPenStyle(1); break;
    case Qt::DotLine: p.Style = TPenStyle(2); break;
    case Qt::DashDotLine: p.Style = TPenStyle(3); break;
    case Qt::DashDotDotLine: p.Style = TPenStyle(4); break;
    default: p.Style = TPenStyle(0); break;
    }
    // Page pens are whole 1/96 inch; thinner is the device's thinnest line.
    const double width = pen.widthF() * 96;
    p.Width = std::isfinite(width) ? int(std::lround(std::min(width, 10000.0))) : 0;
    m_painter.SetPen(p);
}

void TMetafilePagePainter::SetBrush(const QBrush& brush)
{
    TPageBrush b;
    b.Color = FromQColor(brush.color());
    switch (brush.style()) {
    case Qt::NoBrush: b.Style = TBrushStyle(1); break;
    case Qt::HorPattern: b.Style = TBrushStyle(2); break;
    case Qt::VerPattern: b.Style = TBrushStyle(3); break;
    case Qt::BDiagPattern: b.Style = TBrushStyle(4); break;
    case Qt::FDiagPattern: b.Style = TBrushStyle(5); break;
    case Qt::CrossPattern: b.Style = TBrushStyle(6); break;
    case Qt::DiagCrossPattern: b.Style = TBrushStyle(7); break;
    default: b.Style = TBrushStyle(0); break;
    }
    m_painter.SetBrush(b, nullptr);
}

void TMetafilePagePainter::Line(const QPointF& from, const QPointF& to) { m_painter.DrawLine(from, to); }

void TMetafilePagePainter::Polyline(const QPolygonF& points)
{
    m_painter.DrawPolyline(points.constData(), int(points.size()));
}

void TMetafilePagePainter::Polygon(const QPolygonF& points, Qt::FillRule rule)
{
    m_painter.DrawPolygon(points.constData(), int(points.size()), rule == Qt::WindingFill);
}

void TMetafilePagePainter::Rectangle(const QRectF& r) { m_painter.DrawRectangle(r); }

void TMetafilePagePainter::Ellipse(const QRectF& r) { m_painter.DrawEllipse(r); }

void TMetafilePagePainter::Text(const QPointF& at, const QString& text, const TMetafileFont& font, const QColor& color,
                                Qt::Alignment align, const QColor& background)
{
    const double points = font.height * 72;
    if (text.isEmpty() || !(points > 0) || points > 2000) return;
    TPageFont f = ReportFonts::Resolve(font.name, points);
    f.Bold = f.Bold || font.bold;
    f.Italic = font.italic;
    f.Underline = font.underline;
    f.StrikeOut = font.strikeOut;
    f.Color = FromQColor(color);
    f.Angle = int(std::lround(std::fmod(font.angle, 360.0) * 10));
    const QString shown = ReportFonts::IsSymbolFont(font.name) ? ReportFonts::MapSymbols(font.name, text) : text;

    // The reference point as the alignment names it, moved to the base
    // line's left end along the text's direction.
    const QFontMetricsF metrics(ReportFonts::QtFont(f));
    const double scale = 1.0 / ReportFonts::ReferenceDpi;
    const double width = metrics.horizontalAdvance(shown) * scale;
    const double ascent = metrics.ascent() * scale, descent = metrics.descent() * scale;
    double dx = 0, dy = 0;
    if (align & Qt::AlignRight)
        dx = -width;
    else if (align & Qt::AlignHCenter)
        dx = -width / 2;
    if (align & Qt::AlignTop)
        dy = ascent;
    else if (align & Qt::AlignBottom)
        dy = -descent;
    const double a = f.Angle / 10.0 * M_PI / 180;
    const QPointF origin(at.x() + dx * std::cos(a) + dy * std::sin(a), at.y() - dx * std::sin(a) + dy * std::cos(a));

    if (background.isValid() && f.Angle == 0)
        m_painter.FillRect(QRectF(origin.x(), origin.y() - ascent, width, ascent + descent), FromQColor(background));
    m_painter.SetFont(f);
    m_painter.DrawText(origin, shown);
}

void TMetafilePagePainter::StretchBitmap(const QRectF& r, const QImage& image) { m_painter.DrawImage(r, image, -1); }
