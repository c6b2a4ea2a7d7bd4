#pragma once
// The page renderer of the preview: pictures of the report file that are
// shown smaller than they are come from the sheet cache, already scaled to
// the device pixels they cover, and are drawn without scaling again.

#include "platform/report/TPageRenderer.h"

class TSheetCache;

class TPreviewRenderer : public TPageRenderer {
public:
    // pixelRatio: device pixels per painter unit.
    TPreviewRenderer(QPainter& painter, double dotsPerInch, double pixelRatio, TSheetCache& cache);

    void DrawImage(const QRectF& r, const QImage& image, int imageIndex) override;

private:
    QPainter& m_painter;
    double m_dpi;
    double m_ratio;
    TSheetCache& m_cache;
};
