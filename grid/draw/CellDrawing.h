#pragma once
// Small numeric helpers and the drawing routines of cell painting: the red
// zig-zag under an error range, the progress pie, and bitmaps drawn with
// their transparent colour replaced by the cell's background.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <QString>

class TCanvas;
class TBitmap;

int MaxOf(int a, int b);
int MinOf(int a, int b);
// Left <= x <= Right and Top <= y <= Bottom: the edges belong to the
// rectangle.
bool PointInRectInclusive(const TRect& rect, int x, int y);
// current when a equals b; else b when 0 < b < current; else a when
// a > current and a > 0; else current.
int ChooseBound(int current, int a, int b);
// Each channel of the colour (system colours resolved) halved.
TColor DimColor(TColor color);

// A red zig-zag, 2 pixels wide, under count characters of text from first
// (0-based) as a single-line edit lays the text out in rect with the
// canvas's font; offset moves it down.
void DrawErrorUnderline(TCanvas& canvas, const QString& text, const TRect& rect, int offset, int first, int count);
// A pie in rect: grey outline and twelve o'clock radius, the slice from
// twelve o'clock clockwise to value (0..100) filled with fillColor.
void DrawCircularGauge(TCanvas& canvas, const TRect& rect, TColor fillColor, int value);
// The bitmap at its own size at rect's top-left corner, the colour of its
// top-left pixel replaced by background.
void DrawBitmapTransparent(TCanvas& canvas, const TBitmap& bitmap, TColor background, const TRect& rect);
// The same with a bitmap resource of the program; nothing when there is none.
void DrawResourceBitmap(TCanvas& canvas, TColor background, const TRect& rect, const QString& name);
