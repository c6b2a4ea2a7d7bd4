#include "platform/graphics/ImageList.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <QPainter>
#include <QPixmap>

namespace {

// The image cut or padded to w x h, with the pixels of key (when not clNone)
// made transparent.
QImage Fit(const QImage& source, int w, int h, TColor key)
{
    QImage out(w, h, QImage::Format_ARGB32);
    out.fill(0);
    QImage src = source.convertToFormat(QImage::Format_ARGB32);
    if (key != clNone) {
        const QRgb k = ToQRgb(key) & 0xFFFFFF;
        for (int y = 0; y < src.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(src.scanLine(y));
            for (int x = 0; x < src.width(); ++x)
                if ((line[x] & 0xFFFFFF) == k) line[x] = 0;
        }
    }
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, src, 0, 0, std::min(w, src.width()), std::min(h, src.height()));
    return out;
}

} // namespace

TImageList::TImageList(int width, int height) : m_width(std::max(1, width)), m_height(std::max(1, height)) { }

void TImageList::SetSize(int width, int height)
{
    m_width = std::max(1, width);
    m_height = std::max(1, height);
    m_images.clear();
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask)
{
    QImage img = Fit(image.Image(), m_width, m_height, clNone);
    if (mask && !mask->Empty()) {
        const QImage& m = mask->Image();
        for (int y = 0; y < std::min(m_height, m.height()); ++y)
            for (int x = 0; x < std::min(m_width, m.width()); ++x)
                if ((m.pixel(x, y) & 0xFFFFFF) != 0) img.setPixel(x, y, 0);
    }
    m_images.push_back(img);
    return Count() - 1;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor)
{
    m_images.push_back(Fit(image.Image(), m_width, m_height, maskColor));
    return Count() - 1;
}

int TImageList::Add(const QImage& image, TColor maskColor)
{
    m_images.push_back(Fit(image, m_width, m_height, maskColor));
    return Count() - 1;
}

int TImageList::AddImages(const QImage& strip, TColor maskColor)
{
    if (strip.isNull()) return -1;
    const int first = Count();
    const int n = std::max(1, strip.width() / m_width);
    for (int i = 0; i < n; ++i)
        m_images.push_back(Fit(strip.copy(i * m_width, 0, m_width, m_height), m_width, m_height, maskColor));
    return first;
}

void TImageList::Delete(int index)
{
    if (HasImage(index)) m_images.remove(index);
}

void TImageList::Clear() { m_images.clear(); }

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const
{
    if (!HasImage(index)) return;
    QImage img = m_images[index];
    if (!enabled) {
        // Greyed: every shown pixel in the shadow colour.
        const QRgb shadow = ToQRgb(clBtnShadow);
        for (int yy = 0; yy < img.height(); ++yy) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(yy));
            for (int xx = 0; xx < img.width(); ++xx)
                if (qAlpha(line[xx]) != 0) line[xx] = shadow;
        }
    }
    canvas.DrawImage(Bounds(x, y, m_width, m_height), img, TRect(0, 0, m_width, m_height), cmSrcCopy);
}

bool TImageList::GetBitmap(int index, TBitmap& bitmap) const
{
    if (!HasImage(index)) return false;
    bitmap.SetSize(m_width, m_height);
    TCanvas& c = bitmap.Canvas();
    c.FillRect(TRect(0, 0, m_width, m_height));
    c.DrawImage(TRect(0, 0, m_width, m_height), m_images[index], TRect(0, 0, m_width, m_height), cmSrcCopy);
    return true;
}

QImage TImageList::Image(int index) const { return HasImage(index) ? m_images[index] : QImage(); }

QIcon TImageList::Icon(int index) const
{
    return HasImage(index) ? QIcon(QPixmap::fromImage(m_images[index])) : QIcon();
}
