#include "grid/edit/TGridUniEdit.h"

#include "grid/TExtStringGrid.h"

TGridUniEdit::TGridUniEdit(TExtStringGrid* grid) : TEsgUniEdit(grid, QStringLiteral("GridUniEdit")), m_grid(grid) {}

TGridUniEdit::~TGridUniEdit() = default;

bool TGridUniEdit::WantTab() const { return m_grid->Options().Contains(TGridOption::goTabs); }

void TGridUniEdit::KeyDown(int& key, TShiftState shift)
{
    if (key != Win::VK_TAB && key != Win::VK_RETURN && key != Win::VK_ESCAPE && key != Win::VK_UP && key != Win::VK_DOWN) {
        TEsgUniEdit::KeyDown(key, shift);
        return;
    }
    const int col = m_grid->RealCol();
    const int row = m_grid->Row();
    if (key == Win::VK_ESCAPE) {
        SetText(m_grid->GetWideCellText(col, row));
    } else {
        QString text = Text();
        if (!m_grid->ValidateEditorText(text)) {
            SetText(m_grid->GetWideCellText(col, row));
            SetSelStart(Text().size());
            Repaint();
            key = 0;
            return;
        }
        if (text != Text()) SetText(text);
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
