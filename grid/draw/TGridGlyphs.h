#pragma once
// The glyph bitmaps of the grid's resources ("ESGCHK01", "ESGRAD05",
// "ESGLEAFOPEN", "ESGFILT", ...), decoded once and kept, and the
// transparent drawing the grid uses for them: the bottom-left pixel's colour
// is left out.

#include "platform/graphics/Geometry.h"

#include <QImage>
#include <QString>

class TCanvas;
class TBitmap;

class TGridGlyphs {
public:
    // The decoded resource bitmap; a null image when the program has none.
    static const QImage& Glyph(const QString& name);
    // Draws image at (x, y) without the pixels of its bottom-left colour.
    static void DrawTransparent(TCanvas& canvas, int x, int y, const QImage& image);
    // The same for a bitmap (nothing for an empty one).
    static void DrawTransparent(TCanvas& canvas, int x, int y, const TBitmap& bitmap);
    // The resource glyph centred in rect.
    static void DrawResource(TCanvas& canvas, const TRect& rect, const QString& name);
};
