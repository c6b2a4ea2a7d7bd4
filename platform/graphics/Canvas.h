#pragma once
// The drawing surface of the class library, written for what the controls
// expect of it: a font, a brush and a pen that are changed in place, a
// current position, a stack of clip regions, and operations with the Windows
// semantics the layouts depend on (rectangles and lines exclude their right
// and bottom edge and a line its end pixel, text is laid out by DrawText with
// its format flags, the focus rectangle is an inverting dotted frame).
//
// Two canvases implement it: TPainterCanvas (PainterCanvas.h) over a QPainter
// for widgets, images and the printer, and TRecordingCanvas
// (RecordingCanvas.h) with fixed font metrics that records every call, for
// layout tests that must not depend on installed fonts.

#include "platform/core/Set.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <QImage>
#include <QRegion>
#include <QString>
#include <QVector>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

class QPainter;
class QWidget;
class TCanvas;
class TGraphic;
class TBitmap;

// Raster operations of the copy operations (TCanvas::CopyMode, BitBlt).
using TCopyMode = unsigned;
enum : unsigned {
    cmBlackness = 0x00000042,
    cmDstInvert = 0x00550009,
    cmMergeCopy = 0x00C000CA,
    cmMergePaint = 0x00BB0226,
    cmNotSrcCopy = 0x00330008,
    cmNotSrcErase = 0x001100A6,
    cmPatCopy = 0x00F00021,
    cmPatInvert = 0x005A0049,
    cmPatPaint = 0x00FB0A09,
    cmSrcAnd = 0x008800C6,
    cmSrcCopy = 0x00CC0020,
    cmSrcErase = 0x00440328,
    cmSrcInvert = 0x00660046,
    cmSrcPaint = 0x00EE0086,
    cmWhiteness = 0x00FF0062,
};

// ---------------------------------------------------------------------------
// Constants of the drawing interface: the platform's own in namespace Win,
// the class library's as scoped enumerations.

namespace Win {

// DrawText format flags.
enum : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
    DT_NOFULLWIDTHCHARBREAK = 0x80000,
    DT_HIDEPREFIX = 0x100000,
    DT_PREFIXONLY = 0x200000,
};

// DrawEdge: edge kinds and border flags.
enum : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3,
    BDR_INNER = 0xC,
    BDR_RAISED = 0x5,
    BDR_SUNKEN = 0xA,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,

    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_TOPLEFT = BF_TOP | BF_LEFT,
    BF_TOPRIGHT = BF_TOP | BF_RIGHT,
    BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT,
    BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000,
};

// DrawFrameControl: kinds and states.
enum : unsigned {
    DFC_CAPTION = 1,
    DFC_MENU = 2,
    DFC_SCROLL = 3,
    DFC_BUTTON = 4,
    DFC_POPUPMENU = 5,

    DFCS_BUTTONCHECK = 0x0,
    DFCS_BUTTONRADIOIMAGE = 0x1,
    DFCS_BUTTONRADIOMASK = 0x2,
    DFCS_BUTTONRADIO = 0x4,
    DFCS_BUTTON3STATE = 0x8,
    DFCS_BUTTONPUSH = 0x10,

    DFCS_SCROLLUP = 0x0,
    DFCS_SCROLLDOWN = 0x1,
    DFCS_SCROLLLEFT = 0x2,
    DFCS_SCROLLRIGHT = 0x3,
    DFCS_SCROLLCOMBOBOX = 0x5,
    DFCS_SCROLLSIZEGRIP = 0x8,
    DFCS_SCROLLSIZEGRIPRIGHT = 0x10,

    DFCS_INACTIVE = 0x100,
    DFCS_PUSHED = 0x200,
    DFCS_CHECKED = 0x400,
    DFCS_TRANSPARENT = 0x800,
    DFCS_HOT = 0x1000,
    DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000,
};

// Background modes (SetBkMode).
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

// Raster operations under their platform names.
enum : unsigned {
    SRCCOPY = cmSrcCopy,
    SRCINVERT = cmSrcInvert,
    SRCAND = cmSrcAnd,
    SRCPAINT = cmSrcPaint,
    NOTSRCCOPY = cmNotSrcCopy,
    DSTINVERT = cmDstInvert,
    BLACKNESS = cmBlackness,
    WHITENESS = cmWhiteness,
    PATCOPY = cmPatCopy,
    PATINVERT = cmPatInvert,
};

} // namespace Win

