#pragma once
// A page painter that draws onto a QPainter at a given resolution: one
// inch is dotsPerInch device units, the page's top-left corner at origin
// (device units). Text keeps the reference measurement and is scaled to the
// device, so lines break and align as on every other device. Works for
// images, widgets, printers and PDF writers alike.

#include "platform/report/PagePainter.h"

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QPointF>

class QPainter;

class TPageRenderer : public TPagePainter {
public:
    TPageRenderer(QPainter& painter, double dotsPerInch, QPointF origin = {});

    // White page background before the operations (on by default).
    void SetPaintBackground(bool on) { m_background = on; }

    void BeginPage(int index, QSizeF inches) override;
    void EndPage() override;
    void SetFont(const TPageFont& font) override;
    void SetPen(const TPagePen& pen) override;
    void SetBrush(const TPageBrush& brush, const QImage* pattern) override;
    void SetClip(const QRectF* r) override;
    void DrawText(QPointF origin, const QString& text) override;
    void DrawLine(QPointF from, QPointF to) override;
    void DrawRectangle(const QRectF& r) override;
    void DrawEllipse(const QRectF& r) override;
    void DrawPolyline(const QPointF* points, int count) override;
    void DrawPolygon(const QPointF* points, int count, bool winding) override;
    void FillRect(const QRectF& r, TColor color) override;
    void DrawImage(const QRectF& r, const QImage& image, int imageIndex) override;

private:
    QPointF Map(QPointF p) const;
    QRectF Map(const QRectF& r) const;
    void ApplyShapeStyle();

    QPainter& m_painter;
    double m_dpi;
    QPointF m_origin;
    bool m_background = true;
    TPageFont m_font;
    QFont m_qfont;
    // Whether the painter has m_qfont.
    bool m_fontSet = false;
    QPen m_pen;
    QBrush m_brush;
    bool m_penNone = false;
};
