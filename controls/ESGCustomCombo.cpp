#include "controls/ESGCustomCombo.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/SystemMetrics.h"
#include "platform/graphics/Themes.h"

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>

TESGCustomCombo::TESGCustomCombo(QWidget* parent, const QString& name) : TCustomComboBox(parent, name), m_items(this)
{
    m_buttonWidth = GetSystemMetrics(Win::SM_CXVSCROLL) + 4;
    m_savedColor = Color();
    m_savedParentColor = ParentColor();
    SetCtl3D(false);
    setAttribute(Qt::WA_Hover, true);
    m_lastEnabled = Enabled();
    PlaceEditField();
}

TESGCustomCombo::~TESGCustomCombo() = default;

void TESGCustomCombo::SetFlat(bool value)
{
    m_flat = value;
    SetCtl3D(!value);
    PlaceEditField();
    Invalidate();
}

void TESGCustomCombo::SetEtched(bool value)
{
    m_etched = value;
    Invalidate();
}

void TESGCustomCombo::SetFocusBorder(bool value)
{
    m_focusBorder = value;
    Invalidate();
}

void TESGCustomCombo::SetButtonWidth(int value)
{
    if (value < 14 || value > 32) return;
    m_buttonWidth = value;
    PlaceEditField();
    Invalidate();
}

void TESGCustomCombo::SetDropWidth(int value)
{
    m_dropWidth = value;
    if (value > 0) view()->setMinimumWidth(value);
}

void TESGCustomCombo::SetButtonStyleFlag(bool value)
{
    m_styleFlag = value;
    Invalidate();
}

bool TESGCustomCombo::Active() const { return m_mouseInControl || hasFocus(); }

bool TESGCustomCombo::Highlighted() const { return Active() && m_focusBorder; }

// ---------------------------------------------------------------------------
// Events

void TESGCustomCombo::DoEnter()
{
    TCustomComboBox::DoEnter();
    Invalidate();
}

void TESGCustomCombo::DoExit()
{
    TCustomComboBox::DoExit();
    Invalidate();
}

void TESGCustomCombo::MouseEnter()
{
    TCustomComboBox::MouseEnter();
    if (!m_mouseInControl && isEnabled()) {
        m_mouseInControl = true;
        Invalidate();
    }
    if (m_autoFocus && CanFocus()) SetFocus();
}

void TESGCustomCombo::MouseLeave()
{
    TCustomComboBox::MouseLeave();
    if (m_mouseInControl && isEnabled()) {
        m_mouseInControl = false;
        Invalidate();
    }
}

void TESGCustomCombo::EnabledChanged()
{
    // Only the control's own flag counts, not a parent's.
    const bool enabled = Enabled();
    if (enabled != m_lastEnabled) {
        m_lastEnabled = enabled;
        if (m_flat) {
            if (enabled) {
                if (m_savedParentColor)
                    SetParentColor(true);
                else
                    SetColor(m_savedColor);
            } else {
                m_savedColor = Color();
                m_savedParentColor = ParentColor();
                SetParentColor(true);
            }
        }
    }
    TCustomComboBox::EnabledChanged();
}

void TESGCustomCombo::DropDown()
{
    TCustomComboBox::DropDown();
    update(QRect(width() - m_buttonWidth, 0, m_buttonWidth, height()));
}

void TESGCustomCombo::CloseUp()
{
    TCustomComboBox::CloseUp();
    update(QRect(width() - m_buttonWidth, 0, m_buttonWidth, height()));
}

void TESGCustomCombo::Resize()
{
    TCustomComboBox::Resize();
    PlaceEditField();
}

void TESGCustomCombo::FontChanged()
{
    TCustomComboBox::FontChanged();
    PlaceEditField();
}

void TESGCustomCombo::showEvent(QShowEvent* event)
{
    TCustomComboBox::showEvent(event);
    PlaceEditField();
}

void TESGCustomCombo::PlaceEditField()
{
    QLineEdit* edit = lineEdit();
    if (!edit || !m_flat) return;
    edit->setGeometry(3, 3, std::max(0, width() - m_buttonWidth - 5), std::max(0, height() - 6));
}

// ---------------------------------------------------------------------------
// Painting

