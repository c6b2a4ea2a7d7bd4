#include "platform/print/PreviewRenderer_p.h"

#include "platform/print/SheetCache_p.h"

#include <QPainter>
#include <cmath>

TPreviewRenderer::TPreviewRenderer(QPainter& painter, double dotsPerInch, double pixelRatio, TSheetCache& cache)
    : TPageRenderer(painter, dotsPerInch), m_painter(painter), m_dpi(dotsPerInch), m_ratio(pixelRatio), m_cache(cache)
{
}

void TPreviewRenderer::DrawImage(const QRectF& r, const QImage& image, int imageIndex)
{
    if (image.isNull() || imageIndex < 0) {
        TPageRenderer::DrawImage(r, image, imageIndex);
        return;
    }
    // The device pixels the picture covers, on the pixel grid.
    const QRectF device(r.left() * m_dpi * m_ratio, r.top() * m_dpi * m_ratio, r.width() * m_dpi * m_ratio,
                        r.height() * m_dpi * m_ratio);
    const QRect pixels(QPoint(int(std::lround(device.left())), int(std::lround(device.top()))),
                       QPoint(int(std::lround(device.right())) - 1, int(std::lround(device.bottom())) - 1));
    if (pixels.width() <= 0 || pixels.height() <= 0 || (pixels.width() >= image.width() && pixels.height() >= image.height())) {
        TPageRenderer::DrawImage(r, image, imageIndex);
        return;
    }
    QImage scaled = m_cache.Scaled(imageIndex, image, pixels.size());
    if (scaled.isNull())
        return;
    scaled.setDevicePixelRatio(m_ratio);
    m_painter.drawImage(QPointF(pixels.left() / m_ratio, pixels.top() / m_ratio), scaled);
}
