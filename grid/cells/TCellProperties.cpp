#include "grid/cells/TCellProperties.h"

#include "grid/cells/TCellGraphic.h"
#include "grid/cells/TCellStore.h"

#include <algorithm>

TCellStore::~TCellStore() = default;

TCellProperties::TCellProperties(TCellStore* owner, int col, int row) : OwnerCol(col), OwnerRow(row), m_owner(owner) { }

TCellProperties::~TCellProperties() = default;

void TCellProperties::Assign(const TCellProperties& s)
{
    if (&s == this) return;
    IsBaseCell = s.IsBaseCell;
    CellSpanX = s.CellSpanX;
    CellSpanY = s.CellSpanY;
    OwnerRow = s.OwnerRow;
    OwnerCol = s.OwnerCol;
    Alignment = s.Alignment;
    BorderColor = s.BorderColor;
    BorderWidth = s.BorderWidth;
    BrushColor = s.BrushColor;
    BrushStyle = s.BrushStyle;
    FontColor = s.FontColor;
    FontStyle = s.FontStyle;
    FontName = s.FontName;
    FontSize = s.FontSize;
    ReadOnly = s.ReadOnly;
    Editor = s.Editor;
    VAlignment = s.VAlignment;
    SetWordWrap(s.WordWrap);
    NodeLevel = s.NodeLevel;
    Control = s.Control;
}

TPoint TCellProperties::BaseCell(int col, int row) const
{
    if (!IsBaseCell && CellSpanX != -1 && CellSpanY != -1) return TPoint(col - CellSpanX, row - CellSpanY);
    return TPoint(col, row);
}

void TCellProperties::FollowMovedCells(const TCellStore& store, int left, int top, int right, int bottom)
{
    right = std::min(right, store.StoreCols() - 1);
    bottom = std::min(bottom, store.StoreRows() - 1);
    for (int row = std::max(top, 0); row <= bottom; ++row)
        for (int col = std::max(left, 0); col <= right; ++col)
            if (TCellProperties* p = store.CellPropertiesOf(col, row)) {
                p->OwnerCol = col;
                p->OwnerRow = row;
            }
}

void TCellProperties::SetCellGraphic(TCellGraphic* graphic)
{
    if (graphic == m_graphic.get()) return;
    m_graphic.reset(graphic);
    if (m_owner) m_owner->CellGraphicChanged();
}

TCellGraphic* TCellProperties::TakeCellGraphic()
{
    if (m_graphic && m_owner) m_owner->CellGraphicChanged();
    return m_graphic.release();
}

void TCellProperties::Repaint()
{
    if (!m_owner) return;
    // Rows inserted, deleted or sorted since leave the kept place behind;
    // the cell is looked for once, when it is to be repainted.
    if (m_owner->CellPropertiesOf(OwnerCol, OwnerRow) != this) {
        bool found = false;
        for (int row = 0; row < m_owner->StoreRows() && !found; ++row)
            for (int col = 0; col < m_owner->StoreCols() && !found; ++col)
                if (m_owner->CellPropertiesOf(col, row) == this) {
                    OwnerCol = col;
                    OwnerRow = row;
                    found = true;
                }
        if (!found) return; // on a hidden row, or out of the grid
    }
    m_owner->RepaintStoredCell(OwnerCol, OwnerRow);
}

void TCellProperties::SetBrushColor(TColor value)
{
    BrushColor = value;
    Repaint();
}

void TCellProperties::SetVAlignment(TVAlignment value)
{
    VAlignment = value;
    Repaint();
}

void TCellProperties::SetWordWrap(bool value)
{
    WordWrap = value;
    Repaint();
}