enum class TFontStyle : unsigned char { fsBold, fsItalic, fsUnderline, fsStrikeOut };
enum class TBrushStyle : unsigned char {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
enum class TPenStyle : unsigned char { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode : unsigned char {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum class TFillStyle : unsigned char { fsSurface, fsBorder };

// A set of font styles: Style + TFontStyle::fsBold.
using TFontStyles = TSet<TFontStyle>;

// Text metrics of the selected font, in device pixels.
struct TTextMetric {
    int tmHeight = 0; // ascent + descent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0; // extra space the font suggests between lines
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

// ---------------------------------------------------------------------------
// Font, brush and pen. Each belongs to at most one canvas (the canvas is told
// of every change, as the class library's OnChange does); a copy made by the
// copy constructor belongs to none, and assigning into a canvas's object
// (canvas.Font() = saved) keeps that object on its canvas and tells it.

class TFont {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);
    void Assign(const TFont& other) { *this = other; }

    const QString& Name() const { return m_name; }
    void SetName(const QString& name);
    // Size in points; the canvas converts it with its own resolution.
    int Size() const { return m_size; }
    void SetSize(int points);
    // Height in pixels at PixelsPerInch, negative as the class library keeps
    // it (-MulDiv(Size, PixelsPerInch, 72)); setting it sets Size.
    int Height() const;
    void SetHeight(int height);
    int PixelsPerInch() const { return m_pixelsPerInch; }
    void SetPixelsPerInch(int ppi);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles style);
    // Escapement and orientation in tenths of a degree, counter-clockwise.
    int Orientation() const { return m_orientation; }
    void SetOrientation(int tenthsOfDegree);

    // Same face, size, colour, style and orientation.
    bool operator==(const TFont& other) const;

    // Fired after every change (not copied).
    std::function<void()> OnChange;

private:
    friend class TCanvas;
    void Changed();
    TCanvas* m_canvas = nullptr;
    QString m_name;
    int m_size = 8;
    int m_pixelsPerInch = 96;
    TColor m_color = clWindowText;
    TFontStyles m_style;
    int m_orientation = 0;
};

class TBrush {
public:
    TBrush() = default;
    TBrush(const TBrush& other);
    TBrush& operator=(const TBrush& other);
    void Assign(const TBrush& other) { *this = other; }

    // The brush colour; clNone while the style is bsClear, so that saving
    // the colour of a clear brush and setting it back keeps the brush clear.
    TColor Color() const { return m_style == TBrushStyle::bsClear ? clNone : m_color; }
    // Setting clNone makes the brush clear; any other colour makes a clear
    // brush solid again (as the class library does).
    void SetColor(TColor color);
    TBrushStyle Style() const { return m_style; }
    // bsClear keeps the colour, which comes back when the style turns solid.
    void SetStyle(TBrushStyle style);
    // The colour kept even while the brush is clear.
    TColor StoredColor() const { return m_color; }

    bool operator==(const TBrush& other) const { return m_color == other.m_color && m_style == other.m_style; }

    std::function<void()> OnChange;

private:
    friend class TCanvas;
    void Changed();
    TCanvas* m_canvas = nullptr;
    TColor m_color = clWhite;
    TBrushStyle m_style = TBrushStyle::bsSolid;
};

class TPen {
public:
    TPen() = default;
    TPen(const TPen& other);
    TPen& operator=(const TPen& other);
    void Assign(const TPen& other) { *this = other; }

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    int Width() const { return m_width; }
    void SetWidth(int width);
    TPenStyle Style() const { return m_style; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return m_mode; }
    void SetMode(TPenMode mode);

    bool operator==(const TPen& other) const
    {
        return m_color == other.m_color && m_width == other.m_width && m_style == other.m_style &&
            m_mode == other.m_mode;
    }

    std::function<void()> OnChange;

private:
    friend class TCanvas;
    void Changed();
    TCanvas* m_canvas = nullptr;
    TColor m_color = clBlack;
    int m_width = 1;
    TPenStyle m_style = TPenStyle::psSolid;
    TPenMode m_mode = TPenMode::pmCopy;
};

// ---------------------------------------------------------------------------
// The canvas

class TCanvas {
public:
    TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    virtual ~TCanvas();

    TFont& Font() { return m_font; }
    TBrush& Brush() { return m_brush; }
    TPen& Pen() { return m_pen; }
    const TFont& Font() const { return m_font; }
    const TBrush& Brush() const { return m_brush; }
    const TPen& Pen() const { return m_pen; }

    // Device resolution (pixels per inch); fonts are converted with it.
    virtual int PixelsPerInchX() const = 0;
    virtual int PixelsPerInchY() const = 0;

