#pragma once
// Helpers of the drawing tests: a white image at 96 dpi with a canvas, and
// the bundled test font.

#include "platform/graphics/PainterCanvas.h"
#include "tests/support/TestSupport.h"

#include <QFontDatabase>
#include <QImage>
#include <memory>

namespace drawingtest {

// Registers the bundled Liberation Sans once; returns its family name.
inline QString TestFontFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(
            testsupport::SourcePath(QStringLiteral("tests/fixtures/fonts/LiberationSans-Regular.ttf")));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("Liberation Sans") : families.first();
    }();
    return family;
}

struct ImageCanvas {
    QImage image;
    std::unique_ptr<TPainterCanvas> canvas;
    explicit ImageCanvas(int w = 40, int h = 30, QRgb fill = 0xFFFFFFFF, int ppi = 96)
        : image(w, h, QImage::Format_RGB32)
    {
        image.fill(fill);
        image.setDotsPerMeterX(qRound(ppi / 0.0254));
        image.setDotsPerMeterY(qRound(ppi / 0.0254));
        canvas = std::make_unique<TPainterCanvas>(&image, ppi);
        canvas->Font().SetName(TestFontFamily());
    }
    TCanvas& operator*() { return *canvas; }
    TCanvas* operator->() { return canvas.get(); }
    // Pixel as a plain colour after finishing the painting.
    TColor At(int x, int y)
    {
        canvas->Release();
        return FromQRgb(image.pixel(x, y));
    }
    const QImage& Image()
    {
        canvas->Release();
        return image;
    }
};

} // namespace drawingtest
