#include "grid/edit/TGridComboEditor.h"

#include "controls/ESGComboBox.h"
#include "controls/ESGUniComboBox.h"
#include "grid/TExtStringGrid.h"

#include <QPointer>
#include <QWheelEvent>

template <class ComboBase>
TGridComboEditor<ComboBase>::TGridComboEditor(TExtStringGrid* grid, const QString& name)
    : ComboBase(grid, name), m_grid(grid), m_keys(this, grid)
{
    this->SetButtonWidth(16);
}

template <class ComboBase>
TGridComboEditor<ComboBase>::~TGridComboEditor() = default;

template <class ComboBase>
bool TGridComboEditor<ComboBase>::WantTab() const
{
    return TEditorKeyProtocol::WantsTab(*m_grid);
}

template <class ComboBase>
void TGridComboEditor<ComboBase>::KeyDown(int& key, TShiftState shift)
{
    m_keys.KeyDown(key, shift);
    if (key != 0) ComboBase::KeyDown(key, shift);
}

template <class ComboBase>
void TGridComboEditor<ComboBase>::KeyPress(TKeyChar& key)
{
    if (key == '\r' && OnReturnKey) OnReturnKey(this);
    if (key == '\r' || key == '\t') key = 0;
    ComboBase::KeyPress(key);
}

template <class ComboBase>
void TGridComboEditor<ComboBase>::KeyUp(int& key, TShiftState shift)
{
    ComboBase::KeyUp(key, shift);
    m_keys.KeyUp(key);
}

template <class ComboBase>
void TGridComboEditor<ComboBase>::DoExit()
{
    m_keys.Exit();
    m_grid->CloseEditorControl();
    ComboBase::DoExit();
}

template <class ComboBase>
void TGridComboEditor<ComboBase>::wheelEvent(QWheelEvent* event)
{
    m_keys.Wheel(event->angleDelta().y());
    event->accept();
}

template <class ComboBase>
void TGridComboEditor<ComboBase>::SelChange()
{
    // The choice is told once, not again as a change of the field.
    m_selecting = true;
    QPointer<QWidget> alive(this);
    m_keys.Selected();
    if (alive) ComboBase::SelChange();
    if (alive) m_selecting = false;
}

template <class ComboBase>
void TGridComboEditor<ComboBase>::Change()
{
    if (!m_selecting) m_keys.Edited();
    ComboBase::Change();
}

template <class ComboBase>
void TGridComboEditor<ComboBase>::CloseUp()
{
    ComboBase::CloseUp();
    m_keys.ClosedUp();
}

template class TGridComboEditor<TESGComboBox>;
template class TGridComboEditor<TESGUniComboBox>;
