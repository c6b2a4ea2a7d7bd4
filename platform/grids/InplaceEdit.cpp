#include "platform/grids/InplaceEdit.h"

#include "platform/grids/CustomGrid.h"

TInplaceEdit::TInplaceEdit(TCustomGrid* grid, const QString& name) : TCustomEdit(grid, name), m_grid(grid)
{
    SetBorderStyle(TBorderStyle::bsNone);
    SetTabStop(false);
    hide();
}

TInplaceEdit::~TInplaceEdit() = default;

void TInplaceEdit::ShowAt(const TRect& rect, const QString& text)
{
    m_startText = text;
    SetText(text);
    SetModified(false);
    m_shown = true;
    Move(rect);
    show();
    SelectAll();
    setFocus(Qt::OtherFocusReason);
}

void TInplaceEdit::Move(const TRect& rect)
{
    if (!m_shown) return;
    m_grid->PlaceChild(this, rect);
}

void TInplaceEdit::HideEdit()
{
    if (!m_shown) return;
    m_shown = false;
    // The focus goes straight back to the grid, not first to whichever
    // control follows a hidden focus widget.
    if (hasFocus()) m_grid->setFocus(Qt::OtherFocusReason);
    hide();
}

bool TInplaceEdit::ForwardsKey(int key, TShiftState) const
{
    return key == Win::VK_UP || key == Win::VK_DOWN || key == Win::VK_PRIOR || key == Win::VK_NEXT ||
        key == Win::VK_TAB;
}

void TInplaceEdit::KeyDown(int& key, TShiftState shift)
{
    TCustomEdit::KeyDown(key, shift);
    if (key == 0) return;
    if (key == Win::VK_ESCAPE) {
        SetText(m_startText);
        m_grid->HideEditor();
        key = 0;
    } else if (key == Win::VK_RETURN) {
        m_grid->HideEditor();
        key = 0;
    } else if (ForwardsKey(key, shift)) {
        m_grid->HideEditor();
        m_grid->KeyDown(key, shift);
        key = 0;
    }
}

void TInplaceEdit::DoExit()
{
    TCustomEdit::DoExit();
    if (m_shown) m_grid->HideEditor();
}
