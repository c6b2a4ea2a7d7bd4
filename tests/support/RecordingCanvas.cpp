#include "tests/support/RecordingCanvas.h"

TRecordingCanvas::TRecordingCanvas(int ppi, TRect deviceRect) : m_ppi(ppi), m_deviceRect(deviceRect) { }
TRecordingCanvas::~TRecordingCanvas() = default;

TCanvasCall& TRecordingCanvas::Record(const QString& op)
{
    TCanvasCall c;
    c.Op = op;
    c.Font = Font();
    c.Brush = Brush();
    c.Pen = Pen();
    c.Clip = ClipRegion();
    m_calls.push_back(c);
    return m_calls.back();
}

QVector<TCanvasCall> TRecordingCanvas::CallsOf(const QString& op) const
{
    QVector<TCanvasCall> out;
    for (const auto& c : m_calls)
        if (c.Op == op) out.push_back(c);
    return out;
}

QStringList TRecordingCanvas::Runs() const
{
    QStringList out;
    for (const auto& c : m_calls)
        if (c.Op == QLatin1String("TextRun")) out << c.Text;
    return out;
}

void TRecordingCanvas::LineTo(int x, int y)
{
    auto& c = Record(QStringLiteral("LineTo"));
    c.From = PenPos();
    c.To = TPoint(x, y);
    MoveTo(x, y);
}
void TRecordingCanvas::Polyline(const QVector<TPoint>& p) { Record(QStringLiteral("Polyline")).Points = p; }
void TRecordingCanvas::Polygon(const QVector<TPoint>& p) { Record(QStringLiteral("Polygon")).Points = p; }
void TRecordingCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Record(QStringLiteral("Rectangle")).Rect = TRect(x1, y1, x2, y2);
}
void TRecordingCanvas::FillRect(const TRect& r) { Record(QStringLiteral("FillRect")).Rect = r; }
void TRecordingCanvas::FrameRect(const TRect& r) { Record(QStringLiteral("FrameRect")).Rect = r; }
void TRecordingCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Record(QStringLiteral("Ellipse")).Rect = TRect(x1, y1, x2, y2);
}
void TRecordingCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    auto& c = Record(QStringLiteral("RoundRect"));
    c.Rect = TRect(x1, y1, x2, y2);
    c.From = TPoint(x3, y3);
}
void TRecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    auto& c = Record(QStringLiteral("Arc"));
    c.Rect = TRect(x1, y1, x2, y2);
    c.From = TPoint(x3, y3);
    c.To = TPoint(x4, y4);
}
void TRecordingCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    auto& c = Record(QStringLiteral("FloodFill"));
    c.From = TPoint(x, y);
    c.Color = color;
    c.Flags = unsigned(style);
}
TColor TRecordingCanvas::Pixel(int, int) const { return clNone; }
void TRecordingCanvas::SetPixel(int x, int y, TColor color)
{
    auto& c = Record(QStringLiteral("SetPixel"));
    c.From = TPoint(x, y);
    c.Color = color;
}
void TRecordingCanvas::InvertRect(const TRect& r) { Record(QStringLiteral("InvertRect")).Rect = r; }
int TRecordingCanvas::DrawText(const QString& text, TRect& r, unsigned format)
{
    const int idx = int(m_calls.size());
    {
        auto& c = Record(QStringLiteral("DrawText"));
        c.Rect = r;
        c.Text = text;
        c.Flags = format;
    }
    const int h = TCanvas::DrawText(text, r, format);
    m_calls[idx].Rect2 = r;
    return h;
}
void TRecordingCanvas::DrawFocusRect(const TRect& r)
{
    Record(QStringLiteral("DrawFocusRect")).Rect = r;
    TCanvas::DrawFocusRect(r);
}
bool TRecordingCanvas::DrawEdge(TRect& r, unsigned edge, unsigned flags)
{
    auto& c = Record(QStringLiteral("DrawEdge"));
    c.Rect = r;
    c.Flags = edge | (flags << 16);
    return TCanvas::DrawEdge(r, edge, flags);
}
bool TRecordingCanvas::DrawFrameControl(TRect& r, unsigned kind, unsigned state)
{
    auto& c = Record(QStringLiteral("DrawFrameControl"));
    c.Rect = r;
    c.Flags = kind | (state << 16);
    return TCanvas::DrawFrameControl(r, kind, state);
}
void TRecordingCanvas::DrawImage(const TRect& dest, const QImage&, const TRect& source, TCopyMode rop)
{
    auto& c = Record(QStringLiteral("DrawImage"));
    c.Rect = dest;
    c.Rect2 = source;
    c.Flags = rop;
}
void TRecordingCanvas::DrawImageTransparent(const TRect& dest, const QImage&, const TRect& source, TColor transparent)
{
    auto& c = Record(QStringLiteral("DrawImageTransparent"));
    c.Rect = dest;
    c.Rect2 = source;
    c.Color = transparent;
}
QImage TRecordingCanvas::Grab(const TRect&) const { return QImage(); }
void TRecordingCanvas::DrawThemePart(QWidget*, const QString& cls, int part, int state, const TRect& r,
                                     const TRect* clip)
{
    auto& c = Record(QStringLiteral("ThemePart"));
    c.Text = cls;
    c.Part = part;
    c.State = state;
    c.Rect = r;
    if (clip) c.Rect2 = *clip;
}

TTextMetric TRecordingCanvas::CurrentTextMetrics()
{
    const int size = Font().Size() > 0 ? Font().Size() : 1;
    TTextMetric m;
    m.tmHeight = MulDiv(2 * size, m_ppi, 96);
    m.tmDescent = m.tmHeight * 3 / 16;
    m.tmAscent = m.tmHeight - m.tmDescent;
    m.tmExternalLeading = m_externalLeading;
    m.tmAveCharWidth = MulDiv(size, m_ppi, 96);
    m.tmMaxCharWidth = m.tmAveCharWidth;
    return m;
}

int TRecordingCanvas::CurrentTextWidth(QStringView text)
{
    const int size = Font().Size() > 0 ? Font().Size() : 1;
    return int(text.size()) * MulDiv(size, m_ppi, 96);
}

void TRecordingCanvas::TextRun(int x, int y, QStringView text, bool opaque, const TRect* clip)
{
    auto& c = Record(QStringLiteral("TextRun"));
    c.From = TPoint(x, y);
    c.Text = text.toString();
    c.Opaque = opaque;
    c.Clipped = clip != nullptr;
    if (clip) c.Rect2 = *clip;
}

void TRecordingCanvas::FillSolid(const TRect& r, TColor color)
{
    auto& c = Record(QStringLiteral("Solid"));
    c.Rect = r;
    c.Color = color;
}

void TRecordingCanvas::XorPattern(const TRect& r, TColor onColor, TColor)
{
    auto& c = Record(QStringLiteral("XorPattern"));
    c.Rect = r;
    c.Color = onColor;
}
