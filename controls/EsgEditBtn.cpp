#include "controls/EsgEditBtn.h"

#include "platform/graphics/SystemMetrics.h"

#include <QGuiApplication>

TEsgEditBtn::TEsgEditBtn(QWidget* parent, const QString& name) : TCustomEdit(parent, name)
{
    SetWantReturns(true);
    m_holder = new TEsgEditButton(this, QStringLiteral("ButtonHolder"));
    m_holder->SetBounds(0, 0, 18, 18);
    m_holder->SetFocusControl(this);
    m_holder->OnClick = [this](QObject* sender) { DoClickBtn(sender); };
    m_holder->show();
    setText(QStringLiteral("0"));
    Resize();
}

TEsgEditBtn::~TEsgEditBtn() = default;

void TEsgEditBtn::SetButtonWidth(int value)
{
    m_holder->SetWidth(value);
    Resize();
}

void TEsgEditBtn::SetRightAlign(bool value)
{
    m_rightAlign = value;
    SetAlignment(value ? taRightJustify : taLeftJustify);
}

void TEsgEditBtn::SetUnitSpaceValue(int value)
{
    m_unitSpace = value;
    SetButtonEditRect();
    Invalidate();
}

void TEsgEditBtn::DoClickBtn(QObject* sender)
{
    if (OnClickBtn) OnClickBtn(sender);
}

void TEsgEditBtn::KeyDown(int& key, TShiftState shift)
{
    // Nothing but the keys may delete while typing is off.
    if (key == Win::VK_DELETE && !m_editorEnabled) key = 0;
    QPointer<QWidget> alive(this);
    TCustomEdit::KeyDown(key, shift);
    if (alive && key == Win::VK_F4) DoClickBtn(this);
}

void TEsgEditBtn::CharMessage(TKeyChar& key)
{
    if (!m_editorEnabled) {
        key = 0;
        return;
    }
    TCustomEdit::CharMessage(key);
}

void TEsgEditBtn::DoEnter()
{
    const bool leftDown = (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
    if (AutoSelect() && !leftDown) selectAll();
    TCustomEdit::DoEnter();
}

int TEsgEditBtn::MinHeight() const
{
    const int t = TextMetricsOf(Font()).tmHeight;
    return t + std::min(SystemFontCharHeight(), t) / 4;
}

void TEsgEditBtn::Resize()
{
    if (!m_holder) {
        TCustomEdit::Resize();
        return;
    }
    const int m = MinHeight();
    if (Height() < m) {
        SetHeight(m);
        return;
    }
    m_holder->PlaceInEdit(*this);
    SetButtonEditRect();
}

void TEsgEditBtn::SetButtonEditRect()
{
    const int e = BorderStyle() == TBorderStyle::bsNone ? 2 : 1;
    SetEditRect(TRect(e, e, ClientWidth() - m_holder->Width() - 3 - m_unitSpace, ClientHeight() + 1));
}
