#include "grid/edit/TGridUnitEditBtn.h"

#include "grid/TExtStringGrid.h"

TGridUnitEditBtn::TGridUnitEditBtn(TExtStringGrid* grid)
    : TEsgUnitEditBtn(grid, QStringLiteral("GridUnitEditBtn")), m_grid(grid)
{ }

TGridUnitEditBtn::~TGridUnitEditBtn() = default;

void TGridUnitEditBtn::SetCellValue(const QString& text)
{
    QString value;
    QString unit;
    for (const QChar c : text) {
        if (c == u',' || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9'))
            value += c;
        else
            unit += c;
    }
    SetUnitID(unit);
    SetText(value);
}

bool TGridUnitEditBtn::WantTab() const { return TEditorKeyProtocol::WantsTab(*m_grid); }

bool TGridUnitEditBtn::HandsBack(int key, TShiftState) const
{
    return key == Win::VK_TAB || key == Win::VK_RETURN || key == Win::VK_ESCAPE || key == Win::VK_PRIOR ||
        key == Win::VK_NEXT || key == Win::VK_UP || key == Win::VK_DOWN;
}

void TGridUnitEditBtn::ResetFromCell() { SetCellValue(m_grid->GetCurrentCellText()); }

void TGridUnitEditBtn::KeyDown(int& key, TShiftState shift)
{
    if (!TEditorKeyProtocol::KeyDown(*m_grid, *this, key, shift)) TEsgUnitEditBtn::KeyDown(key, shift);
}

void TGridUnitEditBtn::CharMessage(TKeyChar& key)
{
    if (key == '\r') {
        key = 0;
        return;
    }
    TEsgUnitEditBtn::CharMessage(key);
}

void TGridUnitEditBtn::DoExit()
{
    m_grid->CloseEditorControl();
    TEsgUnitEditBtn::DoExit();
}