void TESGCustomCombo::paintEvent(QPaintEvent* event)
{
    if (!m_flat) {
        TCustomComboBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    PaintFlat(canvas);
}

void TESGCustomCombo::PaintFlat(TCanvas& canvas)
{
    const int w = width(), h = height();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(TRect(0, 0, w, h));
    canvas.SaveClip();
    PaintButton(canvas);
    if (!isEditable()) DrawField(canvas, TRect(3, 3, w - m_buttonWidth - 2, h - 3));
    canvas.RestoreClip();
    RedrawBorders(canvas);
}

void TESGCustomCombo::DrawField(TCanvas& canvas, const TRect& field)
{
    // The chosen item, highlighted while focused.
    canvas.Font() = Font();
    if (hasFocus() && !DroppedDown()) {
        canvas.Brush().SetColor(clHighlight);
        canvas.FillRect(field);
        canvas.Font().SetColor(clHighlightText);
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (!isEnabled()) canvas.Font().SetColor(clGrayText);
    TRect text = field;
    text.Left += 1;
    canvas.DrawText(Text(), text, Win::DT_SINGLELINE | Win::DT_VCENTER | Win::DT_NOPREFIX | Win::DT_END_ELLIPSIS);
    if (hasFocus() && !DroppedDown()) {
        canvas.Font().SetColor(clBtnText);
        canvas.Brush().SetColor(clBtnFace);
        canvas.DrawFocusRect(field);
    }
}

void TESGCustomCombo::PaintButton(TCanvas& canvas)
{
    const int w = width(), h = height();
    TRect r(0, 0, w, h);
    r.Left += w - m_buttonWidth;
    r.Inflate(-1, -1);
    bool drawn = false;
    if (m_styleFlag) {
        HTHEME theme = OpenThemeData(this, QStringLiteral("combobox"));
        const bool pressed = (QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton)) != 0;
        drawn = DrawThemeBackground(theme, canvas, Win::CP_DROPDOWNBUTTON,
                                    pressed ? Win::CBXS_PRESSED : Win::CBXS_NORMAL, r);
        CloseThemeData(theme);
    }
    if (!drawn) {
        canvas.DrawFrameControl(r, Win::DFC_SCROLL, Win::DFCS_SCROLLCOMBOBOX | Win::DFCS_FLAT);
        canvas.ExcludeClipRect(TRect(w - m_buttonWidth - 4, 0, w + 2, h));
    }
}

void TESGCustomCombo::RedrawBorders(TCanvas& canvas)
{
    const int w = width(), h = height();
    TWinControl* parentControl = TWinControl::Of(parentWidget());
    const TColor parentColor = parentControl ? parentControl->Color()
        : parentWidget()                     ? FromQColor(parentWidget()->palette().color(QPalette::Window))
                                             : clBtnFace;
    const TColor outer = Highlighted() ? clBtnFace : parentColor;
    TRect r(0, 0, w, h);
    if (Highlighted()) {
        canvas.DrawEdge(r, Win::BDR_SUNKENOUTER, Win::BF_RECT | Win::BF_ADJUST);
        canvas.Brush().SetColor(outer);
        canvas.FrameRect(r);
        r.Inflate(-1, -1);
        canvas.Brush().SetColor(Color());
        canvas.FrameRect(r);
    } else {
        canvas.Brush().SetColor(outer);
        canvas.FrameRect(r);
        r.Inflate(-1, -1);
        canvas.FrameRect(r);
        r.Inflate(-1, -1);
        canvas.Brush().SetColor(Color());
        canvas.FrameRect(r);
    }
    // The button's edge.
    if (w < 4 || h < 4) return;
    canvas.SaveClip();
    canvas.ExcludeClipRect(TRect(w - m_buttonWidth + 4, 4, w - 4, h - 4));
    TRect b(0, 0, w, h);
    b.Left += w - m_buttonWidth - 2;
    b.Inflate(-2, -2);
    if (Active()) {
        canvas.DrawEdge(b, m_etched ? Win::EDGE_ETCHED : Win::EDGE_RAISED,
                        Win::BF_RECT | (DroppedDown() ? unsigned(Win::BF_FLAT) : 0u));
    } else {
        b.Inflate(0, -1);
        b.Right -= 1;
        canvas.Brush().SetColor(clBtnFace);
        canvas.FillRect(b);
    }
    canvas.RestoreClip();
}
