#include "grid/edit/TGridSpin.h"

#include "grid/TExtStringGrid.h"

TGridSpin::TGridSpin(TExtStringGrid* grid) : TEsgSpinEdit(grid, QStringLiteral("GridSpin")), m_grid(grid)
{
    SetMaxValue(100);
    SetMinValue(0);
    SetIncrement(1);
}

TGridSpin::~TGridSpin() = default;

bool TGridSpin::WantTab() const { return TEditorKeyProtocol::WantsTab(*m_grid); }

bool TGridSpin::HandsBack(int key, TShiftState) const
{
    return key == Win::VK_TAB || key == Win::VK_RETURN || key == Win::VK_UP || key == Win::VK_DOWN ||
        key == Win::VK_ESCAPE;
}

void TGridSpin::ResetFromCell() { SetText(m_grid->GetCurrentCellText()); }

void TGridSpin::ShowRefused()
{
    ResetFromCell();
    SetSelStart(Text().size());
    Repaint();
}

void TGridSpin::SpinClicked(bool up)
{
    const int col = m_grid->Col();
    const int row = m_grid->Row();
    switch (SpinType()) {
    case sptFloat:
        if (m_grid->OnFloatSpinClick) m_grid->OnFloatSpinClick(m_grid, col, row, FloatValue(), up);
        break;
    case sptDate:
        if (m_grid->OnDateSpinClick) m_grid->OnDateSpinClick(m_grid, col, row, DateValue(), up);
        break;
    case sptTime:
        if (m_grid->OnTimeSpinClick) m_grid->OnTimeSpinClick(m_grid, col, row, TimeValue(), up);
        break;
    default:
        if (m_grid->OnSpinClick) m_grid->OnSpinClick(m_grid, col, row, Value(), up);
        break;
    }
}

void TGridSpin::StepUp()
{
    TEsgSpinEdit::StepUp();
    SpinClicked(true);
}

void TGridSpin::StepDown()
{
    TEsgSpinEdit::StepDown();
    SpinClicked(false);
}

void TGridSpin::KeyDownMessage(int& key, TShiftState shift)
{
    const bool isFloat = SpinType() == sptFloat;
    const bool isInt = SpinType() == sptNormal;
    switch (key) {
    case Win::VK_PRIOR:
    case Win::VK_NEXT:
    case Win::VK_HOME:
    case Win::VK_END: {
        const bool up = key == Win::VK_PRIOR || key == Win::VK_HOME;
        if (key == Win::VK_PRIOR) {
            if (isInt && Value() + Increment() <= MaxValue()) SetValue(Value() + Increment());
            if (isFloat && FloatValue() + IncrementFloat() <= MaxFloatValue())
                SetFloatValue(FloatValue() + IncrementFloat());
        } else if (key == Win::VK_NEXT) {
            if (isInt && Value() - Increment() >= MinValue()) SetValue(Value() - Increment());
            if (isFloat && FloatValue() - IncrementFloat() >= MinFloatValue())
                SetFloatValue(FloatValue() - IncrementFloat());
        } else if (key == Win::VK_END) {
            if (isInt) SetValue(MinValue());
            if (isFloat) SetFloatValue(MinFloatValue());
        } else {
            if (isInt) SetValue(MaxValue());
            if (isFloat) SetFloatValue(MaxFloatValue());
        }
        if (m_grid->OnSpinClick) m_grid->OnSpinClick(m_grid, m_grid->Col(), m_grid->Row(), Value(), up);
        key = 0;
        return;
    }
    default:
        if (!TEditorKeyProtocol::KeyDown(*m_grid, *this, key, shift)) TEsgSpinEdit::KeyDownMessage(key, shift);
    }
}

void TGridSpin::CharMessage(TKeyChar& key)
{
    if (key == '\t' || key == '\r') {
        key = 0;
        return;
    }
    TEsgSpinEdit::CharMessage(key);
}

void TGridSpin::DoExit()
{
    m_grid->CloseEditorControl();
    TEsgSpinEdit::DoExit();
}
