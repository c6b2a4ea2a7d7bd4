#include "platform/widgets/SpeedButton.h"

#include "platform/graphics/PainterCanvas.h"

#include <QPainter>

TSpeedButton::TSpeedButton(QWidget* parent, const QString& name) : TWinControlOf<QWidget>(parent, name, clBtnFace)
{
    SetClickFocus(false);
    SetTabStop(false);
    SetClickEvents(false);
    SetParentColor(true);
    setAttribute(Qt::WA_Hover, true);
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

TButtonState TSpeedButton::State() const
{
    if (!isEnabled()) return TButtonState::bsDisabled;
    return m_pressed ? TButtonState::bsDown : TButtonState::bsUp;
}

void TSpeedButton::SetGlyph(const TBitmap* glyph)
{
    if (glyph)
        m_glyph.Assign(glyph);
    else
        m_glyph.SetImage(QImage());
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int value)
{
    if (value < 1 || value > 4 || value == m_numGlyphs) return;
    m_numGlyphs = value;
    Invalidate();
}

void TSpeedButton::SetFlat(bool value)
{
    if (m_flat == value) return;
    m_flat = value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool value)
{
    if (m_transparent == value) return;
    m_transparent = value;
    Invalidate();
}

void TSpeedButton::SetCaption(const QString& value)
{
    if (m_caption == value) return;
    m_caption = value;
    Invalidate();
}

void TSpeedButton::Click() { TWinControlOf<QWidget>::Click(); }

void TSpeedButton::SetPressed(bool value)
{
    if (m_pressed == value) return;
    m_pressed = value;
    Repaint();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TWinControlOf<QWidget>::MouseDown(button, shift, x, y);
    if (button == TMouseButton::mbLeft && isEnabled()) {
        m_dragging = true;
        SetPressed(true);
    }
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    TWinControlOf<QWidget>::MouseMove(shift, x, y);
    if (m_dragging) SetPressed(clientRect().Contains(x, y));
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<QWidget> alive(this);
    if (button == TMouseButton::mbLeft && m_dragging) {
        m_dragging = false;
        const bool inside = clientRect().Contains(x, y);
        SetPressed(false);
        if (inside && ClickOnRelease()) {
            Click();
            if (!alive) return;
        }
    }
    TWinControlOf<QWidget>::MouseUp(button, shift, x, y);
}

void TSpeedButton::MouseEnter()
{
    if (!m_mouseInControl) {
        m_mouseInControl = true;
        Invalidate();
    }
}

void TSpeedButton::MouseLeave()
{
    if (m_mouseInControl) {
        m_mouseInControl = false;
        Invalidate();
    }
}

void TSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    Paint(canvas);
}

void TSpeedButton::Paint(TCanvas& canvas)
{
    TRect r(0, 0, width(), height());
    const bool down = IsDown();
    if (!m_flat) {
        canvas.DrawFrameControl(r, Win::DFC_BUTTON,
                                Win::DFCS_BUTTONPUSH | Win::DFCS_ADJUSTRECT | (down ? Win::DFCS_PUSHED : 0u));
    } else {
        if (!m_transparent) {
            canvas.Brush().SetColor(Color());
            canvas.FillRect(r);
        }
        if (down || (m_mouseInControl && isEnabled())) {
            TRect e = r;
            canvas.DrawEdge(e, down ? Win::BDR_SUNKENOUTER : Win::BDR_RAISEDINNER, Win::BF_RECT);
        }
        r.Inflate(-1, -1);
    }
    PaintGlyphAndCaption(canvas, r, down ? 1 : 0);
}

void TSpeedButton::DrawGlyph(TCanvas& canvas, int x, int y) const
{
    if (m_glyph.Empty()) return;
    const QImage& image = m_glyph.Image();
    const int w = image.width() / m_numGlyphs;
    const int h = image.height();
    int index = 0;
    switch (State()) {
    case TButtonState::bsDisabled: index = 1; break;
    case TButtonState::bsDown: index = 2; break;
    case TButtonState::bsExclusive: index = 3; break;
    default: break;
    }
    if (index >= m_numGlyphs) index = 0;
    const TColor transparent = FromQRgb(image.pixel(0, h - 1));
    const TRect source(index * w, 0, index * w + w, h);
    if (State() == TButtonState::bsDisabled && m_numGlyphs < 2) {
        // No image of its own for the disabled state: the glyph embossed.
        QImage mask(w, h, QImage::Format_RGB32);
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px)
                mask.setPixel(px, py,
                              image.pixel(source.Left + px, py) == image.pixel(0, h - 1) ? 0xFFFFFFFFu : 0xFF000000u);
        const TRect all(0, 0, w, h);
        QImage light = mask, dark = mask;
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px)
                if (mask.pixel(px, py) == 0xFF000000u) {
                    light.setPixel(px, py, ToQRgb(clBtnHighlight));
                    dark.setPixel(px, py, ToQRgb(clBtnShadow));
                }
        canvas.DrawImageTransparent(TRect(x + 1, y + 1, x + 1 + w, y + 1 + h), light, all, clWhite);
        canvas.DrawImageTransparent(TRect(x, y, x + w, y + h), dark, all, clWhite);
        return;
    }
    canvas.DrawImageTransparent(TRect(x, y, x + w, y + h), image, source, transparent);
}

void TSpeedButton::PaintGlyphAndCaption(TCanvas& canvas, const TRect& r, int offset)
{
    const int gw = m_glyph.Empty() ? 0 : m_glyph.Width() / m_numGlyphs;
    const int gh = m_glyph.Empty() ? 0 : m_glyph.Height();
    canvas.Font() = Font();
    const TSize text = m_caption.isEmpty() ? TSize() : canvas.TextExtent(m_caption);
    const int spacing = (gw > 0 && text.cx > 0) ? 4 : 0;
    const int total = gw + spacing + text.cx;
    const int x = r.Left + (r.Width() - total) / 2 + offset;
    if (gw > 0) DrawGlyph(canvas, x, r.Top + (r.Height() - gh) / 2 + offset);
    if (text.cx > 0) {
        canvas.SetBkMode(Win::TRANSPARENT);
        if (!isEnabled()) canvas.Font().SetColor(clGrayText);
        canvas.TextOut(x + gw + spacing, r.Top + (r.Height() - text.cy) / 2 + offset, m_caption);
    }
}
