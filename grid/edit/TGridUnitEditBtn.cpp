#include "grid/edit/TGridUnitEditBtn.h"

#include "grid/TExtStringGrid.h"

TGridUnitEditBtn::TGridUnitEditBtn(TExtStringGrid* grid)
    : TEsgUnitEditBtn(grid, QStringLiteral("GridUnitEditBtn")), m_grid(grid)
{
}

TGridUnitEditBtn::~TGridUnitEditBtn() = default;

void TGridUnitEditBtn::SetCellValue(const QString& text)
{
    QString value;
    QString unit;
    for (const QChar c : text) {
        if (c == u',' || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9')) value += c;
        else unit += c;
    }
    SetUnitID(unit);
    SetText(value);
}

bool TGridUnitEditBtn::WantTab() const { return m_grid->Options().Contains(TGridOption::goTabs); }

void TGridUnitEditBtn::KeyDown(int& key, TShiftState shift)
{
    const bool handled = key == Win::VK_TAB || key == Win::VK_RETURN || key == Win::VK_ESCAPE || key == Win::VK_PRIOR ||
                         key == Win::VK_NEXT || key == Win::VK_UP || key == Win::VK_DOWN;
    if (!handled) {
        TEsgUnitEditBtn::KeyDown(key, shift);
        return;
    }
    if (key == Win::VK_ESCAPE) {
        SetCellValue(m_grid->GetCurrentCellText());
    } else {
        QString value = CellValue();
        if (!m_grid->ValidateEditorText(value)) {
            SetCellValue(m_grid->GetCurrentCellText());
            key = 0;
            return;
        }
    }
    if (key == Win::VK_TAB && m_grid->Options().Contains(TGridOption::goTabs)) {
        m_grid->CloseEditorControl();
        m_grid->setFocus(Qt::OtherFocusReason);
        m_grid->TabToNextCell(shift.Contains(TShiftStateItem::ssShift));
        key = 0;
        return;
    }
    const int forward = key;
    key = 0;
    m_grid->EditorKeyDown(forward, shift);
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
