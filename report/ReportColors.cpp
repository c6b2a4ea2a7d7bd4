#include "report/ReportColors.h"

#include "platform/core/FloatFormat.h"

#include <QPainter>
#include <algorithm>

TColor PackRGB(int red, int green, int blue)
{
    return TColor(red & 0xFF) | (TColor(green & 0xFF) << 8) | (TColor(blue & 0xFF) << 16);
}

void SplitRGB(TColor color, int& red, int& green, int& blue)
{
    const TColor c = ColorToRGB(color);
    red = int(c & 0xFF);
    green = int((c >> 8) & 0xFF);
    blue = int((c >> 16) & 0xFF);
}

int BlendChannel(double t, int a, int b)
{
    const qint64 v = Round((a - b) * t + b);
    return int(std::clamp<qint64>(v, 0, 255));
}

TColor BlendRGB(double t, TColor a, TColor b)
{
    t = std::clamp(t, 0.0, 1.0);
    int ar, ag, ab, br, bg, bb;
    SplitRGB(a, ar, ag, ab);
    SplitRGB(b, br, bg, bb);
    return PackRGB(BlendChannel(t, ar, br), BlendChannel(t, ag, bg), BlendChannel(t, ab, bb));
}

TColor Lighten(TColor color, float t) { return BlendRGB(double(t), clWhite, color); }

namespace {

QColor Qt(TColor c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

// Bands of the colour lightened from white (band 0) down to the colour
// (band 200), each band pixels wide along the gradient; then a two-pixel
// frame in the full colour.
QImage Gradient(TColor color, int width, int height, bool vertical)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const TColor rgb = ColorToRGB(color);
    TColor last = rgb;
    for (int i = 0; i <= 200; ++i) {
        last = Lighten(rgb, float(1 - i * 0.01 / 2));
        const QRect band = vertical ? QRect(0, 5 * i, width, 5) : QRect(8 * i, 0, 8, height);
        if (band.intersects(image.rect())) p.fillRect(band, Qt(last));
    }
    p.setPen(Qt(last));
    p.setBrush(Qt::NoBrush);
    // The outer frame leaves the bar's last column free, the band's not.
    if (vertical) {
        p.drawRect(QRect(0, 0, width - 2, height - 1));
        p.drawRect(QRect(1, 1, width - 4, height - 3));
    } else {
        p.drawRect(QRect(0, 0, width - 1, height - 1));
        p.drawRect(QRect(1, 1, width - 3, height - 3));
    }
    return image;
}

} // namespace

QImage GradientFillVertical(TColor color) { return Gradient(color, 60, 960, true); }

QImage GradientFillHorizontal(TColor color) { return Gradient(color, 750, 30, false); }
