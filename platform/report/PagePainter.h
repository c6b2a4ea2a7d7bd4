#pragma once
// What a report page is made of: a small set of drawing operations in
// inches from the page's top-left corner. The page surface sends them to a
// page painter while a report is printed; the report file reader sends the
// recorded ones to a page painter when a page is replayed (preview, printer,
// PDF, the text dump). Pen, brush and font are state, set before the shapes
// and texts that use them.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

// A font as the page uses it, already resolved to an installed family.
struct TPageFont {
    QString Family = QStringLiteral("Liberation Sans");
    double Size = 10; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    TColor Color = clBlack; // plain colour
    int Angle = 0;          // tenths of a degree, counter-clockwise
    bool operator==(const TPageFont&) const = default;
};

// Pen widths are pixels of a page seen at 96 per inch (a width of 1 is
// 1/96 inch at every resolution); 0 is the thinnest line the device draws.
struct TPagePen {
    TColor Color = clBlack;
    TPenStyle Style = TPenStyle(0); // solid
    int Width = 1;
    TPenMode Mode = TPenMode(4); // copy
    bool operator==(const TPagePen&) const = default;
};

// Pattern is the page image of a pattern brush, -1 for none.
struct TPageBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle(0); // solid
    int Pattern = -1;
    bool operator==(const TPageBrush&) const = default;
};

class TPagePainter {
public:
    virtual ~TPagePainter();

    // Pages are numbered from 0; every page is US Letter portrait unless
    // its size says otherwise.
    virtual void BeginPage(int index, QSizeF inches) = 0;
    virtual void EndPage() = 0;

    virtual void SetFont(const TPageFont& font) = 0;
    virtual void SetPen(const TPagePen& pen) = 0;
    // pattern is the brush's picture, or nullptr.
    virtual void SetBrush(const TPageBrush& brush, const QImage* pattern) = 0;
    // Limits the following drawing to r; nullptr ends the limit.
    virtual void SetClip(const QRectF* r) = 0;

    // Text with the left end of its base line at origin, transparent
    // background, in the current font.
    virtual void DrawText(QPointF origin, const QString& text) = 0;
    virtual void DrawLine(QPointF from, QPointF to) = 0;
    // Outlined with the pen, filled with the brush; an empty width or
    // height still strokes its outline.
    virtual void DrawRectangle(const QRectF& r) = 0;
    virtual void DrawEllipse(const QRectF& r) = 0;
    virtual void DrawPolyline(const QPointF* points, int count) = 0;
    // Filled alternately (even-odd) unless winding.
    virtual void DrawPolygon(const QPointF* points, int count, bool winding) = 0;
    // A plain filled area without outline (cell shading).
    virtual void FillRect(const QRectF& r, TColor color) = 0;
    // The picture scaled into r. imageIndex is the picture's index in the
    // report file (-1 while recording); an image that could not be decoded
    // is null and leaves its area empty.
    virtual void DrawImage(const QRectF& r, const QImage& image, int imageIndex) = 0;
    // Whether DrawImage needs the picture's pixels. A painter that takes
    // the picture by its index from the file instead (the PDF writer keeps
    // stored JPEG photos as they are) is handed a null image, and the
    // picture is not decoded for it.
    virtual bool NeedsImagePixels() const { return true; }
};
