#pragma once
// The canvas over a QPainter: widgets (inside paintEvent), QImage targets
// and the printer. Antialiasing stays off so that pixels come out as the
// Windows drawing interface would put them. Font sizes are converted with
// the device's resolution.

#include "platform/graphics/Canvas.h"

#include <QFont>
#include <memory>

class QPaintDevice;

class TPainterCanvas : public TCanvas {
public:
    // Paints through a painter that the caller has begun and ends; the
    // resolution is the device's unless given.
    explicit TPainterCanvas(QPainter* painter, int ppiX = 0, int ppiY = 0);
    // Paints into the image (begun on the first drawing call, ended by
    // Release or destruction); ppi 0 takes the image's own resolution.
    explicit TPainterCanvas(QImage* image, int ppi = 96);
    ~TPainterCanvas() override;

    int PixelsPerInchX() const override { return m_ppiX; }
    int PixelsPerInchY() const override { return m_ppiY; }

    // Ends the painter this canvas began (image canvases); the next drawing
    // call begins it again with the same state.
    void Release();
    QPainter* Painter() override;

    // The Qt font the current canvas font is drawn with.
    QFont CurrentQFont();

    using TCanvas::Ellipse;
    using TCanvas::Polygon;
    using TCanvas::Polyline;
    using TCanvas::Rectangle;
    void LineTo(int x, int y) override;
    void Polyline(const QVector<TPoint>& points) override;
    void Polygon(const QVector<TPoint>& points) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void FillRect(const TRect& r) override;
    void FrameRect(const TRect& r) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void FloodFill(int x, int y, TColor color, TFillStyle style) override;
    TColor Pixel(int x, int y) const override;
    void SetPixel(int x, int y, TColor color) override;
    void InvertRect(const TRect& r) override;
    void DrawImage(const TRect& dest, const QImage& image, const TRect& source, TCopyMode rop = cmSrcCopy) override;
    void DrawImageTransparent(const TRect& dest, const QImage& image, const TRect& source, TColor transparent) override;
    QImage Grab(const TRect& r) const override;
    void DrawThemePart(QWidget* window, const QString& themeClass, int part, int state, const TRect& r,
                       const TRect* clip) override;

protected:
    TRect DeviceRect() const override;
    void ClipChanged() override;
    void FontChanged() override;
    TTextMetric CurrentTextMetrics() override;
    int CurrentTextWidth(QStringView text) override;
    void TextRun(int x, int y, QStringView text, bool opaque, const TRect* clip) override;
    void FillSolid(const TRect& r, TColor color) override;
    void XorPattern(const TRect& r, TColor onColor, TColor offColor) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
    int m_ppiX = 96;
    int m_ppiY = 96;
};
