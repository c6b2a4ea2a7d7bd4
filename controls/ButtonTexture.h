#pragma once
// The generated faces of the HTML button: shades of one colour, built pixel
// by pixel once per change of colour, face kind or size.

#include "platform/graphics/Color.h"

#include <QImage>

class QRandomGenerator;

enum TBtnBackground {
    stNormal,
    stNoise,
    stDiagShade,
    stHShade,
    stVShade,
    stHBump,
    stVBump,
    stSoftBump,
    stHardBump,
    stLMetal,
    stRMetal,
    stIRadial,
    stORadial,
    stHShadeInv,
    stVShadeInv,
    stXPTheme
};

// The face for a button of width x height: an image two pixels wider and
// higher. Noise and metal faces draw from random (a generator seeded from
// the clock when none is given).
QImage BuildButtonTexture(TBtnBackground kind, TColor color, int width, int height, QRandomGenerator* random = nullptr);
