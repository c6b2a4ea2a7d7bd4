#pragma once
// Plays a street map's records onto a report page: the metafile player's
// shapes, texts and bitmaps become page operations in inches, so the map
// stays vector in the preview, the printer and the PDF.

#include "platform/readers/MetafileTarget.h"
#include "platform/report/PagePainter.h"

class TMetafilePagePainter : public TMetafileTarget {
public:
    explicit TMetafilePagePainter(TPagePainter& painter) : m_painter(painter) { }

    void SetPen(const QPen& pen) override;
    void SetBrush(const QBrush& brush) override;
    void Line(const QPointF& from, const QPointF& to) override;
    void Polyline(const QPolygonF& points) override;
    void Polygon(const QPolygonF& points, Qt::FillRule rule) override;
    void Rectangle(const QRectF& r) override;
    void Ellipse(const QRectF& r) override;
    void Text(const QPointF& at, const QString& text, const TMetafileFont& font, const QColor& color,
              Qt::Alignment align, const QColor& background) override;
    void StretchBitmap(const QRectF& r, const QImage& image) override;

private:
    TPagePainter& m_painter;
};
