#include "grid/TPopupButton.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/PainterCanvas.h"

#include <QPainter>

TPopupButton::TPopupButton(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnabled(false);
    hide();
}

void TPopupButton::SetCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void TPopupButton::SetNoFrame(bool value)
{
    m_noFrame = value;
    update();
}

void TPopupButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    TRect r(0, 0, width(), height());
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(r);
    if (!m_noFrame) {
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetColor(clWhite);
        canvas.MoveTo(r.Left, r.Bottom - 1);
        canvas.LineTo(r.Left, r.Top);
        canvas.LineTo(r.Right - 1, r.Top);
        canvas.Pen().SetColor(clGray);
        canvas.LineTo(r.Right - 1, r.Bottom - 1);
        canvas.LineTo(r.Left, r.Bottom - 1);
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.DrawText(m_caption, r, Win::DT_CENTER | Win::DT_END_ELLIPSIS);
}
