#pragma once
// Points, sizes and rectangles as the Windows drawing interface counts them:
// a rectangle covers Left..Right-1 and Top..Bottom-1 (right and bottom edges
// excluded).

#include <QPoint>
#include <QRect>
#include <QSize>
#include <algorithm>

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) { }
    constexpr bool operator==(const TPoint&) const = default;
    QPoint ToQPoint() const { return QPoint(X, Y); }
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr TSize() = default;
    constexpr TSize(int w, int h) : cx(w), cy(h) { }
    constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) { }
    constexpr TRect(TPoint topLeft, TPoint bottomRight)
        : Left(topLeft.X), Top(topLeft.Y), Right(bottomRight.X), Bottom(bottomRight.Y)
    { }
    static TRect FromQRect(const QRect& r)
    {
        return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    }

    constexpr bool operator==(const TRect&) const = default;
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return TPoint(Left, Top); }
    constexpr TPoint BottomRight() const { return TPoint(Right, Bottom); }
    // True when the rectangle covers no pixel.
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // Windows PtInRect: right and bottom edges excluded.
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    constexpr bool Contains(TPoint p) const { return Contains(p.X, p.Y); }
    // Grows (negative: shrinks) by dx left and right, dy top and bottom.
    constexpr void Inflate(int dx, int dy)
    {
        Left -= dx;
        Right += dx;
        Top -= dy;
        Bottom += dy;
    }
    constexpr void Offset(int dx, int dy)
    {
        Left += dx;
        Right += dx;
        Top += dy;
        Bottom += dy;
    }
    constexpr TRect Inflated(int dx, int dy) const
    {
        TRect r = *this;
        r.Inflate(dx, dy);
        return r;
    }
    constexpr TRect Offsetted(int dx, int dy) const
    {
        TRect r = *this;
        r.Offset(dx, dy);
        return r;
    }
    // Intersection; an empty result is (0,0,0,0) as IntersectRect gives it.
    constexpr TRect Intersected(const TRect& o) const
    {
        TRect r(std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom));
        return r.IsEmpty() ? TRect() : r;
    }
    constexpr TRect United(const TRect& o) const
    {
        if (IsEmpty()) return o;
        if (o.IsEmpty()) return *this;
        return TRect(std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
                     std::max(Bottom, o.Bottom));
    }
    // The same pixels as a Qt rectangle (an inverted rectangle gives an empty one).
    QRect ToQRect() const { return QRect(Left, Top, std::max(0, Right - Left), std::max(0, Bottom - Top)); }
};

constexpr TPoint Point(int x, int y) { return TPoint(x, y); }
constexpr TRect Rect(int l, int t, int r, int b) { return TRect(l, t, r, b); }
constexpr TRect Bounds(int l, int t, int w, int h) { return TRect(l, t, l + w, t + h); }

// Multiply then divide with rounding half away from zero, as the platform's
// MulDiv; a zero divisor gives -1.
int MulDiv(int number, int numerator, int denominator);
