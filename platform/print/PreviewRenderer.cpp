#include "platform/print/PreviewRenderer_p.h"

#include "platform/print/SheetCache_p.h"
#include "platform/report/ReportFonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

TPreviewRenderer::TPreviewRenderer(QPainter& painter, double dotsPerInch, double pixelRatio, TSheetCache& cache)
    : TPageRenderer(painter, dotsPerInch), m_painter(painter), m_dpi(dotsPerInch), m_ratio(pixelRatio), m_cache(cache)
{ }

void TPreviewRenderer::BeginPage(int index, QSizeF inches)
{
    m_page = QRectF(QPointF(0, 0), inches);
    m_clipped = false;
    TPageRenderer::BeginPage(index, inches);
}

void TPreviewRenderer::SetClip(const QRectF* r)
{
    m_clipped = r != nullptr;
    if (r) m_clip = r->normalized();
    TPageRenderer::SetClip(r);
}

void TPreviewRenderer::SetFont(const TPageFont& font)
{
    m_textFont = font;
    TPageRenderer::SetFont(font);
}

QRectF TPreviewRenderer::Visible() const { return m_clipped ? m_page.intersected(m_clip) : m_page; }

std::vector<TPreviewRenderer::TextPiece> TPreviewRenderer::VisiblePieces(const TPageFont& font, QPointF origin,
                                                                         const QString& text, const QRectF& visible)
{
    std::vector<TextPiece> pieces;
    const int n = int(text.size());
    if (n == 0 || visible.isEmpty() || !std::isfinite(origin.x()) || !std::isfinite(origin.y())) return pieces;
    double scale = 0;
    const QFontMetricsF metrics(ReportFonts::MeasuringFont(font, scale));
    const double ascent = metrics.ascent() * scale, descent = metrics.descent() * scale;
    // Glyphs reach past their advance (italics, accents) by less than this.
    const double pad = metrics.height() * scale;

    // The visible area in the run's own frame: along its base line and
    // down from it.
    QTransform toPage;
    toPage.translate(origin.x(), origin.y());
    toPage.rotate(-font.Angle / 10.0);
    const QRectF local = toPage.inverted().mapRect(visible);
    if (local.bottom() < -ascent - pad || local.top() > descent + pad) return pieces;
    const double from = local.left() - pad, to = local.right() + pad;

    constexpr int shortRun = 64;
    if (n <= shortRun) {
        const double width = metrics.horizontalAdvance(text) * scale;
        if (width >= from && 0 <= to) pieces.push_back(TextPiece{0, n, 0});
        return pieces;
    }
    // Pieces about as long as the visible width holds characters, so that
    // a huge font draws a glyph or two beyond the sheet, not a line of them.
    const double em = std::max(metrics.height() * scale, 1e-6);
    const int step = int(std::clamp(local.width() / em, 1.0, 32.0));
    double x = 0;
    int drawn = 0;
    const int end = std::min(n, MaxScannedChars);
    for (int i = 0; i < end && x <= to && drawn < MaxDrawnChars;) {
        int length = std::min(step, end - i);
        if (i + length < n && text[i + length - 1].isHighSurrogate()) ++length;
        const double width = metrics.horizontalAdvance(text.mid(i, length)) * scale;
        if (x + width >= from) {
            if (!pieces.empty() && pieces.back().From + pieces.back().Length == i)
                pieces.back().Length += length;
            else
                pieces.push_back(TextPiece{i, length, x});
            drawn += length;
        }
        x += width;
        i += length;
    }
    return pieces;
}

void TPreviewRenderer::DrawText(QPointF origin, const QString& text)
{
    const std::vector<TextPiece> pieces = VisiblePieces(m_textFont, origin, text, Visible());
    if (pieces.size() == 1 && pieces.front().Length == int(text.size())) {
        TPageRenderer::DrawText(origin, text);
        return;
    }
    const double a = m_textFont.Angle / 10.0 * M_PI / 180;
    for (const TextPiece& p : pieces)
        TPageRenderer::DrawText(QPointF(origin.x() + p.Offset * std::cos(a), origin.y() - p.Offset * std::sin(a)),
                                text.mid(p.From, p.Length));
}

void TPreviewRenderer::DrawImage(const QRectF& shape, const QImage& image, int imageIndex)
{
    if (image.isNull() || imageIndex < 0) {
        TPageRenderer::DrawImage(shape, image, imageIndex);
        return;
    }
    const QRectF r = shape.normalized();
    const QRectF visible = r.intersected(Visible());
    if (r.width() <= 0 || r.height() <= 0 || visible.isEmpty()) return;
    // The picture's pixels under the visible part, whole pixels.
    const double sx = image.width() / r.width(), sy = image.height() / r.height();
    const int x0 = std::clamp(int(std::floor((visible.left() - r.left()) * sx)), 0, image.width() - 1);
    const int y0 = std::clamp(int(std::floor((visible.top() - r.top()) * sy)), 0, image.height() - 1);
    const int x1 = std::clamp(int(std::ceil((visible.right() - r.left()) * sx)), x0 + 1, image.width());
    const int y1 = std::clamp(int(std::ceil((visible.bottom() - r.top()) * sy)), y0 + 1, image.height());
    const QRect source(x0, y0, x1 - x0, y1 - y0);
    const QRectF part(QPointF(r.left() + x0 / sx, r.top() + y0 / sy), QPointF(r.left() + x1 / sx, r.top() + y1 / sy));

    // The device pixels the part covers, on the pixel grid.
    const double unit = m_dpi * m_ratio;
    const double left = std::round(part.left() * unit), top = std::round(part.top() * unit);
    const double width = std::round(part.right() * unit) - left, height = std::round(part.bottom() * unit) - top;
    if (width < 1 || height < 1) return;
    // Scaled down where the part has more pixels than it covers; where it
    // has fewer, its own are kept and enlarged as they are drawn.
    const QSize reduced(int(std::min<double>(width, source.width())), int(std::min<double>(height, source.height())));
    QImage scaled = m_cache.Scaled(imageIndex, image, source, reduced);
    if (scaled.isNull()) return;
    if (reduced.width() == width && reduced.height() == height) {
        scaled.setDevicePixelRatio(m_ratio);
        m_painter.drawImage(QPointF(left / m_ratio, top / m_ratio), scaled);
        return;
    }
    // Only the visible part of the enlargement, from the matching part of
    // the pixels, so the target stays within the sheet.
    const QRectF target(visible.left() * m_dpi, visible.top() * m_dpi, visible.width() * m_dpi,
                        visible.height() * m_dpi);
    const double kx = scaled.width() / part.width(), ky = scaled.height() / part.height();
    const QRectF from((visible.left() - part.left()) * kx, (visible.top() - part.top()) * ky, visible.width() * kx,
                      visible.height() * ky);
    m_painter.drawImage(target, scaled, from);
}
