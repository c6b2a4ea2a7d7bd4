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

TFilterData& TFilter::ColumnFilter(int col)
{
    for (TFilterData& f : *this)
        if (f.Column == col) return f;
    TFilterData f;
    f.Column = col;
    push_back(f);
    return back();
}
