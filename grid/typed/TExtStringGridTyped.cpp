// Cell graphics as the painter reads them, integer reading, and the row and
// column marks of disjunct selection.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"

TCellGraphic* TExtStringGrid::GetCellGraphic(int col, int row) { return GetCellAttachment(col, row); }

TCellType TExtStringGrid::GetCellType(int col, int row)
{
    const TCellGraphic* g = GetCellGraphic(col, row);
    return g ? g->CellType : ctEmpty;
}

int TExtStringGrid::CellAsInteger(int col, int row)
{
    QString s;
    GetCellDisplayText(col, row, s);
    s = s.trimmed();
    if (s.isEmpty()) return 0;
    bool ok = false;
    const int v = s.toInt(&ok);
    if (!ok) throw EExtGridError(QStringLiteral("Cell does not contain integer value"));
    return v;
}

bool TExtStringGrid::IsCheckBoxCell(int col, int row)
{
    const TPoint b = BaseCellPoint(col, row);
    const TCellType t = GetCellType(b.X, b.Y);
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox;
}

bool TExtStringGrid::IsRowSelected(int row) const
{
    return row >= 0 && size_t(row) < d->typed.rowMarks.size() && d->typed.rowMarks[size_t(row)];
}

bool TExtStringGrid::IsColSelected(int col) const
{
    return col >= 0 && size_t(col) < d->typed.colMarks.size() && d->typed.colMarks[size_t(col)];
}

bool TExtStringGrid::IsCellInSelection(int col, int row) const
{
    if (col < FixedCols() || row < FixedRows()) return false;
    if (d->mouseActions.DisjunctRowSelect) return IsRowSelected(row);
    if (d->mouseActions.DisjunctColSelect) return IsColSelected(col);
    return Selection().Contains(col, row);
}
