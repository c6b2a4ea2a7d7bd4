#include "grid/edit/TGridUniCombo.h"

#include "grid/TExtStringGrid.h"

#include <QPointer>
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

void TGridUniCombo::SelChange()
{
    // The choice is told once, not again as a change of the field.
    m_selecting = true;
    QPointer<QWidget> alive(this);
    m_keys.Selected();
    if (alive) TESGUniComboBox::SelChange();
    if (alive) m_selecting = false;
}

void TGridUniCombo::Change()
{
    if (!m_selecting) m_keys.Edited();
    TESGUniComboBox::Change();
}

void TGridUniCombo::CloseUp()
{
    TESGUniComboBox::CloseUp();
    m_keys.ClosedUp();
}
