#include "grid/THTMLHintWindow.h"

#include "controls/HTMLDraw.h"
#include "platform/graphics/PainterCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

namespace {

THTMLDrawOptions HintOptions()
{
    THTMLDrawOptions o;
    o.ShadowColor = TColor(0x808080);
    o.HoverColor = clNone;
    o.HoverFontColor = clNone;
    o.URLColor = TColor(0xFF0000);
    return o;
}

} // namespace

THTMLHintWindow::THTMLHintWindow(QWidget* parent) : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("HTMLHintWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
}

THTMLHintWindow::~THTMLHintWindow() = default;

TPoint THTMLHintWindow::Measure(const QString& hint, int width)
{
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    TPainterCanvas canvas(&image);
    canvas.Font() = m_font;
    THTMLDrawOptions o = HintOptions();
    o.CheckHeight = true;
    THTMLDrawResults results;
    HTMLDraw(canvas, hint, TRect(0, 0, std::max(1, width), 4096), o, results);
    return TPoint(results.XSize, results.YSize);
}

TRect THTMLHintWindow::CalcHintRect(int maxWidth, const QString& hint)
{
    const TPoint size = Measure(hint, maxWidth);
    return TRect(0, 0, size.X, size.Y);
}

void THTMLHintWindow::ActivateHint(const TRect& rect, const QString& hint)
{
    m_hint = hint;
    const TPoint size = Measure(hint, 1024 - 16);
    m_textWidth = size.X;
    m_textHeight = size.Y;
    int left = rect.Left;
    int top = rect.Top;
    const int w = m_textWidth + 16;
    const int h = m_textHeight + 4;
    QScreen* screen = QGuiApplication::screenAt(QPoint(left, top));
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        if (left + w > area.right() + 1) left = area.right() + 1 - w - 2;
        if (top + h > area.bottom() + 1) top = area.bottom() + 1 - h - 2;
    }
    setGeometry(left, top, w, h);
    show();
    raise();
    update();
}

void THTMLHintWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    PaintTo(canvas);
}

void THTMLHintWindow::PaintTo(TCanvas& canvas)
{
    const TRect all(0, 0, width(), height());
    canvas.Brush().SetColor(m_color);
    canvas.FillRect(all);
    // A raised one-pixel frame.
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetColor(cl3DLight);
    canvas.MoveTo(0, all.Bottom - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(all.Right - 1, 0);
    canvas.Pen().SetColor(cl3DDkShadow);
    canvas.LineTo(all.Right - 1, all.Bottom - 1);
    canvas.LineTo(0, all.Bottom - 1);
    canvas.Font() = m_font;
    const int top = (all.Bottom - m_textHeight) / 2;
    THTMLDrawOptions o = HintOptions();
    o.Window = this;
    THTMLDrawResults results;
    HTMLDraw(canvas, m_hint, TRect(4, top, all.Right - 4, all.Bottom), o, results);
}
