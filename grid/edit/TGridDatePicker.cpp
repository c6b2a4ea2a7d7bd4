#include "grid/edit/TGridDatePicker.h"

#include "grid/TExtStringGrid.h"

TGridDatePicker::TGridDatePicker(TExtStringGrid* grid)
    : TDateTimePicker(grid, QStringLiteral("GridDatePicker")), m_grid(grid)
{
}

TGridDatePicker::~TGridDatePicker() = default;

bool TGridDatePicker::WantTab() const { return m_grid->Options().Contains(TGridOption::goTabs); }

void TGridDatePicker::KeyDown(int& key, TShiftState shift)
{
    if (key != Win::VK_TAB && key != Win::VK_RETURN && key != Win::VK_ESCAPE && key != Win::VK_PRIOR && key != Win::VK_NEXT && key != Win::VK_END) {
        TDateTimePicker::KeyDown(key, shift);
        return;
    }
    if (key == Win::VK_ESCAPE) {
        // A cell that holds no date (or time) leaves the picker as it is.
        const QString text = m_grid->GetCurrentCellText();
        TDateTime value = 0;
        if (Kind() == TDateTimeKind::dtkTime) {
            if (TryStrToTime(text, value)) SetTime(value);
        } else if (TryStrToDate(text, value)) {
            SetDate(value);
        }
    }
    if (key == Win::VK_TAB && m_grid->Options().Contains(TGridOption::goTabs)) {
        m_grid->CloseEditorControl();
        m_grid->setFocus(Qt::OtherFocusReason);
        m_grid->TabToNextCell(shift.Contains(TShiftStateItem::ssShift));
        key = 0;
        return;
    }
    if (DroppedDown()) return;
    const int forward = key;
    key = 0;
    m_grid->EditorKeyDown(forward, shift);
}

void TGridDatePicker::DoExit()
{
    m_grid->CloseEditorControl();
    TDateTimePicker::DoExit();
}
