#include "grid/edit/TGridUniCombo.h"

#include "grid/TExtStringGrid.h"

#include <QWheelEvent>

TGridUniCombo::TGridUniCombo(TExtStringGrid* grid)
    : TESGUniComboBox(grid, QStringLiteral("GridUniCombo")), m_grid(grid), m_keys(this, grid)
{
    SetButtonWidth(16);
}

TGridUniCombo::~TGridUniCombo() = default;

bool TGridUniCombo::WantTab() const { return TEditorKeyProtocol::WantsTab(*m_grid); }

void TGridUniCombo::KeyDown(int& key, TShiftState shift)
{
    m_keys.KeyDown(key, shift);
    if (key != 0) TESGUniComboBox::KeyDown(key, shift);
}

void TGridUniCombo::KeyPress(TKeyChar& key)
{
    if (key == '\r' && OnReturnKey) OnReturnKey(this);
    if (key == '\r' || key == '\t') key = 0;
    TESGUniComboBox::KeyPress(key);
}

void TGridUniCombo::KeyUp(int& key, TShiftState shift)
{
    TESGUniComboBox::KeyUp(key, shift);
    m_keys.KeyUp(key);
}

void TGridUniCombo::DoExit()
{
    m_keys.Exit();
    m_grid->CloseEditorControl();
    TESGUniComboBox::DoExit();
}

void TGridUniCombo::wheelEvent(QWheelEvent* event)
{
    m_keys.Wheel(event->angleDelta().y());
    event->accept();
}
