#include "controls/ExtSpeedButton.h"

#include "platform/graphics/Themes.h"

TExtSpeedButton::TExtSpeedButton(QWidget* parent, const QString& name) : TSpeedButton(parent, name)
{
    setCursor(Qt::ArrowCursor);
}

void TExtSpeedButton::SetIsWinXP(bool value)
{
    m_isWinXP = value;
    Invalidate();
}

void TExtSpeedButton::SetFlat(bool value)
{
    m_ownFlat = value;
    Invalidate();
}

void TExtSpeedButton::MouseEnter()
{
    TSpeedButton::MouseEnter();
    m_hot = true;
    Repaint();
}

void TExtSpeedButton::MouseLeave()
{
    TSpeedButton::MouseLeave();
    m_hot = false;
    Repaint();
}

void TExtSpeedButton::Paint(TCanvas& canvas)
{
    TRect r(0, 0, width(), height());
    const bool down = IsDown();
    bool drawn = false;
    if (m_isWinXP) {
        HTHEME theme = OpenThemeData(this, QStringLiteral("button"));
        const int state = down ? Win::PBS_PRESSED : m_hot ? Win::PBS_HOT : Win::PBS_NORMAL;
        drawn = DrawThemeBackground(theme, canvas, Win::BP_PUSHBUTTON, state, r);
        CloseThemeData(theme);
    }
    if (!drawn) {
        if (!m_ownFlat) {
            canvas.DrawFrameControl(r, Win::DFC_BUTTON,
                                    Win::DFCS_BUTTONPUSH | Win::DFCS_ADJUSTRECT | (down ? Win::DFCS_PUSHED : 0u));
        } else {
            TRect e = r;
            canvas.DrawEdge(e, down ? Win::BDR_SUNKENOUTER : Win::BDR_RAISEDINNER, Win::BF_RECT | Win::BF_MIDDLE);
            r.Inflate(-1, -1);
        }
    }
    if (!Glyph().Empty()) {
        const int gw = Glyph().Width() / NumGlyphs();
        const int gh = Glyph().Height();
        int x = gw < width() ? (width() - gw) / 2 : 0;
        int y = gh < height() ? (height() - gh) / 2 : 0;
        if (down) {
            ++x;
            ++y;
        }
        DrawGlyph(canvas, x, y);
    }
    if (!Caption().isEmpty()) {
        canvas.Font() = Font();
        canvas.SetBkMode(Win::TRANSPARENT);
        if (!isEnabled()) canvas.Font().SetColor(clGrayText);
        canvas.TextOut(down ? 3 : 2, down ? 3 : 2, Caption());
    }
}
