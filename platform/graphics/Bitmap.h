#pragma once
// A bitmap of the class library over a QImage: a size, a pixel format, a
// transparent colour and a canvas to draw into it.

#include "platform/graphics/Color.h"
#include "platform/graphics/EInvalidGraphic.h"
#include "platform/core/Exception.h"
#include "platform/graphics/Graphic.h"

#include <QImage>
#include <memory>

class TPainterCanvas;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

// A bitmap resource that the program does not have.
class EResNotFound : public Exception {
    using Exception::Exception;
};

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;

    void Draw(TCanvas& canvas, const TRect& r) const override;
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    // New pixels are white; the kept part keeps its pixels.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return m_pixelFormat; }
    // The pixels are converted (1, 4 and 8 bits: indexed images).
    void SetPixelFormat(TPixelFormat format);

    // tmAuto: the bottom-left pixel's colour; tmFixed: the colour set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return m_transparentMode; }
    void SetTransparentMode(TTransparentMode mode);

    // Canvas drawing into the bitmap (created on first use).
    TCanvas& Canvas();
    // The pixels (painting through the canvas is finished first).
    const QImage& Image() const;
    // Replaces the pixels; the pixel format follows the image.
    void SetImage(const QImage& image);

    // BMP files (and any other format Qt reads).
    void LoadFromStream(QIODevice& stream) override;
    void SaveToStream(QIODevice& stream) const override;
    void Assign(const TGraphic* source) override;
    // A bitmap resource of the program by name (case ignored); EResNotFound
    // when there is none.
    void LoadFromResourceName(const QString& name);

private:
    void EndPaint() const;
    QImage m_image;
    TPixelFormat m_pixelFormat = pfDevice;
    TColor m_transparentColor = clNone;
    TTransparentMode m_transparentMode = tmAuto;
    mutable std::unique_ptr<TPainterCanvas> m_canvas;
};
