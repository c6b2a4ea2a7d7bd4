#pragma once
// The runs of a rich-text cell laid out on the canvas as the rich-text
// editor shows them: each run in its own weight, slant, underline, size and
// colour over the face of the canvas font, the words of a paragraph wrapped
// at the rectangle's width, the runs of a line on one base line, each line
// placed by its paragraph's alignment (left, right, centred, or justified
// but for the paragraph's last line), and nothing drawn below the
// rectangle.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

struct TRtfDocument;

struct TRichTextLook {
    // The colour of runs without one of their own.
    TColor defaultColor = clBlack;
    // When set, every run takes this colour (a selected cell).
    TColor overrideColor = clNone;
    // Added to every run's size in points.
    int zoom = 0;
};

// Draws the document into r with a clear background; the canvas font, brush
// and background mode are left as they were.
void DrawRichTextRuns(TCanvas& canvas, const TRtfDocument& document, const TRect& r, const TRichTextLook& look);
