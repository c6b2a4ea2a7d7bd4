#pragma once
// A canvas for layout tests: it draws nothing, records every call with the
// state it was made in, and measures text with fixed metrics that depend on
// the font size only, never on installed fonts:
//   character width  = Size pixels (8 for the default 8-point font), every
//                      character alike (tabs expand to 8 of them);
//   line height      = 2 * Size pixels (16), ascent 13/16 of it, descent the
//                      rest (13 and 3), internal leading 0;
//   external leading = 0 unless set with SetExternalLeading.
// Both scale with PixelsPerInch / 96.

#include "platform/graphics/Canvas.h"

#include <QStringList>

struct TCanvasCall {
    // "LineTo", "Polyline", "Polygon", "Rectangle", "FillRect", "FrameRect",
    // "Ellipse", "RoundRect", "Arc", "FloodFill", "SetPixel", "InvertRect",
    // "DrawText", "TextRun" (one run of text as drawn, also those of
    // DrawText, TextOut and TextRect), "DrawFocusRect", "DrawEdge",
    // "DrawFrameControl", "DrawImage", "DrawImageTransparent", "ThemePart",
    // and the fills the composite operations make: "Solid" (a plain colour:
    // edges, frame controls, text backgrounds, prefix underlines) and
    // "XorPattern" (focus rectangle sides).
    QString Op;
    TRect Rect;  // the rectangle of the call (DrawText: as passed)
    TRect Rect2; // DrawImage: source; TextRun: clip; DrawText: result
    TPoint From; // LineTo: start; TextRun: cell top-left
    TPoint To;   // LineTo: end
    QVector<TPoint> Points;
    QString Text;          // text; ThemePart: the theme class
    unsigned Flags = 0;    // DrawText format, edge|flags<<16, frame kind|state<<16, rop
    int Part = 0;          // ThemePart part
    int State = 0;         // ThemePart state
    bool Opaque = false;   // TextRun: background filled
    bool Clipped = false;  // TextRun: clipped to Rect2
    TColor Color = clNone; // SetPixel, FloodFill, DrawImageTransparent colour
    TFont Font;            // snapshot of the canvas state at the call
    TBrush Brush;
    TPen Pen;
    std::optional<QRegion> Clip;
};

class TRecordingCanvas : public TCanvas {
public:
    explicit TRecordingCanvas(int ppi = 96, TRect deviceRect = TRect(0, 0, 10000, 10000));
    ~TRecordingCanvas() override;

    int PixelsPerInchX() const override { return m_ppi; }
    int PixelsPerInchY() const override { return m_ppi; }
    void SetPixelsPerInch(int ppi) { m_ppi = ppi; }
    void SetExternalLeading(int pixels) { m_externalLeading = pixels; }

    const QVector<TCanvasCall>& Calls() const { return m_calls; }
    QVector<TCanvasCall> CallsOf(const QString& op) const;
    // The texts of the TextRun calls, in order.
    QStringList Runs() const;
    void Clear() { m_calls.clear(); }

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
    int DrawText(const QString& text, TRect& r, unsigned format) override;
    void DrawFocusRect(const TRect& r) override;
    bool DrawEdge(TRect& r, unsigned edge, unsigned flags) override;
    bool DrawFrameControl(TRect& r, unsigned kind, unsigned state) override;
    void DrawImage(const TRect& dest, const QImage& image, const TRect& source, TCopyMode rop = cmSrcCopy) override;
    void DrawImageTransparent(const TRect& dest, const QImage& image, const TRect& source, TColor transparent) override;
    QImage Grab(const TRect& r) const override;
    void DrawThemePart(QWidget* window, const QString& themeClass, int part, int state, const TRect& r,
                       const TRect* clip) override;

protected:
    TRect DeviceRect() const override { return m_deviceRect; }
    TTextMetric CurrentTextMetrics() override;
    int CurrentTextWidth(QStringView text) override;
    void TextRun(int x, int y, QStringView text, bool opaque, const TRect* clip) override;
    void FillSolid(const TRect& r, TColor color) override;
    void XorPattern(const TRect& r, TColor onColor, TColor offColor) override;

private:
    TCanvasCall& Record(const QString& op);
    QVector<TCanvasCall> m_calls;
    int m_ppi;
    int m_externalLeading = 0;
    TRect m_deviceRect;
};
