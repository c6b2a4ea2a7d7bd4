#include "grid/edit/TGridCombo.h"

#include "grid/TExtStringGrid.h"

#include <QPointer>
#include <QWheelEvent>

TGridCombo::TGridCombo(TExtStringGrid* grid)
    : TESGComboBox(grid, QStringLiteral("GridCombo")), m_grid(grid), m_keys(this, grid)
{
    SetButtonWidth(16);
}

TGridCombo::~TGridCombo() = default;

bool TGridCombo::WantTab() const { return TEditorKeyProtocol::WantsTab(*m_grid); }

void TGridCombo::KeyDown(int& key, TShiftState shift)
{
    m_keys.KeyDown(key, shift);
    if (key != 0) TESGComboBox::KeyDown(key, shift);
}

void TGridCombo::KeyPress(TKeyChar& key)
{
    if (key == '\r' && OnReturnKey) OnReturnKey(this);
    if (key == '\r' || key == '\t') key = 0;
    TESGComboBox::KeyPress(key);
}

void TGridCombo::KeyUp(int& key, TShiftState shift)
{
    TESGComboBox::KeyUp(key, shift);
    m_keys.KeyUp(key);
}

void TGridCombo::DoExit()
{
    m_keys.Exit();
    m_grid->CloseEditorControl();
    TESGComboBox::DoExit();
}

void TGridCombo::wheelEvent(QWheelEvent* event)
{
    m_keys.Wheel(event->angleDelta().y());
    event->accept();
}

void TGridCombo::SelChange()
{
    // The choice is told once, not again as a change of the field.
    m_selecting = true;
    QPointer<QWidget> alive(this);
    m_keys.Selected();
    if (alive) TESGComboBox::SelChange();
    if (alive) m_selecting = false;
}

void TGridCombo::Change()
{
    if (!m_selecting) m_keys.Edited();
    TESGComboBox::Change();
}

void TGridCombo::CloseUp()
{
    TESGComboBox::CloseUp();
    m_keys.ClosedUp();
}
