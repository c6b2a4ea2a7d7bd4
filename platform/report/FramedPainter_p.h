#pragma once
// What a picture that draws itself (a street map) draws on a page goes
// through here: shapes, texts and bitmaps are cut to the picture's frame,
// with a margin wide enough that the cut edges and their pen stay outside
// it, so however far outside its frame a picture reaches, what reaches the
// page lies next to the frame; bitmaps are cut to the part near the frame
// and made to fit a page picture. The page's clip still hides what lies
// beyond the frame.

#include "platform/report/PagePainter.h"

#include <functional>

class TFramedPainter : public TPagePainter {
public:
    // leftOut is told of every picture that could not be put on the page.
    TFramedPainter(TPagePainter& page, const QRectF& frame, std::function<void(const QString&)> leftOut);

    // The frame and the margin around it that the current pen needs.
    QRectF Bound() const;

    // Pages are the surface's: a picture neither begins nor ends one.
    void BeginPage(int, QSizeF) override { }
    void EndPage() override { }
    void SetFont(const TPageFont& font) override;
    void SetPen(const TPagePen& pen) override;
    void SetBrush(const TPageBrush& brush, const QImage* pattern) override;
    // Within the frame.
    void SetClip(const QRectF* r) override;
    void DrawText(QPointF origin, const QString& text) override;
    void DrawLine(QPointF from, QPointF to) override;
    void DrawRectangle(const QRectF& r) override;
    void DrawEllipse(const QRectF& r) override;
    void DrawPolyline(const QPointF* points, int count) override;
    void DrawPolygon(const QPointF* points, int count, bool winding) override;
    void FillRect(const QRectF& r, TColor color) override;
    void DrawImage(const QRectF& r, const QImage& image, int imageIndex) override;

    // Cuts a to b to r; false when no part of it lies inside.
    static bool ClipLine(QPointF& a, QPointF& b, const QRectF& r);
    // The part of a polygon inside r (its edges along r where it was cut).
    static std::vector<QPointF> ClipPolygon(const QPointF* points, int count, const QRectF& r);

private:
    void Shape(const QRectF& r, bool fill, TColor color);

    TPagePainter& m_page;
    QRectF m_frame;
    std::function<void(const QString&)> m_leftOut;
    TPageFont m_font;
    double m_penInches = 1.0 / 96;
};
