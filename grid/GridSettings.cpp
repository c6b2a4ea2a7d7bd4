// The settings objects' own rules.
#include "grid/GridSettings.h"

#include "grid/TExtStringGrid.h"

void TSortSettings::SetRow(int value)
{
    // The indicator row is a header row: a data row would take the sort
    // clicks away from the cells. Row 0 stays valid for a grid still
    // without fixed rows.
    const int fixedRows = m_grid ? m_grid->FixedRows() : 1;
    if (value < 0 || (value > 0 && value >= fixedRows))
        throw EExtGridError(QStringLiteral("Sort row should be smaller than number of fixed rows"));
    m_row = value;
}

void TCellNode::SetNodeType(TCellNodeType value)
{
    if (value == m_nodeType) return;
    m_nodeType = value;
    if (m_grid) m_grid->InvalidateGrid();
}

void TCellNode::SetShowTree(bool value)
{
    if (value == m_showTree) return;
    m_showTree = value;
    if (m_grid) m_grid->InvalidateGrid();
}

void TBackGround::SetGrid(TCustomGrid* grid)
{
    m_grid = grid;
    Bitmap.OnChange = [this](TGraphic*) { Changed(); };
}

void TBackGround::Changed()
{
    if (m_grid) m_grid->InvalidateGrid();
}

void TBackGround::SetLeft(int value)
{
    m_left = value;
    Changed();
}

void TBackGround::SetTop(int value)
{
    m_top = value;
    Changed();
}

void TBackGround::SetDisplay(TBackgroundDisplay value)
{
    m_display = value;
    Changed();
}

void TBackGround::SetCells(TBackgroundCells value)
{
    m_cells = value;
    Changed();
}

TFilterData& TFilter::ColumnFilter(int col)
{
    for (TFilterData& f : *this)
        if (f.Column == col) return f;
    TFilterData f;
    f.Column = col;
    push_back(f);
    return back();
}
