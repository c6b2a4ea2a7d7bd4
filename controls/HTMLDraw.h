#pragma once
// Draws, measures and hit-tests a text of the HTML mini-language in a
// rectangle of a canvas. Grid cells, the HTML hint window, the grid footer
// and the HTML button caption are drawn by it; mouse handlers call it without
// drawing to learn which anchor or embedded control lies under the mouse.
// It never raises: unknown tags have no effect and numbers that do not parse
// read as 0.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <QString>

class QWidget;
class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// The inputs of one call, with the defaults of a plain draw.
struct THTMLDrawOptions {
    const TImageList* Images = nullptr; // IMG SRC="IDX:n"
    int XPos = -1;                      // mouse point
    int YPos = -1;
    int FocusLink = -1;        // 0-based index of the anchor with the keyboard focus; -1 none
    int HoverLink = -1;        // 1-based number of the hovered anchor
    int ShadowOffset = 1;      // SH text shadow offset, right and down
    bool CheckHotSpot = false; // the second pass hit-tests instead of drawing
    bool CheckHeight = false;  // measure only; lines go on past the bottom
    bool Print = false;        // image-list pictures through a stretched bitmap
    bool Selected = false;     // text keeps the canvas colours
    bool Blink = true;         // blink phase; false hides BLINK text
    bool HoverStyle = false;   // only the hovered anchor is underlined and coloured
    bool WordWrap = true;      // break at spaces; otherwise end in an ellipsis
    bool Down = false;         // mouse button down: controls under it drawn pressed
    double ResFactor = 1.0;    // printing scale of image-list and system icons
    TColor URLColor = clBlue;
    TColor HoverColor = clNone;
    TColor HoverFontColor = clNone;
    TColor ShadowColor = clGray;
    THTMLPictureCache* PictureCache = nullptr;
    TPictureContainer* PictureContainer = nullptr;
    QWidget* Window = nullptr; // widget the themed control parts are drawn for
    // False for the HTML button's caption: CONTROL tags have no effect and
    // nothing is drawn with visual styles.
    bool Controls = true;
};

// What one call reports.
struct THTMLDrawResults {
    QString AnchorVal;   // HREF under the mouse; "ctrl" on an embedded control
    QString StripVal;    // all text without tags (hidden text too); BR gives CR
    QString FocusAnchor; // HREF of the anchor with index FocusLink
    int XSize = 0;       // widest line
    int YSize = 0;       // height of all lines; the height of "gh" without any
    int HyperLinks = 0;  // number of anchors
    int MouseLink = -1;  // 1-based number of the anchor under the mouse
    TRect HoverRect;     // rectangle of that anchor
    TRect ControlRect;   // embedded control under the mouse; (0,0,0,0) none
    QString CID;         // its ID, VALUE and TYPE
    QString CV;
    QString CT;
};

// True when the mouse point lies on an anchor's text (CheckHotSpot needed),
// on a picture inside an anchor, or on an embedded control.
bool HTMLDraw(TCanvas& canvas, const QString& text, const TRect& rect, const THTMLDrawOptions& options,
              THTMLDrawResults& results);

// The same with the renderer's classic argument list.
bool HTMLDrawEx(TCanvas* Canvas, const QString& Text, const TRect& Rect, const TImageList* Images, int XPos, int YPos,
                int FocusLink, int HoverLink, int ShadowOffset, bool CheckHotSpot, bool CheckHeight, bool Print,
                bool Selected, bool Blink, bool HoverStyle, bool WordWrap, bool Down, double ResFactor, TColor URLColor,
                TColor HoverColor, TColor HoverFontColor, TColor ShadowColor, QString& AnchorVal, QString& StripVal,
                QString& FocusAnchor, int& XSize, int& YSize, int& HyperLinks, int& MouseLink, TRect& HoverRect,
                TRect& ControlRect, QString& CID, QString& CV, QString& CT, THTMLPictureCache* PictureCache,
                TPictureContainer* PictureContainer, QWidget* Window);