    // Background mode for text and styled pens. Changing the brush sets it
    // again from the brush (solid: OPAQUE, clear: TRANSPARENT) at the next
    // drawing call, as the class library re-selects its brush.
    int BkMode() const;
    void SetBkMode(int mode);
    // Raster operation of CopyRect and Draw (cmSrcCopy at creation).
    TCopyMode CopyMode() const { return m_copyMode; }
    void SetCopyMode(TCopyMode mode) { m_copyMode = mode; }

    // Current position.
    TPoint PenPos() const { return m_penPos; }
    void SetPenPos(TPoint p) { m_penPos = p; }
    void MoveTo(int x, int y) { m_penPos = TPoint(x, y); }

    // Lines with the pen, from the current position; the end pixel is left
    // out (for width 1) and becomes the current position.
    virtual void LineTo(int x, int y) = 0;
    // Lines through the points (each end pixel left out but the last segment's
    // start drawn); the current position is not used or changed.
    virtual void Polyline(const QVector<TPoint>& points) = 0;
    void Polyline(std::initializer_list<TPoint> points) { Polyline(QVector<TPoint>(points)); }
    // Filled with the brush (alternate fill) and outlined with the pen.
    virtual void Polygon(const QVector<TPoint>& points) = 0;
    void Polygon(std::initializer_list<TPoint> points) { Polygon(QVector<TPoint>(points)); }

    // Interior in the brush, outline in the pen; covers Left..Right-1 and
    // Top..Bottom-1 with a pen of width 1.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // The brush over Left..Right-1, Top..Bottom-1 (nothing with a clear brush).
    virtual void FillRect(const TRect& r) = 0;
    // A one-pixel frame in the brush colour.
    virtual void FrameRect(const TRect& r) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    virtual void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) = 0;
    // Counter-clockwise arc of the ellipse in (x1,y1,x2,y2) from the ray
    // towards (x3,y3) to the ray towards (x4,y4), with the pen.
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    // Fills with the brush from (x,y): fsBorder up to pixels of colour,
    // fsSurface over the connected pixels of colour.
    virtual void FloodFill(int x, int y, TColor color, TFillStyle style) = 0;
    // Pixels (clNone where the canvas cannot read back).
    virtual TColor Pixel(int x, int y) const = 0;
    virtual void SetPixel(int x, int y, TColor color) = 0;
    // Inverts every pixel of the rectangle.
    virtual void InvertRect(const TRect& r) = 0;

    // ----- Text
    // Text with its cell's top-left at (x, y); with the OPAQUE background
    // mode the cell is first filled with the brush colour. The current
    // position moves to (x + width, y).
    void TextOut(int x, int y, const QString& text);
    // Text at (x, y) clipped to r; a solid brush first fills all of r.
    void TextRect(const TRect& r, int x, int y, const QString& text);
    TSize TextExtent(const QString& text);
    int TextWidth(const QString& text) { return TextExtent(text).cx; }
    int TextHeight(const QString& text) { return TextExtent(text).cy; }
    // How many characters of text fit in maxExtent pixels (the platform's
    // extent-fitting call); extent receives their width when given.
    int TextFit(const QString& text, int maxExtent, int* extent = nullptr);
    TTextMetric TextMetrics();
    // DrawText with the Windows format flags (see Canvas.cpp for the rules).
    // Returns the height of the text (with DT_VCENTER or DT_BOTTOM the offset
    // from r.Top to the bottom of the text); with DT_CALCRECT r receives the
    // extent and nothing is drawn.
    virtual int DrawText(const QString& text, TRect& r, unsigned format);

    // ----- Frames of the platform's classic look
    // Dotted frame inverted with the pattern of the text and background
    // colours (font colour and brush colour, the kept one while the brush is
    // clear); drawing it twice restores.
    virtual void DrawFocusRect(const TRect& r);
    // Three-dimensional edges; with BF_ADJUST r is moved inside the edges.
    virtual bool DrawEdge(TRect& r, unsigned edge, unsigned flags);
    // Classic buttons, check boxes, radio buttons and scroll arrows; with
    // DFCS_ADJUSTRECT r is moved inside the frame.
    virtual bool DrawFrameControl(TRect& r, unsigned kind, unsigned state);

