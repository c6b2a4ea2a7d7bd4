#include "grid/draw/TGridGlyphs.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Resources.h"

#include <QHash>

const QImage& TGridGlyphs::Glyph(const QString& name)
{
    static QHash<QString, QImage> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        QImage image;
        const QByteArray data = LoadResourceData(name, TResourceType::Bitmap);
        if (!data.isEmpty()) image.loadFromData(data, "BMP");
        it = cache.insert(name, image.convertToFormat(QImage::Format_RGB32));
    }
    return it.value();
}

void TGridGlyphs::DrawTransparent(TCanvas& canvas, int x, int y, const QImage& image)
{
    if (image.isNull()) return;
    const TColor transparent = FromQRgb(image.pixel(0, image.height() - 1));
    canvas.DrawImageTransparent(Bounds(x, y, image.width(), image.height()), image,
                                TRect(0, 0, image.width(), image.height()), transparent);
}

void TGridGlyphs::DrawTransparent(TCanvas& canvas, int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty()) return;
    DrawTransparent(canvas, x, y, bitmap.Image().convertToFormat(QImage::Format_RGB32));
}

void TGridGlyphs::DrawResource(TCanvas& canvas, const TRect& rect, const QString& name)
{
    const QImage& g = Glyph(name);
    if (g.isNull()) return;
    DrawTransparent(canvas, rect.Left + std::max(0, (rect.Width() - g.width()) / 2),
                    rect.Top + std::max(0, (rect.Height() - g.height()) / 2), g);
}
