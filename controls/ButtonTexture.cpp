#include "controls/ButtonTexture.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <cmath>

namespace {

// Sets a pixel when it lies in the image (the loops run one past each edge).
inline void Put(QImage& img, int x, int y, QRgb c)
{
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return;
    reinterpret_cast<QRgb*>(img.scanLine(y))[x] = c;
}

inline QRgb Get(const QImage& img, int x, int y) { return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]; }

struct Shader {
    int r, g, b;
    // (R*t div 255, G*t div 255, B*t div 255) with t = 255 - s div 2.
    QRgb shade(int s) const
    {
        const int t = 255 - s / 2;
        return scaled(t);
    }
    QRgb scaled(int t) const
    {
        auto ch = [t](int v) { return std::clamp(v * t / 255, 0, 255); };
        return qRgb(ch(r), ch(g), ch(b));
    }
};

inline int Cube(int d) { return (d * d * d / 128) / 128; }

void Streaks(QImage& img, const Shader& sh, bool left, QRandomGenerator& rnd)
{
    const int w = img.width(), h = img.height();
    const int maxLen = std::min(w, h) / 2;
    for (int n = 0; n < 251; ++n) {
        const int x0 = int(rnd.bounded(w));
        const int y0 = int(rnd.bounded(h));
        const int len = maxLen > 0 ? int(rnd.bounded(maxLen)) : 0;
        const int f = 255 - int(rnd.bounded(40));
        const QRgb c = sh.scaled(f);
        auto put = [&](int x, int y) {
            if (x > 0 && x < w && y > 0 && y < h) Put(img, x, y, c);
        };
        for (int i = 0; i < len; ++i) {
            if (left) {
                put(x0 + i, y0 + i);
                put(x0 - i, y0 - i);
            } else {
                put(x0 - i, y0 + i);
                put(x0 + i, y0 - i);
            }
        }
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int blue = qBlue(Get(img, x, y));
            Put(img, x, y, sh.shade((255 - blue) + 120 * x / w + 120 * y / h));
        }
}

void Radial(QImage& img, const Shader& sh, bool inner)
{
    const int w = img.width(), h = img.height();
    const int m = int(std::lround(std::hypot(double(w), double(h))));
    const int cx = w / 2, cy = h / 2;
    for (int x = 0; x <= cx; ++x)
        for (int y = 0; y <= cy; ++y) {
            const int d = int(std::lround(std::hypot(double(x - cx), double(y - cy))));
            const int v = inner ? m - d : d;
            const int t = int(std::lround(double(v) / m * 255.0));
            const QRgb c = sh.scaled(t);
            Put(img, x, y, c);
            Put(img, w - x, h - y, c);
            Put(img, w - x, y, c);
            Put(img, x, h - y, c);
        }
}

} // namespace

QImage BuildButtonTexture(TBtnBackground kind, TColor color, int width, int height, QRandomGenerator* random)
{
    const int w = std::max(0, width) + 2;
    const int h = std::max(0, height) + 2;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(255, 255, 255));
    const TColor rgb = ColorToRGB(color);
    const Shader sh{GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
    QRandomGenerator clockSeeded{quint32(QDateTime::currentMSecsSinceEpoch())};
    QRandomGenerator& rnd = random ? *random : clockSeeded;

    switch (kind) {
    case stNormal:
    case stXPTheme: img.fill(qRgb(sh.r, sh.g, sh.b)); break;
    case stNoise:
        for (int y = 0; y <= h; ++y)
            for (int x = 0; x <= w; ++x) Put(img, x, y, sh.shade(128 + int(rnd.bounded(32))));
        break;
    case stDiagShade:
        for (int y = 0; y <= h; ++y)
            for (int x = 0; x <= w; ++x) Put(img, x, y, sh.shade(129 * x / w + 129 * y / h));
        break;
    case stHShade:
    case stHShadeInv:
        for (int x = 0; x <= w; ++x) {
            const QRgb c = sh.shade(239 * (w - x) / w + 8);
            const int col = kind == stHShade ? x : w - x;
            for (int y = 0; y <= h; ++y) Put(img, col, y, c);
        }
        break;
    case stVShade:
    case stVShadeInv:
        // The inverted face is the vertical shade mirrored top to bottom.
        for (int y = 0; y <= h; ++y) {
            const QRgb c = sh.shade(239 * y / h + 8);
            const int row = kind == stVShade ? y : h - y;
            for (int x = 0; x <= w; ++x) Put(img, x, row, c);
        }
        break;
    case stHBump:
        for (int x = 0; x <= w; ++x) {
            const QRgb c = sh.shade(Cube((w - x) * 255 / w - 127) * 120 / 128 + 128);
            for (int y = 0; y <= h; ++y) Put(img, x, y, c);
        }
        break;
    case stVBump:
        for (int y = 0; y <= h; ++y) {
            const QRgb c = sh.shade(Cube(y * 255 / h - 127) * 120 / 128 + 128);
            for (int x = 0; x <= w; ++x) Put(img, x, y, c);
        }
        break;
    case stSoftBump:
        for (int y = 0; y <= h; ++y)
            for (int x = 0; x <= w; ++x) {
                int s = (Cube(y * 255 / h - 127) + Cube((w - x) * 255 / w - 127)) * 120 / 128 + 128;
                s = std::clamp(s, 8, 247);
                Put(img, x, y, sh.shade(s));
            }
        break;
    case stHardBump: {
        for (int y = 0; y <= h; ++y) {
            const QRgb c = sh.shade(Cube(y * 255 / h - 127) * 112 / 128 + 128);
            for (int x = 0; x <= w; ++x) Put(img, x, y, c);
        }
        // Rounded side edges; a face narrower than 6 pixels has none.
        const int r = std::min(16, w / 6);
        if (r > 0) {
            const int q = h * h / 4;
            for (int y = 0; y <= h; ++y)
                for (int x = 0; x <= w; ++x) {
                    const int dy = y - h / 2;
                    const int dx = x - w / 2;
                    const int e = dy * dy * r / q + w / 2 - r;
                    if (dx > e) Put(img, x, y, sh.shade((w - x) * 128 / r + 8));
                    if (dx + e < 0) Put(img, x, y, sh.shade(247 - x * 128 / r));
                }
        }
        break;
    }
    case stLMetal:
    case stRMetal: Streaks(img, sh, kind == stLMetal, rnd); break;
    case stIRadial:
    case stORadial: Radial(img, sh, kind == stIRadial); break;
    }
    return img;
}
