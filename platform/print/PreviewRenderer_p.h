#pragma once
// The page renderer of the preview. What it rasterises is bounded by the
// sheet it shows: a picture is cut to the part that lies on the page (and
// inside the clip), and that part comes from the sheet cache already
// scaled to the device pixels it covers, or, where its pixels are larger
// than device pixels, only those it has are enlarged; a text run is drawn
// only as far as it can be seen. So a page however far its pictures and
// texts reach costs about what the visible sheet at its zoom costs.

#include "platform/report/TPageRenderer.h"

#include <QRectF>
#include <QString>
#include <vector>

class TSheetCache;

class TPreviewRenderer : public TPageRenderer {
public:
    // pixelRatio: device pixels per painter unit.
    TPreviewRenderer(QPainter& painter, double dotsPerInch, double pixelRatio, TSheetCache& cache);

    void BeginPage(int index, QSizeF inches) override;
    void SetClip(const QRectF* r) override;
    void DrawText(QPointF origin, const QString& text) override;
    void DrawImage(const QRectF& r, const QImage& image, int imageIndex) override;

    // A stretch of a text run: its characters and where it starts along
    // the base line (inches from the run's origin).
    struct TextPiece {
        int From, Length;
        double Offset;
    };
    // At most this much of one run is looked at, and drawn.
    static constexpr int MaxScannedChars = 1 << 20;
    static constexpr int MaxDrawnChars = 8192;
    // The stretches of text, set in font with its base line starting at
    // origin, that can show inside visible (inches): a short run whole or
    // not at all, a long one cut into pieces of whole characters.
    static std::vector<TextPiece> VisiblePieces(const TPageFont& font, QPointF origin, const QString& text,
                                                const QRectF& visible);
    // The part of the page a drawing can show in (the page within the clip).
    QRectF Visible() const;

private:
    QPainter& m_painter;
    double m_dpi;
    double m_ratio;
    TSheetCache& m_cache;
    TPageFont m_textFont;
    QRectF m_page{0, 0, 8.5, 11};
    QRectF m_clip;
    bool m_clipped = false;

public:
    void SetFont(const TPageFont& font) override;
};
