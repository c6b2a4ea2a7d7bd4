#pragma once
// State of the painting pipeline.

#include "platform/graphics/Color.h"

#include <QString>
#include <memory>

class THTMLPictureCache;

struct TGridDrawState_p {
    int zoom = 0;             // added to the font size of every cell
    TColor duvTop = clSilver; // glDUV fixed-cell gradient
    TColor duvBottom = clWhite;
    int marginX = 2; // cell text margins
    int marginY = 2;
    TColor selectionRectColor = clBlack;
    TColor commentColor = clRed;
    unsigned lastVFormat = 0; // last vertical DrawText format (for the editor)
    int textHeight = 0;
    bool blinkPhase = true;
    bool htmlButtonDown = false;
    bool mouseSelecting = false;
    bool themesInUse = false;
    std::unique_ptr<THTMLPictureCache> pictureCache;
    TGridDrawState_p();
    ~TGridDrawState_p();
};
