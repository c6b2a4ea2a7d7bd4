#include "grid/edit/TGridDatePicker.h"

#include "grid/TExtStringGrid.h"
#include "platform/graphics/PainterCanvas.h"

#include <QPainter>

TGridDatePicker::TGridDatePicker(TExtStringGrid* grid)
    : TDateTimePicker(grid, QStringLiteral("GridDatePicker")), m_grid(grid)
{ }

TGridDatePicker::~TGridDatePicker() = default;

bool TGridDatePicker::WantTab() const { return TEditorKeyProtocol::WantsTab(*m_grid); }

bool TGridDatePicker::HandsBack(int key, TShiftState) const
{
    return key == Win::VK_TAB || key == Win::VK_RETURN || key == Win::VK_ESCAPE || key == Win::VK_PRIOR ||
        key == Win::VK_NEXT || key == Win::VK_END;
}

void TGridDatePicker::ResetFromCell()
{
    // A cell that holds no date (or time) leaves the picker as it is.
    const QString text = m_grid->GetCurrentCellText();
    TDateTime value = 0;
    if (Kind() == TDateTimeKind::dtkTime) {
        if (TryStrToTime(text, value)) SetTime(value);
    } else if (TryStrToDate(text, value)) {
        SetDate(value);
    }
}

void TGridDatePicker::KeyDown(int& key, TShiftState shift)
{
    if (!TEditorKeyProtocol::KeyDown(*m_grid, *this, key, shift)) TDateTimePicker::KeyDown(key, shift);
}

void TGridDatePicker::DoExit()
{
    m_grid->CloseEditorControl();
    TDateTimePicker::DoExit();
}

void TGridDatePicker::PaintBorder()
{
    TDateTimePicker::PaintBorder();
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    canvas.Brush().SetColor(clWindow);
    TRect r(0, 0, width(), height());
    for (int i = 0; i < 2 && !r.IsEmpty(); ++i) {
        canvas.FrameRect(r);
        r.Inflate(-1, -1);
    }
}
