#pragma once
// The report pages' colours: packing and blending, and the gradient pictures
// of the page header bar and the group bands.

#include "platform/graphics/Color.h"

#include <QImage>

// Colours are BGR integers: red in bits 0-7, green 8-15, blue 16-23.
TColor PackRGB(int red, int green, int blue);
// The red, green and blue bytes of the colour (system colours converted).
void SplitRGB(TColor color, int& red, int& green, int& blue);
// (a - b) * t + b, rounded halves to even, clamped to 0..255.
int BlendChannel(double t, int a, int b);
// t clamped to 0..1, each channel blended.
TColor BlendRGB(double t, TColor a, TColor b);
// t = 0 gives the colour, t = 1 white.
TColor Lighten(TColor color, float t);

// The page header bar: 60 x 960 pixels, white at the top to the colour at
// the bottom, framed two pixels wide in the colour.
QImage GradientFillVertical(TColor color);
// The group band: 750 x 30 pixels, white at the left, framed likewise.
QImage GradientFillHorizontal(TColor color);
