#include "grid/edit/TGridUniEdit.h"

#include "grid/TExtStringGrid.h"

TGridUniEdit::TGridUniEdit(TExtStringGrid* grid) : TEsgUniEdit(grid, QStringLiteral("GridUniEdit")), m_grid(grid) { }

TGridUniEdit::~TGridUniEdit() = default;

bool TGridUniEdit::WantTab() const { return TEditorKeyProtocol::WantsTab(*m_grid); }

bool TGridUniEdit::HandsBack(int key, TShiftState) const
{
    return key == Win::VK_TAB || key == Win::VK_RETURN || key == Win::VK_ESCAPE || key == Win::VK_UP ||
        key == Win::VK_DOWN;
}

void TGridUniEdit::ResetFromCell() { SetText(m_grid->GetWideCell(m_grid->RealCol(), m_grid->Row())); }

void TGridUniEdit::ShowRefused()
{
    ResetFromCell();
    SetSelStart(Text().size());
    Repaint();
}

void TGridUniEdit::KeyDown(int& key, TShiftState shift)
{
    if (!TEditorKeyProtocol::KeyDown(*m_grid, *this, key, shift)) TEsgUniEdit::KeyDown(key, shift);
}

void TGridUniEdit::CharMessage(TKeyChar& key)
{
    if (key == '\t' || key == '\r') {
        key = 0;
        return;
    }
    TEsgUniEdit::CharMessage(key);
}

void TGridUniEdit::DoExit()
{
    m_grid->CloseEditorControl();
    TEsgUniEdit::DoExit();
}
