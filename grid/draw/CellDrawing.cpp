#include "grid/draw/CellDrawing.h"

#include "platform/core/FloatFormat.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <cmath>
#include <numbers>

namespace {

// Left margin of a single-line edit without border.
constexpr int EditMargin = 1;

// Where a single-line edit places character index (0-based) of text.
TPoint CharPosition(TCanvas& canvas, const QString& text, int index)
{
    return TPoint(EditMargin + canvas.TextWidth(text.left(index)), 0);
}

} // namespace

int MaxOf(int a, int b) { return a > b ? a : b; }
int MinOf(int a, int b) { return a < b ? a : b; }

bool PointInRectInclusive(const TRect& rect, int x, int y)
{
    return x >= rect.Left && x <= rect.Right && y >= rect.Top && y <= rect.Bottom;
}

int ChooseBound(int current, int a, int b)
{
    if (a == b) return current;
    if (b > 0 && b < current) return b;
    if (a > current && a > 0) return a;
    return current;
}

TColor DimColor(TColor color)
{
    const TColor c = ColorToRGB(color);
    return RGB(GetRValue(c) >> 1, GetGValue(c) >> 1, GetBValue(c) >> 1);
}

void DrawErrorUnderline(TCanvas& canvas, const QString& text, const TRect& rect, int offset, int first, int count)
{
    const int length = int(text.size());
    TPoint start;
    if (first >= 0 && first < length) {
        start = CharPosition(canvas, text, first);
    } else {
        start = CharPosition(canvas, text, length);
        start.X += 4;
    }
    TPoint end;
    if (first + count >= length) {
        end = CharPosition(canvas, text, length - 1);
        end.X += 4;
        end.Y = start.Y;
    } else {
        end = CharPosition(canvas, text, first + count - 1);
    }
    canvas.Pen().SetColor(clRed);
    canvas.Pen().SetWidth(2);
    int x = start.X;
    int step = 3;
    canvas.MoveTo(rect.Left + x, rect.Top + start.Y + offset + 3);
    const auto zig = [&] {
        step = step == 3 ? 0 : 3;
        canvas.LineTo(rect.Left + x + 3, rect.Top + end.Y + offset + step);
    };
    while (x <= end.X) {
        zig();
        x += 3;
    }
    zig();
}

void DrawCircularGauge(TCanvas& canvas, const TRect& rect, TColor fillColor, int value)
{
    canvas.Pen().SetColor(clGray);
    canvas.Pen().SetWidth(1);
    canvas.Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom);
    const int w = rect.Right - rect.Left;
    const int h = rect.Bottom - rect.Top;
    canvas.MoveTo(rect.Left + w / 2, rect.Top);
    canvas.LineTo(rect.Left + w / 2, rect.Top + h / 2);
    const double angle = value / 100.0 * 2 * std::numbers::pi;
    const int dx = int(Round(std::sin(angle) * (w + 1) * 0.5));
    const int dy = int(Round(std::cos(angle) * (h + 1) * 0.5));
    canvas.LineTo(rect.Left + dx + w / 2, rect.Top - dy + h / 2);
    canvas.Brush().SetColor(fillColor);
    canvas.FloodFill(rect.Left + 1 + w / 2, rect.Top + 1, clGray, TFillStyle::fsBorder);
}

void DrawBitmapTransparent(TCanvas& canvas, const TBitmap& bitmap, TColor background, const TRect& rect)
{
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    if (w <= 0 || h <= 0) return;
    const TColor transparent = FromQRgb(bitmap.Image().pixel(0, 0));
    const TBrush saved = canvas.Brush();
    canvas.Brush().SetColor(background);
    canvas.BrushCopy(TRect(rect.Left, rect.Top, rect.Left + w, rect.Top + h), bitmap, TRect(0, 0, w, h), transparent);
    canvas.Brush() = saved;
}

void DrawResourceBitmap(TCanvas& canvas, TColor background, const TRect& rect, const QString& name)
{
    TBitmap bitmap;
    try {
        bitmap.LoadFromResourceName(name);
    } catch (const EResNotFound&) {
        return;
    }
    DrawBitmapTransparent(canvas, bitmap, background, rect);
}
