#include "platform/widgets/Label.h"

#include "platform/graphics/PainterCanvas.h"

#include <QPainter>

TLabel::TLabel(QWidget* parent, const QString& name) : TWinControlOf<QWidget>(parent, name, clBtnFace)
{
    SetClickFocus(false);
    SetTabStop(false);
    SetParentColor(true);
    SetBounds(0, 0, 65, 13);
    AdjustBounds();
    ApplyColor();
}

unsigned TLabel::DrawFlags() const
{
    return Win::DT_LEFT | Win::DT_EXPANDTABS | (m_showAccelChar ? 0u : unsigned(Win::DT_NOPREFIX));
}

void TLabel::SetCaption(const QString& caption)
{
    if (m_caption == caption) return;
    m_caption = caption;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAutoSize(bool value)
{
    if (m_autoSize == value) return;
    m_autoSize = value;
    AdjustBounds();
}

void TLabel::SetTransparent(bool value)
{
    if (m_transparent == value) return;
    m_transparent = value;
    ApplyColor();
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value)
{
    if (m_showAccelChar == value) return;
    m_showAccelChar = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::changeEvent(QEvent* event)
{
    TWinControlOf<QWidget>::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    // The control's own font comes back here too (it is applied with
    // setFont): only a face, size or style of its own is taken over.
    const TFont taken = FontTakenFromQt(font(), Font());
    if (!(taken == Font())) Font() = taken;
}

void TLabel::FontChanged() { AdjustBounds(); }

void TLabel::ApplyColor()
{
    TWinControlOf<QWidget>::ApplyColor();
    // The background is the paint event's, which knows what lies behind.
    setAutoFillBackground(false);
}

bool TLabel::FillsBackground() const
{
    if (m_transparent) return false;
    if (!ParentColor()) return true;
    QWidget* parent = parentWidget();
    return !parent || TWinControl::Of(parent) || parent->autoFillBackground();
}

void TLabel::AdjustBounds()
{
    if (!m_autoSize) return;
    TPainterCanvas canvas(static_cast<QImage*>(nullptr), 96);
    canvas.Font() = Font();
    // An empty caption is measured as one blank, so that the label keeps
    // the height of a line.
    QString text = m_caption;
    if (text.isEmpty() || (m_showAccelChar && text == QLatin1String("&"))) text += u' ';
    TRect r(0, 0, std::max(1, Width()), 0);
    canvas.DrawText(text, r, DrawFlags() | Win::DT_CALCRECT);
    SetBounds(Left(), Top(), r.Width(), r.Height());
}

void TLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    TRect r(0, 0, width(), height());
    if (FillsBackground()) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(r);
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Font() = Font();
    if (isEnabled()) {
        canvas.DrawText(m_caption, r, DrawFlags());
        return;
    }
    TRect shifted = r.Offsetted(1, 1);
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(m_caption, shifted, DrawFlags());
    canvas.Font().SetColor(clBtnShadow);
    canvas.DrawText(m_caption, r, DrawFlags());
}
