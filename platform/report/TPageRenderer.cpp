#include "platform/report/TPageRenderer.h"

#include "platform/report/ReportFonts.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

Qt::PenStyle QtPenStyle(TPenStyle style)
{
    switch (int(style)) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;
    default: return Qt::SolidLine; // solid, inside frame
    }
}

Qt::BrushStyle QtBrushStyle(TBrushStyle style)
{
    switch (int(style)) {
    case 1: return Qt::NoBrush;
    case 2: return Qt::HorPattern;
    case 3: return Qt::VerPattern;
    case 4: return Qt::BDiagPattern; // forward diagonal: rising to the right
    case 5: return Qt::FDiagPattern;
    case 6: return Qt::CrossPattern;
    case 7: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

} // namespace

TPageRenderer::TPageRenderer(QPainter& painter, double dotsPerInch, QPointF origin)
    : m_painter(painter), m_dpi(dotsPerInch), m_origin(origin)
{
    SetFont(TPageFont{});
    SetPen(TPagePen{});
    SetBrush(TPageBrush{}, nullptr);
}

QPointF TPageRenderer::Map(QPointF p) const { return m_origin + p * m_dpi; }

QRectF TPageRenderer::Map(const QRectF& r) const { return QRectF(Map(r.topLeft()), Map(r.bottomRight())); }

void TPageRenderer::BeginPage(int, QSizeF inches)
{
    m_painter.save();
    // The page's end restores the painter's font with the rest.
    m_fontSet = false;
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (m_background) m_painter.fillRect(Map(QRectF(QPointF(0, 0), inches)), Qt::white);
}

void TPageRenderer::EndPage() { m_painter.restore(); }

void TPageRenderer::SetFont(const TPageFont& font)
{
    m_font = font;
    m_qfont = ReportFonts::QtFont(font);
    m_fontSet = false;
}

void TPageRenderer::SetPen(const TPagePen& pen)
{
    m_penNone = int(pen.Style) == 5 || int(pen.Mode) == 2; // clear, no-op
    m_pen = QPen(ToQColor(pen.Color), pen.Width * m_dpi / 96.0, QtPenStyle(pen.Style), Qt::FlatCap, Qt::MiterJoin);
    if (pen.Width == 0) m_pen.setCosmetic(true);
}

void TPageRenderer::SetBrush(const TPageBrush& brush, const QImage* pattern)
{
    if (pattern && int(brush.Style) != 1) {
        m_brush = QBrush(*pattern);
        m_brush.setTransform(QTransform::fromScale(m_dpi / 96.0, m_dpi / 96.0));
        return;
    }
    m_brush = QBrush(ToQColor(brush.Color), QtBrushStyle(brush.Style));
}

void TPageRenderer::SetClip(const QRectF* r)
{
    if (r)
        m_painter.setClipRect(Map(*r));
    else
        m_painter.setClipping(false);
}

void TPageRenderer::ApplyShapeStyle()
{
    m_painter.setPen(m_penNone ? QPen(Qt::NoPen) : m_pen);
    m_painter.setBrush(m_brush);
}

void TPageRenderer::DrawText(QPointF origin, const QString& text)
{
    if (!m_fontSet) {
        m_painter.setFont(m_qfont);
        m_fontSet = true;
    }
    m_painter.setPen(ToQColor(m_font.Color));
    // Shaped at the reference size, so glyph advances match the measurement
    // the page was laid out with. At the reference resolution (PDF) that is
    // the device's own size: the text goes where it stands, with no
    // transform of its own for the device to record around every run.
    const double scale = m_dpi / ReportFonts::ReferenceDpi;
    if (scale == 1 && !m_font.Angle && m_painter.worldTransform().isIdentity()) {
        m_painter.drawText(Map(origin), text);
        return;
    }
    // Elsewhere shaped at the reference size and scaled.
    const QTransform saved = m_painter.worldTransform();
    QTransform t = saved;
    t.translate(Map(origin).x(), Map(origin).y());
    t.scale(scale, scale);
    if (m_font.Angle) t.rotate(-m_font.Angle / 10.0);
    m_painter.setWorldTransform(t);
    m_painter.drawText(QPointF(0, 0), text);
    m_painter.setWorldTransform(saved);
}

void TPageRenderer::DrawLine(QPointF from, QPointF to)
{
    if (m_penNone) return;
    m_painter.setPen(m_pen);
    m_painter.drawLine(Map(from), Map(to));
}

void TPageRenderer::DrawRectangle(const QRectF& r)
{
    const QRectF d = Map(r);
    ApplyShapeStyle();
    if (d.width() == 0 || d.height() == 0) {
        // An empty rectangle still strokes its outline: a line.
        if (!m_penNone) m_painter.drawLine(d.topLeft(), d.bottomRight());
        return;
    }
    m_painter.drawRect(d);
}

void TPageRenderer::DrawEllipse(const QRectF& r)
{
    ApplyShapeStyle();
    m_painter.drawEllipse(Map(r));
}

void TPageRenderer::DrawPolyline(const QPointF* points, int count)
{
    if (m_penNone || count < 2) return;
    QPolygonF poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i) poly.append(Map(points[i]));
    m_painter.setPen(m_pen);
    m_painter.drawPolyline(poly);
}

void TPageRenderer::DrawPolygon(const QPointF* points, int count, bool winding)
{
    if (count < 2) return;
    QPolygonF poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i) poly.append(Map(points[i]));
    ApplyShapeStyle();
    m_painter.drawPolygon(poly, winding ? Qt::WindingFill : Qt::OddEvenFill);
}

void TPageRenderer::FillRect(const QRectF& r, TColor color) { m_painter.fillRect(Map(r), ToQColor(color)); }

void TPageRenderer::DrawImage(const QRectF& r, const QImage& image, int)
{
    if (image.isNull()) return;
    // Printers and PDF keep a 1-bit picture as 1 bit only in Qt's own order
    // of colours (black, white); a white-is-zero sheet goes there inverted,
    // or it would become a full-colour, lossy picture.
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    if (image.depth() == 1 && image.colorCount() == 2 && image.color(0) == white && image.color(1) == black) {
        QImage flipped = image.convertToFormat(QImage::Format_Mono);
        flipped.invertPixels();
        flipped.setColorTable({black, white});
        m_painter.drawImage(Map(r), flipped);
        return;
    }
    m_painter.drawImage(Map(r), image);
}
