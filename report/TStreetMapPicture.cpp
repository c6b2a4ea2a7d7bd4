#include "report/TStreetMapPicture.h"

#include "platform/graphics/Color.h"
#include "platform/print/MetafilePlayer.h"
#include "platform/print/MetafileTarget.h"
#include "platform/report/PagePainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QIODevice>
#include <vector>

namespace {

// The player draws in inches of the page; the painter takes them as they are.
class PageTarget : public TMetafileTarget {
public:
    explicit PageTarget(TPagePainter& painter) : m_painter(painter) {}

    void SetPen(const QPen& pen) override
    {
        TPagePen p;
        p.Color = FromQColor(pen.color());
        p.Style = pen.style() == Qt::NoPen ? TPenStyle::psClear : TPenStyle::psSolid;
        p.Width = int(pen.widthF() * 96 + 0.5);
        m_painter.SetPen(p);
    }
    void SetBrush(const QBrush& brush) override
    {
        TPageBrush b;
        b.Color = FromQColor(brush.color());
        b.Style = brush.style() == Qt::NoBrush ? TBrushStyle::bsClear : TBrushStyle::bsSolid;
        m_painter.SetBrush(b, nullptr);
    }
    void Line(const QPointF& from, const QPointF& to) override { m_painter.DrawLine(from, to); }
    void Polyline(const QPolygonF& points) override
    {
        m_painter.DrawPolyline(points.constData(), int(points.size()));
    }
    void Polygon(const QPolygonF& points, Qt::FillRule rule) override
    {
        m_painter.DrawPolygon(points.constData(), int(points.size()), rule == Qt::WindingFill);
    }
    void Rectangle(const QRectF& r) override { m_painter.DrawRectangle(r); }
    void Ellipse(const QRectF& r) override { m_painter.DrawEllipse(r); }
    void Text(const QPointF& at, const QString& text, const TMetafileFont& font, const QColor& color,
              Qt::Alignment align, const QColor&) override
    {
        if (font.height <= 0 || text.isEmpty())
            return;
        TPageFont f;
        f.Family = font.name.isEmpty() ? QStringLiteral("Liberation Sans") : font.name;
        f.Size = font.height * 72;
        f.Bold = font.bold;
        f.Italic = font.italic;
        f.Underline = font.underline;
        f.StrikeOut = font.strikeOut;
        f.Color = FromQColor(color);
        f.Angle = int(font.angle * 10);
        m_painter.SetFont(f);
        // Measured at a large size, scaled to the em height.
        QFont q(f.Family);
        q.setPixelSize(1000);
        q.setBold(f.Bold);
        q.setItalic(f.Italic);
        const QFontMetricsF m(q);
        const double scale = font.height / 1000.0;
        QPointF origin = at;
        if (align & Qt::AlignHCenter)
            origin.rx() -= m.horizontalAdvance(text) * scale / 2;
        else if (align & Qt::AlignRight)
            origin.rx() -= m.horizontalAdvance(text) * scale;
        if (align & Qt::AlignTop)
            origin.ry() += m.ascent() * scale;
        else if (align & Qt::AlignBottom)
            origin.ry() -= m.descent() * scale;
        m_painter.DrawText(origin, text);
    }
    void StretchBitmap(const QRectF& r, const QImage& image) override { m_painter.DrawImage(r, image, -1); }

private:
    TPagePainter& m_painter;
};

} // namespace

void TStreetMapPicture::DrawPage(TPagePainter& painter, const QRectF& r) const
{
    if (m_data.isEmpty())
        return;
    PageTarget target(painter);
    TMetafilePlayer::Play(m_data, target, r);
}

// The page surface draws the map as page operations (DrawPage); on a
// canvas it leaves the area as it is.
void TStreetMapPicture::Draw(TCanvas&, const TRect&) const {}

void TStreetMapPicture::LoadFromStream(QIODevice& stream) { m_data = stream.readAll(); }

void TStreetMapPicture::SaveToStream(QIODevice& stream) const { stream.write(m_data); }