    // ----- Pictures
    // The graphic at its own size with its top-left corner at (x, y).
    void Draw(int x, int y, const TGraphic& graphic);
    // The graphic stretched into r.
    void StretchDraw(const TRect& r, const TGraphic& graphic);
    // The graphic repeated from r's top-left corner in steps of its width
    // and height over r, clipped to r; an empty or zero-sized graphic draws
    // nothing.
    void TileDraw(const TRect& r, const TGraphic& graphic);
    // Part sourceRect of source copied (stretched) to dest with CopyMode.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    // Part source of bitmap copied to dest with pixels of colour replaced by
    // the brush colour.
    void BrushCopy(const TRect& dest, const TBitmap& bitmap, const TRect& source, TColor color);
    // The raw copies the graphics use: the part source of image stretched to
    // dest with a raster operation, or with the pixels of a colour left out.
    virtual void DrawImage(const TRect& dest, const QImage& image, const TRect& source, TCopyMode rop = cmSrcCopy) = 0;
    virtual void DrawImageTransparent(const TRect& dest, const QImage& image, const TRect& source,
                                      TColor transparent) = 0;
    // The pixels of r as an image (an empty image when the canvas cannot
    // read back).
    virtual QImage Grab(const TRect& r) const = 0;

    // ----- Clipping. The clip region applies to every drawing call.
    // Pushes the current clip region; RestoreClip pops it.
    void SaveClip();
    void RestoreClip();
    void IntersectClipRect(const TRect& r);
    void ExcludeClipRect(const TRect& r);
    // Replaces the clip region by r (SelectClipRgn with a rectangle).
    void SetClipRect(const TRect& r);
    // No clipping (SelectClipRgn with none).
    void ResetClip();
    bool HasClip() const { return m_clip.has_value(); }
    // Bounding box of the clip region; the device bounds without clipping.
    TRect ClipRect() const;
    const std::optional<QRegion>& ClipRegion() const { return m_clip; }

    // ----- Visual styles (Themes.h); the part drawn in the style of the
    // themed desktop. Window is the widget the theme was opened for.
    virtual void DrawThemePart(QWidget* window, const QString& themeClass, int part, int state, const TRect& r,
                               const TRect* clip) = 0;

    // The painter of a canvas that paints through one (nullptr otherwise).
    virtual QPainter* Painter() { return nullptr; }

protected:
    // Device bounds used by ClipRect without a clip region.
    virtual TRect DeviceRect() const = 0;
    virtual void ClipChanged() { }
    virtual void FontChanged() { }
    virtual void BrushChanged() { }
    virtual void PenChanged() { }

    // Text primitives of the implementations, in the current font.
    virtual TTextMetric CurrentTextMetrics() = 0;
    virtual int CurrentTextWidth(QStringView text) = 0;
    // One run of text with its cell's top-left at (x, y) in the font colour;
    // opaque: the cell is filled with the brush colour first; clip: only the
    // part inside it is drawn.
    virtual void TextRun(int x, int y, QStringView text, bool opaque, const TRect* clip) = 0;
    // A solid fill of an RGB colour, without pen or brush (edge drawing).
    virtual void FillSolid(const TRect& r, TColor color) = 0;
    // Every pixel XOR-ed with on-colour where (x + y) is even, off-colour
    // where odd (focus rectangles).
    virtual void XorPattern(const TRect& r, TColor onColor, TColor offColor) = 0;

    // Effective background mode after pending brush changes.
    bool Opaque() const;

private:
    friend class TFont;
    friend class TBrush;
    friend class TPen;
    // The steps of DrawText and of DrawFrameControl (Canvas.cpp).
    class TextLayout;
    class FramePainter;
    void NotifyFont() { FontChanged(); }
    void NotifyBrush();
    void NotifyPen() { PenChanged(); }

    TFont m_font;
    TBrush m_brush;
    TPen m_pen;
    TPoint m_penPos;
    int m_bkMode = Win::OPAQUE;
    TCopyMode m_copyMode = cmSrcCopy;
    std::optional<QRegion> m_clip;
    std::vector<std::optional<QRegion>> m_clipStack;
    QString m_ellipsisLine; // DrawText's shortened line, kept to save allocations
};

// Copies w x h pixels at (sx, sy) of source to (x, y) of dest with a raster
// operation (SRCCOPY, SRCINVERT, ...); nothing when source cannot be read.
void BitBlt(TCanvas& dest, int x, int y, int w, int h, TCanvas& source, int sx, int sy, TCopyMode rop);
// The same, stretched from sw x sh to w x h.
void StretchBlt(TCanvas& dest, int x, int y, int w, int h, TCanvas& source, int sx, int sy, int sw, int sh,
                TCopyMode rop);
